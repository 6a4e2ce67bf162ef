#include "core/acquisition/base_temps/base_temps.h"

#include <algorithm>

#include "core/channels/numbers/nombres.h"

TlimitesDuree limitesDuree(TModeAcq mode, int nbreVoie, int freqMega) {
  if (mode == AcqUnMega) return {5e-5, arrondi125(0.06 / std::max(1, freqMega))};
  // With no input counted yet the single-input bound applies.
  return {nbreVoie <= 1 ? 1e-4 : nbreVoie * 8e-5, 2.16e8};
}

TbaseDeTemps::TbaseDeTemps(IensembleBalayage* ensemble)
    : TvoieNonEA("t", "s", "Dur\u00e9e", 1), Fensemble(ensemble) {
  Fmini = 0;
  Fmaxi = 1;
  FnumBrixo = -1;
}

TbaseDeTemps::~TbaseDeTemps() = default;

TModeAcq TbaseDeTemps::mode() const { return Fensemble ? Fensemble->modeAcquisition() : AcqTemps; }
TModeSynchro TbaseDeTemps::synchro() const {
  return Fensemble ? Fensemble->modeDeclenchement() : S_clavier;
}
std::int32_t TbaseDeTemps::nbreInter() const { return Fensemble ? Fensemble->nbreInter() : 128; }
std::int32_t TbaseDeTemps::nbreVoie() const { return Fensemble ? Fensemble->nbreVoie() : 1; }
int TbaseDeTemps::freqMega() const { return Fensemble ? Fensemble->freqMega() : 1; }

bool TbaseDeTemps::avecPreAcq() const {
  return FPreAcq100 > 0 && PreAcqPermis && mode() == AcqTemps &&
         (synchro() == S_front || synchro() == S_seuil);
}

void TbaseDeTemps::fixeDureeBalayage(double x) {
  const TlimitesDuree l = limitesDuree(mode(), nbreVoie(), freqMega());
  if (!(x >= l.mini)) x = l.mini;  // a NaN is raised to the bound too
  if (x > l.maxi) x = l.maxi;
  FDureeBalayage = x;
  if (avecPreAcq()) {
    Fmini = -x * FPreAcq100 / 100;
    Fmaxi = x + Fmini;
  } else {
    Fmini = 0;
    Fmaxi = x;
  }
}

void TbaseDeTemps::fixePreAcq100(std::int32_t p) {
  if (!PreAcqPermis) p = 0;
  p = std::clamp(p, 0, 100);
  const std::int64_t n = std::max(1, nbreInter());
  if (p * n / 100 > 1000) p = static_cast<std::int32_t>(100000 / n);
  FPreAcq100 = p;
  fixeDureeBalayage(FDureeBalayage);
}

std::int32_t TbaseDeTemps::comptePreAcq() const {
  if (!avecPreAcq()) return 0;
  const std::int64_t n = std::int64_t(nbreInter()) * FPreAcq100 / 100;
  return static_cast<std::int32_t>(std::min<std::int64_t>(n, 1000));
}

void TbaseDeTemps::remplitTemps() {
  double* t = vecteurAff.data();
  for (std::size_t i = 0; i < tailleVecteur; ++i) t[i] = static_cast<double>(i) * Deltat + Fmini;
}
