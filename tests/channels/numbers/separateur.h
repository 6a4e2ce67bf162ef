#pragma once
// Runs a test under a given decimal separator and puts the previous one back.

#include <gtest/gtest.h>

#include <string>

#include "core/channels/numbers/nombres.h"

class AvecSeparateur : public ::testing::TestWithParam<char> {
 protected:
  void SetUp() override {
    Fancien = separateurDecimal();
    fixeSeparateurDecimal(GetParam());
  }
  void TearDown() override { fixeSeparateurDecimal(Fancien); }

  // Text written with "." turned into the separator under test.
  static std::string sep(std::string s) {
    for (char& c : s)
      if (c == '.') c = GetParam();
    return s;
  }

 private:
  char Fancien = '.';
};

inline std::string nomSeparateur(const ::testing::TestParamInfo<char>& info) {
  return info.param == ',' ? "virgule" : "point";
}

#define VYK2_SOUS_LES_DEUX_SEPARATEURS(Suite) \
  INSTANTIATE_TEST_SUITE_P(Separateurs, Suite, ::testing::Values('.', ','), nomSeparateur)
