#include "sim/pty/pty_sim.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <mutex>
#include <optional>
#include <vector>

#include "client.h"
#include "../emulator/hex_test_util.h"

namespace {

using simtest::Client;
using simtest::DossierTemporaire;

class PtySimTest : public ::testing::Test {
protected:
  void SetUp() override {
    pty = std::make_unique<sim::PtySim>(7, dossier.chemin() + "/ports", sim::ConfigEmulateur{}, sim::Pannes{},
                                        [this](double t, const std::string& l) {
                                          std::lock_guard<std::mutex> g(m);
                                          journal.emplace_back(t, l);
                                        });
  }
  std::vector<std::string> textes() {
    std::lock_guard<std::mutex> g(m);
    std::vector<std::string> v;
    for (const auto& [t, l] : journal) v.push_back(l);
    return v;
  }
  bool emulateurAuRepos() {
    bool repos = false;
    pty->avec([&](sim::Emulateur& e) { repos = std::isinf(e.prochaineEmission()); });
    return repos;
  }

  DossierTemporaire dossier;
  std::unique_ptr<sim::PtySim> pty;
  std::mutex m;
  std::vector<std::pair<double, std::string>> journal;
};

TEST_F(PtySimTest, PortLinkAnswersTheVersionRawAndLogsWithUnixTime) {
  const std::string lien = dossier.chemin() + "/ports/COM7";
  EXPECT_EQ(pty->lien(), lien);
  ASSERT_TRUE(std::filesystem::is_symlink(lien));
  EXPECT_EQ(std::filesystem::read_symlink(lien).string(), pty->cheminEsclave());

  Client c(lien);
  ASSERT_TRUE(c.ouvert());
  const double avant = std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
  ASSERT_TRUE(c.ecrit("WVERSION\r\n"));
  EXPECT_EQ(c.ligne(), "BRIXO VYK2 V1.29\r");
  ASSERT_TRUE(simtest::attend([&] { return !textes().empty(); }));
  std::lock_guard<std::mutex> g(m);
  EXPECT_EQ(journal[0].second, "WVERSION");
  EXPECT_NEAR(journal[0].first, avant, 5.0);
}

TEST_F(PtySimTest, SurvivesClientsComingAndGoing) {
  const std::string lien = pty->lien();
  for (int i = 0; i < 20; ++i) {
    std::optional<Client> c(std::in_place, lien);
    ASSERT_TRUE(c->ouvert());
    ASSERT_TRUE(c->ecrit(i % 2 ? "WVERSION\r" : "WDEBUG\r"));
    if (i % 3 == 0) {
      // Gone once the interface has answered, before the answer is read:
      // the next client must not find that answer.
      ASSERT_TRUE(simtest::attend([&] { return textes().size() == static_cast<std::size_t>(i + 1); }));
      ASSERT_TRUE(simtest::attend([&] { return emulateurAuRepos(); }));
      const int fermetures = pty->fermetures();
      c.reset();
      ASSERT_TRUE(simtest::attend([&] { return pty->fermetures() > fermetures; }));
      continue;
    }
    EXPECT_EQ(c->ligne(), i % 2 ? "BRIXO VYK2 V1.29\r" : "0,0\r") << i;
  }
}

TEST_F(PtySimTest, AnswerToAClientThatLeftIsNotServedToTheNextOne) {
  pty->avec([](sim::Emulateur& e) { e.pannes().retardMs = 100; });
  {
    Client c(pty->lien());
    ASSERT_TRUE(c.ecrit("WVERSION\r"));
    ASSERT_TRUE(simtest::attend([&] { return textes().size() == 1; }));
  }
  // The late answer goes out while nobody has the port open.
  ASSERT_TRUE(simtest::attend([&] { return emulateurAuRepos(); }));
  pty->avec([](sim::Emulateur& e) { e.pannes().retardMs = 0; });
  Client c(pty->lien());
  ASSERT_TRUE(c.ecrit("WDEBUG\r"));
  EXPECT_EQ(c.ligne(), "0,0\r");
}

TEST_F(PtySimTest, FaultsSwitchedWhileRunning) {
  Client c(pty->lien());
  pty->avec([](sim::Emulateur& e) { e.pannes().silencieux = true; });
  ASSERT_TRUE(c.ecrit("WVERSION\r"));
  ASSERT_TRUE(simtest::attend([&] { return textes().size() == 1; }));
  EXPECT_EQ(c.ligne(200), "");

  pty->avec([](sim::Emulateur& e) { e.pannes() = {false, 0, true}; });
  ASSERT_TRUE(c.ecrit("WVERSION\r"));
  const std::string bruit = c.octets(17);
  EXPECT_EQ(bruit.size(), 17u);
  EXPECT_EQ(bruit.find("VYK2"), std::string::npos);

  pty->avec([](sim::Emulateur& e) { e.pannes() = {false, 120, false}; });
  const auto debut = simtest::Horloge::now();
  ASSERT_TRUE(c.ecrit("WVERSION\r"));
  EXPECT_EQ(c.ligne(), "BRIXO VYK2 V1.29\r");
  EXPECT_GE(simtest::Horloge::now() - debut, std::chrono::milliseconds(120));
}

TEST_F(PtySimTest, UnplugRemovesThePortAndReplugBringsItBack) {
  Client c(pty->lien());
  ASSERT_TRUE(c.ecrit("WBAUDS 2\r"));
  ASSERT_TRUE(simtest::attend([&] { return textes().size() == 1; }));

  pty->debrancher();
  EXPECT_FALSE(pty->branche());
  struct stat st {};
  EXPECT_NE(::lstat(pty->lien().c_str(), &st), 0);
  // The open client sees the line hang up rather than waiting forever.
  c.ligne(2000);
  EXPECT_TRUE(c.raccroche());
  EXPECT_FALSE(Client(pty->lien()).ouvert());

  pty->rebrancher();
  EXPECT_TRUE(pty->branche());
  Client d(pty->lien());
  ASSERT_TRUE(d.ouvert());
  ASSERT_TRUE(d.ecrit("WVERSION\r"));
  EXPECT_EQ(d.ligne(), "BRIXO VYK2 V1.29\r");
  int vitesse = -1;
  pty->avec([&](sim::Emulateur& e) { vitesse = e.etat().indexVitesse; });
  EXPECT_EQ(vitesse, 0);
}

TEST_F(PtySimTest, FirmwareFileOverThePty) {
  const std::string hex = simtest::fichierHex("2.10", 40000);
  Client c(pty->lien());
  ASSERT_TRUE(c.ecrit("WERR\rWROM\r"));
  for (std::size_t i = 0; i < hex.size(); i += 512) ASSERT_TRUE(c.ecrit(hex.substr(i, 512)));
  EXPECT_EQ(c.octets(1, 5000), "0");
  ASSERT_TRUE(c.ecrit("WVERSION\r"));
  EXPECT_EQ(c.ligne(), "BRIXO VYK2 V2.10\r");
  EXPECT_EQ(textes(), (std::vector<std::string>{"WERR", "WROM", "HEX " + std::to_string(hex.size()) + " octets",
                                                "WVERSION"}));
}

TEST(PtySimLien, StaleLinkIsReplacedAndAForeignFileIsLeftAlone) {
  DossierTemporaire d;
  const std::string ports = d.chemin() + "/ports";
  std::filesystem::create_directories(ports);
  std::filesystem::create_symlink("/dev/pts/nonexistent", ports + "/COM2");
  {
    sim::PtySim p(2, ports);
    EXPECT_EQ(std::filesystem::read_symlink(ports + "/COM2").string(), p.cheminEsclave());
  }
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(ports + "/COM2")));
  { std::ofstream(ports + "/COM4") << "x"; }
  EXPECT_THROW(sim::PtySim(4, ports), std::runtime_error);
  EXPECT_EQ(simtest::contenu(ports + "/COM4"), "x");
}

TEST(PtySimDebit, LineTimingHoldsTheAnswerForItsLineTime) {
  DossierTemporaire d;
  sim::ConfigEmulateur config;
  config.debitReel = true;
  sim::PtySim p(1, d.chemin(), config);
  Client c(p.lien());
  const auto debut = simtest::Horloge::now();
  ASSERT_TRUE(c.ecrit("WVERSION\r"));
  EXPECT_EQ(c.ligne(), "BRIXO VYK2 V1.29\r");
  // 17 bytes of 10 bits at 9600 bauds: about 17.7 ms.
  EXPECT_GE(simtest::Horloge::now() - debut, std::chrono::microseconds(17700));
}

TEST(DossierPorts, DefaultFolderFollowsTheEnvironment) {
  struct Cas {
    const char* ports;
    const char* runtime;
    std::string attendu;
  };
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  const std::vector<Cas> cas = {
      {"/a/b", "/run/user/1", "/a/b"},
      {nullptr, "/run/user/1", "/run/user/1/vyk2/ports"},
      {"", "/run/user/1", "/run/user/1/vyk2/ports"},
      {nullptr, nullptr, home + "/.local/state/vyk2/ports"},
      {nullptr, "relatif", home + "/.local/state/vyk2/ports"},
  };
  const char* ancienPorts = std::getenv("VYK2_PORTS_DIR");
  const char* ancienRuntime = std::getenv("XDG_RUNTIME_DIR");
  const std::string sauvePorts = ancienPorts ? ancienPorts : "";
  const std::string sauveRuntime = ancienRuntime ? ancienRuntime : "";
  for (const auto& c : cas) {
    c.ports ? ::setenv("VYK2_PORTS_DIR", c.ports, 1) : ::unsetenv("VYK2_PORTS_DIR");
    c.runtime ? ::setenv("XDG_RUNTIME_DIR", c.runtime, 1) : ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(sim::dossierPortsParDefaut(), c.attendu);
  }
  ancienPorts ? ::setenv("VYK2_PORTS_DIR", sauvePorts.c_str(), 1) : ::unsetenv("VYK2_PORTS_DIR");
  ancienRuntime ? ::setenv("XDG_RUNTIME_DIR", sauveRuntime.c_str(), 1) : ::unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
