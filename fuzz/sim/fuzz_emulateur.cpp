// Arbitrary bytes from the computer, cut into arbitrary writes at arbitrary
// times: the emulator must neither crash nor answer out of time order.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "sim/emulator/emulateur.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  sim::ConfigEmulateur config;
  config.debitReel = (data[0] & 1) != 0;
  sim::Emulateur e(config);
  e.pannes().charabia = (data[0] & 2) != 0;
  e.pannes().retardMs = (data[0] & 4) ? 100 : 0;
  std::size_t lignes = 0;
  e.setJournal([&](double, const std::string&) { ++lignes; });
  double t = 0;
  std::size_t i = 1;
  while (i < size) {
    // One control byte: length of the next write (1..32) and time step.
    const std::uint8_t c = data[i++];
    const std::size_t n = std::min<std::size_t>((c & 31u) + 1u, size - i);
    e.recoit(data + i, n, t);
    i += n;
    t += (c >> 5) * 20.0;
    const double prochain = e.prochaineEmission();
    std::uint8_t buf[64];
    const std::size_t lus = e.emet(buf, sizeof buf, t);
    if (lus > sizeof buf) std::abort();
    if (lus > 0 && prochain > t) std::abort();
    if ((c & 0xE0) == 0xE0) {
      e.debrancher();
      e.rebrancher();
    }
  }
  // Everything pending comes out in the end.
  std::uint8_t buf[256];
  // (a programmed sweep may hold 5 x 65535 values, each at its own instant)
  for (long k = 0; k < 1000000 && std::isfinite(e.prochaineEmission()); ++k) {
    e.emet(buf, sizeof buf, e.prochaineEmission());
  }
  if (std::isfinite(e.prochaineEmission())) std::abort();
  return 0;
}
