#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "banc_liaison.h"

using ::testing::Contains;
using ::testing::ElementsAre;

namespace {

struct Requetes : ::testing::Test {
  BancLiaison b;
  void SetUp() override {
    b.port.branche(1, b.emulateur);
    b.liaison.indexVitesse = 0;
    ASSERT_TRUE(b.liaison.detecteInterface());
    b.commandes.clear();
  }
};

TEST_F(Requetes, OctetsPoidsFaibleDAbord) {
  b.emulateur.etat().entrees[10].code = -2;
  EXPECT_EQ(b.liaison.getInt("WEA 10"), -2);
  EXPECT_EQ(b.liaison.getWord("WEA 10"), 0xFFFE);
  b.emulateur.etat().entrees[4].code = 0x1234;
  EXPECT_EQ(b.liaison.getByte("WEA 4"), 0x34);
  // "WDEBUG" answers the text "0,0" and CR: four bytes, least significant first.
  EXPECT_EQ(b.liaison.getLongWord("WDEBUG"), 0x0D302C30u);
  EXPECT_THAT(b.commandes, ElementsAre("WEA 10", "WEA 10", "WEA 4", "WDEBUG"));
  EXPECT_EQ(b.liaison.recepteur(), TLiaison::Recepteur::binaire);
}

TEST_F(Requetes, CommandeDUnSeulOctetSansRetourChariot) {
  b.emulateur.etat().entrees[10].code = 300;
  EXPECT_EQ(b.liaison.getInt("J"), 300);  // 64 + 10
  EXPECT_THAT(b.commandes, ElementsAre("octet 74"));
}

TEST_F(Requetes, DelaiDepasseDonneZeroDansLeBudget) {
  b.emulateur.pannes().silencieux = true;
  b.emulateur.etat().entrees[1].code = 77;
  const double t0 = b.horloge.maintenantMs();
  EXPECT_EQ(b.liaison.getInt("WEA 1"), 0);
  const double courte = b.horloge.maintenantMs() - t0;
  EXPECT_GE(courte, 5 * 55);
  EXPECT_LE(courte, 5 * 55 + 20);
  const double t1 = b.horloge.maintenantMs();
  EXPECT_EQ(b.liaison.getLongWord("WPER 1"), 0u);
  EXPECT_LE(b.horloge.maintenantMs() - t1, 10 * 55 + 20);
}

TEST_F(Requetes, ReponseTropTardiveDonneZero) {
  b.emulateur.etat().entrees[1].code = 77;
  b.emulateur.pannes().retardMs = 400;
  EXPECT_EQ(b.liaison.getInt("WEA 1"), 0);
  // The late bytes then reach the stream dispatcher, not the next answer.
  b.emulateur.pannes().retardMs = 0;
  b.horloge.attends(500);
  EXPECT_EQ(b.liaison.getInt("WEA 1"), 77);
}

TEST_F(Requetes, ReponsePartielleCompleteeParDesZeros) {
  b.liaison.ValeurMot.octets.fill(0xAA);
  // WEA answers 2 bytes; a 4-byte query keeps the two missing ones at 0.
  b.emulateur.etat().entrees[2].code = 0x0102;
  EXPECT_EQ(b.liaison.getLongWord("WEA 2"), 0x0102u);
  EXPECT_EQ(b.liaison.indexOctet, 2);
}

TEST_F(Requetes, OctetsDuFluxAvantLaRequeteNeSontPasPrisPourLaReponse) {
  b.emulateur.etat().entrees[5].code = 0x2222;
  b.emulateur.repondre("\x11\x11\x11");  // stream still flowing
  EXPECT_EQ(b.liaison.getInt("WEA 5"), 0x2222);
}

TEST_F(Requetes, UneAcquisitionLanceePendantLAttenteArreteLaRequete) {
  b.emulateur.pannes().silencieux = true;
  bool acquisition = false;
  b.liaison.attenteResultats = [&] { return acquisition; };
  b.horloge.pendantPompe = [&] {
    if (b.horloge.maintenantMs() > 0) acquisition = true;
  };
  const double t0 = b.horloge.maintenantMs();
  b.liaison.getLongWord("WPER 1");
  EXPECT_LT(b.horloge.maintenantMs() - t0, 10 * 55);
  EXPECT_TRUE(acquisition);
}

// The space bar pressed while a live query quietens the line: the sweep it
// launches is streaming when the wait ends. The query must neither empty the
// input (first values lost) nor send its command (its answer would fall among
// the values and pair every later value with the wrong channel).
TEST_F(Requetes, UneAcquisitionLanceePendantLeSilenceGardeLeFluxIntact) {
  std::string recu;
  b.liaison.installeDispatcheurBinaire(
      [&](const std::uint8_t* o, std::size_t n) { recu.append(reinterpret_cast<const char*>(o), n); });
  bool acquisition = false;
  b.liaison.attenteResultats = [&] { return acquisition; };
  b.horloge.pendantPompe = [&] {
    if (acquisition) return;
    acquisition = true;
    b.liaison.ecritBrixo("WGOR");
    b.emulateur.repondre("\x01\x02\x03\x04");  // first values of the sweep
  };
  b.emulateur.etat().entrees[10].code = 0x7777;
  b.liaison.getInt("WEA 10");
  b.horloge.attends(50);
  EXPECT_THAT(b.commandes, ElementsAre("WGOR"));
  EXPECT_EQ(recu, "\x01\x02\x03\x04");
  EXPECT_EQ(b.liaison.recepteur(), TLiaison::Recepteur::binaire);
}

TEST_F(Requetes, LeDispatcheurRecoitLeFluxHorsDesRequetes) {
  std::string recu;
  b.liaison.installeDispatcheurBinaire(
      [&](const std::uint8_t* o, std::size_t n) { recu.append(reinterpret_cast<const char*>(o), n); });
  b.emulateur.repondre("AB");
  b.horloge.attends(10);
  EXPECT_EQ(recu, "AB");
  b.emulateur.etat().entrees[0].code = 0x4443;  // "CD"
  EXPECT_EQ(b.liaison.getInt("WEA 0"), 0x4443);
  EXPECT_EQ(recu, "AB");  // the answer never reaches the dispatcher
}

TEST_F(Requetes, EnvoisEtRequetesMuetsSansInterface) {
  b.liaison.BrixoPresent = false;
  b.liaison.ecritBrixo("WSBIT 0");
  const std::uint8_t o = 'J';
  b.liaison.ecritOctets(&o, 1);
  b.liaison.ValeurMot.octets.fill(7);
  const double t0 = b.horloge.maintenantMs();
  b.liaison.getInt("WEA 1");
  EXPECT_EQ(b.horloge.maintenantMs(), t0);
  EXPECT_TRUE(b.commandes.empty());
}

TEST_F(Requetes, EcritBrixoTermineParUnRetourChariotEtCoupeA255) {
  b.liaison.ecritBrixo("WSBIT 1");
  b.liaison.ecritBrixo("W" + std::string(300, 'X'));
  ASSERT_EQ(b.commandes.size(), 2u);
  EXPECT_EQ(b.commandes[0], "WSBIT 1");
  EXPECT_EQ(b.commandes[1].size(), 255u);
}

TEST_F(Requetes, VidageArreteLeFluxEtVideLEntree) {
  bool enCours = true;
  b.liaison.attenteResultats = [&] { return enCours; };
  b.emulateur.repondre(std::string(20, 'x'));
  b.liaison.arreteEtVide();
  EXPECT_THAT(b.commandes, ElementsAre("WPE"));
  EXPECT_EQ(b.port.disponibles(), 0u);

  b.commandes.clear();
  enCours = false;
  b.liaison.arreteEtVide();
  EXPECT_TRUE(b.commandes.empty());
}

TEST(PauseVidage, SelonLeMode) {
  EXPECT_EQ(pauseVidageMs(ModeVidage::temps, 1.0 / 128), 10);  // 7.8 ms, raised to 10
  EXPECT_EQ(pauseVidageMs(ModeVidage::temps, 0.0125), 12);  // 12.5 ms, halves to even
  EXPECT_EQ(pauseVidageMs(ModeVidage::temps, 0.0135), 14);
  EXPECT_EQ(pauseVidageMs(ModeVidage::temps, 20), 1000);
  EXPECT_EQ(pauseVidageMs(ModeVidage::rapide, 20), 10);
  EXPECT_EQ(pauseVidageMs(ModeVidage::autre, 0.001), 50);
}

TEST_F(Requetes, RaZRenvoieWRESETPuisRedetecte) {
  b.liaison.indexVitesse = 2;
  bool timerArrete = false;
  b.liaison.arreteTimerAcquisition = [&] { timerArrete = true; };
  b.liaison.razBrixo();
  EXPECT_TRUE(timerArrete);
  EXPECT_THAT(b.commandes, ElementsAre("WRESET", "WVERSION", "WRESET", "WBIN", "WBAUDS 2"));
  EXPECT_EQ(b.port.vitesse(), 38400);
  EXPECT_EQ(b.vue.statut[0], "Brixo VYK II présente");
}

TEST_F(Requetes, ChangeVitesse) {
  b.liaison.changeVitesse(2);
  EXPECT_THAT(b.commandes, ElementsAre("WBAUDS 2"));
  EXPECT_EQ(b.port.vitesse(), 38400);
  b.emulateur.etat().entrees[1].code = 5;
  EXPECT_EQ(b.liaison.getInt("WEA 1"), 5);
  b.liaison.changeVitesse(7);  // no such speed
  EXPECT_EQ(b.commandes.size(), 2u);
}

TEST_F(Requetes, FermetureEnvoieWRESET) {
  b.liaison.arretInterface();
  EXPECT_THAT(b.commandes, ElementsAre("WRESET"));
  EXPECT_FALSE(b.liaison.BrixoPresent);
  EXPECT_FALSE(b.port.estOuvert());
}

TEST_F(Requetes, DebrancheEnMarcheRebrancheEtRetrouve) {
  b.port.retire(1);
  EXPECT_FALSE(b.liaison.BrixoPresent);
  EXPECT_TRUE(b.vue.brixoAbsent);
  EXPECT_EQ(b.vue.statut[0], "Brixo VYK II non détectée sur COM1");
  EXPECT_EQ(b.liaison.getInt("WEA 1"), 0);
  b.liaison.ecritBrixo("WSBIT 0");
  EXPECT_FALSE(b.liaison.detecteInterface());

  b.port.branche(1, b.emulateur);
  EXPECT_TRUE(b.liaison.detecteInterface());
  EXPECT_FALSE(b.vue.brixoAbsent);
  EXPECT_EQ(b.vue.statut[0], "Brixo VYK II présente");
}

TEST(Debranchement, PendantLaMiseEnRouteNAnnoncePasPresente) {
  BancLiaison b;
  b.port.branche(1, b.emulateur);
  b.horloge.pendantPompe = [&] {
    if (b.liaison.BrixoPresent) b.port.retire(1);
  };
  EXPECT_FALSE(b.liaison.detecteInterface());
  EXPECT_FALSE(b.liaison.BrixoPresent);
  EXPECT_TRUE(b.vue.brixoAbsent);
  EXPECT_EQ(b.vue.sablier, 0);
}

}  // namespace
