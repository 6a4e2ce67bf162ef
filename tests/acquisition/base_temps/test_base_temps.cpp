// Time base, sweep programming and launch lines, through the real
// acquisition set.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/acquisition/base_temps/arrondis.h"
#include "core/acquisition/base_temps/balayage.h"
#include "core/acquisition/base_temps/base_temps.h"
#include "core/acquisition/base_temps/lancement.h"
#include "core/channels/numbers/nombres.h"
#include "core/display/graphe/graphe.h"
#include "core/outputs/sortie_analogique/sortie_analogique.h"

namespace {

// Inputs of slots 6..10 set to the given input numbers (-1: inactive).
void entrees(TgrapheVYK& g, std::vector<int> numeros) {
  numeros.resize(5, -1);
  for (int i = 0; i < 5; ++i) {
    TCourbe* c = g.voieBrixo[std::size_t(6 + i)];
    c->active = numeros[std::size_t(i)] >= 0;
    if (c->active) c->FnumBrixo = numeros[std::size_t(i)];
  }
  g.NbreVoie = static_cast<std::int32_t>(g.entreesActives().size());
}

TEST(Arrondis, QuotientsDecimauxExacts) {
  struct Cas {
    double a, b;
    std::int64_t tronque, arrondi;
  };
  const Cas cas[] = {
      {0.3, 0.1, 3, 3},         {0.7, 0.1, 7, 7},       {0.1, 1e-4, 1000, 1000},
      {0.0003, 1e-5, 30, 30},   {1.1, 1e-4, 11000, 11000}, {0.0355, 1e-3, 35, 36},
      {0.0345, 1e-3, 34, 34},   {0.99968, 0.00781, 128, 128}, {1, 0.0078125, 128, 128},
      {2, 0.00781, 256, 256},   {1, 0, 0, 0},
  };
  for (const Cas& c : cas) {
    EXPECT_EQ(balayage::quotientTronque(c.a, c.b), c.tronque) << c.a << " / " << c.b;
    EXPECT_EQ(balayage::quotientArrondi(c.a, c.b), c.arrondi) << c.a << " / " << c.b;
  }
}

TEST(PeriodeBalayage, ArgumentsDeWPE) {
  struct Cas {
    double deltat;
    bool pux;
    long base, mult;
    double stocke;
  };
  const Cas cas[] = {
      {1e-3, false, 1000, 1, 1e-3},
      {0.1, false, 1000, 100, 0.1},
      {0.123456, false, 1000, 123, 0.123},
      {0.035, false, 1000, 35, 0.035},  // 3500 units exceed 3200
      {0.032, false, 32000, 1, 0.032},
      {0.013, true, 13000, 1, 0.013},   // 1300 units are still allowed
      {0.0131, true, 1000, 13, 0.013},
      {0.02, true, 1000, 20, 0.02},
      {0.0003, false, 300, 1, 0.0003},  // exactly 30 units, not 29
      {1e-4, false, 100, 1, 1e-4},
      {1.0 / 128, false, 7810, 1, 0.00781},
      {1e-6, false, 10, 1, 1e-5},       // never below one unit
      {1000, false, 1000, 65535, 65.535},
  };
  for (const Cas& c : cas) {
    const TperiodeBalayage p = periodeBalayage(c.deltat, c.pux);
    EXPECT_EQ(p.baseUs, c.base) << c.deltat;
    EXPECT_EQ(p.multiplicateur, c.mult) << c.deltat;
    EXPECT_DOUBLE_EQ(p.deltat(), c.stocke) << c.deltat;
  }
}

TEST(Balayage, ValeursDeDemarrage) {
  TgrapheVYK g;
  g.balayage().programmeBalayage();
  EXPECT_EQ(g.balayage().OrdreProgramme, "WPE 2 128 7810 1 10 11");
  EXPECT_EQ(g.balayage().ordreLanceR, "WGOR");
  EXPECT_EQ(g.balayage().ordreLance, "WGO");
  EXPECT_DOUBLE_EQ(g.baseDeTemps->Deltat, 0.00781);
  EXPECT_NEAR(g.baseDeTemps->DureeBalayage(), 0.99968, 1e-12);
  EXPECT_DOUBLE_EQ(g.CoeffInterp, 1.0 / 781);
}

TEST(Balayage, DixiemeDeSecondeSurMillePoints) {
  TgrapheVYK g;
  auto& b = g.balayage();
  ASSERT_TRUE(b.editeDuree("0,1"));
  ASSERT_TRUE(b.editeNombre("1000"));
  EXPECT_EQ(g.NbreInter(), 1000);
  EXPECT_EQ(b.OrdreProgramme, "WPE 2 1000 100 1 10 11");
  EXPECT_DOUBLE_EQ(g.baseDeTemps->DureeBalayage(), 0.1);

  ASSERT_TRUE(b.editeNombre("100"));
  EXPECT_EQ(b.OrdreProgramme, "WPE 2 100 1000 1 10 11");
  EXPECT_EQ(b.affichage().nombre, "100");
}

// Exact decimal durations over an interval give exact counts (the
// normalisation truncates duration / interval).
TEST(Balayage, ComptesExactsDepuisIntervalle) {
  struct Cas {
    const char* duree;
    const char* periode;
    std::int32_t points;
  };
  const Cas cas[] = {{"0.3", "0.1ms", 3000}, {"0.7", "0.1ms", 7000}, {"1.1", "0.1ms", 11000},
                     {"0.3", "30ms", 10},    {"0.1", "1ms", 100}};
  for (const Cas& c : cas) {
    TgrapheVYK g;
    auto& b = g.balayage();
    ASSERT_TRUE(b.editePeriode(c.periode));
    ASSERT_TRUE(b.editeDuree(c.duree));
    EXPECT_EQ(g.NbreInter(), c.points) << c.duree << " / " << c.periode;
    EXPECT_NEAR(g.NbreInter() * g.baseDeTemps->Deltat, g.baseDeTemps->DureeBalayage(), 1e-12);
  }
}

TEST(Balayage, PeriodeDe35msSurLeVYK) {
  TgrapheVYK g;
  auto& b = g.balayage();
  ASSERT_TRUE(b.editeDuree("3.5"));
  ASSERT_TRUE(b.editeNombre("100"));
  EXPECT_EQ(b.OrdreProgramme, "WPE 2 100 1000 35 10 11");
  EXPECT_DOUBLE_EQ(g.baseDeTemps->Deltat, 0.035);
  b.PuxActif = true;
  b.programmeBalayage();
  EXPECT_EQ(b.OrdreProgramme, "WPE 2 100 1000 35 10 11");
}

TEST(Balayage, LimitesDeDuree) {
  struct Cas {
    TModeAcq mode;
    int entrees;
    int freqMega;
    double demande, obtenue;
  };
  const Cas cas[] = {
      {AcqTemps, 3, 1, 1e-5, 2.4e-4}, {AcqTemps, 1, 1, 1e-5, 1e-4}, {AcqTemps, 2, 1, 1e-5, 1.6e-4},
      {AcqTemps, 5, 1, 3e8, 2.16e8},  {AcqUnMega, 1, 1, 0.2, 0.1},  {AcqUnMega, 1, 2, 0.2, 0.05},
      {AcqUnMega, 2, 1, 1e-6, 5e-5},  {AcqPoint, 1, 1, 0.5, 0.5},
  };
  for (const Cas& c : cas) {
    TgrapheVYK g;
    g.ModeAcq = c.mode;
    g.FreqMega = c.freqMega;
    std::vector<int> e;
    for (int i = 0; i < c.entrees; ++i) e.push_back(i);
    entrees(g, e);
    g.baseDeTemps->fixeDureeBalayage(c.demande);
    EXPECT_NEAR(g.baseDeTemps->DureeBalayage(), c.obtenue, c.obtenue * 1e-12)
        << int(c.mode) << " " << c.entrees << " " << c.demande;
  }
}

TEST(Balayage, PreDeclenchement) {
  TgrapheVYK g;
  TbaseDeTemps& t = *g.baseDeTemps;
  g.ModeSynchro = S_front;
  t.fixePreAcq100(50);
  EXPECT_EQ(t.PreAcq100(), 0);  // firmware without pre-trigger points

  t.PreAcqPermis = true;
  g.fixeNbreInter(4000);
  t.fixePreAcq100(50);
  EXPECT_EQ(t.PreAcq100(), 25);
  EXPECT_EQ(t.comptePreAcq(), 1000);

  g.fixeNbreInter(256);
  t.fixePreAcq100(20);
  EXPECT_EQ(t.comptePreAcq(), 51);
  t.fixeDureeBalayage(1);
  EXPECT_DOUBLE_EQ(t.Fmini, -0.2);
  EXPECT_DOUBLE_EQ(t.Fmaxi, 0.8);

  g.ModeSynchro = S_relaxe;  // no pre-trigger outside edge and threshold
  t.fixePreAcq100(30);
  EXPECT_EQ(t.comptePreAcq(), 0);
  EXPECT_DOUBLE_EQ(t.Fmini, 0);
  EXPECT_DOUBLE_EQ(t.Fmaxi, 1);
}

TEST(Balayage, BoutonsDeDuree) {
  TgrapheVYK g;
  auto& b = g.balayage();
  b.programmeBalayage();
  for (double attendue : {2.0, 5.0, 10.0, 20.0, 50.0}) {
    b.spinDuree(true);
    EXPECT_NEAR(g.baseDeTemps->DureeBalayage(), attendue, attendue * 2e-3);
    EXPECT_NEAR(g.NbreInter() * g.baseDeTemps->Deltat, g.baseDeTemps->DureeBalayage(), 1e-9);
  }
  TgrapheVYK h;
  h.balayage().programmeBalayage();
  for (double attendue : {0.5, 0.2, 0.1}) {
    h.balayage().spinDuree(false);
    EXPECT_NEAR(h.baseDeTemps->DureeBalayage(), attendue, attendue * 2e-3);
  }
}

TEST(Balayage, DureeAuDelaDUneHeure) {
  TgrapheVYK g;
  auto& b = g.balayage();
  g.baseDeTemps->Deltat = 0.01;
  g.baseDeTemps->fixeDureeBalayage(7200);
  b.ajusteBase(0);
  EXPECT_DOUBLE_EQ(g.baseDeTemps->Deltat, 0.01);
  EXPECT_EQ(g.NbreInter(), 30000);  // 720000 clamped to 60000 div 2
}

TEST(Balayage, ExempleDuDeclenchementSurSeuil) {
  TgrapheVYK g;
  auto& b = g.balayage();
  entrees(g, {11, 10});
  g.ModeSynchro = S_seuil;
  g.seuilSynchro = 128;
  g.montant = true;
  g.modeSeuilSynchroVYK2 = 0;
  b.SynchroMonocoupPermis = true;
  g.baseDeTemps->PreAcqPermis = true;
  g.fixeNbreInter(256);
  g.baseDeTemps->Deltat = 1e-3;
  b.programmeBalayage();
  EXPECT_EQ(b.OrdreProgramme, "WPE 2 256 1000 1 11 10");
  EXPECT_EQ(b.ordreLanceR, "WGOAR 128 M 0");
  EXPECT_EQ(b.ordreLance, "WGOA 128 M 0");

  g.baseDeTemps->fixePreAcq100(20);
  b.programmeBalayage();
  EXPECT_EQ(b.OrdreProgramme, "WPE 2 205 1000 1 11 10");
  EXPECT_EQ(b.ordreLanceR, "WAPREAC 51 128 M");
  EXPECT_EQ(b.ordreLance, "");

  b.SynchroMonocoupPermis = false;  // a VYK II of version 1.20
  g.baseDeTemps->fixePreAcq100(0);
  b.programmeBalayage();
  EXPECT_EQ(b.ordreLanceR, "WGOAR 128 M");

  TgrapheVYK p;
  p.PuxActif = true;
  p.balayage().PuxActif = true;
  entrees(p, {8, 9});
  p.ModeSynchro = S_seuil;
  p.seuilSynchro = 2048;
  p.fixeNbreInter(256);
  p.baseDeTemps->Deltat = 1e-3;
  p.balayage().programmeBalayage();
  EXPECT_EQ(p.balayage().OrdreProgramme, "WPE 2 256 1000 1 8 9");
  EXPECT_EQ(p.balayage().ordreLanceR, "WGOAR 8 2048 M");
}

TEST(Lancement, ParModeDeDeclenchement) {
  struct Cas {
    TModeSynchro mode;
    long avant;
    const char* lanceR;
    const char* lance;
    const char* resultats;
  };
  const Cas cas[] = {
      {S_front, 0, "WGOFR 2", "WGOF 2", ""},
      {S_front, 10, "WFPREAC 10 2", "", ""},
      {S_seuil, 0, "WGOAR 100 D 0", "WGOA 100 D 0", ""},
      {S_seuil, 7, "WAPREAC 7 100 D", "", ""},
      {S_relaxe, 0, "WGOR", "WGO", ""},
      {S_clavier, 0, "WGOR", "WGO", ""},
      {s_bouge, 0, "WGOR", "WGO", ""},
      {s_sodar, 0, "WSODAR", "WSODAR", ""},
      {s_brulon, 0, "WBRULON 1 6", "WGO", ""},
      {S_nerf, 0, "WGENEACQUI 1 200 3 4 12 5 1", "WGO", "WRESUL 0 1000"},
  };
  for (const Cas& c : cas) {
    TparametresLancement p;
    p.mode = c.mode;
    p.front = '2';
    p.montant = false;
    p.seuil = 100;
    p.monocoupPermis = true;
    p.pointsAvant = c.avant;
    p.frontEcho = 1;
    p.sortieEmetteur = 6;
    p.nerf = {'1', 200, 3, 4, 12, 5, true};
    p.nbreInter = 500;
    p.nbreVoie = 2;
    const TordresLancement o = ordresLancement(p);
    EXPECT_EQ(o.lanceR, c.lanceR) << int(c.mode);
    EXPECT_EQ(o.lance, c.lance) << int(c.mode);
    EXPECT_EQ(o.resultats, c.resultats) << int(c.mode);
  }
}

TEST(Lancement, StimulationDepuisLaSortieAnalogique) {
  TgrapheVYK g;
  g.ModeSynchro = S_nerf;
  g.sortieAnalogique->FinSortie[0] = 180;
  g.balayage().programmeBalayage();
  EXPECT_EQ(g.balayage().ordreLanceR, "WGENEACQUI 0 180 2 2 10 2");
  EXPECT_EQ(g.balayage().ordreResultats, "WRESUL 0 256");
}

TEST(Balayage, AffichageEtColonneDesTemps) {
  TgrapheVYK g;
  const TaffichageBase a = g.balayage().afficheBase();
  EXPECT_EQ(a.nombre, "128");
  EXPECT_EQ(a.maxProgression, 128);
  EXPECT_FALSE(a.repereVisible);
  EXPECT_EQ(a.periode, formatDuree(0.00781));
  EXPECT_EQ(a.duree, formatDuree(g.baseDeTemps->DureeBalayage()));
  EXPECT_FALSE(a.frequence.empty());
  EXPECT_DOUBLE_EQ(g.baseDeTemps->vecteurAff[10], 10 * 0.00781);
  EXPECT_DOUBLE_EQ(g.baseDeTemps->vecteurAff[60000], 60000 * 0.00781);

  ASSERT_TRUE(g.balayage().editeDuree("20 s"));
  EXPECT_TRUE(g.balayage().affichage().repereVisible);
}

TEST(Balayage, TexteIllisibleSansEffet) {
  TgrapheVYK g;
  auto& b = g.balayage();
  b.programmeBalayage();
  const double d = g.baseDeTemps->DureeBalayage();
  const double dt = g.baseDeTemps->Deltat;
  EXPECT_FALSE(b.editeDuree("abc"));
  EXPECT_FALSE(b.editePeriode("x"));
  EXPECT_FALSE(b.editeFrequence("zz"));
  EXPECT_FALSE(b.editeFrequence("0"));
  EXPECT_FALSE(b.editeNombre("12.5"));
  EXPECT_EQ(g.baseDeTemps->DureeBalayage(), d);
  EXPECT_EQ(g.baseDeTemps->Deltat, dt);
  EXPECT_EQ(g.NbreInter(), 128);
}

TEST(Balayage, FrequenceTapee) {
  EXPECT_DOUBLE_EQ(lireFrequence("2k"), 2000);
  EXPECT_DOUBLE_EQ(lireFrequence("500 Hz"), 500);
  EXPECT_DOUBLE_EQ(lireFrequence("1.5kHz"), 1500);
  EXPECT_DOUBLE_EQ(lireFrequence("1,5 kHz"), 1500);
  EXPECT_EQ(lireFrequence("Hz"), valeurAbsente);

  TgrapheVYK g;
  int arrets = 0;
  g.balayage().arreteCalculSortie = [&] { ++arrets; };
  ASSERT_TRUE(g.balayage().editeFrequence("1k"));
  EXPECT_EQ(arrets, 1);
  EXPECT_DOUBLE_EQ(g.baseDeTemps->Deltat, 1e-3);
  EXPECT_EQ(g.balayage().OrdreProgramme.substr(0, 4), "WPE ");
}

TEST(Balayage, FiltresDeTouches) {
  const char32_t sep = static_cast<char32_t>(separateurDecimal());
  EXPECT_EQ(filtreToucheDuree(U',', false), sep);
  EXPECT_EQ(filtreToucheDuree(U'.', true), sep);
  EXPECT_EQ(filtreToucheDuree(U'm', false), U'm');
  EXPECT_EQ(filtreToucheDuree(U'\u00b5', false), U'\u00b5');
  EXPECT_EQ(filtreToucheDuree(U'E', false), 0u);
  EXPECT_EQ(filtreToucheDuree(U'E', true), U'E');
  EXPECT_EQ(filtreToucheDuree(U'x', true), 0u);
  EXPECT_EQ(filtreToucheFrequence(U'k'), U'k');
  EXPECT_EQ(filtreToucheFrequence(U'm'), 0u);
  EXPECT_EQ(filtreToucheNombre(U'7'), U'7');
  EXPECT_EQ(filtreToucheNombre(U'.'), 0u);
  EXPECT_EQ(filtreToucheNombre(8), 8u);
}

TEST(Balayage, ModeUnMegahertz) {
  TgrapheVYK g;
  auto& b = g.balayage();
  g.ModeAcq = AcqUnMega;
  entrees(g, {11});
  g.baseDeTemps->fixeDureeBalayage(0.01);
  b.dureeChangee();
  EXPECT_DOUBLE_EQ(g.baseDeTemps->Deltat, 1e-6);
  EXPECT_EQ(g.NbreInter(), 10000);
  EXPECT_EQ(b.affichage().periode, "1 \u00b5s");
  EXPECT_EQ(b.affichage().frequence, "1 MHz");

  b.spinPeriode(false);  // to 2 MHz
  EXPECT_EQ(g.FreqMega, 2);
  EXPECT_DOUBLE_EQ(g.baseDeTemps->Deltat, 5e-7);
  EXPECT_EQ(g.NbreInter(), 20000);
  EXPECT_EQ(g.NbreInter() % g.blocMega, 0);
  EXPECT_DOUBLE_EQ(g.baseDeTemps->DureeBalayage(), 0.01);
  EXPECT_EQ(b.affichage().periode, "0.5 \u00b5s");

  b.spinPeriode(true);  // back to 1 MHz
  EXPECT_EQ(g.FreqMega, 1);
  EXPECT_EQ(g.NbreInter(), 10000);

  g.baseDeTemps->fixeDureeBalayage(0.2);
  b.dureeChangee();
  // The duration stays at the mode's limit; 60000 points cap the sweep.
  EXPECT_DOUBLE_EQ(g.baseDeTemps->DureeBalayage(), 0.1);
  EXPECT_EQ(g.NbreInter(), 60000);
}

TEST(Balayage, ConfigurationChargee) {
  TgrapheVYK g;
  auto& b = g.balayage();
  b.appliqueConfiguration(0.01, 256);  // the file's defaults
  EXPECT_DOUBLE_EQ(g.baseDeTemps->Deltat, 4e-5);
  EXPECT_EQ(g.NbreInter(), 250);
  b.programmeBalayage();
  EXPECT_EQ(b.OrdreProgramme, "WPE 2 250 40 1 10 11");
  EXPECT_DOUBLE_EQ(g.baseDeTemps->DureeBalayage(), 0.01);

  b.appliqueConfiguration(0.3, 3000);
  EXPECT_EQ(g.NbreInter(), 3000);
  EXPECT_DOUBLE_EQ(g.baseDeTemps->Deltat, 1e-4);
}

TEST(Balayage, ModeCardiaque) {
  TgrapheVYK g;
  g.ModeAcq = AcqCardiaque;
  ASSERT_TRUE(g.balayage().editeDuree("10", true));
  EXPECT_DOUBLE_EQ(g.baseDeTemps->DureeBalayage(), 15);
  EXPECT_DOUBLE_EQ(g.baseDeTemps->Deltat, 0.5);
  EXPECT_EQ(g.NbreInter(), 30);
}

}  // namespace
