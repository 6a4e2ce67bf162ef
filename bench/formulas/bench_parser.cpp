// Formula evaluation speed, TParser beside muParser, on typical sensor and
// computed-channel formulas: one evaluation, and a whole 60001-sample column.

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/formulas/parser/parser.h"

#ifdef VYK2_HAVE_MUPARSER
#include <muParser.h>
#endif

namespace {

const char* const formules[] = {"V*2+1", "(V-0.4)*25", "100*exp(-V/2.3)+log10(V+11)",
                                "V1*V2/15.2"};
constexpr int nbreFormules = 4;
constexpr std::size_t tailleColonne = 60001;

// Inputs that vary from one evaluation to the next, the same for both.
struct Entrees {
  std::vector<double> v1, v2;
  Entrees() : v1(tailleColonne), v2(tailleColonne) {
    for (std::size_t k = 0; k < tailleColonne; ++k) {
      v1[k] = 2.5 + 2.4 * std::sin(0.001 * static_cast<double>(k));
      v2[k] = 1.0 + 0.5 * std::cos(0.0007 * static_cast<double>(k));
    }
  }
};
const Entrees& entrees() {
  static const Entrees e;
  return e;
}

// Each engine behind the same three steps: compile, set inputs, evaluate.
struct MoteurTParser {
  TParser p;
  double* v1 = nullptr;
  double* v2 = nullptr;
  explicit MoteurTParser(const char* formule) {
    v1 = p.SetVariable("V1", 0);
    v2 = p.SetVariable("V2", 0);
    p.SetExpression(formule);
  }
  void entree(double a, double b) {
    p.V() = a;
    *v1 = a;
    *v2 = b;
  }
  double valeur() { return p.Value(); }
};

#ifdef VYK2_HAVE_MUPARSER
struct MoteurMuParser {
  mu::Parser p;
  double v = 0, v1 = 0, v2 = 0;
  explicit MoteurMuParser(const char* formule) {
    p.DefineVar("V", &v);
    p.DefineVar("V1", &v1);
    p.DefineVar("V2", &v2);
    p.SetExpr(formule);
    p.Eval();  // compiles to its bytecode on first use
  }
  void entree(double a, double b) {
    v = a;
    v1 = a;
    v2 = b;
  }
  double valeur() { return p.Eval(); }
};
#endif

template <class Moteur>
void parEvaluation(benchmark::State& etat, const char* formule) {
  Moteur m(formule);
  const Entrees& e = entrees();
  std::size_t k = 0;
  for (auto _ : etat) {
    m.entree(e.v1[k], e.v2[k]);
    benchmark::DoNotOptimize(m.valeur());
    if (++k == 1024) k = 0;
  }
}

template <class Moteur>
void parColonne(benchmark::State& etat, const char* formule) {
  Moteur m(formule);
  const Entrees& e = entrees();
  std::vector<double> sortie(tailleColonne);
  for (auto _ : etat) {
    for (std::size_t k = 0; k < tailleColonne; ++k) {
      m.entree(e.v1[k], e.v2[k]);
      sortie[k] = m.valeur();
    }
    benchmark::DoNotOptimize(sortie.data());
    benchmark::ClobberMemory();
  }
  etat.SetItemsProcessed(etat.iterations() * static_cast<std::int64_t>(tailleColonne));
}

template <class Moteur>
void enregistre(const std::string& moteur) {
  for (int n = 0; n < nbreFormules; ++n) {
    const std::string suffixe = "/" + moteur + "/" + std::to_string(n + 1);
    benchmark::RegisterBenchmark(("BM_Formula" + suffixe).c_str(), parEvaluation<Moteur>,
                                 formules[n]);
    benchmark::RegisterBenchmark(("BM_FormulaColumn" + suffixe).c_str(), parColonne<Moteur>,
                                 formules[n])
        ->Unit(benchmark::kMicrosecond);
  }
}

const bool enregistres = [] {
  enregistre<MoteurTParser>("TParser");
#ifdef VYK2_HAVE_MUPARSER
  enregistre<MoteurMuParser>("muParser");
#endif
  return true;
}();

}  // namespace
