// Full redraw of the oscilloscope with five 60000-point curves into a
// 1000 x 600 image, beside a plain drawPolyline of the same points.
#ifdef VYK2_BENCH_QT

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "core/display/dessin/dessin_graphe.h"
#include "ui/display/canevas_qt.h"
#include "ui/display/oscillo.h"

namespace {

constexpr int nPoints = 60000;
constexpr int nCourbes = 5;

QGuiApplication& application() {
  static int argc = 1;
  static char nom[] = "vyk2-bench";
  static char* argv[] = {nom, nullptr};
  static QGuiApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QGuiApplication(argc, argv);
  }();
  return *app;
}

struct Scene {
  std::vector<std::unique_ptr<TCourbe>> voies;
  TdessinGraphe dessin;

  explicit Scene(bool bruit) {
    application();
    voies.push_back(std::make_unique<TvoieNonEA>("t", "s", "", 1));
    for (int s = 2; s <= nbreSlots; ++s)
      voies.push_back(std::make_unique<TCourbe>("V", "V", "", s));
    for (int s = 1; s <= nbreSlots; ++s) dessin.source.voieBrixo[std::size_t(s)] = voies[std::size_t(s - 1)].get();
    TCourbe& t = *voies[0];
    t.active = true;
    t.Fmini = 0;
    t.Fmaxi = 1;
    std::mt19937 alea(42);
    std::normal_distribution<double> gauss(0, 1);
    for (int i = 0; i < nPoints; ++i) t.vecteurAff[std::size_t(i)] = double(i) / nPoints;
    for (int k = 0; k < nCourbes; ++k) {
      TCourbe& c = *voies[std::size_t(5 + k)];
      c.active = true;
      c.Fmini = -10;
      c.Fmaxi = 10;
      for (int i = 0; i < nPoints; ++i) {
        const double v = 6 * std::sin(2 * M_PI * (k + 1) * i / nPoints + k);
        c.vecteurAff[std::size_t(i)] = bruit ? v + gauss(alea) : v;
      }
    }
    dessin.source.NbreAff = nPoints;
    dessin.source.NbreInter = nPoints;
  }

  // The points at the pixels of the last layout.
  std::vector<QPolygon> polygones() const {
    std::vector<QPolygon> p;
    const TCourbe& t = *voies[0];
    for (int k = 0; k < nCourbes; ++k) {
      const TCourbe& c = *voies[std::size_t(5 + k)];
      QPolygon q(nPoints);
      for (int i = 0; i < nPoints; ++i)
        q[i] = QPoint(t.XWindow(t.vecteurAff[std::size_t(i)]), c.XWindow(c.vecteurAff[std::size_t(i)]));
      p.push_back(q);
    }
    return p;
  }
};

void BM_Draw(benchmark::State& state, bool bruit) {
  Scene scene(bruit);
  QImage image(1000, 600, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter p(&image);
    dessineGraphe(p, scene.dessin, Trect{0, 0, 1000, 600});
    p.end();
    benchmark::DoNotOptimize(image.constBits());
  }
}

void BM_NaivePolyline(benchmark::State& state, bool bruit) {
  Scene scene(bruit);
  QImage image(1000, 600, QImage::Format_RGB32);
  {
    QPainter p(&image);
    dessineGraphe(p, scene.dessin, Trect{0, 0, 1000, 600});
  }
  const std::vector<QPolygon> polys = scene.polygones();
  for (auto _ : state) {
    QPainter p(&image);
    p.fillRect(image.rect(), Qt::white);
    for (int k = 0; k < nCourbes; ++k) {
      p.setPen(TcanevasQt::couleurQt(scene.voies[std::size_t(5 + k)]->couleur));
      p.drawPolyline(polys[std::size_t(k)]);
    }
    p.end();
    benchmark::DoNotOptimize(image.constBits());
  }
}

BENCHMARK_CAPTURE(BM_Draw, Draw/smooth, false)->Name("BM_Draw/Draw/smooth")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Draw, Draw/noisy, true)->Name("BM_Draw/Draw/noisy")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NaivePolyline, NaivePolyline/smooth, false)
    ->Name("BM_Draw/NaivePolyline/smooth")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NaivePolyline, NaivePolyline/noisy, true)
    ->Name("BM_Draw/NaivePolyline/noisy")
    ->Unit(benchmark::kMillisecond);

}  // namespace

#endif  // VYK2_BENCH_QT
