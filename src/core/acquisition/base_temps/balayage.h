#pragma once
// The "Balayage" settings of the main window without their widgets: the
// interval normalisation, the sweep programming line and launch commands,
// the values the edits show, and what each edit and spin button does.

#include <cstdint>
#include <functional>
#include <string>

#include "core/acquisition/base_temps/base_temps.h"
#include "core/acquisition/base_temps/lancement.h"

// What the "Balayage" group shows after afficheBase.
struct TaffichageBase {
  std::string periode;    // "T échant."
  std::string frequence;  // "F échant."
  std::string nombre;     // "N points"
  std::string duree;      // both "Durée" edits
  std::int32_t maxProgression = 0;
  bool repereVisible = false;  // "Repère" only for sweeps longer than 10 s
};

// Trigger and stimulation settings read when the launch is prepared
// (implemented by the acquisition set).
class IsourceLancement {
 public:
  virtual ~IsourceLancement() = default;
  // Everything but the firmware permission, the pre-trigger count and the
  // sweep size, which the sweep settings add.
  virtual TparametresLancement parametresLancement() const = 0;
};

class TreglageBalayage {
 public:
  TreglageBalayage(IensembleBalayage& ensemble, TbaseDeTemps& base,
                   const IsourceLancement& source);

  // Interface in use and firmware permission (Part of the link state).
  bool PuxActif = false;
  bool SynchroMonocoupPermis = false;

  // Stops a running computed waveform of the analog output before a new
  // interval is taken (installed by the output's owner; may be empty).
  std::function<void()> arreteCalculSortie;

  // Prepared lines, sent by the acquisition control.
  std::string OrdreProgramme;
  std::string ordreLanceR;
  std::string ordreLance;
  std::string ordreResultats;  // "WRESUL" after a nerve-stimulation launch

  // genre 0: configuration loaded, 1: interval changed, 2: point count
  // changed, 4: channel settings changed.
  void ajusteBase(int genre);
  // Period arguments, "WPE" line, launch lines; duration := points * interval.
  void programmeBalayage();
  // Applies the mode's rules, rebuilds the time column and gives the texts.
  TaffichageBase afficheBase();

  // --- edits and spin buttons; false when the text cannot be read (the
  // edit then shows the current value again) ---
  bool editeDuree(const std::string& texte, bool groupeCardiaque = false);
  void spinDuree(bool haut);
  bool editeNombre(const std::string& texte);
  void spinNombre(bool haut);
  bool editePeriode(const std::string& texte);
  bool editeFrequence(const std::string& texte);
  // "T échant." up / "F échant." down (longer interval) when allonge.
  void spinPeriode(bool allonge);

  // Values of a loaded configuration ("Balayage"/"Durée" and "Nombre"):
  // duration, then count, then the interval they give, normalised.
  void appliqueConfiguration(double duree, std::int32_t nombre);

  // --- mode steps ---
  void dureeChangee();
  void nombreChange();
  void intervalleChange();

  // The last texts given by afficheBase.
  const TaffichageBase& affichage() const { return Faffichage; }

 private:
  IensembleBalayage& Fensemble;
  TbaseDeTemps& Fbase;
  const IsourceLancement& Fsource;
  TaffichageBase Faffichage;
};

// Key filters of the edits: the character to keep (',' and '.' become the
// user's decimal separator, Enter and Backspace pass), or 0 to discard it.
char32_t filtreToucheDuree(char32_t c, bool editPeriode);
char32_t filtreToucheFrequence(char32_t c);
char32_t filtreToucheNombre(char32_t c);

// A frequency as typed in "F échant." ("2k", "500 Hz"); valeurAbsente when
// unreadable.
double lireFrequence(const std::string& texte);
