// The queries of the command set over the link, against the emulated
// interface in simulated time; and the PUX II path through a driver double.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/channels/model/voie.h"
#include "core/channels/numbers/nombres.h"
#include "core/link/commandes/requetes.h"
#include "sim/emulator/emulateur.h"
#include "sim/transport/horloge_simulee.h"
#include "sim/transport/port_emule.h"

using ::testing::ElementsAre;

namespace {

using namespace commandes;

class VueMuette : public IVueLiaison {
 public:
  void afficheStatut(int, const std::string&) override {}
  void afficheBrixoAbsent(bool) override {}
  void curseurSablier(bool) override {}
  void messageErreur(const std::string&) override {}
  bool questionOuiNon(const std::string&) override { return false; }
  ReponseRappel rappelMiseAJourRom(const std::string&) override {
    return ReponseRappel::nePlusReposer;
  }
  void commandesSansInterface() override {}
  void boutonReconVisible(bool) override {}
  void chargeConfigurationEnAttente() override {}
  void ouvreMiseAJourRom() override {}
  void progressionMiseAJourRom(int) override {}
  void messageMiseAJourRom(const std::string&, const std::string&) override {}
  bool arretMiseAJourDemande() override { return false; }
  void fermeMiseAJourRom() override {}
};

struct Banc : ::testing::Test {
  sim::HorlogeSimulee horloge;
  sim::PortEmule port{horloge};
  VueMuette vue;
  TLiaison liaison{port, horloge, vue};
  sim::Emulateur emulateur;
  std::vector<std::string> recues;

  void SetUp() override {
    emulateur.setJournal([this](double, const std::string& l) { recues.push_back(l); });
    port.branche(1, emulateur);
    liaison.indexVitesse = 0;
    ASSERT_TRUE(liaison.detecteInterface());
    recues.clear();
  }
  double duree(auto&& f) {
    const double t0 = horloge.maintenantMs();
    f();
    return horloge.maintenantMs() - t0;
  }
};

TEST_F(Banc, CodeDUneEntreeConvertiParSaVoie) {
  emulateur.etat().entrees[10].code = 6554;
  Tvoie v(6);
  v.FnumBrixo = 10;
  v.AvecCapteur = true;
  v.UnVolt = 10;
  v.Offset = -20;
  const std::int16_t code = lisEA(liaison, v.FnumBrixo);
  EXPECT_EQ(code, 6554);
  EXPECT_DOUBLE_EQ(v.ValeurReal(code), 10 * 6554 * 20.0 / 65536 - 20);
  EXPECT_THAT(recues, ElementsAre("WEA 10"));
}

TEST_F(Banc, ScrutationRapideSurUnOctet) {
  emulateur.etat().entrees[10].code = -300;
  EXPECT_EQ(lisEntreeRapide(liaison, 10), -300);
  EXPECT_THAT(recues, ElementsAre("octet 74"));
}

TEST_F(Banc, ReconnaissanceSansReponseDonneDesZerosDansLeBudget) {
  emulateur.pannes().silencieux = true;
  liaison.ValeurMot.octets.fill(0xAA);
  pseudoWord r;
  const double d = duree([&] { r = lisReconnaissance(liaison); });
  for (int i = 0; i < 6; ++i) EXPECT_EQ(r.octets[std::size_t(i)], 0) << i;
  EXPECT_EQ(r.indexG(), 0);
  EXPECT_EQ(r.valeurH(), 0);
  EXPECT_GE(d, ticksReco * 55);
  EXPECT_LE(d, ticksReco * 55 + 20);  // plus the short quiet-line wait
  EXPECT_THAT(recues, ElementsAre("WRECO"));
}

TEST_F(Banc, FiltreSansReponseDonneDesZeros) {
  emulateur.pannes().silencieux = true;
  pseudoWord r;
  const double d = duree([&] { r = lisFiltre(liaison); });
  for (int i = 0; i < 10; ++i) EXPECT_EQ(r.octets[std::size_t(i)], 0);
  EXPECT_GE(d, ticksFiltre * 55);
  EXPECT_LE(d, ticksFiltre * 55 + 20);
  EXPECT_THAT(recues, ElementsAre("octet 213"));
  EXPECT_FALSE(resultatFiltre(r, 20).valide);
}

TEST_F(Banc, TableDOndeArriveEntiere) {
  std::vector<double> forme(256);
  for (std::size_t k = 0; k < forme.size(); ++k) forme[k] = 300.0 * double(k) / 255 - 20;
  envoieTable(liaison, WTELE(forme));
  horloge.attends(100);
  ASSERT_EQ(emulateur.etat().table.size(), 256u);
  EXPECT_EQ(emulateur.etat().table.front(), 0);
  EXPECT_EQ(emulateur.etat().table.back(), 255);
  EXPECT_THAT(recues, ElementsAre("WTELE 256", "TELE 256 octets"));
}

TEST_F(Banc, PeriodeEtBits) {
  emulateur.pannes().silencieux = true;
  EXPECT_EQ(lisPeriode(liaison, 1), 0u);
  EXPECT_EQ(lisBit(liaison, 2), 0);
  EXPECT_EQ(lisPosition(liaison), 0);
  EXPECT_EQ(lisPeriodeAuto(liaison, 128), 0u);
  EXPECT_THAT(recues, ElementsAre("WPER 1", "WEBIT 2", "WLPOSITION", "WAUTO 128"));
}

// The PUX II driver receives the command, the budget and the count.
class PiloteEnregistreur : public IPilotePux {
 public:
  bool ouvre() override { return true; }
  std::string version() override { return "PUX2"; }
  void ferme() override {}
  void ecrit(const std::string& o) override { ecrits.push_back(o); }
  void requete(const std::string& ordre, int ticks, int n, pseudoWord& dest) override {
    appels.push_back(ordre + "/" + std::to_string(ticks) + "/" + std::to_string(n));
    for (int i = 0; i < n; ++i) dest.octets[std::size_t(i)] = std::uint8_t(i + 1);
  }
  void videSortie() override {}
  std::vector<std::string> appels, ecrits;
};

TEST(RequetesPux, ReconnaissanceDeQuatreEntrees) {
  sim::HorlogeSimulee horloge;
  sim::PortEmule port{horloge};
  VueMuette vue;
  TLiaison liaison{port, horloge, vue};
  PiloteEnregistreur pilote;
  liaison.pilotePux = &pilote;
  liaison.BrixoPresent = true;
  liaison.PuxActif = true;
  const pseudoWord r = lisReconnaissance(liaison);
  EXPECT_THAT(pilote.appels, ElementsAre("WRECO/8/12"));
  EXPECT_EQ(r.index(3), 4);
  EXPECT_EQ(r.valeur(3), std::int16_t(11 | 12 << 8));
  lisFiltre(liaison);
  EXPECT_EQ(pilote.appels.back(), std::string(1, char(213)) + "/9/10");
  liaison.BrixoPresent = false;  // no interface: nothing is asked
  lisReconnaissance(liaison);
  EXPECT_EQ(pilote.appels.size(), 2u);
}

TEST(ResultatFiltre, FrequenceEtPhase) {
  pseudoWord r;
  auto mot = [&](std::size_t i, std::uint16_t v) {
    r.octets[i] = std::uint8_t(v & 0xFF);
    r.octets[i + 1] = std::uint8_t(v >> 8);
  };
  mot(0, std::uint16_t(-1000));
  mot(2, 2000);
  mot(4, 250);
  mot(6, 1000);
  TresultatFiltre f = resultatFiltre(r, 20);
  EXPECT_TRUE(f.valide);
  EXPECT_EQ(f.codeEntree, -1000);
  EXPECT_EQ(f.codeSortie, 2000);
  EXPECT_DOUBLE_EQ(f.frequence, 50.0);  // 1 / (1000 × 20 µs)
  EXPECT_DOUBLE_EQ(f.phase, 90.0);
  mot(4, 65535);
  EXPECT_EQ(resultatFiltre(r, 20).phase, valeurAbsente);
  mot(6, 0);
  f = resultatFiltre(r, 20);
  EXPECT_FALSE(f.valide);
  EXPECT_EQ(f.frequence, valeurAbsente);
}

}  // namespace
