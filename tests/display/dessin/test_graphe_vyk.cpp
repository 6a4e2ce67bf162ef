// The acquisition set drawn through its own description of itself.
#include <gtest/gtest.h>

#include <cmath>

#include "core/display/dessin/canevas_enregistreur.h"
#include "core/display/dessin/dessin_graphe.h"
#include "core/display/graphe/graphe.h"

namespace {

TEST(GrapheVYK, TheRecordedInputsAreDrawnAgainstTime) {
  TgrapheVYK g;
  g.fixeNbreInter(200);
  g.verifieVoiesActives();
  TCourbe& t = *g.voie(1);
  t.Fmini = 0;
  t.Fmaxi = 1;
  for (int i = 0; i < 200; ++i) {
    t.vecteurAff[std::size_t(i)] = i / 200.0;
    g.voie(6)->vecteurAff[std::size_t(i)] = 5 * std::sin(i / 10.0);
    g.voie(7)->vecteurAff[std::size_t(i)] = i % 50 < 25 ? 3 : -3;
  }
  g.NbreAff = 200;
  g.courbesSeparees = true;

  TcanevasEnregistreur canevas;
  TdessinGraphe d;
  d.Canvas = &canevas;
  d.LimiteFenetre = Trect{0, 0, 800, 500};
  d.source = g.sourceDessin();
  d.Draw();
  EXPECT_EQ(d.slotsCourbes(), (std::vector<int>{6, 7}));
  EXPECT_EQ(d.NbreCourbe, 2);
  EXPECT_LT(g.voie(6)->courbeBottom, g.voie(7)->courbeTop);
  int traits6 = 0, traits7 = 0;
  for (const Toperation& o : canevas.de(Toperation::oColonnes)) {
    traits6 += o.plume.couleur == g.voie(6)->couleur;
    traits7 += o.plume.couleur == g.voie(7)->couleur;
  }
  EXPECT_EQ(traits6, 1);
  EXPECT_EQ(traits7, 1);
}

}  // namespace
