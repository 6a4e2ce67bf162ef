#include <gtest/gtest.h>

#include <string>

#include "core/shell/grec.h"

namespace {

// Types a string through the filter; '^' stands for Ctrl+G.
std::u32string tape(TFiltreGrec& f, const std::u32string& touches) {
  std::u32string sortie;
  for (char32_t c : touches) {
    const bool ctrl = c == U'^';
    const char32_t r = f.filtreCaractere(ctrl ? TFiltreGrec::ctrlG : c, ctrl);
    if (r != TFiltreGrec::ctrlG) sortie += r;
  }
  return sortie;
}

TEST(Grec, TableCompleteDesLettres) {
  const std::u32string latin = U"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  const std::u32string grec = U"ΑΒΧΔΕΦΓΗΙΨΚΛΜΝΟΠΘΡΣΤΥVΩΞYΖαβχδεφγηιψκλμνοπθρστυςωξyζ";
  ASSERT_EQ(latin.size(), grec.size());
  for (size_t i = 0; i < latin.size(); ++i)
    EXPECT_EQ(lettreGrecque(latin[i]), grec[i]) << "letter index " << i;
  for (char32_t c : std::u32string(U"019 .,@[`{é\x7f")) EXPECT_EQ(lettreGrecque(c), c);
}

TEST(Grec, CtrlGPuisLettre) {
  TFiltreGrec f;
  EXPECT_EQ(tape(f, U"^q"), U"θ");
  EXPECT_FALSE(f.GrecActif);
  // Only the letter right after Ctrl+G changes.
  EXPECT_EQ(tape(f, U"a^Wb"), U"aΩb");
}

TEST(Grec, UnChiffreAnnuleLeModeGrec) {
  TFiltreGrec f;
  EXPECT_EQ(tape(f, U"^1q"), U"1q");
  EXPECT_FALSE(f.GrecActif);
}

TEST(Grec, CtrlGEstTransmisEtArmeLeMode) {
  TFiltreGrec f;
  EXPECT_EQ(f.filtreCaractere(TFiltreGrec::ctrlG, true), TFiltreGrec::ctrlG);
  EXPECT_TRUE(f.GrecActif);
  // Ctrl+G twice keeps the mode armed for the next letter.
  EXPECT_EQ(tape(f, U"^m"), U"μ");
  // Code 7 without Control (not typed by the user) does not arm it.
  EXPECT_EQ(f.filtreCaractere(TFiltreGrec::ctrlG, false), TFiltreGrec::ctrlG);
  EXPECT_FALSE(f.GrecActif);
}

}  // namespace
