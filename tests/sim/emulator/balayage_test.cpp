// Signal models, queries answered from them, outputs, and the sweeps the
// emulator streams in simulated time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/emulator/emulateur.h"
#include "sim/emulator/signal.h"

namespace {

using sim::Emulateur;
using sim::Forme;
using sim::ModeleSignal;

class Banc : public ::testing::Test {
 protected:
  Banc() {
    emu.setJournal([this](double, const std::string& l) { journal.push_back(l); });
  }
  void envoie(const std::string& s, double t) {
    emu.recoit(reinterpret_cast<const std::uint8_t*>(s.data()), s.size(), t);
  }
  std::string lit(double t) {
    std::string r;
    std::uint8_t buf[512];
    for (std::size_t n; (n = emu.emet(buf, sizeof buf, t)) > 0;) r.append(reinterpret_cast<char*>(buf), n);
    return r;
  }
  static std::vector<std::int16_t> valeurs(const std::string& octets) {
    std::vector<std::int16_t> v;
    for (std::size_t i = 0; i + 1 < octets.size(); i += 2) {
      v.push_back(std::int16_t(std::uint8_t(octets[i]) | std::uint8_t(octets[i + 1]) << 8));
    }
    return v;
  }
  static std::uint32_t long32(const std::string& o) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4 && i < o.size(); ++i) v |= std::uint32_t(std::uint8_t(o[i])) << (8 * i);
    return v;
  }
  std::int16_t modele(int entree, double tMs) const { return emu.etat().entrees[std::size_t(entree)].codeA(tMs); }

  Emulateur emu;
  std::vector<std::string> journal;
};

TEST(ModeleSignal, FormsAtKnownInstants) {
  struct Cas {
    ModeleSignal m;
    double tMs;
    double volts;
  };
  const std::vector<Cas> cas = {
      {{Forme::constante, 3, 1.5, 5}, 123, 1.5},
      {{Forme::sinus, 2, 0.5, 5}, 0, 0.5},
      {{Forme::sinus, 2, 0.5, 5}, 50, 2.5},    // quarter period at 5 Hz
      {{Forme::sinus, 2, 0.5, 5}, 150, -1.5},
      {{Forme::carre, 1, 0, 10}, 10, 1},
      {{Forme::carre, 1, 0, 10}, 60, -1},
      {{Forme::triangle, 2, 0, 1}, 0, -2},
      {{Forme::triangle, 2, 0, 1}, 250, 0},
      {{Forme::triangle, 2, 0, 1}, 500, 2},
      {{Forme::triangle, 2, 0, 1}, 750, 0},
  };
  for (const auto& c : cas) EXPECT_NEAR(c.m.volts(c.tMs), c.volts, 1e-9) << c.tMs;

  const ModeleSignal bruit{Forme::bruit, 0.5, 1, 1};
  double mini = 10, maxi = -10;
  for (int i = 0; i < 1000; ++i) {
    const double v = bruit.volts(i * 0.001);
    EXPECT_EQ(v, bruit.volts(i * 0.001 + 0.0004));  // fixed within a microsecond
    mini = std::min(mini, v);
    maxi = std::max(maxi, v);
  }
  EXPECT_GE(mini, 0.5);
  EXPECT_LE(maxi, 1.5);
  EXPECT_GT(maxi - mini, 0.8);
}

TEST(ModeleSignal, CodesOfVoltsRoundHalvesToEvenAndClamp) {
  struct Cas {
    double volts;
    int code;
  };
  const std::vector<Cas> cas = {
      {0, 0},       {1, 3277},        {-1, -3277},      {10, 32767},   {-10, -32768},
      {25, 32767},  {-25, -32768},    {0.5 / 3276.8, 0}, {1.5 / 3276.8, 2}, {9.99969, 32767},
  };
  for (const auto& c : cas) EXPECT_EQ(sim::codeDeVolts(c.volts), c.code) << c.volts;
  EXPECT_NEAR(sim::voltsDeCode(sim::codeDeVolts(2.345)), 2.345, 20.0 / 65536);
}

TEST(ModeleSignal, ReadsTheOptionText) {
  const auto m = sim::lisModeleSignal("sine:amp=2,off=0.5,freq=5");
  ASSERT_TRUE(m);
  EXPECT_EQ(m->forme, Forme::sinus);
  EXPECT_EQ(m->amplitude, 2);
  EXPECT_EQ(m->offset, 0.5);
  EXPECT_EQ(m->frequence, 5);
  ASSERT_TRUE(sim::lisModeleSignal("noise"));
  EXPECT_EQ(sim::lisModeleSignal("constant:off=-3")->offset, -3);
  EXPECT_EQ(sim::lisModeleSignal("triangle:freq=2")->forme, Forme::triangle);
  for (const char* faux : {"", "sinus", "sine:", "sine:amp", "sine:amp=x", "sine:phase=1", "square:freq=-1",
                           "sine:amp=1,,freq=2"}) {
    EXPECT_FALSE(sim::lisModeleSignal(faux)) << faux;
  }
}

TEST_F(Banc, QueriesAnswerFromTheModels) {
  emu.etat().entrees[3].signal = ModeleSignal{Forme::sinus, 4, 1, 10};
  emu.etat().entrees[10].signal = ModeleSignal{Forme::constante, 0, 2.5, 1};
  emu.etat().entrees[11].signal = ModeleSignal{Forme::carre, 1, 0, 1000};
  emu.etat().capteursDB15 = {17, 42};
  emu.etat().entreesFront[1] = ModeleSignal{Forme::carre, 2.5, 2.5, 50};
  emu.etat().entreesBinaires[5] = 1;

  for (double t : {0.0, 25.0, 40.0, 75.0}) {
    envoie("WEA 3\r", t);
    EXPECT_EQ(valeurs(lit(t)), std::vector<std::int16_t>{modele(3, t)}) << t;
  }
  envoie("WEA 3\r", 125);  // a crest of the 10 Hz sine
  EXPECT_EQ(valeurs(lit(125)), std::vector<std::int16_t>{sim::codeDeVolts(5)});

  envoie("WRECO\r", 150);
  const std::string r = lit(150);
  ASSERT_EQ(r.size(), 6u);
  EXPECT_EQ(std::uint8_t(r[0]), 17);
  EXPECT_EQ(std::uint8_t(r[1]), 42);
  EXPECT_EQ(valeurs(r.substr(2)), (std::vector<std::int16_t>{sim::codeDeVolts(2.5), sim::codeDeVolts(1)}));

  envoie("WPER 1\r", 200);
  EXPECT_EQ(long32(lit(200)), 160000u);  // 20 ms in 1.25e-7 s ticks
  envoie("WPER 0\r", 200);
  EXPECT_EQ(long32(lit(200)), 0u);  // nothing on EF0
  envoie("WPER 4\r", 200);
  EXPECT_EQ(lit(200), "");
  emu.etat().periodesFront[0] = 1234;
  envoie("WPER 0\r", 200);
  EXPECT_EQ(long32(lit(200)), 1234u);

  envoie("WAUTO 128\r", 300);
  EXPECT_EQ(long32(lit(300)), 2000u);  // 1 ms in 0.5 us ticks
  envoie("WAUTO 0\r", 300);
  EXPECT_EQ(lit(300), "");

  envoie("WEBIT 5\r", 400);
  EXPECT_EQ(lit(400), std::string(1, '\1'));
  envoie("WEBIT 4\r", 400);
  EXPECT_EQ(lit(400), std::string(1, '\0'));

  emu.etat().positionCodeur = 30012;
  envoie("WLPOSITION\r", 500);
  EXPECT_EQ(valeurs(lit(500)), std::vector<std::int16_t>{30012});
  envoie("WRPOSITION\rWLPOSITION\r", 500);
  EXPECT_EQ(valeurs(lit(500)), std::vector<std::int16_t>{30000});

  // The fast poll byte of input 11 follows the model too.
  const std::uint8_t k = 64 + 11;
  emu.recoit(&k, 1, 600.25);
  EXPECT_EQ(valeurs(lit(600.25)), std::vector<std::int16_t>{modele(11, 600.25)});
}

TEST_F(Banc, OutputsAndPotentiometersChangeTheStateAndAreLogged) {
  const std::vector<std::string> lignes = {"WDAC 0 200", "WDAC 1 17",       "WDAC 2 5",     "WSBIT 0",
                                           "WSBIT 6",    "WRBIT 0",         "WPWM 1 25 50 3", "WSYNTH 1 100 0",
                                           "WEPOTAR A 2 700", "WMPOTAR A 2", "WEPOTAR A 2 512", "WRPOTAR A"};
  for (const auto& l : lignes) envoie(l + "\r", 1);
  EXPECT_EQ(journal, lignes);
  const auto& e = emu.etat();
  EXPECT_EQ(e.sortiesAnalogiques[0], 200);
  EXPECT_EQ(e.sortiesAnalogiques[1], 17);
  EXPECT_EQ(e.sortiesBinaires, 1u << 6);
  EXPECT_TRUE(e.pwm.active);
  EXPECT_EQ(e.pwm.sortie, 1);
  EXPECT_EQ(e.pwm.duty, 25);
  EXPECT_EQ(e.pwm.periode, 50);
  EXPECT_EQ(e.pwm.horloge, 3);
  EXPECT_TRUE(e.synthese.active);
  EXPECT_EQ(e.synthese.periode, 100);
  EXPECT_EQ(e.potars.at('A')[2], 512);
  EXPECT_EQ(e.potarsMemorises.at('A')[2], 700);
  EXPECT_EQ(e.rappelsPotars.at('A'), 1);
  EXPECT_EQ(e.nombreInconnues, 0u);

  envoie("WPWM 1 0\rWSYNTH 2\r", 2);
  EXPECT_FALSE(emu.etat().pwm.active);
  EXPECT_FALSE(emu.etat().synthese.active);
  EXPECT_EQ(lit(3), "");  // none of them answers
}

TEST_F(Banc, ImmediateSweepIsPacedAtTheProgrammedPeriod) {
  emu.etat().entrees[10].signal = ModeleSignal{Forme::sinus, 3, 0, 50};
  emu.etat().entrees[11].signal = ModeleSignal{Forme::triangle, 2, 1, 20};
  envoie("WPE 2 10 1000 1 11 10\rWGOR\r", 100);
  // Ten points 1 ms apart, inputs 11 then 10, 10 us between them.
  std::string recu;
  for (int k = 0; k < 10; ++k) {
    EXPECT_EQ(emu.prochaineEmission(), 100 + k);
    recu += lit(100 + k + 0.005);
    EXPECT_EQ(recu.size(), 4u * k + 2) << k;  // the second input is not converted yet
    recu += lit(100 + k + 0.01);
  }
  EXPECT_TRUE(std::isinf(emu.prochaineEmission()));
  const auto v = valeurs(recu);
  ASSERT_EQ(v.size(), 20u);
  for (int k = 0; k < 10; ++k) {
    EXPECT_EQ(v[2 * k], modele(11, 100 + k));
    EXPECT_EQ(v[2 * k + 1], modele(10, 100 + k + 0.01));
  }
  EXPECT_EQ(emu.etat().balayagesEmis, 1);
}

TEST_F(Banc, SweepSentAtOnceInSimulatedTime) {
  emu.etat().entrees[0].signal = ModeleSignal{Forme::bruit, 5, 0, 1};
  envoie("WPE 1 60000 10 1 0\rWGOR\r", 0);
  const auto v = valeurs(lit(1e9));
  ASSERT_EQ(v.size(), 60000u);
  for (std::size_t k = 0; k < v.size(); k += 997) EXPECT_EQ(v[k], modele(0, double(k) * 0.01)) << k;
}

TEST_F(Banc, ThresholdTriggerWithPreTrigger) {
  // Input 11 rises through 0 V at 250 ms, 1250 ms, ...
  emu.etat().entrees[11].signal = ModeleSignal{Forme::sinus, 4, 0, 1};
  emu.etat().entrees[11].signal->frequence = 1;
  envoie("WPE 1 20 10000 1 11\rWAPREAC 5 128 M\r", 300);  // 10 ms period
  // The crossing at 1000 ms (phase 0 of the next period) is the first one.
  const double t0 = emu.prochaineEmission();
  EXPECT_NEAR(t0, 1000, 10.0 + 1e-9);
  EXPECT_EQ(lit(t0 - 0.001), "");
  const auto avant = valeurs(lit(t0));
  ASSERT_EQ(avant.size(), 6u);  // five points before, and the trigger point
  for (int i = 0; i < 5; ++i) EXPECT_LT(avant[std::size_t(i)], 0) << i;
  EXPECT_GE(avant[5], 0);
  const auto tout = valeurs(lit(t0 + 1000));
  ASSERT_EQ(tout.size(), 19u);
  for (int i = 0; i < 19; ++i) EXPECT_EQ(tout[std::size_t(i)], modele(11, t0 + 10 * (i + 1)));

  // Falling direction, no pre-trigger; a threshold the signal never crosses
  // leaves the sweep armed and silent.
  envoie("WPE 1 3 10000 1 11\rWGOAR 250 D 0\r", 5000);
  EXPECT_TRUE(emu.etat().enAttenteDeclenchement);
  EXPECT_EQ(lit(1e7), "");
  envoie("WGOAR 96 D 0\r", 5000);  // -2.5 V, falling
  const double t1 = emu.prochaineEmission();
  EXPECT_GT(modele(11, t1 - 10), sim::codeDeVolts(Emulateur::voltsSeuil(96)));
  EXPECT_LE(modele(11, t1), sim::codeDeVolts(Emulateur::voltsSeuil(96)));
}

TEST_F(Banc, EdgeTriggerFollowsTheConfiguredDirection) {
  emu.etat().entreesFront[2] = ModeleSignal{Forme::carre, 2.5, 2.5, 10};  // high from 0 to 50 ms of each 100
  emu.etat().entrees[4].signal = ModeleSignal{Forme::constante, 0, -1.25, 1};
  envoie("WPE 1 4 100 1 4\rWGOFR 2\r", 20);
  EXPECT_NEAR(emu.prochaineEmission(), 100, 0.011);  // next rising edge
  envoie("WCONFEF 2 D\rWGOFR 2\r", 20);
  EXPECT_NEAR(emu.prochaineEmission(), 50, 0.011);
  const auto v = valeurs(lit(60));
  EXPECT_EQ(v, std::vector<std::int16_t>(4, sim::codeDeVolts(-1.25)));
  // With pre-trigger points they come at the edge.
  envoie("WFPREAC 3 2\r", 60);
  EXPECT_NEAR(emu.prochaineEmission(), 150, 0.011);
  EXPECT_EQ(valeurs(lit(150.02)).size(), 4u);
}

TEST_F(Banc, WpeAloneStopsTheStream) {
  envoie("WPE 1 1000 1000 1 0\rWGOR\r", 0);
  EXPECT_EQ(valeurs(lit(9.5)).size(), 10u);
  envoie("WPE\r", 9.5);
  EXPECT_EQ(lit(1e6), "");
  EXPECT_TRUE(std::isinf(emu.prochaineEmission()));
  // Launching without a valid programming sends nothing.
  envoie("WPE 6 10 1000 1 0 1 2 3 4 5\rWGOR\r", 20);
  EXPECT_EQ(lit(1e6), "");
  envoie("WPE 1 10 15 1 0\rWGOR\r", 20);  // base not a multiple of 10
  EXPECT_EQ(lit(1e6), "");
}

TEST_F(Banc, AnswersAndStreamShareTheLineInOrder) {
  emu.etat().entrees[0].code = 0x0101;
  emu.etat().entrees[5].code = 0x0505;
  envoie("WPE 1 100 1000 1 0\rWGOR\r", 0);
  // A query arrives late while the stream has not been read: its answer
  // waits behind the values already due, and the rest follows it.
  envoie("WEA 5\r", 50);
  double t = emu.prochaineEmission();
  std::string recu;
  for (int k = 0; k < 100000 && std::isfinite(t); ++k, t = emu.prochaineEmission()) recu += lit(t);
  const auto v = valeurs(recu);
  ASSERT_EQ(v.size(), 101u);
  EXPECT_EQ(std::count(v.begin(), v.end(), 0x0505), 1);
  EXPECT_EQ(v[51], 0x0505);

  // A silent interface runs its sweep without a byte on the line.
  emu.pannes().silencieux = true;
  envoie("WGOR\r", 1000);
  EXPECT_EQ(lit(1200), "");
  EXPECT_TRUE(std::isinf(emu.prochaineEmission()));
  EXPECT_EQ(emu.etat().balayagesEmis, 2);
}

TEST_F(Banc, DisconnectedRecordingSentBackByWresul) {
  emu.etat().entrees[1].signal = ModeleSignal{Forme::sinus, 1, 0, 2};
  emu.etat().entrees[2].signal = ModeleSignal{Forme::carre, 3, 0, 5};
  envoie("WPE 2 100 10000 1 1 2\rWGO\r", 0);  // 100 points at 10 ms, not streamed
  EXPECT_EQ(lit(2000), "");
  envoie("WRESUL 0 200\r", 2000);
  auto v = valeurs(lit(2000));
  ASSERT_EQ(v.size(), 200u);
  for (int k = 0; k < 100; ++k) {
    EXPECT_EQ(v[2 * std::size_t(k)], modele(1, 10.0 * k));
    EXPECT_EQ(v[2 * std::size_t(k) + 1], modele(2, 10.0 * k + 0.01));
  }
  // Asked while still recording: only what exists so far.
  envoie("WGO\r", 3000);
  envoie("WRESUL 0 200\r", 3000.0 + 245);
  EXPECT_EQ(valeurs(lit(4000)).size(), 50u);
  // A reset forgets it.
  envoie("WRESET\rWRESUL 0 200\r", 5000);
  EXPECT_EQ(lit(6000), "");
}

TEST_F(Banc, MegaModeInterleavesTheBlocks) {
  emu.etat().entrees[11].signal = ModeleSignal{Forme::sinus, 5, 0, 1000};
  emu.etat().entrees[10].signal = ModeleSignal{Forme::triangle, 2, 0, 3000};
  // Two inputs, FreqMega 1: blocks of 20 values, 3 blocks, 60 points.
  envoie("WMEGA 128 M 2 3 0\r", 0.2);
  const double t0 = 1.0;  // next rising zero of a 1 kHz sine
  const double fin = emu.prochaineEmission();
  EXPECT_NEAR(fin, t0 + 0.06, 0.0101);
  const auto v = valeurs(lit(fin));
  ASSERT_EQ(v.size(), 120u);
  const double debut = fin - 0.06;
  // Stored where the decoder puts them, each value is the model at its index.
  const long V = 2, B = 3, L = 20;
  for (long n = 0; n < 120; ++n) {
    long d = n / (B * V) + ((n % (B * V)) / V) * L;
    int entree = 11;
    if (n % 2 == 1) {
      d = (d + 10) % 60000;
      entree = 10;
    }
    EXPECT_EQ(v[std::size_t(n)], modele(entree, debut + d * 0.001)) << n;
  }
}

}  // namespace
