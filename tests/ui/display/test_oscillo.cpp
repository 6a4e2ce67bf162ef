#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <cmath>
#include <memory>
#include <random>

#include "core/channels/numbers/nombres.h"
#include "core/display/dessin/dessin_graphe.h"
#include "ui/display/canevas_qt.h"
#include "ui/display/oscillo.h"

namespace {

QApplication& application() {
  static int argc = 1;
  static char nom[] = "test_ui_display";
  static char* argv[] = {nom, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// Slot 1: time 0..1; slots 6..(5 + courbes): inputs in -10..10.
struct Scene {
  std::vector<std::unique_ptr<TCourbe>> voies;
  TdessinGraphe dessin;

  Scene(int courbes, int n, double bruit) {
    application();
    voies.push_back(std::make_unique<TvoieNonEA>("t", "s", "", 1));
    for (int s = 2; s <= nbreSlots; ++s) voies.push_back(std::make_unique<TCourbe>("V", "V", "", s));
    for (int s = 1; s <= nbreSlots; ++s) dessin.source.voieBrixo[std::size_t(s)] = voies[std::size_t(s - 1)].get();
    TCourbe& t = *voies[0];
    t.active = true;
    t.Fmini = 0;
    t.Fmaxi = 1;
    std::mt19937 alea(3);
    std::normal_distribution<double> gauss(0, bruit > 0 ? bruit : 1);
    for (int i = 0; i < n; ++i) t.vecteurAff[std::size_t(i)] = double(i) / n;
    for (int k = 0; k < courbes; ++k) {
      TCourbe& c = *voies[std::size_t(5 + k)];
      c.active = true;
      c.Fmini = -10;
      c.Fmaxi = 10;
      for (int i = 0; i < n; ++i)
        c.vecteurAff[std::size_t(i)] =
            6 * std::sin(2 * M_PI * (k + 1) * i / n + k) + (bruit > 0 ? gauss(alea) : 0);
    }
    dessin.source.NbreAff = n;
    dessin.source.NbreInter = n;
  }
  TCourbe& voie(int s) { return *voies[std::size_t(s - 1)]; }
};

// Every pixel where the images differ has its colour within one pixel in
// the other image.
int ecartsAuDelaDUnPixel(const QImage& a, const QImage& b) {
  const auto present = [](const QImage& im, int x, int y, QRgb c) {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        const int u = x + dx, v = y + dy;
        if (u >= 0 && v >= 0 && u < im.width() && v < im.height() && im.pixel(u, v) == c) return true;
      }
    return false;
  };
  int ecarts = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb pa = a.pixel(x, y), pb = b.pixel(x, y);
      if (pa == pb) continue;
      if (!present(b, x, y, pa) || !present(a, x, y, pb)) ++ecarts;
    }
  return ecarts;
}

class MemesPixels : public ::testing::TestWithParam<double> {};

// Curves cross each other, and the last drawn hides the others; so each
// curve is compared on its own (the other four inactive).
TEST_P(MemesPixels, DrawCoversTheNaivePolylineWithinOnePixel) {
  Scene scene(5, 60000, GetParam());
  // A gap of missing points in one curve.
  for (int i = 20000; i < 20500; ++i) scene.voie(7).vecteurAff[std::size_t(i)] = valeurAbsente;
  const int n = scene.dessin.source.NbreAff;
  const TCourbe& t = scene.voie(1);
  for (int seule = 6; seule <= 10; ++seule) {
    for (int s = 6; s <= 10; ++s) scene.voie(s).active = s == seule;
    const QImage rapide = imageGraphe(scene.dessin, 1000, 600);
    // The same axes, then the curve as plain polylines through every point.
    scene.dessin.source.NbreAff = 0;
    QImage naif = imageGraphe(scene.dessin, 1000, 600);
    EXPECT_NE(rapide, naif);
    scene.dessin.source.NbreAff = n;
    QPainter p(&naif);
    const TCourbe& c = scene.voie(seule);
    p.setPen(QPen(TcanevasQt::couleurQt(c.couleur), 1));
    QPolygon morceau;
    for (int i = 0; i <= n; ++i) {
      const int x = i < n ? t.XWindow(t.vecteurAff[std::size_t(i)]) : -1;
      const int y = i < n ? c.XWindow(c.vecteurAff[std::size_t(i)]) : -1;
      if (x == -1 || y == -1) {
        if (!morceau.isEmpty()) p.drawPolyline(morceau);
        morceau.clear();
      } else {
        morceau << QPoint(x, y);
      }
    }
    p.end();
    EXPECT_EQ(ecartsAuDelaDUnPixel(rapide, naif), 0) << "voie " << seule;
  }
}

INSTANTIATE_TEST_SUITE_P(Signaux, MemesPixels, ::testing::Values(0.0, 1.0, 3.0),
                         [](const ::testing::TestParamInfo<double>& i) {
                           return i.param == 0 ? std::string("lisse") : "bruit" + std::to_string(int(i.param));
                         });

TEST(CanevasQt, ShapesCoverTheirRectangleWithoutItsRightAndBottomEdges) {
  application();
  QImage im(40, 40, QImage::Format_RGB32);
  im.fill(Qt::white);
  QPainter p(&im);
  TcanevasQt c(p);
  c.setPlume(Tplume{clNoir, 1, psSolid, pmCopy});
  c.setPinceau(Tpinceau{clRouge, true});
  c.rectangle(Trect{10, 10, 20, 16});
  Tcolonne col{30, 5, 8};
  c.colonnes(&col, 1);
  p.end();
  EXPECT_EQ(im.pixel(10, 10), qRgb(0, 0, 0));
  EXPECT_EQ(im.pixel(19, 15), qRgb(0, 0, 0));
  EXPECT_EQ(im.pixel(20, 15), qRgb(255, 255, 255));
  EXPECT_EQ(im.pixel(19, 16), qRgb(255, 255, 255));
  EXPECT_EQ(im.pixel(15, 13), qRgb(255, 0, 0));  // filled with the brush
  for (int y = 5; y <= 8; ++y) EXPECT_EQ(im.pixel(30, y), qRgb(0, 0, 0));
  EXPECT_EQ(im.pixel(30, 4), qRgb(255, 255, 255));
  EXPECT_EQ(im.pixel(30, 9), qRgb(255, 255, 255));
}

TEST(CanevasQt, TextMetricsFollowTheFont) {
  application();
  QImage im(200, 100, QImage::Format_RGB32);
  QPainter p(&im);
  TcanevasQt c(p);
  Tfonte f;
  f.taille = 8;
  c.setFonte(f);
  const int petit = c.hauteurTexte("A");
  f.taille = 16;
  c.setFonte(f);
  EXPECT_GT(c.hauteurTexte("A"), petit);
  EXPECT_GT(c.largeurTexte("AAAA"), c.largeurTexte("A"));
  EXPECT_EQ(c.pixelsParPouce(), im.logicalDpiY());
}

TEST(Reticule, DrawnTwiceLeavesTheImageAsItWas) {
  Scene scene(2, 200, 0);
  QImage im = imageGraphe(scene.dessin, 600, 400);
  const QImage avant = im.copy();
  scene.voie(6).ValeurCourante = 2;
  scene.voie(7).ValeurCourante = -3;
  scene.dessin.rafraichitValeursReticule();
  {
    QPainter p(&im);
    TcanevasQt c(p);
    scene.dessin.Canvas = &c;
    scene.dessin.basculeReticule();
  }
  EXPECT_TRUE(scene.dessin.ReticuleTrace);
  EXPECT_NE(im, avant);
  // The cross is at the live value of the first input.
  const int x = scene.voie(1).XWindow(scene.voie(1).valeurAff);
  const int y = scene.voie(6).XWindow(2);
  EXPECT_NE(im.pixel(x + 8, y), avant.pixel(x + 8, y));
  {
    QPainter p(&im);
    TcanevasQt c(p);
    scene.dessin.Canvas = &c;
    scene.dessin.basculeReticule();
  }
  scene.dessin.Canvas = nullptr;
  EXPECT_FALSE(scene.dessin.ReticuleTrace);
  EXPECT_EQ(im, avant);
}

TEST(Imprimante, ThePageReceivesTheGraph) {
  Scene scene(2, 500, 0.5);
  QTemporaryDir dossier;
  ASSERT_TRUE(dossier.isValid());
  const QString fichier = dossier.filePath("graphe.pdf");
  QPrinter imprimante(QPrinter::HighResolution);
  imprimante.setOutputFormat(QPrinter::PdfFormat);
  imprimante.setOutputFileName(fichier);
  imprimeGraphe(imprimante, scene.dessin);
  EXPECT_FALSE(scene.dessin.source.impression);  // restored
  // At printer resolution the font may reach 24 points.
  EXPECT_GT(scene.dessin.HautCarac, 50);
  EXPECT_GT(QFileInfo(fichier).size(), 2000);
}

int pixelsDeCouleur(const QImage& im, QRgb c) {
  int n = 0;
  for (int y = 0; y < im.height(); ++y)
    for (int x = 0; x < im.width(); ++x) n += im.pixel(x, y) == c;
  return n;
}

TEST(Oscillo, DrawsOnlyWithAnInterfaceAndCopiesAt640x400) {
  Scene scene(2, 300, 0);
  TOscillo o;
  o.resize(500, 300);
  o.setFournisseur([&scene] { return scene.dessin.source; });
  const QRgb rouge = TcanevasQt::couleurQt(scene.voie(6).couleur).rgb();
  o.grab();
  EXPECT_EQ(pixelsDeCouleur(o.tampon(), rouge), 0);
  o.setPresent(true);
  o.grab();
  EXPECT_EQ(o.tampon().size(), o.contentsRect().size());
  EXPECT_GT(pixelsDeCouleur(o.tampon(), rouge), 100);
  const QImage copie = o.copie();
  EXPECT_EQ(copie.size(), QSize(640, 400));
  EXPECT_GT(pixelsDeCouleur(copie, rouge), 100);

  // New points of a recording are added without a full redraw.
  const QImage avant = o.tampon().copy();
  for (int i = 0; i < 300; ++i) scene.voie(6).vecteurAff[std::size_t(i)] = 9;
  o.traceCourbes();
  EXPECT_GT(pixelsDeCouleur(o.tampon(), rouge), pixelsDeCouleur(avant, rouge));
  // The reticle comes and goes on the buffer.
  const QImage sans = o.tampon().copy();
  o.basculeReticule();
  EXPECT_NE(o.tampon(), sans);
  o.basculeReticule();
  EXPECT_EQ(o.tampon(), sans);
  // A redraw after the point-by-point condition draws the reticle again.
  int labels = 0;
  o.setReticuleApresDessin([] { return true; });
  o.setRafraichitLabels([&labels] { ++labels; });
  o.redessine();
  o.grab();
  EXPECT_TRUE(o.dessin().ReticuleTrace);
  EXPECT_EQ(labels, 1);
}

}  // namespace
