#include "ui/display/oscillo.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <cmath>
#include <cstdlib>
#include <string>

#include "core/acquisition/base_temps/base_temps.h"
#include "core/display/graphe/graphe.h"
#include "ui/display/canevas_qt.h"

void dessineGraphe(QPainter& p, TdessinGraphe& dessin, const Trect& r, bool fond) {
  TcanevasQt canevas(p);
  ICanevas* avant = dessin.Canvas;
  dessin.Canvas = &canevas;
  dessin.LimiteFenetre = r;
  if (fond) canevas.remplit(r, dessin.source.couleurFond);
  dessin.Draw();
  dessin.Canvas = avant;
}

QImage imageGraphe(TdessinGraphe& dessin, int largeur, int hauteur) {
  QImage image(std::max(1, largeur), std::max(1, hauteur), QImage::Format_RGB32);
  QPainter p(&image);
  dessineGraphe(p, dessin, Trect{0, 0, image.width(), image.height()});
  return image;
}

void imprimeGraphe(QPrinter& imprimante, TdessinGraphe& dessin) {
  QPainter p;
  if (!p.begin(&imprimante)) return;
  const bool avant = dessin.source.impression;
  dessin.source.impression = true;
  const QRect page = imprimante.pageLayout().paintRectPixels(imprimante.resolution());
  dessineGraphe(p, dessin, Trect{0, 0, page.width(), page.height()}, false);
  dessin.source.impression = avant;
  p.end();
}

namespace {

// VYK2_DEMO_OSCILLO, to look at the drawing before the mode dialog
// exists: words "grille", "separees" and "points" set those display
// options on whatever is drawn; "synthetique" draws a built-in sweep (a
// sine on the first input, a square on the second) instead of the
// recorded one.
std::string optionsDemo() {
  const char* d = std::getenv("VYK2_DEMO_OSCILLO");
  return d ? std::string(d) : std::string();
}

void appliqueOptionsDemo(const std::string& options, TsourceDessin& s) {
  if (options.empty()) return;
  s.avecGrille = options.find("grille") != std::string::npos;
  s.courbesSeparees = options.find("separees") != std::string::npos;
  if (options.find("points") != std::string::npos) s.Trace = sTrace{trLigne, trPoint};
}

std::unique_ptr<TgrapheVYK> grapheDemo() {
  auto g = std::make_unique<TgrapheVYK>();
  const int n = 1000;
  g->fixeNbreInter(n);
  TCourbe* t = g->voie(1);
  TCourbe* sinus = g->voie(6);
  TCourbe* carre = g->voie(7);
  sinus->active = true;
  carre->active = true;
  g->verifieVoiesActives();
  const double duree = 0.02;
  t->Fmini = 0;
  t->Fmaxi = duree;
  sinus->Fmini = carre->Fmini = -10;
  sinus->Fmaxi = carre->Fmaxi = 10;
  for (int i = 0; i < n; ++i) {
    const double ti = duree * i / n;
    t->vecteurAff[std::size_t(i)] = ti;
    sinus->vecteurAff[std::size_t(i)] = 5 * std::sin(2 * M_PI * 150 * ti);
    carre->vecteurAff[std::size_t(i)] = std::fmod(ti * 100, 1.0) < 0.5 ? 3 : -3;
  }
  g->NbreAff = n;
  g->NbreCourant = n;
  return g;
}

}  // namespace

TOscillo::TOscillo(QWidget* parent) : QFrame(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  if (optionsDemo().find("synthetique") != std::string::npos) {
    demo_ = grapheDemo();
    fournisseur_ = [this] { return demo_->sourceDessin(); };
  }
}

TOscillo::~TOscillo() = default;

void TOscillo::setFournisseur(Tfournisseur f) {
  fournisseur_ = std::move(f);
  redessine();
}

void TOscillo::setPresent(bool present) {
  if (present == present_) return;
  present_ = present;
  redessine();
}

void TOscillo::setReticuleApresDessin(std::function<bool()> condition) {
  reticuleApresDessin_ = std::move(condition);
}

void TOscillo::setRafraichitLabels(std::function<void()> rafraichit) {
  rafraichitLabels_ = std::move(rafraichit);
}

bool TOscillo::prepareSource() {
  if (fournisseur_)
    dessin_.source = fournisseur_();
  else if (grapheAcq)
    dessin_.source = grapheAcq->sourceDessin();
  else
    return false;
  static const std::string options = optionsDemo();
  appliqueOptionsDemo(options, dessin_.source);
  return true;
}

void TOscillo::redessine() {
  aRedessiner_ = true;
  update();
}

void TOscillo::dessineTampon() {
  const QRect r = contentsRect();
  if (tampon_.size() != r.size()) tampon_ = QImage(r.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  aRedessiner_ = false;
  const QColor fondFenetre = palette().color(QPalette::Window);
  if (!present_ || !prepareSource()) {
    tampon_.fill(fondFenetre);
    dessin_.ReticuleTrace = false;
    return;
  }
  dessin_.source.couleurFond = RGB(fondFenetre.red(), fondFenetre.green(), fondFenetre.blue());
  const QColor texte = palette().color(QPalette::WindowText);
  dessin_.source.couleurTexte = RGB(texte.red(), texte.green(), texte.blue());
  {
    QPainter p(&tampon_);
    dessineGraphe(p, dessin_, Trect{0, 0, tampon_.width(), tampon_.height()});
  }
  dessin_.rafraichitValeursReticule();
  if (reticuleApresDessin_ && reticuleApresDessin_()) {
    QPainter p(&tampon_);
    TcanevasQt canevas(p);
    dessin_.Canvas = &canevas;
    dessin_.basculeReticule(rafraichitLabels_);
    dessin_.Canvas = nullptr;
  }
}

void TOscillo::paintEvent(QPaintEvent*) {
  if (aRedessiner_ || tampon_.size() != contentsRect().size()) dessineTampon();
  QPainter p(this);
  p.drawImage(contentsRect().topLeft(), tampon_);
  drawFrame(&p);
}

void TOscillo::resizeEvent(QResizeEvent* e) {
  QFrame::resizeEvent(e);
  aRedessiner_ = true;
}

void TOscillo::traceCourbes() {
  if (!present_ || aRedessiner_ || tampon_.isNull() || !prepareSource()) {
    redessine();
    return;
  }
  QPainter p(&tampon_);
  TcanevasQt canevas(p);
  dessin_.Canvas = &canevas;
  dessin_.TraceCourbes();
  dessin_.Canvas = nullptr;
  update();
}

void TOscillo::basculeReticule() {
  if (!present_ || tampon_.isNull() || aRedessiner_) return;
  if (!prepareSource()) return;
  QPainter p(&tampon_);
  TcanevasQt canevas(p);
  dessin_.Canvas = &canevas;
  dessin_.basculeReticule(rafraichitLabels_);
  dessin_.Canvas = nullptr;
  update();
}

QImage TOscillo::copie() {
  if (!prepareSource()) return QImage();
  TdessinGraphe d;
  d.source = dessin_.source;
  d.DeltaSpiro = dessin_.DeltaSpiro;
  return imageGraphe(d, 640, 400);
}
