#pragma once
// The drawing canvas over a QPainter: the screen widget's back buffer, an
// image for the clipboard, or a printer page.

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QVector>
#include <optional>

#include "core/display/dessin/canevas.h"

class TcanevasQt : public ICanevas {
 public:
  // The painter must stay active for the canvas's life.
  explicit TcanevasQt(QPainter& p);

  void setPlume(const Tplume& p) override;
  void setPinceau(const Tpinceau& p) override;
  void setFonte(const Tfonte& f) override;
  int pixelsParPouce() const override;
  int largeurTexte(const std::string& texte) override;
  int hauteurTexte(const std::string& texte) override;
  void ligne(int x1, int y1, int x2, int y2) override;
  void polyligne(const Tpoint* points, std::size_t n) override;
  void rectangle(const Trect& r) override;
  void ellipse(const Trect& r) override;
  void texte(int x, int y, const std::string& texte) override;
  void remplit(const Trect& r, Tcouleur c) override;
  // Written straight into the pixels when the painter draws on a plain
  // image without transform or clipping.
  void colonnes(const Tcolonne* c, std::size_t n) override;

  static QColor couleurQt(Tcouleur c) { return QColor(rougeDe(c), vertDe(c), bleuDe(c)); }

 private:
  QPainter& p_;
  QPen plume_;
  QColor couleurFonte_;
  QImage* imageDirecte();
  std::optional<QFontMetrics> mesures_;
  QVector<QPoint> points_;
  bool trameRaster_;
};
