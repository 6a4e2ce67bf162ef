// Resident memory of the set: a full 60000-point sweep, then fifteen pages
// kept for the faded drawing. Prints what it measures.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "core/display/graphe/graphe.h"

namespace {

// VmRSS of this process, in kB (0 when /proc is not readable).
long residentKo() {
  std::ifstream f("/proc/self/status");
  std::string ligne;
  while (std::getline(f, ligne))
    if (ligne.rfind("VmRSS:", 0) == 0) return std::stol(ligne.substr(6));
  return 0;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool sousSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool sousSanitizer = true;
#else
constexpr bool sousSanitizer = false;
#endif
#else
constexpr bool sousSanitizer = false;
#endif

TEST(Memoire, BalayageCompletEtQuinzePages) {
  // The sanitizer's allocator and shadow memory make resident sizes meaningless.
  if (sousSanitizer) GTEST_SKIP() << "resident memory is not measured under AddressSanitizer";
  const long depart = residentKo();
  if (depart == 0) GTEST_SKIP() << "/proc/self/status illisible";
  TgrapheVYK g;
  const long cree = residentKo();

  // One input over 60000 points, as the decoders and the conversion leave it.
  g.voie(7)->active = false;
  g.fixeNbreInter(60000);
  ASSERT_EQ(g.NbreInter(), 60000);
  g.baseDeTemps->remplitTemps();
  for (int i = 0; i < 60000; ++i) g.voie(6)->vecteurCourant[std::size_t(i)] = std::int16_t(i % 3000);
  g.NbreCourant = 60000;
  g.CourantVersAff();
  const long balayage = residentKo();

  g.remanence = true;
  for (int k = 0; k < 15; ++k) g.SauvePage();
  const long pages = residentKo();

  std::printf("VmRSS: %ld kB at start, %ld kB with the set, %ld kB after a 60000-point sweep, "
              "%ld kB with 15 pages\n",
              depart, cree, balayage, pages);
  // Time and one input: 2 x 480 kB of values, 120 kB of codes. Pages hold
  // the time and the shown input only, never the twelve slots.
  const long vecteur = long(tailleVecteur * sizeof(double) / 1024);
  EXPECT_LT(cree - depart, 2 * vecteur);
  EXPECT_LT(balayage - cree, 4 * vecteur);
  EXPECT_LT(pages - balayage, 15 * 3 * vecteur);
  EXPECT_GT(pages - balayage, 15 * 2 * vecteur * 9 / 10);

  g.effaceAcquisition();
  EXPECT_FALSE(g.voie(6)->oldVecteur[5].alloue());
}

}  // namespace
