// Every command builder against the exact text of its line.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/link/commandes/commandes.h"

namespace {

using namespace commandes;

struct CasOrdre {
  const char* nom;
  std::string obtenu;
  const char* attendu;
};

const std::array<int, 2> deuxEntrees{11, 10};
const std::array<int, 5> cinqEntrees{0, 1, 2, 10, 11};

std::vector<CasOrdre> tousLesOrdres() {
  return {
      {"WBAUDS", WBAUDS(2), "WBAUDS 2"},
      {"WBAUDSborne", WBAUDS(9), "WBAUDS 3"},
      {"WPE", WPE(256, 1000, 1, deuxEntrees), "WPE 2 256 1000 1 11 10"},
      {"WPEgrandMultiplicateur", WPE(60000, 10, 65535, std::array<int, 1>{3}),
       "WPE 1 60000 10 65535 3"},
      {"WPEPoincare", WPEPoincare(deuxEntrees), "WPE 2 2 50 2 11 10"},
      {"WPEFiltre", WPEFiltre(20, 0, 1), "WPE 2 30000 20 1 0 1"},
      {"WGOFR", WGOF('1', true), "WGOFR 1"},
      {"WGOF", WGOF('0', false), "WGOF 0"},
      {"WFPREAC", WFPREAC(51, '2'), "WFPREAC 51 2"},
      {"WGOAR", WGOA(128, true, true, 0, true), "WGOAR 128 M 0"},
      {"WGOAmode1", WGOA(40, false, true, 1, false), "WGOA 40 D 1"},
      {"WGOARsansMonocoup", WGOA(128, true, false, 1, true), "WGOAR 128 M"},
      {"WGOARpux", WGOApux(8, 2048, true, true), "WGOAR 8 2048 M"},
      {"WGOApux", WGOApux(9, 100, false, false), "WGOA 9 100 D"},
      {"WAPREAC", WAPREAC(51, 128, true), "WAPREAC 51 128 M"},
      {"WAPREACpux", WAPREACpux(51, 8, 2048, false), "WAPREAC 51 8 2048 D"},
      {"WGOR", WGO(true), "WGOR"},
      {"WGO", WGO(false), "WGO"},
      {"WMEGA", WMEGA(128, false, 2, 30, 4), "WMEGA 128 D 2 30 3"},
      {"WRESUL", WRESUL(512), "WRESUL 0 512"},
      {"WCONFEF", WCONFEF('0', true), "WCONFEF 0 M"},
      {"WGENEACQUI", WGENEACQUI('1', 200, 2, 2, 10, 2, false), "WGENEACQUI 1 200 2 2 10 2"},
      {"WGENEACQUI32", WGENEACQUI('0', 255, 1, 3, 4, 5, true), "WGENEACQUI 0 255 1 3 4 5 1"},
      {"WBRULON", WBRULON(1, 2, true), "WBRULON 1 2"},
      {"WSON", WBRULON(1, 2, false), "WSON 1 2"},
      {"WDEF", WDEF(0), "WDEF 0"},
      {"WCODINC", WCODINC(0, 1), "WCODINC 0 1"},
      {"WPOSITION", WPOSITION(1, 2), "WPOSITION 1 2"},
      {"WPER", WPER(2), "WPER 2"},
      {"WAUTO", WAUTO(128), "WAUTO 128"},
      {"WAUTOpux", WAUTOpux(11, 2048), "WAUTO 11 2048"},
      {"WEA", WEA(10), "WEA 10"},
      {"WEBIT", WEBIT(3), "WEBIT 3"},
      {"WDAC", WDAC('0', 255), "WDAC 0 255"},
      {"WDACborneHaut", WDAC('1', 300), "WDAC 1 255"},
      {"WDACborneBas", WDAC('1', -4), "WDAC 1 0"},
      {"WSYNTH", WSYNTH('0', 20), "WSYNTH 0 20 0"},
      {"WSBIT", WSBIT(0), "WSBIT 0"},
      {"WRBIT", WRBIT(7), "WRBIT 7"},
      {"WPWM", WPWM('1', 25, 50, 3), "WPWM 1 25 50 3"},
      {"WPWMarret", WPWMarret('1'), "WPWM 1 0"},
      {"WSBLOCsinus", WSBLOC(GammeKB::Hz5_Hz500, FormeKB::sinus), "WSBLOC 31"},
      {"WSBLOCtriangle", WSBLOC(GammeKB::mHz50_Hz5, FormeKB::triangle), "WSBLOC 21"},
      {"WSBLOCcarre", WSBLOC(GammeKB::Hz500_kHz50, FormeKB::carre), "WSBLOC 26"},
      {"WEPOTAR", WEPOTAR('0', 3, 512), "WEPOTAR 0 3 512"},
      {"WEPOTARborne", WEPOTAR('1', 4, 5000), "WEPOTAR 1 4 1023"},
      {"WMPOTAR", WMPOTAR('1', 0), "WMPOTAR 1 0"},
      {"WRPOTAR", WRPOTAR('0'), "WRPOTAR 0"},
      {"negatifEcritZero", ordre("WX", {-5, 7}), "WX 0 7"},
      {"sansArgument", ordre("WBIN"), "WBIN"},
  };
}

class Ordres : public ::testing::TestWithParam<CasOrdre> {};

TEST_P(Ordres, TexteExact) {
  const CasOrdre& c = GetParam();
  EXPECT_EQ(c.obtenu, c.attendu);
  // The line format: "W" keyword, single blanks, no trailing blank.
  ASSERT_FALSE(c.obtenu.empty());
  EXPECT_EQ(c.obtenu.front(), 'W');
  EXPECT_NE(c.obtenu.back(), ' ');
  EXPECT_EQ(c.obtenu.find("  "), std::string::npos);
  EXPECT_LE(c.obtenu.size(), longueurMaxOrdre);
}

INSTANTIATE_TEST_SUITE_P(Commandes, Ordres, ::testing::ValuesIn(tousLesOrdres()),
                         [](const auto& info) { return std::string(info.param.nom); });

TEST(Commandes, LignesFixes) {
  const std::vector<std::pair<std::string, std::string>> cas{
      {WPE_ARRET, "WPE"},         {WPER_ARRET, "WPER 4"},       {WAUTO_ARRET, "WAUTO 0"},
      {WAUTO_ARRET_PUX, "WAUTO 12"}, {WSYNTH_ARRET, "WSYNTH 2"}, {WPWMarret('0'), "WPWM 0 0"},
      {WPWM_SODAR, "WPWM 0 25 50 3"}, {WPWM_ARRET, "WPWM"},      {WRBIT(4), "WRBIT 4"},
      {WRBIT(5), "WRBIT 5"},       {WSBIT(6), "WSBIT 6"},        {WSBIT(7), "WSBIT 7"},
      {WSBIT(1), "WSBIT 1"},       {WRBIT(0), "WRBIT 0"},        {WPOSITION_ARRET, "WPOSITION"},
      {WRPOSITION, "WRPOSITION"},  {WLPOSITION, "WLPOSITION"},   {WCIRESUL, "WCIRESUL"},
      {WSDEF, "WSDEF"},            {WSCODINC, "WSCODINC"},       {WSODAR, "WSODAR"},
      {WGO(true), "WGOR"},         {WGO(false), "WGO"},          {WBIN, "WBIN"},
      {WRESET, "WRESET"},          {WRECO, "WRECO"},             {WVERSION, "WVERSION"},
      {WROM, "WROM"}};
  for (const auto& [obtenu, attendu] : cas) EXPECT_EQ(obtenu, attendu);
}

// The worked example: inputs 11 and 10 (PUX II: 8 and 9), 256 points, 1 ms,
// threshold 128 (2048) rising.
TEST(Commandes, ExempleDeLancement) {
  struct Ligne {
    const char* cas;
    std::string programmation, lancement;
    const char* attenduProg;
    const char* attenduLance;
  };
  TseuilSynchro vyk{false, 0, 128, true, true, 0};
  TseuilSynchro pux{true, 8, 2048, true, true, 0};
  const long points = 256;
  const long avant = 51;  // 20 %
  const Ligne lignes[] = {
      {"sans pré-déclenchement", WPE(points, 1000, 1, deuxEntrees),
       lancementSeuil(vyk, 0).lanceR, "WPE 2 256 1000 1 11 10", "WGOAR 128 M 0"},
      {"20 %", WPE(points - avant, 1000, 1, deuxEntrees), lancementSeuil(vyk, avant).lanceR,
       "WPE 2 205 1000 1 11 10", "WAPREAC 51 128 M"},
      {"PUX II", WPE(points, 1000, 1, std::array<int, 2>{8, 9}), lancementSeuil(pux, 0).lanceR,
       "WPE 2 256 1000 1 8 9", "WGOAR 8 2048 M"},
  };
  for (const Ligne& l : lignes) {
    EXPECT_EQ(l.programmation, l.attenduProg) << l.cas;
    EXPECT_EQ(l.lancement, l.attenduLance) << l.cas;
  }
  EXPECT_EQ(lancementSeuil(vyk, 0).lance, "WGOA 128 M 0");
  // No silent form with pre-trigger points.
  EXPECT_EQ(lancementSeuil(vyk, avant).lance, "");
  EXPECT_EQ(lancementSeuil(pux, avant).lanceR, "WAPREAC 51 8 2048 M");
  // Older firmware: no mode digit; the PUX II never has one.
  vyk.monocoupPermis = false;
  EXPECT_EQ(lancementSeuil(vyk, 0).lanceR, "WGOAR 128 M");
  pux.modeSeuil = 1;
  EXPECT_EQ(lancementSeuil(pux, 0).lance, "WGOA 8 2048 M");
}

TEST(Commandes, ProgrammationCinqEntrees) {
  const std::string l = WPE(59999, 4294967290L, 65535, cinqEntrees);
  EXPECT_EQ(l, "WPE 5 59999 4294967290 65535 0 1 2 10 11");
  EXPECT_LT(l.size(), 255u);
}

TEST(Commandes, TableOndeEntiers) {
  std::vector<int> echantillons(256);
  for (int k = 0; k < 256; ++k) echantillons[std::size_t(k)] = k * 2 - 100;  // -100..410
  const TableOnde t = WTELE(echantillons);
  EXPECT_EQ(t.ligne, "WTELE 256");
  ASSERT_EQ(t.octets.size(), 256u);
  EXPECT_EQ(t.octets[0], 0);
  EXPECT_EQ(t.octets[50], 0);
  EXPECT_EQ(t.octets[51], 2);
  EXPECT_EQ(t.octets[177], 254);
  EXPECT_EQ(t.octets[178], 255);
  EXPECT_EQ(t.octets[255], 255);
}

TEST(Commandes, TableOndeReels) {
  const std::vector<double> echantillons{-0.4, 0.5, 1.5, 2.5, 254.5, 255.4, 1e9, -1e9,
                                         std::numeric_limits<double>::quiet_NaN(),
                                         std::numeric_limits<double>::infinity()};
  const TableOnde t = WTELE(echantillons);
  EXPECT_EQ(t.ligne, "WTELE 10");
  const std::vector<std::uint8_t> attendu{0, 0, 2, 2, 254, 255, 255, 0, 0, 255};
  EXPECT_EQ(t.octets, attendu);
  EXPECT_EQ(WTELE(std::vector<int>{}).ligne, "WTELE 0");
  EXPECT_TRUE(WTELE(std::vector<int>{}).octets.empty());
}

TEST(Commandes, OctetsSimples) {
  EXPECT_EQ(octetScrutation(10), 'J');
  EXPECT_EQ(octetScrutation(0), '@');
  EXPECT_EQ(octetScrutation(11), 'K');
  EXPECT_EQ(octetFiltre, 0xD5);
}

TEST(Commandes, LigneTropLongueCoupee) {
  std::vector<Argument> a(100, Argument(12345));
  EXPECT_EQ(ordre("WX", a).size(), longueurMaxOrdre);
}

}  // namespace
