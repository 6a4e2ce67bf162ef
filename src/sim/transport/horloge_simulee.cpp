#include "sim/transport/horloge_simulee.h"

#include <algorithm>
#include <limits>

namespace sim {

int HorlogeSimulee::ajouteSource(Source s) {
  sources_.emplace(++suivant_, std::move(s));
  return suivant_;
}

void HorlogeSimulee::retireSource(int id) { sources_.erase(id); }

void HorlogeSimulee::pompe(double ms) {
  ++pompes_;
  const double cible = t_ + std::max(ms, 0.0);
  double prochain = std::numeric_limits<double>::infinity();
  for (auto& [id, s] : sources_) prochain = std::min(prochain, s.prochain());
  // An event due now or before the target ends the pump early, as a real
  // event loop returns once it has handled something.
  const double avant = t_;
  t_ = prochain <= cible ? std::max(t_, prochain) : cible;
  // A source that keeps saying "due now" without delivering must not freeze time.
  immobile_ = (t_ == avant && ms > 0) ? immobile_ + 1 : 0;
  if (immobile_ > 100) {
    t_ = cible;
    immobile_ = 0;
  }
  // Copy: a delivery may add or remove sources.
  const auto sources = sources_;
  for (auto& [id, s] : sources) s.livre(t_);
  if (pendantPompe) pendantPompe();
}

}  // namespace sim
