#include "core/link/commandes/requetes.h"

#include <string>

#include "core/channels/numbers/nombres.h"

namespace commandes {

pseudoWord lisReconnaissance(TLiaison& liaison) {
  if (liaison.PuxActif)
    liaison.requete(WRECO, octetsRecoPux, ticksRecoPux);
  else
    liaison.requete(WRECO, 6, ticksReco);
  return liaison.ValeurMot;
}

std::int16_t lisEntreeRapide(TLiaison& liaison, int entree) {
  liaison.requete(std::string(1, char(octetScrutation(entree))), 2, ticksScrutation);
  return liaison.ValeurMot.entier();
}

pseudoWord lisFiltre(TLiaison& liaison) {
  liaison.requete(std::string(1, char(octetFiltre)), octetsFiltre, ticksFiltre);
  return liaison.ValeurMot;
}

TresultatFiltre resultatFiltre(const pseudoWord& reponse, double deltatFiltreUs) {
  TresultatFiltre r;
  r.codeEntree = std::int16_t(reponse.Entre());
  r.codeSortie = std::int16_t(reponse.Sortie());
  const std::uint16_t periode = reponse.Freq();
  r.valide = periode != 0 && deltatFiltreUs > 0;
  if (!r.valide) {
    r.frequence = valeurAbsente;
    r.phase = valeurAbsente;
    return r;
  }
  r.frequence = 1.0 / (periode * deltatFiltreUs * 1e-6);
  r.phase = reponse.phase() == 65535 ? valeurAbsente : reponse.phase() * 360.0 / periode;
  return r;
}

std::int16_t lisEA(TLiaison& liaison, int entree) { return liaison.getInt(WEA(entree)); }

std::uint16_t lisPosition(TLiaison& liaison) { return liaison.getWord(WLPOSITION); }

std::uint8_t lisBit(TLiaison& liaison, int entreeBinaire) {
  return liaison.getByte(WEBIT(entreeBinaire));
}

std::uint32_t lisPeriode(TLiaison& liaison, int front) { return liaison.getLongWord(WPER(front)); }

std::uint32_t lisPeriodeAuto(TLiaison& liaison, int seuil) {
  return liaison.getLongWord(WAUTO(seuil));
}

std::uint32_t lisPeriodeAutoPux(TLiaison& liaison, int entree, int seuil) {
  return liaison.getLongWord(WAUTOpux(entree, seuil));
}

void envoieTable(TLiaison& liaison, const TableOnde& table) {
  liaison.ecritBrixo(table.ligne);
  if (!table.octets.empty()) liaison.ecritOctets(table.octets.data(), table.octets.size());
}

}  // namespace commandes
