// Conversion of a full sweep: five inputs of 12000 points on linear
// sensors, converted and brought back to the first input's instant.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "core/display/graphe/graphe.h"

namespace {

void BM_CourantVersAff(benchmark::State& state) {
  TgrapheVYK g;
  const int numeros[] = {10, 11, 0, 1, 2};
  for (int s = 6; s <= 10; ++s) {
    TCourbe& c = *g.voie(s);
    c.active = true;
    c.FnumBrixo = numeros[s - 6];
    c.AvecCapteur = true;
    c.UnVolt = 2.5;
    c.Offset = -0.1 * s;
  }
  g.fixeNbreInter(12000);
  g.CoeffInterp = 0.1;
  for (int s = 6; s <= 10; ++s) {
    std::int16_t* codes = g.voie(s)->vecteurCourant.data();
    for (int i = 0; i < g.NbreInter(); ++i) codes[i] = std::int16_t((i * 37 + s * 1000) % 65536 - 32768);
  }
  g.NbreCourant = g.NbreInter();
  for (auto _ : state) {
    g.CourantVersAff();
    benchmark::DoNotOptimize(g.voie(10)->vecteurAff.donnees());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 5 * 12000);
}
BENCHMARK(BM_CourantVersAff)->Unit(benchmark::kMicrosecond);

}  // namespace
