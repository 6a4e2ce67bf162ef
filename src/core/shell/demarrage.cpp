#include "core/shell/demarrage.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

std::string fichierLigneCommande(const std::vector<std::string>& arguments) {
  std::string nom;
  for (const auto& a : arguments) {
    if (!nom.empty()) nom += ' ';
    nom += a;
  }
  return nom;
}

std::string forceExtension(std::string_view nom, std::string_view extension) {
  const auto slash = nom.rfind('/');
  const auto debutNom = slash == std::string_view::npos ? 0 : slash + 1;
  auto point = nom.rfind('.');
  if (point == std::string_view::npos || point < debutNom) point = nom.size();
  // File names are case-sensitive here: "x.vy2" must not become a new "x.VY2".
  const auto actuelle = nom.substr(point);
  if (actuelle.size() == extension.size() &&
      std::equal(actuelle.begin(), actuelle.end(), extension.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
      }))
    return std::string(nom);
  return std::string(nom.substr(0, point)) + std::string(extension);
}

bool fichierExiste(const std::string& chemin) {
  std::error_code ec;
  return std::filesystem::is_regular_file(chemin, ec);
}

ChoixConfigDemarrage choixConfigDemarrage(const std::string& ligneCommande,
                                          const std::string& repertoireConfig,
                                          const std::string& cheminProgramme,
                                          bool (*existe)(const std::string&)) {
  ChoixConfigDemarrage c;
  if (!ligneCommande.empty() && existe(ligneCommande)) {
    c.premier = forceExtension(ligneCommande, ".VY2");
    c.ligneCommande = true;
  } else {
    c.premier = forceExtension(repertoireConfig + "vyk2", ".VY2");
  }
  c.secours = forceExtension(cheminProgramme, ".VY2");
  return c;
}
