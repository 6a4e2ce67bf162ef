// A full sweep from the simulated interface over a pseudo-terminal, through
// the Qt serial port and the link's binary dispatcher, into the channels.
#include <QCoreApplication>
#include <filesystem>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "../../vue_enregistreuse.h"
#include "../cible_test.h"
#include "core/link/liaison.h"
#include "platform/link/horloge_qt.h"
#include "platform/link/port_serie_qt.h"
#include "platform/link/ports.h"
#include "sim/pty/pty_sim.h"

namespace fs = std::filesystem;

namespace {

QCoreApplication& application() {
  static int argc = 1;
  static char nom[] = "test_flux_pty";
  static char* argv[] = {nom, nullptr};
  static QCoreApplication app(argc, argv);
  return app;
}

struct DossierPorts {
  fs::path chemin;
  DossierPorts() {
    char modele[] = "/tmp/vyk2-flux-XXXXXX";
    chemin = mkdtemp(modele);
  }
  ~DossierPorts() { fs::remove_all(chemin); }
};

struct FluxPty : ::testing::Test {
  static void SetUpTestSuite() { application(); }

  DossierPorts dossier;
  HorlogeQt horloge;
  PortSerieQt port{CartePorts(dossier.chemin.string(), false)};
  VueEnregistreuse vue;
  TLiaison liaison{port, horloge, vue};
  CibleTest cible;
  ControleTest controle;
  TfluxResultats flux{cible, controle};

  bool attendsQue(const std::function<bool()>& condition, double maxMs = 10000) {
    const double fin = horloge.maintenantMs() + maxMs;
    while (!condition()) {
      if (horloge.maintenantMs() > fin) return false;
      horloge.pompe(20);
    }
    return true;
  }
};

TEST_F(FluxPty, StreamedSweepDecodesToTheSignalModels) {
  sim::ConfigEmulateur config;
  config.prepare = [](sim::Emulateur& e) {
    e.etat().entrees[11].signal = sim::ModeleSignal{sim::Forme::sinus, 3, 0.5, 50};
    e.etat().entrees[10].signal = sim::ModeleSignal{sim::Forme::triangle, 2, -1, 120};
    e.etat().entrees[2].signal = sim::ModeleSignal{sim::Forme::carre, 4, 1, 75};
  };
  sim::PtySim interface(3, dossier.chemin.string(), config);
  ASSERT_TRUE(liaison.detecteInterface());
  ASSERT_EQ(liaison.recepteur(), TLiaison::Recepteur::binaire);
  flux.installe(liaison);

  // Slots 6, 7, 9 on inputs 11, 10, 2; 2000 points at 100 us after a
  // threshold crossing of 0 V rising on input 11.
  cible.actives({6, 7, 9});
  cible.voie(6).FnumBrixo = 11;
  cible.voie(7).FnumBrixo = 10;
  cible.voie(9).FnumBrixo = 2;
  cible.NbreInter = 2000;
  flux.arme(eaResul);
  liaison.ecritBrixo("WPE 3 1980 100 1 11 10 2");
  const double depart = horloge.maintenantMs();
  liaison.ecritBrixo("WAPREAC 20 128 M");
  ASSERT_TRUE(attendsQue([&] { return controle.etatAcq == eaMajResul; }));
  // Paced in real time: the 1980 points after the trigger take 198 ms.
  EXPECT_GE(horloge.maintenantMs() - depart, 197.0);
  EXPECT_EQ(cible.NbreCourant, 2000);
  EXPECT_EQ(flux.etatAvail, eaNone);

  std::optional<sim::Balayage> b;
  interface.avec([&](sim::Emulateur& e) { b = e.etat().dernierBalayage; });
  ASSERT_TRUE(b);
  const int voiesTest[3] = {6, 7, 9};
  const int entrees[3] = {11, 10, 2};
  for (int j = 0; j < 3; ++j) {
    const sim::ModeleSignal m = *[&] {
      std::optional<sim::ModeleSignal> s;
      interface.avec([&](sim::Emulateur& e) { s = e.etat().entrees[std::size_t(entrees[j])].signal; });
      return s;
    }();
    for (long k = 0; k < 2000; ++k) {
      const double volts = cible.voie(voiesTest[j]).ValeurVolt(cible.voie(voiesTest[j]).vecteurCourant[std::size_t(k)]);
      ASSERT_NEAR(volts, m.volts(b->instant(k, j)), 20.0 / 65536) << "slot " << voiesTest[j] << " point " << k;
    }
  }
  // The trigger sits between the pre-trigger points and the others.
  EXPECT_LT(cible.voie(6).vecteurCourant[19], 0);
  EXPECT_GE(cible.voie(6).vecteurCourant[20], 0);
}

}  // namespace
