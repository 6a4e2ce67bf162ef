#pragma once
// A channel that can be drawn: its screen scale (value to pixel and back),
// the graduation of its axis, the band it occupies on the graph, its
// automatic-zoom range and the controls that show it in the channel panel.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/channels/model/voie.h"
#include "core/channels/numbers/nombres.h"

// Controls of the channel panel, defined by the window layer; a curve only
// keeps pointers to them and never owns them.
class TLabelVoie;
class TGroupeVoie;
class TBoutonAbscisse;

namespace echellePixel {

// Far off-screen pixels are clamped rather than wrapped, so that a line
// towards them keeps its direction.
inline constexpr double limitePixel = 1e8;

// Pixel a * v + b of a linear axis, -1 for the no-value marker and for a
// non-finite result. Branch-free, as it runs once per sample: after adding
// 1.5 x 2^52 the low 32 bits of the double hold the rounded pixel
// (|p| <= 1e8), halves to even.
inline int pixelLineaire(double a, double b, double v) {
  constexpr double aimant = 6755399441055744.0;
  const double p = a * v + b;
  const bool valide = v != valeurAbsente && p - p == 0;  // p - p is NaN for inf and NaN
  const double c = std::min(std::max(valide ? p : 0.0, -limitePixel), limitePixel);
  const double t = c + aimant;
  std::uint64_t u;
  std::memcpy(&u, &t, sizeof u);
  return valide ? int(std::int32_t(std::uint32_t(u))) : -1;
}

// Extremes of v[0..n-1] (n >= 1) over the values that are not NaN, and
// whether any value is NaN (both extremes stay NaN if every value is). The
// no-value marker counts as a value: it can only matter where it lies
// between the extremes, which is for the caller to check.
struct Textremes {
  double bas;
  double haut;
  bool nan;
};
Textremes extremes(const double* v, std::size_t n);

}  // namespace echellePixel

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
