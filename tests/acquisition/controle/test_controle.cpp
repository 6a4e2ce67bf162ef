#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "banc_acquisition.h"
#include "core/acquisition/controle/textes_acquisition.h"
#include "core/channels/numbers/nombres.h"
#include "sim/emulator/signal.h"

using ::testing::Contains;
using ::testing::Not;

namespace {

sim::ModeleSignal constante(double volts) { return {sim::Forme::constante, 0, volts, 1}; }
sim::ModeleSignal sinus(double amp, double f) { return {sim::Forme::sinus, amp, 0, f}; }

struct Controle : ::testing::Test {
  BancAcquisition b;
  TcontroleAcquisition& c() { return *b.controle; }
  TgrapheVYK& g() { return b.graphe; }
  bool termine() {
    return std::find(b.vue.statuts0.begin(), b.vue.statuts0.end(),
                     std::string(texteAcq::terminee)) != b.vue.statuts0.end();
  }
  void SetUp() override {
    ASSERT_TRUE(b.liaison.BrixoPresent);
    b.emulateur.etat().entrees[10].signal = constante(2.0);
    b.emulateur.etat().entrees[11].signal = sinus(3.0, 2.0);
  }
};

TEST(TableTimer, ActionsEtPeriodesParMode) {
  EXPECT_EQ(actionTick(AcqTemps, eaAttenteSynchro), TactionTick::mesureSiUtilisateur);
  EXPECT_EQ(actionTick(AcqTemps, eaAttenteResul), TactionTick::progression);
  EXPECT_EQ(actionTick(AcqTemps, eaMajResul), TactionTick::fin);
  EXPECT_EQ(actionTick(AcqTemps, eaTerminee), TactionTick::rien);
  EXPECT_EQ(actionTick(AcqUnMega, eaAttenteSynchro), TactionTick::rien);
  EXPECT_EQ(actionTick(AcqUnMega, eaAttenteResul), TactionTick::progressionMega);
  EXPECT_EQ(actionTick(AcqUnMega, eaMajResul), TactionTick::fin);
  for (TetatAcq e : {eaAttenteSynchro, eaAttenteResul, eaMajResul, eaTerminee}) {
    EXPECT_EQ(actionTick(AcqClavier, e), TactionTick::mesure);
    EXPECT_EQ(actionTick(AcqCardiaque, e), TactionTick::cardiaque);
    EXPECT_EQ(actionTick(AcqFiltre, e), TactionTick::filtre);
  }
  EXPECT_EQ(actionTick(AcqSortieAna, eaAttenteResul), TactionTick::sortieAnaPas);
  EXPECT_EQ(actionTick(AcqPivane, eaMajResul), TactionTick::pivaneFin);
  EXPECT_EQ(actionTick(static_cast<TModeAcq>(9), eaAttenteResul), TactionTick::rien);

  EXPECT_EQ(periodeTimerMs(AcqPoint, false, 0), 250);
  EXPECT_EQ(periodeTimerMs(AcqClavier, true, 0), 1000);
  EXPECT_EQ(periodeTimerMs(AcqTemps, true, 0), 250);
  EXPECT_EQ(periodeTimerMs(AcqUnMega, false, 0), 250);
  EXPECT_EQ(periodeTimerMs(AcqCardiaque, false, 0), 500);
  EXPECT_EQ(periodeTimerMs(AcqFiltre, false, 0), 1000);
  EXPECT_EQ(periodeTimerMs(AcqSortieAna, false, 40), 40);
}

TEST_F(Controle, BarreDEspaceLanceLeBalayageParDefautQuiSeTermine) {
  c().AfficheReglage();
  EXPECT_EQ(b.vue.statut[0], texteAcq::invitation);
  EXPECT_EQ(b.vue.statut[0][0], '|');
  EXPECT_EQ(b.etat(), eaAttenteSynchro);
  EXPECT_TRUE(b.vue.boutons.acquisitionVisible);
  EXPECT_FALSE(b.vue.boutons.stopVisible);
  EXPECT_TRUE(b.vue.panneaux.balayage);
  EXPECT_EQ(b.vue.panneaux.base.nombre, "128");

  ASSERT_TRUE(c().toucheEspace());
  const long wpe = b.indexDe("WPE 2 128 7810 1 10 11");
  ASSERT_GE(wpe, 0);
  EXPECT_GE(b.indexDe("WGOR", wpe), wpe);
  EXPECT_EQ(b.vue.statut[0], texteAcq::attenteValeurs);
  EXPECT_TRUE(b.vue.boutons.stopVisible);
  EXPECT_FALSE(b.vue.boutons.acquisitionVisible);

  ASSERT_TRUE(b.jusqua([&] { return termine(); }, 5000));
  EXPECT_EQ(g().NbreAff, 128);
  EXPECT_GT(b.vue.traces, 0);  // the first sweep grew on the graph
  EXPECT_NEAR(g().voie(6)->vecteurAff[0], 2.0, 1e-3);
  EXPECT_NEAR(g().voie(6)->vecteurAff[127], 2.0, 1e-3);
  // Input 11 follows its sine at the sampling instants of the first input.
  const double dt = g().baseDeTemps->Deltat;
  EXPECT_NEAR(dt, 0.00781, 1e-12);
  double ecartMax = 0;
  for (int i = 0; i < 128; i += 7) {
    const double t0 = b.emulateur.etat().dernierBalayage->instant(i, 0);
    ecartMax = std::max(ecartMax, std::fabs(g().voie(7)->vecteurAff[std::size_t(i)] -
                                            sinus(3.0, 2.0).volts(t0)));
  }
  EXPECT_LT(ecartMax, 0.01);
  EXPECT_EQ(b.vue.valeurProgression, 128);
  // The keyboard trigger waits for the next start.
  EXPECT_EQ(b.etat(), eaAttenteSynchro);
  EXPECT_EQ(b.vue.statut[0], texteAcq::invitation);
  EXPECT_TRUE(b.vue.boutons.acquisitionVisible);
  EXPECT_TRUE(b.vue.boutons.tavelmorActif);
  EXPECT_EQ(b.commencePar("WGOR"), 1);

  // "Défaire" takes the last point off; its button belongs to the point modes.
  EXPECT_FALSE(b.vue.boutons.defaireVisible);
  const int redessins = b.vue.redessins;
  c().UndoBtnClick();
  EXPECT_EQ(g().NbreAff, 127);
  EXPECT_GT(b.vue.redessins, redessins);
}

TEST_F(Controle, EditionsDeDureeEtDeNombreProgrammentLeBalayageSuivant) {
  c().AfficheReglage();
  EXPECT_TRUE(c().editeDuree("0.1 s"));
  EXPECT_TRUE(c().editeNombre("1000"));
  EXPECT_EQ(b.vue.panneaux.base.nombre, "1000");
  EXPECT_FALSE(c().editeNombre("12a"));
  EXPECT_EQ(g().NbreInter(), 1000);
  b.commandes.clear();
  ASSERT_TRUE(c().toucheEspace());
  EXPECT_GE(b.indexDe("WPE 2 1000 100 1 10 11"), 0);
  ASSERT_TRUE(b.jusqua([&] { return termine(); }, 5000));
  EXPECT_EQ(g().NbreAff, 1000);
}

TEST_F(Controle, LesValeursCourantesSontMoyenneesEntreLesBalayages) {
  b.emulateur.etat().entrees[10].signal.reset();
  b.emulateur.etat().entrees[10].code = 1000;
  g().voie(6)->NbreMoyenne = 4;
  c().AfficheReglage();
  const double v1 = g().voie(6)->ValeurReal(1000), v2 = g().voie(6)->ValeurReal(2000);
  // The first reading alone stands for the mean.
  ASSERT_TRUE(b.jusqua([&] { return g().voie(6)->valeurAff != 0; }, 2000));
  EXPECT_NEAR(g().voie(6)->valeurAff, v1, 1e-9);
  ASSERT_TRUE(b.jusqua([&] { return b.compte("WEA 10") >= 5; }, 3000));
  // A new reading enters the mean of the last four.
  b.emulateur.etat().entrees[10].code = 2000;
  ASSERT_TRUE(b.jusqua([&] { return g().voie(6)->valeurAff != v1; }, 2000));
  EXPECT_NEAR(g().voie(6)->valeurAff, (3 * v1 + v2) / 4, 1e-9);
  ASSERT_TRUE(b.jusqua([&] { return g().voie(6)->valeurAff == v2; }, 2000));
  // Ticks come every 250 ms while armed.
  EXPECT_EQ(c().periodeTimer(), 250);
}

TEST_F(Controle, BalayagesRepetitifsSurSeuilSansEffacer) {
  g().ModeSynchro = S_seuil;
  g().monocoup = false;
  g().seuilSynchro = 128;  // 0 V, rising: the sine crosses it every 0.5 s
  c().AfficheReglage();
  EXPECT_EQ(b.etat(), eaAttenteResul);
  EXPECT_EQ(b.commencePar("WGOAR"), 1);
  ASSERT_TRUE(b.jusqua([&] { return termine(); }, 10000));
  const int vus = b.vue.redessins;
  ASSERT_TRUE(b.jusqua([&] { return b.commencePar("WGOAR") >= 3; }, 10000));
  // The next sweeps are launched at once, over the curves shown.
  EXPECT_FALSE(c().PremiereAcquisition);
  EXPECT_EQ(g().NbreAff, 128);
  EXPECT_GT(b.vue.redessins, vus);
  EXPECT_TRUE(b.vue.boutons.stopVisible);
  EXPECT_FALSE(b.vue.boutons.razVisible);
  // Time 0 sits at the trigger (threshold crossing near the first point).
  EXPECT_LE(std::fabs(g().baseDeTemps->vecteurAff[0]), 3 * g().baseDeTemps->Deltat);
}

TEST_F(Controle, DernieresValeursAbsentesFinissentApresDureeResulMaxAvecDesZeros) {
  c().AfficheReglage();
  ASSERT_TRUE(c().toucheEspace());
  const double debut = b.maintenant();
  ASSERT_TRUE(b.jusqua([&] { return g().NbreCourant >= 127; }, 5000));
  b.emulateur.debrancher();  // the last point never comes
  ASSERT_TRUE(b.jusqua([&] { return termine(); }, 10000));
  const double attendu = 128 * 2 * 0.0025 + g().baseDeTemps->DureeBalayage() + 2;
  EXPECT_DOUBLE_EQ(c().dureeResulMax, attendu);
  EXPECT_GE(b.maintenant() - debut, attendu * 1000);
  // Seen on a tick, ended on the next one.
  EXPECT_LE(b.maintenant() - debut, attendu * 1000 + 2 * 250 + 10);
  EXPECT_EQ(g().NbreAff, 128);
  EXPECT_EQ(g().voie(6)->vecteurCourant[127], 0);
  EXPECT_EQ(g().voie(6)->vecteurAff[127], 0.0);
  EXPECT_NEAR(g().voie(6)->vecteurAff[126], 2.0, 1e-3);
}

TEST_F(Controle, ValeursInterrompuesFinissentParLeDelaiAvecLesPointsRecus) {
  c().editeDuree("5");
  ASSERT_TRUE(c().toucheEspace());
  ASSERT_TRUE(b.jusqua([&] { return g().NbreCourant >= 40; }, 5000));
  b.emulateur.debrancher();  // adapter pulled out
  const std::int32_t recus = g().NbreCourant;
  ASSERT_TRUE(b.jusqua([&] { return termine(); }, 20000));
  EXPECT_EQ(g().NbreAff, recus);
  EXPECT_NEAR(g().voie(6)->vecteurAff[std::size_t(recus - 1)], 2.0, 1e-3);
  EXPECT_TRUE(b.vue.boutons.tavelmorActif);
  EXPECT_GT(b.vue.redessins, 0);
}

TEST_F(Controle, InterfaceMuetteDesLeDebutFinitParLeDelai) {
  c().AfficheReglage();
  b.emulateur.debrancher();  // switched off before the start
  ASSERT_TRUE(c().toucheEspace());
  ASSERT_TRUE(b.jusqua([&] { return termine(); }, 10000));
  EXPECT_EQ(g().NbreAff, 0);
  // Ready for the next start rather than waiting for ever.
  EXPECT_EQ(b.etat(), eaAttenteSynchro);
  EXPECT_TRUE(b.vue.boutons.acquisitionVisible);
  EXPECT_FALSE(b.vue.boutons.stopVisible);
}

TEST_F(Controle, PreDeclenchementSurSeuil) {
  ASSERT_TRUE(b.liaison.PreAcqPermis);
  g().ModeSynchro = S_seuil;
  g().seuilSynchro = 128;
  g().baseDeTemps->PreAcqPermis = true;
  g().baseDeTemps->fixePreAcq100(25);
  c().AfficheReglage();
  EXPECT_EQ(g().baseDeTemps->comptePreAcq(), 32);
  EXPECT_GE(b.indexDe("WPE 2 96 7810 1 10 11"), 0);
  EXPECT_EQ(b.commencePar("WAPREAC"), 1);
  ASSERT_TRUE(b.jusqua([&] { return termine(); }, 10000));
  EXPECT_EQ(g().NbreAff, 128);
  // Time 0 at the threshold crossing, about a quarter into the sweep.
  const TVecteur& t = g().baseDeTemps->vecteurAff;
  const double dt = g().baseDeTemps->Deltat;
  EXPECT_NEAR(t[0], -32 * dt, 2 * dt);
  // The recorded sine really crosses 0 upwards at time 0.
  int zero = 0;
  while (zero < 127 && t[std::size_t(zero)] < 0) ++zero;
  EXPECT_LE(g().voie(7)->vecteurAff[std::size_t(zero) - 1], 0.3);
  EXPECT_GE(g().voie(7)->vecteurAff[std::size_t(zero) + 1], -0.3);
}

TEST_F(Controle, BarreDEspaceSurSeuilNeLancePasDeBalayage) {
  b.emulateur.etat().entrees[11].signal = constante(-5);  // never reaches the threshold
  g().ModeSynchro = S_seuil;
  c().AfficheReglage();
  ASSERT_EQ(b.etat(), eaAttenteResul);
  EXPECT_FALSE(b.vue.boutons.acquisitionVisible);
  EXPECT_EQ(b.vue.statut[0], texteAcq::attenteValeurs);
  b.horloge.attends(1000);
  b.commandes.clear();
  EXPECT_TRUE(c().toucheEspace());
  b.horloge.attends(1000);
  // No keyboard start: the sweep stays armed on the threshold.
  EXPECT_EQ(b.commencePar("WGOR"), 0);
  EXPECT_EQ(b.etat(), eaAttenteResul);
  EXPECT_FALSE(b.vue.boutons.acquisitionVisible);
  // And nothing ends it by a timeout before the trigger.
  b.horloge.attends(10000);
  EXPECT_EQ(b.etat(), eaAttenteResul);
}

TEST_F(Controle, MonocoupObligatoirePourTrenteSecondes) {
  g().monocoup = false;
  c().AfficheReglage();
  EXPECT_TRUE(b.vue.erreurs.empty());
  c().editeDuree("30");
  EXPECT_THAT(b.vue.erreurs, Contains(std::string(texteAcq::monocoupObligatoire)));
  EXPECT_TRUE(g().monocoup);
  EXPECT_TRUE(b.vue.boutons.monocoup);
  // At settings time too.
  b.vue.erreurs.clear();
  g().monocoup = false;
  c().AfficheReglage();
  EXPECT_EQ(b.vue.erreurs, std::vector<std::string>{texteAcq::monocoupObligatoire});
  EXPECT_TRUE(g().monocoup);
  // Unchecking the box is refused as well.
  b.vue.erreurs.clear();
  c().MonocoupCBClick(false);
  EXPECT_EQ(b.vue.erreurs.size(), 1u);
  EXPECT_TRUE(g().monocoup);
  EXPECT_TRUE(b.vue.boutons.monocoup);
  // 20 s is still allowed.
  b.vue.erreurs.clear();
  c().editeDuree("20");
  c().MonocoupCBClick(false);
  EXPECT_TRUE(b.vue.erreurs.empty());
  EXPECT_FALSE(g().monocoup);
}

TEST_F(Controle, RazDemandeConfirmationEnPointParPointSeulement) {
  // Point by point: the question comes, "Non" keeps the points.
  g().ModeAcq = AcqPoint;
  g().NbreAff = 5;
  c().ResetBtnClick(true);
  EXPECT_EQ(b.vue.questions, std::vector<std::string>{texteAcq::suppression});
  EXPECT_EQ(g().NbreAff, 5);
  b.vue.reponse = true;
  c().ResetBtnClick(true);
  EXPECT_EQ(b.vue.questions.size(), 2u);
  EXPECT_EQ(g().NbreAff, 0);

  // Time sweep: no question.
  g().ModeAcq = AcqTemps;
  c().AfficheReglage();
  ASSERT_TRUE(c().toucheEspace());
  ASSERT_TRUE(b.jusqua([&] { return termine(); }, 5000));
  b.vue.questions.clear();
  c().ResetBtnClick(true);
  EXPECT_TRUE(b.vue.questions.empty());
  EXPECT_EQ(g().NbreAff, 0);
  EXPECT_FALSE(b.vue.boutons.tavelmorActif);
  EXPECT_TRUE(c().PremiereAcquisition);
}

TEST_F(Controle, StopPendantUnBalayageGardeLesPointsRecus) {
  c().editeDuree("5");
  ASSERT_TRUE(c().toucheEspace());
  ASSERT_TRUE(b.jusqua([&] { return g().NbreAff >= 20; }, 5000));
  b.commandes.clear();
  ASSERT_TRUE(b.vue.boutons.stopVisible);
  c().StopBtnClick(true);
  EXPECT_EQ(b.commandes.front(), "WPE");  // the interface stops streaming
  EXPECT_EQ(b.etat(), eaTerminee);
  EXPECT_EQ(c().etatAvail(), eaNone);
  EXPECT_TRUE(g().monocoup);
  const std::int32_t gardes = g().NbreAff;
  EXPECT_GT(gardes, 0);
  EXPECT_LT(gardes, g().NbreInter());
  EXPECT_TRUE(b.vue.boutons.razVisible);
  EXPECT_FALSE(b.vue.boutons.stopVisible);
  EXPECT_EQ(b.vue.statut[0], texteAcq::terminee);
  EXPECT_FALSE(b.vue.timerOn);
  b.horloge.attends(3000);
  EXPECT_EQ(g().NbreAff, gardes);
  // The space bar now resets and re-arms.
  EXPECT_TRUE(c().toucheEspace());
  EXPECT_EQ(g().NbreAff, 0);
  EXPECT_EQ(b.etat(), eaAttenteSynchro);
  EXPECT_TRUE(b.vue.boutons.acquisitionVisible);
}

TEST_F(Controle, TempsEcouleEnHeuresDuJour) {
  c().editeDuree("30");
  ASSERT_TRUE(c().toucheEspace());
  EXPECT_TRUE(b.vue.boutons.dureeVisible);  // longer than 10 s
  EXPECT_TRUE(b.vue.boutons.repereVisible);
  ASSERT_TRUE(b.jusqua([&] { return g().NbreCourant >= 2; }, 5000));
  c().dureeResulMax = 1e9;
  c().DebutAcquisition = b.maintenant() - (86400 + 3725.0) * 1000;
  b.horloge.attends(300);
  EXPECT_EQ(b.vue.duree, "01:02:05");
  c().DebutAcquisition = b.maintenant() - 7.6 * 1000;
  b.horloge.attends(260);
  EXPECT_EQ(b.vue.duree, "00:00:08");
}

TEST_F(Controle, FermerPendantUnBalayageLArreteAvantWRESET) {
  c().editeDuree("5");
  ASSERT_TRUE(c().toucheEspace());
  ASSERT_TRUE(b.jusqua([&] { return g().NbreCourant >= 10; }, 5000));
  b.commandes.clear();
  c().arreteAcquisitionEnCours();
  b.liaison.arretInterface();
  const long wpe = b.indexDe("WPE");
  ASSERT_GE(wpe, 0);
  EXPECT_GT(b.indexDe("WRESET"), wpe);
  EXPECT_EQ(b.etat(), eaTerminee);
}

TEST_F(Controle, ChangerUnReglagePendantUnBalayageNeBloquePas) {
  c().editeDuree("10");
  ASSERT_TRUE(c().toucheEspace());
  ASSERT_TRUE(b.jusqua([&] { return g().NbreCourant >= 5; }, 5000));
  const double t0 = b.maintenant();
  b.commandes.clear();
  EXPECT_TRUE(c().editeNombre("256"));
  EXPECT_LT(b.maintenant() - t0, 3000);
  EXPECT_EQ(b.commandes.front(), "WPE");
  EXPECT_EQ(b.etat(), eaAttenteSynchro);
  EXPECT_EQ(g().NbreInter(), 256);
  ASSERT_TRUE(c().toucheEspace());
  EXPECT_GE(b.commencePar("WPE 2 256 "), 1);
}

TEST_F(Controle, UnMegaHertzEnMonocoup) {
  b.emulateur.etat().entrees[11].signal = sinus(3.0, 1000.0);
  g().ModeAcq = AcqUnMega;
  g().seuilSynchro = 128;
  c().AfficheReglage();
  EXPECT_EQ(g().ModeSynchro, S_seuil);
  EXPECT_TRUE(b.vue.panneaux.unMega);
  EXPECT_FALSE(b.vue.panneaux.voies8a10);
  EXPECT_EQ(b.vue.panneaux.base.frequence, "1 MHz");
  EXPECT_EQ(b.commencePar("WMEGA"), 1);
  ASSERT_TRUE(b.jusqua([&] { return termine(); }, 10000));
  EXPECT_EQ(g().NbreAff, g().NbreInter());
  EXPECT_EQ(b.etat(), eaTerminee);
  EXPECT_TRUE(b.vue.boutons.razVisible);
  EXPECT_FALSE(b.vue.boutons.acquisitionVisible);
  // The space bar acts as "RàZ", which asks outside the time sweep, then a
  // new 1 MHz sweep.
  b.vue.reponse = true;
  EXPECT_TRUE(c().toucheEspace());
  EXPECT_EQ(b.vue.questions.size(), 1u);
  EXPECT_EQ(b.commencePar("WMEGA"), 2);
}

TEST_F(Controle, UnMegaHertzSansSignal) {
  b.emulateur.etat().entrees[11].signal = constante(-5);
  g().ModeAcq = AcqUnMega;
  c().AfficheReglage();
  b.horloge.attends(2000);
  EXPECT_EQ(b.vue.statut[1], texteAcq::signalNonTrouve);
  EXPECT_EQ(b.etat(), eaAttenteResul);
  c().StopBtnClick(true);
  EXPECT_NE(b.etat(), eaAttenteResul);
}

TEST_F(Controle, ModesAVenirNeFontPasSemblant) {
  g().ModeAcq = AcqPivane;
  c().AfficheReglage();
  EXPECT_EQ(b.vue.statut[1], texteAcq::nonDisponible);
  EXPECT_TRUE(b.vue.panneaux.fourche);
  EXPECT_FALSE(b.vue.panneaux.balayage);
  EXPECT_FALSE(b.vue.panneaux.declenchement);
  EXPECT_EQ(b.vue.panneaux.base.maxProgression, 1024);
  c().EnregistreBtnClick();
  EXPECT_EQ(b.vue.statut[1], texteAcq::nonDisponible);
  EXPECT_NE(b.etat(), eaAttenteResul);

  g().ModeAcq = AcqTemps;
  g().ModeSynchro = s_sodar;
  c().AfficheReglage();
  EXPECT_EQ(b.vue.statut[1], texteAcq::nonDisponible);
  b.commandes.clear();
  c().EnregistreBtnClick();
  EXPECT_EQ(b.commencePar("WPE "), 0);

  g().ModeAcq = AcqCardiaque;
  c().AfficheReglage();
  c().EnregistreBtnClick();
  EXPECT_EQ(b.vue.messages, std::vector<int>{messageCardiaque});
  // The posted message finds no cardiac recording to start: nothing runs.
  c().messageFenetre(messageCardiaque);
  EXPECT_EQ(b.etat(), eaAttenteSynchro);
  EXPECT_FALSE(b.vue.boutons.stopVisible);
  // With it, the recording starts with its 500 ms ticks.
  int demarrages = 0;
  c().crochets.demarreCardiaque = [&] { ++demarrages; };
  c().messageFenetre(messageCardiaque);
  EXPECT_EQ(demarrages, 1);
  EXPECT_EQ(b.etat(), eaAttenteResul);
  EXPECT_TRUE(b.vue.boutons.stopVisible);
  EXPECT_EQ(c().periodeTimer(), 500);
  EXPECT_DOUBLE_EQ(c().dureeResulMax, 2 * g().baseDeTemps->DureeBalayage());
}

}  // namespace
