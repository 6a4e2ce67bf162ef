#include "core/display/dessin/dessin_graphe.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/channels/numbers/nombres.h"

Tcouleur Lighten(Tcouleur c, int k) {
  const int ajout = ((((k % 4) + 4) % 4) + 1) * 64;
  const auto plus = [ajout](int v) { return std::min(255, v + ajout); };
  return RGB(plus(rougeDe(c)), plus(vertDe(c)), plus(bleuDe(c)));
}

namespace dessin {

namespace {

// Values of a vector; an untouched vector reads as zeros.
const double* valeursDe(const TVecteur& v) {
  static const std::vector<double> zeros(TVecteur::taille, 0.0);
  const double* d = v.donnees();
  return d ? d : zeros.data();
}

int clampPoints(int n) { return std::clamp(n, 0, int(maxPointsBalayage)); }

}  // namespace

void reduitPolyligne(const int* x, const int* y, std::size_t n, Tpoints& tampon,
                     const std::function<void(const Tpoints&)>& fin) {
  tampon.clear();
  const auto ajoute = [&tampon](int px, int py) {
    if (tampon.empty() || tampon.back().x != px || tampon.back().y != py)
      tampon.push_back({px, py});
  };
  std::size_t i = 0;
  while (i < n) {
    const int col = x[i];
    const int premier = y[i];
    if (col == -1 || premier == -1) {
      if (!tampon.empty()) fin(tampon);
      tampon.clear();
      ++i;
      continue;
    }
    // A run of valid points in one column.
    int bas = premier, haut = premier, dernier = premier;
    std::size_t iMin = i, iMax = i;
    std::size_t j = i + 1;
    for (; j < n && x[j] == col; ++j) {
      const int v = y[j];
      if (v == -1) break;
      iMin = v < bas ? j : iMin;
      bas = v < bas ? v : bas;
      iMax = v > haut ? j : iMax;
      haut = v > haut ? v : haut;
      dernier = v;
    }
    ajoute(col, premier);
    if (iMin < iMax) {
      ajoute(col, bas);
      ajoute(col, haut);
    } else {
      ajoute(col, haut);
      ajoute(col, bas);
    }
    ajoute(col, dernier);
    i = j;
  }
  if (!tampon.empty()) fin(tampon);
  tampon.clear();
}

void debutsDeColonnes(const int* x, std::size_t n, std::vector<std::size_t>& debuts) {
  debuts.clear();
  for (std::size_t i = 0; i < n; ++i)
    if (i == 0 || x[i] != x[i - 1]) debuts.push_back(i);
  debuts.push_back(n);
}

void reduitCourbe(const int* x, const std::vector<std::size_t>& debuts, double a, double b,
                  const double* v, Tpoints& tampon,
                  const std::function<void(const Tpoints&)>& fin) {
  const auto pixel = [a, b](double w) { return echellePixel::pixelLineaire(a, b, w); };
  tampon.clear();
  const auto ajoute = [&tampon](int px, int py) {
    if (tampon.empty() || tampon.back().x != px || tampon.back().y != py)
      tampon.push_back({px, py});
  };
  for (std::size_t r = 0; r + 1 < debuts.size(); ++r) {
    std::size_t i = debuts[r];
    const std::size_t e = debuts[r + 1];
    const int col = x[i];
    // The pixels of the run's extreme values are its extreme pixels, as the
    // scale is monotonic. A NaN, an infinity or an overflowing value (an
    // extreme's pixel is then -1) or a missing value (necessarily between
    // the extremes) sends the run to the exact path.
    const echellePixel::Textremes ex = echellePixel::extremes(v + i, e - i);
    const int pBas = pixel(ex.bas);
    const int pHaut = pixel(ex.haut);
    const bool absente = ex.bas <= valeurAbsente && valeurAbsente <= ex.haut &&
                         std::find(v + i, v + e, valeurAbsente) != v + e;
    if (col == -1 || ex.nan || absente || pBas == -1 || pHaut == -1) {
      // Point by point: each point not drawn ends the piece.
      while (i < e) {
        const int y = col == -1 ? -1 : pixel(v[i]);
        if (y == -1) {
          if (!tampon.empty()) fin(tampon);
          tampon.clear();
          ++i;
          continue;
        }
        int mi = y, ma = y, dernier = y;
        std::size_t j = i + 1;
        for (; j < e; ++j) {
          const int yj = pixel(v[j]);
          if (yj == -1) break;
          mi = std::min(mi, yj);
          ma = std::max(ma, yj);
          dernier = yj;
        }
        ajoute(col, y);
        ajoute(col, mi);
        ajoute(col, ma);
        ajoute(col, dernier);
        i = j;
      }
      continue;
    }
    ajoute(col, pixel(v[i]));
    ajoute(col, std::min(pBas, pHaut));
    ajoute(col, std::max(pBas, pHaut));
    ajoute(col, pixel(v[e - 1]));
  }
  if (!tampon.empty()) fin(tampon);
  tampon.clear();
}

void colonnesDePolyligne(const Tpoints& piece, std::vector<Tcolonne>& colonnes,
                         Tpoints& segments) {
  colonnes.clear();
  segments.clear();
  const std::size_t n = piece.size();
  std::size_t i = 0;
  bool precedente = false;
  Tpoint dernier{};
  while (i < n) {
    const int x = piece[i].x;
    Tcolonne c{x, piece[i].y, piece[i].y};
    std::size_t j = i;
    for (; j < n && piece[j].x == x; ++j) {
      c.haut = std::min(c.haut, piece[j].y);
      c.bas = std::max(c.bas, piece[j].y);
    }
    const Tpoint premier = piece[i];
    if (precedente) {
      if (std::abs(x - dernier.x) == 1) {
        // A steep step between neighbouring columns is drawn, as the
        // raster line does it, in the left column up to the row before the
        // right end, which keeps only its own pixel.
        const bool gaucheAvant = dernier.x < x;
        Tcolonne& gauche = gaucheAvant ? colonnes.back() : c;
        const int yGauche = gaucheAvant ? dernier.y : premier.y;
        const int yDroite = gaucheAvant ? premier.y : dernier.y;
        if (yDroite > yGauche)
          gauche.bas = std::max(gauche.bas, yDroite - 1);
        else if (yDroite < yGauche)
          gauche.haut = std::min(gauche.haut, yDroite + 1);
      } else {
        segments.push_back(dernier);
        segments.push_back(premier);
      }
    }
    colonnes.push_back(c);
    dernier = piece[j - 1];
    precedente = true;
    i = j;
  }
}

std::array<double, 144> noyauSinc(int d) {
  const auto sinc = [](double t) {
    const double s = std::sin(t) / t;
    return std::isfinite(s) ? s : 1.0;
  };
  std::array<double, 144> K{};
  K[0] = 1;
  for (int i = 1; i < 144; ++i) K[std::size_t(i)] = sinc(M_PI * i / d) * sinc(M_PI * i / (5.0 * d));
  return K;
}

int interpoleSinc(const double* x, const double* y, int n, TVecteur& xs, TVecteur& ys) {
  n = clampPoints(n);
  if (n == 0) return 0;
  std::copy_n(x, n, xs.data());
  std::copy_n(y, n, ys.data());
  if (n < 12) return n;
  int d = 12;
  while (d * n > 2048 && d > 2) --d;
  if (d * n > 2048) return n;
  const std::array<double, 144> K = noyauSinc(d);
  double* ax = xs.data();
  double* ay = ys.data();
  const double x0 = x[0];
  const double pas = (x[n - 1] - x[0]) / (double(n - 1) * d);
  const bool absente = std::any_of(y, y + n, [](double v) { return v == valeurAbsente; });
  for (int k = 0; k < d * n; ++k) {
    ax[k] = x0 + k * pas;
    int o = std::max(0, int(arrondiEntier(double(k) / d)) - 5);
    int u = o + 10;
    if (u >= n) {
      o = std::max(0, n - 11);
      u = n - 1;
    }
    double s = 0;
    bool manque = false;
    for (int v = o; v <= u; ++v) {
      const int idx = std::abs(d * v - k);
      if (idx >= 144) continue;
      if (absente && y[v] == valeurAbsente) {
        manque = true;
        break;
      }
      s += y[v] * K[std::size_t(idx)];
    }
    // A missing sample would otherwise enter the sum as 1e-26.
    ay[k] = manque ? valeurAbsente : s;
  }
  return d * n;
}

int tailleFonte(int H, int pixelsParPouce, bool impression) {
  if (pixelsParPouce <= 0) pixelsParPouce = 96;
  int t = (H * 72) / pixelsParPouce;
  t -= t % 2;
  t = std::max(t, 8);
  return std::min(t, impression ? 24 : 18);
}

}  // namespace dessin

using dessin::valeursDe;

// ---------------------------------------------------------------------------

void TdessinGraphe::plume(Tcouleur c, int largeur, TstylePlume style, TmodePlume mode) {
  plume_ = Tplume{c, largeur, style, mode};
  Canvas->setPlume(plume_);
}

void TdessinGraphe::PenDefault() {
  plume_.mode = pmCopy;
  plume_.style = psSolid;
  plume_.largeur = source.impression ? 3 : 1;
  Canvas->setPlume(plume_);
}

void TdessinGraphe::SetHauteurFonte(int H) {
  Tfonte f;
  f.nom = source.nomFonte;
  f.taille = dessin::tailleFonte(H, Canvas->pixelsParPouce(), source.impression);
  f.couleur = couleurDe(source.couleurTexte);
  Canvas->setFonte(f);
  HautCarac = Canvas->hauteurTexte("A");
  LargCarac = Canvas->largeurTexte("A");
  Marge = LargCarac / 2;
}

std::vector<int> TdessinGraphe::slotsCourbes() const {
  std::vector<int> s;
  for (int i = 2; i <= nbreSlots; ++i) {
    const TCourbe* c = source.voie(i);
    if (c && c->active && i != source.voieAbscisse) s.push_back(i);
  }
  return s;
}

void TdessinGraphe::Draw() {
  if (!Canvas) return;
  SetHauteurFonte((LimiteFenetre.Bottom - LimiteFenetre.Top) / 30);
  PenDefault();
  const TCourbe* v1 = source.voie(1);
  plume(couleurDe(v1 ? v1->couleur : clNoir), 1);
  Canvas->setPinceau(Tpinceau{clBlanc, false});
  calculeDisposition();
  traceAxes();
  TraceCourbes();
  if (source.ListeRepere)
    for (TrepereDessin& r : *source.ListeRepere) TraceRepere(r);
  ReticuleTrace = false;
}

void TdessinGraphe::calculeDisposition() {
  const int W = LimiteFenetre.Right - LimiteFenetre.Left;
  const int H = LimiteFenetre.Bottom - LimiteFenetre.Top;
  const std::vector<int> courbes = slotsCourbes();
  // Every drawn curve needs a band, the ultrasound slot 12 included.
  NbreCourbe = int(courbes.size());
  const int k = source.courbesSeparees ? std::max(1, NbreCourbe) : 1;
  avecAxeY = H / 5 > (HautCarac * 5 * k) / 4 && (source.courbesSeparees || source.avecAxeVertical);
  avecAxeX = W > 20 * LargCarac;
  grandAxeY = H / 5 > (HautCarac * 10 * k) / 4;
  grandAxeX = W > 40 * LargCarac;

  LimiteCourbe = LimiteFenetre;
  LimiteCourbe.Left += Marge;
  LimiteCourbe.Top += Marge;
  LimiteCourbe.Bottom -= Marge;
  if (avecAxeY) {
    LimiteCourbe.Left += 4 * LargCarac;
    if (NbreCourbe > 1) LimiteCourbe.Right -= 4 * LargCarac;
  }
  if (avecAxeX) LimiteCourbe.Bottom -= HautCarac;

  for (int i = 1; i <= nbreSlots; ++i) {
    if (TCourbe* c = source.voie(i)) {
      c->courbeTop = LimiteCourbe.Top;
      c->courbeBottom = LimiteCourbe.Bottom;
    }
  }
  if (source.courbesSeparees) {
    const int h = (LimiteCourbe.Bottom - LimiteCourbe.Top) / k - Marge;
    int n = 0;
    for (int s : courbes) {
      TCourbe* c = source.voie(s);
      c->courbeTop = LimiteCourbe.Top + n * h + (n + 1) * Marge;
      c->courbeBottom = c->courbeTop + h;
      ++n;
    }
  }

  // A reversed or empty range would give an infinite scale.
  const auto normalise = [](TCourbe& c) {
    if (c.Fmaxi < c.Fmini) std::swap(c.Fmini, c.Fmaxi);
    if (!(c.Fmaxi != c.Fmini) || !std::isfinite(c.Fmaxi - c.Fmini)) {
      if (!std::isfinite(c.Fmini)) c.Fmini = 0;
      c.Fmaxi = c.Fmini + 1;
    }
  };

  if (TCourbe* x = source.voie(source.voieAbscisse)) {
    normalise(*x);
    x->a = (LimiteCourbe.Right - LimiteCourbe.Left) / (x->Fmaxi - x->Fmini);
    x->b = LimiteCourbe.Left - x->Fmini * x->a;
    x->setDelta(grandAxeX, x->Fmini, x->Fmaxi);
  }
  const int nAff = dessin::clampPoints(source.NbreAff);
  for (int s : courbes) {
    TCourbe& c = *source.voie(s);
    normalise(c);
    if ((s >= 6 && s <= 10) || source.loupeAuto) c.chercheMinmax(nAff, c.miniLoupe, c.maxiLoupe);
    double mi = c.Fmini, ma = c.Fmaxi;
    if (source.loupeAuto && nAff > 16 && c.maxiLoupe > c.miniLoupe) {
      mi = c.miniLoupe;
      ma = c.maxiLoupe;
    }
    c.a = (c.courbeTop - c.courbeBottom) / (ma - mi);
    c.b = c.courbeBottom - mi * c.a;
    c.setDelta(grandAxeY, c.Fmini, c.Fmaxi);
  }
}

std::string TdessinGraphe::etiquette(const TCourbe& c, double g, double fraction) const {
  if (std::fabs(g) < std::fabs(c.Fmaxi - c.Fmini) * fraction) g = 0;
  if (c.axeDateTime) return formatDuree(g);
  return c.FormatAxe(g / c.exposant);
}

void TdessinGraphe::fleche(int x, int y, int dx, int dy) {
  // Two strokes back from the tip, 3 x Marge long and Marge wide.
  const int l = 3 * Marge;
  if (dx != 0) {
    Canvas->ligne(x, y, x - dx * l, y - Marge);
    Canvas->ligne(x, y, x - dx * l, y + Marge);
  } else {
    Canvas->ligne(x, y, x - Marge, y - dy * l);
    Canvas->ligne(x, y, x + Marge, y - dy * l);
  }
}

void TdessinGraphe::traceAxes() {
  if (avecAxeX) traceAxeX();
  const std::vector<int> courbes = slotsCourbes();
  std::vector<bool> avecAxe(courbes.size(), false);
  if (avecAxeY) {
    if (source.courbesSeparees) {
      for (std::size_t i = 0; i < courbes.size(); ++i) {
        traceAxeGauche(*source.voie(courbes[i]), true);
        avecAxe[i] = true;
      }
    } else {
      if (!courbes.empty()) {
        traceAxeGauche(*source.voie(courbes[0]), false);
        avecAxe[0] = true;
      }
      if (courbes.size() > 1) {
        traceAxeDroit(*source.voie(courbes[1]));
        avecAxe[1] = true;
      }
    }
  }
  // An axis already drew its curve's zero line.
  for (std::size_t i = 0; i < courbes.size(); ++i)
    if (!avecAxe[i]) traceZero(*source.voie(courbes[i]));
  PenDefault();
}

void TdessinGraphe::traceZero(TCourbe& c) {
  const int y = c.XWindow(0);
  if (y == -1 || y <= c.courbeTop || y >= c.courbeBottom) return;
  plume(couleurDe(c.couleur), 1, psSolid);
  Canvas->ligne(LimiteCourbe.Left, y, LimiteCourbe.Right, y);
}

void TdessinGraphe::traceAxeX() {
  TCourbe* x = source.voie(source.voieAbscisse);
  if (!x) return;
  const Tcouleur coul = couleurDe(x->couleur);
  const int yAxe = LimiteCourbe.Bottom;
  plume(coul, 1, psDash);
  if (!x->axeLog) {
    const int x0 = x->XWindow(0);
    if (x0 != -1 && x0 > LimiteCourbe.Left && x0 < LimiteCourbe.Right)
      Canvas->ligne(x0, LimiteCourbe.Top, x0, LimiteCourbe.Bottom);
  }
  plume(coul, 1);
  Canvas->ligne(LimiteFenetre.Left, yAxe, LimiteFenetre.Right - 1, yAxe);
  fleche(LimiteFenetre.Right - 1, yAxe, 1, 0);

  const auto graduation = [&](int xi, bool grille) {
    if (grille) {
      plume(coul, 1, psDot);
      Canvas->ligne(xi, LimiteCourbe.Top, xi, yAxe);
      plume(coul, 1);
    } else {
      Canvas->ligne(xi, yAxe, xi, yAxe + Marge);
    }
  };
  const int yTexte = yAxe + Marge;
  if (x->axeLog) {
    // Fmini and Fmaxi are decade exponents; the scale is on log10 values.
    const int kDebut = int(std::floor(x->Fmini));
    const int kFin = int(std::floor(x->Fmaxi));
    const bool detail = x->Fmaxi - x->Fmini <= 3;
    const auto px = [&](double lg) { return int(arrondiEntier(x->a * lg + x->b)); };
    int dernierLabel = -1000000;
    for (int k = kDebut; k <= kFin && k - kDebut < 400; ++k) {
      const int xi = px(k);
      if (xi >= LimiteCourbe.Left && xi <= LimiteCourbe.Right) {
        graduation(xi, source.avecGrille);
        const std::string t = x->formatUnite(std::pow(10.0, k));
        const int l = Canvas->largeurTexte(t);
        Canvas->texte(xi - l / 2, yTexte, t);
        dernierLabel = xi;
      }
      const int suivante = px(k + 1);
      for (int m = 2; m <= 9; ++m) {
        const int xm = px(k + std::log10(double(m)));
        if (xm <= LimiteCourbe.Left || xm >= LimiteCourbe.Right) continue;
        if (!detail) {
          Canvas->ligne(xm, yAxe, xm, yAxe + Marge);
          continue;
        }
        graduation(xm, source.avecGrille);
        if (xm - dernierLabel > 4 * LargCarac && suivante - xm > 4 * LargCarac &&
            LimiteCourbe.Right - xm > 4 * LargCarac) {
          const std::string t = std::to_string(m);
          Canvas->texte(xm - Canvas->largeurTexte(t) / 2, yTexte, t);
          dernierLabel = xm;
        }
      }
    }
  } else if (x->deltaAxe > 0) {
    for (int i = 0; i < 1000; ++i) {
      const double g = x->pointDebut + i * x->deltaAxe;
      if (!(g < x->Fmaxi)) break;
      const int xi = x->XWindow(g);
      if (xi == -1 || xi <= LimiteCourbe.Left || xi >= LimiteCourbe.Right) continue;
      graduation(xi, source.avecGrille);
      if (xi > LimiteCourbe.Left + Marge && xi < LimiteFenetre.Right - 2 * LargCarac) {
        const std::string t = etiquette(*x, g, 1.0 / 100);
        Canvas->texte(xi - Canvas->largeurTexte(t) / 2, yTexte, t);
      }
    }
  }
  const std::string titre = x->axeDateTime ? x->nom : x->NomAxe(x->exposant);
  Canvas->texte(LimiteFenetre.Left, yTexte, titre);
}

void TdessinGraphe::traceAxeGauche(TCourbe& c, bool separees) {
  const Tcouleur coul = couleurDe(c.couleur);
  const int xAxe = LimiteCourbe.Left;
  traceZero(c);
  plume(coul, 1);
  Canvas->ligne(xAxe, c.courbeBottom, xAxe, c.courbeTop);
  fleche(xAxe, c.courbeTop, 0, -1);
  const int hautLabel = c.courbeTop + Marge + (separees ? HautCarac : 0);
  for (int i = 0; i < 1000 && c.deltaAxe > 0; ++i) {
    const double g = c.pointDebut + i * c.deltaAxe;
    if (!(g < c.Fmaxi)) break;
    const int y = c.XWindow(g);
    if (y == -1 || y <= c.courbeTop || y >= c.courbeBottom) continue;
    if (source.avecGrille) {
      plume(coul, 1, psDot);
      Canvas->ligne(LimiteCourbe.Left, y, LimiteCourbe.Right, y);
      plume(coul, 1);
    } else {
      Canvas->ligne(xAxe, y, xAxe - Marge, y);
    }
    if (y > hautLabel && y < c.courbeBottom - Marge && std::abs(y - LimiteCourbe.Bottom) > Marge) {
      const std::string t = etiquette(c, g, 1.0 / 1000);
      Canvas->texte(xAxe - Marge - Canvas->largeurTexte(t), y - HautCarac / 2, t);
    }
  }
  const std::string titre = c.NomAxe(c.exposant);
  // Superposed curves have their band top one margin below the window top.
  Canvas->texte(std::max(LimiteFenetre.Left, xAxe - Canvas->largeurTexte(titre)),
                std::max(LimiteFenetre.Top, c.courbeTop - HautCarac), titre);
}

void TdessinGraphe::traceAxeDroit(TCourbe& c) {
  const Tcouleur coul = couleurDe(c.couleur);
  const int xAxe = LimiteCourbe.Right;
  traceZero(c);
  plume(coul, 1);
  Canvas->ligne(xAxe, c.courbeBottom, xAxe, c.courbeTop);
  fleche(xAxe, c.courbeTop, 0, -1);
  for (int i = 0; i < 1000 && c.deltaAxe > 0; ++i) {
    const double g = c.pointDebut + i * c.deltaAxe;
    if (!(g < c.Fmaxi)) break;
    const int y = c.XWindow(g);
    if (y == -1 || y <= c.courbeTop || y >= c.courbeBottom) continue;
    if (source.avecGrille) {
      plume(coul, 1, psDot);
      Canvas->ligne(LimiteCourbe.Left, y, LimiteCourbe.Right, y);
      plume(coul, 1);
    } else {
      Canvas->ligne(xAxe, y, xAxe + Marge, y);
    }
    Canvas->texte(xAxe + Marge, y - HautCarac / 2, etiquette(c, g, 1.0 / 1000));
  }
  Canvas->texte(xAxe + Marge, LimiteFenetre.Top, c.NomAxe(c.exposant));
}

// ---------------------------------------------------------------------------

void TdessinGraphe::TraceCourbes() {
  if (!Canvas) return;
  PenDefault();
  const int n = dessin::clampPoints(source.NbreAff);
  if (const TCourbe* x = source.voie(source.voieAbscisse); n > 0 && x) {
    xAbscisse_.resize(std::size_t(n));
    x->XWindowBloc(valeursDe(x->vecteurAff), xAbscisse_.data(), std::size_t(n));
    dessin::debutsDeColonnes(xAbscisse_.data(), std::size_t(n), debutsAbscisse_);
    for (int s : slotsCourbes()) traceCourbe(s);
  }
  traceSeuil();
}

void TdessinGraphe::tracePolyligne(const TCourbe& abscisse, const double* x, const TCourbe& c,
                                   const double* y, int n) {
  n = dessin::clampPoints(n);
  xs_.resize(std::size_t(n));
  abscisse.XWindowBloc(x, xs_.data(), std::size_t(n));
  dessin::debutsDeColonnes(xs_.data(), std::size_t(n), debuts_);
  tracePolyligne(xs_.data(), debuts_, c, y, n);
}

void TdessinGraphe::tracePolyligne(const int* xpix, const std::vector<std::size_t>& debuts,
                                   const TCourbe& c, const double* y, int n) {
  n = dessin::clampPoints(n);
  // A thin solid pen in copy mode paints each column as one run.
  const bool parColonnes = plume_.largeur <= 1 && plume_.style == psSolid && plume_.mode == pmCopy;
  const auto trace = [this, parColonnes](const dessin::Tpoints& p) {
    if (parColonnes) {
      dessin::colonnesDePolyligne(p, colonnes_, segments_);
      Canvas->colonnes(colonnes_.data(), colonnes_.size());
      for (std::size_t k = 0; k + 1 < segments_.size(); k += 2)
        Canvas->ligne(segments_[k].x, segments_[k].y, segments_[k + 1].x, segments_[k + 1].y);
    } else if (p.size() == 1) {
      Canvas->ligne(p[0].x, p[0].y, p[0].x, p[0].y);
    } else {
      Canvas->polyligne(p.data(), p.size());
    }
  };
  if (parColonnes && !c.axeLog) {
    dessin::reduitCourbe(xpix, debuts, c.a, c.b, y, tampon_, trace);
  } else {
    ys_.resize(std::size_t(n));
    c.XWindowBloc(y, ys_.data(), std::size_t(n));
    dessin::reduitPolyligne(xpix, ys_.data(), std::size_t(n), tampon_, trace);
  }
}

void TdessinGraphe::traceCourbe(int slot) {
  TCourbe& c = *source.voie(slot);
  const TCourbe& x = *source.voie(source.voieAbscisse);
  const int n = dessin::clampPoints(source.NbreAff);
  const sTrace& tr = source.Trace;
  const bool pointParPoint =
      (source.ModeAcq == AcqClavier || source.ModeAcq == AcqPoint) && n < 32;

  if (source.remanence && source.ModeAcq == AcqTemps) {
    const int nbre = std::clamp(source.nbrePages, 0, nbrePagesMax - 1);
    for (int p = 1; p <= nbre; ++p) {
      int g = source.premierePage - p;
      if (g < 0) g += 15;
      plume(couleurDe(Lighten(c.couleur, g)), std::max(1, source.largeurLigne),
            TstylePlume(std::clamp(g / 4, 0, 3)));
      const std::size_t ip = std::size_t(p);
      tracePolyligne(x, valeursDe(x.oldVecteur[ip]), c, valeursDe(c.oldVecteur[ip]),
                     source.oldNbre[ip]);
    }
  }

  const Tcouleur coul = couleurDe(c.couleur);
  plume(coul, source.largeurLigne);
  const double* vx = valeursDe(x.vecteurAff);
  const double* vy = valeursDe(c.vecteurAff);
  if (tr.contient(trLigne)) {
    if (tr.contient(trPoint)) plume(couleurDe(Lighten(c.couleur, 1)), source.largeurLigne);
    tracePolyligne(xAbscisse_.data(), debutsAbscisse_, c, vy, n);
    plume(coul, source.largeurLigne);
  }
  if (tr.contient(trPoint)) {
    const bool plein = c.Motif == mCerclePlein || c.Motif == mCarrePlein;
    Canvas->setPinceau(Tpinceau{coul, plein});
    if (pointParPoint && plume_.largeur < 3) plume(coul, 3);
    for (int i = 0; i < n; ++i) {
      const int xi = x.XWindow(vx[i]);
      const int yi = c.XWindow(vy[i]);
      if (xi != -1 && yi != -1) TraceMotif(xi, yi, c.Motif);
    }
    Canvas->setPinceau(Tpinceau{clBlanc, false});
    plume(coul, source.largeurLigne);
  }
  if (tr.contient(trSpiro)) traceSpiro(c);
  if (tr.contient(trSinc) && n == source.NbreInter) {
    const Tcouleur cs = tr.contient(trPoint) && tr.contient(trLigne) ? Lighten(c.couleur, 2)
                                                                      : Lighten(c.couleur, 1);
    traceSinc(c, couleurDe(cs));
    plume(coul, source.largeurLigne);
  }
  if (tr.contient(trPalier)) tracePaliers(c);
  if (tr.contient(trCardiaque) && slot == 5) traceCardiaque();
  PenDefault();
}

void TdessinGraphe::traceSpiro(TCourbe& c) {
  const TCourbe* temps = source.voie(1);
  const TCourbe& x = *source.voie(source.voieAbscisse);
  const int n = dessin::clampPoints(source.NbreAff);
  if (!temps || n < 1) return;
  const double* t = valeursDe(temps->vecteurAff);
  const double* v = valeursDe(c.vecteurAff);
  const double T = t[n - 1] - t[0];
  if (!(T > 0) || !std::isfinite(T)) return;
  if (T / 64 > DeltaSpiro || DeltaSpiro > T / 4) DeltaSpiro = T / 8;
  const int y0 = c.XWindow(0);
  const long nbre = long(std::floor(T / DeltaSpiro));
  int i = 0;
  for (long j = 0; j <= nbre; ++j) {
    const double debut = t[0] + double(j) * DeltaSpiro;
    const double fin = std::min(debut + DeltaSpiro, t[n - 1]);
    double somme = 0;
    int compte = 0;
    while (i < n && t[i] < fin) {
      if (v[i] != valeurAbsente) {
        somme += v[i];
        ++compte;
      }
      ++i;
    }
    const double moyenne = compte > 0 ? somme / compte : somme;
    const int x1 = x.XWindow(debut);
    const int x2 = x.XWindow(fin);
    const int y = c.XWindow(moyenne);
    if (x1 == -1 || x2 == -1 || y == -1 || y0 == -1) continue;
    Canvas->rectangle(Trect{std::min(x1, x2), std::min(y, y0), std::max(x1, x2) + 1,
                            std::max(y, y0) + 1});
  }
}

void TdessinGraphe::traceSinc(TCourbe& c, Tcouleur couleur) {
  TCourbe& x = *source.voie(source.voieAbscisse);
  const int n = dessin::clampPoints(source.NbreAff);
  const int m = dessin::interpoleSinc(valeursDe(x.vecteurAff), valeursDe(c.vecteurAff), n,
                                      x.vecteurSinc, c.vecteurSinc);
  plume(couleur, source.largeurLigne);
  tracePolyligne(x, valeursDe(x.vecteurSinc), c, valeursDe(c.vecteurSinc), m);
}

void TdessinGraphe::tracePaliers(const TCourbe& c) {
  const TCourbe& x = *source.voie(source.voieAbscisse);
  const int n = dessin::clampPoints(source.NbreAff);
  const double* vx = valeursDe(x.vecteurAff);
  const double* vy = valeursDe(c.vecteurAff);
  for (int i = 0; i + 1 < n; ++i) {
    const int x1 = x.XWindow(vx[i]);
    const int y = c.XWindow(vy[i]);
    const int x2 = x.XWindow(vx[i + 1]);
    if (x1 != -1 && y != -1 && x2 != -1) Canvas->ligne(x1, y, x2, y);
  }
}

void TdessinGraphe::traceCardiaque() {
  const TCourbe* f = source.voie(5);
  const TCourbe* x = source.voie(source.voieAbscisse);
  if (!f || !x || !source.vecteurTemps) return;
  const int n = dessin::clampPoints(source.NbreAff);
  const double* t = valeursDe(*source.vecteurTemps);
  const int y1 = f->XWindow(0);
  const int y2 = f->XWindow(f->Fmaxi * 2 / 3);
  if (y1 == -1 || y2 == -1) return;
  plume(couleurDe(clRouge), 1);
  for (int i = 0; i < n; ++i) {
    const int xi = x->XWindow(t[i]);
    if (xi != -1) Canvas->ligne(xi, y1, xi, y2);
  }
}

void TdessinGraphe::traceSeuil() {
  if (!source.synchroSeuil || (source.ModeAcq != AcqTemps && source.ModeAcq != AcqUnMega)) return;
  const TCourbe* s = source.voie(source.voieSynchro);
  if (!s) return;
  const int y = s->XWindow(source.seuilSynchroReal);
  if (y == -1) return;
  const Tcouleur coul = couleurDe(s->couleur);
  plume(coul, 1, psDashDot);
  Canvas->ligne(LimiteCourbe.Left - 16, y, LimiteCourbe.Right, y);
  Tfonte f;
  f.nom = source.nomFonte;
  f.taille = dessin::tailleFonte((LimiteFenetre.Bottom - LimiteFenetre.Top) / 30,
                                 Canvas->pixelsParPouce(), source.impression);
  f.couleur = coul;
  Canvas->setFonte(f);
  Canvas->texte(LimiteCourbe.Left - 16, y - 8, source.montant ? "\u2191" : "\u2193");
  f.couleur = couleurDe(source.couleurTexte);
  Canvas->setFonte(f);
  PenDefault();
}

void TdessinGraphe::TraceMotif(int xi, int yi, Tmotif motif) {
  const int d = source.dimPoint;
  switch (motif) {
    case mCroix:
      Canvas->ligne(xi - d, yi, xi + d, yi);
      Canvas->ligne(xi, yi - d, xi, yi + d);
      break;
    case mCroixDiag:
      Canvas->ligne(xi - d, yi - d, xi + d, yi + d);
      Canvas->ligne(xi - d, yi + d, xi + d, yi - d);
      break;
    case mCarre:
    case mCarrePlein:
      Canvas->rectangle(Trect{xi - d, yi - d, xi + d, yi + d});
      break;
    case mLosange: {
      const Tpoint p[5] = {{xi - d, yi}, {xi, yi - d}, {xi + d, yi}, {xi, yi + d}, {xi - d, yi}};
      Canvas->polyligne(p, 5);
      break;
    }
    case mCercle:
    case mCerclePlein:
      Canvas->ellipse(Trect{xi - d, yi - d, xi + d + 1, yi + d + 1});
      break;
    default:
      break;
  }
}

void TdessinGraphe::TraceUnPoint(int slot) {
  const TCourbe* c = source.voie(slot);
  const TCourbe* x = source.voie(source.voieAbscisse);
  if (!Canvas || !c || !x) return;
  const int xi = x->XWindow(x->valeurAff);
  const int yi = c->XWindow(c->valeurAff);
  if (xi == -1 || yi == -1) return;
  const bool epais = (source.ModeAcq == AcqClavier || source.ModeAcq == AcqPoint) &&
                     source.NbreAff < 32;
  plume(couleurDe(c->couleur), epais ? 3 : std::max(1, source.largeurLigne));
  const bool plein = c->Motif == mCerclePlein || c->Motif == mCarrePlein;
  Canvas->setPinceau(Tpinceau{couleurDe(c->couleur), plein});
  TraceMotif(xi, yi, c->Motif);
  Canvas->setPinceau(Tpinceau{clBlanc, false});
  PenDefault();
}

void TdessinGraphe::TraceReticule(int slot) {
  const TCourbe* c = source.voie(slot);
  const TCourbe* x = source.voie(source.voieAbscisse);
  if (!Canvas || !c || !x) return;
  const int xi = x->XWindow(x->valeurAff);
  const int yi = c->XWindow(c->valeurAff);
  if (xi == -1 || yi == -1) return;
  plume_.couleur = couleurDe(c->couleur);
  Canvas->setPlume(plume_);
  Canvas->ligne(xi - 10, yi, xi + 10, yi);
  Canvas->ligne(xi, yi - 10, xi, yi + 10);
}

void TdessinGraphe::basculeReticule(const std::function<void()>& avantTrace) {
  if (!Canvas) return;
  if (!ReticuleTrace && avantTrace) avantTrace();
  plume(plume_.couleur, 3, psSolid, pmNotXor);
  for (int s : slotsCourbes()) TraceReticule(s);
  ReticuleTrace = !ReticuleTrace;
  PenDefault();
}

void TdessinGraphe::rafraichitValeursReticule() {
  for (int s = 1; s <= 5; ++s)
    if (TCourbe* c = source.voie(s)) c->valeurAff = c->Fmini;
  for (int s = 6; s <= 10; ++s) {
    if (TCourbe* c = source.voie(s)) {
      const double v = c->ValeurCourante;
      c->valeurAff = v != valeurAbsente && v > c->Fmini && v < c->Fmaxi ? v
                                                                       : (c->Fmini + c->Fmaxi) / 2;
    }
  }
}

void TdessinGraphe::TraceRepere(TrepereDessin& r) {
  const TCourbe* t = source.voie(1);
  if (!Canvas || !t) return;
  const int x = t->XWindow(r.Valeur);
  if (x == -1) return;
  plume(couleurDe(clBleu), 1, psDash);
  Canvas->ligne(x, LimiteCourbe.Top, x, LimiteCourbe.Bottom);
  PenDefault();
  const int l = Canvas->largeurTexte(r.texte);
  r.boiteGauche = x - l / 2;
  r.boiteHaut = (3 * LimiteCourbe.Top + LimiteCourbe.Bottom) / 4;
  r.boiteLargeur = l < 80 ? 80 : l;
}
