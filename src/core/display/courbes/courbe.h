#pragma once
// A channel that can be drawn: its screen scale (value to pixel and back),
// the graduation of its axis, the band it occupies on the graph, its
// automatic-zoom range and the controls that show it in the channel panel.

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/channels/model/voie.h"

// Controls of the channel panel, defined by the window layer; a curve only
// keeps pointers to them and never owns them.
class TLabelVoie;
class TGroupeVoie;
class TBoutonAbscisse;

class TCourbe : public Tvoie {
 public:
  // Channel of input Anumero: inactive, scale a = 1, b = 0, range -10..10,
  // no averaging, linear axis.
  TCourbe(const std::string& Anom, const std::string& Aunite, const std::string& Asignif,
          int Anumero);
  ~TCourbe() override;

  // Pixel of value r; -1 (not drawn) for the no-value marker and, on a
  // logarithmic axis, for r <= 0 or a failed logarithm.
  int XWindow(double r) const;
  // XWindow of n values at once (the drawing's inner loop).
  void XWindowBloc(const double* r, int* pixels, std::size_t n) const;
  // Value at pixel xi (linear scale).
  double XMonde(int xi) const;
  // Graduation of an axis from min to max: deltaAxe, pointDebut, exposant,
  // NbreChiffre and axeDateTime. grandAxe: room for fewer than ten intervals
  // (otherwise fewer than five).
  void setDelta(bool grandAxe, double min, double max);
  // Label of a graduation value already divided by exposant.
  std::string FormatAxe(double x) const;
  // Extremes of vecteurAff[0..Nbre-1], widened by a fiftieth of the range
  // on each side and kept within it. An empty or fully missing sweep gives
  // the channel's range.
  void chercheMinmax(int Nbre, double& min, double& max) const;

  // A plain curve or TvoieNonEA changes neither ValeurReal nor ValeurVolt
  // and keeps the block fast path; any further derived class gets the loop
  // over its own ValeurReal unless it overrides this again.
  void ValeurRealBloc(const std::int16_t* codes, double* valeurs, std::size_t n) const override;

  // --- fields, in the order of the model ---
  double a = 1;
  double b = 0;
  std::int32_t IndexDernier = 0;
  double deltaAxe = 1;
  double exposant = 1;
  double pointDebut = 0;
  bool axeLog = false;
  bool axeDateTime = false;
  std::int32_t NbreChiffre = 3;
  std::int32_t courbeBottom = 0;
  std::int32_t courbeTop = 0;
  TLabelVoie* LabelVoie = nullptr;
  TGroupeVoie* GBvoie = nullptr;
  TBoutonAbscisse* AbscisseBtn = nullptr;
  double miniLoupe = -10;
  double maxiLoupe = 10;
};

// Common base of the channels that are not analog inputs: only the range
// normalisation differs (no clamping to the converter, engineering prefix).
class TvoieNonEA : public TCourbe {
 public:
  using TCourbe::TCourbe;
  ~TvoieNonEA() override;
  void setMinMax() override;
};
