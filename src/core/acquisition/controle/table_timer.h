#pragma once
// What one tick of the acquisition timer does, by mode and state, and the
// timer period of each mode.

#include <array>

#include "core/acquisition/base_temps/synchro.h"
#include "core/channels/model/enumerations.h"

enum class TactionTick {
  rien,
  mesure,              // mesureCourante
  mesureSiUtilisateur, // mesureCourante in the user-started trigger modes only
  progression,         // sweep progress of a time sweep
  progressionMega,     // 1 MHz progress
  fin,                 // finBalayage
  point,               // point-mode tick (unless "sur Front" while "Stop" shows)
  pivaneProgression,
  pivaneFin,
  sortieAnaPas,        // next analog-output step
  cardiaque,           // cardiac tick
  filtre               // filter tick
};

// Columns: eaAttenteSynchro, eaAttenteResul, eaMajResul, eaTerminee.
using TligneTimer = std::array<TactionTick, 4>;
const TligneTimer& ligneTimer(TModeAcq mode);
TactionTick actionTick(TModeAcq mode, TetatAcq etat);

// Trigger modes in which the user (or software) starts the sweep.
inline bool synchroUtilisateur(TModeSynchro m) {
  return m == S_clavier || m == S_nerf || m == s_sodar;
}

// Timer period of a mode in ms. frequenceLente: the frequency channel is
// active with a scale minimum below 10 Hz; periodeSortieAna: the analog
// output's step period.
int periodeTimerMs(TModeAcq mode, bool frequenceLente, int periodeSortieAna);
inline constexpr int periodeBrulonAttente = 5000;
inline constexpr int periodeBrulonRecu = 250;
