#include "ui/shell/horloge_qt.h"

#include <QCoreApplication>
#include <QTimer>
#include <cmath>

THorlogeQt::THorlogeQt() { depart_.start(); }

double THorlogeQt::maintenantMs() { return static_cast<double>(depart_.nsecsElapsed()) / 1e6; }

void THorlogeQt::pompe(double ms) {
  // The timer only wakes the loop up; any other event ends the wait sooner.
  QTimer reveil;
  reveil.setSingleShot(true);
  reveil.setTimerType(Qt::PreciseTimer);
  reveil.start(std::max(1, static_cast<int>(std::ceil(ms))));
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}
