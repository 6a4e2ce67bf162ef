#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "cible_test.h"

namespace {

struct Flux : ::testing::Test {
  CibleTest cible;
  ControleTest controle;
  TfluxResultats flux{cible, controle};

  void recoit(const std::vector<std::uint8_t>& o) { flux.TriggerAvailBin(o.data(), o.size()); }
  std::int16_t code(int slot, std::size_t i) { return cible.voie(slot).vecteurCourant[i]; }
};

TEST_F(Flux, ChainVisitsActiveInputsInSlotOrder) {
  struct Cas {
    std::vector<int> actives;
    int debut;
    std::vector<int> ordre;  // slots that receive the values of one instant
  };
  const std::vector<Cas> cas = {
      {{7, 9}, 7, {7, 9}},
      {{10}, 10, {10}},
      {{6, 7, 8, 9, 10}, 6, {6, 7, 8, 9, 10}},
      {{6, 10}, 6, {6, 10}},
      {{8}, 8, {8}},
      {{}, 10, {10}},
  };
  for (const auto& c : cas) {
    cible.actives(c.actives);
    flux.arme(eaResul);
    EXPECT_EQ(flux.voieDebut, c.debut);
    std::vector<int> ordre{flux.voieCouranteTemps};
    for (int s = flux.voieSuivante[std::size_t(ordre.back())]; s != flux.voieDebut;
         s = flux.voieSuivante[std::size_t(s)]) {
      ordre.push_back(s);
      ASSERT_LT(ordre.size(), 6u);
    }
    EXPECT_EQ(ordre, c.ordre);
  }
}

TEST_F(Flux, ExampleBytesGiveOnePointOnTwoInputs) {
  cible.actives({6, 7});
  flux.arme(eaResul);
  recoit({0x34, 0x12, 0xCD});
  EXPECT_EQ(cible.NbreCourant, 0);
  EXPECT_EQ(controle.timerAssure, 0);
  recoit({0xAB});
  EXPECT_EQ(code(6, 0), 4660);
  EXPECT_EQ(code(7, 0), -21555);
  EXPECT_EQ(cible.NbreCourant, 1);
  EXPECT_EQ(controle.timerAssure, 1);
  EXPECT_EQ(flux.dateDebutReception, controle.horloge);
}

TEST_F(Flux, SweepCompletesAndDiscardsWhatFollows) {
  cible.actives({7, 9});
  cible.NbreInter = 3;
  flux.arme(eaResul);
  controle.horloge = 5;
  recoit(octets16({1, 2}));
  controle.horloge = 6;
  recoit(octets16({3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(cible.NbreCourant, 3);
  EXPECT_EQ(controle.etatAcq, eaMajResul);
  EXPECT_EQ(flux.etatAvail, eaNone);
  EXPECT_EQ(flux.dateDebutReception, 5);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(code(7, i), int(2 * i + 1));
    EXPECT_EQ(code(9, i), int(2 * i + 2));
  }
  EXPECT_EQ(code(7, 3), 0);
  EXPECT_EQ(code(9, 3), 0);
}

TEST_F(Flux, StrayBytesWhileIdleAreConsumed) {
  cible.actives({6});
  recoit({1, 2, 3, 4, 5});
  EXPECT_EQ(cible.NbreCourant, 0);
  EXPECT_FALSE(cible.voie(6).vecteurCourant.alloue());
  flux.arme(eaResul);
  recoit(octets16({-5}));
  EXPECT_EQ(code(6, 0), -5);  // nothing of the stray bytes left over
}

TEST_F(Flux, LostByteShiftsPairingOnlyUntilTheNextLaunch) {
  cible.actives({6});
  flux.arme(eaResul);
  auto o = octets16({0x0102, 0x0304, 0x0506});
  o.erase(o.begin());  // the first byte never arrived
  recoit(o);
  EXPECT_EQ(code(6, 0), 0x0401);
  EXPECT_EQ(code(6, 1), 0x0603);
  EXPECT_EQ(flux.indexOctet, 1);  // half a value pending
  flux.arme(eaResul);
  recoit(octets16({0x0708}));
  EXPECT_EQ(code(6, 0), 0x0708);
  EXPECT_EQ(cible.NbreCourant, 1);
}

TEST_F(Flux, NoDecoderWritesPastTheSampleVectors) {
  // Counts the stream cannot be trusted with: a NbreInter beyond the
  // vectors, a NbreCourant already at the end.
  struct Cas {
    TetatAvail etat;
    std::int32_t nbreInter;
    bool chute;
  };
  const std::vector<Cas> cas = {
      {eaResul, 70000, false},     {eaResul, 0, false},        {eaPivane, 1, false},
      {eaPivane, 1, true},         {eaResulUnMega, 70000, false}, {eaCardiaque, 1, false},
  };
  std::mt19937 alea(7);
  std::vector<std::uint8_t> bruit(400000);
  for (auto& b : bruit) b = std::uint8_t(alea());
  for (const auto& c : cas) {
    CibleTest cible2;
    ControleTest controle2;
    TfluxResultats f(cible2, controle2);
    cible2.actives({6, 7});
    cible2.NbreInter = c.nbreInter;
    cible2.chute = c.chute;
    cible2.mega = {40, 1500, 2};
    cible2.duree = 1e9;
    f.arme(c.etat);
    // Heartbeats far enough apart to be taken, for the cardiac decoder.
    std::vector<std::uint8_t> o = bruit;
    if (c.etat == eaCardiaque) {
      o.clear();
      for (std::uint32_t k = 1; k < 70000; ++k) ajoute32(o, k * 8000000u % 0x7C000000u + 1);
    }
    if (c.etat == eaPivane && !c.chute) {
      o.clear();
      for (std::uint32_t k = 1; k < 70000; ++k) {
        ajoute32(o, k * 1000u);
        o.push_back(std::uint8_t(k));
        o.push_back(std::uint8_t(k >> 8));
      }
    }
    EXPECT_NO_THROW(f.TriggerAvailBin(o.data(), o.size())) << int(c.etat);
    EXPECT_LE(cible2.NbreCourant, 60000) << int(c.etat);
  }
}

TEST_F(Flux, UltrasoundStartValueIsTheClapDelay) {
  cible.actives({6});
  cible.brulon = true;
  cible.AttenteDeltat = true;
  flux.arme(eaResul);
  recoit(octets16({2000, 11}));
  EXPECT_DOUBLE_EQ(cible.voie(12).ValeurCourante, 2000 * 5e-7);
  EXPECT_FALSE(cible.AttenteDeltat);
  EXPECT_EQ(controle.labels, std::vector<int>{12});
  EXPECT_TRUE(controle.erreurs.empty());
  EXPECT_EQ(code(6, 0), 11);  // the delay is not a sample
  EXPECT_EQ(cible.NbreCourant, 1);

  cible.AttenteDeltat = true;
  flux.arme(eaResul);
  recoit(octets16({0}));
  EXPECT_EQ(controle.erreurs, std::vector<std::string>{"CLAP non d\u00e9tect\u00e9, recommencez"});
  EXPECT_EQ(controle.relancesBalayage, 1);
  EXPECT_EQ(cible.NbreCourant, 0);
}

std::vector<std::uint8_t> itemPivane(std::uint32_t n, std::uint16_t p) {
  std::vector<std::uint8_t> o;
  ajoute32(o, n);
  o.push_back(std::uint8_t(p));
  o.push_back(std::uint8_t(p >> 8));
  return o;
}

TEST_F(Flux, OpticalForkOscillationModeCountsSmallStepsAndSurvivesWraps) {
  flux.dtPivane = 1.25e-7;
  flux.arme(eaPivane);
  struct Item {
    std::uint32_t n;
    std::uint16_t p;
    std::int32_t nbreApres;
  };
  const std::vector<Item> items = {
      {0xFFF00000u, 65534, 1},  // first event: origin
      {0xFFF80000u, 65535, 2},
      {0x00010000u, 1, 3},      // counter and position both wrap
      {0x00020000u, 5, 3},      // jump of 4 positions: not counted
      {0x00030000u, 3, 4},      // 2 from the last counted: counted, overwrites
  };
  for (const auto& it : items) {
    recoit(itemPivane(it.n, it.p));
    EXPECT_EQ(cible.NbreCourant, it.nbreApres) << it.n;
  }
  const Tvoie& t = cible.voie(1);
  EXPECT_DOUBLE_EQ(t.vecteurAff[0], 0);
  EXPECT_NEAR(t.vecteurAff[1], 0x80000 * 1.25e-7, 1e-12);
  // After the wrap: 2^32 ticks are taken as 536.8709104 s.
  EXPECT_NEAR(t.vecteurAff[2], 0x00010000u * 1.25e-7 + 536.8709104 - 0xFFF00000u * 1.25e-7, 1e-9);
  EXPECT_GT(t.vecteurAff[3], t.vecteurAff[2]);
  EXPECT_EQ(code(4, 0), 0);
  EXPECT_EQ(code(4, 1), 1);
  EXPECT_EQ(code(4, 2), 3);
  EXPECT_EQ(code(4, 3), 5);  // the uncounted item's values were overwritten
  EXPECT_EQ(flux.indexPivane, 0);
}

TEST_F(Flux, OpticalForkFallModeStoresRankAndTime) {
  cible.chute = true;
  flux.dtPivane = 2e-7;
  flux.arme(eaPivane);
  std::vector<std::uint8_t> o;
  for (std::uint32_t n : {1000u, 6000u, 26000u}) ajoute32(o, n);
  recoit(o);
  EXPECT_EQ(cible.NbreCourant, 3);
  EXPECT_DOUBLE_EQ(cible.voie(1).vecteurAff[1], 5000 * 2e-7);
  EXPECT_DOUBLE_EQ(cible.voie(1).vecteurAff[2], 25000 * 2e-7);
  EXPECT_EQ(code(4, 2), 2);
}

TEST_F(Flux, MegaModeStoresInterleavedBlocks) {
  cible.actives({6, 7});
  cible.NbreVoie = 2;
  cible.mega = {40, 3, 2};  // L = FreqMega x V x 10
  cible.NbreInter = 120;
  controle.premiere = true;
  flux.arme(eaResulUnMega);
  flux.AttenteMegaEnCours = flux.MegaEnCours = true;
  std::vector<int> v;
  for (int n = 0; n < 240; ++n) v.push_back(n);
  recoit(octets16(v));
  EXPECT_EQ(controle.etatAcq, eaMajResul);
  EXPECT_EQ(cible.NbreCourant, 120);
  EXPECT_FALSE(flux.MegaEnCours);
  EXPECT_FALSE(flux.AttenteMegaEnCours);
  EXPECT_EQ(flux.etatAvail, eaNone);
  // First values of the three blocks of slot 6, then their second values.
  EXPECT_EQ(code(6, 0), 0);
  EXPECT_EQ(code(6, 40), 2);
  EXPECT_EQ(code(6, 80), 4);
  EXPECT_EQ(code(6, 1), 6);
  EXPECT_EQ(code(6, 119), 238);
  // Slot 7 lags by 10 x FreqMega samples.
  EXPECT_EQ(code(7, 20), 1);
  EXPECT_EQ(code(7, 60), 3);
  EXPECT_DOUBLE_EQ(cible.voie(6).vecteurAff[1], cible.voie(6).ValeurReal(6));
}

TEST_F(Flux, UltrasoundEchoShowsErrorOnZero) {
  flux.arme(eaBrulon);
  recoit(octets16({0}));
  EXPECT_EQ(controle.erreurBrulon, std::vector<bool>{true});
  EXPECT_EQ(flux.etatAvail, eaNone);
  EXPECT_EQ(controle.periodesTimer, std::vector<int>{250});
  flux.arme(eaBrulon);
  recoit(octets16({40000}));  // unsigned
  EXPECT_EQ(controle.erreurBrulon, (std::vector<bool>{true, false}));
  EXPECT_DOUBLE_EQ(cible.voie(12).ValeurCourante, 40000 * 5e-7);
  EXPECT_EQ(controle.labels, std::vector<int>{12});
}

TEST_F(Flux, PoincareKeepsTheSecondSampleAndRecordsEveryNthCapture) {
  cible.actives({6, 8});
  controle.unPointSur = 2;
  controle.debutAcquisition = 90;
  flux.arme(eaPoincare);
  const int un = 3277;  // about 1 V
  for (int capture = 0; capture < 4; ++capture) {
    recoit(octets16({100, 200, capture * un, -capture * un}));
  }
  EXPECT_EQ(controle.relancesOrdre, 4);
  EXPECT_EQ(controle.pointsPoincare, 2);
  EXPECT_DOUBLE_EQ(cible.voie(6).ValeurCourante, cible.voie(6).ValeurReal(3 * un));
  EXPECT_DOUBLE_EQ(cible.voie(8).ValeurCourante, cible.voie(8).ValeurReal(-3 * un));
  EXPECT_DOUBLE_EQ(cible.voie(1).ValeurCourante, 10);
  EXPECT_EQ(flux.etatAvail, eaPoincare);
}

std::vector<std::uint8_t> battements(const std::vector<std::uint32_t>& dates) {
  std::vector<std::uint8_t> o;
  for (auto d : dates) ajoute32(o, d);
  return o;
}

TEST_F(Flux, HeartbeatFilter) {
  flux.dtPivane = 1.25e-7;
  flux.coeffFiltreCardiaque = 0.5;
  controle.etatAcq = eaAttenteSynchro;
  flux.arme(eaCardiaque);
  const std::uint32_t s = 8000000;  // one second of ticks
  struct Cas {
    std::uint32_t date;
    double frequence;  // filtered rate after it
  };
  const std::vector<Cas> cas = {
      {1 * s, 0},                 // first beat: nothing to compare
      {2 * s, 0},                 // 60/min, no previous rate
      {3 * s, 30},                // 60 again: averaged in
      {3 * s + s / 10, 30},       // 0.1 s apart: ignored
      {9 * s + s / 10, 30},       // 6 s apart: ignored
      {10 * s + s / 10, 45},      // 60/min next to the old 60: averaged
      {10 * s + s / 10 + s * 3 / 4, 45},  // 80/min: a third off, not averaged
      {10 * s + s / 10 + s * 6 / 4, 45 + 0.5 * (80 - 45)},  // 80 again
  };
  for (const auto& c : cas) {
    recoit(battements({c.date}));
    EXPECT_DOUBLE_EQ(flux.valeurFrequence, c.frequence) << c.date;
    EXPECT_DOUBLE_EQ(cible.voie(5).ValeurCourante, c.frequence);
  }
  EXPECT_EQ(cible.NbreCourant, 0);  // no sweep under way
  EXPECT_EQ(controle.relancesCardiaque, 0);
  recoit(battements({0x7D000001u}));
  EXPECT_EQ(controle.relancesCardiaque, 1);
  EXPECT_EQ(flux.oldDateEF, 0u);
}

TEST_F(Flux, HeartbeatsRecordedDuringASweep) {
  flux.coeffFiltreCardiaque = 1;
  cible.duree = 2.5;
  flux.arme(eaCardiaque);
  const std::uint32_t s = 8000000;
  for (int k = 1; k <= 5; ++k) {
    controle.horloge = 100 + k;
    recoit(battements({std::uint32_t(k) * s}));
  }
  EXPECT_EQ(cible.NbreCourant, 4);  // the sweep ended past 2.5 s
  EXPECT_EQ(controle.etatAcq, eaMajResul);
  EXPECT_DOUBLE_EQ(cible.voie(1).vecteurAff[0], 0);
  EXPECT_DOUBLE_EQ(cible.voie(1).vecteurAff[3], 3);
  EXPECT_DOUBLE_EQ(cible.vecteurTemps[2], 2);
  EXPECT_DOUBLE_EQ(cible.voie(5).vecteurAff[3], 60);
}

struct SourcePuxTest : ISourcePux {
  std::vector<std::uint8_t> octets;
  std::vector<int> relances;
  std::size_t lit(std::uint8_t* dest, std::size_t max) override {
    const std::size_t n = std::min(max, octets.size());
    std::copy_n(octets.begin(), n, dest);
    octets.erase(octets.begin(), octets.begin() + std::ptrdiff_t(n));
    return n;
  }
  void relanceReception(int n) override { relances.push_back(n); }
};

TEST_F(Flux, PuxBytesComeFromTheDriverExceptForFastAndCardiacModes) {
  SourcePuxTest pux;
  flux.sourcePux = &pux;
  flux.PuxActif = true;
  cible.actives({6});
  flux.arme(eaResul);
  recoit(octets16({99}));  // the port carries nothing of this stream
  EXPECT_EQ(cible.NbreCourant, 0);
  pux.octets = octets16({7, 8, 9});
  flux.TriggerAvailBinPux(4);
  EXPECT_EQ(cible.NbreCourant, 2);
  EXPECT_EQ(pux.octets.size(), 2u);
  EXPECT_EQ(code(6, 1), 8);

  cible.NbreVoie = 1;
  cible.NbreInter = 2;
  flux.arme(eaResulUnMega);
  flux.TriggerAvailBinPux(2);  // not read in the 1 MHz mode
  EXPECT_EQ(pux.octets.size(), 2u);
  recoit(octets16({5, 6}));
  EXPECT_EQ(controle.etatAcq, eaMajResul);
}

TEST_F(Flux, SweepDecodedAlikeInRunsAndByteByByte) {
  // The port hands runs of bytes to the run decoder; the PUX II driver's
  // bytes go one by one through the single-byte decoder.
  std::mt19937 alea(3);
  std::vector<std::uint8_t> o(3 * 2 * 500 + 7);
  for (auto& b : o) b = std::uint8_t(alea());
  CibleTest parPort, parPux;
  ControleTest c1, c2;
  TfluxResultats f1(parPort, c1), f2(parPux, c2);
  SourcePuxTest pux;
  f2.sourcePux = &pux;
  f2.PuxActif = true;
  for (auto* c : {&parPort, &parPux}) {
    c->actives({6, 8, 10});
    c->NbreInter = 400;
  }
  f1.arme(eaResul);
  f2.arme(eaResul);
  for (std::size_t i = 0; i < o.size();) {
    const std::size_t k = std::min<std::size_t>(1 + alea() % 9, o.size() - i);
    f1.TriggerAvailBin(o.data() + i, k);
    pux.octets.assign(o.begin() + std::ptrdiff_t(i), o.begin() + std::ptrdiff_t(i + k));
    f2.TriggerAvailBinPux(int(k));
    i += k;
  }
  EXPECT_EQ(parPort.NbreCourant, 400);
  EXPECT_EQ(parPux.NbreCourant, 400);
  EXPECT_EQ(c1.etatAcq, eaMajResul);
  EXPECT_EQ(c2.etatAcq, eaMajResul);
  for (int s : {6, 8, 10}) {
    for (std::size_t i = 0; i <= 400; ++i) {
      ASSERT_EQ(parPort.voie(s).vecteurCourant[i], parPux.voie(s).vecteurCourant[i]) << s << " " << i;
    }
  }
  EXPECT_EQ(parPort.voie(6).vecteurCourant[399], std::int16_t(o[2 * 3 * 399] | o[2 * 3 * 399 + 1] << 8));
}

TEST_F(Flux, WholePointsDecodedAlikeForEveryChainAndReadSize) {
  // Whole points of a read are copied at once: every chain length, reads
  // that cut points anywhere, a lost first byte, a sweep that ends inside a
  // read, against the single-byte decoder.
  struct Cas {
    std::vector<int> actives;
    std::size_t lectureMax;  // 0: the whole stream in one read
    bool octetPerdu;
  };
  const Cas cas[] = {
      {{7}, 512, false},          {{7}, 0, true},           {{6, 9}, 9, false},
      {{6, 9}, 512, true},        {{6, 8, 10}, 0, false},   {{6, 8, 10}, 7, true},
      {{6, 7, 8, 10}, 512, false}, {{6, 7, 8, 10}, 13, true}, {{6, 7, 8, 9, 10}, 512, false},
      {{6, 7, 8, 9, 10}, 0, true}, {{6, 7, 8, 9, 10}, 11, false},
  };
  std::mt19937 alea(5);
  for (const Cas& c : cas) {
    const std::int32_t nbreInter = 300;
    const std::size_t K = c.actives.size();
    // More than the sweep holds: what follows its last value is discarded.
    std::vector<std::uint8_t> o(2 * K * (nbreInter + 20) + 1);
    for (auto& b : o) b = std::uint8_t(alea());
    const std::size_t debut = c.octetPerdu ? 1 : 0;
    CibleTest parPort, parPux;
    ControleTest c1, c2;
    TfluxResultats f1(parPort, c1), f2(parPux, c2);
    SourcePuxTest pux;
    f2.sourcePux = &pux;
    f2.PuxActif = true;
    for (auto* cb : {&parPort, &parPux}) {
      cb->actives(c.actives);
      cb->NbreInter = nbreInter;
    }
    f1.arme(eaResul);
    f2.arme(eaResul);
    for (std::size_t i = debut; i < o.size();) {
      std::size_t k = o.size() - i;
      if (c.lectureMax != 0) k = std::min<std::size_t>(1 + alea() % c.lectureMax, k);
      f1.TriggerAvailBin(o.data() + i, k);
      pux.octets.assign(o.begin() + std::ptrdiff_t(i), o.begin() + std::ptrdiff_t(i + k));
      f2.TriggerAvailBinPux(int(k));
      i += k;
    }
    SCOPED_TRACE(::testing::Message() << K << " inputs, reads <= " << c.lectureMax
                                      << ", lost byte " << c.octetPerdu);
    EXPECT_EQ(parPort.NbreCourant, nbreInter);
    EXPECT_EQ(parPux.NbreCourant, nbreInter);
    EXPECT_EQ(c1.etatAcq, eaMajResul);
    EXPECT_EQ(f1.etatAvail, eaNone);
    for (std::size_t j = 0; j < K; ++j) {
      const int s = c.actives[j];
      for (std::size_t i = 0; i <= std::size_t(nbreInter); ++i) {
        ASSERT_EQ(parPort.voie(s).vecteurCourant[i], parPux.voie(s).vecteurCourant[i]) << s << " " << i;
      }
      const std::size_t p = debut + 2 * (K * std::size_t(nbreInter - 1) + j);
      EXPECT_EQ(parPort.voie(s).vecteurCourant[std::size_t(nbreInter - 1)],
                std::int16_t(o[p] | o[p + 1] << 8));
      EXPECT_EQ(parPort.voie(s).vecteurCourant[std::size_t(nbreInter)], 0) << s;
    }
  }
}

}  // namespace
