#pragma once
// The program's clock and event pump on the Qt event loop.
#include <QElapsedTimer>

#include "core/shell/horloge.h"

class THorlogeQt : public IHorloge {
 public:
  THorlogeQt();
  double maintenantMs() override;
  void pompe(double ms) override;

 private:
  QElapsedTimer depart_;
};
