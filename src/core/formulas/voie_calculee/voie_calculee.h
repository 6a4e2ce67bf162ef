#pragma once
// Slot 11 of the acquisition set: a quantity computed by a formula of the
// channels of slots 1..10, e.g. V2*V1/15.2.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "core/display/courbes/courbe.h"

class TvoieCalculee : public TvoieNonEA {
 public:
  TvoieCalculee();
  ~TvoieCalculee() override;

  std::string GetNomVoieBrixo() const override;
  std::string calibreVoie() const override;
  // Declares a variable for each active channel of slots 1..10 (its symbol),
  // then compiles the text without blanks. A text that does not compile
  // deactivates the channel (with a message when it was active); "" clears
  // the formula.
  void setExpression(const std::string& texte) override;
  // The formula on the current values; valeurAbsente without a formula or
  // when the evaluation fails.
  double CalcValeur();
  // vecteurAff[0..N-1] from the shown values of the channels.
  void recopieC(std::int32_t N);

  // Channel of a slot 1..10 of the set (nullptr when none); set by the set.
  std::function<Tvoie*(int)> voieDuSlot;

  // --- fields, in the order of the model ---
  // Variable of the formula for slots 1..10 (index 0 unused).
  std::array<double*, 11> VoltEAParser{};

 private:
  Tvoie* voie(int i) const { return voieDuSlot ? voieDuSlot(i) : nullptr; }
};

inline constexpr const char* msgErreurSyntaxeCalcul = " : erreur de syntaxe";
