#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "core/link/liaison.h"
#include "core/shell/logique_fenetre.h"
#include "sim/emulator/emulateur.h"
#include "sim/transport/horloge_simulee.h"
#include "sim/transport/port_emule.h"

namespace {

class MagasinMemoire : public IMagasinReglages {
 public:
  std::optional<std::string> litValeur(std::string_view s, std::string_view c) const override {
    const auto it = valeurs.find(std::string(s) + "/" + std::string(c));
    if (it == valeurs.end()) return std::nullopt;
    return it->second;
  }
  void ecritValeur(std::string_view s, std::string_view c, std::string_view v) override {
    valeurs[std::string(s) + "/" + std::string(c)] = std::string(v);
  }
  void enregistre() override { ++enregistrements; }
  std::map<std::string, std::string> valeurs;
  int enregistrements = 0;
};

// Records what the window would show.
class VueEnregistree : public IVueLiaison, public IVueFenetre {
 public:
  TLogiqueFenetre* logique = nullptr;
  std::vector<std::string> statuts;
  std::vector<std::string> erreurs;
  std::string legende;
  bool brixoAbsent = false;
  bool raz = true;
  bool timer = false;
  bool sablier = false;
  int nonClient = 30;
  int policeMode = 0;
  int ouverturesAide = 0;
  std::string ligneAPropos;
  bool timerPendantAPropos = true;
  PlacementFenetre actuel{0, 829, 1072, 100, 200};
  std::vector<PlacementFenetre> restaurations;
  bool fermee = false;

  void afficheStatut(int p, const std::string& t) override {
    if (p == 0) statuts.push_back(t);
  }
  void afficheBrixoAbsent(bool v) override { brixoAbsent = v; }
  void curseurSablier(bool a) override { sablier = a; }
  void messageErreur(const std::string& t) override { erreurs.push_back(t); }
  bool questionOuiNon(const std::string&) override { return false; }
  ReponseRappel rappelMiseAJourRom(const std::string&) override { return ReponseRappel::ok; }
  void commandesSansInterface() override {}
  void boutonReconVisible(bool) override {}
  void chargeConfigurationEnAttente() override { logique->chargeConfigurationEnAttente(); }
  void ouvreMiseAJourRom() override {}
  void progressionMiseAJourRom(int) override {}
  void messageMiseAJourRom(const std::string&, const std::string&) override {}
  bool arretMiseAJourDemande() override { return false; }
  void fermeMiseAJourRom() override {}

  void afficheLegende(const std::string& t) override { legende = t; }
  int hauteurNonClient() override { return nonClient; }
  void fixePolicePanelMode(int p) override { policeMode = p; }
  PlacementFenetre placement() override { return actuel; }
  void restaurePlacement(const PlacementFenetre& p) override {
    restaurations.push_back(p);
    actuel = p;
  }
  void boutonRazVisible(bool v) override { raz = v; }
  void curseurNormal() override { sablier = false; }
  void timerAcquisition(bool a) override { timer = a; }
  bool timerAcquisitionActif() override { return timer; }
  void afficheAPropos(const std::string& l) override {
    ligneAPropos = l;
    timerPendantAPropos = timer;
  }
  void ouvreAide() override { ++ouverturesAide; }
  void fermeFenetre() override { fermee = true; }
};

class LogiqueFenetre : public ::testing::Test {
 protected:
  LogiqueFenetre() : port(horloge), liaison(port, horloge, vue), logique(vue, liaison) {
    vue.logique = &logique;
    emulateur.setJournal([this](double, const std::string& l) { journal.push_back(l); });
    dossier = std::filesystem::temp_directory_path() /
              ("vyk2-shell-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dossier / "config");
    logique.repertoireDonnees = (dossier / "docs").string() + "/";
    logique.repertoireConfig = (dossier / "config").string() + "/";
    logique.cheminProgramme = (dossier / "bin" / "vyk2").string();
    logique.LitConfig = [this](const std::string& nom) {
      lectures.push_back(nom);
      return lectureReussie;
    };
  }
  ~LogiqueFenetre() override { std::filesystem::remove_all(dossier); }

  void demarre() {
    logique.FormCreate(utilisateur, machine ? &*machine : nullptr);
    logique.FormActivate(utilisateur);
  }
  long compte(const std::string& ligne) const {
    return std::count(journal.begin(), journal.end(), ligne);
  }

  sim::HorlogeSimulee horloge;
  sim::PortEmule port;
  sim::Emulateur emulateur;
  VueEnregistree vue;
  TLiaison liaison;
  TLogiqueFenetre logique;
  MagasinMemoire utilisateur;
  std::optional<MagasinMemoire> machine;
  std::vector<std::string> journal;
  std::vector<std::string> lectures;
  bool lectureReussie = false;
  std::filesystem::path dossier;
};

TEST_F(LogiqueFenetre, DemarrageAvecInterface) {
  port.branche(3, emulateur);
  utilisateur.valeurs = {{"COM/Num", "3"}, {"Window/Left", "40"}, {"Window/Width", "900"}};
  demarre();
  EXPECT_TRUE(liaison.BrixoPresent);
  ASSERT_FALSE(vue.statuts.empty());
  EXPECT_EQ(vue.statuts.back(), "Brixo VYK II présente");
  EXPECT_FALSE(vue.brixoAbsent);
  // Detection, start-up configuration (its own "WBIN"), then the speed.
  const std::vector<std::string> attendu{"WVERSION", "WRESET", "WBIN", "WBIN", "WBAUDS 1"};
  EXPECT_EQ(journal, attendu);
  EXPECT_FALSE(logique.PremierTest);
  EXPECT_FALSE(vue.raz);
  EXPECT_FALSE(vue.sablier);
  ASSERT_EQ(vue.restaurations.size(), 1u);
  EXPECT_EQ(vue.restaurations[0], (PlacementFenetre{0, 829, 900, 100, 40}));
  EXPECT_EQ(vue.policeMode, 10);
  EXPECT_EQ(vue.legende, "Acquisition par Brixo VYK II pour Tavelmor");
}

TEST_F(LogiqueFenetre, SansInterface) {
  demarre();
  EXPECT_FALSE(liaison.BrixoPresent);
  EXPECT_TRUE(vue.brixoAbsent);
  EXPECT_TRUE(lectures.empty());
  EXPECT_TRUE(logique.PremierTest);
  EXPECT_EQ(vue.restaurations.size(), 1u);
  EXPECT_TRUE(journal.empty());
}

TEST_F(LogiqueFenetre, UneSeuleDetection) {
  port.branche(1, emulateur);
  demarre();
  vue.nonClient = 20;
  logique.FormActivate(utilisateur);
  logique.FormActivate(utilisateur);
  EXPECT_EQ(compte("WVERSION"), 1);
  EXPECT_EQ(vue.restaurations.size(), 1u);
  EXPECT_EQ(vue.policeMode, 8);  // the font rule runs on every activation
}

TEST_F(LogiqueFenetre, ConfigurationDeLaLigneDeCommande) {
  port.branche(1, emulateur);
  const auto fichier = dossier / "mes manips" / "pendule.vy2";
  std::filesystem::create_directories(fichier.parent_path());
  std::ofstream(fichier) << "[Acquisition]\n";
  logique.fichierLigneCommande = (dossier / "mes manips").string() + " manips/x";
  demarre();
  // A name that does not exist falls back to the personal, then the program's file.
  EXPECT_EQ(lectures, (std::vector<std::string>{logique.repertoireConfig + "vyk2.VY2",
                                                (dossier / "bin" / "vyk2.VY2").string()}));

  lectures.clear();
  logique.PremierTest = true;
  logique.fichierLigneCommande = fichier.string();
  logique.chargeConfigurationEnAttente();
  EXPECT_EQ(lectures, std::vector<std::string>{fichier.string()});
  // Once loaded, later detections load nothing.
  lectures.clear();
  logique.chargeConfigurationEnAttente();
  EXPECT_TRUE(lectures.empty());
}

TEST_F(LogiqueFenetre, ConfigurationPersonnelleParDefaut) {
  port.branche(1, emulateur);
  lectureReussie = true;
  logique.SauverConfig = true;
  demarre();
  EXPECT_EQ(lectures, std::vector<std::string>{logique.repertoireConfig + "vyk2.VY2"});
}

TEST_F(LogiqueFenetre, FermetureArreteLeBalayageAvantLeReset) {
  port.branche(2, emulateur);
  demarre();
  ASSERT_TRUE(liaison.BrixoPresent);
  vue.timer = true;
  std::vector<std::string> ordre;
  logique.arreteSortieAnalogique = [&] { ordre.push_back("SA"); };
  logique.arreteCardiaque = [&] { ordre.push_back("cardiaque"); };
  logique.arreteAcquisitionEnCours = [&] {
    ordre.push_back(vue.timer ? "balayage, timer actif" : "balayage");
    ordre.push_back("resets " + std::to_string(compte("WRESET")));
  };
  logique.enregistreAssociation = [&] { ordre.push_back("association"); };
  machine.emplace();
  liaison.CompteurROM = 5;
  logique.FormClose(utilisateur, &*machine);
  EXPECT_EQ(ordre, (std::vector<std::string>{"SA", "cardiaque", "balayage", "resets 1",
                                             "association"}));
  EXPECT_EQ(compte("WRESET"), 2);
  EXPECT_EQ(journal.back(), "WRESET");
  EXPECT_FALSE(liaison.BrixoPresent);
  // Settings to both keys, the placement to the user's only.
  for (const auto* m : {&utilisateur, &*machine}) {
    EXPECT_EQ(m->valeurs.at("COM/Num"), "2");
    EXPECT_EQ(m->valeurs.at("ROM/Compteur"), "5");
    EXPECT_EQ(m->valeurs.count("Auto/Compteur"), 0u);
  }
  EXPECT_EQ(utilisateur.valeurs.at("Window/Width"), "1072");
  EXPECT_EQ(machine->valeurs.count("Window/Width"), 0u);
}

TEST_F(LogiqueFenetre, FermetureSansInterface) {
  demarre();
  bool arret = false;
  logique.arreteAcquisitionEnCours = [&] { arret = true; };
  logique.FormClose(utilisateur, nullptr);
  EXPECT_FALSE(arret);
  EXPECT_TRUE(journal.empty());
  EXPECT_EQ(utilisateur.valeurs.at("COM/Vitesse"), "1");
  EXPECT_GT(utilisateur.enregistrements, 0);
}

TEST_F(LogiqueFenetre, LaCleMachineDecideDuPort) {
  port.branche(1, emulateur);
  port.branche(5, emulateur);
  utilisateur.valeurs = {{"COM/Num", "5"}};
  machine.emplace();
  machine->valeurs = {{"Reco/Permis", "1"}};
  demarre();
  EXPECT_EQ(port.ouvertures().front(), 1);
  EXPECT_EQ(liaison.NumCom, 1);
}

TEST_F(LogiqueFenetre, IndiceEtReactivation) {
  demarre();
  logique.ShowHint("Recherche Brixo VYK II sur Comi");
  EXPECT_EQ(vue.legende, "Recherche Brixo VYK II sur Comi");
  logique.ShowHint("");
  EXPECT_EQ(vue.legende, "Acquisition par Brixo VYK II pour Tavelmor");
  liaison.PuxActif = true;
  logique.ShowHint("");
  EXPECT_EQ(vue.legende, "Acquisition par Brixo PUX II pour Tavelmor");

  // Timers suspended while the user was in the companion program resume.
  vue.timer = true;
  logique.DebutLectureParametres();
  EXPECT_FALSE(vue.timer);
  logique.ReactiverVYK = true;
  logique.ActivateApp();
  EXPECT_TRUE(vue.timer);
  EXPECT_FALSE(logique.ReactiverVYK);
  logique.ActivateApp();
  EXPECT_TRUE(vue.timer);
}

TEST_F(LogiqueFenetre, SuspensionsImbriquees) {
  vue.timer = true;
  logique.DebutLectureParametres();
  logique.DebutLectureParametres();
  logique.FinLectureParametres();
  EXPECT_FALSE(vue.timer);
  logique.FinLectureParametres();
  EXPECT_TRUE(vue.timer);
  // An unmatched resume does not start a timer that was off.
  vue.timer = false;
  logique.FinLectureParametres();
  EXPECT_FALSE(vue.timer);
}

TEST_F(LogiqueFenetre, AProposEtAide) {
  port.branche(4, emulateur);
  demarre();
  vue.timer = true;
  logique.APropos("");
  EXPECT_EQ(vue.ligneAPropos, "BRIXO VYK2 V1.29 sur COM4");
  EXPECT_FALSE(vue.timerPendantAPropos);
  EXPECT_TRUE(vue.timer);

  logique.Aide();
  EXPECT_EQ(vue.erreurs, std::vector<std::string>{"Fichier VYK2.chm non trouvé"});
  EXPECT_EQ(vue.ouverturesAide, 0);
  logique.FichierCHM = true;
  logique.Aide();
  EXPECT_EQ(vue.ouverturesAide, 1);
}

TEST_F(LogiqueFenetre, TouchesEtQuitter) {
  int graphe = 0, voltmetre = 0;
  logique.basculeGraphePleinEcran = [&] { ++graphe; };
  logique.basculeVoltmetrePleinEcran = [&] { ++voltmetre; };
  EXPECT_TRUE(logique.FormKeyDown(TLogiqueFenetre::Touche::F5));
  EXPECT_TRUE(logique.FormKeyDown(TLogiqueFenetre::Touche::F6));
  EXPECT_EQ(graphe, 1);
  EXPECT_EQ(voltmetre, 1);
  // The space bar goes on to the focused control until the acquisition uses it.
  EXPECT_FALSE(logique.FormKeyDown(TLogiqueFenetre::Touche::espace));
  logique.toucheAcquisition = [] { return true; };
  EXPECT_TRUE(logique.FormKeyDown(TLogiqueFenetre::Touche::espace));

  vue.timer = true;
  logique.Quitter();
  EXPECT_FALSE(vue.timer);
  EXPECT_TRUE(vue.fermee);
}

}  // namespace
