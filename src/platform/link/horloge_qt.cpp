#include "platform/link/horloge_qt.h"

#include <QCoreApplication>
#include <QTimer>
#include <cmath>

HorlogeQt::HorlogeQt() { chrono_.start(); }

double HorlogeQt::maintenantMs() { return double(chrono_.nsecsElapsed()) / 1e6; }

void HorlogeQt::pompe(double ms) {
  if (!(ms > 0)) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return;
  }
  // The timer guarantees that the wait for events ends by the deadline.
  QTimer reveil;
  reveil.setSingleShot(true);
  reveil.setTimerType(Qt::PreciseTimer);
  reveil.start(int(std::ceil(std::min(ms, 1e6))));
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}
