// Firmware files for the updater's tests: well-formed Intel-HEX of an exact size.
#pragma once

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace majtest {

inline std::string enregistrement(int adresse, int type, const std::vector<std::uint8_t>& donnees) {
  char tmp[16];
  int somme = static_cast<int>(donnees.size()) + (adresse >> 8) + (adresse & 0xFF) + type;
  std::snprintf(tmp, sizeof tmp, ":%02X%04X%02X", static_cast<unsigned>(donnees.size()),
                static_cast<unsigned>(adresse & 0xFFFF), static_cast<unsigned>(type));
  std::string s = tmp;
  for (auto b : donnees) {
    std::snprintf(tmp, sizeof tmp, "%02X", b);
    s += tmp;
    somme += b;
  }
  std::snprintf(tmp, sizeof tmp, "%02X", static_cast<unsigned>((0x100 - (somme & 0xFF)) & 0xFF));
  return s + tmp;
}

inline std::string recordVersion(const std::string& version) {
  const std::string v = "VYK2 V" + version;
  std::vector<std::uint8_t> d(v.begin(), v.end());
  d.resize(21, 0);
  return enregistrement(0x0100, 0, d);
}

inline std::vector<std::uint8_t> donnees(std::size_t n, std::uint8_t depart) {
  std::vector<std::uint8_t> d(n);
  for (auto& b : d) b = depart++;
  return d;
}

// Exactly `taille` bytes, CR LF line ends: `avant` data records, then the
// version record (so it sits on line avant + 1; no version record when
// version is empty), data records, the end record.
inline std::string fichierHex(const std::string& version, std::size_t taille, int avant = 0) {
  std::string texte;
  int adresse = 0x0200;
  for (int i = 0; i < avant; ++i) {
    texte += enregistrement(adresse, 0, donnees(16, static_cast<std::uint8_t>(i))) + "\r\n";
    adresse += 16;
  }
  if (!version.empty()) texte += recordVersion(version) + "\r\n";
  const std::string fin = ":00000001FF\r\n";
  // 16-byte records are 45 bytes a line; one last record of n bytes takes
  // 13 + 2n (CR LF) or 12 + 2n (LF alone) and absorbs the rest.
  while (texte.size() + fin.size() + 13 + 2 * 255 < taille) {
    texte += enregistrement(adresse & 0xFFFF, 0, donnees(16, static_cast<std::uint8_t>(adresse))) + "\r\n";
    adresse += 16;
  }
  if (texte.size() + fin.size() < taille) {
    const std::size_t reste = taille - texte.size() - fin.size();
    if (reste < 12) throw std::invalid_argument("taille trop petite");
    const bool lf = (reste % 2) == 0;
    const std::size_t n = (reste - (lf ? 12 : 13)) / 2;
    texte += enregistrement(adresse & 0xFFFF, 0, donnees(n, 7)) + (lf ? "\n" : "\r\n");
  }
  texte += fin;
  if (texte.size() != taille) throw std::logic_error("taille manquée");
  return texte;
}

inline void ecrire(const std::string& chemin, const std::string& texte) {
  std::ofstream f(chemin, std::ios::binary | std::ios::trunc);
  f << texte;
}

}  // namespace majtest
