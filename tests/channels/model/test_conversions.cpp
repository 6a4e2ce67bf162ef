// Raw code to physical value, ranges, range texts and input names.

#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <vector>

#include "outils.h"

namespace {

struct CasConversion {
  const char* nom;
  bool capteur;
  int capteurAuto;
  double offset, unVolt, mini, maxi;
  const char* formule;
  int code;
  double attendu;
};
// Named cases keep the registered test names short and stable.
void PrintTo(const CasConversion& c, std::ostream* os) { *os << c.nom; }

class Conversion : public ModeleVoies, public ::testing::WithParamInterface<CasConversion> {};

TEST_P(Conversion, ValeurRealEtBloc) {
  const CasConversion& c = GetParam();
  Tvoie v(6);
  v.AvecCapteur = c.capteur;
  v.indexCapteurAuto = c.capteurAuto;
  v.Offset = c.offset;
  v.UnVolt = c.unVolt;
  v.Fmini = c.mini;
  v.Fmaxi = c.maxi;
  v.setExpression(c.formule);
  const double r = v.ValeurReal(c.code);
  if (c.attendu == valeurAbsente)
    EXPECT_EQ(r, valeurAbsente);
  else
    EXPECT_NEAR(r, c.attendu, 1e-9 * std::max(1.0, std::fabs(c.attendu)));
  // The block conversion gives the very same numbers.
  const std::int16_t code = std::int16_t(c.code);
  double bloc = 0;
  v.ValeurRealBloc(&code, &bloc, 1);
  EXPECT_EQ(bloc, r);
}

constexpr double pas = 20.0 / 65536.0;

INSTANTIATE_TEST_SUITE_P(
    Tvoie, Conversion,
    ::testing::Values(
        CasConversion{"voltsMax", false, 0, 0, 1, -5, 5, "", 32767, 32767 * pas},
        CasConversion{"voltsMin", false, 0, 0, 1, -5, 5, "", -32768, -10},
        CasConversion{"sansCapteurIgnoreCoefs", false, 0, 3, 7, -5, 5, "", 3277, 3277 * pas},
        CasConversion{"lineaire", true, 0, 2, 100, -5, 5, "", 3277, 100 * 3277 * pas + 2},
        CasConversion{"lineaireNonBorne", true, 0, 0, 100, 0, 1, "", 32767, 100 * 32767 * pas},
        CasConversion{"autoBorneHaut", false, 3, 0, 100, -50, 110, "", 32767, 110},
        CasConversion{"autoBorneBas", false, 3, 0, 100, -50, 110, "", -32767, -50},
        CasConversion{"autoDansBornes", false, 3, 0, 10, -50, 110, "", 6554, 10 * 6554 * pas},
        CasConversion{"formule", true, 0, 0, 1, -5, 5, "(V-0.4)*25", 6554, (6554 * pas - 0.4) * 25},
        CasConversion{"formuleV0", true, 0, 0, 1, -5, 5, "V/V0", 3277, 3277 * pas / 0.1},
        CasConversion{"formuleEchoue", true, 0, 0, 1, -5, 5, "ln(V)", -100, valeurAbsente},
        CasConversion{"formuleSansCapteurIgnoree", false, 0, 0, 1, -5, 5, "V*1000", 3277,
                      3277 * pas}),
    [](const auto& info) { return std::string(info.param.nom); });

TEST_F(ModeleVoies, ValeurVoltAuxBornes) {
  Tvoie v(6);
  EXPECT_NEAR(v.ValeurVolt(32767), 9.99969, 1e-5);
  EXPECT_EQ(v.ValeurVolt(-32768), -10.0);
  EXPECT_EQ(v.ValeurVolt(0), 0.0);
}

TEST_F(ModeleVoies, VoltToRealEtCalibres) {
  Tvoie v(7);
  EXPECT_EQ(v.VoltToReal(2.5), 2.5);
  v.AvecCapteur = true;
  v.Offset = -1;
  v.UnVolt = 4;
  EXPECT_EQ(v.VoltToReal(2.5), 9.0);
  EXPECT_DOUBLE_EQ(v.CalibreMaxi(), 4 * 32767 * pas - 1);
  EXPECT_DOUBLE_EQ(v.CalibreMini(), -4 * 32767 * pas - 1);
  v.setExpression("V*V");
  v.Fmini = -3;
  v.Fmaxi = 42;
  EXPECT_TRUE(v.CapteurNonLin());
  EXPECT_EQ(v.CalibreMaxi(), 42);
  EXPECT_EQ(v.CalibreMini(), -3);
}

// Channels of derived classes that change the conversion must not be
// converted by the base class's fast loop.
class VoieDecalee : public Tvoie {
 public:
  using Tvoie::Tvoie;
  double ValeurVolt(int V) const override { return Tvoie::ValeurVolt(V) + 1; }
};

TEST_F(ModeleVoies, BlocSuitLaClasseDerivee) {
  VoieDecalee v(6);
  const std::vector<std::int16_t> codes{0, 100, -32768, 32767};
  std::vector<double> valeurs(codes.size());
  v.ValeurRealBloc(codes.data(), valeurs.data(), codes.size());
  for (std::size_t k = 0; k < codes.size(); ++k) EXPECT_EQ(valeurs[k], v.ValeurReal(codes[k]));
  EXPECT_EQ(valeurs[0], 1.0);
}

TEST_F(ModeleVoies, ConvertitVecteurResteDansLesBornes) {
  Tvoie v(6);
  v.AvecCapteur = true;
  v.UnVolt = 2;
  v.vecteurCourant[0] = 3277;
  v.vecteurCourant[60000] = -3277;
  v.convertitVecteur(0, 1000000);  // past the end: cut to the vector
  EXPECT_DOUBLE_EQ(v.vecteurAff[0], 2 * 3277 * pas);
  EXPECT_DOUBLE_EQ(v.vecteurAff[60000], -2 * 3277 * pas);
  EXPECT_EQ(v.vecteurAff[1], 0.0);
  // Nothing received yet: every point is the value of code 0.
  Tvoie w(7);
  w.AvecCapteur = true;
  w.Offset = 5;
  w.convertitVecteur(10, 20);
  EXPECT_EQ(w.vecteurAff[15], 5.0);
  EXPECT_EQ(w.vecteurAff[20], 0.0);
  EXPECT_FALSE(w.vecteurCourant.alloue());
}

// The fast sweep conversion and the single conversion agree on every code.
TEST_F(ModeleVoies, BlocEgalPointParPointSurTousLesCodes) {
  std::vector<std::int16_t> codes(65536);
  for (int k = 0; k < 65536; ++k) codes[std::size_t(k)] = std::int16_t(k - 32768);
  std::vector<double> valeurs(codes.size());
  auto verifie = [&](const Tvoie& v, const char* cas) {
    v.ValeurRealBloc(codes.data(), valeurs.data(), codes.size());
    std::size_t ecarts = 0;
    for (std::size_t k = 0; k < codes.size(); ++k)
      if (valeurs[k] != v.ValeurReal(codes[k])) ++ecarts;
    EXPECT_EQ(ecarts, 0u) << cas;
  };
  Tvoie v(6);
  verifie(v, "volts");
  v.AvecCapteur = true;
  v.Offset = 0.1;
  v.UnVolt = 3.7;
  verifie(v, "lineaire");
  v.indexCapteurAuto = 2;
  v.Fmini = -7;
  v.Fmaxi = 11;
  verifie(v, "borne");
  v.indexCapteurAuto = 0;
  v.setExpression("sqrt(V)*V0");
  v.TensionRef = 1.9;
  verifie(v, "formule");
}

struct CasMinMax {
  const char* nom;
  bool capteur;
  double offset, unVolt;
  double mini, maxi;
  double miniAttendu, maxiAttendu;
  double exposantAff;
};
void PrintTo(const CasMinMax& c, std::ostream* os) { *os << c.nom; }

class MinMax : public ModeleVoies, public ::testing::WithParamInterface<CasMinMax> {};

TEST_P(MinMax, Plage) {
  const CasMinMax& c = GetParam();
  Tvoie v(6);
  v.AvecCapteur = c.capteur;
  v.Offset = c.offset;
  v.UnVolt = c.unVolt;
  v.Fmini = c.mini;
  v.Fmaxi = c.maxi;
  v.setMinMax();
  EXPECT_DOUBLE_EQ(v.Fmini, c.miniAttendu);
  EXPECT_DOUBLE_EQ(v.Fmaxi, c.maxiAttendu);
  EXPECT_DOUBLE_EQ(v.exposantAff, c.exposantAff);
}

INSTANTIATE_TEST_SUITE_P(
    Tvoie, MinMax,
    ::testing::Values(
        CasMinMax{"borneeA10V", false, 0, 1, -20, 30, -10, 10, 1},
        CasMinMax{"inversee", false, 0, 1, 4, -2, -2, 4, 1},
        CasMinMax{"elargie", false, 0, 1, 1, 1, 1, 1 + 64 * pas, 1},
        CasMinMax{"capteurLarge", true, 0, 100, 0, 0, 0, 100 * 64 * pas, 1},
        CasMinMax{"capteurNonBorne", true, 0, 1000, -2000, 3000, -2000, 3000, 1000},
        CasMinMax{"milli", true, 0, 0.001, -0.02, 0.05, -0.02, 0.05, 1e-3},
        CasMinMax{"dixiemesEnMilli", true, 0, 0.01, 0, 0.5, 0, 0.5, 1e-3},
        CasMinMax{"plageNulle", true, 0, 0, 0, 0, 0, 0, 1}),
    [](const auto& info) { return std::string(info.param.nom); });

TEST_F(ModeleVoies, PlageLineaireCentDegresParVolt) {
  Tvoie v(6);
  v.setNomUnite("\u00b0C");
  v.AvecCapteur = true;
  v.UnVolt = 100;
  v.Fmini = 20;
  v.Fmaxi = 20;
  v.setMinMax();
  EXPECT_NEAR(v.Fmaxi - v.Fmini, 1.953125, 1e-12);
}

struct CasCalibre {
  double mini, maxi;
  const char* texte;
};
void PrintTo(const CasCalibre& c, std::ostream* os) { *os << c.texte; }
class Calibre : public ModeleVoies, public ::testing::WithParamInterface<CasCalibre> {};

TEST_P(Calibre, Texte) {
  Tvoie v(6);
  v.Fmini = GetParam().mini;
  v.Fmaxi = GetParam().maxi;
  EXPECT_EQ(v.calibreVoie(), GetParam().texte);
}

INSTANTIATE_TEST_SUITE_P(Tvoie, Calibre,
                         ::testing::Values(CasCalibre{-10, 10, "\u00b110.0 V"},
                                           CasCalibre{0, 5, "5.00 V"},
                                           CasCalibre{-5, 0, "-5.00 V"},
                                           CasCalibre{-1, 5, "-1.0 +5.0 V"},
                                           CasCalibre{-0.5, 0.52, "\u00b1520 mV"}));

struct CasNom {
  int n;
  const char* vyk;
  const char* pux0;
  const char* pux1;
  const char* pux2;
};
void PrintTo(const CasNom& c, std::ostream* os) { *os << "entree " << c.n; }
class NomEntree : public ModeleVoies, public ::testing::WithParamInterface<CasNom> {};

TEST_P(NomEntree, ParModele) {
  const CasNom& c = GetParam();
  EXPECT_EQ(nomEntreeBrixo(c.n, false, 0), c.vyk);
  EXPECT_EQ(nomEntreeBrixo(c.n, true, 0), c.pux0);
  EXPECT_EQ(nomEntreeBrixo(c.n, true, 1), c.pux1);
  EXPECT_EQ(nomEntreeBrixo(c.n, true, 2), c.pux2);
  // The channel asks the same of the interface in use.
  Tvoie v(6);
  v.FnumBrixo = c.n;
  contexteVoies().PuxActif = true;
  contexteVoies().connecteurPux = 1;
  EXPECT_EQ(v.NomVoieBrixo(), c.pux1);
  contexteVoies().PuxActif = false;
  EXPECT_EQ(v.NomVoieBrixo(), c.vyk);
}

INSTANTIATE_TEST_SUITE_P(
    Tvoie, NomEntree,
    ::testing::Values(CasNom{-1, "", "", "", ""}, CasNom{0, "EA0", "EA0", "EA0-A", "EA0"},
                      CasNom{1, "EA1", "EA1", "EA1-A", "EA1"}, CasNom{2, "EA2", "EA2", "EA2-F", "EA2"},
                      CasNom{3, "EA3", "EA3", "EA3-F", "EA3"}, CasNom{4, "EA4", "EA-G", "EA4-B", "EA4"},
                      CasNom{5, "EA5", "EA-H", "EA5-B", "EA5"}, CasNom{6, "EA6", "EA-I", "EA6-C", "EA6"},
                      CasNom{7, "EA7", "EA-J", "EA7-C", "EA7"},
                      CasNom{8, "EA8", "EAD-G", "EAD-G", "EAD-G"},
                      CasNom{9, "EA9", "EAD-H", "EAD-H", "EAD-H"},
                      CasNom{10, "EAD0", "EAD-I", "EAD-I", "EAD-I"},
                      CasNom{11, "EAD1", "EAD-J", "EAD-J", "EAD-J"}, CasNom{12, "", "", "", ""}));

TEST_F(ModeleVoies, CaractereEntreeEtSeuil) {
  const struct {
    int n;
    char vyk, pux;
  } cas[] = {{7, ' ', ' '}, {8, ' ', '0'}, {9, ' ', '1'}, {10, '0', '2'},
             {11, '1', '3'}, {12, ' ', ' '}, {-1, ' ', ' '}};
  for (const auto& c : cas) {
    EXPECT_EQ(caractereEntree(c.n, false), c.vyk) << c.n;
    EXPECT_EQ(caractereEntree(c.n, true), c.pux) << c.n;
  }
  EXPECT_EQ(seuilEnVolts(128, false), 0.0);
  EXPECT_EQ(seuilEnVolts(0, false), -10.0);
  EXPECT_EQ(seuilEnVolts(2048, true), 0.0);
  EXPECT_EQ(seuilEnVolts(4096, true), 10.0);
}

TEST_F(ModeleVoies, CreationEtTextes) {
  Tvoie v(8);
  EXPECT_EQ(v.nom, "V8");
  EXPECT_EQ(v.nomUnite(), "V");
  EXPECT_EQ(v.FnumBrixo, 2);
  EXPECT_EQ(v.CodeVoie(), "2");
  EXPECT_EQ(v.Mini(), -5);
  EXPECT_EQ(v.Maxi(), 5);
  EXPECT_EQ(v.TensionRef, 0.1);
  EXPECT_EQ(v.Motif, mCroix);
  EXPECT_EQ(v.couleur, couleurVoie(8));
  EXPECT_EQ(v.Parser, nullptr);
  for (double x : v.oldValeurs) EXPECT_EQ(x, valeurAbsente);
  Tvoie t(1);
  EXPECT_EQ(t.CodeVoie(), "-5");

  v.setMinMax();
  v.valeurAff = 1.25;
  EXPECT_EQ(v.AffVoltmetre(), " 1.250 V");
  v.vecteurAff[3] = -2.5;
  EXPECT_EQ(v.AffValeur(3), "-2.500");
  EXPECT_EQ(v.AffValeur(60001), "  Erreur");

  EXPECT_EQ(texteEtatAcq(eaAttenteSynchro), "Attente de d\u00e9clenchement");
  EXPECT_EQ(texteEtatAcq(eaAttenteResul), "Attente des valeurs envoy\u00e9es par Brixo");
  EXPECT_EQ(texteEtatAcq(eaMajResul), "");
  EXPECT_EQ(texteEtatAcq(eaTerminee), "Acquisition termin\u00e9e");
}

TEST_F(ModeleVoies, VecteursAllouesALaPremiereEcriture) {
  Tvoie v(6);
  EXPECT_FALSE(v.vecteurAff.alloue());
  EXPECT_FALSE(v.oldVecteur[15].alloue());
  const Tvoie& c = v;
  EXPECT_EQ(c.vecteurAff[60000], 0.0);
  EXPECT_FALSE(c.vecteurAff.alloue());
  EXPECT_EQ(c.vecteurCourant[60000], 0);
  EXPECT_FALSE(c.vecteurCourant.alloue());
  EXPECT_THROW((void)c.vecteurCourant[60001], std::out_of_range);
  EXPECT_THROW(v.vecteurAff[60001] = 1, std::out_of_range);
  v.vecteurCourant[5] = 77;
  v.vecteurAff[5] = 1.5;
  v.RazVecteur();
  EXPECT_EQ(c.vecteurCourant[5], 0);
  EXPECT_EQ(c.vecteurAff[5], 0.0);
  TVecteur copie = v.vecteurAff;
  EXPECT_TRUE(copie.alloue());
  EXPECT_EQ(TVecteur::size(), 60001u);
}

}  // namespace
