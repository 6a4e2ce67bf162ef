// Any typed expression: a value, or EGetFloatError with one of its messages.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "core/channels/numbers/nombres.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  fixeSeparateurDecimal((data[0] & 1) != 0 ? ',' : '.');
  const std::string_view texte(reinterpret_cast<const char*>(data) + 1, size - 1);
  try {
    (void)evalueNombre(texte);
  } catch (const EGetFloatError& e) {
    bool connu = false;
    for (const char* m : {msgErreurNombre, msgIdentificateurTropLong, msgTropComplexe,
                          msgErreurParentheseOuvrante, msgErreurParentheseFermante,
                          msgErreurInterne, msgDivisionParZero, msgDepassementCapacite})
      connu = connu || std::strcmp(e.what(), m) == 0;
    if (!connu) std::abort();
  }
  return 0;
}
