#pragma once
// The time base: slot 1 of the acquisition set. Holds the sweep duration,
// the sampling interval and the share of the sweep kept before the
// trigger, enforces their limits and gives the time of every point.

#include <cstdint>
#include <vector>

#include "core/acquisition/base_temps/synchro.h"
#include "core/channels/model/enumerations.h"
#include "core/display/courbes/courbe.h"

// What the time base and the sweep settings read of, and change in, the
// acquisition set they belong to (implemented by the set).
class IensembleBalayage {
 public:
  virtual ~IensembleBalayage() = default;
  virtual TModeAcq modeAcquisition() const = 0;
  virtual TModeSynchro modeDeclenchement() const = 0;
  // NbreInter and fixeNbreInter of the set.
  virtual std::int32_t nbreInter() const = 0;
  virtual void fixeNbreInter(std::int32_t n) = 0;
  // Number of active analog inputs taking part in the sweep.
  virtual std::int32_t nbreVoie() const = 0;
  // Puts the trigger input in place and counts the active analog inputs.
  virtual void verifieSynchroEtCompte() = 0;
  // Input numbers of the active analog inputs, in slot order.
  virtual std::vector<int> entreesActives() const = 0;
  virtual int freqMega() const = 0;
  virtual void fixeFreqMega(int f) = 0;
  virtual void fixeCoeffInterp(double c) = 0;
};

// Duration limits of a mode, in seconds.
struct TlimitesDuree {
  double mini;
  double maxi;
};
TlimitesDuree limitesDuree(TModeAcq mode, int nbreVoie, int freqMega);

class TbaseDeTemps : public TvoieNonEA {
 public:
  // ensemble may be nullptr (a lone time base: time mode, one input).
  explicit TbaseDeTemps(IensembleBalayage* ensemble = nullptr);
  ~TbaseDeTemps() override;

  void fixeEnsemble(IensembleBalayage* e) { Fensemble = e; }

  double DureeBalayage() const { return FDureeBalayage; }
  std::int32_t PreAcq100() const { return FPreAcq100; }

  // Duration within the limits of the current mode; moves the time scale.
  void fixeDureeBalayage(double x);
  // Pre-trigger percentage, lowered so that at most 1000 points come first.
  void fixePreAcq100(std::int32_t p);
  // Points recorded before the trigger (0..1000).
  std::int32_t comptePreAcq() const;
  // True when the sweep keeps points before a hardware trigger.
  bool avecPreAcq() const;
  // vecteurAff[i] := i * Deltat + Mini for every i of the vector.
  void remplitTemps();

  // --- fields, in the order of the model ---
  double FDureeBalayage = 1;
  std::int32_t FPreAcq100 = 0;
  double Deltat = 1.0 / 128;
  bool PreAcqPermis = false;

 private:
  TModeAcq mode() const;
  TModeSynchro synchro() const;
  std::int32_t nbreInter() const;
  std::int32_t nbreVoie() const;
  int freqMega() const;
  IensembleBalayage* Fensemble;
};
