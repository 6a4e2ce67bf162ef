// Any text a user can type as a formula: compiling either succeeds or raises
// one of the parser's exceptions, and evaluating never traps, crashes or
// gives an infinity (a failure is NaN).

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "core/formulas/parser/parser.h"

namespace {

double triple(double x) { return 3 * x; }
double ecart(double a, double b) { return a - b; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  static const double valeurs[] = {0.0, -0.0, 1.0, -1.0, 0.5, 7.0, 1e300, -1e-300,
                                   9.3e18, inf, -inf, std::numeric_limits<double>::quiet_NaN()};
  TParser p;
  p.AddFunctionOneParam("TRIPLE", triple);
  p.AddFunctionTwoParam("ECART", ecart);
  double* v1 = p.SetVariable("V1", 0);
  double* mode = p.SetVariable("MODE", 0);
  const std::string texte(reinterpret_cast<const char*>(data), size);
  try {
    p.SetExpression(texte);
  } catch (const EMathParserError&) {
    if (!p.ParserError() || p.Compiled() || p.Value() != 0.0) std::abort();
    return 0;
  }
  if (p.ParserError()) std::abort();
  for (const double v : valeurs) {
    p.V() = v;
    p.A() = -v;
    *v1 = v * 3;
    *mode = 2 - v;
    const double r = p.Value();
    if (std::isinf(r)) std::abort();
    if (!std::isfinite(p.ValeurOu(1e-26))) std::abort();
  }
  return 0;
}
