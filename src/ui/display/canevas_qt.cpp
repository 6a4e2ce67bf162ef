#include "ui/display/canevas_qt.h"

#include <QPaintEngine>

TcanevasQt::TcanevasQt(QPainter& p) : p_(p) {
  p_.setRenderHint(QPainter::Antialiasing, false);
  p_.setRenderHint(QPainter::TextAntialiasing, true);
  p_.setBackgroundMode(Qt::TransparentMode);
  p_.setBrush(Qt::NoBrush);
  // The raster operations that the not-xor mode needs exist on raster
  // devices only (images, the widget back buffer).
  trameRaster_ = p_.paintEngine() && p_.paintEngine()->type() == QPaintEngine::Raster;
  plume_ = QPen(Qt::black, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
  p_.setPen(plume_);
  mesures_.emplace(p_.font(), p_.device());
}

void TcanevasQt::setPlume(const Tplume& p) {
  plume_.setColor(couleurQt(p.couleur));
  plume_.setWidth(std::max(1, p.largeur));
  switch (p.style) {
    case psSolid: plume_.setStyle(Qt::SolidLine); break;
    case psDash: plume_.setStyle(Qt::DashLine); break;
    case psDot: plume_.setStyle(Qt::DotLine); break;
    case psDashDot: plume_.setStyle(Qt::DashDotLine); break;
    case psClear: plume_.setStyle(Qt::NoPen); break;
  }
  p_.setPen(plume_);
  if (trameRaster_)
    p_.setCompositionMode(p.mode == pmNotXor ? QPainter::RasterOp_NotSourceXorDestination
                                             : QPainter::CompositionMode_SourceOver);
}

void TcanevasQt::setPinceau(const Tpinceau& p) {
  if (p.plein)
    p_.setBrush(couleurQt(p.couleur));
  else
    p_.setBrush(Qt::NoBrush);
}

void TcanevasQt::setFonte(const Tfonte& f) {
  QFont font(QString::fromStdString(f.nom));
  font.setPointSize(std::max(1, f.taille));
  p_.setFont(font);
  couleurFonte_ = couleurQt(f.couleur);
  mesures_.emplace(p_.font(), p_.device());
}

int TcanevasQt::pixelsParPouce() const { return p_.device() ? p_.device()->logicalDpiY() : 96; }

int TcanevasQt::largeurTexte(const std::string& texte) {
  return mesures_->horizontalAdvance(QString::fromStdString(texte));
}

int TcanevasQt::hauteurTexte(const std::string& texte) {
  return texte.empty() ? 0 : mesures_->height();
}

void TcanevasQt::ligne(int x1, int y1, int x2, int y2) { p_.drawLine(x1, y1, x2, y2); }

void TcanevasQt::polyligne(const Tpoint* points, std::size_t n) {
  points_.resize(qsizetype(n));
  for (std::size_t i = 0; i < n; ++i) points_[qsizetype(i)] = QPoint(points[i].x, points[i].y);
  p_.drawPolyline(points_.constData(), int(n));
}

void TcanevasQt::rectangle(const Trect& r) {
  // QPainter's outline covers one pixel more than the rectangle's size.
  p_.drawRect(QRect(r.Left, r.Top, std::max(0, r.largeur() - 1), std::max(0, r.hauteur() - 1)));
}

void TcanevasQt::ellipse(const Trect& r) {
  p_.drawEllipse(QRect(r.Left, r.Top, std::max(0, r.largeur() - 1), std::max(0, r.hauteur() - 1)));
}

void TcanevasQt::texte(int x, int y, const std::string& texte) {
  const QPen avant = p_.pen();
  const QPainter::CompositionMode mode = p_.compositionMode();
  p_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  p_.setPen(couleurFonte_);
  p_.drawText(x, y + mesures_->ascent(), QString::fromStdString(texte));
  p_.setPen(avant);
  p_.setCompositionMode(mode);
}

void TcanevasQt::remplit(const Trect& r, Tcouleur c) {
  p_.fillRect(QRect(r.Left, r.Top, r.largeur(), r.hauteur()), couleurQt(c));
}

QImage* TcanevasQt::imageDirecte() {
  QPaintDevice* d = p_.device();
  if (!trameRaster_ || !d || d->devType() != QInternal::Image) return nullptr;
  auto* image = static_cast<QImage*>(d);
  const QImage::Format f = image->format();
  if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 &&
      f != QImage::Format_ARGB32_Premultiplied)
    return nullptr;
  // Writing beside the painter is sound only on memory it alone uses.
  if (!image->isDetached() || image->devicePixelRatio() != 1.0) return nullptr;
  if (p_.hasClipping() || !p_.deviceTransform().isIdentity()) return nullptr;
  if (p_.compositionMode() != QPainter::CompositionMode_SourceOver) return nullptr;
  if (plume_.style() != Qt::SolidLine || plume_.color().alpha() != 255) return nullptr;
  return image;
}

void TcanevasQt::colonnes(const Tcolonne* c, std::size_t n) {
  QImage* image = imageDirecte();
  if (!image) {
    ICanevas::colonnes(c, n);
    return;
  }
  const QRgb couleur = plume_.color().rgb() | 0xFF000000u;
  const int w = image->width();
  const int h = image->height();
  uchar* const pixels = image->bits();
  const qsizetype ligne = image->bytesPerLine();
  for (std::size_t i = 0; i < n; ++i) {
    const int x = c[i].x;
    if (x < 0 || x >= w) continue;
    const int haut = std::max(0, std::min(c[i].haut, c[i].bas));
    const int bas = std::min(h - 1, std::max(c[i].haut, c[i].bas));
    uchar* p = pixels + qsizetype(haut) * ligne + qsizetype(x) * 4;
    for (int y = haut; y <= bas; ++y, p += ligne) *reinterpret_cast<QRgb*>(p) = couleur;
  }
}
