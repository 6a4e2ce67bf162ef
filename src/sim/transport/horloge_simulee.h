// Simulated time for tests: pompe() jumps straight to the next thing that is
// due (a byte from the simulated interface, a test's own event) instead of
// waiting, so a detection that takes a second of protocol time runs at once.
#pragma once

#include <functional>
#include <map>

#include "core/shell/horloge.h"

namespace sim {

class HorlogeSimulee : public IHorloge {
public:
  // Something that produces events in simulated time.
  struct Source {
    std::function<double()> prochain;       // time of its next event, +inf if none
    std::function<void(double tMs)> livre;  // delivers what is due by tMs
  };

  double maintenantMs() override { return t_; }
  void pompe(double ms) override;

  int ajouteSource(Source s);
  void retireSource(int id);

  // Runs once at the end of every pompe(): stands for the window's own events
  // (a click during a wait, an acquisition started meanwhile).
  std::function<void()> pendantPompe;

  // Counts pompe() calls, to show that a wait let the window run.
  long nombrePompes() const { return pompes_; }

private:
  double t_ = 0;
  long pompes_ = 0;
  int immobile_ = 0;
  int suivant_ = 0;
  std::map<int, Source> sources_;
};

}  // namespace sim
