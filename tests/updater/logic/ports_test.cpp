// COM numbers to devices, and the real port against the emulator on a pty.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <unistd.h>

#include "outils_hex.h"
#include "sim/pty/pty_sim.h"
#include "updater/logic/boucle_systeme.h"
#include "updater/logic/majvyk2.h"
#include "updater/logic/ports.h"

namespace fs = std::filesystem;

namespace {

class Dossier {
public:
  Dossier() {
    std::string modele = (fs::temp_directory_path() / "majvyk2-ports-XXXXXX").string();
    chemin = ::mkdtemp(modele.data());
  }
  ~Dossier() {
    std::error_code ec;
    fs::remove_all(chemin, ec);
  }
  fs::path chemin;
};

void toucher(const fs::path& p, const std::string& texte = "") {
  fs::create_directories(p.parent_path());
  std::ofstream(p) << texte;
}

// Sets an environment variable for the scope of a test.
class Variable {
public:
  Variable(const char* nom, const char* valeur) : nom_(nom) {
    if (const char* v = std::getenv(nom)) avant_ = v;
    if (valeur) {
      ::setenv(nom, valeur, 1);
    } else {
      ::unsetenv(nom);
    }
  }
  ~Variable() {
    if (avant_) {
      ::setenv(nom_, avant_->c_str(), 1);
    } else {
      ::unsetenv(nom_);
    }
  }

private:
  const char* nom_;
  std::optional<std::string> avant_;
};

TEST(Ports, FolderOfTheLinks) {
  {
    Variable a("VYK2_PORTS_DIR", "/x/ports");
    EXPECT_EQ(majvyk2::dossierPorts(), "/x/ports");
  }
  Variable a("VYK2_PORTS_DIR", "");
  Variable h("HOME", "/home/eleve");
  {
    Variable x("XDG_RUNTIME_DIR", "/run/user/1000");
    EXPECT_EQ(majvyk2::dossierPorts(), "/run/user/1000/vyk2/ports");
  }
  {
    Variable x("XDG_RUNTIME_DIR", "relatif");
    EXPECT_EQ(majvyk2::dossierPorts(), "/home/eleve/.local/state/vyk2/ports");
  }
  Variable x("XDG_RUNTIME_DIR", nullptr);
  EXPECT_EQ(majvyk2::dossierPorts(), "/home/eleve/.local/state/vyk2/ports");
}

TEST(Ports, DevicesInStableOrderAndLinksFirst) {
  Dossier d;
  const fs::path dev = d.chemin / "dev";
  const fs::path sys = d.chemin / "sys";
  for (const char* nom : {"ttyS1", "ttyS0", "ttyS10", "ttyS2", "ttyUSB10", "ttyUSB2", "ttyACM0", "ttySX",
                          "tty0", "ttyUSB"})
    toucher(dev / nom);
  // Only ttyS0 and ttyS10 have a UART behind them.
  toucher(sys / "ttyS0" / "type", "4\n");
  toucher(sys / "ttyS1" / "type", "0\n");
  toucher(sys / "ttyS10" / "type", "4\n");
  const auto liste = majvyk2::peripheriquesSerie(dev.string(), sys.string());
  const std::vector<std::string> attendu = {(dev / "ttyUSB2").string(), (dev / "ttyUSB10").string(),
                                            (dev / "ttyACM0").string(), (dev / "ttyS0").string(),
                                            (dev / "ttyS10").string()};
  EXPECT_EQ(liste, attendu);

  const fs::path liens = d.chemin / "ports";
  fs::create_directories(liens);
  fs::create_symlink("/dev/null", liens / "COM2");
  fs::create_symlink(liens / "absent", liens / "COM4");  // dangling: the device went away
  EXPECT_EQ(majvyk2::cheminPort(1, liens.string(), liste), attendu[0]);
  EXPECT_EQ(majvyk2::cheminPort(2, liens.string(), liste), (liens / "COM2").string());
  EXPECT_EQ(majvyk2::cheminPort(4, liens.string(), liste), (liens / "COM4").string());
  EXPECT_EQ(majvyk2::cheminPort(5, liens.string(), liste), attendu[4]);
  EXPECT_EQ(majvyk2::cheminPort(6, liens.string(), liste), "");
  EXPECT_EQ(majvyk2::cheminPort(0, liens.string(), liste), "");
}

class VueMuette final : public majvyk2::Vue {
public:
  void afficher(const majvyk2::EtatFenetre& e) override { dernier = e; }
  void boite(majvyk2::Icone, const std::string& t) override { boites.push_back(t); }
  void terminer() override { ++fins; }
  majvyk2::EtatFenetre dernier;
  std::vector<std::string> boites;
  int fins = 0;
};

// The three steps in real time over a pseudo-terminal, with the real port code.
TEST(PortPosix, FullUpdateOverAPty) {
  Dossier d;
  Variable v("VYK2_PORTS_DIR", (d.chemin / "ports").c_str());
  sim::PtySim pty(3, (d.chemin / "ports").string());
  std::mutex m;
  std::vector<std::string> journal;
  pty.setJournal([&](double, const std::string& l) {
    std::lock_guard<std::mutex> g(m);
    journal.push_back(l);
  });
  const std::string contenu = majtest::fichierHex("1.40", 3000);
  majtest::ecrire((d.chemin / "codevyk2.hex").string(), contenu);

  majvyk2::PortPosix port;
  majvyk2::BoucleSysteme boucle;
  VueMuette vue;
  majvyk2::Reglages r;
  r.cheminFichier = (d.chemin / "codevyk2.hex").string();
  r.dernierPort = 3;  // ports 1 and 2 are whatever this machine has
  r.premierPort = 3;
  majvyk2::MiseAJour maj(port, boucle, vue, r);
  maj.demarrer();
  maj.Command4_Click();
  ASSERT_EQ(maj.portTrouve, 3);
  maj.Command4_Click();
  EXPECT_EQ(maj.versionFichier, "1.40");
  maj.Command4_Click();

  EXPECT_TRUE(vue.boites.empty());
  EXPECT_EQ(vue.dernier.lab1, std::string(majvyk2::textes::succes) + " V1.40");
  EXPECT_EQ(maj.morceaux, (3000u + 511u) / 512u);
  EXPECT_EQ(port.vitesse(), 9600);
  EXPECT_TRUE(port.estOuvert());
  pty.avec([](sim::Emulateur& e) {
    EXPECT_EQ(e.etat().octetsHex, 3000u);
    EXPECT_TRUE(e.etat().hexValide);
  });
  std::lock_guard<std::mutex> g(m);
  const std::vector<std::string> attendu = {"WVERSION", "WVERSION", "WDEBUG", "WBAUDS 1", "WERR",
                                            "WROM",     "HEX 3000 octets", "WVERSION"};
  EXPECT_EQ(journal, attendu);
}

TEST(PortPosix, MissingDeviceDoesNotOpen) {
  Dossier d;
  majvyk2::PortPosix port;
  EXPECT_FALSE(port.ouvrirChemin((d.chemin / "COM9").string()));
  EXPECT_FALSE(port.estOuvert());
  EXPECT_NE(port.derniereErreur().find("COM9"), std::string::npos);
  // A plain file is no serial port.
  toucher(d.chemin / "fichier");
  EXPECT_FALSE(port.ouvrirChemin((d.chemin / "fichier").string()));
  EXPECT_FALSE(port.ecrire("WVERSION\r"));
}

}  // namespace
