// Conversion of a whole sweep of raw codes into physical values: a linear
// sensor channel and a formula sensor, beside the plain loop that a linear
// conversion cannot beat.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "core/channels/model/voie.h"

namespace {

constexpr std::size_t nbreCodes = tailleVecteur;  // 60001

const std::vector<std::int16_t>& codes() {
  static const std::vector<std::int16_t> c = [] {
    std::vector<std::int16_t> v(nbreCodes);
    for (std::size_t k = 0; k < nbreCodes; ++k)
      v[k] = std::int16_t(std::lround(30000 * std::sin(0.001 * double(k))));
    return v;
  }();
  return c;
}

void remplit(Tvoie& v) {
  const auto& c = codes();
  std::copy(c.begin(), c.end(), v.vecteurCourant.data());
}

void BM_ValeurReal_linear(benchmark::State& state) {
  Tvoie v(6);
  v.AvecCapteur = true;
  v.Offset = -10;
  v.UnVolt = 25;
  remplit(v);
  for (auto _ : state) {
    v.convertitVecteur(0, nbreCodes);
    benchmark::DoNotOptimize(v.vecteurAff.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(nbreCodes));
}
BENCHMARK(BM_ValeurReal_linear)->Name("BM_ValeurReal/linear");

void BM_ValeurReal_formula(benchmark::State& state) {
  Tvoie v(6);
  v.AvecCapteur = true;
  v.setExpression("(V-0.4)*25");
  remplit(v);
  for (auto _ : state) {
    v.convertitVecteur(0, nbreCodes);
    benchmark::DoNotOptimize(v.vecteurAff.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(nbreCodes));
}
BENCHMARK(BM_ValeurReal_formula)->Name("BM_ValeurReal/formula");

void BM_ValeurReal_plainloop(benchmark::State& state) {
  const auto& c = codes();
  std::vector<double> sortie(nbreCodes);
  double a = 25;
  double b = -10;
  benchmark::DoNotOptimize(a);
  benchmark::DoNotOptimize(b);
  for (auto _ : state) {
    for (std::size_t k = 0; k < nbreCodes; ++k) sortie[k] = c[k] * 20.0 / 65536.0 * a + b;
    benchmark::DoNotOptimize(sortie.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(nbreCodes));
}
BENCHMARK(BM_ValeurReal_plainloop)->Name("BM_ValeurReal/plainloop");

}  // namespace
