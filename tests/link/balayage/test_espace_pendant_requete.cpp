// The space bar reaches the window inside any wait of the live-value polling
// (a query's quiet time, its answer wait): the sweep it launches must still
// pair each value with its own channel.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/channels/numbers/nombres.h"
#include "../../acquisition/controle/banc_acquisition.h"
#include "sim/emulator/signal.h"

namespace {


class EspacePendantRequete : public ::testing::TestWithParam<bool> {};

TEST_P(EspacePendantRequete, ChaqueEntreeResteSurSaVoie) {
  // Pump positions across two whole polling cycles (two live queries each).
  for (int k = 1; k <= 80; ++k) {
    sim::ConfigEmulateur config;
    config.debitReel = GetParam();
    BancAcquisition b(config);
    b.emulateur.etat().entrees[10].signal = sim::ModeleSignal{sim::Forme::constante, 0, 2.0, 1};
    b.emulateur.etat().entrees[11].signal = sim::ModeleSignal{sim::Forme::carre, 3.0, 0, 2.0};
    TcontroleAcquisition& c = *b.controle;
    c.AfficheReglage();
    ASSERT_EQ(c.etatAcq, eaAttenteSynchro);

    const long debut = b.horloge.nombrePompes();
    bool lance = false;
    b.horloge.pendantPompe = [&] {
      if (lance || b.horloge.nombrePompes() - debut < k) return;
      lance = true;
      c.toucheEspace();
    };
    ASSERT_TRUE(b.jusqua(
        [&] { return lance && c.etatAcq == eaAttenteSynchro && b.emulateur.etat().balayagesEmis == 1; },
        5000))
        << "pump " << k;
    ASSERT_EQ(b.graphe.NbreAff, 128) << "pump " << k;

    // Nothing but the sweep's own commands after the launch.
    const long gor = b.indexDe("WGOR");
    ASSERT_GE(gor, 0);
    EXPECT_EQ(long(b.commandes.size()), gor + 1) << "pump " << k << ": " << b.commandes.back();

    const sim::Balayage& s = *b.emulateur.etat().dernierBalayage;
    int faux = 0;
    for (int i = 0; i < 128; ++i) {
      const double v1 = b.graphe.voie(6)->vecteurAff[std::size_t(i)];
      const double v2 = b.graphe.voie(7)->vecteurAff[std::size_t(i)];
      const double attendu2 = b.emulateur.etat().entrees[11].signal->volts(s.instant(i, 1));
      faux += std::fabs(v1 - 2.0) > 0.01 || std::fabs(v2 - attendu2) > 0.01;
    }
    EXPECT_EQ(faux, 0) << "pump " << k;
  }
}

INSTANTIATE_TEST_SUITE_P(Ligne, EspacePendantRequete, ::testing::Values(false, true),
                         [](const auto& i) { return i.param ? "debitReel" : "instantane"; });

}  // namespace
