#pragma once
// Slot 5 of the acquisition set: the frequency meter (period of a logic
// signal on an edge input, or frequency of an analog signal by level
// crossing); also the heart rate of the cardiac mode.

#include <cstdint>
#include <string>

#include "core/display/courbes/courbe.h"

class Tfrequence : public TvoieNonEA {
 public:
  Tfrequence();
  ~Tfrequence() override;
  // "EAD1" in automatic mode, else "EF" + numVoie.
  std::string GetNomVoieBrixo() const override;
  std::string calibreVoie() const override;

  // --- fields, in the order of the model ---
  std::int32_t seuil = 128;
  bool FreqEA11 = false;
  std::int32_t numVoie = 0;
  double miniF = 100;
  double maxiF = 10000;
};
