#include "core/display/dessin/canevas_enregistreur.h"

#include <algorithm>

namespace {
std::size_t pointsDeCode(const std::string& s) {
  return std::size_t(std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}
}  // namespace

int TcanevasEnregistreur::pixelsFonte() const {
  return std::max(1, fonte_.taille * ppp_ / 72);
}

int TcanevasEnregistreur::largeurTexte(const std::string& texte) {
  return int(pointsDeCode(texte)) * ((pixelsFonte() * 6 + 5) / 10);
}

int TcanevasEnregistreur::hauteurTexte(const std::string& texte) {
  return texte.empty() ? 0 : pixelsFonte();
}

Toperation TcanevasEnregistreur::nouvelle(Toperation::Genre g) const {
  Toperation o;
  o.genre = g;
  o.plume = plume_;
  o.pinceau = pinceau_;
  o.fonte = fonte_;
  return o;
}

void TcanevasEnregistreur::ligne(int x1, int y1, int x2, int y2) {
  Toperation o = nouvelle(Toperation::oLigne);
  o.points = {{x1, y1}, {x2, y2}};
  operations.push_back(std::move(o));
}

void TcanevasEnregistreur::polyligne(const Tpoint* points, std::size_t n) {
  Toperation o = nouvelle(Toperation::oPolyligne);
  o.points.assign(points, points + n);
  operations.push_back(std::move(o));
}

void TcanevasEnregistreur::rectangle(const Trect& r) {
  Toperation o = nouvelle(Toperation::oRectangle);
  o.rect = r;
  operations.push_back(std::move(o));
}

void TcanevasEnregistreur::ellipse(const Trect& r) {
  Toperation o = nouvelle(Toperation::oEllipse);
  o.rect = r;
  operations.push_back(std::move(o));
}

void TcanevasEnregistreur::texte(int x, int y, const std::string& texte) {
  Toperation o = nouvelle(Toperation::oTexte);
  o.position = {x, y};
  o.texte = texte;
  operations.push_back(std::move(o));
}

void TcanevasEnregistreur::remplit(const Trect& r, Tcouleur c) {
  Toperation o = nouvelle(Toperation::oRemplit);
  o.rect = r;
  o.pinceau = Tpinceau{c, true};
  operations.push_back(std::move(o));
}

void TcanevasEnregistreur::colonnes(const Tcolonne* c, std::size_t n) {
  Toperation o = nouvelle(Toperation::oColonnes);
  o.colonnes.assign(c, c + n);
  operations.push_back(std::move(o));
}

std::vector<Toperation> TcanevasEnregistreur::de(Toperation::Genre g) const {
  std::vector<Toperation> r;
  for (const Toperation& o : operations)
    if (o.genre == g) r.push_back(o);
  return r;
}

std::vector<std::string> TcanevasEnregistreur::textes() const {
  std::vector<std::string> r;
  for (const Toperation& o : operations)
    if (o.genre == Toperation::oTexte) r.push_back(o.texte);
  return r;
}
