#include "core/counters/frequence/brulon.h"

#include "core/link/commandes/commandes.h"

Tbrulon::Tbrulon() : TvoieNonEA("dt", "s", "D\u00e9marrage sur CLAP", 12) {
  // The module's analog input is the channel's input.
  FnumBrixo = EAi;
  Fmini = 0;
  Fmaxi = 0.1;
  setMinMax();
}

Tbrulon::~Tbrulon() = default;

std::string Tbrulon::GetNomVoieBrixo() const { return "Brulon"; }

std::string Tbrulon::calibreVoie() const { return " s"; }

std::string Tbrulon::Commande(TModeAcq mode) const {
  switch (mode) {
    case AcqTemps:
    case AcqUnMega:
      return commandes::WBRULON(EFi, SBi, true);
    case AcqClavier:
    case AcqPoint:
    case AcqSortieAna:
      return commandes::WBRULON(EFi, SBi, false);
    default:
      return {};
  }
}
