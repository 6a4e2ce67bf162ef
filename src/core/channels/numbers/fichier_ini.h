#pragma once
// Sections-and-keys file (.VY2 configurations, .CPT sensors) held in memory,
// read and written the way the Windows programs do, so that files pass
// between them unchanged: section and key names compared without regard to
// case, the first occurrence of a section or key wins, values kept as raw
// Windows-1252 bytes, CR LF written, CR LF, LF or CR read. A missing or
// unreadable file reads as empty; nothing is written before UpdateFile.
//
// Names and values given as std::string are UTF-8 and converted to and from
// Windows-1252; the Raw variants take and give the bytes as stored.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/channels/numbers/nombres.h"

class TFichierIni {
 public:
  TFichierIni() = default;
  // Loads the file (empty when missing or unreadable).
  explicit TFichierIni(std::string nomFichier);

  const std::string& FileName() const { return FnomFichier; }
  void Rename(const std::string& nomFichier, bool recharge);

  // Replaces the whole content by the lines of an 8-bit text.
  void SetText(std::string_view octets);
  // The content as it would be written: "[section]", "key=value" lines, an
  // empty line after each section, CR LF after every line.
  std::string GetText() const;
  // Writes the file; false on failure (the content is kept).
  bool UpdateFile() const;
  void Clear() { Fsections.clear(); }

  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& cle) const;
  // Section names in file order, each once.
  std::vector<std::string> ReadSections() const;
  // Key names of the first section of that name, in file order.
  std::vector<std::string> ReadSection(const std::string& section) const;
  // Every section of that name.
  void EraseSection(const std::string& section);
  // Every entry of that key in the section that reads.
  void DeleteKey(const std::string& section, const std::string& cle);

  std::string ReadString(const std::string& section, const std::string& cle,
                         const std::string& defaut) const;
  void WriteString(const std::string& section, const std::string& cle,
                   const std::string& valeur);
  // Decimal, or hexadecimal with "$" or "0x"; the default when unreadable.
  std::int32_t ReadInteger(const std::string& section, const std::string& cle,
                           std::int32_t defaut) const;
  void WriteInteger(const std::string& section, const std::string& cle, std::int32_t valeur);
  // An integer other than 0 is true; the default when unreadable.
  bool ReadBool(const std::string& section, const std::string& cle, bool defaut) const;
  void WriteBool(const std::string& section, const std::string& cle, bool valeur);
  // With the user's decimal separator (the other one is accepted too);
  // the default when empty or unreadable.
  double ReadFloat(const std::string& section, const std::string& cle, double defaut) const;
  // General format, 15 significant digits, the user's decimal separator.
  void WriteFloat(const std::string& section, const std::string& cle, double valeur);

  // Local date and time as "dd/mm/yyyy hh:mm:ss" (the time left out at
  // midnight); the default when unreadable.
  TDateHeure ReadDateTime(const std::string& section, const std::string& cle,
                          TDateHeure defaut) const;
  void WriteDateTime(const std::string& section, const std::string& cle, TDateHeure valeur);

  // The value bytes as stored; `defaut` (bytes) when absent.
  std::string ReadRawString(const std::string& section, const std::string& cle,
                            std::string_view defaut) const;
  // Stores the bytes as given, except CR, LF and NUL, which would break the
  // line structure and become blanks.
  void WriteRawString(const std::string& section, const std::string& cle,
                      std::string_view valeur);

 private:
  struct Section {
    std::string nom;                 // Windows-1252
    std::vector<std::string> lignes;  // "key=value" or a bare line, Windows-1252
  };
  const Section* trouveSection(std::string_view nom) const;
  Section* trouveSection(std::string_view nom);
  static std::ptrdiff_t trouveCle(const Section& s, std::string_view cle);

  std::string FnomFichier;
  std::vector<Section> Fsections;
};
