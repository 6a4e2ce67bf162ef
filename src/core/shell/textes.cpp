#include "core/shell/textes.h"

std::string indiceCourt(std::string_view indice) {
  return std::string(indice.substr(0, indice.find('|')));
}

std::string indiceLong(std::string_view indice) {
  const auto barre = indice.find('|');
  return std::string(barre == std::string_view::npos ? indice : indice.substr(barre + 1));
}

std::string legendeFenetre(std::string_view indice, bool puxActif) {
  if (!indice.empty()) return std::string(indice);
  return puxActif ? texte::legendePUX : texte::legendeVYK;
}

int taillePolice(int hauteurNonClient) { return hauteurNonClient > 27 ? 10 : 8; }

std::string ligneInterfaceConnectee(bool puxActif, std::string_view versionPux,
                                    std::string_view versionBrixo, int numCom) {
  if (puxActif) return std::string(versionPux);
  return std::string(versionBrixo) + " sur COM" + std::to_string(numCom);
}
