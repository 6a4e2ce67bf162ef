#pragma once
// The command lines that program and start a time sweep, by trigger mode.
// Pure functions of the settings: the caller gathers the settings of the
// acquisition set, the analog output and the ultrasound channel.

#include <span>
#include <string>

#include "core/acquisition/base_temps/synchro.h"

// Pulses of the nerve-stimulation launch (fields of the analog output).
struct TstimulationNerf {
  char sortie = '0';  // SAi
  int niveau = 255;   // FinSortie: level of the pulses
  long nbrePulse = 2;
  long largeurPulse = 2;
  long distancePulse = 10;
  long debutPulse = 2;
  bool base32Micro = false;
};

struct TparametresLancement {
  TModeSynchro mode = S_clavier;
  char front = '1';  // FrontSynchro, edge input digit
  bool montant = true;
  int seuil = 128;  // seuilSynchro
  int modeSeuil = 0;  // modeSeuilSynchroVYK2
  bool pux = false;
  int entreeSynchro = 11;  // numeroSynchro
  bool monocoupPermis = false;  // firmware allows single-shot threshold triggering
  long pointsAvant = 0;  // comptePreAcq
  // Ultrasound channel: edge input of the echo and binary output of the emitter.
  int frontEcho = 0;
  int sortieEmetteur = 8;
  TstimulationNerf nerf;
  // Sweep size, for the stored-results request that follows a nerve launch.
  long nbreInter = 0;
  int nbreVoie = 1;
};

struct TordresLancement {
  std::string lanceR;  // streamed launch (ordreLanceR)
  std::string lance;   // not streamed (ordreLance); empty when none exists
  // Sent 10 ms after lanceR in S_nerf ("WRESUL 0 N"), empty otherwise.
  std::string resultats;
};

// The launch lines of a time sweep for the trigger mode.
TordresLancement ordresLancement(const TparametresLancement& p);

// Base period (µs, a multiple of 10) and multiplier of "WPE".
struct TperiodeBalayage {
  long baseUs = 10;
  long multiplicateur = 1;
  // Interval the interface produces, in seconds.
  double deltat() const;
};
// Base period limit in units of 10 µs: 3200 on the VYK II, 1300 on the PUX II.
long limiteBase(bool pux);
// The period arguments for a sampling interval: a base of whole 10 µs up to
// the interface's limit, otherwise a 1 ms base and a multiplier 1..65535.
TperiodeBalayage periodeBalayage(double deltat, bool pux);

// The programming line: inputs, points after the trigger, period, inputs.
std::string ordreProgramme(long nbreInter, long pointsAvant, const TperiodeBalayage& periode,
                           std::span<const int> entrees);
