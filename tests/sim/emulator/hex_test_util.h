// Intel-HEX text for the tests: well-formed records with their checksums.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace simtest {

inline std::string enregistrement(int adresse, int type, const std::vector<std::uint8_t>& donnees) {
  char tmp[32];
  std::string s = ":";
  int somme = static_cast<int>(donnees.size()) + (adresse >> 8) + (adresse & 0xFF) + type;
  std::snprintf(tmp, sizeof tmp, "%02X%04X%02X", static_cast<unsigned>(donnees.size()),
                static_cast<unsigned>(adresse), static_cast<unsigned>(type));
  s += tmp;
  for (auto b : donnees) {
    std::snprintf(tmp, sizeof tmp, "%02X", b);
    s += tmp;
    somme += b;
  }
  std::snprintf(tmp, sizeof tmp, "%02X", static_cast<unsigned>((0x100 - (somme & 0xFF)) & 0xFF));
  return s + tmp;
}

// A firmware file: the version record at 0x0100 ("VYK2 V" + version, 21
// bytes), data records until about taille bytes, then the end record.
inline std::string fichierHex(const std::string& version, std::size_t taille, const std::string& finLigne = "\r\n",
                              bool finFinale = true) {
  std::string texte;
  std::string v = "VYK2 V" + version;
  std::vector<std::uint8_t> rec(v.begin(), v.end());
  rec.resize(21, 0);
  texte += enregistrement(0x0100, 0, rec) + finLigne;
  int adresse = 0x0200;
  std::uint8_t valeur = 0;
  while (texte.size() + 60 < taille) {
    std::vector<std::uint8_t> d(16);
    for (auto& b : d) b = valeur++;
    texte += enregistrement(adresse, 0, d) + finLigne;
    adresse = (adresse + 16) & 0xFFFF;
  }
  texte += ":00000001FF";
  if (finFinale) texte += finLigne;
  return texte;
}

}  // namespace simtest
