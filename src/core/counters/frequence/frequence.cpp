#include "core/counters/frequence/frequence.h"

Tfrequence::Tfrequence() : TvoieNonEA("f", "Hz", "Fr\u00e9quence", 5) {
  Fmini = miniF;
  Fmaxi = maxiF;
  FnumBrixo = -1;
}

Tfrequence::~Tfrequence() = default;

std::string Tfrequence::GetNomVoieBrixo() const {
  return FreqEA11 ? "EAD1" : "EF" + std::to_string(numVoie);
}

std::string Tfrequence::calibreVoie() const { return formatUnite(maxiF); }
