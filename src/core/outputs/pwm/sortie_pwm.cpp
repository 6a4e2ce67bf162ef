#include "core/outputs/pwm/sortie_pwm.h"

// Channel number 0: the output has no slot of the set.
TsortiePWM::TsortiePWM()
    : TvoieNonEA("Vpwm", "V", "Sorties modulation de largeur d'impulsions", 0) {
  FnumBrixo = -1;
}

TsortiePWM::~TsortiePWM() = default;

std::string TsortiePWM::GetNomVoieBrixo() const { return std::string("PWM") + PWMi; }
