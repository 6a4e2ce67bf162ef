// Unit names as users type them: reading never fails, and every writing
// routine copes with whatever the name gave.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/channels/numbers/nombres.h"
#include "core/channels/units/unite.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string nomU(reinterpret_cast<const char*>(data), size);
  Tunite u;
  u.setNomUnite(nomU);
  if (u.nomUnite() != nomU) std::abort();
  u.nom = nomU;

  fixeSeparateurDecimal(size % 2 ? ',' : '.');
  for (int p : {-128, -30, -27, -18, -9, -6, -3, -2, -1, 0, 1, 2, 3, 6, 9, 27, 127})
    (void)u.NomAff(p);
  for (double v : {0.0, 1e-13, 0.0125, -1234.0, 999.5, 2e13, valeurAbsente, 1e300})
    (void)u.formatUnite(v);
  (void)u.formatUniteDouble(-0.5, 0.5);
  (void)u.formatUniteDouble(0, 0);
  (void)u.NomAxe(1e-3);
  (void)u.NomAxe(0);
  (void)u.NomValeurUnite(42);
  for (int e : {-10, -3, 0, 4}) {
    u.setExposant(1234.5, e);
    (void)u.FormatUniteExp(-12.3456, true);
    (void)u.FormatUniteExp(0.5, false);
  }
  (void)appliquePrefixe(nomU, static_cast<long long>(size % 41) - 20);
  (void)nomPuissanceDix(nomU, -7);

  // The algebra either succeeds or raises its own error.
  Tunite v(u);
  for (int n : {2, -3, 9}) {
    try {
      puissanceUnite(v, n);
      multiplieUnite(v, u);
      inverseUnite(v);
    } catch (const EUniteError&) {
    }
  }
  return 0;
}
