// Signal models of the simulated interface's inputs: each gives the voltage
// at any instant as a pure function of time, so that a test can recompute
// exactly what a sweep must have carried.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace sim {

enum class Forme { constante, sinus, carre, triangle, bruit };

struct ModeleSignal {
  Forme forme = Forme::constante;
  double amplitude = 0;  // volts (peak)
  double offset = 0;     // volts; the whole value of a constant
  double frequence = 1;  // Hz

  // Volts at tMs (ms since the emulator's origin).
  //  sine:     off + amp sin(2 pi f t)
  //  square:   off + amp during the first half of each period, off - amp after
  //  triangle: off - amp at the start of a period, off + amp at its middle
  //  noise:    off + amp u, u uniform in [-1, 1], fixed for each microsecond
  double volts(double tMs) const;
  // Periodic with a usable frequency (what a period meter can see).
  bool periodique() const;
};

// Converter code of a voltage: codes -32768..32767 span -10 V..+10 V, to the
// nearest code (halves to even), clamped.
std::int16_t codeDeVolts(double volts);
double voltsDeCode(std::int16_t code);

// "sine:amp=2,off=0,freq=5" (forms: constant, sine, square, triangle, noise;
// keys amp, off, freq in any order, each optional); nullopt when unreadable.
std::optional<ModeleSignal> lisModeleSignal(const std::string& texte);

}  // namespace sim
