#include "core/shell/grec.h"

namespace {

// Indexed by letter - 'A'; 0 keeps the Latin letter.
constexpr char32_t majuscules[26] = {
    U'Α', U'Β', U'Χ', U'Δ', U'Ε', U'Φ', U'Γ', U'Η', U'Ι', U'Ψ', U'Κ', U'Λ', U'Μ',
    U'Ν', U'Ο', U'Π', U'Θ', U'Ρ', U'Σ', U'Τ', U'Υ', 0,    U'Ω', U'Ξ', 0,    U'Ζ'};
constexpr char32_t minuscules[26] = {
    U'α', U'β', U'χ', U'δ', U'ε', U'φ', U'γ', U'η', U'ι', U'ψ', U'κ', U'λ', U'μ',
    U'ν', U'ο', U'π', U'θ', U'ρ', U'σ', U'τ', U'υ', U'ς', U'ω', U'ξ', 0,    U'ζ'};

}  // namespace

char32_t lettreGrecque(char32_t c) {
  char32_t g = 0;
  if (c >= U'A' && c <= U'Z') g = majuscules[c - U'A'];
  else if (c >= U'a' && c <= U'z') g = minuscules[c - U'a'];
  return g != 0 ? g : c;
}

char32_t TFiltreGrec::filtreCaractere(char32_t code, bool controle) {
  if (code == ctrlG && controle) {
    GrecActif = true;
    return code;
  }
  if (!GrecActif) return code;
  GrecActif = false;
  return lettreGrecque(code);
}
