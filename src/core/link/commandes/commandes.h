#pragma once
// Command lines of the interface, each built by a small pure function that
// returns the exact text: the keyword, then each argument after exactly one
// blank, numbers in decimal without sign or leading zeros, single-character
// arguments as that character, nothing after the last argument. The carriage
// return is added by the link when the line is sent.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace commandes {

// Longest line the link sends.
inline constexpr std::size_t longueurMaxOrdre = 255;

// One argument: a number (written in decimal; a negative value, which the
// format cannot carry, is written as 0) or a single character.
struct Argument {
  enum class Genre { nombre, caractere } genre;
  long long nombre = 0;
  char caractere = ' ';
  Argument(int n) : genre(Genre::nombre), nombre(n) {}                // NOLINT
  Argument(long n) : genre(Genre::nombre), nombre(n) {}               // NOLINT
  Argument(long long n) : genre(Genre::nombre), nombre(n) {}          // NOLINT
  Argument(unsigned n) : genre(Genre::nombre), nombre(n) {}           // NOLINT
  Argument(unsigned long n) : genre(Genre::nombre), nombre((long long)n) {}       // NOLINT
  Argument(unsigned long long n) : genre(Genre::nombre), nombre((long long)n) {}  // NOLINT
  Argument(char c) : genre(Genre::caractere), caractere(c) {}         // NOLINT
};

// The keyword followed by its arguments; cut to longueurMaxOrdre.
std::string ordre(std::string_view motCle, std::initializer_list<Argument> arguments = {});
std::string ordre(std::string_view motCle, const std::vector<Argument>& arguments);

// "D" for a falling edge or threshold, "M" for a rising one.
inline char direction(bool montant) { return montant ? 'M' : 'D'; }

// --- fixed lines --------------------------------------------------------------
inline constexpr const char* WVERSION = "WVERSION";
inline constexpr const char* WRESET = "WRESET";
inline constexpr const char* WBIN = "WBIN";
inline constexpr const char* WROM = "WROM";
inline constexpr const char* WPE_ARRET = "WPE";  // stops a running sweep
inline constexpr const char* WSODAR = "WSODAR";
inline constexpr const char* WCIRESUL = "WCIRESUL";
inline constexpr const char* WSDEF = "WSDEF";
inline constexpr const char* WSCODINC = "WSCODINC";
inline constexpr const char* WPOSITION_ARRET = "WPOSITION";
inline constexpr const char* WRPOSITION = "WRPOSITION";
inline constexpr const char* WLPOSITION = "WLPOSITION";
inline constexpr const char* WRECO = "WRECO";
inline constexpr const char* WPER_ARRET = "WPER 4";
inline constexpr const char* WAUTO_ARRET = "WAUTO 0";
inline constexpr const char* WAUTO_ARRET_PUX = "WAUTO 12";
inline constexpr const char* WSYNTH_ARRET = "WSYNTH 2";
inline constexpr const char* WPWM_ARRET = "WPWM";
inline constexpr const char* WPWM_SODAR = "WPWM 0 25 50 3";

// --- link ---------------------------------------------------------------------
// Speed index 0..3 (clamped).
std::string WBAUDS(int index);

// --- sweep programming and launch --------------------------------------------
// Time sweep: points kept after the trigger, base period (µs), multiplier,
// then one input per active analog input in slot order (1..5 of them).
std::string WPE(long pointsApres, long baseUs, long multiplicateur, std::span<const int> entrees);
// Two-point capture of the edge-triggered point mode.
std::string WPEPoincare(std::span<const int> entrees);
// The filter-measurement sweep.
std::string WPEFiltre(long deltatFiltreUs, int entreeFiltre, int sortieFiltre);

// Streamed ("WGOFR") or not ("WGOF") start on an edge of edge input `front`.
std::string WGOF(char front, bool flux);
std::string WFPREAC(long pointsAvant, char front);

// Threshold start. VYK II: s, direction, and the mode digit '0'+mode only when
// the firmware allows single-shot threshold triggering.
std::string WGOA(int seuil, bool montant, bool monocoupPermis, int modeSeuil, bool flux);
// PUX II: trigger input first, never a mode digit.
std::string WGOApux(int entreeSynchro, int seuil, bool montant, bool flux);
// Threshold start keeping k points before the crossing (streamed only).
std::string WAPREAC(long pointsAvant, int seuil, bool montant);
std::string WAPREACpux(long pointsAvant, int entreeSynchro, int seuil, bool montant);

// Immediate start, streamed ("WGOR") or not ("WGO").
std::string WGO(bool flux);
// 1 MHz mode: threshold code, direction, 1 or 2 inputs, block count, FreqMega.
std::string WMEGA(int seuil, bool montant, int nbreEntrees, long nbreBlocMega, int freqMega);
// Stored results from index 0, nbreValeurs = sweep points × inputs.
std::string WRESUL(long nbreValeurs);

// --- trigger and event set-up ------------------------------------------------
std::string WCONFEF(char front, bool montant);
// Nerve-stimulation launch on output '0'/'1' with the stimulation level code
// and the pulses; base32 adds "1" (the 32 µs time base).
std::string WGENEACQUI(char sortie, int niveau, long nbrePulse, long largeurPulse,
                       long distancePulse, long debutPulse, bool base32);
// Ultrasound: "WBRULON" (time and 1 MHz modes) or "WSON" (the others).
std::string WBRULON(int frontEcho, int sortieEmetteur, bool modeTemps);
std::string WDEF(int front);
std::string WCODINC(int front, int entreeBinaire);
std::string WPOSITION(int front, int entreeBinaire);
std::string WPER(int front);
// Frequency measurement on input 11 (VYK II) at level s.
std::string WAUTO(int seuil);
// PUX II: input first.
std::string WAUTOpux(int entree, int seuil);

// --- measurement queries ----------------------------------------------------------
std::string WEA(int entree);
std::string WEBIT(int entreeBinaire);
// The single byte that polls input n (64 + n, "J" for input 10).
std::uint8_t octetScrutation(int entree);
// The single-byte filter-result query.
inline constexpr std::uint8_t octetFiltre = 213;

// --- outputs --------------------------------------------------------------------
// Output '0'/'1', code clamped to 0..255.
std::string WDAC(char sortie, int code);
// A waveform table: the line, then exactly n raw bytes.
struct TableOnde {
  std::string ligne;
  std::vector<std::uint8_t> octets;
};
// Samples clamped to 0..255; doubles rounded to the nearest, halves to
// even, NaN sent as 0.
TableOnde WTELE(std::span<const int> echantillons);
TableOnde WTELE(std::span<const double> echantillons);
// Plays the loaded table on output '0'/'1' with period (or period code) t.
std::string WSYNTH(char sortie, long periode);
std::string WSBIT(int sortieBinaire);
std::string WRBIT(int sortieBinaire);
std::string WPWM(char sortiePWM, long codeDuty, long periode, int horloge);
// "WPWM o 0" (the PWM dialog's stop of one output).
std::string WPWMarret(char sortiePWM);

// External function generator KB 71-2.
enum class GammeKB : int { mHz50_Hz5 = 17, Hz5_Hz500 = 19, Hz500_kHz50 = 18 };
enum class FormeKB : int { triangle = 4, sinus = 12, carre = 8 };
std::string WSBLOC(GammeKB gamme, FormeKB forme);

// --- sensor potentiometers -------------------------------------------------------
// Socket character c, potentiometer 0..4, position 0..1023 (clamped).
std::string WEPOTAR(char prise, int potar, int position);
std::string WMPOTAR(char prise, int potar);
std::string WRPOTAR(char prise);

// --- launch of a time sweep ------------------------------------------------------
struct TseuilSynchro {
  bool pux = false;
  int entreeSynchro = 0;  // PUX II only: input of the trigger channel
  int seuil = 128;
  bool montant = true;
  bool monocoupPermis = false;  // VYK II firmware allows the mode digit
  int modeSeuil = 0;
};
// Streamed and non-streamed threshold launches; with pre-trigger points the
// non-streamed form does not exist and `lance` is empty.
struct TlancementSeuil {
  std::string lanceR;
  std::string lance;
};
TlancementSeuil lancementSeuil(const TseuilSynchro& s, long pointsAvant);

}  // namespace commandes
