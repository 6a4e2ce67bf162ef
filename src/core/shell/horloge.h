// The one clock and event pump of the program. Every wait of the link (and of
// anything else that must not freeze the window) goes through it, so that tests
// can run the same code in simulated time.
#pragma once

class IHorloge {
public:
  virtual ~IHorloge() = default;

  // Monotonic time in milliseconds, any origin.
  virtual double maintenantMs() = 0;

  // Lets pending events run (window messages, data arriving on the port) for at
  // most ms milliseconds without busy-waiting. May return earlier, as soon as
  // some event was handled: callers re-check their condition and the clock.
  virtual void pompe(double ms) = 0;

  // Waits ms milliseconds while events keep running.
  void attends(double ms) {
    const double fin = maintenantMs() + ms;
    for (double reste = ms; reste > 0; reste = fin - maintenantMs()) pompe(reste);
  }
};
