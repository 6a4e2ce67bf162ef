#include "core/channels/numbers/fichier_ini.h"

#include <cstdio>
#include <fstream>
#include <limits>
#include <utility>

#include "core/channels/numbers/date_heure.h"
#include "core/channels/numbers/nombres.h"
#include "core/channels/numbers/texte.h"

namespace {

std::string_view enleveBords(std::string_view s) {
  std::size_t a = 0, b = s.size();
  while (a < b && static_cast<unsigned char>(s[a]) <= ' ') ++a;
  while (b > a && static_cast<unsigned char>(s[b - 1]) <= ' ') --b;
  return s.substr(a, b - a);
}

// A name or value must stay on its line.
std::string surUneLigne(std::string s) {
  for (char& c : s)
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  return s;
}

std::string en1252(const std::string& utf8) { return versWindows1252(utf8); }

bool chiffreHexa(char c, unsigned& v) {
  if (c >= '0' && c <= '9') v = unsigned(c - '0');
  else if (c >= 'a' && c <= 'f') v = unsigned(c - 'a' + 10);
  else if (c >= 'A' && c <= 'F') v = unsigned(c - 'A' + 10);
  else return false;
  return true;
}

// Integer text as the Windows programs write and read it: decimal, or
// hexadecimal after "$" or "0x".
bool lisEntierIni(std::string_view t, std::int32_t& valeur) {
  std::size_t i = 0;
  bool negatif = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negatif = t[i++] == '-';
  std::size_t debutHexa = std::string_view::npos;
  if (i < t.size() && t[i] == '$') debutHexa = i + 1;
  else if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) debutHexa = i + 2;
  if (debutHexa == std::string_view::npos) return essaieTexteVersEntier(t, valeur);
  if (debutHexa >= t.size() || t.size() - debutHexa > 8) return false;
  std::uint32_t v = 0;
  for (std::size_t k = debutHexa; k < t.size(); ++k) {
    unsigned c;
    if (!chiffreHexa(t[k], c)) return false;
    v = (v << 4) | c;
  }
  if (negatif) v = ~v + 1;
  valeur = static_cast<std::int32_t>(v);
  return true;
}

}  // namespace

TFichierIni::TFichierIni(std::string nomFichier) : FnomFichier(std::move(nomFichier)) {
  Rename(FnomFichier, true);
}

void TFichierIni::Rename(const std::string& nomFichier, bool recharge) {
  FnomFichier = nomFichier;
  if (!recharge) return;
  Clear();
  if (FnomFichier.empty()) return;
  std::FILE* f = std::fopen(FnomFichier.c_str(), "rb");
  if (f == nullptr) return;
  std::string contenu;
  char tampon[65536];
  std::size_t n;
  while ((n = std::fread(tampon, 1, sizeof tampon, f)) > 0) contenu.append(tampon, n);
  const bool erreur = std::ferror(f) != 0;
  std::fclose(f);
  if (!erreur) SetText(contenu);
}

void TFichierIni::SetText(std::string_view octets) {
  Clear();
  std::string converti;
  // A file saved by a Unicode editor: back to the code page.
  if (octets.substr(0, 3) == "\xEF\xBB\xBF") {
    converti = versWindows1252(octets.substr(3));
    octets = converti;
  }
  Section* courante = nullptr;
  std::size_t i = 0;
  while (i < octets.size()) {
    std::size_t fin = i;
    while (fin < octets.size() && octets[fin] != '\r' && octets[fin] != '\n') ++fin;
    const std::string_view ligne = enleveBords(octets.substr(i, fin - i));
    i = fin;
    if (i < octets.size()) {
      if (octets[i++] == '\r' && i < octets.size() && octets[i] == '\n') ++i;
    }

    if (ligne.empty() || ligne[0] == ';') continue;
    if (ligne[0] == '[' && ligne.back() == ']' && ligne.size() >= 2) {
      Fsections.push_back({std::string(enleveBords(ligne.substr(1, ligne.size() - 2))), {}});
      courante = &Fsections.back();
    } else if (courante != nullptr) {
      const auto egal = ligne.find('=');
      if (egal == std::string_view::npos) {
        courante->lignes.emplace_back(ligne);
      } else {
        std::string l(enleveBords(ligne.substr(0, egal)));
        l += '=';
        l += enleveBords(ligne.substr(egal + 1));
        courante->lignes.push_back(std::move(l));
      }
    }
  }
}

std::string TFichierIni::GetText() const {
  std::string r;
  for (const auto& s : Fsections) {
    r += '[';
    r += s.nom;
    r += "]\r\n";
    for (const auto& l : s.lignes) {
      r += l;
      r += "\r\n";
    }
    r += "\r\n";
  }
  return r;
}

bool TFichierIni::UpdateFile() const {
  if (FnomFichier.empty()) return false;
  std::ofstream f(FnomFichier, std::ios::binary | std::ios::trunc);
  if (!f) return false;
  const std::string texte = GetText();
  f.write(texte.data(), static_cast<std::streamsize>(texte.size()));
  f.close();
  return !f.fail();
}

const TFichierIni::Section* TFichierIni::trouveSection(std::string_view nom) const {
  for (const auto& s : Fsections)
    if (egauxSansCasse1252(s.nom, nom)) return &s;
  return nullptr;
}

TFichierIni::Section* TFichierIni::trouveSection(std::string_view nom) {
  for (auto& s : Fsections)
    if (egauxSansCasse1252(s.nom, nom)) return &s;
  return nullptr;
}

std::ptrdiff_t TFichierIni::trouveCle(const Section& s, std::string_view cle) {
  for (std::size_t i = 0; i < s.lignes.size(); ++i) {
    const std::string& l = s.lignes[i];
    const auto egal = l.find('=');
    if (egal != std::string::npos && egauxSansCasse1252(std::string_view(l).substr(0, egal), cle))
      return static_cast<std::ptrdiff_t>(i);
  }
  return -1;
}

bool TFichierIni::SectionExists(const std::string& section) const {
  return trouveSection(en1252(section)) != nullptr;
}

bool TFichierIni::ValueExists(const std::string& section, const std::string& cle) const {
  const Section* s = trouveSection(en1252(section));
  return s != nullptr && trouveCle(*s, en1252(cle)) >= 0;
}

std::vector<std::string> TFichierIni::ReadSections() const {
  std::vector<std::string> r;
  for (const auto& s : Fsections) {
    if (trouveSection(s.nom) == &s) r.push_back(depuisWindows1252(s.nom));
  }
  return r;
}

std::vector<std::string> TFichierIni::ReadSection(const std::string& section) const {
  std::vector<std::string> r;
  const Section* s = trouveSection(en1252(section));
  if (s == nullptr) return r;
  for (const auto& l : s->lignes) {
    const auto egal = l.find('=');
    if (egal != std::string::npos) r.push_back(depuisWindows1252(l.substr(0, egal)));
  }
  return r;
}

void TFichierIni::EraseSection(const std::string& section) {
  // Every section of that name goes, so that no older copy resurfaces.
  const std::string nom = en1252(section);
  std::erase_if(Fsections, [&](const Section& s) { return egauxSansCasse1252(s.nom, nom); });
}

void TFichierIni::DeleteKey(const std::string& section, const std::string& cle) {
  Section* s = trouveSection(en1252(section));
  if (s == nullptr) return;
  const std::string c = en1252(cle);
  for (std::ptrdiff_t i = trouveCle(*s, c); i >= 0; i = trouveCle(*s, c))
    s->lignes.erase(s->lignes.begin() + i);
}

std::string TFichierIni::ReadRawString(const std::string& section, const std::string& cle,
                                       std::string_view defaut) const {
  const Section* s = trouveSection(en1252(section));
  if (s == nullptr) return std::string(defaut);
  const std::ptrdiff_t i = trouveCle(*s, en1252(cle));
  if (i < 0) return std::string(defaut);
  const std::string& l = s->lignes[static_cast<std::size_t>(i)];
  return l.substr(l.find('=') + 1);
}

void TFichierIni::WriteRawString(const std::string& section, const std::string& cle,
                                 std::string_view valeur) {
  const std::string nomSection = surUneLigne(en1252(section));
  Section* s = trouveSection(nomSection);
  if (s == nullptr) {
    Fsections.push_back({nomSection, {}});
    s = &Fsections.back();
  }
  const std::string c = surUneLigne(en1252(cle));
  std::string ligne = c + "=" + surUneLigne(std::string(valeur));
  const std::ptrdiff_t i = trouveCle(*s, c);
  if (i >= 0) s->lignes[static_cast<std::size_t>(i)] = std::move(ligne);
  else s->lignes.push_back(std::move(ligne));
}

std::string TFichierIni::ReadString(const std::string& section, const std::string& cle,
                                    const std::string& defaut) const {
  if (!ValueExists(section, cle)) return defaut;
  return depuisWindows1252(ReadRawString(section, cle, {}));
}

void TFichierIni::WriteString(const std::string& section, const std::string& cle,
                              const std::string& valeur) {
  WriteRawString(section, cle, versWindows1252(valeur));
}

std::int32_t TFichierIni::ReadInteger(const std::string& section, const std::string& cle,
                                      std::int32_t defaut) const {
  std::int32_t v;
  return lisEntierIni(ReadRawString(section, cle, {}), v) ? v : defaut;
}

void TFichierIni::WriteInteger(const std::string& section, const std::string& cle,
                               std::int32_t valeur) {
  WriteRawString(section, cle, std::to_string(valeur));
}

bool TFichierIni::ReadBool(const std::string& section, const std::string& cle, bool defaut) const {
  return ReadInteger(section, cle, defaut ? 1 : 0) != 0;
}

void TFichierIni::WriteBool(const std::string& section, const std::string& cle, bool valeur) {
  WriteRawString(section, cle, valeur ? "1" : "0");
}

double TFichierIni::ReadFloat(const std::string& section, const std::string& cle,
                              double defaut) const {
  const std::string t = ReadRawString(section, cle, {});
  if (t.empty()) return defaut;
  // Files travel between machines set for either separator.
  const char sep = separateurDecimal();
  double v;
  if (essaieTexteVersReel(t, v, sep) || essaieTexteVersReel(t, v, sep == ',' ? '.' : ','))
    return v;
  return defaut;
}

void TFichierIni::WriteFloat(const std::string& section, const std::string& cle, double valeur) {
  WriteRawString(section, cle, formatGeneral(valeur, 15, 0));
}

TDateHeure TFichierIni::ReadDateTime(const std::string& section, const std::string& cle,
                                     TDateHeure defaut) const {
  TDateHeure t;
  return essaieTexteVersDateHeure(ReadRawString(section, cle, {}), t) ? t : defaut;
}

void TFichierIni::WriteDateTime(const std::string& section, const std::string& cle,
                                TDateHeure valeur) {
  WriteRawString(section, cle, texteDateHeure(valeur));
}
