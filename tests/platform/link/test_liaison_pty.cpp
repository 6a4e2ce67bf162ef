// The link over real pseudo-terminals, with the Qt serial port and event loop.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSerialPort>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "../../link/vue_enregistreuse.h"
#include "core/link/liaison.h"
#include "platform/link/horloge_qt.h"
#include "platform/link/port_serie_qt.h"
#include "platform/link/ports.h"
#include "sim/pty/pty_sim.h"

using ::testing::Contains;
using ::testing::ElementsAre;

namespace fs = std::filesystem;

namespace {

QCoreApplication& application() {
  static int argc = 1;
  static char nom[] = "test_platform_link";
  static char* argv[] = {nom, nullptr};
  static QCoreApplication app(argc, argv);
  return app;
}

struct DossierPorts {
  fs::path chemin;
  DossierPorts() {
    char modele[] = "/tmp/vyk2-ports-XXXXXX";
    chemin = mkdtemp(modele);
  }
  ~DossierPorts() { fs::remove_all(chemin); }
};

// Command lines heard by one simulated interface (written on its thread).
struct Ecoute {
  std::mutex m;
  std::vector<std::string> lignes;
  void brancheSur(sim::PtySim& pty) {
    pty.setJournal([this](double, const std::string& l) {
      std::lock_guard<std::mutex> g(m);
      lignes.push_back(l);
    });
  }
  std::vector<std::string> copie() {
    std::lock_guard<std::mutex> g(m);
    return lignes;
  }
};

struct LiaisonPty : ::testing::Test {
  DossierPorts dossier;
  HorlogeQt horloge;
  PortSerieQt port{CartePorts(dossier.chemin.string(), false)};
  VueEnregistreuse vue;
  TLiaison liaison{port, horloge, vue};

  static void SetUpTestSuite() { application(); }

  std::unique_ptr<sim::PtySim> interface(int com, sim::ConfigEmulateur config = {}) {
    return std::make_unique<sim::PtySim>(com, dossier.chemin.string(), std::move(config));
  }
  std::unique_ptr<sim::PtySim> muette(int com) {
    auto p = interface(com);
    p->avec([](sim::Emulateur& e) { e.pannes().silencieux = true; });
    return p;
  }
  bool attendsQue(const std::function<bool()>& condition, double maxMs = 5000) {
    const double fin = horloge.maintenantMs() + maxMs;
    while (!condition()) {
      if (horloge.maintenantMs() > fin) return false;
      horloge.pompe(20);
    }
    return true;
  }
};

TEST_F(LiaisonPty, TrouveeSurCom7ApresPortsAbsentsEtMuets) {
  auto com5 = muette(5);
  auto com7 = interface(7);
  Ecoute ecoute;
  ecoute.brancheSur(*com7);
  liaison.NumCom = 1;

  ASSERT_TRUE(liaison.detecteInterface());

  EXPECT_EQ(liaison.NumCom, 7);
  EXPECT_EQ(liaison.NumeroVersion, 129);
  EXPECT_EQ(vue.statut[0], "Brixo VYK II présente");
  EXPECT_FALSE(vue.brixoAbsent);
  EXPECT_EQ(port.cheminOuvert(), com7->lien());
  ASSERT_TRUE(attendsQue([&] { return ecoute.copie().size() >= 4; }));
  EXPECT_THAT(ecoute.copie(), ElementsAre("WVERSION", "WRESET", "WBIN", "WBAUDS 1"));
  com7->avec([](sim::Emulateur& e) {
    EXPECT_EQ(e.etat().indexVitesse, 1);
    EXPECT_TRUE(e.etat().binaire);
    e.etat().entrees[4].code = -321;
  });
  EXPECT_EQ(liaison.getInt("WEA 4"), -321);
}

TEST_F(LiaisonPty, NonTrouvee) {
  auto com3 = muette(3);
  EXPECT_FALSE(liaison.detecteInterface());
  EXPECT_FALSE(liaison.BrixoPresent);
  EXPECT_EQ(vue.statut[0], "Brixo VYK II non détectée sur COM3");
  EXPECT_TRUE(vue.brixoAbsent);
  EXPECT_EQ(vue.commandesCoupees, 1);
  EXPECT_FALSE(port.estOuvert());
}

TEST_F(LiaisonPty, PortTenuParUnAutreProgramme) {
  auto com2 = interface(2);
  auto com4 = interface(4);
  // Another program holds COM2 the way serial terminals do.
  const int autre = ::open(com2->lien().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(autre, 0);
  ASSERT_EQ(::flock(autre, LOCK_EX | LOCK_NB), 0);
  EXPECT_TRUE(liaison.portExiste(2));

  EXPECT_TRUE(liaison.detecteInterface());
  ::close(autre);

  EXPECT_THAT(vue.statuts0, Contains("Erreur  gestion voie série"));
  EXPECT_EQ(liaison.NumCom, 4);
  EXPECT_EQ(vue.statut[0], "Brixo VYK II présente");
}

TEST_F(LiaisonPty, PortTenuParUnAutreProgrammeQt) {
  auto com1 = interface(1);
  QSerialPort autre(QString::fromStdString(com1->lien()));
  ASSERT_TRUE(autre.open(QIODevice::ReadWrite));
  EXPECT_EQ(port.ouvre(1), ResultatOuverture::accesRefuse);
  autre.close();
  EXPECT_EQ(port.ouvre(1), ResultatOuverture::ouvert);
}

TEST_F(LiaisonPty, Version120SansMonocoup) {
  sim::ConfigEmulateur c;
  c.version = "BRIXO VYK2 V1.20";
  auto com1 = interface(1, c);
  liaison.TestROM = false;
  liaison.indexVitesse = 0;
  ASSERT_TRUE(liaison.detecteInterface());
  EXPECT_EQ(liaison.NumeroVersion, 120);
  EXPECT_FALSE(liaison.SynchroMonocoupPermis);
}

TEST_F(LiaisonPty, SautDeLigneApresLaReponseEtVitesseZero) {
  sim::ConfigEmulateur c;
  c.version = "BRIXO VYK2 V1.29\r\n";
  auto com1 = interface(1, c);
  Ecoute ecoute;
  ecoute.brancheSur(*com1);
  liaison.indexVitesse = 0;
  ASSERT_TRUE(liaison.detecteInterface());
  EXPECT_EQ(liaison.VersionBrixo, "BRIXO VYK2 V1.29");
  ASSERT_TRUE(attendsQue([&] { return ecoute.copie().size() >= 3; }));
  horloge.attends(100);  // nothing more may follow
  EXPECT_THAT(ecoute.copie(), ElementsAre("WVERSION", "WRESET", "WBIN"));
}

TEST_F(LiaisonPty, RequeteSansReponseDonneZero) {
  auto com1 = interface(1);
  liaison.indexVitesse = 0;
  ASSERT_TRUE(liaison.detecteInterface());
  com1->avec([](sim::Emulateur& e) {
    e.etat().entrees[1].code = 1000;
    e.pannes().silencieux = true;
  });
  const double t0 = horloge.maintenantMs();
  EXPECT_EQ(liaison.getInt("WEA 1"), 0);
  EXPECT_EQ(liaison.getLongWord("WPER 1"), 0u);
  // Quiet-line pass, then the 5- and 10-tick budgets: the window ran meanwhile.
  EXPECT_LT(horloge.maintenantMs() - t0, 2000);
  com1->avec([](sim::Emulateur& e) { e.pannes().silencieux = false; });
  EXPECT_EQ(liaison.getInt("WEA 1"), 1000);
}

TEST_F(LiaisonPty, DebrancheEnMarcheSansPlantageEtRetrouveeApres) {
  auto com6 = interface(6);
  liaison.indexVitesse = 0;
  ASSERT_TRUE(liaison.detecteInterface());
  com6->debrancher();
  // Traffic into a vanished port must neither crash nor hang.
  liaison.ecritBrixo("WSBIT 0");
  liaison.getInt("WEA 1");
  ASSERT_TRUE(attendsQue([&] { return !liaison.BrixoPresent; }));
  EXPECT_TRUE(vue.brixoAbsent);
  EXPECT_EQ(vue.statut[0], "Brixo VYK II non détectée sur COM6");
  EXPECT_FALSE(liaison.detecteInterface());

  com6->rebrancher();
  ASSERT_TRUE(liaison.detecteInterface());
  EXPECT_FALSE(vue.brixoAbsent);
  EXPECT_EQ(vue.statut[0], "Brixo VYK II présente");
}

TEST_F(LiaisonPty, DebrancheAuReposEstRemarque) {
  auto com2 = interface(2);
  liaison.indexVitesse = 0;
  ASSERT_TRUE(liaison.detecteInterface());
  com2->debrancher();
  ASSERT_TRUE(attendsQue([&] { return !liaison.BrixoPresent; }));
  EXPECT_TRUE(vue.brixoAbsent);
  EXPECT_FALSE(port.estOuvert());
}

TEST(CartePorts, LeLienDuDossierEtSesAbsences) {
  DossierPorts d;
  CartePorts carte(d.chemin.string(), false);
  EXPECT_EQ(carte.chemin(3), "");
  fs::create_symlink("/dev/null", d.chemin / "COM3");  // a character device
  EXPECT_EQ(carte.chemin(3), (d.chemin / "COM3").string());
  fs::create_symlink(d.chemin / "disparu", d.chemin / "COM4");
  EXPECT_EQ(carte.chemin(4), "");
  std::ofstream(d.chemin / "COM5") << "x";  // not a device
  EXPECT_EQ(carte.chemin(5), "");
  EXPECT_EQ(carte.chemin(0), "");
}

TEST(CartePorts, DossierParDefautCommeLeSimulateur) {
  ::setenv("VYK2_PORTS_DIR", "/tmp/ailleurs", 1);
  EXPECT_EQ(dossierPortsParDefaut(), "/tmp/ailleurs");
  EXPECT_EQ(dossierPortsParDefaut(), sim::dossierPortsParDefaut());
  ::unsetenv("VYK2_PORTS_DIR");
  EXPECT_EQ(dossierPortsParDefaut(), sim::dossierPortsParDefaut());
}

TEST(CartePorts, PortsSystemeReelsEtOrdonnes) {
  const auto ports = CartePorts::portsSysteme();
  for (const auto& p : ports) EXPECT_TRUE(fs::exists(p)) << p;
  CartePorts carte("", true);
  for (std::size_t i = 0; i < ports.size(); ++i) EXPECT_EQ(carte.chemin(int(i) + 1), ports[i]);
  EXPECT_EQ(carte.chemin(int(ports.size()) + 1), "");
}

}  // namespace
