#include "sim/emulator/emulateur.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "hex_test_util.h"

namespace {

using sim::ConfigEmulateur;
using sim::Emulateur;

struct Ligne {
  double t;
  std::string texte;
};

class EmulateurTest : public ::testing::Test {
protected:
  explicit EmulateurTest(ConfigEmulateur c = {}) : emu(std::move(c)) {
    emu.setJournal([this](double t, const std::string& l) { journal.push_back({t, l}); });
  }

  void envoie(const std::string& s, double t) {
    emu.recoit(reinterpret_cast<const std::uint8_t*>(s.data()), s.size(), t);
  }
  std::string lit(double t) {
    std::string r;
    std::uint8_t buf[256];
    for (std::size_t n; (n = emu.emet(buf, sizeof buf, t)) > 0;) r.append(reinterpret_cast<char*>(buf), n);
    return r;
  }
  std::vector<std::string> textes() const {
    std::vector<std::string> v;
    for (const auto& l : journal) v.push_back(l.texte);
    return v;
  }

  Emulateur emu;
  std::vector<Ligne> journal;
};

TEST_F(EmulateurTest, AnswersTheCommandsOfDetectionAndUpdate) {
  struct Cas {
    std::string commande;
    std::string reponse;
  };
  const std::vector<Cas> cas = {
      {"WVERSION\r", "BRIXO VYK2 V1.29\r"}, {"WDEBUG\r", "0,0\r"}, {"WRESET\r", ""},
      {"WBIN\r", ""},                       {"WBAUDS 2\r", ""},    {"WERR\r", ""},
      {"WPOUET 1 2\r", ""},
  };
  double t = 0;
  for (const auto& c : cas) {
    envoie(c.commande, t);
    EXPECT_EQ(lit(t), c.reponse) << c.commande;
    t += 10;
  }
  EXPECT_EQ(textes(), (std::vector<std::string>{"WVERSION", "WDEBUG", "WRESET", "WBIN", "WBAUDS 2", "WERR",
                                                "WPOUET 1 2"}));
  EXPECT_EQ(emu.etat().nombreResets, 1);
  EXPECT_TRUE(emu.etat().binaire);
  EXPECT_EQ(emu.etat().indexVitesse, 2);
  EXPECT_EQ(emu.etat().inconnues, std::vector<std::string>{"WPOUET 1 2"});
  EXPECT_EQ(journal[3].t, 30.0);
}

TEST_F(EmulateurTest, SpeedIndexFollowsValidWbaudsAndResetReturnsTo9600) {
  const std::vector<std::pair<std::string, int>> cas = {
      {"WBAUDS 1", 1}, {"WBAUDS 3", 3}, {"WBAUDS 4", 3}, {"WBAUDS", 3}, {"WBAUDS x", 3}, {"WBAUDS 0", 0},
      {"WBAUDS 2", 2}, {"WRESET", 0},
  };
  for (const auto& [commande, index] : cas) {
    envoie(commande + "\r", 0);
    EXPECT_EQ(emu.etat().indexVitesse, index) << commande;
  }
  EXPECT_FALSE(emu.etat().binaire);
}

TEST_F(EmulateurTest, LinesMayBeSplitAnywhereAndLineFeedsAreIgnored) {
  envoie("WVER", 0);
  envoie("SI", 1);
  EXPECT_EQ(lit(1), "");
  envoie("ON\r\nWBI", 7);
  EXPECT_EQ(lit(7), "BRIXO VYK2 V1.29\r");
  envoie("N\n\r\r", 9);
  EXPECT_EQ(textes(), (std::vector<std::string>{"WVERSION", "WBIN"}));
  EXPECT_EQ(journal[0].t, 7.0);
  EXPECT_TRUE(emu.etat().binaire);
}

TEST_F(EmulateurTest, OverlongLineIsCutAndDoesNotStopLaterCommands) {
  envoie(std::string("W") + std::string(400, 'A') + "\rWVERSION\r", 0);
  ASSERT_EQ(journal.size(), 2u);
  EXPECT_EQ(journal[0].texte.size(), 255u);
  EXPECT_EQ(lit(0), "BRIXO VYK2 V1.29\r");
}

TEST(EmulateurConfig, VersionAndDebugReplyAreConfigurable) {
  struct Cas {
    std::optional<std::string> debug;
    std::string attendu;
  };
  for (const auto& c : std::vector<Cas>{{"0,0", "0,0\r"}, {"1,0", "1,0\r"}, {std::nullopt, ""}}) {
    ConfigEmulateur config;
    config.version = "BRIXO VYK2 V1.20";
    config.reponseDebug = c.debug;
    Emulateur e(config);
    const std::string cmd = "WVERSION\rWDEBUG\r";
    e.recoit(reinterpret_cast<const std::uint8_t*>(cmd.data()), cmd.size(), 0);
    std::uint8_t buf[64];
    const std::size_t n = e.emet(buf, sizeof buf, 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), n), "BRIXO VYK2 V1.20\r" + c.attendu);
  }
}

TEST_F(EmulateurTest, LateAnswerLeavesExactlyAfterTheDelay) {
  emu.pannes().retardMs = 150;
  envoie("WVERSION\r", 1000);
  EXPECT_EQ(emu.prochaineEmission(), 1150.0);
  EXPECT_EQ(lit(1149.9), "");
  EXPECT_EQ(lit(1150), "BRIXO VYK2 V1.29\r");
  EXPECT_TRUE(std::isinf(emu.prochaineEmission()));
}

TEST_F(EmulateurTest, SilentInterfaceHearsButNeverAnswers) {
  emu.pannes().silencieux = true;
  envoie("WVERSION\rWDEBUG\r", 0);
  EXPECT_TRUE(std::isinf(emu.prochaineEmission()));
  EXPECT_EQ(lit(1e9), "");
  EXPECT_EQ(textes(), (std::vector<std::string>{"WVERSION", "WDEBUG"}));
}

TEST_F(EmulateurTest, GarbageReplacesTheAnswer) {
  emu.pannes().charabia = true;
  envoie("WVERSION\r", 0);
  const std::string r = lit(0);
  EXPECT_EQ(r.size(), std::string("BRIXO VYK2 V1.29\r").size());
  EXPECT_EQ(r.find("VYK2"), std::string::npos);
  emu.pannes().charabia = false;
  envoie("WVERSION\r", 1);
  EXPECT_EQ(lit(1), "BRIXO VYK2 V1.29\r");
}

TEST(EmulateurDebit, LineTimingFollowsTheSpeed) {
  ConfigEmulateur c;
  c.debitReel = true;
  Emulateur e(c);
  const std::string cmd = "WVERSION\r";
  e.recoit(reinterpret_cast<const std::uint8_t*>(cmd.data()), cmd.size(), 0);
  // 17 bytes of 10 bits at 9600 bauds.
  const double d = 10.0 * 1000.0 / 9600;
  EXPECT_EQ(e.dureeOctetMs(), d);
  EXPECT_EQ(e.prochaineEmission(), d);
  std::uint8_t buf[64];
  EXPECT_EQ(e.emet(buf, sizeof buf, 17 * d - 0.01), 16u);
  EXPECT_EQ(e.emet(buf, sizeof buf, 17 * d), 1u);
  const std::string vite = "WBAUDS 3\rWVERSION\r";
  e.recoit(reinterpret_cast<const std::uint8_t*>(vite.data()), vite.size(), 100);
  const double d3 = 10.0 * 1000.0 / 57600;
  EXPECT_EQ(e.dureeOctetMs(), d3);
  EXPECT_EQ(e.emet(buf, sizeof buf, 100 + 17 * d3 - 0.001), 16u);
  EXPECT_EQ(e.emet(buf, sizeof buf, 100 + 17 * d3), 1u);
}

TEST_F(EmulateurTest, SingleByteQueriesAnswerTheInputCode) {
  emu.etat().entrees[10].code = -2;
  emu.etat().entrees[3].code = 0x1234;
  envoie("J", 0);
  EXPECT_EQ(lit(0), std::string("\xFE\xFF", 2));
  envoie("WEA 3\r", 1);
  EXPECT_EQ(lit(1), std::string("\x34\x12", 2));
  EXPECT_EQ(textes(), (std::vector<std::string>{"octet 74", "WEA 3"}));
}

TEST_F(EmulateurTest, WteleTakesExactlyItsRawBytes) {
  std::string table;
  for (int i = 0; i < 256; ++i) table += static_cast<char>(i);  // CR, LF and "W" included
  envoie("WTELE 256\r" + table.substr(0, 100), 0);
  envoie(table.substr(100) + "WVERSION\r", 2);
  EXPECT_EQ(textes(), (std::vector<std::string>{"WTELE 256", "TELE 256 octets", "WVERSION"}));
  ASSERT_EQ(emu.etat().table.size(), 256u);
  EXPECT_EQ(emu.etat().table[13], 13);
  EXPECT_EQ(emu.etat().table[255], 255);
  EXPECT_EQ(lit(2), "BRIXO VYK2 V1.29\r");
}

TEST_F(EmulateurTest, UnpluggedInterfaceLosesEverythingAndPowersUpAt9600) {
  emu.pannes().retardMs = 100;
  envoie("WBAUDS 2\rWBIN\rWVERSION\r", 0);
  emu.debrancher();
  EXPECT_EQ(lit(1000), "");
  envoie("WVERSION\r", 1000);
  EXPECT_EQ(lit(2000), "");
  emu.rebrancher();
  EXPECT_EQ(emu.etat().indexVitesse, 0);
  EXPECT_FALSE(emu.etat().binaire);
  emu.pannes().retardMs = 0;
  envoie("WVERSION\r", 3000);
  EXPECT_EQ(lit(3000), "BRIXO VYK2 V1.29\r");
}

// --- firmware file reception ---

class HexTest : public EmulateurTest {};

TEST_F(HexTest, CountsTheWholeFileReportsAndTakesTheNewVersion) {
  const std::string hex = simtest::fichierHex("2.10", 40000);
  envoie("WBAUDS 1\rWERR\rWROM\r", 0);
  // Sent in pieces of 512 bytes, as the updater does.
  double t = 10;
  for (std::size_t i = 0; i < hex.size(); i += 512, t += 1) envoie(hex.substr(i, 512), t);
  EXPECT_EQ(lit(t), "0");
  EXPECT_EQ(emu.etat().octetsHex, hex.size());
  EXPECT_TRUE(emu.etat().hexValide);
  EXPECT_EQ(emu.etat().misesAJour, 1);
  EXPECT_EQ(emu.etat().indexVitesse, 0);  // restarted on the new code
  EXPECT_EQ(textes(), (std::vector<std::string>{"WBAUDS 1", "WERR", "WROM",
                                                "HEX " + std::to_string(hex.size()) + " octets"}));
  envoie("WVERSION\r", t + 700);
  EXPECT_EQ(lit(t + 700), "BRIXO VYK2 V2.10\r");
}

TEST_F(HexTest, EveryLineEndFormAndByteByByteDelivery) {
  struct Cas {
    std::string finLigne;
    bool finFinale;
  };
  for (const auto& c : std::vector<Cas>{{"\r\n", true}, {"\n", true}, {"\r", true}, {"\r\n", false}}) {
    Emulateur e;
    std::vector<std::string> lignes;
    e.setJournal([&](double, const std::string& l) { lignes.push_back(l); });
    const std::string hex = simtest::fichierHex("1.30", 2000, c.finLigne, c.finFinale);
    const std::string tout = "WROM\r" + hex;
    double t = 0;
    for (char ch : tout) {
      e.recoit(reinterpret_cast<const std::uint8_t*>(&ch), 1, t);
      t += 1.0;
    }
    // The file may end without a line end: the report comes a short while
    // after the last byte, and prochaineEmission announces it.
    const double prevu = e.prochaineEmission();
    ASSERT_TRUE(std::isfinite(prevu));
    EXPECT_LE(prevu, t + 100);
    std::uint8_t buf[8];
    ASSERT_EQ(e.emet(buf, sizeof buf, prevu), 1u) << "line end " << int(c.finLigne[0]) << " " << c.finFinale;
    EXPECT_EQ(buf[0], '0');
    EXPECT_EQ(e.etat().octetsHex, hex.size());
    EXPECT_TRUE(e.etat().hexValide);
    EXPECT_EQ(lignes.back(), "HEX " + std::to_string(hex.size()) + " octets");
  }
}

TEST_F(HexTest, CommandRightAfterTheFileIsAnswered) {
  const std::string hex = simtest::fichierHex("1.30", 500);
  envoie("WROM\r" + hex + "WVERSION\r", 0);
  EXPECT_EQ(lit(0), "0BRIXO VYK2 V1.30\r");
  EXPECT_EQ(emu.etat().octetsHex, hex.size());
}

TEST_F(HexTest, ReportDigitIsConfigurableAndOnlySuccessChangesTheVersion) {
  for (char rapport : {'0', '1', '3', '5'}) {
    ConfigEmulateur c;
    c.rapportRom = rapport;
    Emulateur e(c);
    const std::string tout = "WROM\r" + simtest::fichierHex("2.10", 1000) + "WVERSION\r";
    e.recoit(reinterpret_cast<const std::uint8_t*>(tout.data()), tout.size(), 0);
    std::uint8_t buf[64];
    const std::size_t n = e.emet(buf, sizeof buf, 0);
    const std::string r(reinterpret_cast<char*>(buf), n);
    EXPECT_EQ(r, std::string(1, rapport) + (rapport == '0' ? "BRIXO VYK2 V2.10\r" : "BRIXO VYK2 V1.29\r"));
  }
}

TEST_F(HexTest, DamagedFileIsCountedButKeepsTheOldVersion) {
  std::string hex = simtest::fichierHex("2.10", 1000);
  hex[20] = hex[20] == '0' ? '1' : '0';  // breaks the version record's checksum
  envoie("WROM\r" + hex + "WVERSION\r", 0);
  EXPECT_EQ(lit(0), "0BRIXO VYK2 V1.29\r");
  EXPECT_FALSE(emu.etat().hexValide);
  EXPECT_EQ(emu.etat().octetsHex, hex.size());
}

TEST_F(HexTest, CommandsInsideTheFileAreNotObeyed) {
  // The updater stopped halfway: the interface keeps waiting for the file's end.
  envoie("WROM\r:10020000000102030405060708090A0B0C0D0E0F", 0);
  envoie("\r\nWRESET\r\nWVERSION\r\n", 5);
  EXPECT_EQ(lit(1e6), "");
  EXPECT_EQ(emu.etat().nombreResets, 0);
  EXPECT_EQ(textes(), std::vector<std::string>{"WROM"});
  // Only a power cut gets it out.
  emu.debrancher();
  emu.rebrancher();
  envoie("WVERSION\r", 2e6);
  EXPECT_EQ(lit(2e6), "BRIXO VYK2 V1.29\r");
}

}  // namespace
