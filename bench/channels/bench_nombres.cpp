// Number text speed: a whole 60001-sample column written for the companion
// data file, and the readers behind every numeric field.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include "core/channels/numbers/nombres.h"

namespace {

constexpr std::size_t tailleColonne = 60001;

void BM_Nombres_formatEchangeColonne(benchmark::State& state) {
  std::vector<double> v(tailleColonne);
  for (std::size_t k = 0; k < tailleColonne; ++k) v[k] = 2.5 * std::sin(0.001 * double(k)) + 1e-3;
  for (auto _ : state) {
    std::size_t total = 0;
    for (double x : v) total += formatEchange(x).size();
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_Nombres_formatEchangeColonne)->Unit(benchmark::kMillisecond);

void BM_Nombres_formatNombre(benchmark::State& state) {
  double x = 0.0125;
  for (auto _ : state) {
    benchmark::DoNotOptimize(formatNombre(x));
    x += 1e-7;
  }
}
BENCHMARK(BM_Nombres_formatNombre);

void BM_Nombres_lireNombre(benchmark::State& state) {
  const std::string texte = "4,7k";
  for (auto _ : state) benchmark::DoNotOptimize(lireNombre(texte));
}
BENCHMARK(BM_Nombres_lireNombre);

void BM_Nombres_evalueNombre(benchmark::State& state) {
  const std::string texte = "2*PI/3+1.5k";
  for (auto _ : state) benchmark::DoNotOptimize(evalueNombre(texte));
}
BENCHMARK(BM_Nombres_evalueNombre);

}  // namespace
