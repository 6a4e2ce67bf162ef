#pragma once
// Slot 2 of the acquisition set: the analog output, its ramps, its
// stimulation pulses and its computed waveform.

#include <array>
#include <cstdint>
#include <string>

#include "core/display/courbes/courbe.h"

class TsortieAnalogique : public TvoieNonEA {
 public:
  TsortieAnalogique();
  ~TsortieAnalogique() override;
  // "SA0" or "SA1".
  std::string GetNomVoieBrixo() const override;
  // "0-5 V" for SA0, "±5V" for SA1.
  std::string calibreVoie() const override;

  // --- fields, in the order of the model ---
  std::array<std::int16_t, 6> DebutSortie{0, 0, 0, 0, 0, 0};
  std::array<std::int16_t, 6> FinSortie{255, 0, 0, 0, 0, 0};
  std::int32_t DeltatSA = 1000;  // ms
  char SAi = '0';
  std::int32_t NbreInterSA = 0;
  bool UseGBF = false;
  bool Base32Micro = false;
  std::int32_t NbreRampes = 1;
  std::int32_t nbrePulse = 2;
  std::int32_t largeurPulse = 2;
  std::int32_t distancePulse = 10;
  std::int32_t debutPulse = 2;
  std::string expressionFiltre;
};
