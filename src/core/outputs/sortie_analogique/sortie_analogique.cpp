#include "core/outputs/sortie_analogique/sortie_analogique.h"

TsortieAnalogique::TsortieAnalogique() : TvoieNonEA("Vsa", "V", "Tension sortie analogique", 2) {
  FnumBrixo = -1;
}

TsortieAnalogique::~TsortieAnalogique() = default;

std::string TsortieAnalogique::GetNomVoieBrixo() const { return std::string("SA") + SAi; }

std::string TsortieAnalogique::calibreVoie() const {
  return SAi == '1' ? "\u00b15V" : "0-5 V";
}
