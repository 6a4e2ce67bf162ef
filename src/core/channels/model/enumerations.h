#pragma once
// Enumerations of the channel and sensor model, and the acquisition mode and
// state that sensors and status texts refer to. Stored as one byte.

#include <cstdint>
#include <string>

// Bits of the set of optional channels.
enum TvoieUtile : std::uint8_t { vCalculee, vCodeur, vRelais, vSortiePWM, vKB712, vGBF };

// Point marker of a curve.
enum Tmotif : std::uint8_t {
  mCroix,
  mCroixDiag,
  mCercle,
  mCarre,
  mLosange,
  mCerclePlein,
  mCarrePlein
};
inline constexpr int nbreMotifs = 7;

enum Tconstructeur : std::uint8_t { cDin, cDB15, cPelmara, cTondik, cCorvan, cAutre };

enum TGenreCapteur : std::uint8_t {
  gNone,
  gEntree,
  gSortie,
  gPhase,
  gChromavel,
  gGlowmetra,
  gGlowmetraDB15
};

// What kind of recording; the ordinal is what files store.
enum TModeAcq : std::uint8_t {
  AcqClavier,
  AcqTemps,
  AcqPoint,
  AcqPivane,
  AcqSortieAna,
  AcqUnMega,
  AcqCardiaque,
  AcqFiltre
};

// Where the current recording stands.
enum TetatAcq : std::uint8_t { eaAttenteSynchro, eaAttenteResul, eaMajResul, eaTerminee };

// Text of status panel 0 for a state ("" for eaMajResul and unknown values).
std::string texteEtatAcq(TetatAcq etat);
