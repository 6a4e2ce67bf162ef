// Test bench of the link: TLiaison on the simulated interface in simulated
// time, with a window that records what it is told.
#pragma once

#include <string>
#include <vector>

#include "core/link/liaison.h"
#include "vue_enregistreuse.h"
#include "sim/emulator/emulateur.h"
#include "sim/transport/horloge_simulee.h"
#include "sim/transport/port_emule.h"

struct BancLiaison {
  sim::HorlogeSimulee horloge;
  sim::PortEmule port{horloge};
  VueEnregistreuse vue;
  TLiaison liaison{port, horloge, vue};
  sim::Emulateur emulateur;
  std::vector<std::string> commandes;  // lines the interface received

  explicit BancLiaison(sim::ConfigEmulateur config = {}) : emulateur(std::move(config)) {
    emulateur.setJournal([this](double, const std::string& l) { commandes.push_back(l); });
  }
};
