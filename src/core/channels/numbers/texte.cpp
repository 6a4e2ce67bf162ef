#include "core/channels/numbers/texte.h"

#include <array>
#include <cstdint>

namespace {

constexpr char32_t remplacement = 0xFFFD;

// Code points of the Windows-1252 bytes 0x80..0x9F; 0 where the code page
// assigns nothing (the byte then stands for the C1 code of the same value).
constexpr std::array<char32_t, 32> cp1252Haut = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t caractere1252(unsigned char b) {
  if (b >= 0x80 && b <= 0x9F) {
    char32_t c = cp1252Haut[b - 0x80];
    return c != 0 ? c : char32_t(b);
  }
  return b;
}

// Byte for a code point, -1 when the code page lacks it.
int octet1252(char32_t c) {
  if (c < 0x100) return int(c);
  for (std::size_t i = 0; i < cp1252Haut.size(); ++i)
    if (cp1252Haut[i] == c) return int(0x80 + i);
  return -1;
}

unsigned char minuscule1252(unsigned char b) {
  if (b >= 'A' && b <= 'Z') return b + 32;
  if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return b + 32;
  switch (b) {
    case 0x8A: return 0x9A;  // Š
    case 0x8C: return 0x9C;  // Œ
    case 0x8E: return 0x9E;  // Ž
    case 0x9F: return 0xFF;  // Ÿ
    default: return b;
  }
}

}  // namespace

char32_t lisCaractere(std::string_view s, std::size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  int n;
  char32_t c;
  char32_t min;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    n = 1; c = b0 & 0x1F; min = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    n = 2; c = b0 & 0x0F; min = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    n = 3; c = b0 & 0x07; min = 0x10000;
  } else {
    ++i;
    return remplacement;
  }
  if (s.size() - i <= std::size_t(n)) {
    ++i;
    return remplacement;
  }
  for (int k = 1; k <= n; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return remplacement;
    }
    c = (c << 6) | (b & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++i;
    return remplacement;
  }
  i += n + 1;
  return c;
}

void ajouteCaractere(std::string& s, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = remplacement;
  if (c < 0x80) {
    s += char(c);
  } else if (c < 0x800) {
    s += char(0xC0 | (c >> 6));
    s += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    s += char(0xE0 | (c >> 12));
    s += char(0x80 | ((c >> 6) & 0x3F));
    s += char(0x80 | (c & 0x3F));
  } else {
    s += char(0xF0 | (c >> 18));
    s += char(0x80 | ((c >> 12) & 0x3F));
    s += char(0x80 | ((c >> 6) & 0x3F));
    s += char(0x80 | (c & 0x3F));
  }
}

std::u32string versUtf32(std::string_view s) {
  std::u32string r;
  r.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) r += lisCaractere(s, i);
  return r;
}

std::string versUtf8(std::u32string_view s) {
  std::string r;
  r.reserve(s.size());
  for (char32_t c : s) ajouteCaractere(r, c);
  return r;
}

std::string versUtf8(char32_t c) {
  std::string r;
  ajouteCaractere(r, c);
  return r;
}

std::size_t nbreCaracteres(std::string_view s) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < s.size(); ++n) lisCaractere(s, i);
  return n;
}

std::size_t octetDuCaractere(std::string_view s, std::size_t n) {
  std::size_t i = 0;
  for (std::size_t k = 0; k < n && i < s.size(); ++k) lisCaractere(s, i);
  return i;
}

std::string_view sousTexte(std::string_view s, std::size_t debut, std::size_t n) {
  const std::size_t a = octetDuCaractere(s, debut);
  const std::string_view reste = s.substr(a);
  return reste.substr(0, n == std::string_view::npos ? reste.size() : octetDuCaractere(reste, n));
}

std::string versWindows1252(std::string_view utf8) {
  std::string r;
  r.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const int b = octet1252(lisCaractere(utf8, i));
    r += b < 0 ? '?' : char(b);
  }
  return r;
}

std::string depuisWindows1252(std::string_view octets) {
  std::string r;
  r.reserve(octets.size());
  for (char b : octets) ajouteCaractere(r, caractere1252(static_cast<unsigned char>(b)));
  return r;
}

bool egauxSansCasse1252(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (minuscule1252(static_cast<unsigned char>(a[i])) !=
        minuscule1252(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}
