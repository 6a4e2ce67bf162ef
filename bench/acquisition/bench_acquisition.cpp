// One tick of the acquisition timer during a 60000-point time sweep: the
// conversion of the points received so far and the drawing of the curves
// over the last layout, as the running sweep does it four times a second.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "core/acquisition/controle/controle.h"
#include "core/display/dessin/canevas_enregistreur.h"
#include "core/display/dessin/dessin_graphe.h"
#include "core/link/vue_liaison.h"
#include "sim/transport/horloge_simulee.h"
#include "sim/transport/port_emule.h"

#ifdef VYK2_BENCH_QT
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "ui/display/canevas_qt.h"
#endif

namespace {

struct VueLiaisonVide : IVueLiaison {
  void afficheStatut(int, const std::string&) override {}
  void afficheBrixoAbsent(bool) override {}
  void curseurSablier(bool) override {}
  void messageErreur(const std::string&) override {}
  bool questionOuiNon(const std::string&) override { return true; }
  ReponseRappel rappelMiseAJourRom(const std::string&) override { return ReponseRappel::ok; }
  void commandesSansInterface() override {}
  void boutonReconVisible(bool) override {}
  void chargeConfigurationEnAttente() override {}
  void ouvreMiseAJourRom() override {}
  void progressionMiseAJourRom(int) override {}
  void messageMiseAJourRom(const std::string&, const std::string&) override {}
  bool arretMiseAJourDemande() override { return false; }
  void fermeMiseAJourRom() override {}
};

// A window whose graph is drawn for real (into an image with Qt, else into
// a recording canvas).
struct VueDessin : IVueAcquisition {
  TgrapheVYK* graphe = nullptr;
  TdessinGraphe dessin;
  bool actif = true;
  void afficheStatut(int, const std::string&) override {}
  void appliqueBoutons(const TboutonsAcq&) override {}
  void appliquePanneaux(const TpanneauxAcq&) override {}
  void timer(bool a) override { actif = a; }
  bool timerActif() override { return actif; }
  void periodeTimer(int) override {}
  void progression(int, int) override {}
  void dureeEcoulee(const std::string&) override {}
  void redessine() override {
    dessin.source = graphe->sourceDessin();
    dessin.Draw();
  }
  void traceNouveauxPoints() override {
    dessin.source = graphe->sourceDessin();
    dessin.TraceCourbes();
  }
  void afficheValeurs() override {}
  void messageErreur(const std::string&) override {}
  bool questionOuiNon(const std::string&) override { return true; }
  void posteMessage(int) override {}
};

void BM_TimerTick(benchmark::State& state) {
  constexpr int n = 60000;
  constexpr int parTick = 250;  // 1 ms interval, 250 ms ticks
  sim::HorlogeSimulee horloge;
  sim::PortEmule port{horloge};
  VueLiaisonVide vueLiaison;
  TLiaison liaison{port, horloge, vueLiaison};
  liaison.BrixoPresent = true;
  TgrapheVYK graphe;
  graphe.voie(7)->active = false;
  graphe.verifieVoiesActives();
  graphe.fixeNbreInter(n);
  graphe.baseDeTemps->Deltat = 1e-3;
  graphe.baseDeTemps->fixeDureeBalayage(60);
  graphe.baseDeTemps->remplitTemps();
  TCourbe& v = *graphe.voie(6);
  for (int i = 0; i < n; ++i)
    v.vecteurCourant[std::size_t(i)] =
        static_cast<std::int16_t>(std::lround(20000 * std::sin(2 * M_PI * i / 3000.0)));

  VueDessin vue;
  vue.graphe = &graphe;
#ifdef VYK2_BENCH_QT
  static int argc = 1;
  static char nom[] = "vyk2-bench";
  static char* argv[] = {nom, nullptr};
  if (!QGuiApplication::instance()) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(argc, argv);
  }
  QImage image(800, 600, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter peintre(&image);
  TcanevasQt canevas(peintre);
#else
  TcanevasEnregistreur canevas;
#endif
  vue.dessin.Canvas = &canevas;
  vue.dessin.LimiteFenetre = Trect{0, 0, 800, 600};

  TcontroleAcquisition controle(graphe, liaison, horloge, vue);
  controle.etatAcq = eaAttenteResul;
  controle.PremiereAcquisition = true;
  controle.DebutAcquisition = horloge.maintenantMs();
  controle.dureeResulMax = 1e9;
  graphe.NbreCourant = n - parTick;
  graphe.CourantVersAff();
  vue.redessine();

  for (auto _ : state) {
    // The last tick's points are shown; a tick's worth arrived since.
    graphe.NbreAff = n - parTick;
    graphe.NbreCourant = n;
#ifndef VYK2_BENCH_QT
    canevas.operations.clear();
#endif
    controle.TimerTimer();
    benchmark::DoNotOptimize(graphe.NbreAff);
  }
  state.counters["points"] = n;
#ifdef VYK2_BENCH_QT
  // VYK2_BENCH_IMAGE=FILE: the drawn graph, to look at.
  if (const QByteArray f = qgetenv("VYK2_BENCH_IMAGE"); !f.isEmpty()) image.save(QString::fromLocal8Bit(f));
#endif
}
BENCHMARK(BM_TimerTick)->Unit(benchmark::kMillisecond);

}  // namespace
