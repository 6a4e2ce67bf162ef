#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <random>
#include <vector>

#include "core/channels/numbers/nombres.h"
#include "core/display/courbes/courbe.h"

namespace {

TCourbe volts() { return TCourbe("V1", "V", "", 6); }

TEST(Courbe, CreationGivesTheDocumentedState) {
  TCourbe c("T", "mV", "tension", 7);
  EXPECT_FALSE(c.active);
  EXPECT_EQ(c.a, 1);
  EXPECT_EQ(c.b, 0);
  EXPECT_EQ(c.Fmini, -10);
  EXPECT_EQ(c.Fmaxi, 10);
  EXPECT_EQ(c.nom, "T");
  EXPECT_EQ(c.nomUnite(), "mV");
  EXPECT_EQ(c.signif, "tension");
  EXPECT_EQ(c.NumBrixo(), 1);
  EXPECT_FALSE(c.axeLog);
}

TEST(Courbe, XWindowSkipsMissingAndNonPositiveOnLogAxis) {
  TCourbe c = volts();
  c.a = 2;
  c.b = 100;
  EXPECT_EQ(c.XWindow(valeurAbsente), -1);
  EXPECT_EQ(c.XWindow(10), 120);
  EXPECT_EQ(c.XWindow(std::nan("")), -1);
  EXPECT_EQ(c.XWindow(INFINITY), -1);
  c.axeLog = true;
  EXPECT_EQ(c.XWindow(valeurAbsente), -1);
  EXPECT_EQ(c.XWindow(0), -1);
  EXPECT_EQ(c.XWindow(-5), -1);
  EXPECT_EQ(c.XWindow(1000), 106);  // 2 x 3 + 100
}

TEST(Courbe, XWindowRoundsHalvesToEven) {
  TCourbe c = volts();
  c.a = 1;
  c.b = 0.5;
  EXPECT_EQ(c.XWindow(0), 0);
  EXPECT_EQ(c.XWindow(1), 2);
  EXPECT_EQ(c.XWindow(-1), 0);
  EXPECT_EQ(c.XWindow(2), 2);
}

TEST(Courbe, XWindowBlocEqualsXWindow) {
  const double valeurs[] = {0,    0.5,  1.5,   -0.5,     -1.5,  2.5,       valeurAbsente,
                            NAN,  INFINITY, -INFINITY, 1e300, -1e300, 123.456, -7.25, 3.5};
  for (const bool log : {false, true}) {
    TCourbe c = volts();
    c.a = 1;
    c.b = 0.5;
    c.axeLog = log;
    int pixels[std::size(valeurs)];
    c.XWindowBloc(valeurs, pixels, std::size(valeurs));
    for (std::size_t i = 0; i < std::size(valeurs); ++i)
      EXPECT_EQ(pixels[i], c.XWindow(valeurs[i])) << valeurs[i] << " log " << log;
  }
  TCourbe c = volts();
  c.a = 1e10;
  int p[2];
  const double v[] = {1, -1};
  c.XWindowBloc(v, p, 2);
  EXPECT_EQ(p[0], 100000000);  // far off-screen: clamped, not wrapped
  EXPECT_EQ(p[1], -100000000);
}

TEST(Courbe, XMondeInvertsTheLinearScale) {
  TCourbe c = volts();
  c.a = -20;
  c.b = 300;
  EXPECT_DOUBLE_EQ(c.XMonde(c.XWindow(4.5)), 4.5);
  EXPECT_DOUBLE_EQ(c.XMonde(300), 0);
}

struct CasGraduation {
  const char* unite;
  bool grand;
  double min, max;
  double delta, debut, exposant;
  int chiffres;
  bool dateTime;
};

// Named after the axis, not the bytes of the case, so that the registered
// test names stay short and stable.
void PrintTo(const CasGraduation& k, std::ostream* os) {
  *os << k.unite << ' ' << k.min << ".." << k.max << (k.grand ? " grand" : " petit");
}

class Graduation : public ::testing::TestWithParam<CasGraduation> {};

TEST_P(Graduation, SetDelta) {
  const CasGraduation& k = GetParam();
  TCourbe c("x", k.unite, "", 6);
  c.Fmini = k.min;
  c.Fmaxi = k.max;
  c.setDelta(k.grand, k.min, k.max);
  EXPECT_EQ(c.axeDateTime, k.dateTime);
  EXPECT_NEAR(c.deltaAxe, k.delta, std::fabs(k.delta) * 1e-12);
  EXPECT_NEAR(c.pointDebut, k.debut, std::fabs(k.delta) * 1e-9);
  EXPECT_NEAR(c.exposant, k.exposant, k.exposant * 1e-12);
  EXPECT_EQ(c.NbreChiffre, k.chiffres);
}

INSTANTIATE_TEST_SUITE_P(
    Cas, Graduation,
    ::testing::Values(
        // Ten steps of 1 would be ten intervals, one too many.
        CasGraduation{"V", true, 0, 10, 2, 0, 1, 3, false},
        CasGraduation{"V", false, 0, 10, 5, 0, 1, 3, false},
        CasGraduation{"V", true, -0.005, 0.005, 0.002, -0.004, 1e-3, 3, false},
        CasGraduation{"V", true, -10, 10, 5, -10, 1, 3, false},
        CasGraduation{"V", true, 3, 3, 0.2, 3, 1, 3, false},
        // Exact decimal quotients must not step over: 0.1 / 0.05 is 2.
        CasGraduation{"V", true, 0.1, 0.4, 0.05, 0.1, 1e-3, 3, false},
        CasGraduation{"V", true, 0.3, 0.9, 0.1, 0.3, 1e-3, 3, false},
        CasGraduation{"Pa", true, 0, 120000, 20000, 0, 1e3, 3, false},
        CasGraduation{"V", true, 12.5, 12.6, 0.01, 12.5, 1e-3, 4, false},
        // Seconds below 900 stay numeric.
        CasGraduation{"s", true, 0, 800, 100, 0, 1, 3, false},
        CasGraduation{"s", true, 0, 7200, 1800, 0, 1, 4, true},
        CasGraduation{"s", true, 0, 36000, 7200, 0, 1, 4, true},
        CasGraduation{"s", true, 0, 1000, 180, 0, 1, 4, true},
        CasGraduation{"s", true, 0, 108000, 21600, 0, 1, 4, true},    // 5 h -> 6 h
        CasGraduation{"s", true, 0, 151200, 28800, 0, 1, 4, true},    // 7 h -> 8 h
        CasGraduation{"s", true, 0, 216000, 43200, 0, 1, 4, true},    // 10 h -> 12 h
        CasGraduation{"s", true, 0, 432000, 86400, 0, 1, 4, true},    // 20 h -> 24 h
        CasGraduation{"s", true, 0, 864000, 172800, 0, 1, 4, true}),  // 1.67 d -> 2 d
    [](const ::testing::TestParamInfo<CasGraduation>& i) { return "cas" + std::to_string(i.index); });

TEST(Courbe, SetDeltaOrdersAndWidensRangesAndArguments) {
  TCourbe c = volts();
  c.Fmini = 5;
  c.Fmaxi = 1;
  c.setDelta(true, 8, 2);
  EXPECT_EQ(c.Fmini, 1);
  EXPECT_EQ(c.Fmaxi, 5);
  EXPECT_NEAR(c.pointDebut, 2, 1e-12);
  c.Fmini = c.Fmaxi = 3;
  c.setDelta(true, 3, 3);
  EXPECT_EQ(c.Fmaxi, 4);
  // Graduations run from pointDebut below Fmaxi: 3 .. 3.8.
  std::vector<double> g;
  for (int i = 0; c.pointDebut + i * c.deltaAxe < c.Fmaxi; ++i) g.push_back(c.pointDebut + i * c.deltaAxe);
  ASSERT_EQ(g.size(), 5u);
  EXPECT_NEAR(g.back(), 3.8, 1e-12);
}

TEST(Courbe, SetDeltaSurvivesNonFiniteBounds) {
  TCourbe c = volts();
  c.setDelta(true, -INFINITY, NAN);
  EXPECT_TRUE(std::isfinite(c.deltaAxe));
  EXPECT_GT(c.deltaAxe, 0);
  c.setDelta(true, -1e308, 1e308);
  EXPECT_TRUE(std::isfinite(c.deltaAxe));
  EXPECT_GT(c.deltaAxe, 0);
}

TEST(Courbe, LogarithmicAxisAlwaysPrintsFourDigits) {
  TCourbe c("F", "Hz", "", 6);
  c.axeLog = true;
  c.setDelta(true, 0, 10);
  EXPECT_EQ(c.NbreChiffre, 4);
}

TEST(Courbe, FormatAxeUsesTheDigitsAndTheUsersSeparator) {
  TCourbe c = volts();
  c.NbreChiffre = 3;
  const char avant = separateurDecimal();
  fixeSeparateurDecimal('.');
  EXPECT_EQ(c.FormatAxe(2.5), "2.5");
  EXPECT_EQ(c.FormatAxe(-4), "-4");
  EXPECT_EQ(c.FormatAxe(1.23456), "1.23");
  fixeSeparateurDecimal(',');
  EXPECT_EQ(c.FormatAxe(2.5), "2,5");
  fixeSeparateurDecimal(avant);
}

TEST(Courbe, ChercheMinmax) {
  TCourbe c = volts();
  double mi = 0, ma = 0;
  for (int i = 0; i < 100; ++i) c.vecteurAff[std::size_t(i)] = 1;
  c.chercheMinmax(100, mi, ma);
  EXPECT_NEAR(mi, 0.6, 1e-12);
  EXPECT_NEAR(ma, 1.4, 1e-12);
  // Missing points are not values; the widening stops at the range.
  c.vecteurAff[3] = valeurAbsente;
  c.vecteurAff[4] = 9.9;
  c.chercheMinmax(100, mi, ma);
  EXPECT_NEAR(mi, 0.6, 1e-12);
  EXPECT_EQ(ma, 10);
  for (int i = 0; i < 100; ++i) c.vecteurAff[std::size_t(i)] = valeurAbsente;
  c.chercheMinmax(100, mi, ma);
  EXPECT_EQ(mi, -10);
  EXPECT_EQ(ma, 10);
  c.chercheMinmax(0, mi, ma);
  EXPECT_EQ(mi, -10);
  // Past the sweep: bounded by the vector, whose other entries are zeros.
  c.chercheMinmax(1 << 30, mi, ma);
  EXPECT_NEAR(mi, -0.4, 1e-12);
  EXPECT_NEAR(ma, 0.4, 1e-12);
}

// The fast search against the plain definition, on sweeps of every length
// around the lane width, with missing, NaN and infinite values anywhere
// (first included) or nowhere.
TEST(Courbe, ChercheMinmaxSkipsWhatIsNoValueWherever) {
  std::mt19937 alea(5);
  std::uniform_real_distribution<double> valeur(-3, 3);
  const double speciaux[] = {valeurAbsente, NAN, INFINITY, -INFINITY};
  TCourbe c = volts();
  for (int n = 1; n <= 11; ++n)
    for (int essai = 0; essai < 40; ++essai) {
      for (int i = 0; i < n; ++i) c.vecteurAff[std::size_t(i)] = valeur(alea);
      if (essai > 0) {
        const int k = essai % 5 == 0 ? n : (essai / 4) % 3 + 1;
        for (int m = 0; m < k; ++m)
          c.vecteurAff[std::size_t(int(alea() % unsigned(n)))] = speciaux[alea() % 4];
      }
      double mi = INFINITY, ma = -INFINITY;
      for (int i = 0; i < n; ++i) {
        const double x = c.vecteurAff[std::size_t(i)];
        if (x != valeurAbsente && std::isfinite(x)) {
          mi = std::min(mi, x);
          ma = std::max(ma, x);
        }
      }
      double attenduMin = -10, attenduMax = 10;
      if (mi <= ma) {
        attenduMin = std::max(mi - 0.4, -10.0);
        attenduMax = std::min(ma + 0.4, 10.0);
      }
      double obtenuMin = 0, obtenuMax = 0;
      c.chercheMinmax(n, obtenuMin, obtenuMax);
      EXPECT_EQ(obtenuMin, attenduMin) << n << " " << essai;
      EXPECT_EQ(obtenuMax, attenduMax) << n << " " << essai;
    }
}

TEST(VoieNonEA, SetMinMaxWidensAndKeepsTheRange) {
  TvoieNonEA v("t", "s", "temps", 6);
  v.Fmini = 5;
  v.Fmaxi = 5;
  v.setMinMax();
  EXPECT_EQ(v.Fmaxi, 6);
  // No clamping to the converter's range, unlike an analog input.
  v.Fmini = -2000;
  v.Fmaxi = 100;
  v.setMinMax();
  EXPECT_EQ(v.Fmini, -2000);
  EXPECT_EQ(v.exposantAff, 1000);
  v.Fmini = 0;
  v.Fmaxi = 0.004;
  v.setMinMax();
  EXPECT_NEAR(v.exposantAff, 1e-3, 1e-15);
  TCourbe entree = volts();
  entree.Fmini = -2000;
  entree.Fmaxi = 100;
  entree.setMinMax();
  EXPECT_EQ(entree.Fmini, -10);
}

class ConversionPropre : public TCourbe {
 public:
  using TCourbe::TCourbe;
  double ValeurReal(int V) const override { return V * 2.0; }
};

TEST(Courbe, BlockConversionMatchesSingleConversion) {
  TCourbe c = volts();
  TvoieNonEA n("x", "V", "", 7);
  ConversionPropre p("p", "V", "", 8);
  const std::int16_t codes[] = {-32768, -1, 0, 1, 12345, 32767};
  double bloc[6];
  for (const TCourbe* v : {static_cast<const TCourbe*>(&c), static_cast<const TCourbe*>(&n),
                           static_cast<const TCourbe*>(&p)}) {
    v->ValeurRealBloc(codes, bloc, 6);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(bloc[i], v->ValeurReal(codes[i]));
  }
  p.ValeurRealBloc(codes, bloc, 6);
  EXPECT_EQ(bloc[5], 65534);
}

}  // namespace
