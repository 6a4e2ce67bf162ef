// vyk2-sim as a real process: the port link, the log, the options, signals.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "../emulator/hex_test_util.h"
#include "client.h"

extern char** environ;

namespace {

using simtest::Client;
using simtest::DossierTemporaire;

const std::string programme = std::string(VYK2_BINARY_DIR) + "/src/sim/app/vyk2-sim";

class Processus {
public:
  Processus(const std::vector<std::string>& args, const std::vector<std::string>& env = {}) {
    std::vector<std::string> tout = {programme};
    tout.insert(tout.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : tout) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envStr = env;
    for (char** e = environ; *e; ++e) envStr.emplace_back(*e);
    std::vector<char*> envp;
    for (auto& e : envStr) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&pid_, programme.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Processus() {
    if (pid_ > 0 && !statut_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  void signal(int s) { ::kill(pid_, s); }
  // Exit status, or nullopt when it has not ended within the timeout.
  std::optional<int> fin(int timeoutMs = 5000) {
    simtest::attend(
        [&] {
          int st = 0;
          if (::waitpid(pid_, &st, WNOHANG) == pid_) statut_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
          return statut_.has_value();
        },
        timeoutMs);
    return statut_;
  }

private:
  pid_t pid_ = -1;
  std::optional<int> statut_;
};

std::vector<std::string> lignes(const std::string& texte) {
  std::vector<std::string> v;
  std::istringstream in(texte);
  for (std::string l; std::getline(in, l);) v.push_back(l);
  return v;
}

// The log's texts once it holds n lines; each line is checked for its form.
std::vector<std::string> journal(const std::string& chemin, std::size_t n) {
  std::vector<std::string> textes;
  if (!simtest::attend([&] { return lignes(simtest::contenu(chemin)).size() >= n; })) {
    ADD_FAILURE() << "log:\n" << simtest::contenu(chemin);
    return textes;
  }
  const double maintenant =
      std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
  const std::regex forme(R"(^(\d+\.\d{3}) (.+)$)");
  for (const auto& l : lignes(simtest::contenu(chemin))) {
    std::smatch m;
    EXPECT_TRUE(std::regex_match(l, m, forme)) << l;
    if (m.empty()) continue;
    EXPECT_NEAR(std::stod(m[1]), maintenant, 60.0) << l;
    textes.push_back(m[2]);
  }
  return textes;
}

class Vyk2SimTest : public ::testing::Test {
protected:
  std::string ports() const { return dossier.chemin() + "/ports"; }
  std::string log() const { return dossier.chemin() + "/log"; }
  std::unique_ptr<Processus> lance(int com, std::vector<std::string> options = {}) {
    std::vector<std::string> args = {"--com", std::to_string(com), "--ports-dir", ports(), "--log", log()};
    args.insert(args.end(), options.begin(), options.end());
    auto p = std::make_unique<Processus>(args);
    const std::string lien = ports() + "/COM" + std::to_string(com);
    EXPECT_TRUE(simtest::attend([&] { return std::filesystem::is_symlink(lien); })) << lien;
    return p;
  }
  DossierTemporaire dossier;
};

TEST_F(Vyk2SimTest, DetectionDialogueIsLoggedInOrderAndTermRemovesTheLink) {
  auto p = lance(3);
  {
    Client c(ports() + "/COM3");
    ASSERT_TRUE(c.ouvert());
    ASSERT_TRUE(c.ecrit("WVERSION\r"));
    EXPECT_EQ(c.ligne(), "BRIXO VYK2 V1.29\r");
    ASSERT_TRUE(c.ecrit("WRESET\rWBIN\rWBAUDS 1\r"));
    EXPECT_EQ(journal(log(), 4), (std::vector<std::string>{"WVERSION", "WRESET", "WBIN", "WBAUDS 1"}));
  }
  p->signal(SIGTERM);
  EXPECT_EQ(p->fin(), 0);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(ports() + "/COM3")));
}

TEST_F(Vyk2SimTest, UpdaterDialogueWithItsReopeningAtTheNewSpeed) {
  auto p = lance(5);
  const std::string hex = simtest::fichierHex("2.10", 40000);
  {
    Client c(ports() + "/COM5");
    ASSERT_TRUE(c.ecrit("WVERSION\r"));
    EXPECT_EQ(c.ligne(), "BRIXO VYK2 V1.29\r");
    ASSERT_TRUE(c.ecrit("WVERSION\r"));
    EXPECT_EQ(c.ligne(), "BRIXO VYK2 V1.29\r");
    ASSERT_TRUE(c.ecrit("WDEBUG\r"));
    EXPECT_EQ(c.ligne(), "0,0\r");
    ASSERT_TRUE(c.ecrit("WBAUDS 1\r"));
  }  // closed and opened again at 19200
  Client c(ports() + "/COM5");
  ASSERT_TRUE(c.ecrit("WERR\rWROM\r"));
  for (std::size_t i = 0; i < hex.size(); i += 512) ASSERT_TRUE(c.ecrit(hex.substr(i, 512)));
  EXPECT_EQ(c.octets(1, 10000), "0");
  ASSERT_TRUE(c.ecrit("WVERSION\r"));
  EXPECT_EQ(c.ligne(), "BRIXO VYK2 V2.10\r");
  EXPECT_EQ(journal(log(), 8),
            (std::vector<std::string>{"WVERSION", "WVERSION", "WDEBUG", "WBAUDS 1", "WERR", "WROM",
                                      "HEX " + std::to_string(hex.size()) + " octets", "WVERSION"}));
}

TEST_F(Vyk2SimTest, OptionsChangeTheAnswers) {
  struct Cas {
    std::vector<std::string> options;
    std::string envoi;
    std::string attendu;  // exactly what comes back within the wait
    int attenteMs;
  };
  const std::string hex = simtest::fichierHex("2.10", 1000);
  const std::vector<Cas> cas = {
      {{"--version", "BRIXO VYK2 V1.20"}, "WVERSION\r", "BRIXO VYK2 V1.20\r", 2000},
      {{"--debug-reply", "1,0"}, "WDEBUG\r", "1,0\r", 2000},
      {{"--debug-reply", "none"}, "WDEBUG\rWVERSION\r", "BRIXO VYK2 V1.29\r", 2000},
      {{"--rom-report", "5"}, "WROM\r" + hex, "5", 2000},
      {{"--silent"}, "WVERSION\r", "", 300},
      // 2.5 V is code 8192, 1 V code 3277, -1 V code -3277; 10 ms is 80000 ticks.
      {{"--input", "3=constant:off=2.5"}, "WEA 3\r", std::string("\x00\x20", 2), 2000},
      {{"--input", "11=square:amp=1,off=0,freq=0.001"}, "WEA 11\r", std::string("\xCD\x0C", 2), 2000},
      {{"--sensor", "11=42", "--input", "10=constant:off=-1"}, "WRECO\r",
       std::string("\x00\x2A\x33\xF3\x00\x00", 6), 2000},
      {{"--binary", "3=1"}, "WEBIT 3\r", "\x01", 2000},
      {{"--position", "30007"}, "WLPOSITION\r", "\x37\x75", 2000},
      {{"--period", "2=1000"}, "WPER 2\r", std::string("\xE8\x03\x00\x00", 4), 2000},
      {{"--input", "ef1=square:amp=2.5,off=2.5,freq=100"}, "WPER 1\r", std::string("\x80\x38\x01\x00", 4), 2000},
      {{"--auto", "77"}, "WAUTO 128\r", std::string("\x4D\x00\x00\x00", 4), 2000},
  };
  int com = 10;
  for (const auto& c : cas) {
    auto p = lance(com, c.options);
    Client client(ports() + "/COM" + std::to_string(com));
    ASSERT_TRUE(client.ecrit(c.envoi));
    EXPECT_EQ(client.litJusqua([&](const std::string& s) { return s.size() >= c.attendu.size() && !s.empty(); },
                               c.attenteMs),
              c.attendu)
        << c.options[0];
    ++com;
  }
}

TEST_F(Vyk2SimTest, LateAndGarbledAnswers) {
  {
    auto p = lance(1, {"--late", "150"});
    Client c(ports() + "/COM1");
    const auto debut = simtest::Horloge::now();
    ASSERT_TRUE(c.ecrit("WVERSION\r"));
    EXPECT_EQ(c.ligne(), "BRIXO VYK2 V1.29\r");
    EXPECT_GE(simtest::Horloge::now() - debut, std::chrono::milliseconds(150));
  }
  auto p = lance(2, {"--garbage"});
  Client c(ports() + "/COM2");
  ASSERT_TRUE(c.ecrit("WVERSION\r"));
  const std::string r = c.octets(17);
  EXPECT_EQ(r.size(), 17u);
  EXPECT_EQ(r.find("VYK2"), std::string::npos);
}

TEST_F(Vyk2SimTest, Usr1UnplugsAndUsr2PlugsBack) {
  auto p = lance(4);
  const std::string lien = ports() + "/COM4";
  p->signal(SIGUSR1);
  EXPECT_TRUE(simtest::attend([&] { return !std::filesystem::exists(std::filesystem::symlink_status(lien)); }));
  p->signal(SIGUSR2);
  ASSERT_TRUE(simtest::attend([&] { return std::filesystem::is_symlink(lien); }));
  Client c(lien);
  ASSERT_TRUE(c.ecrit("WVERSION\r"));
  EXPECT_EQ(c.ligne(), "BRIXO VYK2 V1.29\r");
}

TEST_F(Vyk2SimTest, PortsFolderFromTheEnvironment) {
  Processus p({"--com", "6"}, {"VYK2_PORTS_DIR=" + ports()});
  ASSERT_TRUE(simtest::attend([&] { return std::filesystem::is_symlink(ports() + "/COM6"); }));
  p.signal(SIGINT);
  EXPECT_EQ(p.fin(), 0);
}

TEST(Vyk2SimArguments, BadArgumentsAreRefused) {
  const std::vector<std::vector<std::string>> cas = {
      {}, {"--com", "0"}, {"--com", "51"}, {"--com", "x"}, {"--com"}, {"--com", "1", "--late", "-3"},
      {"--com", "1", "--rom-report", "12"}, {"--com", "1", "--bogus"},
      {"--com", "1", "--input", "12=sine"}, {"--com", "1", "--input", "3=sinus"},
      {"--com", "1", "--input", "3=sine:amp=x"}, {"--com", "1", "--input", "ef3=sine"},
      {"--com", "1", "--sensor", "9=1"}, {"--com", "1", "--sensor", "10=256"},
      {"--com", "1", "--binary", "8=1"}, {"--com", "1", "--position", "70000"},
      {"--com", "1", "--period", "3=5"}, {"--com", "1", "--auto", "-1"},
  };
  for (const auto& args : cas) {
    Processus p(args);
    EXPECT_EQ(p.fin(), 2) << (args.empty() ? "(none)" : args.back());
  }
  Processus aide({"--help"});
  EXPECT_EQ(aide.fin(), 0);
}

}  // namespace
