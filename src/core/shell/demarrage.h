#pragma once
// File names used at start-up.
#include <string>
#include <string_view>
#include <vector>

// The configuration file named on the command line: every non-option
// argument, joined with single blanks (so an unquoted name with blanks works).
std::string fichierLigneCommande(const std::vector<std::string>& arguments);

// `nom` with its extension replaced by (or extended with) `extension`, which
// includes the dot. Only the last path component's extension counts; an
// extension that differs only in case is kept as it is.
std::string forceExtension(std::string_view nom, std::string_view extension);

// Which configuration files the start-up reads, in order, and whether the
// second one is read depends on the first result (see TLogiqueFenetre).
struct ChoixConfigDemarrage {
  std::string premier;       // command-line file, else the personal one
  bool ligneCommande = false;  // `premier` came from the command line
  std::string secours;       // the program's own configuration
};

// `existe` tells whether a file exists; `repertoireConfig` ends with '/'.
ChoixConfigDemarrage choixConfigDemarrage(const std::string& ligneCommande,
                                          const std::string& repertoireConfig,
                                          const std::string& cheminProgramme,
                                          bool (*existe)(const std::string&));

bool fichierExiste(const std::string& chemin);
