// Any typed duration: a number of seconds, written back without fault.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/channels/numbers/nombres.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  fixeSeparateurDecimal((data[0] & 1) != 0 ? ',' : '.');
  const std::string_view texte(reinterpret_cast<const char*>(data) + 1, size - 1);
  const double s = lireDuree(texte);
  (void)formatDuree(s);
  (void)formatHMS(s);
  (void)quotientTronque(s, 0.1);
  return 0;
}
