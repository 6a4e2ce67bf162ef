// Writing numbers and durations, under both separators.

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <string>
#include <vector>

#include "core/channels/numbers/nombres.h"
#include "separateur.h"

namespace {

struct CasFormat {
  double valeur;
  const char* attendu;  // with "." standing for the separator under test
};

class FormatNombre : public AvecSeparateur {};

TEST_P(FormatNombre, CinqChiffres) {
  const std::vector<CasFormat> cas = {
      {valeurAbsente, " "},
      {0, "0"},
      {-0.0, "0"},
      {3.3, "3.3"},
      {-2.5, "-2.5"},
      {1234.5678, "1234.6"},
      {12345.6, "12346"},
      {123456, "1.2346E5"},
      {99999.5, "1E5"},
      {0.0001, "0.0001"},
      {0.00001, "1E-5"},
      {0.000012345, "1.2345E-5"},
      {1e-11, "1E-11"},
      {-1.5e-20, "-1.5E-20"},
      {1e10, "1E10"},
      {2.5e300, "2.5E300"},
      {1.0 / 3.0, "0.33333"},
      {0.125, "0.125"},
      {1e-26 * 2, "2E-26"},
  };
  for (const auto& c : cas) EXPECT_EQ(formatNombre(c.valeur), sep(c.attendu)) << c.valeur;
}

TEST_P(FormatNombre, AutresPrecisions) {
  EXPECT_EQ(formatNombre(2.5, 1), "2");  // halves to even
  EXPECT_EQ(formatNombre(3.5, 1), "4");
  EXPECT_EQ(formatNombre(0.125, 2), sep("0.12"));
  EXPECT_EQ(formatNombre(0.375, 2), sep("0.38"));
  EXPECT_EQ(formatNombre(123.456, 7), sep("123.456"));
  EXPECT_EQ(formatNombre(150, 2), sep("1.5E2"));
  EXPECT_EQ(formatNombre(0.1, 17), sep("0.10000000000000001"));
  EXPECT_EQ(formatNombre(0.1, 40), sep("0.10000000000000001"));
  EXPECT_EQ(formatNombre(0.1, 0), sep("0.1"));
}

TEST_P(FormatNombre, NonFinis) {
  EXPECT_EQ(formatNombre(INFINITY), "INF");
  EXPECT_EQ(formatNombre(-INFINITY), "-INF");
  EXPECT_EQ(formatNombre(NAN), "NAN");
}

TEST_P(FormatNombre, EchangeToujoursAvecUnPoint) {
  const std::vector<CasFormat> cas = {
      {0.0001, "0.0001"},     {0.00009, "9E-05"},     {123.456789, "123.4568"},
      {12345678, "1.234568E07"}, {-2.5, "-2.5"},      {0, "0"},
      {1234567, "1234567"},   {1e100, "1E100"},       {valeurAbsente, "1E-26"},
      {-1.5e-7, "-1.5E-07"},
  };
  for (const auto& c : cas) EXPECT_EQ(formatEchange(c.valeur), c.attendu) << c.valeur;
}

TEST_P(FormatNombre, Fixe) {
  EXPECT_EQ(formatFixe(12.5, 2), sep("12.50"));
  EXPECT_EQ(formatFixe(0.125, 2), sep("0.12"));
  EXPECT_EQ(formatFixe(2.5, 0), "2");
  EXPECT_EQ(formatFixe(-0.001, 2), sep("0.00"));
  EXPECT_EQ(formatFixe(-1.006, 2), sep("-1.01"));
  EXPECT_EQ(formatFixe(1e300, 0).size(), 301u);
}

VYK2_SOUS_LES_DEUX_SEPARATEURS(FormatNombre);

// ---------------------------------------------------------------------------

class FormatDuree : public AvecSeparateur {};

TEST_P(FormatDuree, TableDeCas) {
  const std::vector<CasFormat> cas = {
      {299, "299 s"},
      {12.5, "12.5 s"},
      {0.25, "250 ms"},
      {0.0015, "1.50 ms"},
      {1e-6, "1.00 µs"},
      {-5, "-5.00 s"},
      {299.99, "300 s"},
      {1e-13, "0 s"},
      {valeurAbsente, ""},
      {300, "0:05:00"},
      {300.7, "0:05:00"},
      {3599, "0:59:59"},
      {3600, "01h00"},
      {19800, "05h30"},
      {7207, "02h00"},
      {7208, "02h00"},
      {43229, "12h00"},
      {90000, "1j 01h"},
      {190800, "2j 05h"},
      {86399.9, "1j 00h"},
      {1e13, "???"},
  };
  for (const auto& c : cas) EXPECT_EQ(formatDuree(c.valeur), sep(c.attendu)) << c.valeur;
  EXPECT_EQ(formatDuree(NAN), "???");
}

TEST_P(FormatDuree, HMS) {
  const std::vector<CasFormat> cas = {
      {3903, "01:05:03"}, {0, "00:00:00"},  {59.5, "00:01:00"}, {60.5, "00:01:00"},
      {61.5, "00:01:02"}, {360000, "100:00:00"}, {-65, "-00:01:05"}, {valeurAbsente, "00:00:00"},
  };
  for (const auto& c : cas) EXPECT_EQ(formatHMS(c.valeur), c.attendu) << c.valeur;
  EXPECT_EQ(formatHMS(INFINITY), "???");
}

VYK2_SOUS_LES_DEUX_SEPARATEURS(FormatDuree);

// ---------------------------------------------------------------------------

TEST(Arrondis, DemiAuPair) {
  struct Cas {
    double x, attendu;
  };
  for (const auto& c : std::vector<Cas>{{0.5, 0},   {1.5, 2},   {2.5, 2},       {-0.5, 0},
                                        {-1.5, -2}, {-2.5, -2}, {2.4999999, 2}, {2.5000001, 3},
                                        {1e300, 1e300}, {4503599627370497.0, 4503599627370497.0},
                                        {0.49999999999999994, 0}}) {
    EXPECT_EQ(arrondiPair(c.x), c.attendu) << c.x;
  }
}

TEST(Arrondis, IndependantsDuModeDArrondi) {
  const int ancien = std::fegetround();
  for (int mode : {FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
    std::fesetround(mode);
    EXPECT_EQ(arrondiPair(2.5), 2);
    EXPECT_EQ(arrondiPair(-3.5), -4);
    EXPECT_EQ(arrondiEntier(0.7), 1);
  }
  std::fesetround(ancien);
}

TEST(Arrondis, EntierSature) {
  EXPECT_EQ(arrondiEntier(NAN), 0);
  EXPECT_EQ(arrondiEntier(1e300), INT64_MAX);
  EXPECT_EQ(arrondiEntier(-1e300), INT64_MIN);
  EXPECT_EQ(arrondiEntier(-2.5), -2);
}

TEST(Arrondis, QuotientsDeDecimaux) {
  // Every count n of steps of a decimal size, with the duration typed in decimal.
  for (const char* pas : {"0.1", "0.01", "0.001", "0.2", "0.3", "0.7", "1.1", "2.5e-4", "0.05"}) {
    const double p = lireNombre(pas);
    for (int n = 1; n <= 2000; ++n) {
      const std::string total = std::to_string(n) + "*" + pas;
      const double t = evalueNombre(formatGeneral(n * p, 15));
      ASSERT_EQ(quotientTronque(t, p), n) << total;
    }
  }
  EXPECT_EQ(quotientTronque(0.29, 0.1), 2);
  EXPECT_EQ(quotientTronque(5, 2), 2);
  EXPECT_EQ(quotientTronque(-7, 2), -3);
  EXPECT_EQ(quotientTronque(1, 0), 0);
  EXPECT_EQ(tronqueEntier(2.9999999999999996), 3);
  EXPECT_EQ(tronqueEntier(2.99999), 2);
  EXPECT_EQ(tronqueEntier(-0.5), 0);
}

TEST(Arrondi125, TableDeCas) {
  struct Cas {
    double x, attendu;
  };
  for (const auto& c : std::vector<Cas>{{0.0034, 0.005}, {-7, -10},   {1.4, 1},   {2.5, 2},
                                        {3, 5},          {5.4, 5},    {6, 10},    {150, 200},
                                        {0.25, 0.2},     {45, 50},    {1e-7, 0},  {-1e-7, 0},
                                        {1e-6, 1e-6},    {99, 100},   {1000, 1000}, {0.07, 0.1},
                                        {valeurAbsente, 0}, {2.2e20, 2e20}}) {
    EXPECT_EQ(arrondi125(c.x), c.attendu) << c.x;
  }
}

}  // namespace
