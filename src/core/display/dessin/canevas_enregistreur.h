#pragma once
// A canvas that draws nothing and keeps what it was asked to draw, with
// fixed text metrics, so that the geometry of a drawing can be checked.

#include <string>
#include <vector>

#include "core/display/dessin/canevas.h"

struct Toperation {
  enum Genre { oLigne, oPolyligne, oRectangle, oEllipse, oTexte, oRemplit, oColonnes };
  Genre genre = oLigne;
  Tplume plume;
  Tpinceau pinceau;
  Tfonte fonte;
  std::vector<Tpoint> points;  // lines: both ends; polylines: every point
  std::vector<Tcolonne> colonnes;
  Trect rect;                  // rectangles, ellipses, fills
  Tpoint position;             // texts: top-left corner
  std::string texte;
};

class TcanevasEnregistreur : public ICanevas {
 public:
  explicit TcanevasEnregistreur(int pixelsParPouce = 96) : ppp_(pixelsParPouce) {}

  void setPlume(const Tplume& p) override { plume_ = p; }
  void setPinceau(const Tpinceau& p) override { pinceau_ = p; }
  void setFonte(const Tfonte& f) override { fonte_ = f; }
  int pixelsParPouce() const override { return ppp_; }
  // A character is (size in pixels) high and 6/10 of it wide.
  int largeurTexte(const std::string& texte) override;
  int hauteurTexte(const std::string& texte) override;
  void ligne(int x1, int y1, int x2, int y2) override;
  void polyligne(const Tpoint* points, std::size_t n) override;
  void rectangle(const Trect& r) override;
  void ellipse(const Trect& r) override;
  void texte(int x, int y, const std::string& texte) override;
  void remplit(const Trect& r, Tcouleur c) override;
  void colonnes(const Tcolonne* c, std::size_t n) override;

  const Tplume& plume() const { return plume_; }
  const Tfonte& fonte() const { return fonte_; }
  std::vector<Toperation> operations;

  // Operations of one kind, in order.
  std::vector<Toperation> de(Toperation::Genre g) const;
  // Texts drawn, in order.
  std::vector<std::string> textes() const;

 private:
  Toperation nouvelle(Toperation::Genre g) const;
  int pixelsFonte() const;
  int ppp_;
  Tplume plume_;
  Tpinceau pinceau_;
  Tfonte fonte_;
};
