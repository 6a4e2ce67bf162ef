#include "core/channels/numbers/nombres.h"

#include <langinfo.h>
#include <locale.h>

#include <atomic>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <limits>
#include <system_error>

#include "core/channels/numbers/fichier_ini.h"
#include "core/channels/numbers/texte.h"

const std::array<TPrefixe, nbrePrefixes> tablePrefixes = {{
    {"", "E-27", -27},   {"y", "E-24", -24}, {"z", "E-21", -21}, {"a", "E-18", -18},
    {"f", "E-15", -15},  {"p", "E-12", -12}, {"n", "E-9", -9},   {"\u00B5", "E-6", -6},
    {"m", "E-3", -3},    {"", "", 0},        {"k", "E+3", 3},    {"M", "E+6", 6},
    {"G", "E+9", 9},     {"T", "E+12", 12},  {"P", "E+15", 15},  {"E", "E+18", 18},
    {"Z", "E+21", 21},   {"Y", "E+24", 24},  {"", "E+27", 27},
}};

int indicePrefixeLecture(char32_t c) {
  switch (c) {
    case U'y': return 1;
    case U'z': return 2;
    case U'a': return 3;
    case U'f': return 4;
    case U'p': return 5;
    case U'n': return 6;
    case U'\u00B5': return 7;
    case U'm': return 8;
    case U'k': return 10;
    case U'M': return 11;
    case U'G': return 12;
    case U'T': return 13;
    case U'P': return 14;
    case U'E': return 15;
    default: return -1;
  }
}

// ---------------------------------------------------------------------------
// Decimal separator

namespace {
// 0 until first asked for, then '.' or ','.
std::atomic<char> gSeparateur{0};
}  // namespace

char separateurDecimalDuSysteme() {
  // A private locale object: the process-wide C locale is never touched.
  locale_t loc = newlocale(LC_NUMERIC_MASK, "", locale_t(nullptr));
  if (loc == locale_t(nullptr)) return '.';
  const char* radix = nl_langinfo_l(RADIXCHAR, loc);
  const char sep = (radix != nullptr && std::strcmp(radix, ",") == 0) ? ',' : '.';
  freelocale(loc);
  return sep;
}

char separateurDecimal() {
  char s = gSeparateur.load(std::memory_order_relaxed);
  if (s == 0) {
    char attendu = 0;
    gSeparateur.compare_exchange_strong(attendu, separateurDecimalDuSysteme());
    s = gSeparateur.load(std::memory_order_relaxed);
  }
  return s;
}

void fixeSeparateurDecimal(char separateur) {
  gSeparateur.store(separateur == ',' ? ',' : '.', std::memory_order_relaxed);
}

// ---------------------------------------------------------------------------
// Rounding

namespace {
constexpr double deuxPuiss52 = 4503599627370496.0;
constexpr double limiteInt64 = 9223372036854775808.0;  // 2^63

std::int64_t versInt64Sature(double x) {
  if (std::isnan(x)) return 0;
  if (x >= limiteInt64) return std::numeric_limits<std::int64_t>::max();
  if (x < -limiteInt64) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(x);
}
}  // namespace

double arrondiPair(double x) {
  if (!(std::fabs(x) < deuxPuiss52)) return x;  // already whole, or NaN/inf
  const double t = std::trunc(x);
  const double f = x - t;  // exact
  const double un = x < 0 ? -1.0 : 1.0;
  if (std::fabs(f) > 0.5) return t + un;
  if (std::fabs(f) == 0.5) return std::fmod(t, 2.0) != 0.0 ? t + un : t;
  return t;
}

std::int64_t arrondiEntier(double x) { return versInt64Sature(arrondiPair(x)); }

std::int64_t tronqueEntier(double x) {
  if (!std::isfinite(x)) return versInt64Sature(x);
  const double n = arrondiPair(x);
  // Decimal inputs carry a relative error of a few ulps; a value that close
  // to an integer stands for that integer.
  if (std::fabs(x - n) <= 32 * DBL_EPSILON * std::fmax(1.0, std::fabs(n)))
    return versInt64Sature(n);
  return versInt64Sature(std::trunc(x));
}

std::int64_t quotientTronque(double a, double b) {
  if (b == 0) return 0;
  return tronqueEntier(a / b);
}

// ---------------------------------------------------------------------------
// Text <-> number

namespace {

bool chiffre(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool essaieTexteVersReel(std::string_view t, double& valeur, char separateur) {
  std::size_t i = 0;
  const std::size_t n = t.size();
  bool negatif = false;
  if (i < n && (t[i] == '+' || t[i] == '-')) negatif = t[i++] == '-';
  const std::size_t debutEntier = i;
  while (i < n && chiffre(t[i])) ++i;
  const std::string_view entier = t.substr(debutEntier, i - debutEntier);
  std::string_view fraction;
  if (i < n && t[i] == separateur) {
    const std::size_t d = ++i;
    while (i < n && chiffre(t[i])) ++i;
    fraction = t.substr(d, i - d);
  }
  if (entier.empty() && fraction.empty()) return false;
  bool expNegatif = false;
  std::string_view exposant;
  if (i < n && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < n && (t[i] == '+' || t[i] == '-')) expNegatif = t[i++] == '-';
    const std::size_t d = i;
    while (i < n && chiffre(t[i])) ++i;
    exposant = t.substr(d, i - d);
    if (exposant.empty()) return false;
  }
  if (i != n) return false;

  std::string norme;
  norme.reserve(n + 4);
  if (negatif) norme += '-';
  norme += entier.empty() ? std::string_view("0") : entier;
  if (!fraction.empty()) {
    norme += '.';
    norme += fraction;
  }
  if (!exposant.empty()) {
    norme += 'e';
    if (expNegatif) norme += '-';
    norme += exposant;
  }
  double v = 0;
  const auto [fin, err] = std::from_chars(norme.data(), norme.data() + norme.size(), v);
  if (err == std::errc() && fin == norme.data() + norme.size()) {
    valeur = v;
    return true;
  }
  if (err != std::errc::result_out_of_range) return false;
  // Tell an underflow (reads as zero) from an overflow (unreadable) by the
  // decimal order of the first significant digit.
  long long ordre = 0;
  bool trouve = false;
  for (std::size_t k = 0; k < entier.size() && !trouve; ++k)
    if (entier[k] != '0') {
      ordre = static_cast<long long>(entier.size() - k) - 1;
      trouve = true;
    }
  for (std::size_t k = 0; k < fraction.size() && !trouve; ++k)
    if (fraction[k] != '0') {
      ordre = -static_cast<long long>(k) - 1;
      trouve = true;
    }
  long long e = 0;
  for (char c : exposant) {
    e = e * 10 + (c - '0');
    if (e > 1000000000LL) break;
  }
  ordre += expNegatif ? -e : e;
  if (!trouve || ordre < 0) {
    valeur = negatif ? -0.0 : 0.0;
    return true;
  }
  return false;
}

bool essaieTexteVersReel(std::string_view texte, double& valeur) {
  return essaieTexteVersReel(texte, valeur, separateurDecimal());
}

bool essaieTexteVersEntier(std::string_view t, std::int32_t& valeur) {
  std::size_t i = 0;
  bool negatif = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negatif = t[i++] == '-';
  if (i == t.size()) return false;
  long long v = 0;
  for (; i < t.size(); ++i) {
    if (!chiffre(t[i])) return false;
    v = v * 10 + (t[i] - '0');
    if (v > 2147483648LL) return false;
  }
  if (negatif) v = -v;
  if (v > std::numeric_limits<std::int32_t>::max()) return false;
  valeur = static_cast<std::int32_t>(v);
  return true;
}

std::string formatGeneral(double valeur, int precision, int chiffresExposant, char separateur) {
  if (std::isnan(valeur)) return "NAN";
  if (std::isinf(valeur)) return valeur < 0 ? "-INF" : "INF";
  if (valeur == 0) return "0";
  if (precision < 1) precision = 1;
  if (precision > 17) precision = 17;
  if (chiffresExposant < 0) chiffresExposant = 0;
  if (chiffresExposant > 4) chiffresExposant = 4;

  char buf[64];
  const auto res =
      std::to_chars(buf, buf + sizeof buf, valeur, std::chars_format::scientific, precision - 1);
  const std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));
  // sci is "[-]d[.ddd]e(+|-)xx"
  std::size_t i = 0;
  const bool negatif = sci[0] == '-';
  if (negatif) ++i;
  std::string chiffres;
  for (; i < sci.size() && sci[i] != 'e'; ++i)
    if (sci[i] != '.') chiffres += sci[i];
  int e = 0;
  std::from_chars(sci.data() + i + 1 + (sci[i + 1] == '+' ? 1 : 0), sci.data() + sci.size(), e);
  while (chiffres.size() > 1 && chiffres.back() == '0') chiffres.pop_back();

  std::string r;
  if (negatif) r += '-';
  if (e < -4 || e >= precision) {
    r += chiffres[0];
    if (chiffres.size() > 1) {
      r += separateur;
      r.append(chiffres, 1, std::string::npos);
    }
    r += 'E';
    if (e < 0) r += '-';
    const std::string ex = std::to_string(e < 0 ? -e : e);
    if (static_cast<int>(ex.size()) < chiffresExposant)
      r.append(static_cast<std::size_t>(chiffresExposant) - ex.size(), '0');
    r += ex;
  } else if (e >= 0) {
    const auto avant = static_cast<std::size_t>(e) + 1;
    if (chiffres.size() <= avant) {
      r += chiffres;
      r.append(avant - chiffres.size(), '0');
    } else {
      r.append(chiffres, 0, avant);
      r += separateur;
      r.append(chiffres, avant, std::string::npos);
    }
  } else {
    r += '0';
    r += separateur;
    r.append(static_cast<std::size_t>(-e - 1), '0');
    r += chiffres;
  }
  return r;
}

std::string formatGeneral(double valeur, int precision, int chiffresExposant) {
  return formatGeneral(valeur, precision, chiffresExposant, separateurDecimal());
}

std::string formatFixe(double valeur, int decimales, char separateur) {
  if (std::isnan(valeur)) return "NAN";
  if (std::isinf(valeur)) return valeur < 0 ? "-INF" : "INF";
  if (decimales < 0) decimales = 0;
  if (decimales > 30) decimales = 30;
  char buf[400];
  const auto res =
      std::to_chars(buf, buf + sizeof buf, valeur, std::chars_format::fixed, decimales);
  std::string r(buf, res.ptr);
  bool nul = true;
  for (char& c : r) {
    if (c == '.') c = separateur;
    else if (c >= '1' && c <= '9') nul = false;
  }
  // A value that rounds to zero is written without a sign.
  if (nul && !r.empty() && r[0] == '-') r.erase(0, 1);
  return r;
}

std::string formatFixe(double valeur, int decimales) {
  return formatFixe(valeur, decimales, separateurDecimal());
}

// ---------------------------------------------------------------------------

void enleveBlancs(std::string& texte) {
  std::erase_if(texte, [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

double lireNombre(std::string_view texte) {
  std::string s(texte);
  enleveBlancs(s);
  const char sep = separateurDecimal();
  if (sep != ',') {
    const auto p = s.find(',');
    if (p != std::string::npos) s[p] = sep;
  } else {
    const auto p = s.find('.');
    if (p != std::string::npos) s[p] = ',';
  }
  if (!s.empty()) {
    // Start of the last character.
    std::size_t debut = s.size() - 1;
    while (debut > 0 && s.size() - debut < 4 && (static_cast<unsigned char>(s[debut]) & 0xC0) == 0x80)
      --debut;
    std::size_t fin = debut;
    const char32_t c = lisCaractere(s, fin);
    if (fin == s.size()) {
      const int ip = indicePrefixeLecture(c);
      if (ip >= 0) s.replace(debut, std::string::npos, tablePrefixes[static_cast<std::size_t>(ip)].exposant);
    }
  }
  double v;
  return essaieTexteVersReel(s, v, sep) ? v : valeurAbsente;
}

// ---------------------------------------------------------------------------
// Numeric evaluator

namespace {

constexpr int taillePile = 10;
// Deep enough for any sensible expression, shallow enough for the call stack.
constexpr int profondeurMax = 64;
constexpr double valeurPi = 3.141592653589793;

class TEvaluateur {
 public:
  explicit TEvaluateur(std::u32string t) : Ftexte(std::move(t)) {}

  double evalue() {
    expression();
    if (Fpos != Ftexte.size()) throw EGetFloatError(msgErreurNombre);
    return depile();
  }

 private:
  struct Niveau {
    explicit Niveau(int& p) : Fp(p) {
      if (++Fp > profondeurMax) throw EGetFloatError(msgTropComplexe);
    }
    ~Niveau() { --Fp; }
    Niveau(const Niveau&) = delete;
    Niveau& operator=(const Niveau&) = delete;
    int& Fp;
  };

  char32_t car() const { return Fpos < Ftexte.size() ? Ftexte[Fpos] : 0; }
  void avance() { ++Fpos; }

  void empile(double v) {
    if (Fn >= taillePile) throw EGetFloatError(msgTropComplexe);
    Fpile[Fn++] = v;
  }
  double depile() {
    if (Fn == 0) throw EGetFloatError(msgErreurInterne);
    return Fpile[--Fn];
  }
  static double verifie(double r) {
    if (!std::isfinite(r)) throw EGetFloatError(msgDepassementCapacite);
    return r;
  }
  // An unreadable number (1E+, 1e400) stays missing through the arithmetic
  // instead of turning into a tiny or huge value that looks real.
  static bool absent(double a, double b) { return a == valeurAbsente || b == valeurAbsente; }
  void empileOppose() {
    const double v = depile();
    empile(v == valeurAbsente ? v : -v);
  }

  void expression() {
    Niveau niveau(Fprofondeur);
    bool negatif = false;
    if (car() == U'+') {
      avance();
    } else if (car() == U'-') {
      negatif = true;
      avance();
    }
    terme();
    if (negatif) empileOppose();
    while (car() == U'+' || car() == U'-') {
      const char32_t op = car();
      avance();
      terme();
      const double b = depile();
      const double a = depile();
      if (absent(a, b)) empile(valeurAbsente);
      else empile(verifie(op == U'+' ? a + b : a - b));
    }
  }

  void terme() {
    facteur();
    while (car() == U'*' || car() == U'/') {
      const char32_t op = car();
      avance();
      facteur();
      const double b = depile();
      const double a = depile();
      if (absent(a, b)) empile(valeurAbsente);
      else if (op == U'/' && b == 0) throw EGetFloatError(msgDivisionParZero);
      else empile(verifie(op == U'*' ? a * b : a / b));
    }
  }

  void facteur() {
    const char32_t c = car();
    if (c == U'P' || c == U'p') {
      nom();
    } else if (c == U'+' || c == U'-') {
      // A sign inside a term (2*-3) applies to the factor that follows.
      Niveau niveau(Fprofondeur);
      avance();
      facteur();
      if (c == U'-') empileOppose();
    } else if (c == U'.' || (c >= U'0' && c <= U'9')) {
      nombre();
    } else if (c == U'(') {
      avance();
      expression();
      if (car() == U')') avance();
      else if (car() != 0) throw EGetFloatError(msgErreurParentheseFermante);
    } else {
      throw EGetFloatError(msgErreurParentheseOuvrante);
    }
  }

  void nom() {
    std::u32string n;
    for (char32_t c = car(); c == U'I' || c == U'P' || c == U'i' || c == U'p'; c = car()) {
      if (n.size() >= 8) throw EGetFloatError(msgIdentificateurTropLong);
      n += c;
      avance();
    }
    if (n.size() == 2 && (n[0] == U'P' || n[0] == U'p') && (n[1] == U'I' || n[1] == U'i'))
      empile(valeurPi);
    else
      throw EGetFloatError(msgErreurNombre);
  }

  static bool estChiffre(char32_t c) { return c >= U'0' && c <= U'9'; }

  void nombre() {
    const std::size_t debut = Fpos;
    while (estChiffre(car())) avance();
    if (car() == U'.' || car() == U',') {
      avance();
      while (estChiffre(car())) avance();
    }
    if (car() == U'E' || car() == U'e') {
      avance();
      if (car() == U'+' || car() == U'-') avance();
      while (estChiffre(car())) avance();
    } else if (indicePrefixeLecture(car()) >= 0) {
      avance();
    }
    std::u32string lu = Ftexte.substr(debut, Fpos - debut);
    if (!lu.empty() && (lu[0] == U'E' || lu[0] == U'e')) lu.insert(0, 1, U'1');
    if (!lu.empty() && (lu[0] == U'.' || lu[0] == U',')) lu.insert(0, 1, U'0');
    empile(lireNombre(versUtf8(lu)));
  }

  std::u32string Ftexte;
  std::size_t Fpos = 0;
  std::array<double, taillePile> Fpile{};
  int Fn = 0;
  int Fprofondeur = 0;
};

}  // namespace

double evalueNombre(std::string_view texte) {
  std::string s(texte);
  enleveBlancs(s);
  for (char& c : s)
    if (c == ',') c = '.';
  if (s.empty()) return valeurAbsente;
  TEvaluateur e(versUtf32(s));
  return e.evalue();
}

// ---------------------------------------------------------------------------
// Formatting

std::string formatNombre(double valeur, int n) {
  if (valeur == valeurAbsente) return " ";
  const double a = std::fabs(valeur);
  return formatGeneral(valeur, n, (a < 1e-10 || a >= 1e10) ? 2 : 1);
}

std::string formatEchange(double valeur) { return formatGeneral(valeur, 7, 2, '.'); }

// ---------------------------------------------------------------------------
// Durations

namespace {

// Seconds written with an SI prefix, as values with the unit "s" are.
std::string formatSecondes(double x) {
  if (x == valeurAbsente) return "";
  double a = std::fabs(x);
  if (a < 1e-12) return "0 s";
  if (!(a <= 1e12)) return "???";
  int i = indicePrefixeUnite;
  while (a >= 999 && i < nbrePrefixes - 1) {
    a /= 1000;
    ++i;
  }
  while (a < 0.999 && i > 0) {
    a *= 1000;
    --i;
  }
  std::string r = formatFixe(a, a < 10 ? 2 : (a < 100 ? 1 : 0));
  if (x < 0) r.insert(0, 1, '-');
  r += ' ';
  const int p = tablePrefixes[static_cast<std::size_t>(i)].puissance;
  if (p >= -18 && p <= 18) {
    r += tablePrefixes[static_cast<std::size_t>(i)].lettre;
    r += 's';
  } else {
    r += "10" + std::to_string(p) + " s";
  }
  return r;
}

std::string deuxChiffres(std::int64_t v) {
  std::string s = std::to_string(v);
  if (s.size() < 2) s.insert(0, 1, '0');
  return s;
}

// Time of day "h:m[:s[.f]]" in seconds.
bool lisHeure(std::string_view t, double& secondes) {
  std::size_t i = 0;
  auto champ = [&](std::int64_t& v) {
    const std::size_t d = i;
    v = 0;
    while (i < t.size() && chiffre(t[i]) && i - d < 9) v = v * 10 + (t[i++] - '0');
    return i > d && !(i < t.size() && chiffre(t[i]));
  };
  std::int64_t h = 0, m = 0, s = 0;
  if (!champ(h) || i >= t.size() || t[i] != ':') return false;
  ++i;
  if (!champ(m)) return false;
  double fraction = 0;
  if (i < t.size() && t[i] == ':') {
    ++i;
    if (!champ(s)) return false;
    if (i < t.size() && (t[i] == '.' || t[i] == ',')) {
      const std::size_t d = ++i;
      while (i < t.size() && chiffre(t[i])) ++i;
      if (i == d) return false;
      std::string f = "0.";
      f.append(t.substr(d, i - d));
      if (!essaieTexteVersReel(f, fraction, '.')) return false;
    }
  }
  if (i != t.size() || h > 23 || m > 59 || s > 59) return false;
  secondes = static_cast<double>(h * 3600 + m * 60 + s) + fraction;
  return true;
}

}  // namespace

double lireDuree(std::string_view texte) {
  std::string s(texte);
  enleveBlancs(s);
  if (s.find(':') == std::string::npos) {
    double total = 0;
    bool illisible = false;
    auto partieEntiere = [&](std::string_view marque, double facteur) {
      const auto p = s.find(marque);
      if (p == std::string::npos) return;
      std::int32_t v;
      if (essaieTexteVersEntier(std::string_view(s).substr(0, p), v)) total += v * facteur;
      s.erase(0, p + marque.size());
    };
    // diviseur rather than a factor below one: 1.5/1000 is the nearest double
    // to 0.0015, 1.5*0.001 need not be.
    auto partieReelle = [&](std::string_view marque, double facteur, double diviseur) {
      const auto p = s.find(marque);
      if (p == std::string::npos) return;
      const double v = lireNombre(std::string_view(s).substr(0, p));
      if (v == valeurAbsente) illisible = true;
      else total += v * facteur / diviseur;
      s.erase(0, p + marque.size());
    };
    partieEntiere("j", 86400);
    partieEntiere("h", 3600);
    partieReelle("min", 60, 1);
    partieReelle("m", 1, 1000);
    partieReelle("\u00B5", 1, 1e6);
    const auto ps = s.find('s');
    if (ps != std::string::npos) s.erase(ps, 1);
    if (!s.empty()) {
      const double v = lireNombre(s);
      if (v == valeurAbsente) illisible = true;
      else total += v;
    }
    // An unreadable part alone leaves the missing-value marker, as the
    // marker itself would have been added.
    if (total == 0) return illisible ? valeurAbsente : 0.1;
    return total;
  }
  std::int32_t jours = 0;
  const auto pj = s.find('j');
  if (pj != std::string::npos) {
    if (!essaieTexteVersEntier(std::string_view(s).substr(0, pj), jours)) jours = 0;
    s.erase(0, pj + 1);
  } else if (s.find(':', octetDuCaractere(s, 2)) == std::string::npos) {
    s.insert(0, "0:");
  }
  double heure = 0;
  if (!lisHeure(s, heure)) heure = 0;
  return jours * 86400.0 + heure;
}

std::string formatDuree(double secondes) {
  if (std::isnan(secondes)) return "???";
  if (secondes < 300) return formatSecondes(secondes);
  if (secondes > 1e12) return "???";
  double x = secondes;
  if (x > 43200) x = arrondiPair(x / 60) * 60;
  else if (x > 7200) x = arrondiPair(x / 15) * 15;
  // Whole seconds of the time of day, from the value to the millisecond.
  const std::int64_t s = arrondiEntier(x * 1000) / 1000;
  const std::int64_t jours = s / 86400;
  const std::int64_t reste = s % 86400;
  const std::int64_t h = reste / 3600;
  const std::int64_t m = (reste / 60) % 60;
  if (jours > 0) return std::to_string(jours) + "j " + deuxChiffres(h) + "h";
  if (s >= 3600) return deuxChiffres(h) + "h" + deuxChiffres(m);
  return std::to_string(h) + ":" + deuxChiffres(m) + ":" + deuxChiffres(reste % 60);
}

std::string formatHMS(double secondes) {
  if (!std::isfinite(secondes)) return "???";
  double r = arrondiPair(secondes);
  std::string signe;
  if (r < 0) {
    signe = "-";
    r = -r;
  }
  if (r > 3.6e15) return "???";
  const auto s = static_cast<std::int64_t>(r);
  return signe + deuxChiffres(s / 3600) + ":" + deuxChiffres((s / 60) % 60) + ":" +
         deuxChiffres(s % 60);
}

double arrondi125(double x) {
  if (!std::isfinite(x)) return x;
  const double a = std::fabs(x);
  if (a < 1e-6) return 0;
  const int k = static_cast<int>(std::floor(std::log10(a)));
  // Powers of ten up to 1e22 are exact; dividing by them keeps decimal
  // results the nearest doubles (0.005 rather than 5 * 0.001).
  double d = k < 0 ? a * std::pow(10.0, -k) : a / std::pow(10.0, k);
  d = arrondiPair(d);
  if (d >= 3 && d <= 5) d = 5;
  else if (d > 5) d = 10;
  const double r = k < 0 ? d / std::pow(10.0, -k) : d * std::pow(10.0, k);
  return x < 0 ? -r : r;
}

double secondesDepuis(TDateHeure t, TDateHeure maintenant) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(maintenant - t).count();
  return static_cast<double>(ms % 86400000) / 1000.0;
}

double secondesDepuis(TDateHeure t) { return secondesDepuis(t, std::chrono::system_clock::now()); }

int valeurChiffre(char32_t c) {
  if (c >= U'0' && c <= U'9') return static_cast<int>(c - U'0');
  switch (c) {
    case U'\u2070': return 0;
    case U'\u00B9': return 1;
    case U'\u00B2': return 2;
    case U'\u00B3': return 3;
    default: break;
  }
  if (c >= U'\u2074' && c <= U'\u2079') return static_cast<int>(c - U'\u2070');
  return 0;
}

int posDepuis(std::string_view sousChaine, std::string_view chaine, int k) {
  if (sousChaine.empty()) return 0;
  if (k < 0) k = 0;
  const std::size_t debut = octetDuCaractere(chaine, static_cast<std::size_t>(k));
  const std::size_t p = chaine.find(sousChaine, debut);
  if (p == std::string_view::npos) return 0;
  return static_cast<int>(nbreCaracteres(chaine.substr(0, p))) + 1;
}

std::string ajusteLongueur(std::string_view texte, int w) {
  if (w <= 0) return {};
  const auto largeur = static_cast<std::size_t>(w);
  const std::size_t n = nbreCaracteres(texte);
  if (n >= largeur) return std::string(sousTexte(texte, 0, largeur));
  std::string r(texte);
  r.append(largeur - n, ' ');
  return r;
}

std::string avecBarre(std::string_view dossier) {
  std::string r(dossier);
  if (!r.empty() && r.back() != '/') r += '/';
  return r;
}

// ---------------------------------------------------------------------------
// One-byte codes

namespace {

struct TCode {
  char32_t car;
  unsigned char octet;
};

// Greek rows shared by both codes (kappa is the plain letter k).
constexpr TCode codesGrecs[] = {
    {U'α', 128}, {U'β', 129}, {U'γ', 134}, {U'δ', 131}, {U'ε', 132}, {U'ζ', 149},
    {U'η', 135}, {U'θ', 140}, {U'κ', 107}, {U'λ', 136}, {U'μ', 181}, {U'ν', 138},
    {U'ξ', 147}, {U'π', 139}, {U'ρ', 141}, {U'σ', 142}, {U'τ', 143}, {U'φ', 133},
    {U'χ', 130}, {U'ψ', 148}, {U'ω', 144}, {U'Γ', 152}, {U'Δ', 150}, {U'Θ', 155},
    {U'Λ', 153}, {U'Ξ', 158}, {U'Π', 154}, {U'Σ', 156}, {U'Φ', 151}, {U'Ψ', 159},
    {U'Ω', 157}};

constexpr TCode codesExposants[] = {
    {U'⁰', 186}, {U'¹', 185}, {U'²', 178}, {U'³', 179}, {U'⁴', 165}, {U'⁵', 169},
    {U'⁶', 172}, {U'⁷', 173}, {U'⁸', 174}, {U'⁹', 188}, {U'⁻', 170}, {U'⁺', 184}};

// The other bytes of 128..188 when reading.
constexpr TCode autresOctets[] = {
    {U'‰', 137}, {U'‘', 145}, {U'’', 146}, {U'\u00A0', 160}, {U'¡', 161}, {U'¢', 162},
    {U'£', 163}, {U'³', 164}, {U'¦', 166}, {U'§', 167},      {U'¨', 168}, {U'«', 171},
    {U'¯', 175}, {U'°', 176}, {U'±', 177}, {U'´', 180},      {U'¶', 182}, {U'·', 183},
    {U'»', 187}};

int codeGrec(char32_t c) {
  for (const auto& g : codesGrecs)
    if (g.car == c) return g.octet;
  return -1;
}

// Inverse table of the bytes 128..188.
struct TTableLecture {
  std::array<char32_t, 61> car{};
  constexpr TTableLecture() {
    for (const auto& g : codesGrecs)
      if (g.octet >= 128) car[g.octet - 128] = g.car;
    for (const auto& g : codesExposants) car[g.octet - 128] = g.car;
    for (const auto& g : autresOctets) car[g.octet - 128] = g.car;
  }
};
constexpr TTableLecture tableLecture;

}  // namespace

std::string versSymbole(std::string_view texte) {
  std::string r;
  r.reserve(texte.size());
  for (std::size_t i = 0; i < texte.size();) {
    const char32_t c = lisCaractere(texte, i);
    const int code = codeGrec(c);
    ajouteCaractere(r, code >= 0 ? static_cast<char32_t>(code) : c);
  }
  return r;
}

std::string codeChaineIni(std::string_view texte) {
  std::string r;
  for (std::size_t i = 0; i < texte.size() && r.size() < 255;) {
    const char32_t c = lisCaractere(texte, i);
    int code = codeGrec(c);
    if (code < 0)
      for (const auto& e : codesExposants)
        if (e.car == c) code = e.octet;
    if (code < 0) code = static_cast<int>(c & 0xFF);
    r += static_cast<char>(code);
  }
  return r;
}

std::string decodeChaineIni(std::string_view octets) {
  std::string r;
  r.reserve(octets.size() * 2);
  for (char o : octets) {
    const auto b = static_cast<unsigned char>(o);
    ajouteCaractere(r, (b >= 128 && b <= 188) ? tableLecture.car[b - 128] : char32_t(b));
  }
  return r;
}

void ecritChaineIni(TFichierIni& ini, const std::string& section, const std::string& cle,
                    const std::string& valeur) {
  ini.WriteRawString(section, cle, codeChaineIni(valeur));
}

std::string litChaineIni(const TFichierIni& ini, const std::string& section,
                         const std::string& cle, const std::string& defaut) {
  if (!ini.ValueExists(section, cle)) return defaut;
  return decodeChaineIni(ini.ReadRawString(section, cle, {}));
}

// ---------------------------------------------------------------------------
// Desktop services

namespace {

class TServicesParDefaut : public TServicesBureau {
 public:
  void afficheErreur(const std::string& message) override { std::cerr << message << '\n'; }
  std::string dossierSpecial(int) override { return {}; }
};

TServicesParDefaut gServicesParDefaut;
std::atomic<TServicesBureau*> gServices{nullptr};

}  // namespace

void fixeServicesBureau(TServicesBureau* services) { gServices.store(services); }

TServicesBureau& servicesBureau() {
  TServicesBureau* s = gServices.load();
  return s != nullptr ? *s : gServicesParDefaut;
}

void afficheErreur(const std::string& message) { servicesBureau().afficheErreur(message); }

std::string dossierSpecial(int identifiant) {
  return avecBarre(servicesBureau().dossierSpecial(identifiant));
}
