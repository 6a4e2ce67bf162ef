#pragma once
// One step of a compiled formula. Operands and result are addresses fixed at
// compilation (variables, constants, slots of earlier results), so that the
// evaluation loop never looks anything up.

#include <cstdint>

using TFonctionUnParam = double (*)(double);
using TFonctionDeuxParam = double (*)(double, double);

namespace vyk2::formules {

enum class Code : std::uint8_t {
  // one operand: a
  Neg, Sin, Cos, Tan, Cotan, Arctan, Sinh, Cosh, Exp, Ln, Log10, Log2,
  Sqr, Cube, Pow4, PowI, Sqrt, Abs, Trunc, Ceil, Floor, Heav, Sign, Zero,
  Noise, Random, Ph, Arg1, Appel1,
  // two operands: a, b
  Add, Sub, Mul, Div, IDiv, IMod, PowR, Max, Min, Power, IntPower, LogN,
  Arg2, Appel2,
  // (a k1 b) k2 c, then c k2 (a k1 b), for k1, k2 in + - * /:
  // Fusion0 + (k1 * 4 + k2) * 2 + side
  Fusion0, Fusion1, Fusion2, Fusion3, Fusion4, Fusion5, Fusion6, Fusion7,
  Fusion8, Fusion9, Fusion10, Fusion11, Fusion12, Fusion13, Fusion14,
  Fusion15, Fusion16, Fusion17, Fusion18, Fusion19, Fusion20, Fusion21,
  Fusion22, Fusion23, Fusion24, Fusion25, Fusion26, Fusion27, Fusion28,
  Fusion29, Fusion30, Fusion31,
};

struct Operation {
  Code code{};
  const double* a = nullptr;
  const double* b = nullptr;
  const double* c = nullptr;
  double* r = nullptr;
  std::int64_t n = 0;               // PowI: the integer exponent
  TFonctionUnParam f1 = nullptr;    // Appel1
  TFonctionDeuxParam f2 = nullptr;  // Appel2
};

}  // namespace vyk2::formules
