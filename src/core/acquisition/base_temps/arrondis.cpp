#include "core/acquisition/base_temps/arrondis.h"

#include <cfloat>
#include <cmath>

#include "core/channels/numbers/nombres.h"

namespace balayage {

std::int64_t quotientArrondi(double a, double b) {
  if (b == 0) return 0;
  const double q = a / b;
  if (!std::isfinite(q)) return 0;
  const double d = 2 * q;
  const double m = arrondiPair(d);
  if (std::fabs(d - m) <= 32 * DBL_EPSILON * std::fmax(1.0, std::fabs(m)))
    return arrondiEntier(m / 2);
  return arrondiEntier(q);
}

std::int64_t quotientTronque(double a, double b) {
  if (b == 0) return 0;
  if (!std::isfinite(a / b)) return 0;
  return ::quotientTronque(a, b);
}

}  // namespace balayage
