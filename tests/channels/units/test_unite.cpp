#include <ostream>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/channels/numbers/nombres.h"
#include "core/channels/numbers/texte.h"
#include "core/channels/units/unite.h"

namespace {

using Dims = std::array<std::int8_t, nbreDimensions>;

constexpr Dims aucune{0, 0, 0, 0, 0, 0, 0};
constexpr Dims metre{1, 0, 0, 0, 0, 0, 0};
constexpr Dims kilogramme{0, 1, 0, 0, 0, 0, 0};
constexpr Dims seconde{0, 0, 1, 0, 0, 0, 0};
constexpr Dims hertz{0, 0, -1, 0, 0, 0, 0};
constexpr Dims ampere{0, 0, 0, 1, 0, 0, 0};
constexpr Dims kelvin{0, 0, 0, 0, 1, 0, 0};
constexpr Dims candela{0, 0, 0, 0, 0, 0, 1};
constexpr Dims mole{0, 0, 0, 0, 0, 1, 0};
constexpr Dims volt{2, 1, -3, -1, 0, 0, 0};
constexpr Dims ohm{2, 1, -3, -2, 0, 0, 0};
constexpr Dims ohmMetre{3, 1, -3, -2, 0, 0, 0};
constexpr Dims pascal{-1, 1, -2, 0, 0, 0, 0};
constexpr Dims acceleration{1, 0, -2, 0, 0, 0, 0};
constexpr Dims concentration{-3, 0, 0, 0, 0, 1, 0};
constexpr Dims volume{3, 0, 0, 0, 0, 0, 0};

Tunite unite(const std::string& nomU, const std::string& symbole = "") {
  Tunite u(nomU);
  u.nom = symbole;
  return u;
}

// Switches the user's decimal separator for one test and puts it back.
class AvecSeparateur : public ::testing::TestWithParam<char> {
 protected:
  void SetUp() override {
    avant_ = separateurDecimal();
    fixeSeparateurDecimal(GetParam());
  }
  void TearDown() override { fixeSeparateurDecimal(avant_); }

  // The expected text, written with ".", in the user's separator: a "."
  // between two digits is a decimal separator.
  static std::string sep(std::string t) {
    auto chiffre = [](char c) { return c >= '0' && c <= '9'; };
    for (std::size_t k = 1; k + 1 < t.size(); ++k)
      if (t[k] == '.' && chiffre(t[k - 1]) && chiffre(t[k + 1])) t[k] = separateurDecimal();
    return t;
  }

 private:
  char avant_ = '.';
};

// ------------------------------------------------------------------ reading

struct CasLecture {
  const char* nom;
  int puissance;
  Dims dimension;
  TuniteSansDim marque;
};
void PrintTo(const CasLecture& c, std::ostream* os) { *os << c.nom; }

class LectureNom : public ::testing::TestWithParam<CasLecture> {};

TEST_P(LectureNom, PuissanceDimensionEtMarque) {
  const CasLecture& c = GetParam();
  Tunite u;
  u.setNomUnite(c.nom);
  EXPECT_EQ(u.nomUnite(), c.nom);
  EXPECT_EQ(u.Puissance, c.puissance);
  EXPECT_EQ(u.Dimension, c.dimension);
  EXPECT_EQ(u.SansDim, c.marque);
}

INSTANTIATE_TEST_SUITE_P(
    Noms, LectureNom,
    ::testing::Values(
        CasLecture{"mV", -3, volt, tuVide}, CasLecture{"kg", 0, kilogramme, tuVide},
        CasLecture{"m/s2", 0, acceleration, tuVide}, CasLecture{"m.s-2", 0, acceleration, tuVide},
        CasLecture{"m.s\u207b\u00b2", 0, acceleration, tuVide},
        CasLecture{"m/s\u00b2", 0, acceleration, tuVide},
        CasLecture{"m.s^-2", 0, acceleration, tuVide},
        CasLecture{"mmol/L", 0, concentration, tuVide},
        CasLecture{"\u00b5A", -6, ampere, tuVide},
        // Greek mu, as the sensor file gives a stored micro sign back.
        CasLecture{"\u03bcA", -6, ampere, tuVide},
        // Whole names come from the tables before any prefix is tried...
        CasLecture{"Pa", 0, pascal, tuVide}, CasLecture{"cd", 0, candela, tuVide},
        CasLecture{"mol", 0, mole, tuVide}, CasLecture{"mol/L", 3, concentration, tuVide},
        // ... but inside a compound the P of Pa is peta, for good.
        CasLecture{"Pa.s", 15, seconde, tuVide},
        // The ohm keeps its prefix.
        CasLecture{"k\u03a9", 3, ohm, tuVide}, CasLecture{"M\u03a9", 6, ohm, tuVide},
        CasLecture{"\u03a9", 0, ohm, tuVide}, CasLecture{"k\u03a9m", 3, ohmMetre, tuVide},
        CasLecture{"km/h", 3, metre, tuVide}, CasLecture{"mAh", -3, ampere, tuVide},
        CasLecture{"MV", 6, volt, tuVide},
        CasLecture{"1E-3 m", -3, metre, tuVide}, CasLecture{"1E+2 V", 2, volt, tuVide},
        CasLecture{"1E3", 3, aucune, tuVide}, CasLecture{"1E+-3 m", 0, metre, tuVide},
        CasLecture{"1E99999999999 m", 0, metre, tuVide},
        CasLecture{"1E2147483648 m", 0, metre, tuVide},
        CasLecture{"\u00b0", 0, aucune, tuDegre}, CasLecture{"%", 0, aucune, tuPourCent},
        CasLecture{"dB", 0, aucune, tuDecibel}, CasLecture{"rad", 0, aucune, tuRadian},
        CasLecture{"\u00b0C", 0, kelvin, tuVide}, CasLecture{"rad/s", 0, hertz, tuRadian},
        // Two markers cancel, a power other than 1 drops it.
        CasLecture{"\u00b0.\u00b0", 0, aucune, tuVide}, CasLecture{"rad2", 0, aucune, tuVide},
        CasLecture{"mL", -6, volume, tuVide}, CasLecture{"cm3", -6, volume, tuVide},
        CasLecture{"g/L", 0, {-3, 1, 0, 0, 0, 0, 0}, tuVide},
        CasLecture{"W/m\u00b2", 0, {0, 1, -3, 0, 0, 0, 0}, tuVide},
        CasLecture{"Vs", 0, {2, 1, -2, -1, 0, 0, 0}, tuVide},
        CasLecture{"N.m.s", 0, {2, 1, -1, 0, 0, 0, 0}, tuVide},
        CasLecture{"m^2", 0, {2, 0, 0, 0, 0, 0, 0}, tuVide},
        CasLecture{"m3/s0", 0, volume, tuVide}, CasLecture{"/s", 0, hertz, tuVide},
        CasLecture{"s^-1", 0, hertz, tuVide}, CasLecture{"m/", 0, metre, tuVide},
        CasLecture{"m.", 0, metre, tuVide}, CasLecture{"m//s", 0, metre, tuVide},
        CasLecture{"xyz", 0, aucune, tuVide}, CasLecture{"", 0, aucune, tuVide},
        CasLecture{"\u00b5", 0, aucune, tuVide}));

TEST(LectureNom, TexteQuelconqueNeFaitPasEchouer) {
  const std::vector<std::string> noms = {
      std::string("m\0s", 3), "\xff" "m", "m\xce", "\xc2", "k\xce\xa9", "1E", "1E-", "^",
      "^-", "m^", "m^-", ".", "..", "//", "1E-3 ", "\xe2\x81\xbb", "s\xe2\x81", "m\xc0\xaf"};
  for (const std::string& n : noms) {
    Tunite u;
    EXPECT_NO_THROW(u.setNomUnite(n)) << n;
    EXPECT_EQ(u.nomUnite(), n);
  }
  // A malformed byte never joins a symbol: only the well-formed parts count.
  EXPECT_EQ(Tunite("m\xce").Dimension, metre);
  EXPECT_EQ(Tunite("k\xce\xa9").Dimension, ohm);
  EXPECT_EQ(Tunite(std::string("m\0s", 3)).Dimension, metre);
}

TEST(LectureNom, DepassementGardeCeQuiEstLu) {
  std::string nomU;
  for (int k = 0; k < 15; ++k) nomU += "m9";
  Tunite u(nomU);
  EXPECT_EQ(u.Dimension[0], 126);  // the fifteenth factor would pass 127

  Tunite p("1E2147483647 km");
  EXPECT_EQ(p.Puissance, 2147483647);
  EXPECT_EQ(p.Dimension, aucune);
}

TEST(LectureNom, NomsTresLongs) {
  std::string rad, volts, pourcent;
  for (int k = 0; k < 10000; ++k) {
    rad += "rad";
    volts += "V";
    pourcent += "%";
  }
  Tunite a(rad);
  EXPECT_EQ(a.Dimension, aucune);
  Tunite b(volts);
  EXPECT_EQ(b.Dimension[2], -126);  // 42 volts, the 43rd passes -128
  Tunite c(pourcent);
  EXPECT_EQ(c.SansDim, tuVide);  // an even count of markers
}

TEST(Tables, OrdreEtEntreesPartagees) {
  ASSERT_EQ(unitesSI().size(), 32u);
  ASSERT_EQ(unitesUsuelles().size(), 9u);
  EXPECT_EQ(unitesSI()[0].nomUnite(), "m");
  EXPECT_EQ(unitesSI()[7].nomUnite(), "mol/l");
  EXPECT_EQ(unitesSI()[7].Puissance, 3);
  EXPECT_EQ(unitesSI()[10].nomUnite(), "\u03a9");
  EXPECT_EQ(unitesSI()[27].nomUnite(), "W/(m.K))");
  EXPECT_EQ(unitesSI()[31].nomUnite(), "lx");
  EXPECT_EQ(unitesUsuelles()[3].nomUnite(), "bar");
  EXPECT_EQ(unitesUsuelles()[3].Puissance, 5);
  EXPECT_EQ(unitesUsuelles()[3].Dimension, pascal);
  EXPECT_EQ(unitesUsuelles()[5].SansDim, tuDegre);
  EXPECT_EQ(uniteSeconde().nomUnite(), "s");
  EXPECT_EQ(uniteSeconde().Dimension, seconde);
  EXPECT_EQ(&uniteSeconde(), &unitesSI()[15]);
}

// ------------------------------------------------------------------ object

TEST(Tunite, CreationInitEtCopies) {
  Tunite u;
  EXPECT_EQ(u.nomUnite(), "");
  EXPECT_EQ(u.nom, "");
  EXPECT_EQ(u.Puissance, 0);
  EXPECT_EQ(u.SansDim, tuVide);
  EXPECT_EQ(u.Dimension, aucune);
  EXPECT_EQ(u.exposantAff, 1.0);
  EXPECT_EQ(u.nbreAvantVirgule, 0);

  Tunite a = unite("\u00b0", "theta");
  a.exposantAff = 1000;
  a.nbreAvantVirgule = 4;
  Tunite b = unite("mV", "U");
  b.RecopieUnite(a);
  EXPECT_EQ(b.nomUnite(), "\u00b0");
  EXPECT_EQ(b.SansDim, tuDegre);
  EXPECT_EQ(b.Puissance, 0);
  EXPECT_EQ(b.Dimension, aucune);
  EXPECT_EQ(b.nom, "U");
  EXPECT_EQ(b.exposantAff, 1.0);
  EXPECT_EQ(b.nbreAvantVirgule, 0);
  b.Assign(a);
  EXPECT_EQ(b.nom, "theta");
  EXPECT_EQ(b.exposantAff, 1.0);

  a.Init();
  EXPECT_EQ(a.nomUnite(), "");
  EXPECT_EQ(a.nom, "");
  EXPECT_EQ(a.SansDim, tuVide);
  EXPECT_EQ(a.exposantAff, 1.0);
  EXPECT_EQ(a.nbreAvantVirgule, 0);

  Tunite c = unite("\u00b0");
  c.setUniteComplet("mV", 5, 1, 2, 3, 4, 5, 6, 7);
  EXPECT_EQ(c.nomUnite(), "mV");  // stored, not read
  EXPECT_EQ(c.Puissance, 5);
  EXPECT_EQ(c.Dimension, (Dims{1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(c.SansDim, tuDegre);
}

// ------------------------------------------------------------------ algebra

TEST(Algebre, MarqueursPuissancesEtExposants) {
  Tunite a = unite("mV");
  multiplieUnite(a, unite("kA"));
  EXPECT_EQ(a.Puissance, 0);
  EXPECT_EQ(a.Dimension, (Dims{2, 1, -3, 0, 0, 0, 0}));
  EXPECT_EQ(a.nomUnite(), "mV");  // the name is left alone

  Tunite m;
  multiplieUnite(m, unite("\u00b0"));
  EXPECT_EQ(m.SansDim, tuDegre);
  multiplieUnite(m, unite("s"));
  EXPECT_EQ(m.SansDim, tuDegre);
  multiplieUnite(m, unite("rad"));
  EXPECT_EQ(m.SansDim, tuVide);

  Tunite i = unite("rad");
  i.Puissance = -3;
  i.Dimension = volt;
  inverseUnite(i);
  EXPECT_EQ(i.Puissance, 3);
  EXPECT_EQ(i.Dimension, (Dims{-2, -1, 3, 1, 0, 0, 0}));
  EXPECT_EQ(i.SansDim, tuVide);

  Tunite p = unite("rad");
  puissanceUnite(p, 1);
  EXPECT_EQ(p.SansDim, tuRadian);
  Tunite cm = unite("cm");
  puissanceUnite(cm, 3);
  EXPECT_EQ(cm.Puissance, -6);
  EXPECT_EQ(cm.Dimension, volume);
  puissanceUnite(cm, 0);
  EXPECT_EQ(cm.Puissance, 0);
  EXPECT_EQ(cm.Dimension, aucune);
}

TEST(Algebre, DepassementLeveEUniteErrorSansRienChanger) {
  Tunite a;
  a.Dimension[0] = 100;
  a.Puissance = 7;
  a.SansDim = tuDegre;
  const Tunite avant = a;
  auto inchangee = [&] {
    EXPECT_EQ(a.Dimension, avant.Dimension);
    EXPECT_EQ(a.Puissance, avant.Puissance);
    EXPECT_EQ(a.SansDim, avant.SansDim);
  };
  try {
    puissanceUnite(a, 2);
    FAIL();
  } catch (const EUniteError& e) {
    EXPECT_STREQ(e.what(), msgExposantUnite);
  }
  inchangee();
  EXPECT_THROW(multiplieUnite(a, a), EUniteError);
  inchangee();

  Tunite b;
  b.Puissance = std::numeric_limits<std::int32_t>::max();
  try {
    multiplieUnite(b, unite("km"));
    FAIL();
  } catch (const EUniteError& e) {
    EXPECT_STREQ(e.what(), msgPuissanceUnite);
  }
  EXPECT_EQ(b.Puissance, std::numeric_limits<std::int32_t>::max());

  Tunite c;
  c.Dimension[3] = -128;
  EXPECT_THROW(inverseUnite(c), EUniteError);
  EXPECT_EQ(c.Dimension[3], -128);
  c.Puissance = std::numeric_limits<std::int32_t>::min();
  c.Dimension[3] = 0;
  EXPECT_THROW(inverseUnite(c), EUniteError);
}

// ------------------------------------------------------------------ prefixes

TEST(Prefixes, LettresEtPuissances) {
  int p = 0;
  for (const TprefixeUnite& t : prefixesUnite) {
    const std::u32string l = versUtf32(t.lettre);
    ASSERT_EQ(l.size(), 1u);
    EXPECT_TRUE(puissancePrefixe(l[0], p)) << t.lettre;
    EXPECT_EQ(p, t.puissance);
  }
  EXPECT_TRUE(puissancePrefixe(0x03BC, p));
  EXPECT_EQ(p, -6);
  for (char32_t c : {U'D', U'y', U'Z', U'\u03a9', U'V'}) EXPECT_FALSE(puissancePrefixe(c, p));

  for (long long e = -30; e <= 30; ++e) {
    const bool attendu = (e >= -18 && e <= 18 && e % 3 == 0) || e == -2 || e == -1 || e == 2;
    EXPECT_EQ(exposantPrefixable(e), attendu) << e;
  }
}

struct CasPrefixe {
  const char* nom;
  long long e;
  const char* attendu;
};
void PrintTo(const CasPrefixe& c, std::ostream* os) { *os << c.nom << " e" << c.e; }

class AppliquePrefixe : public ::testing::TestWithParam<CasPrefixe> {};

TEST_P(AppliquePrefixe, Texte) {
  EXPECT_EQ(appliquePrefixe(GetParam().nom, GetParam().e), GetParam().attendu);
}

INSTANTIATE_TEST_SUITE_P(
    Cas, AppliquePrefixe,
    ::testing::Values(CasPrefixe{"mV", 3, "V"}, CasPrefixe{"mV", -3, "\u00b5V"},
                      CasPrefixe{"\u03bcV", 3, "mV"}, CasPrefixe{"kV", 15, "EV"},
                      CasPrefixe{"Pa", 3, "kPa"}, CasPrefixe{"mol", 3, "kmol"},
                      CasPrefixe{"dB", -1, "ddB"}, CasPrefixe{"V", 2, "hV"},
                      CasPrefixe{"V", -2, "cV"}, CasPrefixe{"V", 19, "1019 V"},
                      CasPrefixe{"k\u03a9", -3, "\u03a9"}, CasPrefixe{"", 0, ""},
                      CasPrefixe{"", 3, "103 "}, CasPrefixe{"mV", 0, "mV"}));

TEST(NomPuissanceDix, LongueurEnCaracteres) {
  EXPECT_EQ(nomPuissanceDix("m", -5), "10-5 m");
  EXPECT_EQ(nomPuissanceDix("m", 0), "m");
  EXPECT_EQ(nomPuissanceDix("abcdefghijklmnopq", -7), "10-7 S.I.");
  std::string micros15, micros16;
  for (int k = 0; k < 15; ++k) micros15 += "\u00b5";
  micros16 = micros15 + "\u00b5";
  // 20 characters (35 bytes) still fit, 21 do not.
  EXPECT_EQ(nomPuissanceDix(micros15, -5), "10-5 " + micros15);
  EXPECT_EQ(nomPuissanceDix(micros16, -5), "10-5 S.I.");
}

// ------------------------------------------------------------------ NomAff

struct CasNomAff {
  Tunite u;
  int puissValeur;
  const char* attendu;
};

Tunite complete(int p, Dims d, const std::string& nomU = "x") {
  Tunite u;
  u.setUniteComplet(nomU, p, d[0], d[1], d[2], d[3], d[4], d[5], d[6]);
  return u;
}

TEST(NomAff, Cas) {
  const std::vector<CasNomAff> cas = {
      {unite("mV"), 3, "V"},
      {unite("mV"), 0, "mV"},
      {unite("V"), -3, "mV"},
      {unite("V"), -6, "\u00b5V"},
      {unite("V"), 1, "101 V"},
      {unite("bar"), 3, "kbar"},
      {unite("bar"), -3, "mbar"},
      {unite("\u00b0C"), -3, "m\u00b0C"},
      {unite("L"), -3, "cm3"},
      {unite("L"), 3, "m3"},
      {unite("L"), -6, "mm3"},
      {unite("L"), -9, "nL"},
      {unite("m2"), -6, "mm2"},
      {unite("m2"), -3, "10-3 m2"},
      {unite("kg"), 0, "kg"},
      {unite("g"), 3, "kg"},
      {unite("kg"), 3, "Mg"},
      {unite("mm"), 3, "m"},
      {unite("cd"), 3, "kcd"},
      {unite("\u03a9"), 3, "k\u03a9"},
      {unite("k\u03a9"), -3, "\u03a9"},
      {unite("Hz"), 3, "kHz"},
      {complete(0, {2, 1, -4, -1, 0, 0, 0}), 3, "kVs-1"},
      {unite("N.m"), 3, "kJ"},
      {unite("J/(kg.K)"), 3, "kJ/(kg.K)"},
      {unite("mmol/L"), -3, "\u00b5mol/l"},
      {unite("mol/L"), -3, "mmol/L"},
      {unite("m/s2"), -3, "10-3 m/s2"},
      {unite("rad"), -3, "mrad"},
      {unite("dB"), 3, "kdB"},
      {unite("xyz"), 5, "105 xyz"},
      {unite(""), 3, "103 "},
      // A marked unit is not named after a table entry of its dimension.
      {unite("\u00b0/s"), 3, "103 \u00b0/s"},
  };
  for (const CasNomAff& c : cas)
    EXPECT_EQ(c.u.NomAff(c.puissValeur), c.attendu)
        << c.u.nomUnite() << " " << c.puissValeur;
}

// ------------------------------------------------------------------ NomAxe

TEST(NomAxe, Titres) {
  struct Cas {
    const char* nom;
    const char* nomU;
    double exposant;
    const char* attendu;
  };
  const Cas cas[] = {
      {"U", "V", 1e-3, "U/mV"},         {"v", "m/s", 1, "v(m/s)"},
      {"U", "V", 1, "U/V"},             {"x", "", 1, "x"},
      {"f", "Hz", 1e3, "f/kHz"},        {"U", "V", 0.9e-3, "U/mV"},
      {"c", "mol/L", 1e-3, "c(mmol/L)"}, {"U", "V", 0, "U/V"},
      {"U", "V", -5, "U/V"},            {"U", "V", std::nan(""), "U/V"},
  };
  for (const Cas& c : cas) EXPECT_EQ(unite(c.nomU, c.nom).NomAxe(c.exposant), c.attendu);
}

// ------------------------------------------------------------------ formatting

struct CasFormat {
  const char* nomU;
  double valeur;
  const char* attendu;  // with "." as separator
};

class FormatUnite : public AvecSeparateur {};

TEST_P(FormatUnite, Valeurs) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const CasFormat cas[] = {
      {"V", 0.0125, "12.5 mV"},
      {"V", 1.234, "1.23 V"},
      {"V", 12.34, "12.3 V"},
      {"V", 123.4, "123 V"},
      {"V", 99.96, "100.0 V"},
      {"V", 1234, "1.23 kV"},
      {"V", 999.5, "1.00 kV"},
      {"V", 998.99, "999 V"},
      {"V", 0, "0 V"},
      {"V", 5e-13, "0 V"},
      {"V", 2e13, "???"},
      {"V", -2e13, "???"},
      {"V", nan, "???"},
      {"V", inf, "???"},
      {"V", 1e12, "1.00 TV"},
      {"V", -0.0125, "-12.5 mV"},
      {"V", valeurAbsente, ""},
      {"L", 0.5, "500 cm3"},
      {"L", 2000, "2.00 m3"},
      {"\u00b5A", 0.5, "500 nA"},
      {"mm", 1500, "1.50 m"},
      {"s", 0.25, "250 ms"},
      // Halves go to the even neighbour (exact binary ties).
      {"V", 1.125, "1.12 V"},
      {"V", 1.375, "1.38 V"},
      {"V", 12.25, "12.2 V"},
      {"V", 12.75, "12.8 V"},
      {"V", 100.5, "100 V"},
      {"V", 101.5, "102 V"},
      {"hPa", 1013.5, "1014 hPa"},
      {"hPa", 1012.5, "1012 hPa"},
      {"hPa", -0.4, "0 hPa"},
  };
  for (const CasFormat& c : cas)
    EXPECT_EQ(unite(c.nomU).formatUnite(c.valeur), sep(c.attendu)) << c.nomU << " " << c.valeur;
  EXPECT_EQ(uniteSeconde().formatUnite(12.5), sep("12.5 s"));
  // Short durations are written by the number library the same way.
  for (double s : {0.25, 12.5, 299.0, 1e-5, 4.2e-8, -3.0, 0.0})
    EXPECT_EQ(uniteSeconde().formatUnite(s), formatDuree(s)) << s;
  EXPECT_EQ(unite("V", "U").NomValeurUnite(0.0125), sep("U=12.5 mV"));
  EXPECT_EQ(unite("V", "U").NomValeurUnite(valeurAbsente), "U=");
}

TEST_P(FormatUnite, Intervalles) {
  struct Cas {
    const char* nomU;
    double mini, maxi;
    const char* attendu;
  };
  const Cas cas[] = {
      {"V", -10, 10, "-10 +10 V"},
      {"V", -0.5, 0.5, "-500 +500 mV"},
      {"V", 0, 5, "0.0 +5.0 V"},
      {"V", -2000, 500, "-2.0 +0.5 kV"},
      {"V", 0.001, -0.002, "1.0 +-2.0 mV"},
      {"V", 0, 0, "0.0 +0.0 V"},
      {"L", 0, 0.5, "0 +500 cm3"},
      {"V", -1, 2e13, "???"},
      {"V", std::nan(""), 1, "???"},
      {"hPa", 990.5, 1030.5, "990..1030 hPa"},
  };
  for (const Cas& c : cas)
    EXPECT_EQ(unite(c.nomU).formatUniteDouble(c.mini, c.maxi), sep(c.attendu)) << c.attendu;
}

TEST_P(FormatUnite, ExposantAffichage) {
  struct Cas {
    const char* nomU;
    double maxi;
    int expo;
    double exposantAff;
    int nbreAvantVirgule;
  };
  const Cas cas[] = {
      {"V", 10, 0, 1, 3},      {"V", 9.99, 0, 1, 2},   {"V", 1000, 0, 1, 5},
      {"V", 999, 0, 1, 4},     {"V", 0.1, 0, 1, 1},    {"V", 0.005, -1, 1e-3, 2},
      {"V", 1e-3, -1, 1e-3, 2}, {"V", 1e6, 2, 1e6, 2}, {"V", 1000, 1, 1e3, 2},
      {"V", 0, 0, 1, 2},       {"hPa", 1100, 2, 1, 0},
  };
  for (const Cas& c : cas) {
    Tunite u = unite(c.nomU);
    u.setExposant(c.maxi, c.expo);
    EXPECT_EQ(u.exposantAff, c.exposantAff) << c.maxi;
    EXPECT_EQ(u.nbreAvantVirgule, c.nbreAvantVirgule) << c.maxi;
  }
}

TEST_P(FormatUnite, AffichageLargeurFixe) {
  struct Cas {
    const char* nomU;
    double maxi;
    int expo;
    double valeur;
    bool avecUnite;
    const char* attendu;
  };
  const Cas cas[] = {
      {"V", 10, 0, 1.2346, true, "  1.23 V"},
      {"V", 10, 0, 12.346, false, " 12.35"},
      {"V", 10, 0, -1.5, true, " -1.50 V"},
      {"V", 10, 0, -0.001, true, "  0.00 V"},
      {"V", 10, 0, valeurAbsente, true, "  Erreur"},
      {"V", 10, 0, std::nan(""), true, "  Erreur"},
      {"V", 0.005, -1, 0.0012, true, " 1.200 mV"},
      {"V", 5000, 1, 1234, true, " 1.234 kV"},
      {"hPa", 1100, 0, 1013.5, true, " 1014 hPa"},
      {"hPa", 1100, 0, 1013.5, false, "1013.50000"},
      // Names of 4 characters or more are left out; characters, not bytes.
      {"mol/L", 2, 0, 1.5, true, " 1.500"},
      {"\u00b5mol", 2, 0, 1.5, true, " 1.500"},
      {"m\u00b0C", 2, 0, 1.5, true, " 1.500 m\u00b0C"},
      {"C.m", 123456, 0, 1234, true, "        1234 C.m"},
      {"V", 5e-27, -9, 1e-27, true, "   0 V"},
      {"V", 123456, 0, 123456, false, "        123456"},
  };
  for (const Cas& c : cas) {
    Tunite u = unite(c.nomU);
    u.setExposant(c.maxi, c.expo);
    EXPECT_EQ(u.FormatUniteExp(c.valeur, c.avecUnite), sep(c.attendu)) << c.attendu;
  }
}

TEST_P(FormatUnite, SeparateursAlignes) {
  Tunite u = unite("V");
  u.setExposant(50, 0);
  for (double v : {0.5, 9.99, 10.0, 49.9, -9.99, 0.0}) {
    const std::string t = u.FormatUniteExp(v, true);
    EXPECT_EQ(t.find(separateurDecimal()), static_cast<std::size_t>(u.nbreAvantVirgule)) << t;
  }
}

INSTANTIATE_TEST_SUITE_P(Separateurs, FormatUnite, ::testing::Values('.', ','),
                         [](const ::testing::TestParamInfo<char>& i) {
                           return std::string(i.param == '.' ? "point" : "virgule");
                         });

}  // namespace
