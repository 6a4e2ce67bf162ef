// The program's clock and event pump on Qt's event loop.
#pragma once

#include <QElapsedTimer>

#include "core/shell/horloge.h"

class HorlogeQt : public IHorloge {
public:
  HorlogeQt();
  double maintenantMs() override;
  // Processes events, sleeping in the event loop (no busy-wait) until one
  // arrives or ms have passed.
  void pompe(double ms) override;

private:
  QElapsedTimer chrono_;
};
