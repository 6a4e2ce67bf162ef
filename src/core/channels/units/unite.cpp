#include "core/channels/units/unite.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string_view>
#include <vector>

#include "core/channels/numbers/nombres.h"
#include "core/channels/numbers/texte.h"

namespace {


// ---------------------------------------------------------------- tables

struct Entree {
  const Tunite* unite;
  std::u32string nom;
};

struct Tables {
  std::array<Tunite, 32> si;
  std::array<Tunite, 9> usuelles;
  std::vector<Entree> recherche;  // si, then usuelles
  std::size_t longueurMax = 0;    // longest name, in characters
  // Entries of recherche by name length, each in search order.
  std::vector<std::vector<const Entree*>> parLongueur;

  Tables() {
    struct Ligne {
      const char* nom;
      int p;
      std::int8_t d[nbreDimensions];
    };
    static constexpr Ligne lignesSI[32] = {
        {"m", 0, {1, 0, 0, 0, 0, 0, 0}},         {"A", 0, {0, 0, 0, 1, 0, 0, 0}},
        {"g", -3, {0, 1, 0, 0, 0, 0, 0}},        {"K", 0, {0, 0, 0, 0, 1, 0, 0}},
        {"mol", 0, {0, 0, 0, 0, 0, 1, 0}},       {"cd", 0, {0, 0, 0, 0, 0, 0, 1}},
        {"H", 0, {2, 1, -2, -2, 0, 0, 0}},       {"mol/l", 3, {-3, 0, 0, 0, 0, 1, 0}},
        {"F", 0, {-2, -1, 4, 2, 0, 0, 0}},       {"N", 0, {1, 1, -2, 0, 0, 0, 0}},
        {"\u03a9", 0, {2, 1, -3, -2, 0, 0, 0}},  {"S", 0, {-2, -1, 3, 2, 0, 0, 0}},
        {"T", 0, {0, 1, -2, -1, 0, 0, 0}},       {"V", 0, {2, 1, -3, -1, 0, 0, 0}},
        {"Hz", 0, {0, 0, -1, 0, 0, 0, 0}},       {"s", 0, {0, 0, 1, 0, 0, 0, 0}},
        {"Pa", 0, {-1, 1, -2, 0, 0, 0, 0}},      {"J", 0, {2, 1, -2, 0, 0, 0, 0}},
        {"W", 0, {2, 1, -3, 0, 0, 0, 0}},        {"C", 0, {0, 0, 1, 1, 0, 0, 0}},
        {"Wb", 0, {2, 1, -2, -1, 0, 0, 0}},      {"lm", 0, {0, 0, 0, 0, 0, 0, 1}},
        {"N/m", 0, {0, 1, -2, 0, 0, 0, 0}},      {"J/K", 0, {2, 1, -2, 0, -1, 0, 0}},
        {"J/(kg.K)", 0, {2, 0, -2, 0, -1, 0, 0}}, {"V/m", 0, {1, 1, -3, -1, 0, 0, 0}},
        {"S/m", 0, {-3, -1, 3, 2, 0, 0, 0}},     {"W/(m.K))", 0, {1, 1, -3, 0, -1, 0, 0}},
        {"C.m", 0, {1, 0, 1, 1, 0, 0, 0}},       {"\u03a9m", 0, {3, 1, -3, -2, 0, 0, 0}},
        {"N.m", 0, {2, 1, -2, 0, 0, 0, 0}},      {"lx", 0, {-2, 0, 0, 0, 0, 0, 1}},
    };
    struct LigneUsuelle {
      const char* nom;
      int p;
      std::int8_t d[nbreDimensions];
      TuniteSansDim marque;
    };
    static constexpr LigneUsuelle lignesUsuelles[9] = {
        {"L", -3, {3, 0, 0, 0, 0, 0, 0}, tuVide},
        {"rad", 0, {0, 0, 0, 0, 0, 0, 0}, tuRadian},
        {"\u00b0C", 0, {0, 0, 0, 0, 1, 0, 0}, tuVide},
        {"bar", 5, {-1, 1, -2, 0, 0, 0, 0}, tuVide},
        {"dB", 0, {0, 0, 0, 0, 0, 0, 0}, tuDecibel},
        {"\u00b0", 0, {0, 0, 0, 0, 0, 0, 0}, tuDegre},
        {"%", 0, {0, 0, 0, 0, 0, 0, 0}, tuPourCent},
        {"lux", 0, {-2, 0, 0, 0, 0, 0, 1}, tuVide},
        {"mol/L", 3, {-3, 0, 0, 0, 0, 1, 0}, tuVide},
    };
    for (std::size_t k = 0; k < si.size(); ++k) {
      const Ligne& l = lignesSI[k];
      si[k].setUniteComplet(l.nom, l.p, l.d[0], l.d[1], l.d[2], l.d[3], l.d[4], l.d[5], l.d[6]);
    }
    for (std::size_t k = 0; k < usuelles.size(); ++k) {
      const LigneUsuelle& l = lignesUsuelles[k];
      usuelles[k].setUniteComplet(l.nom, l.p, l.d[0], l.d[1], l.d[2], l.d[3], l.d[4], l.d[5],
                                  l.d[6]);
      usuelles[k].SansDim = l.marque;
    }
    for (const Tunite& u : si) recherche.push_back({&u, versUtf32(u.FnomUnite)});
    for (const Tunite& u : usuelles) recherche.push_back({&u, versUtf32(u.FnomUnite)});
    for (const Entree& e : recherche) longueurMax = std::max(longueurMax, e.nom.size());
    parLongueur.resize(longueurMax + 1);
    for (const Entree& e : recherche) parLongueur[e.nom.size()].push_back(&e);
  }
};

const Tables& tables() {
  static const Tables t;
  return t;
}

// First entry of unitesSI, then unitesUsuelles, whose name is exactly the
// given characters.
const Tunite* chercheSymbole(std::u32string_view s) {
  const Tables& t = tables();
  if (s.empty() || s.size() > t.longueurMax) return nullptr;
  for (const Entree* e : t.parLongueur[s.size()])
    if (std::equal(s.begin(), s.end(), e->nom.begin())) return e->unite;
  return nullptr;
}

const Tunite* chercheNom(const std::string& nomU) {
  for (const Tunite& u : unitesSI())
    if (u.FnomUnite == nomU) return &u;
  for (const Tunite& u : unitesUsuelles())
    if (u.FnomUnite == nomU) return &u;
  return nullptr;
}

bool estUsuelle(const std::string& nomU) {
  for (const Tunite& u : unitesUsuelles())
    if (u.FnomUnite == nomU) return true;
  return false;
}

// ---------------------------------------------------------------- characters

constexpr char32_t microSigne = 0x00B5;
constexpr char32_t muGrec = 0x03BC;
constexpr char32_t omega = 0x03A9;

bool lettreAscii(char32_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A character that may follow a prefix letter when a name is read. The ohm
// sign counts, so that "kΩ" keeps its kilo.
bool lettreApresPrefixe(char32_t c) {
  return lettreAscii(c) || c == microSigne || c == muGrec || c == omega;
}

// Second characters of a name taken as already prefixed when written.
bool lettreUniteConnue(char32_t c) {
  static constexpr std::u32string_view lettres = U"ACFHJKLNPSTVWbcdglmrs\u03a9";
  return lettres.find(c) != std::u32string_view::npos;
}

// Exponent characters: digits and superscript digits.
bool chiffreExposant(char32_t c) {
  static constexpr std::u32string_view chiffres =
      U"0123456789\u2070\u00b9\u00b2\u00b3\u2074\u2075\u2076\u2077\u2078\u2079";
  return chiffres.find(c) != std::u32string_view::npos;
}

bool signeExposant(char32_t c, int& signe) {
  if (c == '-' || c == 0x207B) {
    signe = -1;
    return true;
  }
  if (c == '+' || c == 0x207A) {
    signe = 1;
    return true;
  }
  return false;
}

std::string lettreDePuissance(long long e) {
  for (const TprefixeUnite& p : prefixesUnite)
    if (p.puissance == e) return p.lettre;
  return {};
}

// ---------------------------------------------------------------- numbers

// 10^k as the double nearest to it, so that exact powers compare equal.
double puissanceDix(int k) {
  if (k < -300 || k > 300) return std::pow(10.0, k);
  std::string t = "1e" + std::to_string(k);
  double v = 0;
  std::from_chars(t.data(), t.data() + t.size(), v);
  return v;
}

// floor(log10(x)) for finite x > 0, exact at the powers of ten.
int exposantDecimal(double x) {
  int b = static_cast<int>(std::floor(std::log10(x)));
  if (puissanceDix(b + 1) <= x) ++b;
  else if (puissanceDix(b) > x) --b;
  return b;
}

// Nearest integer, halves to even.
std::string ecritEntier(double x) { return std::to_string(arrondiEntier(x)); }

// Fixed notation with the user's separator; a value that rounds to zero
// carries no sign.
std::string ecritFixe(double x, int decimales) {
  std::string t = formatFixe(x, decimales);
  if (!t.empty() && t.front() == '-' && t.find_first_of("123456789") == std::string::npos)
    t.erase(0, 1);
  return t;
}

// The first character of s and its length in bytes.
char32_t premierCaractere(std::string_view s, std::size_t& octets) {
  octets = 0;
  return s.empty() ? 0 : lisCaractere(s, octets);
}

// Index into the powers 1e-27 .. 1e27 of the prefix table that brings a
// into [0.999, 999); a is scaled in place.
int indexPrefixe(double& a) {
  int i = indicePrefixeUnite;
  while (a >= 999 && i < nbrePrefixes - 1) {
    a /= 1000;
    ++i;
  }
  while (a < 0.999 && i > 0) {
    a *= 1000;
    --i;
  }
  return i;
}

}  // namespace

// ==================================================================== Tunite

Tunite::Tunite() { Init(); }

Tunite::Tunite(const std::string& nomU) {
  Init();
  setNomUnite(nomU);
}

Tunite::~Tunite() = default;

void Tunite::Init() {
  FnomUnite.clear();
  nom.clear();
  Puissance = 0;
  SansDim = tuVide;
  Dimension.fill(0);
  exposantAff = 1.0;
  nbreAvantVirgule = 0;
}

bool Tunite::sansDimension() const {
  return std::all_of(Dimension.begin(), Dimension.end(), [](std::int8_t d) { return d == 0; });
}

void Tunite::setUniteComplet(const std::string& nu, int p, std::int8_t d1, std::int8_t d2,
                             std::int8_t d3, std::int8_t d4, std::int8_t d5, std::int8_t d6,
                             std::int8_t d7) {
  FnomUnite = nu;
  Puissance = p;
  Dimension = {d1, d2, d3, d4, d5, d6, d7};
}

void Tunite::RecopieUnite(const Tunite& U) {
  FnomUnite = U.FnomUnite;
  Puissance = U.Puissance;
  SansDim = U.SansDim;
  Dimension = U.Dimension;
}

void Tunite::Assign(const Tunite& U) {
  RecopieUnite(U);
  nom = U.nom;
}

void Tunite::setNomUnite(const std::string& nomU) {
  FnomUnite = nomU;
  SansDim = tuVide;
  Puissance = 0;
  Dimension.fill(0);
  if (nomU.empty()) return;
  if (const Tunite* u = chercheNom(nomU)) {
    RecopieUnite(*u);
    return;
  }

  const std::u32string c = versUtf32(nomU);
  const std::size_t n = c.size();
  // End of the run of ASCII letters from each position, so that a long
  // name is read in linear time.
  std::vector<std::size_t> finLettres(n + 1, n);
  for (std::size_t k = n; k-- > 0;)
    finLettres[k] = lettreAscii(c[k]) ? finLettres[k + 1] : k;

  std::size_t i = 0;
  if (n >= 2 && c[0] == '1' && c[1] == 'E') {
    i = 2;
    while (i < n && (c[i] == '+' || c[i] == '-' || (c[i] >= '0' && c[i] <= '9'))) ++i;
    // Only ASCII signs and digits were skipped, one byte each.
    std::int32_t p = 0;
    if (i > 2 && essaieTexteVersEntier(std::string_view(nomU).substr(2, i - 2), p)) Puissance = p;
    if (i < n && c[i] == ' ') ++i;
  }

  bool divise = false;
  try {
    while (i < n) {
      Tunite facteur;
      if (c[i] == '/') {
        ++i;
        divise = true;
      }
      int p = 0;
      if (n - i >= 2 && puissancePrefixe(c[i], p) && lettreApresPrefixe(c[i + 1])) {
        facteur.Puissance = p;
        ++i;
      }
      if (i < n) {
        const std::size_t debut = i;
        const std::size_t fin = std::max(finLettres[i + 1], i + 1);
        const std::u32string_view symbole = std::u32string_view(c).substr(debut, fin - debut);
        if (const Tunite* u = chercheSymbole(symbole)) {
          multiplieUnite(facteur, *u);
          i = fin;
        } else {
          // The longest table name bounds the search.
          const std::size_t finCherche = std::min(fin, debut + tables().longueurMax);
          i = fin;
          for (std::size_t k = debut + 1; k <= finCherche; ++k) {
            if (const Tunite* v = chercheSymbole(symbole.substr(0, k - debut))) {
              multiplieUnite(facteur, *v);
              i = k;
              break;
            }
          }
        }
      }
      if (i >= n) {
        if (divise) inverseUnite(facteur);
      } else {
        if (c[i] == '^') ++i;
        int signe = 1;
        if (i < n && signeExposant(c[i], signe)) ++i;
        int e = 1;
        if (i < n && chiffreExposant(c[i])) {
          e = signe * valeurChiffre(c[i]);
          ++i;
        }
        puissanceUnite(facteur, divise ? -e : e);
      }
      multiplieUnite(*this, facteur);
      if (i + 1 < n && c[i] == '.') ++i;
    }
  } catch (const EUniteError&) {
    // What was read so far stands; a unit name never fails.
  }
}

std::string Tunite::NomAff(int puissValeur) const {
  if (puissValeur == 0) return FnomUnite;
  if (sansDimension()) return appliquePrefixe(FnomUnite, puissValeur);
  const long long p = static_cast<long long>(puissValeur) + Puissance;

  bool metreSeul = Dimension[0] != 0 && Dimension[0] != 1;
  for (int k = 1; k < nbreDimensions && metreSeul; ++k) metreSeul = Dimension[k] == 0;
  if (metreSeul) {
    const long long k = Dimension[0];
    if (p % k == 0 && exposantPrefixable(p / k))
      return lettreDePuissance(p / k) + "m" + std::to_string(k);
  }

  if (estUsuelle(FnomUnite)) return appliquePrefixe(FnomUnite, puissValeur);

  // Table names are bare symbols: they are prefixed without looking for a
  // prefix already in them ("cd" is no centi-something).
  auto prefixe = [](const Tunite& u, long long e) {
    if (e == 0) return u.FnomUnite;
    if (exposantPrefixable(e)) return lettreDePuissance(e) + u.FnomUnite;
    return nomPuissanceDix(u.FnomUnite, e);
  };
  if (SansDim == tuVide) {
    for (const Tunite& u : unitesSI())
      if (u.Dimension == Dimension) return prefixe(u, p - u.Puissance);
  }
  for (const Tunite& u : unitesSI()) {
    if (u.FnomUnite == "Hz") continue;
    bool pareil = true;
    for (int k = 0; k < nbreDimensions && pareil; ++k)
      pareil = k == 2 ? u.Dimension[k] == Dimension[k] + 1 : u.Dimension[k] == Dimension[k];
    if (pareil) return prefixe(u, p - u.Puissance) + "s-1";
  }
  return nomPuissanceDix(FnomUnite, puissValeur);
}

std::string Tunite::NomAxe(double exposant) const {
  int e = 0;
  if (exposant > 0 && std::isfinite(exposant)) {
    const double l = std::nearbyint(std::log10(exposant));
    e = static_cast<int>(std::clamp(l, -128.0, 127.0));
  }
  const std::string n = NomAff(e);
  if (n.empty()) return nom;
  if (n.find('/') == std::string::npos) return nom + "/" + n;
  return nom + "(" + n + ")";
}

std::string Tunite::formatUnite(double nombre) const {
  if (nombre == valeurAbsente) return {};
  double a = std::fabs(nombre);
  if (a < 1e-12) return "0 " + FnomUnite;
  if (!(a <= 1e12)) return "???";
  if (FnomUnite == "hPa") return ecritEntier(nombre) + " hPa";
  const int i = indexPrefixe(a);
  const int decimales = a < 10 ? 2 : a < 100 ? 1 : 0;
  std::string t = ecritFixe(a, decimales);
  if (nombre < 0) t.insert(0, "-");
  return t + " " + NomAff(3 * (i - indicePrefixeUnite));
}

std::string Tunite::formatUniteDouble(double mini, double maxi) const {
  if (FnomUnite == "hPa") return ecritEntier(mini) + ".." + ecritEntier(maxi) + " hPa";
  const double choisi = std::fabs(maxi) > std::fabs(mini) ? std::fabs(maxi) : std::fabs(mini);
  if (!(choisi <= 1e12) || !std::isfinite(mini) || !std::isfinite(maxi)) return "???";
  double a = choisi;
  // A null range keeps the plain unit rather than the smallest prefix.
  const int i = a < 1e-12 ? indicePrefixeUnite : indexPrefixe(a);
  const double echelle = puissanceDix(3 * (i - indicePrefixeUnite));
  const int decimales = a < 10 ? 1 : 0;
  return ecritFixe(mini / echelle, decimales) + " +" +
         ecritFixe(maxi / echelle, decimales) + " " + NomAff(3 * (i - indicePrefixeUnite));
}

void Tunite::setExposant(double maxi, int expo) {
  if (FnomUnite == "hPa") {
    exposantAff = 1;
    nbreAvantVirgule = 0;
    return;
  }
  exposantAff = puissanceDix(3 * std::clamp(expo, -100, 100));
  const double q = maxi / exposantAff;
  // A null or unreadable maximum is written like a value of one.
  nbreAvantVirgule = (q > 0 && std::isfinite(q)) ? exposantDecimal(q) + 2 : 2;
}

std::string Tunite::FormatUniteExp(double Nombre, bool avecUnite) const {
  if (Nombre == valeurAbsente || !std::isfinite(Nombre)) return "  Erreur";
  const int decimales = std::clamp(5 - nbreAvantVirgule, 0, 18);
  const bool exposantValide = exposantAff > 0 && std::isfinite(exposantAff);
  const double valeur = exposantValide ? Nombre / exposantAff : Nombre;
  std::string t;
  if (avecUnite && nbreCaracteres(FnomUnite) < 4) {
    if (FnomUnite == "hPa") {
      t = ecritEntier(Nombre) + " hPa";
    } else {
      const int b = exposantValide ? exposantDecimal(exposantAff) : 0;
      if (b / 3 == -9)
        t = "0 " + FnomUnite;
      else
        t = ecritFixe(valeur, decimales) + " " + NomAff(3 * (b / 3));
    }
  } else {
    t = ecritFixe(valeur, decimales);
  }
  // Line the decimal separators up; only the number part is searched, a
  // unit such as "C.m" must not be taken for it.
  const std::string nombreSeul = t.substr(0, t.find(' '));
  const std::size_t o = nombreSeul.find(separateurDecimal());
  const long long position =
      o == std::string::npos ? 0 : static_cast<long long>(nbreCaracteres(std::string_view(t).substr(0, o))) + 1;
  if (position <= nbreAvantVirgule)
    t.insert(0, static_cast<std::size_t>(nbreAvantVirgule - position + 1), ' ');
  return t;
}

std::string Tunite::NomValeurUnite(double nombre) const { return nom + "=" + formatUnite(nombre); }

// ==================================================================== tables

const std::array<Tunite, 32>& unitesSI() { return tables().si; }
const std::array<Tunite, 9>& unitesUsuelles() { return tables().usuelles; }
const Tunite& uniteSeconde() { return tables().si[15]; }

// ==================================================================== algebra

namespace {

std::int32_t verifiePuissance(long long p) {
  if (p < std::numeric_limits<std::int32_t>::min() || p > std::numeric_limits<std::int32_t>::max())
    throw EUniteError(msgPuissanceUnite);
  return static_cast<std::int32_t>(p);
}

std::int8_t verifieExposant(long long d) {
  if (d < -128 || d > 127) throw EUniteError(msgExposantUnite);
  return static_cast<std::int8_t>(d);
}

}  // namespace

void multiplieUnite(Tunite& a, const Tunite& b) {
  const std::int32_t p = verifiePuissance(static_cast<long long>(a.Puissance) + b.Puissance);
  std::array<std::int8_t, nbreDimensions> d{};
  for (int k = 0; k < nbreDimensions; ++k)
    d[k] = verifieExposant(static_cast<long long>(a.Dimension[k]) + b.Dimension[k]);
  a.Puissance = p;
  a.Dimension = d;
  if (b.SansDim != tuVide) a.SansDim = a.SansDim != tuVide ? tuVide : b.SansDim;
}

void inverseUnite(Tunite& a) { puissanceUnite(a, -1); }

void puissanceUnite(Tunite& a, int n) {
  const std::int32_t p = verifiePuissance(static_cast<long long>(a.Puissance) * n);
  std::array<std::int8_t, nbreDimensions> d{};
  for (int k = 0; k < nbreDimensions; ++k)
    d[k] = verifieExposant(static_cast<long long>(a.Dimension[k]) * n);
  a.Puissance = p;
  a.Dimension = d;
  if (n != 1) a.SansDim = tuVide;
}

// ==================================================================== prefixes

bool puissancePrefixe(char32_t c, int& puissance) {
  if (c == muGrec) c = microSigne;
  static const std::array<char32_t, prefixesUnite.size()> lettres = [] {
    std::array<char32_t, prefixesUnite.size()> l{};
    for (std::size_t k = 0; k < l.size(); ++k) l[k] = versUtf32(prefixesUnite[k].lettre).front();
    return l;
  }();
  for (std::size_t k = 0; k < lettres.size(); ++k) {
    if (lettres[k] == c) {
      puissance = prefixesUnite[k].puissance;
      return true;
    }
  }
  return false;
}

bool exposantPrefixable(long long e) {
  return (e >= -18 && e <= 18 && e % 3 == 0) || e == -2 || e == -1 || e == 2;
}

std::string appliquePrefixe(const std::string& nomU, long long e) {
  if (nomU.empty()) return nomPuissanceDix(nomU, e);
  std::string nomSeul = nomU;
  std::size_t longueurPremier = 0;
  const char32_t premier = premierCaractere(nomU, longueurPremier);
  if (longueurPremier < nomU.size()) {
    std::size_t l2 = 0;
    const char32_t second = premierCaractere(std::string_view(nomU).substr(longueurPremier), l2);
    int p = 0;
    const bool sansDebordement = e > std::numeric_limits<long long>::min() + 18 &&
                                 e < std::numeric_limits<long long>::max() - 18;
    if (sansDebordement && puissancePrefixe(premier, p) && lettreUniteConnue(second)) {
      e += p;
      nomSeul = nomU.substr(longueurPremier);
    }
  }
  if (e == 0) return nomSeul;
  if (exposantPrefixable(e)) return lettreDePuissance(e) + nomSeul;
  return nomPuissanceDix(nomSeul, e);
}

std::string nomPuissanceDix(const std::string& nomU, long long e) {
  if (e == 0) return nomU;
  const std::string debut = "10" + std::to_string(e) + " ";
  if (nbreCaracteres(debut) + nbreCaracteres(nomU) <= 20) return debut + nomU;
  return debut + "S.I.";
}
