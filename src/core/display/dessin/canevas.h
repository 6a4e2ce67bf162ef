#pragma once
// The drawing surface the graph is drawn on: screen, bitmap or printer
// behind one small interface, so that the drawing itself stays plain code.
// Coordinates are device pixels, y growing downwards.

#include <cstddef>
#include <cstdint>
#include <string>

// 0x00BBGGRR, as the channel colours.
using Tcouleur = std::int32_t;
inline constexpr Tcouleur clNoir = 0x000000;
inline constexpr Tcouleur clBlanc = 0xFFFFFF;
inline constexpr Tcouleur clRouge = 0x0000FF;
inline constexpr Tcouleur clBleu = 0xFF0000;

inline constexpr int rougeDe(Tcouleur c) { return c & 0xFF; }
inline constexpr int vertDe(Tcouleur c) { return (c >> 8) & 0xFF; }
inline constexpr int bleuDe(Tcouleur c) { return (c >> 16) & 0xFF; }
inline constexpr Tcouleur RGB(int r, int g, int b) { return Tcouleur(r | (g << 8) | (b << 16)); }

// Colour faded for age k: ((k mod 4) + 1) x 64 added to each component,
// capped at 255.
Tcouleur Lighten(Tcouleur c, int k);

enum TstylePlume : std::uint8_t { psSolid, psDash, psDot, psDashDot, psClear };
// pmNotXor: the destination becomes not(pen xor destination), so drawing
// the same thing twice restores what was under it.
enum TmodePlume : std::uint8_t { pmCopy, pmNotXor };

struct Tplume {
  Tcouleur couleur = clNoir;
  int largeur = 1;  // 0 draws as 1
  TstylePlume style = psSolid;
  TmodePlume mode = pmCopy;
  bool operator==(const Tplume&) const = default;
};

struct Tpinceau {
  Tcouleur couleur = clBlanc;
  bool plein = false;  // false: shapes are not filled
  bool operator==(const Tpinceau&) const = default;
};

struct Tfonte {
  std::string nom = "Calibri";
  int taille = 8;  // points
  Tcouleur couleur = clNoir;
  bool operator==(const Tfonte&) const = default;
};

struct Tpoint {
  int x = 0;
  int y = 0;
  bool operator==(const Tpoint&) const = default;
};

// Right and Bottom are exclusive, as for the shapes below.
struct Trect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int largeur() const { return Right - Left; }
  int hauteur() const { return Bottom - Top; }
  bool operator==(const Trect&) const = default;
};

// A vertical run of pixels x, haut..bas (haut <= bas), both ends drawn.
struct Tcolonne {
  int x = 0;
  int haut = 0;
  int bas = 0;
  bool operator==(const Tcolonne&) const = default;
};

class ICanevas {
 public:
  virtual ~ICanevas() = default;

  virtual void setPlume(const Tplume& p) = 0;
  virtual void setPinceau(const Tpinceau& p) = 0;
  virtual void setFonte(const Tfonte& f) = 0;
  virtual int pixelsParPouce() const = 0;
  // Extent of a text in the current font.
  virtual int largeurTexte(const std::string& texte) = 0;
  virtual int hauteurTexte(const std::string& texte) = 0;

  // Both end points drawn.
  virtual void ligne(int x1, int y1, int x2, int y2) = 0;
  virtual void polyligne(const Tpoint* points, std::size_t n) = 0;
  // Outline with the pen, inside with the brush when it is plein; covers
  // Left..Right-1, Top..Bottom-1.
  virtual void rectangle(const Trect& r) = 0;
  // The ellipse inscribed in r, same conventions.
  virtual void ellipse(const Trect& r) = 0;
  // Text whose top-left corner is (x, y), background left untouched.
  virtual void texte(int x, int y, const std::string& texte) = 0;
  // r filled with a colour, whatever the pen and brush.
  virtual void remplit(const Trect& r, Tcouleur c) = 0;
  // Vertical runs in the pen's colour, for a solid pen 1 pixel wide in
  // copy mode (what a dense curve reduces to); a surface that can write
  // pixels directly does it faster than one line each.
  virtual void colonnes(const Tcolonne* c, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) ligne(c[i].x, c[i].haut, c[i].x, c[i].bas);
  }
};
