#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "banc_liaison.h"

using ::testing::Contains;
using ::testing::ElementsAre;

namespace {

TEST(Detection, TrouveSurCom7ApresPortsAbsentsMuetsEtOccupes) {
  BancLiaison b;
  b.port.ajouteMuet(2);
  b.port.ajouteOccupe(4);
  b.port.branche(7, b.emulateur);
  b.liaison.NumCom = 1;  // remembered port, now absent

  EXPECT_TRUE(b.liaison.detecteInterface());

  EXPECT_THAT(b.port.ouvertures(), ElementsAre(2, 4, 7));
  EXPECT_EQ(b.liaison.NumCom, 7);
  EXPECT_TRUE(b.liaison.BrixoPresent);
  EXPECT_FALSE(b.liaison.PuxActif);
  EXPECT_EQ(b.liaison.VersionBrixo, "BRIXO VYK2 V1.29");
  EXPECT_EQ(b.liaison.NumeroVersion, 129);
  EXPECT_THAT(b.vue.statuts0,
              ElementsAre("Vérification présence d'Brixo VYK ou PUX II",
                          "Erreur  gestion voie série", "Brixo VYK II présente"));
  EXPECT_THAT(b.commandes, ElementsAre("WVERSION", "WRESET", "WBIN", "WBAUDS 1"));
  EXPECT_FALSE(b.vue.brixoAbsent);
  EXPECT_EQ(b.vue.sablier, 0);
  EXPECT_EQ(b.vue.configurations, 1);
  EXPECT_EQ(b.port.vitesse(), 19200);
  EXPECT_EQ(b.emulateur.etat().indexVitesse, 1);
  EXPECT_TRUE(b.emulateur.etat().binaire);
  EXPECT_EQ(b.liaison.recepteur(), TLiaison::Recepteur::binaire);
  // A silent port costs its 1 s version wait; then WRESET and WBAUDS 500 ms each.
  EXPECT_NEAR(b.horloge.maintenantMs(), 18 * 55 + 500 + 500, 1);
}

TEST(Detection, LePortMemoriseEstEssayePremier) {
  BancLiaison b;
  sim::Emulateur autre;
  b.port.branche(2, autre);
  b.port.branche(5, b.emulateur);
  b.liaison.NumCom = 5;
  b.liaison.indexVitesse = 0;
  EXPECT_TRUE(b.liaison.detecteInterface());
  EXPECT_THAT(b.port.ouvertures(), ElementsAre(5));
  EXPECT_EQ(b.liaison.NumCom, 5);
}

TEST(Detection, RienNeRepondAfficheLePanneauAbsent) {
  BancLiaison b;
  b.port.ajouteMuet(3);
  b.port.ajouteMuet(12);
  sim::Emulateur etranger(sim::ConfigEmulateur{.version = "MODEM OK V2.00"});
  b.port.branche(9, etranger);

  EXPECT_FALSE(b.liaison.detecteInterface());

  EXPECT_FALSE(b.liaison.BrixoPresent);
  EXPECT_EQ(b.vue.statut[0], "Brixo VYK II non détectée sur COM12");
  EXPECT_TRUE(b.vue.brixoAbsent);
  EXPECT_EQ(b.vue.commandesCoupees, 1);
  EXPECT_EQ(b.vue.sablier, 0);
  EXPECT_FALSE(b.port.estOuvert());
  EXPECT_EQ(b.vue.configurations, 0);
  // Nothing is sent once nothing answered.
  b.liaison.ecritBrixo("WRESET");
  EXPECT_TRUE(b.commandes.empty());
}

TEST(Detection, SansAucunPortLeMessageNommeLePortMemorise) {
  BancLiaison b;
  b.liaison.NumCom = 4;
  EXPECT_FALSE(b.liaison.detecteInterface());
  EXPECT_EQ(b.vue.statut[0], "Brixo VYK II non détectée sur COM4");
  // 50 absent ports cost no time at all.
  EXPECT_EQ(b.horloge.maintenantMs(), 0);
}

TEST(Detection, AvecLaBibliothequePuxLeMessageCiteLesDeuxInterfaces) {
  BancLiaison b;
  b.liaison.puxDllChargee = true;
  EXPECT_FALSE(b.liaison.detecteInterface());
  EXPECT_EQ(b.vue.statut[0], "Brixo VYK/PUX II non détectée");
}

TEST(Detection, UnPortQuiRepondDuCharabiaEstSaute) {
  BancLiaison b;
  sim::Emulateur bruyant;
  bruyant.pannes().charabia = true;
  b.port.branche(1, bruyant);
  b.port.branche(2, b.emulateur);
  EXPECT_TRUE(b.liaison.detecteInterface());
  EXPECT_EQ(b.liaison.NumCom, 2);
}

TEST(Detection, UneReponseTardiveDeDeuxSecondesNestPasAttendue) {
  BancLiaison b;
  b.emulateur.pannes().retardMs = 2000;
  b.port.branche(1, b.emulateur);
  EXPECT_FALSE(b.liaison.detecteInterface());
}

TEST(Detection, VitesseZeroNEnvoiePasWBAUDS) {
  BancLiaison b;
  b.port.branche(1, b.emulateur);
  b.liaison.indexVitesse = 0;
  EXPECT_TRUE(b.liaison.detecteInterface());
  EXPECT_THAT(b.commandes, ElementsAre("WVERSION", "WRESET", "WBIN"));
  EXPECT_EQ(b.port.vitesse(), 9600);
}

TEST(Detection, VitesseTroisEtLaLiaisonRestePraticable) {
  BancLiaison b;
  b.port.branche(1, b.emulateur);
  b.emulateur.etat().entrees[3].code = -1234;
  b.liaison.indexVitesse = 3;
  EXPECT_TRUE(b.liaison.detecteInterface());
  EXPECT_THAT(b.commandes, Contains("WBAUDS 3"));
  EXPECT_EQ(b.port.vitesse(), 57600);
  EXPECT_EQ(b.liaison.getInt("WEA 3"), -1234);
}

TEST(Detection, EnModeDeconnecteNiWRESETNiAttente) {
  BancLiaison b;
  b.port.branche(1, b.emulateur);
  b.liaison.indexVitesse = 0;
  b.liaison.modeDeconnecte = [] { return true; };
  EXPECT_TRUE(b.liaison.detecteInterface());
  EXPECT_THAT(b.commandes, ElementsAre("WVERSION", "WBIN"));
}

TEST(Detection, UnClicPendantLaRechercheNeLaRelancePas) {
  BancLiaison b;
  b.port.ajouteMuet(1);
  b.port.branche(2, b.emulateur);
  int relances = 0;
  b.horloge.pendantPompe = [&] {
    if (!b.liaison.detecteInterface()) ++relances;
  };
  EXPECT_TRUE(b.liaison.detecteInterface());
  b.horloge.pendantPompe = nullptr;
  EXPECT_GT(relances, 0);
  EXPECT_EQ(b.vue.configurations, 1);
  EXPECT_THAT(b.port.ouvertures(), ElementsAre(1, 2));
}

// ---- the version line ----

TEST(LigneAscii, SautDeLigneIgnoreEtCoupureA255) {
  BancLiaison b;
  const std::string reçu = "AB\nC\r\n";
  b.liaison.TriggerAvailAsc(reinterpret_cast<const std::uint8_t*>(reçu.data()), reçu.size());
  EXPECT_EQ(b.liaison.chaineLue, "ABC");
  EXPECT_TRUE(b.liaison.FinDeChaine);

  b.liaison.chaineLue.clear();
  const std::string long_(300, 'x');
  b.liaison.TriggerAvailAsc(reinterpret_cast<const std::uint8_t*>(long_.data()), long_.size());
  EXPECT_EQ(b.liaison.chaineLue.size(), 255u);
}

TEST(LigneAscii, ReponseAvecSautDeLigneEtReponseTropLongue) {
  // CR LF after the reply: the LF is left for later and dropped.
  BancLiaison b(sim::ConfigEmulateur{.version = "BRIXO VYK2 V1.27\r\n"});
  b.port.branche(1, b.emulateur);
  b.liaison.indexVitesse = 0;
  b.liaison.TestROM = false;
  EXPECT_TRUE(b.liaison.detecteInterface());
  EXPECT_EQ(b.liaison.VersionBrixo, "BRIXO VYK2 V1.27");
  EXPECT_EQ(b.liaison.NumeroVersion, 127);

  BancLiaison l(sim::ConfigEmulateur{.version = "BRIXO VYK2 V1.29 " + std::string(400, '#')});
  l.port.branche(1, l.emulateur);
  EXPECT_TRUE(l.liaison.detecteInterface());
  EXPECT_EQ(l.liaison.VersionBrixo.size(), 255u);
  EXPECT_EQ(l.liaison.NumeroVersion, 129);
}

TEST(Version, NumeroTireDeLaReponse) {
  struct Cas {
    const char* reponse;
    int numero;
  };
  const Cas cas[] = {
      {"BRIXO VYK2 V1.29", 129}, {"VYK2 V1,20", 120},   {"BRIXO VYK2 ROM V1.05xyz", 105},
      {"V2.00 VYK2", 200},       {"BRIXO VYK2", 0},     {"BRIXO VYK2 Vabc", 0},
      {"VYK2VYK2 V1.18", 118},   {"BRIXO VYK2 V1.2", 120}, {"", 0},
  };
  for (const Cas& c : cas) EXPECT_EQ(numeroVersionDe(c.reponse), c.numero) << c.reponse;
}

TEST(Version, TableDesPermissions) {
  struct Cas {
    int version;
    bool monocoup, preAcq, reco, base32, rappel;
  };
  const Cas cas[] = {
      {117, false, false, false, false, true}, {118, true, false, false, false, true},
      {119, true, false, false, false, true},  {120, false, false, false, false, true},
      {121, true, false, false, false, true},  {122, true, false, false, false, true},
      {123, true, true, false, false, true},   {124, true, true, true, false, true},
      {126, true, true, true, false, true},    {127, true, true, true, true, true},
      {128, true, true, true, true, false},    {129, true, true, true, true, false},
  };
  for (const Cas& c : cas) {
    const PermissionsVersion p = permissionsVYK2(c.version, true, true);
    EXPECT_EQ(p.SynchroMonocoupPermis, c.monocoup) << c.version;
    EXPECT_EQ(p.PreAcqPermis, c.preAcq) << c.version;
    EXPECT_EQ(p.avecReconnaissance, c.reco) << c.version;
    EXPECT_EQ(p.base32Permis, c.base32) << c.version;
    EXPECT_EQ(p.rappelRom, c.rappel) << c.version;
  }
  EXPECT_FALSE(permissionsVYK2(129, false, true).avecReconnaissance);
  EXPECT_FALSE(permissionsVYK2(100, true, false).rappelRom);
  EXPECT_TRUE(permissionsPUX2(103, true).rappelRom);
  EXPECT_FALSE(permissionsPUX2(104, true).rappelRom);
  EXPECT_TRUE(permissionsPUX2(100, true).SynchroMonocoupPermis);
}

TEST(Version, Version120SansMonocoupDeBoutEnBout) {
  BancLiaison b(sim::ConfigEmulateur{.version = "BRIXO VYK2 V1.20"});
  b.port.branche(1, b.emulateur);
  b.liaison.TestROM = false;
  EXPECT_TRUE(b.liaison.detecteInterface());
  EXPECT_EQ(b.liaison.NumeroVersion, 120);
  EXPECT_FALSE(b.liaison.SynchroMonocoupPermis);
  EXPECT_FALSE(b.liaison.PreAcqPermis);
  EXPECT_FALSE(b.liaison.avecReconnaissance);
  EXPECT_FALSE(b.vue.recon);
}

TEST(Version, FichierCapteursPerimeCoupeLaReconnaissance) {
  BancLiaison b;
  b.port.branche(1, b.emulateur);
  b.liaison.fichierCapteursAJour = [] { return false; };
  b.liaison.CompteurAuto = 0;
  b.liaison.indexVitesse = 0;  // the next detection talks at 9600 again
  EXPECT_TRUE(b.liaison.detecteInterface());
  EXPECT_FALSE(b.liaison.avecReconnaissance);
  EXPECT_FALSE(b.vue.recon);
  EXPECT_THAT(b.vue.erreurs, ElementsAre("Mettre à jour votre fichier vyk2.cpt"));
  EXPECT_EQ(b.liaison.CompteurAuto, 1);
  // Only every 17th start shows the message.
  b.liaison.CompteurAuto = 16;
  EXPECT_TRUE(b.liaison.detecteInterface());
  EXPECT_EQ(b.liaison.CompteurAuto, 0);
  EXPECT_EQ(b.vue.erreurs.size(), 1u);

  BancLiaison a;
  a.port.branche(1, a.emulateur);
  EXPECT_TRUE(a.liaison.detecteInterface());
  EXPECT_TRUE(a.liaison.avecReconnaissance);
  EXPECT_TRUE(a.vue.recon);
}

// ---- the ROM reminder ----

TEST(RappelRom, NePlusReposerLaQuestionArreteLeRappel) {
  BancLiaison b(sim::ConfigEmulateur{.version = "BRIXO VYK2 V1.27"});
  b.port.branche(1, b.emulateur);
  b.vue.reponseRappel = IVueLiaison::ReponseRappel::nePlusReposer;
  b.liaison.indexVitesse = 0;
  b.liaison.TestROM = true;
  b.liaison.CompteurROM = 0;
  EXPECT_TRUE(b.liaison.detecteInterface());
  EXPECT_THAT(b.vue.rappels, ElementsAre("Faire une mise à jour de la ROM de VYK 2"));
  EXPECT_FALSE(b.liaison.TestROM);
  EXPECT_EQ(b.liaison.CompteurROM, 1);
  b.liaison.CompteurROM = 0;
  EXPECT_TRUE(b.liaison.detecteInterface());
  EXPECT_EQ(b.vue.rappels.size(), 1u);
}

TEST(RappelRom, ReviensToutesLes33Demarrages) {
  BancLiaison b(sim::ConfigEmulateur{.version = "BRIXO VYK2 V1.27"});
  b.port.branche(1, b.emulateur);
  b.liaison.indexVitesse = 0;
  int montres = 0;
  for (int i = 0; i < 66; ++i) {
    ASSERT_TRUE(b.liaison.detecteInterface());
    montres = int(b.vue.rappels.size());
  }
  EXPECT_EQ(montres, 2);
  EXPECT_TRUE(b.liaison.TestROM);
  EXPECT_EQ(b.liaison.CompteurROM, 0);

  BancLiaison a;  // 1.29 is current: never reminded
  a.port.branche(1, a.emulateur);
  EXPECT_TRUE(a.liaison.detecteInterface());
  EXPECT_TRUE(a.vue.rappels.empty());
}

}  // namespace
