#pragma once
// Trigger modes of a time sweep; the ordinal is what configuration files
// store ("Synchro"/"Mode").

#include <cstdint>

enum TModeSynchro : std::uint8_t {
  S_front,
  S_seuil,
  S_relaxe,
  S_clavier,
  S_nerf,
  s_bouge,
  s_brulon,
  s_sodar
};
