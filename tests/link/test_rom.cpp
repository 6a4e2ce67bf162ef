#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "banc_liaison.h"

using ::testing::Contains;
using ::testing::ElementsAre;

namespace fs = std::filesystem;

namespace {

std::string enregistrement(int adresse, int type, const std::string& donnees) {
  char tampon[16];
  std::string ligne = ":";
  int somme = int(donnees.size()) + (adresse >> 8) + (adresse & 0xFF) + type;
  std::snprintf(tampon, sizeof tampon, "%02X%04X%02X", unsigned(donnees.size()), unsigned(adresse),
                unsigned(type));
  ligne += tampon;
  for (unsigned char c : donnees) {
    std::snprintf(tampon, sizeof tampon, "%02X", unsigned(c));
    ligne += tampon;
    somme += c;
  }
  std::snprintf(tampon, sizeof tampon, "%02X", unsigned((-somme) & 0xFF));
  return ligne + tampon + "\r\n";
}

// A firmware file announcing the given version text ("1.30").
std::string fichierHex(const std::string& version) {
  std::string donnees = "VYK2 V" + version;
  donnees.resize(21, ' ');
  std::string hex = enregistrement(0x0000, 0, std::string(16, '\x5A'));
  hex += enregistrement(0x0100, 0, donnees);
  for (int a = 0x0200; a < 0x0600; a += 16) hex += enregistrement(a, 0, std::string(16, char(a >> 4)));
  return hex + enregistrement(0, 1, "");
}

struct DossierTemporaire {
  fs::path chemin;
  DossierTemporaire() {
    char modele[] = "/tmp/vyk2-link-XXXXXX";
    chemin = mkdtemp(modele);
  }
  ~DossierTemporaire() { fs::remove_all(chemin); }
  std::string ecrit(const std::string& nom, const std::string& contenu) const {
    std::ofstream(chemin / nom, std::ios::binary) << contenu;
    return (chemin / nom).string();
  }
};

TEST(FichierRom, VersionLueDansLEnregistrementVYK2) {
  DossierTemporaire d;
  EXPECT_EQ(enregistrement(0x0100, 0, "VYK2 V1.29           ").substr(0, 17), ":1501000056594B32");
  EXPECT_EQ(versionFichierRom(d.ecrit("a.hex", fichierHex("1.30"))), 130);
  EXPECT_EQ(versionFichierRom(d.ecrit("b.hex", fichierHex("2.05"))), 205);
  EXPECT_EQ(versionFichierRom(d.ecrit("c.hex", fichierHex("x.yz"))), 0);
  EXPECT_EQ(versionFichierRom(d.ecrit("d.hex", ":1501000056594B3220\r\n")), 0);
  EXPECT_EQ(versionFichierRom(d.ecrit("e.hex", enregistrement(0, 1, ""))), 0);
  EXPECT_EQ(versionFichierRom((d.chemin / "absent.hex").string()), 0);
}

struct MiseAJour : ::testing::Test {
  DossierTemporaire dossier;
  std::string hex = fichierHex("1.30");
  BancLiaison b;
  void SetUp() override {
    dossier.ecrit(nomFichierRom, hex);
    b.liaison.dossierProgramme = dossier.chemin.string();
    b.port.branche(1, b.emulateur);
  }
};

TEST_F(MiseAJour, RefuseeSiLUtilisateurDitNon) {
  b.vue.reponseOuiNon = false;
  EXPECT_TRUE(b.liaison.detecteInterface());
  EXPECT_THAT(b.vue.questions, ElementsAre("Mise à jour de la ROM"));
  EXPECT_THAT(b.commandes, ElementsAre("WVERSION", "WRESET", "WBIN", "WBAUDS 1"));
  EXPECT_EQ(b.liaison.NumeroVersion, 129);
}

TEST_F(MiseAJour, PasDeQuestionQuandLaRomEstAJour) {
  dossier.ecrit(nomFichierRom, fichierHex("1.29"));
  EXPECT_TRUE(b.liaison.detecteInterface());
  EXPECT_TRUE(b.vue.questions.empty());
}

TEST_F(MiseAJour, AccepteeEnvoieLeFichierEtRetrouveLaVitesse) {
  b.vue.reponseOuiNon = true;
  EXPECT_TRUE(b.liaison.detecteInterface());
  EXPECT_THAT(b.commandes,
              ElementsAre("WVERSION", "WBAUDS 0", "WROM", "HEX " + std::to_string(hex.size()) + " octets",
                          "WBAUDS 1", "WRESET", "WBIN", "WBAUDS 1"));
  EXPECT_EQ(b.emulateur.etat().misesAJour, 1);
  EXPECT_TRUE(b.emulateur.etat().hexValide);
  EXPECT_EQ(b.liaison.NumeroVersion, 130);
  EXPECT_TRUE(b.vue.erreurs.empty());
  EXPECT_THAT(b.vue.messagesRom,
              ElementsAre("Mise à jour de la ROM effectuée", "Attente de la réponse pendant 10 s"));
  EXPECT_EQ(b.vue.progression, int(hex.size() / 32 * 32 / 64));
  EXPECT_FALSE(b.vue.dialogueRom);
  // The link still works at the chosen speed afterwards.
  EXPECT_EQ(b.port.vitesse(), 19200);
  EXPECT_TRUE(b.emulateur.etat().binaire);
  b.emulateur.etat().entrees[2].code = 99;
  EXPECT_EQ(b.liaison.getInt("WEA 2"), 99);
}

TEST_F(MiseAJour, ArreteeParLUtilisateur) {
  b.vue.reponseOuiNon = true;
  b.vue.arretApresAppels = 2;
  b.liaison.indexVitesse = 0;
  b.liaison.detecteInterface();
  EXPECT_THAT(b.vue.erreurs, ElementsAre("Arrêter et redémarrer Brixo (matériel et logiciel)"));
  EXPECT_EQ(b.liaison.NumeroVersion, 129);
  EXPECT_EQ(b.emulateur.etat().misesAJour, 0);
  EXPECT_FALSE(b.vue.dialogueRom);
}

TEST_F(MiseAJour, UneLigneBloqueeNeRetientPasLaFenetre) {
  b.vue.reponseOuiNon = true;
  b.liaison.indexVitesse = 0;
  b.horloge.pendantPompe = [&] {
    if (b.commandes.size() >= 3) b.port.sortieBloquee = true;  // after "WROM"
  };
  b.liaison.detecteInterface();
  b.horloge.pendantPompe = nullptr;
  EXPECT_THAT(b.vue.erreurs, ElementsAre("La mise à jour a rencontré un problème"));
  EXPECT_EQ(b.liaison.NumeroVersion, 129);
  EXPECT_LT(b.horloge.maintenantMs(), 20000);

  const double t0 = b.horloge.maintenantMs();
  b.liaison.videOutBuffer();
  EXPECT_LE(b.horloge.maintenantMs() - t0, 5100);
}

TEST_F(MiseAJour, CompteRenduDeLInterface) {
  struct Cas {
    char rapport;
    bool silencieux;
    int version;
    bool probleme;
  };
  const Cas cas[] = {{'0', false, 130, false}, {'2', false, 129, false},
                     {'x', false, 129, true},  {'0', true, 129, true}};
  for (const Cas& c : cas) {
    BancLiaison l(sim::ConfigEmulateur{.rapportRom = c.rapport});
    l.liaison.dossierProgramme = dossier.chemin.string();
    l.port.branche(1, l.emulateur);
    l.vue.reponseOuiNon = true;
    l.liaison.indexVitesse = 0;
    l.horloge.pendantPompe = [&] {
      if (l.emulateur.etat().octetsHex == 0 && l.commandes.size() > 2) l.emulateur.pannes().silencieux = c.silencieux;
    };
    l.liaison.detecteInterface();
    EXPECT_EQ(l.liaison.NumeroVersion, c.version) << c.rapport;
    EXPECT_EQ(!l.vue.erreurs.empty(), c.probleme) << c.rapport;
    if (c.probleme) {
      EXPECT_THAT(l.vue.erreurs, ElementsAre("La mise à jour a rencontré un problème"));
    }
  }
}

}  // namespace
