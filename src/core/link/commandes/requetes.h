#pragma once
// Queries of the command set that go beyond the link's fixed-size getters:
// the recognition answer, the single-byte polls and the filter result, and
// the typed measurement queries. Each returns zeros for the bytes that did
// not arrive in time (nothing at all while no interface is present).

#include <cstdint>

#include "core/link/commandes/commandes.h"
#include "core/link/liaison.h"

namespace commandes {

// Budgets in ticks of 55 ms.
inline constexpr int ticksReco = 6;
inline constexpr int ticksRecoPux = 8;
inline constexpr int octetsRecoPux = 12;
inline constexpr int ticksFiltre = 9;
inline constexpr int octetsFiltre = 10;
inline constexpr int ticksScrutation = 1;

// "WRECO": VYK II 6 bytes (codes and values of inputs 10, 11: indexG/H,
// valeurG/H); PUX II 12 bytes (index(i), valeur(i) for inputs 8..11).
pseudoWord lisReconnaissance(TLiaison& liaison);

// Fast poll of one input: the byte 64 + input, 2-byte signed code back.
std::int16_t lisEntreeRapide(TLiaison& liaison, int entree);

// Result of the filter measurement (byte 213, 10 bytes).
pseudoWord lisFiltre(TLiaison& liaison);

struct TresultatFiltre {
  std::int16_t codeEntree = 0;  // converted by the entry channel
  std::int16_t codeSortie = 0;  // converted by the exit channel
  bool valide = false;          // a period was measured
  double frequence = 0;         // Hz
  double phase = 0;             // degrees; valeurAbsente when there is none
};
TresultatFiltre resultatFiltre(const pseudoWord& reponse, double deltatFiltreUs);

// Code of an input ("WEA").
std::int16_t lisEA(TLiaison& liaison, int entree);
// Encoder position; 30000 is the origin.
std::uint16_t lisPosition(TLiaison& liaison);
// State of a binary input; 0 means low.
std::uint8_t lisBit(TLiaison& liaison, int entreeBinaire);
// Period counts; 0 means no signal.
std::uint32_t lisPeriode(TLiaison& liaison, int front);
std::uint32_t lisPeriodeAuto(TLiaison& liaison, int seuil);
std::uint32_t lisPeriodeAutoPux(TLiaison& liaison, int entree, int seuil);

// Sends a waveform table: the line, then its bytes raw.
void envoieTable(TLiaison& liaison, const TableOnde& table);

}  // namespace commandes
