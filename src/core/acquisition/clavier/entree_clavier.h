#pragma once
// Slot 3 of the acquisition set: the values the user types in the
// keyboard-entry mode.

#include <string>

#include "core/display/courbes/courbe.h"

class TentreeClavier : public TvoieNonEA {
 public:
  TentreeClavier();
  ~TentreeClavier() override;
  std::string GetNomVoieBrixo() const override;
};
