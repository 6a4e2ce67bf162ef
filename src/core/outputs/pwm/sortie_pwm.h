#pragma once
// The PWM output: lives beside the acquisition set, in no slot.

#include <cstdint>
#include <string>

#include "core/display/courbes/courbe.h"

class TsortiePWM : public TvoieNonEA {
 public:
  TsortiePWM();
  ~TsortiePWM() override;
  // "PWM0" or "PWM1".
  std::string GetNomVoieBrixo() const override;

  // --- fields, in the order of the model ---
  std::int32_t Ffrequence = 1000;  // Hz
  std::int32_t Fduty100 = 50;      // percent
  std::int32_t Fperiode = 0;
  std::int32_t Fhorloge = 0;
  std::int32_t FcodeDuty = 0;
  bool FperiodeOK = false;
  char PWMi = '0';
};
