#pragma once
// Shared pieces of the channel model tests: a view that records messages,
// and a fixture that gives each test a clean process-wide state.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/channels/model/voie.h"
#include "core/channels/numbers/nombres.h"

class VueEnregistreuse : public IVueVoies {
 public:
  void afficheMessage(const std::string& message) override { messages.push_back(message); }
  std::vector<std::string> messages;
};

class ModeleVoies : public ::testing::Test {
 protected:
  void SetUp() override {
    separateur_ = separateurDecimal();
    fixeSeparateurDecimal('.');
    fixeVueVoies(&vue);
    contexteVoies() = TcontexteVoies{};
  }
  void TearDown() override {
    fixeVueVoies(nullptr);
    contexteVoies() = TcontexteVoies{};
    fixeSeparateurDecimal(separateur_);
  }
  VueEnregistreuse vue;

 private:
  char separateur_ = '.';
};
