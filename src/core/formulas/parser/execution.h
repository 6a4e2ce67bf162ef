#pragma once
// Internal: what each operation computes. Shared by the evaluation loop and
// by constant folding, so that a folded constant is exactly what the
// evaluation would have given.

#include <cmath>
#include <cstdint>
#include <limits>

#include "core/formulas/parser/operation.h"

namespace vyk2::formules {

inline constexpr double pi = 3.141592653589793;
inline constexpr double echec = std::numeric_limits<double>::quiet_NaN();

inline bool fini(double x) { return std::isfinite(x); }

// Uniform in [0, 1), per thread.
double aleatoire();

// x raised to n by repeated squaring.
inline double puissanceEntiere(double x, std::int64_t n) {
  std::uint64_t m = n < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(n)
                          : static_cast<std::uint64_t>(n);
  double r = 1.0;
  while (m != 0) {
    if (m & 1U) r *= x;
    m >>= 1U;
    if (m != 0) x *= x;
  }
  return n < 0 ? 1.0 / r : r;
}

// Truncation to a 64-bit integer; false when out of range.
inline bool versEntier(double x, std::int64_t& n) {
  if (!(x >= -9223372036854775808.0 && x < 9223372036854775808.0)) return false;
  n = static_cast<std::int64_t>(x);
  return true;
}

inline double divEntiere(double a, double b) {
  std::int64_t x = 0, y = 0;
  if (!versEntier(a, x) || !versEntier(b, y) || y == 0) return echec;
  if (y == -1) return -static_cast<double>(x);  // INT64_MIN / -1 would trap
  return static_cast<double>(x / y);
}

inline double modEntier(double a, double b) {
  std::int64_t x = 0, y = 0;
  if (!versEntier(a, x) || !versEntier(b, y) || y == 0) return echec;
  if (y == -1) return 0.0;
  return static_cast<double>(x % y);
}

inline double puissanceEntiereReelle(double a, double b) {
  std::int64_t n = 0;
  if (!versEntier(b, n)) return echec;
  return puissanceEntiere(a, n);
}

inline double phase(double x) {
  return x - 2.0 * pi * std::nearbyint(x / (2.0 * pi));
}

inline double angle(double x, double y) {
  if (x > 0) return std::atan(y / x);
  if (x < 0) return std::atan(y / x) + pi;
  if (y > 0) return pi / 2;
  if (y < 0) return -pi / 2;
  return 0.0;
}

inline double bruit(double x) {
  const double s = aleatoire() + aleatoire() + aleatoire();
  return 3.0 * x * (2.0 * s / 3.0 - 1.0);
}

inline double signe(double x) { return x > 0 ? 1.0 : (x < 0 ? -1.0 : 0.0); }

template <int K>
inline double arith(double x, double y) {
  if constexpr (K == 0) return x + y;
  if constexpr (K == 1) return x - y;
  if constexpr (K == 2) return x * y;
  if constexpr (K == 3) return x / y;
}

template <int K1, int K2, int S>
inline double fusion(const Operation& op) {
  const double t = arith<K1>(*op.a, *op.b);
  if constexpr (S == 0) {
    return arith<K2>(t, *op.c);  // a non-finite t stays so
  } else {
    if constexpr (K2 == 3)
      if (!fini(t)) return echec;  // c / inf would hide the failure
    return arith<K2>(*op.c, t);
  }
}

inline constexpr Code codeFusion(int k1, int k2, int cote) {
  return static_cast<Code>(static_cast<int>(Code::Fusion0) + (k1 * 4 + k2) * 2 + cote);
}

// The result of one operation of code c (op.code, or a constant for a
// specialised evaluator); may be infinite or NaN, which the caller treats as
// a failure.
[[gnu::always_inline]] inline double executer(Code c, const Operation& op) {
  const double a = *op.a;
  switch (c) {
    case Code::Neg: return -a;
    case Code::Sin: return std::sin(a);
    case Code::Cos: return std::cos(a);
    case Code::Tan: return std::tan(a);
    case Code::Cotan: return 1.0 / std::tan(a);
    case Code::Arctan: return std::atan(a);
    case Code::Sinh: return std::sinh(a);
    case Code::Cosh: return std::cosh(a);
    case Code::Exp: return std::exp(a);
    case Code::Ln: return std::log(a);
    case Code::Log10: return std::log10(a);
    case Code::Log2: return std::log2(a);
    case Code::Sqr: return a * a;
    case Code::Cube: return a * a * a;
    case Code::Pow4: { const double c = a * a; return c * c; }
    case Code::PowI: return puissanceEntiere(a, op.n);
    case Code::Sqrt: return std::sqrt(a);
    case Code::Abs: return std::fabs(a);
    case Code::Trunc: return std::trunc(a);
    case Code::Ceil: return std::ceil(a);
    case Code::Floor: return std::floor(a);
    case Code::Heav: return a >= 0 ? 1.0 : 0.0;
    case Code::Sign: return signe(a);
    case Code::Zero: return a == 0 ? 0.0 : 1.0;
    case Code::Noise: return bruit(a);
    case Code::Random: return aleatoire();
    case Code::Ph: return phase(a);
    case Code::Arg1: return angle(a, 0.0);
    case Code::Appel1: return op.f1(a);
    case Code::Add: return a + *op.b;
    case Code::Sub: return a - *op.b;
    case Code::Mul: return a * *op.b;
    case Code::Div: return a / *op.b;
    case Code::IDiv: return divEntiere(a, *op.b);
    case Code::IMod: return modEntier(a, *op.b);
    case Code::PowR:
    case Code::Power: return std::pow(a, *op.b);
    case Code::Max: return a >= *op.b ? a : *op.b;
    case Code::Min: return a <= *op.b ? a : *op.b;
    case Code::IntPower: return puissanceEntiereReelle(a, *op.b);
    case Code::LogN: return std::log(*op.b) / std::log(a);
    case Code::Arg2: return angle(a, *op.b);
    case Code::Appel2: return op.f2(a, *op.b);
#define VYK2_FUSION(k1, k2)                                          \
  case codeFusion(k1, k2, 0): return fusion<k1, k2, 0>(op);         \
  case codeFusion(k1, k2, 1): return fusion<k1, k2, 1>(op);
#define VYK2_FUSIONS(k1) \
  VYK2_FUSION(k1, 0) VYK2_FUSION(k1, 1) VYK2_FUSION(k1, 2) VYK2_FUSION(k1, 3)
      VYK2_FUSIONS(0)
      VYK2_FUSIONS(1)
      VYK2_FUSIONS(2)
      VYK2_FUSIONS(3)
#undef VYK2_FUSIONS
#undef VYK2_FUSION
  }
  return echec;
}

// Built-in functions of the tables, and the operation each compiles to.
struct FonctionPredefinie {
  const char* nom;
  TFonctionUnParam f1;    // one argument, or null
  TFonctionDeuxParam f2;  // two arguments, or null
  Code code;
};
extern const FonctionPredefinie fonctionsPredefinies[];
extern const int nbreFonctionsPredefinies;

// Operation of a built-in function, false for another function.
bool codeDeFonction(TFonctionUnParam f, Code& code);
bool codeDeFonction(TFonctionDeuxParam f, Code& code);

inline double executer(const Operation& op) { return executer(op.code, op); }

// Whether the operation can turn an infinite or NaN operand at position
// (0: a, 1: b, 2: c) into a number, hiding the failure (1/inf, EXP(-inf),
// HEAV(NaN)); such operands, when variables, are checked before evaluating.
inline bool absorbe(const Operation& op, int position) {
  const int c = static_cast<int>(op.code);
  if (c >= static_cast<int>(Code::Fusion0)) {
    const int f = c - static_cast<int>(Code::Fusion0);
    const int k1 = f / 8, k2 = (f / 2) % 4, cote = f % 2;
    return (position == 1 && k1 == 3) || (position == 2 && k2 == 3 && cote == 0);
  }
  switch (op.code) {
    case Code::Neg: case Code::Sin: case Code::Cos: case Code::Tan: case Code::Cotan:
    case Code::Sinh: case Code::Cosh: case Code::Ln: case Code::Log10: case Code::Log2:
    case Code::Sqr: case Code::Cube: case Code::Pow4: case Code::Sqrt: case Code::Abs:
    case Code::Trunc: case Code::Ceil: case Code::Floor: case Code::Noise: case Code::Ph:
    case Code::Add: case Code::Sub: case Code::Mul: case Code::IDiv: case Code::IMod:
      return false;
    case Code::PowI: return op.n <= 0;
    case Code::Div: return position == 1;
    default: return true;
  }
}

// Operations whose result depends only on their operands.
inline bool pure(Code c) {
  return c != Code::Noise && c != Code::Random && c != Code::Appel1 && c != Code::Appel2;
}

}  // namespace vyk2::formules
