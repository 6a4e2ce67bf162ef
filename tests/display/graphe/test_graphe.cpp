// The acquisition set: creation, point counts, conversion, trigger slot and
// threshold, time origin, active channels per mode, pages, sorting.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/acquisition/clavier/entree_clavier.h"
#include "core/channels/numbers/nombres.h"
#include "core/counters/frequence/brulon.h"
#include "core/counters/frequence/frequence.h"
#include "core/counters/pivane/pivane.h"
#include "core/display/graphe/graphe.h"
#include "core/formulas/voie_calculee/voie_calculee.h"
#include "core/outputs/pwm/sortie_pwm.h"
#include "core/outputs/sortie_analogique/sortie_analogique.h"

namespace {

constexpr double voltsParCode = 10.0 / 32768;

void entrees(TgrapheVYK& g, std::vector<int> numeros) {
  numeros.resize(5, -1);
  for (int i = 0; i < 5; ++i) {
    TCourbe* c = g.voieBrixo[std::size_t(6 + i)];
    c->active = numeros[std::size_t(i)] >= 0;
    if (c->active) c->FnumBrixo = numeros[std::size_t(i)];
  }
}

TEST(Creation, SlotsNomsEtValeursParDefaut) {
  TgrapheVYK g;
  struct Attendu {
    int slot;
    const char* nom;
    const char* unite;
    const char* signif;
  };
  const Attendu attendus[] = {
      {1, "t", "s", "Dur\u00e9e"},
      {2, "Vsa", "V", "Tension sortie analogique"},
      {3, "X", "", ""},
      {4, "z", "m", "Fourche optique"},
      {5, "f", "Hz", "Fr\u00e9quence"},
      {6, "V1", "V", ""},
      {10, "V5", "V", ""},
      {11, "X", "", ""},
      {12, "dt", "s", "D\u00e9marrage sur CLAP"},
  };
  for (const Attendu& a : attendus) {
    const TCourbe* c = g.voie(a.slot);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->nom, a.nom) << a.slot;
    EXPECT_EQ(c->nomUnite(), a.unite) << a.slot;
    EXPECT_EQ(c->signif, a.signif) << a.slot;
    EXPECT_NE(c->couleur, clWindow) << a.slot;
  }
  EXPECT_EQ(g.sortiePWM->nom, "Vpwm");
  EXPECT_EQ(g.entreeClavier->NomVoieBrixo(), "Clavier");
  EXPECT_EQ(g.sortieAnalogique->NomVoieBrixo(), "SA0");
  EXPECT_EQ(g.sortiePWM->NomVoieBrixo(), "PWM0");
  EXPECT_EQ(g.frequence->NomVoieBrixo(), "EF0");
  EXPECT_EQ(g.brulon->NomVoieBrixo(), "Brulon");
  EXPECT_EQ(g.voieCalculee->NomVoieBrixo(), "Calcul");
  EXPECT_EQ(g.baseDeTemps->NumBrixo(), -1);
  EXPECT_DOUBLE_EQ(g.baseDeTemps->Mini(), 0);
  EXPECT_DOUBLE_EQ(g.frequence->Maxi(), 10000);
  EXPECT_TRUE(g.voieCalculee->AvecCapteur);

  EXPECT_EQ(g.voie(6)->NumBrixo(), 10);
  EXPECT_EQ(g.voie(7)->NumBrixo(), 11);
  EXPECT_EQ(g.voie(8)->NumBrixo(), 2);
  EXPECT_EQ(g.voie(10)->NumBrixo(), 4);
  EXPECT_EQ(g.entreesActives(), (std::vector<int>{10, 11}));
  EXPECT_FALSE(g.voie(8)->active);

  EXPECT_EQ(g.voieAbscisse, 1);
  EXPECT_TRUE(g.Trace == sTrace{trLigne});
  EXPECT_TRUE(g.monocoup);
  EXPECT_EQ(g.FrontSynchro, '1');
  EXPECT_EQ(g.ModeAcq, AcqTemps);
  EXPECT_EQ(g.ModeSynchro, S_clavier);
  EXPECT_EQ(g.seuilSynchro, 128);
  EXPECT_EQ(g.FvoieSynchro, 6);
  EXPECT_EQ(g.deltatFiltre, 20);
  EXPECT_EQ(g.NbreInter(), 128);
  EXPECT_EQ(g.NbreVoie, 2);
  EXPECT_EQ(g.ordreLanceFiltre(), "WPE 2 30000 20 1 10 11");
}

TEST(Creation, ComportementsDesSlotsSpeciaux) {
  TgrapheVYK g;
  EXPECT_EQ(g.brulon->Commande(AcqTemps), "WBRULON 0 8");
  EXPECT_EQ(g.brulon->Commande(AcqPoint), "WSON 0 8");
  EXPECT_EQ(g.brulon->Commande(AcqCardiaque), "");
  EXPECT_EQ(g.sortieAnalogique->calibreVoie(), "0-5 V");
  g.sortieAnalogique->SAi = '1';
  EXPECT_EQ(g.sortieAnalogique->calibreVoie(), "\u00b15V");

  // Optical fork in fall mode: one stripe period per event.
  Tpivane& p = *g.pivane;
  p.Fchute = true;
  p.recopieM(5, g.baseDeTemps->vecteurAff);
  EXPECT_DOUBLE_EQ(p.vecteurAff[4], 4 * 0.0036);
  EXPECT_DOUBLE_EQ(p.Maxi(), 7 * 0.0036);
  // Oscillation mode: zero in the middle of the swing; an event out of
  // time order is not drawn.
  p.Fchute = false;
  const std::int16_t comptes[] = {10, 14, 18, 14, 10};
  for (int i = 0; i < 5; ++i) {
    p.vecteurCourant[std::size_t(i)] = comptes[i];
    g.baseDeTemps->vecteurAff[std::size_t(i)] = i == 2 ? 9 : i;
  }
  p.recopieM(5, g.baseDeTemps->vecteurAff);
  EXPECT_DOUBLE_EQ(p.vecteurAff[0], -4 * 0.0018);
  EXPECT_DOUBLE_EQ(p.vecteurAff[1], 0);
  EXPECT_EQ(p.vecteurAff[2], valeurAbsente);
  EXPECT_DOUBLE_EQ(p.Maxi(), 11 * 0.0018);
  EXPECT_DOUBLE_EQ(p.Mini(), -11 * 0.0018);
}

TEST(FixeNbreInter, Limites) {
  struct Cas {
    TModeAcq mode;
    std::vector<int> entrees;
    int freqMega;
    std::int32_t demande, obtenu, blocs;
  };
  const std::vector<Cas> cas = {
      {AcqTemps, {}, 1, 1000, 1000, 0},
      {AcqTemps, {0, 1, 2, 3, 10}, 1, 20000, 12000, 0},
      {AcqTemps, {10}, 1, 3, 8, 0},
      {AcqTemps, {10}, 1, 70000, 60000, 0},
      {AcqPivane, {10}, 1, 3, 3, 0},
      {AcqPivane, {10}, 1, 90000, 90000, 0},
      {AcqUnMega, {11, 10}, 1, 1005, 1000, 50},
      {AcqUnMega, {11, 10}, 2, 1005, 1000, 25},
      {AcqUnMega, {11, 10}, 2, 8, 40, 1},  // never less than one block
  };
  for (const Cas& c : cas) {
    TgrapheVYK g;
    g.ModeAcq = c.mode;
    g.FreqMega = c.freqMega;
    entrees(g, c.entrees);
    g.fixeNbreInter(c.demande);
    EXPECT_EQ(g.NbreInter(), c.obtenu) << c.demande;
    if (c.mode == AcqUnMega) {
      EXPECT_EQ(g.nbreBlocMega, c.blocs);
    }
  }
  TgrapheVYK g;
  entrees(g, {});
  g.fixeNbreInter(1000);
  EXPECT_TRUE(g.voie(6)->active);
  EXPECT_EQ(g.NbreVoie, 1);
}

// Codes written as the decoders would, for the first n points.
void ecritCodes(TCourbe& c, std::int32_t n, int depart, int pas) {
  for (std::int32_t i = 0; i < n; ++i) c.vecteurCourant[std::size_t(i)] = std::int16_t(depart + pas * i);
}

TEST(CourantVersAff, InterpolationDesEntreesSuivantes) {
  TgrapheVYK g;
  entrees(g, {10, -1, 11, 2});  // slots 6, 8, 9 active
  g.CoeffInterp = 0.1;
  const std::int32_t n = 50;
  ecritCodes(*g.voie(6), n, 0, 100);
  ecritCodes(*g.voie(8), n, 1000, -30);
  ecritCodes(*g.voie(9), n, -500, 7);
  g.NbreCourant = n;
  g.CourantVersAff();
  EXPECT_EQ(g.NbreAff, n);
  auto V = [](int code) { return code * voltsParCode; };
  for (std::int32_t i = 0; i < n; ++i) {
    EXPECT_DOUBLE_EQ(g.voie(6)->vecteurAff[std::size_t(i)], V(100 * i));
  }
  struct Cas {
    int slot;
    double f;
    int depart, pas;
  };
  for (const Cas& c : {Cas{8, 0.1, 1000, -30}, Cas{9, 0.2, -500, 7}}) {
    const TVecteur& v = g.voie(c.slot)->vecteurAff;
    auto W = [&](int i) { return V(c.depart + c.pas * i); };
    EXPECT_NEAR(v[0], (1 + c.f) * W(0) - c.f * W(1), 1e-12) << c.slot;
    for (int i = 1; i < n; ++i)
      EXPECT_NEAR(v[std::size_t(i)], c.f * W(i - 1) + (1 - c.f) * W(i), 1e-12) << c.slot << " " << i;
  }
  EXPECT_DOUBLE_EQ(g.voie(9)->valeurAff, V(-500 + 7 * 49));
  // Inactive slots are left alone.
  EXPECT_FALSE(g.voie(7)->vecteurAff.alloue());
}

TEST(CourantVersAff, ValeurAbsenteNonInterpolee) {
  TgrapheVYK g;
  g.CoeffInterp = 0.5;
  TCourbe& c = *g.voie(7);
  c.AvecCapteur = true;
  c.setExpression("1/V");
  ASSERT_TRUE(c.CapteurNonLin());
  ecritCodes(*g.voie(6), 10, 100, 1);
  ecritCodes(c, 10, -1000, 200);  // code 0 at point 5: 1/V fails
  g.NbreCourant = 10;
  g.CourantVersAff();
  EXPECT_EQ(c.vecteurAff[5], valeurAbsente);
  EXPECT_EQ(c.vecteurAff[6], valeurAbsente);
  EXPECT_NE(c.vecteurAff[4], valeurAbsente);
  EXPECT_NEAR(c.vecteurAff[7], 0.5 * c.ValeurReal(200) + 0.5 * c.ValeurReal(400), 1e-9);
}

TEST(CourantVersAff, VoieCalculee) {
  TgrapheVYK g;
  g.CoeffInterp = 0;
  ecritCodes(*g.voie(6), 10, 3277, 3277);
  ecritCodes(*g.voie(7), 10, 1000, 0);
  g.voieCalculee->active = true;
  g.voieCalculee->setExpression("V1 * V2");
  g.NbreCourant = 10;
  g.CourantVersAff();
  for (int i = 0; i < 10; ++i)
    EXPECT_NEAR(g.voieCalculee->vecteurAff[std::size_t(i)],
                g.voie(6)->vecteurAff[std::size_t(i)] * g.voie(7)->vecteurAff[std::size_t(i)], 1e-12);

  g.voieCalculee->setExpression("V1 / (V2 - V2)");
  g.CourantVersAff();
  EXPECT_EQ(g.voieCalculee->vecteurAff[3], valeurAbsente);

  // A channel inactive when the formula is set is unknown to it.
  struct Vue : IVueVoies {
    std::vector<std::string> messages;
    void afficheMessage(const std::string& m) override { messages.push_back(m); }
  } vue;
  fixeVueVoies(&vue);
  g.voie(7)->active = false;
  g.voieCalculee->setExpression("V1 * V2");
  fixeVueVoies(nullptr);
  EXPECT_FALSE(g.voieCalculee->active);
  EXPECT_EQ(vue.messages, std::vector<std::string>{"V1 * V2 : erreur de syntaxe"});
}

TEST(CourantVersAff, UnMegahertzBlancsDeLaSecondeEntree) {
  TgrapheVYK g;
  g.ModeAcq = AcqUnMega;
  g.FreqMega = 2;
  entrees(g, {11, 10});
  g.fixeNbreInter(400);
  ecritCodes(*g.voie(6), 400, 0, 10);
  ecritCodes(*g.voie(7), 400, 0, 20);
  g.NbreCourant = 400;
  g.CourantVersAff();
  for (int i = 0; i < 20; ++i) EXPECT_EQ(g.voie(7)->vecteurAff[std::size_t(i)], valeurAbsente);
  EXPECT_DOUBLE_EQ(g.voie(7)->vecteurAff[20], 400 * voltsParCode);
  EXPECT_DOUBLE_EQ(g.voie(6)->vecteurAff[5], 50 * voltsParCode);
}

TEST(Seuil, BornesDuCodeEtRetour) {
  struct Cas {
    bool pux;
    double x;
    int code;
  };
  const Cas cas[] = {{false, 100, 250}, {false, -100, 5}, {false, 0, 128},
                     {false, 5, 192},   {true, 100, 4000}, {true, -100, 96},
                     {true, 0, 2048},   {true, -5, 1024}};
  for (const Cas& c : cas) {
    TgrapheVYK g;
    g.PuxActif = c.pux;
    g.ModeSynchro = S_seuil;
    if (c.pux) entrees(g, {8, 9});
    g.setSeuilSynchro(c.x);
    EXPECT_EQ(g.seuilSynchro, c.code) << c.pux << " " << c.x;
  }
  TgrapheVYK g;
  g.ModeSynchro = S_seuil;
  g.seuilSynchro = 192;
  EXPECT_NEAR(g.seuilSynchroReal(), (32767 + 32767) * voltsParCode * 64 / 256, 1e-12);
}

TEST(VoieSynchro, ChoixEtPlacement) {
  TgrapheVYK g;
  g.ModeSynchro = S_seuil;
  // The VYK II triggers on input 11, here on slot 7.
  EXPECT_EQ(g.lireVoieSynchro(), 7);
  EXPECT_EQ(g.numeroSynchro(), 11);
  TCourbe* entree11 = g.voie(7);
  std::vector<std::pair<int, int>> echanges;
  g.voiesEchangees = [&](int a, int b) { echanges.emplace_back(a, b); };
  g.VerifSynchro();
  EXPECT_EQ(echanges, (std::vector<std::pair<int, int>>{{7, 6}}));
  EXPECT_EQ(g.voieSynchro(), 6);
  EXPECT_EQ(g.voie(6), entree11);
  EXPECT_EQ(g.voie(6)->NumBrixo(), 11);

  // No input 11 active: the first inactive slot gets it.
  TgrapheVYK h;
  h.ModeSynchro = S_seuil;
  entrees(h, {10, 2});
  EXPECT_EQ(h.lireVoieSynchro(), 8);
  EXPECT_TRUE(h.voie(8)->active);
  EXPECT_EQ(h.voie(8)->NumBrixo(), 11);

  // Other trigger modes leave the slot alone.
  TgrapheVYK k;
  k.FvoieSynchro = 9;
  EXPECT_EQ(k.lireVoieSynchro(), 9);

  // The PUX II chooses; the VYK II ignores the choice.
  TgrapheVYK p;
  p.PuxActif = true;
  p.fixeVoieSynchro(9);
  EXPECT_EQ(p.voieSynchro(), 9);
  EXPECT_TRUE(p.voie(9)->active);
  EXPECT_EQ(p.numeroSynchro(), 3);
  TgrapheVYK v;
  v.fixeVoieSynchro(9);
  EXPECT_EQ(v.voieSynchro(), 6);
}

TEST(VoieSynchro, Ultrasons) {
  TgrapheVYK g;
  EXPECT_FALSE(g.VerifBrulon());
  g.brulon->active = true;
  g.brulon->EAi = 3;
  EXPECT_TRUE(g.VerifBrulon());
  EXPECT_EQ(g.ModeSynchro, s_brulon);
  EXPECT_EQ(g.voie(6)->NumBrixo(), 3);
  EXPECT_FALSE(g.VerifBrulon());  // already in place
}

// Sweep of n points, with the trigger slot's values set by f.
template <class F>
void balayageSynchro(TgrapheVYK& g, std::int32_t n, F f) {
  g.fixeNbreInter(n);
  for (std::int32_t i = 0; i < n; ++i) g.voie(6)->vecteurAff[std::size_t(i)] = f(i);
  g.NbreAff = n;
}

TEST(OrigineTemps, FrontDescendantAvecPreDeclenchement) {
  TgrapheVYK g;
  entrees(g, {11});
  g.ModeSynchro = S_seuil;
  g.montant = false;
  g.baseDeTemps->PreAcqPermis = true;
  g.baseDeTemps->Deltat = 1e-3;
  balayageSynchro(g, 1000, [](int i) { return i >= 1 && i < 60 ? 2.0 : -2.0; });
  g.baseDeTemps->fixePreAcq100(10);
  ASSERT_EQ(g.baseDeTemps->comptePreAcq(), 100);
  g.setSeuilSynchro(0);
  g.setOrigineTemps();
  const TVecteur& t = g.baseDeTemps->vecteurAff;
  EXPECT_DOUBLE_EQ(t[60], 0);
  EXPECT_DOUBLE_EQ(t[0], -60 * 1e-3);
  EXPECT_DOUBLE_EQ(t[61], 1e-3);

  // Rising edge: the first crossing upwards after a low point.
  g.montant = true;
  balayageSynchro(g, 1000, [](int i) { return i < 10 || (i >= 30 && i < 45) ? 2.0 : -2.0; });
  g.setOrigineTemps();
  EXPECT_DOUBLE_EQ(g.baseDeTemps->vecteurAff[30], 0);
}

TEST(OrigineTemps, ZeroExtrapoleSansPreDeclenchement) {
  TgrapheVYK g;
  entrees(g, {11});
  g.ModeSynchro = S_seuil;
  g.seuilSynchro = 128;
  g.baseDeTemps->Deltat = 1e-3;
  g.baseDeTemps->remplitTemps();
  balayageSynchro(g, 100, [](int i) { return 0.1 + 0.2 * i; });
  g.setOrigineTemps();
  // Zero crossing half an interval before the first point.
  EXPECT_NEAR(g.baseDeTemps->vecteurAff[0], 0.5e-3, 1e-15);
  EXPECT_NEAR(g.baseDeTemps->vecteurAff[2], 2.5e-3, 1e-15);

  // A crossing farther than three intervals, or a flat start, changes nothing.
  g.baseDeTemps->remplitTemps();
  balayageSynchro(g, 100, [](int i) { return 1.0 + 0.01 * i; });
  g.setOrigineTemps();
  EXPECT_DOUBLE_EQ(g.baseDeTemps->vecteurAff[1], 1e-3);
  balayageSynchro(g, 100, [](int) { return 0.05; });
  g.setOrigineTemps();
  EXPECT_DOUBLE_EQ(g.baseDeTemps->vecteurAff[1], 1e-3);
}

TEST(VoiesActives, ReglesParMode) {
  {
    TgrapheVYK g;
    g.voieAbscisse = 3;
    g.frequence->active = true;
    g.verifieVoiesActives();
    EXPECT_EQ(g.voieAbscisse, 1);
    EXPECT_FALSE(g.frequence->active);
    EXPECT_TRUE(g.baseDeTemps->active);
    EXPECT_EQ(g.NbreVoie, 2);
    EXPECT_EQ(g.NbreCourbe, 2);
  }
  {
    TgrapheVYK g;  // the only input as abscissa: back to time
    entrees(g, {10});
    g.voieAbscisse = 6;
    g.verifieVoiesActives();
    EXPECT_EQ(g.voieAbscisse, 1);
    EXPECT_EQ(g.NbreCourbe, 1);
  }
  {
    TgrapheVYK g;
    g.ModeAcq = AcqClavier;
    g.verifieVoiesActives();
    EXPECT_EQ(g.voieAbscisse, 3);
    EXPECT_TRUE(g.entreeClavier->active);
    EXPECT_FALSE(g.baseDeTemps->active);
  }
  {
    TgrapheVYK g;
    g.ModeAcq = AcqUnMega;
    g.sortieAnalogique->active = true;
    entrees(g, {2, 3, 4});
    g.verifieVoiesActives();
    EXPECT_EQ(g.voie(6)->NumBrixo(), 11);
    EXPECT_EQ(g.voie(7)->NumBrixo(), 10);
    EXPECT_FALSE(g.voie(8)->active);
    EXPECT_FALSE(g.sortieAnalogique->active);
    EXPECT_EQ(g.NbreVoie, 2);
    EXPECT_EQ(g.NbreCourbe, 2);
  }
  {
    TgrapheVYK g;
    g.ModeAcq = AcqFiltre;
    g.verifieVoiesActives();
    EXPECT_EQ(g.voieAbscisse, 5);
    EXPECT_TRUE(g.voie(8)->active);
    EXPECT_TRUE(g.voie(8)->AvecCapteur);
    EXPECT_TRUE(g.frequence->active);
    EXPECT_EQ(g.NbreVoie, 3);
  }
  {
    TgrapheVYK g;
    g.ModeAcq = AcqPivane;
    g.ListeRepere.push_back({});
    g.verifieVoiesActives();
    EXPECT_TRUE(g.pivane->active);
    EXPECT_FALSE(g.voie(6)->active);
    EXPECT_TRUE(g.baseDeTemps->active);
    EXPECT_DOUBLE_EQ(g.baseDeTemps->Maxi(), 10);
    EXPECT_TRUE(g.ListeRepere.empty());
    EXPECT_EQ(g.voieAbscisse, 1);
  }
  {
    TgrapheVYK g;  // nothing to draw against the abscissa
    g.ModeAcq = AcqPoint;
    entrees(g, {10});
    g.verifieVoiesActives();
    EXPECT_EQ(g.voieAbscisse, 6);
    EXPECT_TRUE(g.voie(7)->active);
    EXPECT_EQ(g.NbreCourbe, 1);
    EXPECT_EQ(g.NbreVoie, 2);
  }
}

void balayageComplet(TgrapheVYK& g, double marque) {
  for (std::int32_t i = 0; i < g.NbreInter(); ++i) {
    g.baseDeTemps->vecteurAff[std::size_t(i)] = i;
    g.voie(6)->vecteurAff[std::size_t(i)] = marque;
  }
  g.NbreAff = g.NbreInter();
}

TEST(Pages, AnneauDeQuinze) {
  TgrapheVYK g;
  g.fixeNbreInter(100);
  balayageComplet(g, 1);
  g.SauvePage();
  EXPECT_EQ(g.nbrePages, 0);  // remanence off

  g.remanence = true;
  for (int k = 1; k <= 16; ++k) {
    balayageComplet(g, k);
    g.SauvePage();
  }
  EXPECT_EQ(g.nbrePages, 15);
  EXPECT_EQ(g.premierePage, 1);
  EXPECT_DOUBLE_EQ(g.voie(6)->oldVecteur[1][99], 16);
  EXPECT_DOUBLE_EQ(g.voie(6)->oldVecteur[15][0], 15);
  EXPECT_EQ(g.oldNbre[1], 100);
  EXPECT_FALSE(g.voie(6)->oldVecteur[0].alloue());
  EXPECT_FALSE(g.voie(9)->oldVecteur[1].alloue());  // inactive: nothing kept

  g.NbreAff = 50;  // incomplete
  g.SauvePage();
  EXPECT_EQ(g.premierePage, 1);

  g.effaceAcquisition();
  EXPECT_EQ(g.nbrePages, 0);
  EXPECT_EQ(g.premierePage, 0);
  EXPECT_EQ(g.NbreAff, 0);
  EXPECT_FALSE(g.voie(6)->oldVecteur[1].alloue());
}

TEST(Tri, StableParFrequence) {
  TgrapheVYK g;
  g.ModeAcq = AcqPoint;
  g.frequence->active = true;
  const double f[] = {300, 100, 200, 100, 300, 100};
  for (int i = 0; i < 6; ++i) {
    g.frequence->vecteurAff[std::size_t(i)] = f[i];
    g.voie(6)->vecteurAff[std::size_t(i)] = i;
  }
  g.NbreAff = 6;
  g.tri();
  const double ordre[] = {1, 3, 5, 2, 0, 4};
  for (int i = 0; i < 6; ++i) {
    EXPECT_DOUBLE_EQ(g.voie(6)->vecteurAff[std::size_t(i)], ordre[i]);
    EXPECT_DOUBLE_EQ(g.frequence->vecteurAff[std::size_t(i)], f[int(ordre[i])]);
  }
  g.ModeAcq = AcqTemps;
  g.voie(6)->vecteurAff[0] = 42;
  g.frequence->vecteurAff[0] = 1000;
  g.tri();
  EXPECT_DOUBLE_EQ(g.voie(6)->vecteurAff[0], 42);
}

TEST(IndexPeriode, PointLePlusProcheDuPremier) {
  TgrapheVYK g;
  g.voie(6)->Fmaxi = 10;
  const double periode = 100.3;
  for (int i = 0; i < 1000; ++i)
    g.voie(6)->vecteurAff[std::size_t(i)] = 5 * std::sin(2 * M_PI * i / periode);
  g.NbreAff = 1000;
  std::int32_t k = 195;
  g.SetIndexPeriode(6, k);
  EXPECT_EQ(k, 201);  // 2 periods: 200.6
  std::int32_t loin = 150;  // nothing within a tenth of the maximum
  g.SetIndexPeriode(6, loin);
  EXPECT_EQ(loin, 150);
}

}  // namespace
