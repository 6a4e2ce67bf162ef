// Any typed text: lireNombre gives a number or the missing-value marker, and
// what it reads is written back and read again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/channels/numbers/nombres.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  fixeSeparateurDecimal((data[0] & 1) != 0 ? ',' : '.');
  const std::string_view texte(reinterpret_cast<const char*>(data) + 1, size - 1);
  const double v = lireNombre(texte);
  if (v != valeurAbsente) {
    if (lireNombre(formatGeneral(v, 17)) != v) std::abort();
    (void)formatNombre(v);
    (void)formatEchange(v);
    (void)formatDuree(v);
    (void)formatHMS(v);
    (void)arrondi125(v);
  }
  return 0;
}
