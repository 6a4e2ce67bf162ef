#pragma once
// Integer results of quotients of decimal quantities (durations, intervals),
// exact for exact decimal inputs despite binary floating point.

#include <cstdint>

namespace balayage {

// round(a / b), halves to even; a quotient within a few ulps of an integer
// or of a half is taken as that value (0.0355 / 0.001 is exactly 35.5).
// b == 0 or a non-finite quotient gives 0.
std::int64_t quotientArrondi(double a, double b);
// trunc(a / b) with the same care (0.3 / 0.1 gives 3).
std::int64_t quotientTronque(double a, double b);

}  // namespace balayage
