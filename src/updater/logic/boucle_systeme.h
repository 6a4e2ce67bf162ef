// Real time without a window: nothing else has to run during the waits.
#pragma once

#include <chrono>

#include "updater/logic/majvyk2.h"

namespace majvyk2 {

class BoucleSysteme final : public Boucle {
public:
  std::int64_t maintenantMs() override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  void laisserPasser() override {}
};

}  // namespace majvyk2
