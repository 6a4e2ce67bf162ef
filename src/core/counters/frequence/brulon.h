#pragma once
// Slot 12 of the acquisition set: the ultrasound module, the delay of a
// sound wave between two microphones.

#include <cstdint>
#include <string>

#include "core/channels/model/enumerations.h"
#include "core/display/courbes/courbe.h"

class Tbrulon : public TvoieNonEA {
 public:
  Tbrulon();
  ~Tbrulon() override;
  std::string GetNomVoieBrixo() const override;
  std::string calibreVoie() const override;
  // Measurement command of the mode: "WBRULON" in the time and 1 MHz modes,
  // "WSON" in the keyboard, point and analog-output modes, "" otherwise.
  std::string Commande(TModeAcq mode) const;

  // --- fields, in the order of the model ---
  std::int32_t EFi = 0;
  std::int32_t SBi = 8;
  std::int32_t EAi = 8;
  bool AttenteDeltat = false;
};
