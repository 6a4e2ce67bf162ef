#pragma once
// Slot 4 of the acquisition set: the optical fork, as a position (or angle)
// channel rebuilt from the events counted by the interface.

#include <cstdint>

#include "core/display/courbes/courbe.h"

class Tpivane : public TvoieNonEA {
 public:
  Tpivane();
  ~Tpivane() override;

  // Encoder mode: (V - 128) * increment; otherwise V * TraitPivaneE.
  double ValeurReal(int V) const override;
  std::string calibreVoie() const override;
  // Positions of the N events received so far and the range that shows
  // them; temps are the event times (slot 1 of the set).
  void recopieM(std::int32_t N, const TVecteur& temps);

  // --- fields, in the order of the model ---
  bool FmodeAngulaire = false;
  bool FmodeRadian = false;
  bool Fchute = false;
  double increment = 0.0018;
  double TraitPivaneE = 0.0018;
  std::int32_t OscilMin = 8;
  bool ArretAuto = false;
  double DureeOscillation = 2;
  bool isCodeurInc = false;
  bool codeurActif = false;
  bool Negatif = false;
  std::uint8_t EFi = 0;
  std::uint8_t EBi = 5;
  bool PasEntier = false;
  bool Montant = false;
  bool Synchro = false;
};
