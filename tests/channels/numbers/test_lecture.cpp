// Reading typed numbers, expressions and durations, under both separators.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/channels/numbers/nombres.h"
#include "separateur.h"

namespace {

struct CasLecture {
  const char* texte;
  double attendu;  // valeurAbsente for unreadable text
};

class LireNombre : public AvecSeparateur {};

TEST_P(LireNombre, TableDeCas) {
  const std::vector<CasLecture> cas = {
      {"3,3", 3.3},
      {"3.3", 3.3},
      {" 3 , 3\t", 3.3},
      {"1 000", 1000},
      {"1,000.5", valeurAbsente},
      {"1.000,5", valeurAbsente},
      {"3,3,3", valeurAbsente},
      {"", valeurAbsente},
      {"   ", valeurAbsente},
      {"-2,5", -2.5},
      {"+7", 7},
      {".5", 0.5},
      {"5.", 5},
      {"1e3", 1000},
      {"1E-3", 0.001},
      {"2,5e2", 250},
      {"4.7k", 4700},
      {"2,2k", 2200},
      {"12µ", 12e-6},
      {"4.7µ", 4.7e-6},
      {"1.5m", 0.0015},
      {"3n", 3e-9},
      {"3p", 3e-12},
      {"3f", 3e-15},
      {"3a", 3e-18},
      {"3z", 3e-21},
      {"3y", 3e-24},
      {"3M", 3e6},
      {"3G", 3e9},
      {"3T", 3e12},
      {"3P", 3e15},
      {"2E", 2e18},
      {"-1.5k", -1500},
      // Letters that are prefixes of units but not of numbers.
      {"2c", valeurAbsente},
      {"2d", valeurAbsente},
      {"2h", valeurAbsente},
      {"2Z", valeurAbsente},
      {"2Y", valeurAbsente},
      {"2K", valeurAbsente},
      {"2μ", valeurAbsente},  // Greek mu, not the micro sign
      {"k", valeurAbsente},
      {"µ", valeurAbsente},
      {"1e", valeurAbsente},
      {"1E+", valeurAbsente},
      {"1e3k", valeurAbsente},
      {"--1", valeurAbsente},
      {"1-", valeurAbsente},
      {"abc", valeurAbsente},
      {"0x10", valeurAbsente},
      {"inf", valeurAbsente},
      {"nan", valeurAbsente},
      {"1e400", valeurAbsente},
      {"1e-400", 0},
      {"\xB5", valeurAbsente},  // a stray byte
  };
  for (const auto& c : cas) EXPECT_EQ(lireNombre(c.texte), c.attendu) << "\"" << c.texte << "\"";
}

TEST_P(LireNombre, RelitCeQueFormatGeneralEcrit) {
  for (double v : {0.1, -123.456, 6.02214076e23, 1.602176634e-19, 2.0 / 3.0, 5e-324, 1.7976931348623157e308}) {
    EXPECT_EQ(lireNombre(formatGeneral(v, 17)), v) << formatGeneral(v, 17);
  }
}

VYK2_SOUS_LES_DEUX_SEPARATEURS(LireNombre);

// ---------------------------------------------------------------------------

class EvalueNombre : public AvecSeparateur {};

TEST_P(EvalueNombre, Valeurs) {
  const std::vector<CasLecture> cas = {
      {"2*PI", 6.283185307179586},
      {"2*pi/3", 2 * 3.141592653589793 / 3},
      {"Pi", 3.141592653589793},
      {"-(1+2)*3", -9},
      {"(1+2", 3},
      {"((((((((((1))))))))))", 1},
      {"1-2-3", -4},
      {"8/4/2", 1},
      {"2+3*4", 14},
      {"-2*3", -6},
      {"+2", 2},
      {"3 + 4", 7},
      {"2,5*2", 5},
      {"2.5*2", 5},
      {".5*2", 1},
      {"1.5k", 1500},
      {"1,5k", 1500},
      {"3µ", 3e-6},
      {"2m", 0.002},
      {"1e3", 1000},
      {"1E-3*2", 0.002},
      {"2E", 2e18},
      {"0.1+0.2", 0.1 + 0.2},
      // A sign inside a term applies to the factor after it.
      {"2*-3", -6},
      {"-3*-2", 6},
      {"2/+4", 0.5},
      {"2*-(1+1)", -4},
      {"--3", 3},
      {"", valeurAbsente},
      {" \t", valeurAbsente},
      {"1E+", valeurAbsente},
      // A number that cannot be read stays missing through the arithmetic.
      {"1e400*2", valeurAbsente},
      {"-1e", valeurAbsente},
      {"2*-1E+", valeurAbsente},
      {"1/1E+", valeurAbsente},
      {"(1E+)+3", valeurAbsente},
      {"1+(1+(1+(1+(1+(1+(1+(1+(1+1))))))))", 10},
  };
  for (const auto& c : cas) EXPECT_EQ(evalueNombre(c.texte), c.attendu) << "\"" << c.texte << "\"";
}

struct CasErreur {
  std::string texte;
  const char* message;
};

TEST_P(EvalueNombre, Erreurs) {
  const std::vector<CasErreur> cas = {
      {"1+2)", "Erreur nombre"},
      {"pie", "Erreur nombre"},
      {"PP", "Erreur nombre"},
      {"PIPIPIPI", "Erreur nombre"},
      {"2mm", "Erreur nombre"},
      {"2 3x", "Erreur nombre"},
      {"PIPIPIPIP", "Identificateur trop long (>8)"},
      {"ppppppppppppppppppppp", "Identificateur trop long (>8)"},
      {"1+(1+(1+(1+(1+(1+(1+(1+(1+(1+1)))))))))", "Trop complexe"},
      {std::string(200, '(') + "1", "Trop complexe"},
      {std::string(100000, '(') + "1", "Trop complexe"},
      {std::string(100000, '-') + "1", "Trop complexe"},
      {"x", "Erreur ("},
      {"1+", "Erreur ("},
      {"()", "Erreur ("},
      {"2*", "Erreur ("},
      {"*2", "Erreur ("},
      {"I", "Erreur ("},
      {"µ", "Erreur ("},
      {"(1]", "Erreur )"},
      {"(1+2)3", "Erreur nombre"},
      {"1/0", "Division par zéro"},
      {"1/(1-1)", "Division par zéro"},
      {"1e308*10", "Dépassement de capacité"},
      {"1e308+1e308", "Dépassement de capacité"},
  };
  for (const auto& c : cas) {
    try {
      const double v = evalueNombre(c.texte);
      ADD_FAILURE() << "\"" << c.texte.substr(0, 60) << "\" gave " << v;
    } catch (const EGetFloatError& e) {
      EXPECT_STREQ(e.what(), c.message) << "\"" << c.texte.substr(0, 60) << "\"";
    }
  }
}

VYK2_SOUS_LES_DEUX_SEPARATEURS(EvalueNombre);

// ---------------------------------------------------------------------------

class LireDuree : public AvecSeparateur {};

TEST_P(LireDuree, TableDeCas) {
  const std::vector<CasLecture> cas = {
      {"0", 0.1},
      {"", 0.1},
      {"3", 3},
      {"1j", 86400},
      {"2min30s", 150},
      {"2 min 30 s", 150},
      {"500ms", 0.5},
      {"2,5ms", 0.0025},
      {"2.5ms", 0.0025},
      {"250µs", 0.00025},
      {"1h30", 3630},
      {"1h30min", 5400},
      {"1j2h", 93600},
      {"1,5", 1.5},
      {"0,3", 0.3},
      {"1.5min", 90},
      {"90s", 90},
      {"5:30", 330},
      {"1:30:00", 5400},
      {"12:30", 45000},
      {"0:00:01,5", 1.5},
      {"0:00:01.5", 1.5},
      {"2j12:00:00", 216000},
      {"1j5:30", 86400 + 19800},
      // Unreadable parts.
      {"xyz", valeurAbsente},
      {"xmin", valeurAbsente},
      {"xminys", valeurAbsente},
      {"xmin30s", 30},
      {"xh30", 30},
      {"0,5h", 0.1},
      {"25:00", 0},
      {"5:60", 0},
      {"ab:cd", 0},
      {"1j25:00", 86400},
      {"1:2:3:4", 0},
  };
  for (const auto& c : cas) EXPECT_EQ(lireDuree(c.texte), c.attendu) << "\"" << c.texte << "\"";
}

TEST_P(LireDuree, QuotientsExacts) {
  // Counts of intervals in a duration typed in decimal.
  EXPECT_EQ(quotientTronque(lireDuree("0,3"), lireDuree("0,1")), 3);
  EXPECT_EQ(quotientTronque(lireDuree("0.7"), lireDuree("0.1")), 7);
  EXPECT_EQ(quotientTronque(lireDuree("6ms"), lireDuree("2ms")), 3);
  EXPECT_EQ(quotientTronque(lireDuree("1min"), lireDuree("0.2")), 300);
  EXPECT_EQ(quotientTronque(lireDuree("2,9"), lireDuree("0,1")), 29);
  EXPECT_EQ(quotientTronque(lireDuree("0,29"), lireDuree("0,1")), 2);
}

VYK2_SOUS_LES_DEUX_SEPARATEURS(LireDuree);

}  // namespace
