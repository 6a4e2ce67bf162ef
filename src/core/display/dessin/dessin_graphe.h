#pragma once
// The oscilloscope drawing of the acquisition set: layout, axes and their
// graduations, curves in every style, saved pages, trigger level, markers
// and the live reticle, on any ICanevas (screen, bitmap, printer).
//
// The drawing reads the set through TsourceDessin, which its owner fills
// (slots, counts, modes, options) before drawing; the layout state lives
// in TdessinGraphe and is kept between a Draw and the next TraceCourbes.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/channels/model/enumerations.h"
#include "core/channels/model/vecteur.h"
#include "core/display/courbes/courbe.h"
#include "core/display/dessin/canevas.h"
#include "core/display/dessin/ttrace.h"

inline constexpr int nbreSlots = 12;

// A time mark as the drawing sees it; the drawing writes back where the
// mark's edit box goes (centred on the line).
struct TrepereDessin {
  double Valeur = 0;
  std::string texte;
  int boiteGauche = 0;
  int boiteHaut = 0;
  int boiteLargeur = 0;
};

struct TsourceDessin {
  std::array<TCourbe*, nbreSlots + 1> voieBrixo{};  // slots 1..12; nullptr: absent
  int voieAbscisse = 1;
  int NbreAff = 0;
  int NbreInter = 0;  // points of a full sweep (FNbreInter)
  sTrace Trace{trLigne};
  TModeAcq ModeAcq = AcqTemps;
  bool loupeAuto = false;
  // Threshold trigger (ModeSynchro = S_seuil), its slot (lireVoieSynchro),
  // level in the slot's unit and edge.
  bool synchroSeuil = false;
  int voieSynchro = 6;
  double seuilSynchroReal = 0;
  bool montant = true;
  // Saved pages.
  int nbrePages = 0;
  int premierePage = 0;
  std::array<int, nbrePagesMax> oldNbre{};
  // Event times of the cardiac mode.
  const TVecteur* vecteurTemps = nullptr;
  std::vector<TrepereDessin>* ListeRepere = nullptr;
  // Display options.
  bool avecGrille = false;
  bool courbesSeparees = false;
  bool avecAxeVertical = true;
  bool remanence = false;
  int dimPoint = 2;
  int largeurLigne = 1;
  bool noirEtBlanc = false;
  bool impression = false;
  Tcouleur couleurFond = clBlanc;   // window colour
  Tcouleur couleurTexte = clNoir;   // window-text colour
  std::string nomFonte = "Calibri";

  TCourbe* voie(int slot) const {
    return slot >= 1 && slot <= nbreSlots ? voieBrixo[std::size_t(slot)] : nullptr;
  }
};

namespace dessin {

// One point of a reduced polyline.
using Tpoints = std::vector<Tpoint>;

// Appends to `sortie` the points (x[i], y[i]) of a polyline, keeping of each
// run of consecutive points in one pixel column only the first, the lowest,
// the highest and the last (in their order), which covers the same pixels.
// A point with -1 on either axis ends the current piece: `fin` is called
// with each finished piece (at least one point).
void reduitPolyligne(const int* x, const int* y, std::size_t n, Tpoints& tampon,
                     const std::function<void(const Tpoints&)>& fin);

// Where each run of equal x starts, in order, then n.
void debutsDeColonnes(const int* x, std::size_t n, std::vector<std::size_t>& debuts);

// reduitPolyligne for drawing by columns (colonnesDePolyligne), with the
// runs of x given by debutsDeColonnes and the ordinates given as values on a
// linear axis (pixel a * v + b, see echellePixel::pixelLineaire): only the kept
// points are scaled, without an array of pixels. The pieces are those of
// reduitPolyligne; each column keeps its first, lowest, highest and last
// pixel, the lowest and highest in that order whatever their order in the run.
void reduitCourbe(const int* x, const std::vector<std::size_t>& debuts, double a, double b,
                  const double* v, Tpoints& tampon,
                  const std::function<void(const Tpoints&)>& fin);

// The pixels of a reduced polyline piece as vertical runs, one per column;
// a step between neighbouring columns belongs to the left one but for the
// right end's own pixel (as raster lines are drawn); joins between columns
// further apart stay segments (pairs of points).
void colonnesDePolyligne(const Tpoints& piece, std::vector<Tcolonne>& colonnes,
                         Tpoints& segments);

// Kernel of the sinc interpolation for oversampling d (144 entries).
std::array<double, 144> noyauSinc(int d);
// Sinc interpolation of (x, y) into (xs, ys); returns the point count.
int interpoleSinc(const double* x, const double* y, int n, TVecteur& xs, TVecteur& ys);

// Font size in points for a drawing area 30 x H pixels high.
int tailleFonte(int H, int pixelsParPouce, bool impression);

}  // namespace dessin

class TdessinGraphe {
 public:
  TsourceDessin source;
  ICanevas* Canvas = nullptr;  // not owned

  // --- layout state ---
  Trect LimiteFenetre;
  Trect LimiteCourbe;
  int HautCarac = 0;
  int LargCarac = 0;
  int Marge = 0;
  bool avecAxeX = false;
  bool avecAxeY = false;
  bool grandAxeX = false;
  bool grandAxeY = false;
  int NbreCourbe = 0;
  double DeltaSpiro = 1.0;
  bool ReticuleTrace = false;

  // Everything, inside LimiteFenetre (the caller fills the background).
  void Draw();
  // The curves and the trigger level over the last layout, without erasing.
  void TraceCourbes();
  void SetHauteurFonte(int H);
  void PenDefault();
  void TraceMotif(int xi, int yi, Tmotif motif);
  // Marker at a channel's live value.
  void TraceUnPoint(int slot);
  // Cross of +-10 pixels at a channel's live value.
  void TraceReticule(int slot);
  void TraceRepere(TrepereDessin& r);
  // The live-value crosses of every curve in not-xor mode: drawn when
  // hidden, erased when shown. avantTrace runs before a drawing (to
  // refresh the channel labels).
  void basculeReticule(const std::function<void()>& avantTrace = {});
  // Live values the reticle points at, refreshed after a full redraw.
  void rafraichitValeursReticule();

  // Layout step alone (used by Draw; public for the mouse readouts).
  void calculeDisposition();
  // Slots drawn as curves (active, 2..12, not the abscissa), in slot order.
  std::vector<int> slotsCourbes() const;

 private:
  Tcouleur couleurDe(Tcouleur c) const { return source.noirEtBlanc ? clNoir : c; }
  void plume(Tcouleur c, int largeur, TstylePlume style = psSolid, TmodePlume mode = pmCopy);
  void traceAxes();
  void traceAxeX();
  void traceAxeGauche(TCourbe& c, bool separees);
  void traceAxeDroit(TCourbe& c);
  void traceZero(TCourbe& c);
  void fleche(int x, int y, int dx, int dy);
  void traceCourbe(int slot);
  void tracePolyligne(const TCourbe& abscisse, const double* x, const TCourbe& c,
                      const double* y, int n);
  // Same with the abscissa pixels already known, and their runs
  // (dessin::debutsDeColonnes).
  void tracePolyligne(const int* xpix, const std::vector<std::size_t>& debuts, const TCourbe& c,
                      const double* y, int n);
  void traceSpiro(TCourbe& c);
  void traceSinc(TCourbe& c, Tcouleur couleur);
  void tracePaliers(const TCourbe& c);
  void traceCardiaque();
  void traceSeuil();
  std::string etiquette(const TCourbe& c, double g, double fraction) const;

  Tplume plume_;
  std::vector<int> xs_;
  std::vector<int> ys_;
  std::vector<int> xAbscisse_;  // pixels of the abscissa for TraceCourbes
  std::vector<std::size_t> debutsAbscisse_;  // and their runs
  std::vector<std::size_t> debuts_;
  dessin::Tpoints tampon_;
  std::vector<Tcolonne> colonnes_;
  dessin::Tpoints segments_;
};
