// The firmware file: where its version record is and what it says.
#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <string>

namespace majvyk2 {

inline constexpr const char* nomFichierFirmware = "codevyk2.hex";
// Data record of 21 bytes at 0x0100 that starts with "VYK2 V".
inline constexpr const char* marqueurVersion = ":1501000056594B322056";
inline constexpr int lignesMaxVersion = 201;

// The four version characters of the record (eight hex digits after the
// marker), searched in the first 201 lines; nullopt when absent, or when the
// digits are not hexadecimal or do not spell printable ASCII.
std::optional<std::string> chercheVersion(std::istream& texte, int* ligneTrouvee = nullptr);

struct LectureFichier {
  bool ok = false;
  std::string contenu;
  std::string erreur;  // French text for a message box
};

// Whole file, bytes unchanged.
LectureFichier lireFichier(const std::string& chemin, std::size_t tailleMax = 64u << 20);

// French text for a failed open of the firmware file.
std::string texteErreurFichier(const std::string& chemin, int err);

}  // namespace majvyk2
