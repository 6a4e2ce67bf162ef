#pragma once
// The user's special folders, XDG style.
#include <string>

// `xdg-user-dir DOCUMENTS` when it names a folder other than the home
// folder (its answer when nothing is configured), else ~/Documents.
std::string cheminDocuments();

// $XDG_CONFIG_HOME, default ~/.config.
std::string cheminDonneesApplication();

// `base` + "/Tavelmor/", created when missing (failures ignored: the folder
// is then simply absent). Always ends with '/'.
std::string dossierTavelmor(const std::string& base);
