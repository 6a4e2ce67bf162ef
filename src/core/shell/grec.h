#pragma once
// Greek letters typed from the Latin keyboard: Ctrl+G, then a letter.

// The Greek letter that replaces a Latin letter typed after Ctrl+G, or the
// character itself when it is not a letter "A".."Z"/"a".."z".
// "Y"/"y" have no Greek counterpart and stay; "v" gives the final sigma "ς",
// "V" (no upper-case final sigma exists) stays.
char32_t lettreGrecque(char32_t c);

// The application-wide keyboard filter: one character message in, the
// character to deliver out.
class TFiltreGrec {
 public:
  static constexpr char32_t ctrlG = 7;

  // `controle`: the Control key is down. Ctrl+G arms the Greek mode and is
  // passed on unchanged; any other character disarms it and is replaced
  // when it is a letter.
  char32_t filtreCaractere(char32_t code, bool controle);

  bool GrecActif = false;
};
