// The PUX II path goes through its driver; a scripted driver stands in.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "banc_liaison.h"

using ::testing::ElementsAre;

namespace {

struct PiloteScripte : IPilotePux {
  std::string texteVersion = "BRIXO PUX2 V1.06";
  bool ouvert = false;
  std::vector<std::string> ecrits;
  std::vector<std::string> requetes;
  bool ouvre() override { return ouvert = true; }
  std::string version() override { return texteVersion; }
  void ferme() override { ouvert = false; }
  void ecrit(const std::string& ordre) override { ecrits.push_back(ordre); }
  void requete(const std::string& ordre, int ticks, int n, pseudoWord& dest) override {
    requetes.push_back(ordre + "/" + std::to_string(ticks) + "/" + std::to_string(n));
    dest.octets[0] = 0x34;
    dest.octets[1] = 0x12;
  }
  void videSortie() override {}
};

TEST(Pux, EssayeeDAbordQuandElleServaitLaDerniereFois) {
  BancLiaison b;
  PiloteScripte pilote;
  b.port.branche(1, b.emulateur);
  b.liaison.puxDllChargee = true;
  b.liaison.pilotePux = &pilote;
  b.liaison.PuxActif = true;

  EXPECT_TRUE(b.liaison.detecteInterface());

  EXPECT_TRUE(b.port.ouvertures().empty());
  EXPECT_TRUE(b.liaison.PuxActif);
  EXPECT_DOUBLE_EQ(b.liaison.dtPivane, 2e-7);
  EXPECT_EQ(b.liaison.NumeroVersion, 106);
  EXPECT_EQ(b.vue.statut[0], "Brixo PUX II présente");
  EXPECT_TRUE(b.liaison.SynchroMonocoupPermis);
  EXPECT_TRUE(b.liaison.PreAcqPermis);
  EXPECT_TRUE(b.vue.rappels.empty());
  // No speed change on the PUX II, whatever the index.
  EXPECT_THAT(pilote.ecrits, ElementsAre("WRESET", "WBIN"));
  EXPECT_EQ(b.liaison.getWord("WLPOSITION"), 0x1234);
  EXPECT_EQ(b.liaison.getLongWord("WPER 1"), 0x1234u);
  EXPECT_THAT(pilote.requetes, ElementsAre("WLPOSITION/5/2", "WPER 1/10/4"));
  EXPECT_TRUE(b.commandes.empty());
}

TEST(Pux, EssayeeApresLesPortsEtRappelSous104) {
  BancLiaison b;
  PiloteScripte pilote;
  pilote.texteVersion = "PUX2 V1.03";
  b.port.ajouteMuet(2);
  b.liaison.puxDllChargee = true;
  b.liaison.pilotePux = &pilote;
  EXPECT_TRUE(b.liaison.detecteInterface());
  EXPECT_THAT(b.port.ouvertures(), ElementsAre(2));
  EXPECT_THAT(b.vue.rappels, ElementsAre("Faire une mise à jour de la ROM de PUX 2"));
  EXPECT_TRUE(b.liaison.PuxActif);
}

TEST(Pux, UnPiloteQuiNeRepondPasPUX2EstReferme) {
  BancLiaison b;
  PiloteScripte pilote;
  pilote.texteVersion = "rien";
  b.liaison.puxDllChargee = true;
  b.liaison.pilotePux = &pilote;
  EXPECT_FALSE(b.liaison.detecteInterface());
  EXPECT_FALSE(pilote.ouvert);
  EXPECT_EQ(b.vue.statut[0], "Brixo VYK/PUX II non détectée");
}

}  // namespace
