#include "core/acquisition/controle/table_timer.h"

namespace {

using A = TactionTick;
constexpr std::array<TligneTimer, 8> table{{
    /* AcqClavier   */ {A::mesure, A::mesure, A::mesure, A::mesure},
    /* AcqTemps     */ {A::mesureSiUtilisateur, A::progression, A::fin, A::rien},
    /* AcqPoint     */ {A::point, A::point, A::point, A::point},
    /* AcqPivane    */ {A::rien, A::pivaneProgression, A::pivaneFin, A::rien},
    /* AcqSortieAna */ {A::mesure, A::sortieAnaPas, A::rien, A::rien},
    /* AcqUnMega    */ {A::rien, A::progressionMega, A::fin, A::rien},
    /* AcqCardiaque */ {A::cardiaque, A::cardiaque, A::cardiaque, A::cardiaque},
    /* AcqFiltre    */ {A::filtre, A::filtre, A::filtre, A::filtre},
}};

constexpr TligneTimer aucune{A::rien, A::rien, A::rien, A::rien};

}  // namespace

const TligneTimer& ligneTimer(TModeAcq mode) {
  return mode < table.size() ? table[mode] : aucune;
}

TactionTick actionTick(TModeAcq mode, TetatAcq etat) {
  return etat < 4 ? ligneTimer(mode)[etat] : A::rien;
}

int periodeTimerMs(TModeAcq mode, bool frequenceLente, int periodeSortieAna) {
  switch (mode) {
    case AcqClavier:
    case AcqPoint:
      return frequenceLente ? 1000 : 250;
    case AcqTemps:
    case AcqUnMega:
    case AcqPivane:
      return 250;
    case AcqCardiaque:
      return 500;
    case AcqFiltre:
      return 1000;
    case AcqSortieAna:
      return periodeSortieAna > 0 ? periodeSortieAna : 250;
  }
  return 250;
}
