// The updater's three steps against emulated interfaces, in simulated time.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "banc.h"
#include "outils_hex.h"
#include "updater/logic/majvyk2.h"

namespace fs = std::filesystem;
using majtest::PortSimule;
using majvyk2::MiseAJour;
namespace textes = majvyk2::textes;

namespace {

bool contient(const std::vector<std::string>& journal, const std::string& ligne) {
  return std::find(journal.begin(), journal.end(), ligne) != journal.end();
}

class DossierTemporaire {
public:
  DossierTemporaire() {
    std::string modele = (fs::temp_directory_path() / "majvyk2-XXXXXX").string();
    chemin_ = ::mkdtemp(modele.data());
  }
  ~DossierTemporaire() {
    std::error_code ec;
    fs::remove_all(chemin_, ec);
  }
  const fs::path& chemin() const { return chemin_; }

private:
  fs::path chemin_;
};

class Updater : public ::testing::Test {
protected:
  Updater() { reglages.cheminFichier = (dossier.chemin() / "codevyk2.hex").string(); }

  MiseAJour& maj() {
    if (!m_) {
      m_ = std::make_unique<MiseAJour>(port, boucle, vue, reglages);
      m_->demarrer();
    }
    return *m_;
  }
  void fichier(const std::string& texte) { majtest::ecrire(reglages.cheminFichier, texte); }
  // Interface on COM1, found, versions read.
  sim::Emulateur& pretATelecharger(sim::ConfigEmulateur c = {}, std::size_t taille = 40000) {
    sim::Emulateur& e = port.brancher(1, std::move(c));
    fichier(majtest::fichierHex("2.10", taille));
    maj().Command4_Click();
    maj().Command4_Click();
    EXPECT_EQ(maj().etape, 2);
    return e;
  }

  DossierTemporaire dossier;
  majtest::Horloge h;
  PortSimule port{h};
  majtest::BoucleSimulee boucle{h};
  majtest::VueTest vue;
  majvyk2::Reglages reglages;

private:
  std::unique_ptr<MiseAJour> m_;
};

TEST_F(Updater, FoundOnCom7AfterSixAbsentOrSilentPorts) {
  port.portsVides = {2, 4, 6};
  for (int com : {3, 5}) port.brancher(com).pannes().silencieux = true;
  port.brancher(7);
  port.brancher(8);

  const double debut = h.t;
  maj().Command4_Click();

  EXPECT_TRUE(maj().interfaceTrouvee);
  EXPECT_EQ(maj().portTrouve, 7);
  EXPECT_EQ(maj().etape, 1);
  EXPECT_TRUE(port.estOuvert());
  EXPECT_EQ(vue.dernier.lab1, textes::detecte);
  EXPECT_EQ(vue.dernier.legendeCommand4, textes::poursuivre);
  EXPECT_EQ(vue.dernier.legendeCommande2, textes::terminer);
  EXPECT_TRUE(vue.dernier.commande2Actif);
  for (int com : {3, 5, 7}) EXPECT_EQ(port.journaux[com], std::vector<std::string>{"WVERSION"}) << com;
  EXPECT_TRUE(port.journaux[8].empty());
  // Five ports opened and said nothing: 100 ms each.
  EXPECT_GE(h.t - debut, 500.0);
  EXPECT_LT(h.t - debut, 600.0);
}

TEST_F(Updater, AnswerMustComeWithin100ms) {
  struct Cas {
    int retardMs;
    bool trouve;
  };
  for (const Cas cas : {Cas{60, true}, Cas{150, false}}) {
    SCOPED_TRACE(cas.retardMs);
    majtest::Horloge horloge;
    PortSimule p{horloge};
    majtest::BoucleSimulee b{horloge};
    majtest::VueTest v;
    p.brancher(7).pannes().retardMs = cas.retardMs;
    MiseAJour m(p, b, v, reglages);
    m.demarrer();
    m.Command4_Click();
    EXPECT_EQ(m.interfaceTrouvee, cas.trouve);
    EXPECT_EQ(m.etape, cas.trouve ? 1 : 0);
    if (!cas.trouve) {
      EXPECT_EQ(v.dernier.lab1, textes::nonDetecte);
      EXPECT_EQ(v.dernier.legendeCommand4, textes::recommencer);
      EXPECT_TRUE(v.dernier.commande2Visible && v.dernier.commande2Actif);
      EXPECT_FALSE(p.estOuvert());
    }
  }
}

TEST_F(Updater, SearchAgainAfterNothingFound) {
  maj().Command4_Click();
  EXPECT_EQ(maj().etape, 0);
  port.brancher(2);
  maj().Command4_Click();
  EXPECT_EQ(maj().portTrouve, 2);
  EXPECT_EQ(maj().etape, 1);
}

TEST(VersionRecord, FoundWithinTheFirst201LinesOnly) {
  struct Cas {
    int avant;  // data records before the version record
    bool accepte;
  };
  for (const Cas cas : {Cas{0, true}, Cas{200, true}, Cas{201, false}}) {
    SCOPED_TRACE(cas.avant);
    std::istringstream texte(majtest::fichierHex("1.31", 20000, cas.avant));
    int ligne = 0;
    const auto v = majvyk2::chercheVersion(texte, &ligne);
    ASSERT_EQ(v.has_value(), cas.accepte);
    if (cas.accepte) {
      EXPECT_EQ(*v, "1.31");
      EXPECT_EQ(ligne, cas.avant + 1);
    }
  }
}

TEST(VersionRecord, BadRecordsAreRefused) {
  const std::string m = majvyk2::marqueurVersion;
  for (const std::string& ligne : {m + "322E31",                  // cut short
                                   m + "322G3130AABB",            // not hexadecimal
                                   m + "0A2E3130AABB",            // control character
                                   std::string(":1501000056594B322057322E3130AA")}) {  // "W" for "V"
    std::istringstream texte(":0400000001020304F2\n" + ligne + "\n:00000001FF\n");
    EXPECT_FALSE(majvyk2::chercheVersion(texte).has_value()) << ligne;
  }
  // Lines may end with CR alone; the marker need not start the line.
  std::istringstream cr(":0400000001020304F2\r  " + m + "312E3239AA\r:00000001FF\r");
  EXPECT_EQ(majvyk2::chercheVersion(cr).value_or(""), "1.29");
}

TEST_F(Updater, VersionsShownFromInterfaceAndFile) {
  port.brancher(1);
  const std::string texte = majtest::fichierHex("2.10", 5000);
  ASSERT_NE(texte.find(":1501000056594B322056322E3130"), std::string::npos);
  fichier(texte);
  maj().Command4_Click();
  maj().Command4_Click();
  EXPECT_EQ(maj().versionFichier, "2.10");
  EXPECT_EQ(maj().etape, 2);
  EXPECT_EQ(vue.dernier.lab1,
            "\nLa version actuelle de votre\n BRIXO VYK2 est la V  V1.29"
            "\nLa version à votre disposition est la : V2.10");
  EXPECT_EQ(vue.dernier.legendeCommand4, textes::telecharger);
}

TEST_F(Updater, FileWithoutRecordInItsFirst201LinesIsCorrupt) {
  std::string cent50;
  for (int i = 0; i < 149; ++i)
    cent50 += majtest::enregistrement(i * 16, 0, majtest::donnees(16, static_cast<std::uint8_t>(i))) + "\r\n";
  cent50 += ":00000001FF\r\n";
  for (const std::string& texte : {majtest::fichierHex("2.10", 20000, 201), cent50}) {
    majtest::Horloge horloge;
    PortSimule p{horloge};
    majtest::BoucleSimulee b{horloge};
    majtest::VueTest v;
    p.brancher(1);
    fichier(texte);
    MiseAJour m(p, b, v, reglages);
    m.demarrer();
    m.Command4_Click();
    m.Command4_Click();
    EXPECT_EQ(v.dernier.lab1, textes::mauvaisCode);
    EXPECT_EQ(v.dernier.legendeCommand4, textes::recommencer);
    EXPECT_EQ(m.etape, 0);
    EXPECT_TRUE(v.boites.empty());
  }
}

TEST_F(Updater, MissingOrUnreadableFileWhenVersionsAreReadEndsTheProgram) {
  for (const bool dossierALaPlace : {false, true}) {
    SCOPED_TRACE(dossierALaPlace);
    majtest::Horloge horloge;
    PortSimule p{horloge};
    majtest::BoucleSimulee b{horloge};
    majtest::VueTest v;
    p.brancher(1);
    if (dossierALaPlace) fs::create_directory(reglages.cheminFichier);
    MiseAJour m(p, b, v, reglages);
    m.demarrer();
    m.Command4_Click();
    m.Command4_Click();
    ASSERT_EQ(v.boites.size(), 1u);
    EXPECT_EQ(v.boites[0].first, majvyk2::Icone::erreur);
    EXPECT_EQ(v.boites[0].second, reglages.cheminFichier + (dossierALaPlace ? " : c'est un dossier" : " non trouvé"));
    EXPECT_EQ(v.fins, 1);
    EXPECT_FALSE(p.estOuvert());
  }
}

TEST_F(Updater, DebugAnswerDecidesWhetherToTransfer) {
  struct Cas {
    std::optional<std::string> reponse;
    bool transfert;
  };
  for (const Cas& cas : {Cas{"0,0", true}, Cas{std::nullopt, true}, Cas{"1,0", false}}) {
    SCOPED_TRACE(cas.reponse.value_or("(rien)"));
    majtest::Horloge horloge;
    PortSimule p{horloge};
    majtest::BoucleSimulee b{horloge};
    majtest::VueTest v;
    sim::ConfigEmulateur c;
    c.reponseDebug = cas.reponse;
    sim::Emulateur& e = p.brancher(1, c);
    fichier(majtest::fichierHex("2.10", 3000));
    MiseAJour m(p, b, v, reglages);
    m.demarrer();
    for (int i = 0; i < 3; ++i) m.Command4_Click();
    EXPECT_EQ(m.etape, 0);
    EXPECT_EQ(contient(p.journaux[1], "WBAUDS 1"), cas.transfert);
    EXPECT_EQ(e.etat().misesAJour, cas.transfert ? 1 : 0);
    if (!cas.transfert) {
      EXPECT_EQ(v.dernier.lab1, textes::probleme);
      EXPECT_EQ(v.dernier.legendeCommand4, textes::recommencer);
      EXPECT_EQ(p.vitesse(), 9600);
      EXPECT_TRUE(v.jauges.empty());
    }
  }
}

TEST_F(Updater, FileGoesOutInPiecesOfTheOutputBuffer) {
  sim::Emulateur& e = pretATelecharger();
  port.ecritures.clear();
  maj().Command4_Click();

  EXPECT_EQ(maj().morceaux, 79u);
  EXPECT_EQ(maj().dernierMorceau, 64u);
  // "WDEBUG", "WBAUDS 1", "WERR" and "WROM" come first.
  ASSERT_GE(port.ecritures.size(), 4u + 79u);
  EXPECT_EQ(std::vector<std::size_t>(port.ecritures.begin() + 4, port.ecritures.begin() + 82),
            std::vector<std::size_t>(78, 512));
  EXPECT_EQ(port.ecritures[82], 64u);
  EXPECT_EQ(e.etat().octetsHex, 40000u);
  EXPECT_TRUE(e.etat().hexValide);
  // The bar: 400 steps for 40 000 bytes, 5 a piece, full at the end.
  ASSERT_GE(vue.jauges.size(), 80u);  // shown empty, then one per piece
  EXPECT_EQ(vue.jauges.front(), 0);
  EXPECT_EQ(vue.jauges[1], 10);
  EXPECT_TRUE(std::is_sorted(vue.jauges.begin(), vue.jauges.end()));
  EXPECT_EQ(vue.jauges.back(), 400);
  EXPECT_EQ(vue.dernier.jaugeMax, 400);
  EXPECT_FALSE(vue.dernier.jaugeVisible);
}

// The bar advances by the piece size / 100, rounded halves to even.
TEST_F(Updater, BarStepRoundsHalvesToEven) {
  struct Cas {
    std::size_t tampon;
    int pas;
  };
  for (const Cas cas : {Cas{250, 2}, Cas{350, 4}, Cas{149, 1}, Cas{151, 2}}) {
    SCOPED_TRACE(cas.tampon);
    majtest::Horloge horloge;
    PortSimule p{horloge, cas.tampon};
    majtest::BoucleSimulee b{horloge};
    majtest::VueTest v;
    p.brancher(1);
    fichier(majtest::fichierHex("2.10", 3000));
    MiseAJour m(p, b, v, reglages);
    m.demarrer();
    for (int i = 0; i < 3; ++i) m.Command4_Click();
    EXPECT_EQ(m.morceaux, (3000 + cas.tampon - 1) / cas.tampon);
    ASSERT_GE(v.jauges.size(), 3u);
    EXPECT_EQ(v.jauges[1], 2 * cas.pas);
    EXPECT_EQ(v.jauges[2], 3 * cas.pas);
  }
}

TEST_F(Updater, CommandsOfAFullUpdateInOrder) {
  pretATelecharger();
  maj().Command4_Click();
  const std::vector<std::string> attendu = {"WVERSION", "WVERSION", "WDEBUG", "WBAUDS 1",
                                            "WERR",     "WROM",     "HEX 40000 octets", "WVERSION"};
  EXPECT_EQ(port.journaux[1], attendu);
}

TEST_F(Updater, ReportDecidesTheOutcome) {
  struct Cas {
    char rapport;
    std::string lab1;
    bool command4;
  };
  const std::string erreur5 = std::string(textes::erreurDebut) + " 5" + textes::erreurFin;
  ASSERT_NE(erreur5.find("(Erreur  5) \nEteindre"), std::string::npos);
  for (const Cas& cas :
       {Cas{'0', std::string(textes::succes) + " V2.10", false}, Cas{'5', erreur5, true},
        // Noise is not a success.
        Cas{'X', std::string(textes::erreurDebut) + "-1" + textes::erreurFin, true}}) {
    SCOPED_TRACE(cas.rapport);
    majtest::Horloge horloge;
    PortSimule p{horloge};
    majtest::BoucleSimulee b{horloge};
    majtest::VueTest v;
    sim::ConfigEmulateur c;
    c.rapportRom = cas.rapport;
    p.brancher(1, c);
    fichier(majtest::fichierHex("2.10", 4000));
    MiseAJour m(p, b, v, reglages);
    m.demarrer();
    for (int i = 0; i < 3; ++i) m.Command4_Click();
    EXPECT_EQ(v.dernier.lab1, cas.lab1);
    EXPECT_EQ(v.dernier.command4Visible, cas.command4);
    EXPECT_EQ(v.dernier.command4Actif, cas.command4);
    if (cas.command4) {
      EXPECT_EQ(v.dernier.legendeCommand4, textes::recommencer);
    }
    EXPECT_TRUE(v.dernier.commande2Visible && v.dernier.commande2Actif);
    EXPECT_FALSE(v.dernier.jaugeVisible);
    EXPECT_EQ(m.etape, 0);
    // Back at 9600 bauds on the same port.
    EXPECT_TRUE(p.estOuvert());
    EXPECT_EQ(p.vitesse(), 9600);
    EXPECT_FALSE(m.enTransfert());
  }
}

TEST_F(Updater, NoReportWithin10Seconds) {
  sim::Emulateur& e = pretATelecharger({}, 3000);
  double finTransfert = -1;
  boucle.pendant = [&] {
    if (!port.journaux[1].empty() && port.journaux[1].back() == "WROM") e.pannes().silencieux = true;
    if (finTransfert < 0 && maj().transfertFini && maj().morceaux > 0) finTransfert = h.t;
  };
  maj().Command4_Click();
  EXPECT_EQ(vue.dernier.lab1, textes::pasDeCompteRendu);
  EXPECT_EQ(vue.dernier.legendeCommand4, textes::recommencer);
  EXPECT_TRUE(vue.dernier.command4Visible && vue.dernier.commande2Visible);
  EXPECT_GE(h.t - finTransfert, 10000.0);
  EXPECT_LT(h.t - finTransfert, 10100.0);
  EXPECT_EQ(port.vitesse(), 9600);
}

TEST_F(Updater, WriteErrorIsShownOnceAndTheStepEnds) {
  pretATelecharger({}, 8000);
  boucle.pendant = [&] {
    if (maj().morceaux == 3) port.panneEcriture = true;
  };
  maj().Command4_Click();
  ASSERT_EQ(vue.boites.size(), 1u);
  EXPECT_EQ(vue.boites[0].second, "Erreur d'écriture simulée");
  EXPECT_EQ(maj().morceaux, 4u);
  EXPECT_EQ(maj().etape, 0);
  EXPECT_TRUE(vue.dernier.commande2Visible);
}

TEST_F(Updater, FileGoneBeforeTheTransferStopsAt9600) {
  sim::Emulateur& e = pretATelecharger();
  fs::remove(reglages.cheminFichier);
  maj().Command4_Click();
  ASSERT_EQ(vue.boites.size(), 1u);
  EXPECT_EQ(vue.boites[0].first, majvyk2::Icone::avertissement);
  EXPECT_EQ(vue.boites[0].second, reglages.cheminFichier + " non trouvé");
  EXPECT_FALSE(contient(port.journaux[1], "WBAUDS 1"));
  EXPECT_EQ(e.etat().indexVitesse, 0);
  EXPECT_EQ(vue.fins, 1);
  EXPECT_FALSE(port.estOuvert());
}

TEST_F(Updater, UnreadableFileBeforeTheTransferOffersToStartAgain) {
  pretATelecharger();
  fs::remove(reglages.cheminFichier);
  fs::create_directory(reglages.cheminFichier);
  maj().Command4_Click();
  ASSERT_EQ(vue.boites.size(), 1u);
  EXPECT_EQ(vue.fins, 0);
  EXPECT_EQ(maj().etape, 0);
  EXPECT_EQ(vue.dernier.legendeCommand4, textes::recommencer);
  EXPECT_FALSE(contient(port.journaux[1], "WBAUDS 1"));
}

TEST_F(Updater, QuitDuringTheTransferIsRefused) {
  pretATelecharger({}, 6000);
  int refus = 0;
  boucle.pendant = [&] {
    if (maj().enTransfert() && !maj().demanderFin()) ++refus;
  };
  maj().Command4_Click();
  EXPECT_GT(refus, 0);
  EXPECT_EQ(vue.fins, 0);
  EXPECT_EQ(vue.dernier.lab1, std::string(textes::succes) + " V2.10");
  // At rest the request is granted and the port closed.
  EXPECT_TRUE(maj().demanderFin());
  EXPECT_FALSE(port.estOuvert());
}

TEST_F(Updater, QuitDuringTheSearchEndsWhenTheStepStops) {
  port.portsVides = {1, 2, 3};
  port.brancher(9);
  boucle.pendant = [&] {
    if (port.ouvertures == 2) {
      EXPECT_FALSE(maj().demanderFin());
    }
  };
  maj().Command4_Click();
  EXPECT_EQ(vue.fins, 1);
  EXPECT_FALSE(port.estOuvert());
  EXPECT_TRUE(port.journaux[9].empty());
}

TEST_F(Updater, ClickWhileAStepWaitsIsIgnored) {
  port.portsVides = {1};
  port.brancher(2);
  boucle.pendant = [&] { maj().Command4_Click(); };
  maj().Command4_Click();
  EXPECT_EQ(maj().etape, 1);
  EXPECT_EQ(port.journaux[2].size(), 1u);
}

// The line at 19200 bauds carries 1920 bytes a second: 40 000 bytes take
// 20.8 s; waiting for each piece to drain must not add 10 % to that.
TEST_F(Updater, TransferKeepsTheLineBusy) {
  sim::Emulateur& e = port.brancher(1);
  maj();
  e.etat().indexVitesse = 1;
  port.reglerVitesse(19200);
  ASSERT_TRUE(port.ouvrir(1));
  const std::string contenu = majtest::fichierHex("2.10", 40000);
  double debutFichier = -1;
  boucle.pendant = [&] {
    if (debutFichier < 0 && maj().morceaux == 1) debutFichier = h.t;
  };
  maj().TransmetFichier(contenu);
  const double tempsLigne = 40000 * 10000.0 / 19200;
  EXPECT_EQ(e.etat().octetsHex, 40000u);
  EXPECT_GE(h.t - debutFichier, tempsLigne);
  EXPECT_LE(h.t - debutFichier, tempsLigne * 1.10);
}

TEST(Textes, ReplyHelpers) {
  EXPECT_EQ(majvyk2::sansBlancs("  BRIXO VYK2 V1.29\r\n"), "BRIXO VYK2 V1.29");
  EXPECT_EQ(majvyk2::sansBlancs("\r"), "");
  EXPECT_EQ(majvyk2::finAffichable("BRIXO VYK2 V1.29", 6), " V1.29");
  EXPECT_EQ(majvyk2::finAffichable("1.3", 6), "1.3");
  EXPECT_EQ(majvyk2::finAffichable(std::string("V\x01\xE9"), 6), "V?é");
  struct Cas {
    const char* texte;
    int code;
  };
  for (const Cas c : {Cas{"0", 0}, Cas{" 0\r", 0}, Cas{"5", 5}, Cas{"12x", 12}, Cas{"-3", -3},
                      Cas{"", -1}, Cas{"X", -1}, Cas{"\xFF", -1}})
    EXPECT_EQ(majvyk2::codeCompteRendu(c.texte), c.code) << c.texte;
  EXPECT_EQ(majvyk2::nombreAvecSigne(5), " 5");
  EXPECT_EQ(majvyk2::nombreAvecSigne(0), " 0");
  EXPECT_EQ(majvyk2::nombreAvecSigne(-1), "-1");
}

}  // namespace
