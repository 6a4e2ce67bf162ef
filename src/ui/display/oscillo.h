#pragma once
// The oscilloscope area of the main window. It draws the acquisition set
// into a back buffer that lives between paints, so that the curves of a
// recording can be added and the reticle drawn and erased in not-xor mode
// without a full redraw; a paint only shows the buffer.

#include <QFrame>
#include <QImage>
#include <functional>
#include <memory>

#include "core/display/dessin/dessin_graphe.h"

class QPainter;
class QPrinter;
class TgrapheVYK;

// The whole graph drawn in r of a painter (screen, image, printer); with
// fond, r is first filled with the source's window colour.
void dessineGraphe(QPainter& p, TdessinGraphe& dessin, const Trect& r, bool fond = true);
// The graph as an image of the given size (640 x 400 for the clipboard).
QImage imageGraphe(TdessinGraphe& dessin, int largeur = 640, int hauteur = 400);
// The graph on the printer's page, with the printing pen and fonts.
void imprimeGraphe(QPrinter& imprimante, TdessinGraphe& dessin);

class TOscillo : public QFrame {
  Q_OBJECT
 public:
  using Tfournisseur = std::function<TsourceDessin()>;

  explicit TOscillo(QWidget* parent = nullptr);
  ~TOscillo() override;

  // Where the drawing reads the set; by default the program's grapheAcq.
  void setFournisseur(Tfournisseur f);
  // Nothing is drawn while no interface answered.
  void setPresent(bool present);
  bool present() const { return present_; }
  // After the paint handler's full redraw: whether the channel labels and
  // the reticle are drawn again (point-by-point modes), and the label
  // refresh done before the reticle is drawn.
  void setReticuleApresDessin(std::function<bool()> condition);
  void setRafraichitLabels(std::function<void()> rafraichit);

  TdessinGraphe& dessin() { return dessin_; }
  const QImage& tampon() const { return tampon_; }

  // Full redraw at the next paint.
  void redessine();
  // New points of a recording: the curves over the last layout.
  void traceCourbes();
  // Reticle of the live values: drawn when hidden, erased when shown.
  void basculeReticule();
  // The graph as a 640 x 400 image (clipboard copy).
  QImage copie();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  bool prepareSource();
  void dessineTampon();

  TdessinGraphe dessin_;
  Tfournisseur fournisseur_;
  std::function<bool()> reticuleApresDessin_;
  std::function<void()> rafraichitLabels_;
  QImage tampon_;
  bool present_ = false;
  bool aRedessiner_ = true;
  // Built-in sweep of VYK2_DEMO_OSCILLO=synthetique, see oscillo.cpp.
  std::unique_ptr<TgrapheVYK> demo_;
};
