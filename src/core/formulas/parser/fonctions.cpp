// Built-in functions of the formula language.

#include <cmath>
#include <cstdint>
#include <random>

#include "core/formulas/parser/execution.h"

namespace vyk2::formules {

double aleatoire() {
  // splitmix64: fast, and good enough for noise added to a signal.
  thread_local std::uint64_t etat = [] {
    std::random_device source;
    return (static_cast<std::uint64_t>(source()) << 32U) ^ source();
  }();
  std::uint64_t z = (etat += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30U)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27U)) * 0x94D049BB133111EBULL;
  z ^= z >> 31U;
  return static_cast<double>(z >> 11U) * 0x1.0p-53;
}

namespace {

double fSin(double x) { return std::sin(x); }
double fCos(double x) { return std::cos(x); }
double fTan(double x) { return std::tan(x); }
double fCotan(double x) { return 1.0 / std::tan(x); }
double fArctan(double x) { return std::atan(x); }
double fSinh(double x) { return std::sinh(x); }
double fCosh(double x) { return std::cosh(x); }
double fExp(double x) { return std::exp(x); }
double fLn(double x) { return std::log(x); }
double fLog(double x) { return std::log10(x); }
double fLog2(double x) { return std::log2(x); }
double fSqr(double x) { return x * x; }
double fSqrt(double x) { return std::sqrt(x); }
double fAbs(double x) { return std::fabs(x); }
double fTrunc(double x) { return std::trunc(x); }
double fCeil(double x) { return std::ceil(x); }
double fFloor(double x) { return std::floor(x); }
double fHeav(double x) { return x >= 0 ? 1.0 : 0.0; }
double fSign(double x) { return signe(x); }
double fZero(double x) { return x == 0 ? 0.0 : 1.0; }
double fNoise(double x) { return bruit(x); }
double fRandom(double) { return aleatoire(); }
double fPh(double x) { return phase(x); }
double fArg1(double x) { return angle(x, 0.0); }

double fMax(double a, double b) { return a >= b ? a : b; }
double fMin(double a, double b) { return a <= b ? a : b; }
double fPower(double a, double b) { return std::pow(a, b); }
double fIntPower(double a, double b) { return puissanceEntiereReelle(a, b); }
double fLogN(double a, double b) { return std::log(b) / std::log(a); }
double fArg2(double x, double y) { return angle(x, y); }

}  // namespace

const FonctionPredefinie fonctionsPredefinies[] = {
    {"SIN", fSin, nullptr, Code::Sin},
    {"COS", fCos, nullptr, Code::Cos},
    {"TAN", fTan, nullptr, Code::Tan},
    {"COTAN", fCotan, nullptr, Code::Cotan},
    {"ARCTAN", fArctan, nullptr, Code::Arctan},
    {"SINH", fSinh, nullptr, Code::Sinh},
    {"COSH", fCosh, nullptr, Code::Cosh},
    {"EXP", fExp, nullptr, Code::Exp},
    {"LN", fLn, nullptr, Code::Ln},
    {"LOG", fLog, nullptr, Code::Log10},
    // The sensor dialogs tell users to write log10(x).
    {"LOG10", fLog, nullptr, Code::Log10},
    {"LOG2", fLog2, nullptr, Code::Log2},
    {"SQR", fSqr, nullptr, Code::Sqr},
    {"SQRT", fSqrt, nullptr, Code::Sqrt},
    {"ABS", fAbs, nullptr, Code::Abs},
    {"TRUNC", fTrunc, nullptr, Code::Trunc},
    {"INT", fTrunc, nullptr, Code::Trunc},
    {"CEIL", fCeil, nullptr, Code::Ceil},
    {"FLOOR", fFloor, nullptr, Code::Floor},
    {"HEAV", fHeav, nullptr, Code::Heav},
    {"SIGN", fSign, nullptr, Code::Sign},
    {"ZERO", fZero, nullptr, Code::Zero},
    {"NOISE", fNoise, nullptr, Code::Noise},
    {"RANDOM", fRandom, nullptr, Code::Random},
    {"PH", fPh, nullptr, Code::Ph},
    {"ARG", fArg1, nullptr, Code::Arg1},
    {"MAX", nullptr, fMax, Code::Max},
    {"MIN", nullptr, fMin, Code::Min},
    {"POWER", nullptr, fPower, Code::Power},
    {"INTPOWER", nullptr, fIntPower, Code::IntPower},
    {"LOGN", nullptr, fLogN, Code::LogN},
    {"ARG", nullptr, fArg2, Code::Arg2},
};
const int nbreFonctionsPredefinies =
    static_cast<int>(sizeof fonctionsPredefinies / sizeof fonctionsPredefinies[0]);

bool codeDeFonction(TFonctionUnParam f, Code& code) {
  for (const auto& p : fonctionsPredefinies) {
    if (p.f1 != nullptr && p.f1 == f) {
      code = p.code;
      return true;
    }
  }
  return false;
}

bool codeDeFonction(TFonctionDeuxParam f, Code& code) {
  for (const auto& p : fonctionsPredefinies) {
    if (p.f2 != nullptr && p.f2 == f) {
      code = p.code;
      return true;
    }
  }
  return false;
}

}  // namespace vyk2::formules
