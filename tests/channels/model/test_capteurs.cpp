// Sensor formulas, binding sensors to a channel, live averaging, and the
// sensor objects themselves.

#include <cmath>
#include <memory>

#include "core/formulas/parser/parser.h"
#include "outils.h"

namespace {

constexpr double pas = 20.0 / 65536.0;

TEST_F(ModeleVoies, FormuleErroneeGardeLaPrecedente) {
  Tvoie v(6);
  v.AvecCapteur = true;
  v.setExpression(" 2 * V ");
  EXPECT_EQ(v.expression(), "2*V");
  EXPECT_TRUE(vue.messages.empty());
  v.setExpression("2*(V");
  ASSERT_EQ(vue.messages.size(), 1u);
  EXPECT_EQ(vue.messages[0],
            "Erreur de syntaxe\rUtiliser le point d\u00e9cimal\rTension mesur\u00e9e : V");
  EXPECT_EQ(v.expression(), "2*V");
  EXPECT_DOUBLE_EQ(v.ValeurReal(3277), 2 * 3277 * pas);
  // A decimal comma is a syntax error too.
  v.setExpression("V*2,5");
  EXPECT_EQ(vue.messages.size(), 2u);
  EXPECT_EQ(v.expression(), "2*V");
}

TEST_F(ModeleVoies, PremiereFormuleErroneeLaisseLaVoieLineaire) {
  Tvoie v(6);
  v.AvecCapteur = true;
  v.UnVolt = 3;
  v.setExpression("V+");
  EXPECT_EQ(vue.messages.size(), 1u);
  EXPECT_NE(v.Parser, nullptr);
  EXPECT_FALSE(v.CapteurNonLin());
  EXPECT_DOUBLE_EQ(v.ValeurReal(3277), 3 * 3277 * pas);
}

TEST_F(ModeleVoies, TexteVideEffaceLaFormule) {
  Tvoie v(6);
  v.AvecCapteur = true;
  v.setExpression("V*V");
  const TParser* objet = v.Parser.get();
  v.setExpression("  ");
  EXPECT_EQ(v.Parser.get(), objet);  // the object stays
  EXPECT_EQ(v.expression(), "");
  EXPECT_FALSE(v.CapteurNonLin());
  // V0 still follows TensionRef after a new formula.
  v.TensionRef = 4.3;
  v.setExpression("V0");
  EXPECT_EQ(v.ValeurReal(0), 4.3);
}

TEST_F(ModeleVoies, AffecteCapteurLineaire) {
  TCapteur c;
  c.nomC = "\u03b8";
  c.nomUniteC = "\u00b0C";
  c.signifC = "Temp\u00e9rature";
  c.aideC = "prise A";
  c.numeroC = 10;
  c.MiniAff = 110;
  c.MaxiAff = -50;
  c.OffsetC = -20;
  c.UnVoltC = 10;
  c.AvecPotarC = true;
  c.Genre = gGlowmetra;
  Tvoie v(6);
  v.indexCapteurAuto = 5;
  v.setExpression("V*V");  // what the channel held before
  v.AffecteCapteur(c);
  EXPECT_EQ(v.nom, "\u03b8");
  EXPECT_EQ(v.nomUnite(), "\u00b0C");
  EXPECT_EQ(v.signif, "Temp\u00e9rature");
  EXPECT_EQ(v.aide, "prise A");
  EXPECT_EQ(v.FnumBrixo, 10);
  EXPECT_EQ(v.Fmini, -50);
  EXPECT_EQ(v.Fmaxi, 110);
  EXPECT_TRUE(v.AvecCapteur);
  EXPECT_TRUE(v.AvecPotar);
  EXPECT_FALSE(v.AvecAmpli);
  EXPECT_EQ(v.indexCapteurAuto, 0);
  EXPECT_EQ(v.expression(), "");
  EXPECT_DOUBLE_EQ(v.ValeurReal(6554), 10 * 6554 * pas - 20);
  EXPECT_TRUE(v.isGlowmetra);
  EXPECT_FALSE(v.isChromavel);
  EXPECT_EQ(v.TensionRef, 4.3);
  EXPECT_TRUE(vue.messages.empty());
}

TEST_F(ModeleVoies, AffecteCapteurTraduitLesEntreesSurPux) {
  contexteVoies().PuxActif = true;
  const struct {
    int numero, attendu;
  } cas[] = {{8, 4}, {9, 5}, {10, 8}, {11, 9}, {0, 0}, {3, 3}};
  for (const auto& k : cas) {
    TCapteur c;
    c.numeroC = k.numero;
    Tvoie v(6);
    v.AffecteCapteur(c);
    EXPECT_EQ(v.FnumBrixo, k.attendu) << k.numero;
  }
}

TEST_F(ModeleVoies, AffecteCapteurAmpliEtFormule) {
  TCapteur c;
  c.AvecAmpliC = true;
  c.numeroC = 0;
  c.LinearC = false;
  c.ExpressionC = "(V - 0.4) * 25";
  c.MiniAff = 0;
  c.MaxiAff = 50;
  c.Genre = gChromavel;
  Tvoie v(6);
  v.AffecteCapteur(c);
  EXPECT_EQ(v.FnumBrixo, 2);
  ASSERT_EQ(vue.messages.size(), 1u);
  EXPECT_EQ(vue.messages[0], "N\u00e9cessite un ampli physique branch\u00e9 sur prise F");
  EXPECT_TRUE(v.CapteurNonLin());
  EXPECT_EQ(v.expression(), "(V-0.4)*25");
  EXPECT_DOUBLE_EQ(v.ValeurReal(6554), (6554 * pas - 0.4) * 25);
  EXPECT_EQ(v.TensionRef, 1.0);
  EXPECT_TRUE(v.isChromavel);
}

TEST_F(ModeleVoies, ChercheCapteurAjouteUneSeuleFois) {
  TlisteCapteur liste;
  liste.Add(std::make_unique<TCapteur>());
  Tvoie v(6);
  v.ChercheCapteur(gPhase, liste);
  v.ChercheCapteur(gPhase, liste);
  ASSERT_EQ(liste.Count(), 2u);
  const TCapteur& p = *liste.Get(1);
  EXPECT_EQ(p.Genre, gPhase);
  EXPECT_EQ(p.nomC, "\u2014");
  EXPECT_EQ(p.nomUniteC, "\u00b0");
  EXPECT_EQ(p.numeroC, 9);
  EXPECT_EQ(p.aideC, "Phase de \"jaune\" / \"vert\"");
  EXPECT_EQ(v.FnumBrixo, 9);
  EXPECT_EQ(v.Fmini, -180);
  EXPECT_EQ(v.Fmaxi, 180);
  EXPECT_DOUBLE_EQ(v.ValeurReal(3277), 36 * 3277 * pas);

  v.ChercheCapteur(gEntree, liste);
  v.ChercheCapteur(gSortie, liste);
  ASSERT_EQ(liste.Count(), 4u);
  EXPECT_EQ(liste.Get(2)->signifC, "Tension efficace d'entr\u00e9e");
  EXPECT_EQ(liste.Get(2)->numeroC, 8);
  EXPECT_EQ(liste.Get(2)->aideC, "fil vert prise H");
  EXPECT_EQ(liste.Get(3)->nomC, "Vs");
  EXPECT_EQ(liste.Get(3)->numeroC, 11);
  EXPECT_EQ(liste.Get(3)->aideC, "fil jaune prise H");
  EXPECT_EQ(v.nom, "Vs");
  EXPECT_EQ(v.Fmaxi, 10);
  // The first sensor of the genre is the one bound.
  auto autre = std::make_unique<TCapteur>();
  autre->Genre = gSortie;
  autre->nomC = "autre";
  liste.Add(std::move(autre));
  v.ChercheCapteur(gSortie, liste);
  EXPECT_EQ(v.nom, "Vs");
  EXPECT_EQ(liste.Count(), 5u);
}

TEST_F(ModeleVoies, MoyenneGlissante) {
  Tvoie v(6);
  v.NbreMoyenne = 3;
  const int codes[] = {3277, 6554, 9830, 0};
  v.nouvelleLecture(codes[0]);
  EXPECT_DOUBLE_EQ(v.ValeurCourante, 3277 * pas);  // empty entries count as r
  v.nouvelleLecture(codes[1]);
  EXPECT_DOUBLE_EQ(v.ValeurCourante, (2 * 6554 + 3277) * pas / 3);
  v.nouvelleLecture(codes[2]);
  EXPECT_DOUBLE_EQ(v.ValeurCourante, (3277 + 6554 + 9830) * pas / 3);
  v.nouvelleLecture(codes[3]);  // replaces the oldest
  EXPECT_DOUBLE_EQ(v.ValeurCourante, (6554 + 9830) * pas / 3);
  v.RazMoyenne();
  v.nouvelleLecture(0);
  EXPECT_EQ(v.ValeurCourante, 0.0);

  Tvoie seul(7);
  seul.nouvelleLecture(3277);
  seul.nouvelleLecture(0);
  EXPECT_EQ(seul.ValeurCourante, 0.0);
  EXPECT_EQ(seul.oldValeurs[0], valeurAbsente);

  // A count set out of range never reaches past the buffer.
  Tvoie large(8);
  large.NbreMoyenne = 1000;
  large.indiceMoyenne = 500;
  for (int k = 0; k < 40; ++k) large.nouvelleLecture(3277);
  EXPECT_DOUBLE_EQ(large.ValeurCourante, 3277 * pas);
  EXPECT_LT(large.indiceMoyenne, maxMoyenne);
}

TEST_F(ModeleVoies, LectureEchoueeNeSeMoyennePas) {
  Tvoie v(6);
  v.AvecCapteur = true;
  v.setExpression("ln(V)");
  v.NbreMoyenne = 2;
  v.nouvelleLecture(3277);
  v.nouvelleLecture(-3277);
  EXPECT_EQ(v.ValeurCourante, valeurAbsente);
  v.nouvelleLecture(3277);
  EXPECT_DOUBLE_EQ(v.ValeurCourante, std::log(3277 * pas));
}

TEST_F(ModeleVoies, CapteurParDefautEtAssign) {
  TCapteur c;
  EXPECT_FALSE(c.AvecPotarC);
  EXPECT_FALSE(c.AvecAmpliC);
  EXPECT_TRUE(c.LinearC);
  EXPECT_EQ(c.OffsetC, 0);
  EXPECT_EQ(c.UnVoltC, 10);
  EXPECT_EQ(c.constructeur, cDin);
  EXPECT_EQ(c.nomC, "T");
  EXPECT_EQ(c.nomUniteC, "\u00b0C");
  EXPECT_EQ(c.numeroC, 0);
  EXPECT_EQ(c.Genre, gNone);

  TCapteur s;
  s.AvecPotarC = true;
  s.LinearC = false;
  s.AvecAmpliC = true;
  s.OffsetC = 1;
  s.UnVoltC = 2;
  s.nomC = "a";
  s.nomUniteC = "b";
  s.signifC = "c";
  s.aideC = "d";
  s.titreC = "e";
  s.MiniAff = 3;
  s.MaxiAff = 4;
  s.numeroC = 9;
  s.constructeur = cAutre;
  s.ExpressionC = "V";
  s.Genre = gPhase;
  c.Assign(s);
  EXPECT_TRUE(c.AvecPotarC && !c.LinearC && c.AvecAmpliC);
  EXPECT_EQ(c.OffsetC, 1);
  EXPECT_EQ(c.UnVoltC, 2);
  EXPECT_EQ(c.nomC + c.nomUniteC + c.signifC + c.aideC + c.titreC, "abcde");
  EXPECT_EQ(c.MiniAff, 3);
  EXPECT_EQ(c.MaxiAff, 4);
  EXPECT_EQ(c.numeroC, 0);
  EXPECT_EQ(c.constructeur, cDin);
  EXPECT_EQ(c.ExpressionC, "");
  EXPECT_EQ(c.Genre, gNone);
}

TEST_F(ModeleVoies, ListeCapteursPossedeSesCapteurs) {
  TlisteCapteur liste;
  auto a = std::make_unique<TCapteur>();
  const TCapteur* pa = a.get();
  liste.Add(std::move(a));
  liste.Add(std::make_unique<TCapteur>());
  EXPECT_EQ(liste.IndexOf(pa), 0);
  EXPECT_EQ(liste.Remove(pa), 0);
  EXPECT_EQ(liste.Count(), 1u);
  EXPECT_EQ(liste.IndexOf(pa), -1);
  EXPECT_EQ(liste.Remove(pa), -1);
  auto b = std::make_unique<TCapteur>();
  b->nomC = "b";
  liste.Put(0, std::move(b));
  EXPECT_EQ(liste.Get(0)->nomC, "b");
  liste.Put(7, std::make_unique<TCapteur>());
  EXPECT_EQ(liste.Get(7), nullptr);
  liste.Clear();
  EXPECT_EQ(liste.Count(), 0u);
}

TEST_F(ModeleVoies, CapteurAutoParDefautEtUnites) {
  TCapteurAuto c(7);
  EXPECT_EQ(c.CodeAuto, 7);
  EXPECT_EQ(c.nomC[0], "T");
  EXPECT_EQ(c.nomUniteC[0], "\u00b0C");
  EXPECT_EQ(c.UnVoltC[0], 10);
  EXPECT_EQ(c.MiniAff[0], -50);
  EXPECT_EQ(c.MaxiAff[0], 110);
  EXPECT_EQ(c.nomC[1], "");
  EXPECT_EQ(c.UnVoltC[2], 0);
  EXPECT_EQ(c.modeAcq, AcqTemps);
  EXPECT_FALSE(c.AvecEtalonnage());
  EXPECT_FALSE(c.EtalonnageFait);
  c.PotarActif[4] = true;
  EXPECT_TRUE(c.AvecEtalonnage());

  EXPECT_DOUBLE_EQ(c.ValeurReal(3277), 10 * 3277 * pas);
  c.OffsetC[1] = 1;
  c.UnVoltC[1] = 2;
  c.codeUniteC = 1;
  EXPECT_DOUBLE_EQ(c.ValeurReal(3277), 2 * 3277 * pas + 1);
  c.setExpression("V * 100");
  EXPECT_EQ(c.expressionC[1], "V * 100");
  EXPECT_DOUBLE_EQ(c.ValeurReal(3277), 100 * 3277 * pas);
  c.codeUniteC = 0;  // unit 0 is always linear
  EXPECT_DOUBLE_EQ(c.ValeurReal(3277), 10 * 3277 * pas);
  c.codeUniteC = 9;  // out of range: unit 0
  EXPECT_DOUBLE_EQ(c.ValeurReal(3277), 10 * 3277 * pas);
  c.codeUniteC = 1;
  c.setExpression("log(");
  ASSERT_EQ(vue.messages.size(), 1u);
  EXPECT_EQ(vue.messages[0],
            "Erreur de syntaxe\rUtiliser le point d\u00e9cimal\rlog d\u00e9cimal de x = log10(x)");
  EXPECT_FALSE(c.avecFormule());
  EXPECT_DOUBLE_EQ(c.ValeurReal(3277), 2 * 3277 * pas + 1);
}

TEST_F(ModeleVoies, ObjetsPartages) {
  EXPECT_EQ(capteurAuto(0), nullptr);
  EXPECT_EQ(capteurAuto(23), nullptr);
  for (int code = 1; code <= 22; ++code) {
    ASSERT_NE(capteurAuto(code), nullptr);
    EXPECT_EQ(capteurAuto(code)->CodeAuto, code);
  }
  EXPECT_EQ(&listeCapteurs(), &listeCapteurs());
  EXPECT_EQ(&oxymetre(), &oxymetre());
}

TEST(Oxymetre, Temperature) {
  TOxymetre o;
  auto code = [](double volts) { return int(std::lround(volts * 65536 / 20)); };
  const struct {
    double volts, temp;
  } cas[] = {{1.0, 100}, {1.5, (3.5758 - 1.5) / 0.04199}, {2.5, (3.8287 - 2.5) / 0.049216},
             {3.9, 0}, {9.0, 0}};
  for (const auto& c : cas) {
    const int v = code(c.volts);
    const double x = v * 20.0 / 65536;
    double attendu = c.temp;
    if (x >= 1.47 && x < 2.106) attendu = (3.5758 - x) / 0.04199;
    if (x >= 2.106 && x < 3.8287) attendu = (3.8287 - x) / 0.049216;
    EXPECT_NEAR(o.temperature(v), attendu, 1e-9) << c.volts;
    EXPECT_EQ(o.Temp, o.temperature(v));
  }
  // The two pieces meet at 2.106 V (35 °C) and the curve reaches 0 °C where
  // the upper saturation starts.
  EXPECT_NEAR((3.5758 - 2.106) / 0.04199, (3.8287 - 2.106) / 0.049216, 0.01);
}

TEST(Oxymetre, ConcentrationDeReference) {
  TOxymetre o;
  o.Temp = 20;
  const double p = 23.373;
  const double s = ((((-2.7825548e-9 * 20 + 8.2611937e-7) * 20 - 1.1381568e-4) * 20 +
                     8.5384937e-3) * 20 - 0.41022722) * 20 + 14.646;
  const int attendu = int(std::nearbyint((1013 - p) * s / 1013 * 32767 / 15));
  EXPECT_EQ(o.valeurAttendue(), attendu);
  EXPECT_NEAR(o.cRef, 8.9, 0.1);  // oxygen in water at 20 °C
  o.Temp = 0;
  o.valeurAttendue();
  EXPECT_NEAR(o.cRef, 14.5, 0.1);
  EXPECT_DOUBLE_EQ(o.concentration(32767), 15.0);
  EXPECT_DOUBLE_EQ(o.concentration(0), 0.0);
}

TEST(Oxymetre, Commandes) {
  const struct {
    char code;
    const char* t;
    const char* c;
  } cas[] = {{'0', "WDAC 0 255", "WDAC 0 0"},
             {'1', "WDAC 1 255", "WDAC 1 0"},
             {'2', "WRBIT 6", "WSBIT 6"},
             {'3', "WRBIT 7", "WSBIT 7"},
             {'4', "", ""}};
  for (const auto& k : cas) {
    TOxymetre o;
    o.code = k.code;
    EXPECT_EQ(o.MesureT(), k.t);
    EXPECT_EQ(o.MesureC(), k.c);
  }
}

}  // namespace
