#include "core/counters/pivane/pivane.h"

#include <algorithm>
#include <cmath>

#include "core/channels/numbers/nombres.h"

Tpivane::Tpivane() : TvoieNonEA("z", "m", "Fourche optique", 4) { FnumBrixo = -1; }

Tpivane::~Tpivane() = default;

double Tpivane::ValeurReal(int V) const {
  return isCodeurInc ? (V - 128) * increment : V * TraitPivaneE;
}

std::string Tpivane::calibreVoie() const { return {}; }

void Tpivane::recopieM(std::int32_t N, const TVecteur& temps) {
  N = std::clamp<std::int32_t>(N, 0, static_cast<std::int32_t>(tailleVecteur));
  double* v = vecteurAff.data();
  const double s = TraitPivaneE;
  if (Fchute) {
    // Each event is one full stripe period: two half periods.
    const double pas = Negatif ? -2 * s : 2 * s;
    for (std::int32_t i = 0; i < N; ++i) v[i] = i * pas;
    const double bout = (N + 2) * pas;
    Fmini = std::min(0.0, bout);
    Fmaxi = std::max(0.0, bout);
    return;
  }
  if (N == 0) return;
  std::int32_t cmax = vecteurCourant[0];
  std::int32_t cmin = cmax;
  for (std::int32_t i = 1; i < N; ++i) {
    cmax = std::max<std::int32_t>(cmax, vecteurCourant[i]);
    cmin = std::min<std::int32_t>(cmin, vecteurCourant[i]);
  }
  const std::int32_t m = (cmax + cmin) / 2;  // towards zero
  double A = 0;
  for (std::int32_t i = 0; i < N; ++i) {
    if (i + 1 < N && temps[i] > temps[i + 1]) {
      v[i] = valeurAbsente;
      continue;
    }
    v[i] = s * (vecteurCourant[i] - m);
    A = std::max(A, std::fabs(v[i]));
  }
  Fmaxi = A <= 10 * s ? 11 * s : 1.05 * A;
  Fmini = -Fmaxi;
}
