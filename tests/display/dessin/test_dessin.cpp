#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <map>
#include <set>

#include "core/channels/numbers/nombres.h"
#include "core/display/dessin/canevas_enregistreur.h"
#include "core/display/dessin/dessin_graphe.h"

namespace {

constexpr Tcouleur couleurs[] = {0x101010, 0x0000C0, 0x00C000, 0xC00000, 0x00C0C0};

// A set with a time base 0..10 s in slot 1 and inputs in slots 6..10.
struct Graphe : ::testing::Test {
  std::vector<std::unique_ptr<TCourbe>> voies;
  TcanevasEnregistreur canevas;
  TdessinGraphe g;

  Graphe() {
    voies.push_back(std::make_unique<TvoieNonEA>("t", "s", "temps", 1));
    for (int s = 2; s <= nbreSlots; ++s)
      voies.push_back(std::make_unique<TCourbe>("V" + std::to_string(s), "V", "", s));
    for (int s = 1; s <= nbreSlots; ++s) g.source.voieBrixo[std::size_t(s)] = voies[std::size_t(s - 1)].get();
    voie(1).active = true;
    voie(1).Fmini = 0;
    voie(1).Fmaxi = 10;
    voie(1).couleur = couleurs[0];
    g.Canvas = &canevas;
    g.LimiteFenetre = Trect{0, 0, 800, 600};
  }
  TCourbe& voie(int s) { return *voies[std::size_t(s - 1)]; }
  // n points of time i * 10 / n; inputs get f(slot, i).
  template <class F>
  void remplit(int n, const std::vector<int>& slots, F f) {
    g.source.NbreAff = n;
    g.source.NbreInter = n;
    for (int i = 0; i < n; ++i) voie(1).vecteurAff[std::size_t(i)] = 10.0 * i / n;
    int k = 1;
    for (int s : slots) {
      TCourbe& c = voie(s);
      c.active = true;
      c.couleur = couleurs[k++ % 5];
      for (int i = 0; i < n; ++i) c.vecteurAff[std::size_t(i)] = f(s, i);
    }
  }
  std::vector<Toperation> polylignesDe(Tcouleur c) const {
    std::vector<Toperation> r;
    for (const Toperation& o : canevas.operations)
      if (o.genre == Toperation::oPolyligne && o.plume.couleur == c) r.push_back(o);
    return r;
  }
  // The pieces of curves in a colour: polylines, or runs of columns for a
  // thin solid pen.
  std::vector<Toperation> traitsDe(Tcouleur c) const {
    std::vector<Toperation> r;
    for (const Toperation& o : canevas.operations)
      if ((o.genre == Toperation::oPolyligne || o.genre == Toperation::oColonnes) &&
          o.plume.couleur == c)
        r.push_back(o);
    return r;
  }
  std::vector<Toperation> lignesDe(Tcouleur c) const {
    std::vector<Toperation> r;
    for (const Toperation& o : canevas.operations)
      if (o.genre == Toperation::oLigne && o.plume.couleur == c) r.push_back(o);
    return r;
  }
};

TEST(Fonte, SizeFromTheHeightOfTheArea) {
  struct Cas {
    int H, ppp;
    bool impression;
    int taille;
  };
  for (const Cas& k : {Cas{20, 96, false, 14}, Cas{5, 96, false, 8}, Cas{40, 96, false, 18},
                       Cas{40, 96, true, 24}, Cas{60, 600, true, 6 < 8 ? 8 : 0},
                       Cas{22, 72, false, 18}, Cas{15, 72, false, 14}, Cas{0, 0, false, 8}})
    EXPECT_EQ(dessin::tailleFonte(k.H, k.ppp, k.impression), k.taille) << k.H << " " << k.ppp;
}

TEST_F(Graphe, DrawChoosesTheFontAndCharacterMetrics) {
  remplit(10, {6}, [](int, int) { return 1.0; });
  g.Draw();
  EXPECT_EQ(canevas.fonte().taille, 14);  // 600 / 30 = 20 -> 15 points -> 14
  EXPECT_EQ(canevas.fonte().nom, "Calibri");
  EXPECT_EQ(g.HautCarac, 18);             // the recording canvas: 14 pt at 96 ppi
  EXPECT_EQ(g.LargCarac, 11);
  EXPECT_EQ(g.Marge, 5);
  g.LimiteFenetre = Trect{0, 0, 400, 150};
  g.Draw();
  EXPECT_EQ(canevas.fonte().taille, 8);
  g.LimiteFenetre = Trect{0, 0, 2000, 1500};
  g.Draw();
  EXPECT_EQ(canevas.fonte().taille, 18);
}

TEST_F(Graphe, SeparateBandsAreEqualAndOneMarginApart) {
  remplit(10, {6, 7, 8}, [](int, int) { return 0.0; });
  g.source.courbesSeparees = true;
  g.HautCarac = 13;
  g.LargCarac = 8;
  g.Marge = 4;
  g.LimiteFenetre = Trect{0, 0, 800, 321};
  g.calculeDisposition();
  ASSERT_TRUE(g.avecAxeX);
  ASSERT_TRUE(g.avecAxeY);
  EXPECT_EQ(g.NbreCourbe, 3);
  EXPECT_EQ(g.LimiteCourbe, (Trect{4 + 32, 4, 800 - 32, 321 - 4 - 13}));
  EXPECT_EQ(g.LimiteCourbe.hauteur(), 300);
  const int tops[] = {8, 108, 208};
  for (int n = 0; n < 3; ++n) {
    EXPECT_EQ(voie(6 + n).courbeTop, tops[n]);
    EXPECT_EQ(voie(6 + n).courbeBottom - voie(6 + n).courbeTop, 96);
  }
  EXPECT_EQ(voie(7).courbeTop - voie(6).courbeBottom, 4);
  // Scale: Fmini at the band bottom, Fmaxi at its top.
  EXPECT_EQ(voie(7).XWindow(-10), voie(7).courbeBottom);
  EXPECT_EQ(voie(7).XWindow(10), voie(7).courbeTop);
  EXPECT_DOUBLE_EQ(voie(7).a, -96.0 / 20);
  // Abscissa spans its whole range across the plotting area.
  EXPECT_DOUBLE_EQ(voie(1).a, (768.0 - 36) / 10);
  EXPECT_EQ(voie(1).XWindow(0), 36);
  EXPECT_EQ(voie(1).XWindow(10), 768);
}

TEST_F(Graphe, AxesNeedRoomAndTheVerticalAxisOption) {
  remplit(10, {6}, [](int, int) { return 0.0; });
  g.HautCarac = 13;
  g.LargCarac = 8;
  g.Marge = 4;
  g.LimiteFenetre = Trect{0, 0, 150, 60};  // too small for either axis
  g.calculeDisposition();
  EXPECT_FALSE(g.avecAxeX);
  EXPECT_FALSE(g.avecAxeY);
  EXPECT_EQ(g.LimiteCourbe, (Trect{4, 4, 150, 56}));
  g.LimiteFenetre = Trect{0, 0, 800, 600};
  g.source.avecAxeVertical = false;
  g.calculeDisposition();
  EXPECT_TRUE(g.avecAxeX);
  EXPECT_FALSE(g.avecAxeY);
  EXPECT_TRUE(g.grandAxeX);
  EXPECT_TRUE(g.grandAxeY);
  g.source.courbesSeparees = true;  // separate bands always get their axes
  g.calculeDisposition();
  EXPECT_TRUE(g.avecAxeY);
  EXPECT_EQ(g.LimiteCourbe.Right, 800);  // one curve: no right-hand axis
}

TEST_F(Graphe, OnlyTheFirstTwoCurvesGetAxesWhenSuperposed) {
  remplit(50, {6, 7, 8}, [](int s, int i) { return std::sin(i / 5.0) * (s - 5); });
  g.Draw();
  const int gauche = g.LimiteCourbe.Left, droite = g.LimiteCourbe.Right;
  const auto axeVertical = [&](Tcouleur c, int x) {
    for (const Toperation& o : lignesDe(c))
      if (o.points[0].x == x && o.points[1].x == x && o.points[0].y == voie(6).courbeBottom &&
          o.points[1].y == voie(6).courbeTop)
        return true;
    return false;
  };
  EXPECT_TRUE(axeVertical(voie(6).couleur, gauche));
  EXPECT_TRUE(axeVertical(voie(7).couleur, droite));
  EXPECT_FALSE(axeVertical(voie(8).couleur, gauche));
  EXPECT_FALSE(axeVertical(voie(8).couleur, droite));
  // The third curve: its zero line only, across the plotting area.
  std::vector<Toperation> l8;
  for (const Toperation& o : lignesDe(voie(8).couleur))
    if (o.points[0].y == o.points[1].y && o.points[1].x - o.points[0].x > 100) l8.push_back(o);
  ASSERT_EQ(l8.size(), 1u);
  EXPECT_EQ(l8[0].points[0], (Tpoint{gauche, voie(8).XWindow(0)}));
  EXPECT_EQ(l8[0].points[1], (Tpoint{droite, voie(8).XWindow(0)}));
  // Titles of the two axes, none for the third.
  const std::vector<std::string> t = canevas.textes();
  EXPECT_EQ(std::count(t.begin(), t.end(), "V6/V"), 1);
  EXPECT_EQ(std::count(t.begin(), t.end(), "V7/V"), 1);
  EXPECT_EQ(std::count(t.begin(), t.end(), "V8/V"), 0);

  canevas.operations.clear();
  g.source.courbesSeparees = true;
  g.Draw();
  for (int s : {6, 7, 8}) {
    bool axe = false;
    for (const Toperation& o : lignesDe(voie(s).couleur))
      axe = axe || (o.points[0] == Tpoint{gauche, voie(s).courbeBottom} &&
                    o.points[1] == Tpoint{gauche, voie(s).courbeTop});
    EXPECT_TRUE(axe) << s;
  }
}

TEST_F(Graphe, HorizontalGraduationsAndLabels) {
  remplit(10, {6}, [](int, int) { return 0.0; });
  const char avant = separateurDecimal();
  fixeSeparateurDecimal('.');
  g.Draw();
  fixeSeparateurDecimal(avant);
  const TCourbe& t = voie(1);
  EXPECT_NEAR(t.deltaAxe, 2, 1e-12);  // ten steps of 1 would be one interval too many
  const int yAxe = g.LimiteCourbe.Bottom;
  std::vector<int> ticks;
  for (const Toperation& o : lignesDe(t.couleur))
    if (o.points[0].y == yAxe && o.points[1].y == yAxe + g.Marge && o.points[0].x == o.points[1].x)
      ticks.push_back(o.points[0].x);
  // 0 and 10 lie on the plotting area's edges: not strictly inside.
  ASSERT_EQ(ticks.size(), 4u);
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(ticks[std::size_t(i - 1)], t.XWindow(2 * i));
  for (const Toperation& o : canevas.de(Toperation::oTexte)) {
    if (o.texte == "6") {
      EXPECT_EQ(o.position.x, t.XWindow(6) - canevas.largeurTexte("6") / 2);
      EXPECT_EQ(o.position.y, yAxe + g.Marge);
    }
  }
  const std::vector<std::string> tx = canevas.textes();
  for (const char* e : {"2", "4", "6", "8", "t/s"})
    EXPECT_EQ(std::count(tx.begin(), tx.end(), e), 1) << e;
  // The arrow head at the right end of the axis.
  int fleches = 0;
  for (const Toperation& o : lignesDe(t.couleur))
    fleches += o.points[0] == Tpoint{799, yAxe} && o.points[1].x == 799 - 3 * g.Marge;
  EXPECT_EQ(fleches, 2);
}

TEST_F(Graphe, GridLinesAreDottedAcrossThePlottingArea) {
  remplit(10, {6}, [](int, int) { return 0.0; });
  g.source.avecGrille = true;
  g.Draw();
  int verticales = 0, horizontales = 0;
  for (const Toperation& o : canevas.de(Toperation::oLigne)) {
    if (o.plume.style != psDot) continue;
    if (o.plume.couleur == voie(1).couleur && o.points[0].y == g.LimiteCourbe.Top) ++verticales;
    if (o.plume.couleur == voie(6).couleur && o.points[0].x == g.LimiteCourbe.Left &&
        o.points[1].x == g.LimiteCourbe.Right)
      ++horizontales;
  }
  EXPECT_EQ(verticales, 4);    // 2, 4, 6, 8 s
  EXPECT_EQ(horizontales, 3);  // -5, 0, 5 V
}

TEST_F(Graphe, RoundingResidueIsPrintedAsZero) {
  remplit(10, {6}, [](int, int) { return 0.0; });
  voie(6).Fmini = -0.3;
  voie(6).Fmaxi = 0.3;
  const char avant = separateurDecimal();
  fixeSeparateurDecimal('.');
  g.Draw();
  fixeSeparateurDecimal(avant);
  const std::vector<std::string> t = canevas.textes();
  for (const std::string& s : t) EXPECT_EQ(s.find('E'), std::string::npos) << s;
  EXPECT_EQ(voie(6).exposant, 1e-3);
  EXPECT_EQ(std::count(t.begin(), t.end(), "0"), 1);
  EXPECT_EQ(std::count(t.begin(), t.end(), "V6/mV"), 1);
}

TEST_F(Graphe, MissingPointsBreakTheLine) {
  remplit(100, {6}, [](int, int i) { return i >= 40 && i < 50 ? valeurAbsente : 1.0 + i % 3; });
  g.Draw();
  const std::vector<Toperation> p = traitsDe(voie(6).couleur);
  ASSERT_EQ(p.size(), 2u);
  EXPECT_EQ(p[0].colonnes.front().x, voie(1).XWindow(0));
  EXPECT_EQ(p[0].colonnes.back().x, voie(1).XWindow(3.9));
  EXPECT_EQ(p[1].colonnes.front().x, voie(1).XWindow(5.0));
  EXPECT_EQ(p[1].colonnes.back().x, voie(1).XWindow(9.9));
  // With a wider pen, the same pieces as polylines.
  canevas.operations.clear();
  g.source.largeurLigne = 2;
  g.Draw();
  const std::vector<Toperation> q = polylignesDe(voie(6).couleur);
  ASSERT_EQ(q.size(), 2u);
  EXPECT_EQ(q[0].points.front(), (Tpoint{voie(1).XWindow(0), voie(6).XWindow(1)}));
  EXPECT_EQ(q[0].points.back(), (Tpoint{voie(1).XWindow(3.9), voie(6).XWindow(1)}));
  EXPECT_EQ(q[1].points.front(), (Tpoint{voie(1).XWindow(5.0), voie(6).XWindow(3)}));
  EXPECT_EQ(q[1].points.back().x, voie(1).XWindow(9.9));
}

TEST_F(Graphe, BadInputDrawsNothingWrong) {
  // All points missing: no curve at all.
  remplit(100, {6}, [](int, int) { return valeurAbsente; });
  g.Draw();
  EXPECT_TRUE(traitsDe(voie(6).couleur).empty());
  // Empty sweep.
  canevas.operations.clear();
  remplit(0, {6}, [](int, int) { return 0.0; });
  g.Draw();
  EXPECT_TRUE(traitsDe(voie(6).couleur).empty());
  // Zero and reversed ranges, on the abscissa too: finite scales.
  remplit(100, {6, 7}, [](int, int i) { return double(i); });
  voie(1).Fmini = voie(1).Fmaxi = 5;
  voie(6).Fmini = voie(6).Fmaxi = 2;
  voie(7).Fmini = 3;
  voie(7).Fmaxi = -3;
  g.NbreCourbe = 0;
  g.Draw();
  for (int s : {1, 6, 7}) {
    EXPECT_TRUE(std::isfinite(voie(s).a)) << s;
    EXPECT_TRUE(std::isfinite(voie(s).b)) << s;
    EXPECT_LT(voie(s).Fmini, voie(s).Fmaxi);
  }
  // A window with no room at all.
  for (const Trect r : {Trect{0, 0, 0, 0}, Trect{0, 0, 3, 2}, Trect{50, 50, 10, 10}}) {
    g.LimiteFenetre = r;
    g.Draw();
  }
  g.LimiteFenetre = Trect{0, 0, 800, 600};
  g.Draw();
  // Points far off the scale stay finite pixels.
  for (const Toperation& o : canevas.de(Toperation::oPolyligne))
    for (const Tpoint& q : o.points) EXPECT_LT(std::abs(q.y), 100000001);
}

TEST_F(Graphe, NonPositiveValuesAreSkippedOnALogarithmicAxis) {
  remplit(10, {6}, [](int, int i) { return i < 5 ? double(i) - 2 : std::pow(10.0, i - 5); });
  voie(6).axeLog = true;
  voie(6).Fmini = 0;  // decades 10^0 .. 10^4
  voie(6).Fmaxi = 4;
  g.Draw();
  const std::vector<Toperation> p = traitsDe(voie(6).couleur);
  // -2 -1 0 skipped; 1 2 then 1 10 ... 10^4, one column each.
  ASSERT_EQ(p.size(), 1u);
  ASSERT_EQ(p[0].colonnes.size(), 7u);
  EXPECT_EQ(p[0].colonnes.front().bas, voie(6).courbeBottom);
  EXPECT_EQ(p[0].colonnes.back().haut, voie(6).courbeTop);
}

TEST_F(Graphe, PagesAreFadedAndStyledByAge) {
  remplit(20, {6}, [](int, int i) { return double(i % 4); });
  g.source.remanence = true;
  g.source.nbrePages = 15;
  g.source.premierePage = 3;
  for (int p = 1; p <= 15; ++p) {
    g.source.oldNbre[std::size_t(p)] = 20;
    for (int i = 0; i < 20; ++i) {
      voie(1).oldVecteur[std::size_t(p)][std::size_t(i)] = 10.0 * i / 20;
      voie(6).oldVecteur[std::size_t(p)][std::size_t(i)] = p / 4.0;
    }
  }
  g.Draw();
  std::vector<Toperation> pages;
  for (const Toperation& o : canevas.operations)
    if ((o.genre == Toperation::oPolyligne || o.genre == Toperation::oColonnes) &&
        o.plume.couleur != voie(6).couleur)
      pages.push_back(o);
  ASSERT_EQ(pages.size(), 15u);
  for (int p = 1; p <= 15; ++p) {
    const Toperation& o = pages[std::size_t(p - 1)];
    int age = 3 - p;
    if (age < 0) age += 15;
    EXPECT_EQ(o.genre == Toperation::oColonnes ? o.colonnes[0].haut : o.points[0].y,
              voie(6).XWindow(p / 4.0))
        << p;
    EXPECT_EQ(o.plume.couleur, Lighten(voie(6).couleur, age)) << p;
    EXPECT_EQ(o.plume.style, TstylePlume(age / 4)) << p;
  }
  // Page 3 was saved just before this sweep: solid, lightened by 64.
  EXPECT_EQ(pages[2].plume.style, psSolid);
  EXPECT_EQ(pages[2].plume.couleur, Lighten(voie(6).couleur, 0));
  EXPECT_EQ(Lighten(RGB(0, 100, 250), 0), RGB(64, 164, 255));
  // Page 4 is the oldest: age 14, dash-dot, lightened by 192.
  EXPECT_EQ(pages[3].plume.style, psDashDot);
  EXPECT_EQ(Lighten(RGB(0, 100, 250), 14), RGB(192, 255, 255));
  // The current sweep comes after the pages.
  EXPECT_EQ(canevas.de(Toperation::oColonnes).back().plume.couleur, voie(6).couleur);
  // Only in time sweeps.
  canevas.operations.clear();
  g.source.ModeAcq = AcqPoint;
  g.Draw();
  EXPECT_EQ(canevas.de(Toperation::oPolyligne).size(), 0u);
  EXPECT_EQ(canevas.de(Toperation::oColonnes).size(), 1u);
}

TEST_F(Graphe, MarkersOfPoints) {
  g.source.dimPoint = 3;
  struct Cas {
    Tmotif m;
    std::vector<Toperation::Genre> genres;
  };
  const Cas cas[] = {
      {mCroix, {Toperation::oLigne, Toperation::oLigne}},
      {mCroixDiag, {Toperation::oLigne, Toperation::oLigne}},
      {mCercle, {Toperation::oEllipse}},
      {mCarre, {Toperation::oRectangle}},
      {mLosange, {Toperation::oPolyligne}},
      {mCerclePlein, {Toperation::oEllipse}},
      {mCarrePlein, {Toperation::oRectangle}},
      {Tmotif(7), {}},
  };
  for (const Cas& k : cas) {
    canevas.operations.clear();
    g.TraceMotif(50, 60, k.m);
    ASSERT_EQ(canevas.operations.size(), k.genres.size()) << int(k.m);
    for (std::size_t i = 0; i < k.genres.size(); ++i)
      EXPECT_EQ(canevas.operations[i].genre, k.genres[i]);
  }
  canevas.operations.clear();
  g.TraceMotif(50, 60, mCroix);
  EXPECT_EQ(canevas.operations[0].points, (std::vector<Tpoint>{{47, 60}, {53, 60}}));
  EXPECT_EQ(canevas.operations[1].points, (std::vector<Tpoint>{{50, 57}, {50, 63}}));
  canevas.operations.clear();
  g.TraceMotif(50, 60, mCercle);
  EXPECT_EQ(canevas.operations[0].rect, (Trect{47, 57, 54, 64}));
  canevas.operations.clear();
  g.TraceMotif(50, 60, mCarre);
  EXPECT_EQ(canevas.operations[0].rect, (Trect{47, 57, 53, 63}));
  canevas.operations.clear();
  g.TraceMotif(50, 60, mLosange);
  EXPECT_EQ(canevas.operations[0].points,
            (std::vector<Tpoint>{{47, 60}, {50, 57}, {53, 60}, {50, 63}, {47, 60}}));
}

TEST_F(Graphe, PointsWithLineAndFilledMarkers) {
  remplit(10, {6}, [](int, int i) { return double(i); });
  voie(6).Motif = mCarrePlein;
  g.source.Trace = sTrace{trLigne, trPoint};
  g.source.ModeAcq = AcqPoint;
  g.Draw();
  // The line is lightened so that the markers stand out.
  EXPECT_EQ(traitsDe(Lighten(voie(6).couleur, 1)).size(), 1u);
  const std::vector<Toperation> r = canevas.de(Toperation::oRectangle);
  ASSERT_EQ(r.size(), 10u);
  for (const Toperation& o : r) {
    EXPECT_TRUE(o.pinceau.plein);
    EXPECT_EQ(o.pinceau.couleur, voie(6).couleur);
    EXPECT_EQ(o.plume.largeur, 3);  // point by point, fewer than 32 points
  }
}

TEST_F(Graphe, StepsAndSpiroBars) {
  remplit(4, {6}, [](int, int i) { return double(i); });
  g.source.Trace = sTrace{trPalier};
  g.Draw();
  std::vector<Toperation> l = lignesDe(voie(6).couleur);
  std::vector<Toperation> paliers;
  for (const Toperation& o : l)
    if (o.points[0].y == o.points[1].y && o.points[1].x > o.points[0].x &&
        !(o.points[0].x == g.LimiteCourbe.Left && o.points[1].x == g.LimiteCourbe.Right))
      paliers.push_back(o);
  ASSERT_EQ(paliers.size(), 3u);
  EXPECT_EQ(paliers[1].points[0], (Tpoint{voie(1).XWindow(2.5), voie(6).XWindow(1)}));
  EXPECT_EQ(paliers[1].points[1], (Tpoint{voie(1).XWindow(5), voie(6).XWindow(1)}));

  canevas.operations.clear();
  remplit(80, {6}, [](int, int) { return 2.0; });
  g.source.Trace = sTrace{trSpiro};
  g.DeltaSpiro = 1000;  // out of T/64 .. T/4: re-chosen as T/8
  g.Draw();
  const double T = voie(1).vecteurAff[79] - voie(1).vecteurAff[0];
  EXPECT_DOUBLE_EQ(g.DeltaSpiro, T / 8);
  const std::vector<Toperation> r = canevas.de(Toperation::oRectangle);
  ASSERT_EQ(r.size(), 9u);
  EXPECT_EQ(r[0].rect.Top, voie(6).XWindow(2));
  EXPECT_EQ(r[0].rect.Bottom - 1, voie(6).XWindow(0));
}

TEST(Sinc, KernelAndInterpolationThroughTheSamples) {
  const std::array<double, 144> K = dessin::noyauSinc(12);
  EXPECT_EQ(K[0], 1);
  EXPECT_NEAR(K[12], 0, 1e-15);
  EXPECT_NEAR(K[6], std::sin(M_PI / 2) / (M_PI / 2) * std::sin(M_PI / 10) / (M_PI / 10), 1e-15);
  std::vector<double> x(20), y(20);
  for (int i = 0; i < 20; ++i) {
    x[std::size_t(i)] = i * 0.5;
    y[std::size_t(i)] = std::sin(i * 0.7);
  }
  TVecteur xs, ys;
  ASSERT_EQ(dessin::interpoleSinc(x.data(), y.data(), 20, xs, ys), 240);
  for (int v = 0; v < 20; ++v) {
    EXPECT_NEAR(ys[std::size_t(12 * v)], y[std::size_t(v)], 1e-12) << v;
    EXPECT_NEAR(xs[std::size_t(12 * v)], x[std::size_t(v)], 1e-12) << v;
  }
  EXPECT_NEAR(xs[239], 9.5 + 0.5 * 11 / 12, 1e-12);
  // Few points, or too many: the points themselves.
  EXPECT_EQ(dessin::interpoleSinc(x.data(), y.data(), 11, xs, ys), 11);
  std::vector<double> big(1100, 1.0);
  EXPECT_EQ(dessin::interpoleSinc(big.data(), big.data(), 1100, xs, ys), 1100);
  // Oversampling lowered: 200 points take d = 10.
  std::vector<double> b2(200, 1.0);
  EXPECT_EQ(dessin::interpoleSinc(b2.data(), b2.data(), 200, xs, ys), 2000);
  // A missing sample does not become a value.
  y[7] = valeurAbsente;
  dessin::interpoleSinc(x.data(), y.data(), 20, xs, ys);
  EXPECT_EQ(ys[std::size_t(12 * 7)], valeurAbsente);
}

TEST_F(Graphe, SincOnlyOnACompleteSweep) {
  remplit(20, {6}, [](int, int i) { return std::sin(i); });
  g.source.Trace = sTrace{trSinc};
  g.Draw();
  const auto p = traitsDe(Lighten(voie(6).couleur, 1));
  ASSERT_EQ(p.size(), 1u);
  EXPECT_GT(p[0].colonnes.size(), 20u);
  canevas.operations.clear();
  g.source.NbreInter = 40;
  g.Draw();
  EXPECT_TRUE(traitsDe(Lighten(voie(6).couleur, 1)).empty());
}

TEST_F(Graphe, TriggerLevelWithItsArrow) {
  remplit(10, {6, 7}, [](int, int) { return 0.0; });
  g.source.synchroSeuil = true;
  g.source.voieSynchro = 7;
  g.source.seuilSynchroReal = 2.5;
  g.source.montant = false;
  g.Draw();
  const int y = voie(7).XWindow(2.5);
  bool ligne = false;
  for (const Toperation& o : lignesDe(voie(7).couleur))
    ligne = ligne || (o.plume.style == psDashDot &&
                      o.points[0] == Tpoint{g.LimiteCourbe.Left - 16, y} &&
                      o.points[1] == Tpoint{g.LimiteCourbe.Right, y});
  EXPECT_TRUE(ligne);
  bool fleche = false;
  for (const Toperation& o : canevas.de(Toperation::oTexte))
    fleche = fleche || (o.texte == "\u2193" && o.position == Tpoint{g.LimiteCourbe.Left - 16, y - 8} &&
                        o.fonte.couleur == voie(7).couleur);
  EXPECT_TRUE(fleche);
  canevas.operations.clear();
  g.source.ModeAcq = AcqClavier;
  g.Draw();
  for (const Toperation& o : canevas.de(Toperation::oTexte)) EXPECT_NE(o.texte, "\u2193");
}

TEST_F(Graphe, MarkerLinesAndTheirBoxes) {
  remplit(10, {6}, [](int, int) { return 0.0; });
  std::vector<TrepereDessin> reperes{{2.5, "court", 0, 0, 0}, {7.5, std::string(20, 'x'), 0, 0, 0}};
  g.source.ListeRepere = &reperes;
  g.Draw();
  const int x = voie(1).XWindow(2.5);
  bool ligne = false;
  for (const Toperation& o : lignesDe(clBleu))
    ligne = ligne || (o.plume.style == psDash && o.points[0] == Tpoint{x, g.LimiteCourbe.Top} &&
                      o.points[1] == Tpoint{x, g.LimiteCourbe.Bottom});
  EXPECT_TRUE(ligne);
  EXPECT_EQ(reperes[0].boiteGauche, x - canevas.largeurTexte("court") / 2);
  EXPECT_EQ(reperes[0].boiteHaut, (3 * g.LimiteCourbe.Top + g.LimiteCourbe.Bottom) / 4);
  EXPECT_EQ(reperes[0].boiteLargeur, 80);
  EXPECT_EQ(reperes[1].boiteLargeur, canevas.largeurTexte(reperes[1].texte));
}

TEST_F(Graphe, ReticleIsDrawnAndErasedInNotXorMode) {
  remplit(10, {6, 7}, [](int, int) { return 0.0; });
  g.Draw();
  voie(6).ValeurCourante = 3;
  voie(7).ValeurCourante = valeurAbsente;
  g.rafraichitValeursReticule();
  EXPECT_EQ(voie(1).valeurAff, 0);
  EXPECT_EQ(voie(6).valeurAff, 3);
  EXPECT_EQ(voie(7).valeurAff, 0);  // middle of -10..10
  int rappels = 0;
  canevas.operations.clear();
  g.basculeReticule([&] { ++rappels; });
  EXPECT_TRUE(g.ReticuleTrace);
  const std::vector<Toperation> premier = canevas.operations;
  ASSERT_EQ(premier.size(), 4u);
  for (const Toperation& o : premier) {
    EXPECT_EQ(o.plume.mode, pmNotXor);
    EXPECT_EQ(o.plume.largeur, 3);
  }
  EXPECT_EQ(premier[0].points, (std::vector<Tpoint>{{voie(1).XWindow(0) - 10, voie(6).XWindow(3)},
                                                    {voie(1).XWindow(0) + 10, voie(6).XWindow(3)}}));
  EXPECT_EQ(premier[2].plume.couleur, voie(7).couleur);
  canevas.operations.clear();
  g.basculeReticule([&] { ++rappels; });
  EXPECT_FALSE(g.ReticuleTrace);
  ASSERT_EQ(canevas.operations.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(canevas.operations[i].points, premier[i].points);
  EXPECT_EQ(rappels, 1);  // labels refreshed before drawing, not before erasing
  EXPECT_EQ(canevas.plume().mode, pmCopy);
  g.basculeReticule();
  g.Draw();  // a redraw erased it
  EXPECT_FALSE(g.ReticuleTrace);
}

TEST_F(Graphe, BlackAndWhiteDrawsEverythingBlack) {
  remplit(10, {6, 7}, [](int, int i) { return double(i); });
  g.source.noirEtBlanc = true;
  g.source.synchroSeuil = true;
  g.source.voieSynchro = 6;
  g.Draw();
  for (const Toperation& o : canevas.operations) {
    EXPECT_EQ(o.plume.couleur, clNoir);
    EXPECT_EQ(o.fonte.couleur, clNoir);
  }
}

// Column coverage of a polyline: for each column, the lowest and highest row.
std::map<int, std::pair<int, int>> couverture(const std::vector<Tpoint>& p) {
  std::map<int, std::pair<int, int>> c;
  const auto marque = [&c](int x, int y) {
    auto [it, neuf] = c.try_emplace(x, y, y);
    if (!neuf) it->second = {std::min(it->second.first, y), std::max(it->second.second, y)};
  };
  for (std::size_t i = 0; i < p.size(); ++i) {
    marque(p[i].x, p[i].y);
    if (i > 0 && p[i].x == p[i - 1].x)
      for (int y = std::min(p[i].y, p[i - 1].y); y <= std::max(p[i].y, p[i - 1].y); ++y) marque(p[i].x, y);
  }
  return c;
}

TEST(Reduction, KeepsColumnsAndTheirJoins) {
  std::mt19937 alea(7);
  std::uniform_int_distribution<int> bruit(0, 599);
  const int n = 20000;
  std::vector<int> x(n), y(n);
  for (int i = 0; i < n; ++i) {
    x[std::size_t(i)] = i * 1000 / n;
    y[std::size_t(i)] = i % 997 == 0 ? -1 : bruit(alea);
  }
  std::vector<std::vector<Tpoint>> morceaux;
  dessin::Tpoints tampon;
  dessin::reduitPolyligne(x.data(), y.data(), n, tampon,
                          [&](const dessin::Tpoints& p) { morceaux.push_back(p); });
  // Reference: the same pieces unreduced.
  std::vector<std::vector<Tpoint>> naifs(1);
  for (int i = 0; i < n; ++i) {
    if (y[std::size_t(i)] == -1) {
      if (!naifs.back().empty()) naifs.emplace_back();
      continue;
    }
    naifs.back().push_back({x[std::size_t(i)], y[std::size_t(i)]});
  }
  if (naifs.back().empty()) naifs.pop_back();
  ASSERT_EQ(morceaux.size(), naifs.size());
  std::size_t total = 0;
  for (std::size_t k = 0; k < naifs.size(); ++k) {
    EXPECT_EQ(couverture(morceaux[k]), couverture(naifs[k])) << k;
    EXPECT_EQ(morceaux[k].front(), naifs[k].front());
    EXPECT_EQ(morceaux[k].back(), naifs[k].back());
    total += morceaux[k].size();
  }
  EXPECT_LE(total, 4u * 1000 + 2 * naifs.size());
}

// The columns drawn from the values scaled on the fly are those drawn from
// the pixels scaled first, whatever breaks the pieces: missing values,
// NaN, infinities, values whose pixel overflows, unplaced abscissas, and
// abscissas going back and forth.
TEST(Reduction, ValuesScaledOnTheFlyGiveTheSameColumns) {
  std::mt19937 alea(11);
  std::uniform_real_distribution<double> valeur(-12, 12);
  std::uniform_int_distribution<int> tirage(0, 299);
  const std::size_t n = 30000;
  std::vector<int> x(n);
  std::vector<double> v(n);
  for (std::size_t i = 0; i < n; ++i) {
    x[i] = i < n / 2 ? int(i * 800 / n) : int(800 - (i - n / 2) * 900 / n);  // back at x < 400
    v[i] = valeur(alea);
    switch (tirage(alea)) {
      case 0: v[i] = valeurAbsente; break;
      case 1: v[i] = NAN; break;
      case 2: v[i] = INFINITY; break;
      case 3: v[i] = -INFINITY; break;
      case 4: v[i] = 1e308; break;  // a * v overflows
      case 5: x[i] = -1; break;
      default: break;
    }
  }
  v[0] = NAN;  // a first value that is no value
  for (const double a : {-25.0, 25.0}) {
    TCourbe c("V", "V", "", 6);
    c.a = a;
    c.b = 300;
    std::vector<int> y(n);
    c.XWindowBloc(v.data(), y.data(), n);
    using Dessin = std::pair<std::vector<Tcolonne>, dessin::Tpoints>;
    const auto colonnes = [](std::vector<Dessin>& d) {
      return [&d](const dessin::Tpoints& p) {
        Dessin m;
        dessin::colonnesDePolyligne(p, m.first, m.second);
        d.push_back(m);
      };
    };
    std::vector<Dessin> attendu, obtenu;
    dessin::Tpoints tampon;
    dessin::reduitPolyligne(x.data(), y.data(), n, tampon, colonnes(attendu));
    std::vector<std::size_t> debuts;
    dessin::debutsDeColonnes(x.data(), n, debuts);
    dessin::reduitCourbe(x.data(), debuts, c.a, c.b, v.data(), tampon, colonnes(obtenu));
    ASSERT_GT(attendu.size(), 100u);
    ASSERT_EQ(obtenu.size(), attendu.size()) << a;
    for (std::size_t k = 0; k < attendu.size(); ++k) {
      EXPECT_EQ(obtenu[k].first, attendu[k].first) << a << " piece " << k;
      EXPECT_EQ(obtenu[k].second, attendu[k].second) << a << " piece " << k;
    }
  }
}

TEST(Reduction, StepsBetweenNeighbourColumnsGoToTheLeftOne) {
  std::vector<Tcolonne> c;
  dessin::Tpoints seg;
  dessin::colonnesDePolyligne({{10, 0}, {10, 3}, {11, 10}, {12, 10}, {13, 2}}, c, seg);
  EXPECT_EQ(c, (std::vector<Tcolonne>{{10, 0, 9}, {11, 10, 10}, {12, 3, 10}, {13, 2, 2}}));
  EXPECT_TRUE(seg.empty());
  // Leftwards, the current column is the left one.
  dessin::colonnesDePolyligne({{13, 2}, {12, 10}}, c, seg);
  EXPECT_EQ(c, (std::vector<Tcolonne>{{13, 2, 2}, {12, 3, 10}}));
  // Columns apart: the join stays a segment.
  dessin::colonnesDePolyligne({{10, 0}, {15, 3}, {15, 4}}, c, seg);
  EXPECT_EQ(c, (std::vector<Tcolonne>{{10, 0, 0}, {15, 3, 4}}));
  EXPECT_EQ(seg, (dessin::Tpoints{{10, 0}, {15, 3}}));
}

}  // namespace
