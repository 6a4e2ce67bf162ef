#pragma once
// The main window's own logic: start-up, first activation, the application
// hooks, the commands of the shell and closing. The Qt window renders it.
#include <functional>
#include <string>

#include "core/link/liaison.h"
#include "core/shell/grec.h"
#include "core/shell/reglages.h"
#include "core/shell/vue_fenetre.h"

class TLogiqueFenetre {
 public:
  TLogiqueFenetre(IVueFenetre& vue, TLiaison& liaison);

  // --- process-wide, set before FormCreate ---
  std::string repertoireDonnees;  // ends with '/'
  std::string repertoireConfig;   // ends with '/'
  std::string cheminProgramme;    // the program file itself
  // The configuration file named on the command line (may be empty).
  std::string fichierLigneCommande;

  // --- fields ---
  bool premiereFois = true;
  bool PremierTest = true;
  bool FichierCHM = false;
  bool isXP = false;
  bool ReactiverVYK = false;
  TFiltreGrec filtreGrec;  // holds GrecActif
  std::string CfgVYKPath;
  std::string nomFichierConfig;
  bool Sauvegarde = true;
  int NbreHarmoniqueAff = 64;
  int NbreFreqAff = 1024;
  int NbreMoyCardiaque = 30;
  bool SauverConfig = false;
  std::string repertoireTavelmor;  // the companion program's folder

  // --- what later subsystems plug in (empty: nothing to do yet) ---
  // Reads a configuration file; false when missing or unreadable.
  std::function<bool(const std::string& nom)> LitConfig;
  // Applies every setting to the window and arms the acquisition.
  std::function<void()> AfficheReglage;
  // Closing: analog output, cardiac recording, running sweep.
  std::function<void()> arreteSortieAnalogique;
  std::function<void()> arreteCardiaque;
  std::function<void()> arreteAcquisitionEnCours;
  // Registers the file association of configuration files.
  std::function<void()> enregistreAssociation;
  // Full-screen graph and voltmeter, and the acquisition key.
  std::function<void()> basculeGraphePleinEcran;
  std::function<void()> basculeVoltmetrePleinEcran;
  std::function<bool()> toucheAcquisition;  // true when the key was used
  // Suspends and resumes the timers and any running sweep around a dialog.
  // Until the acquisition brings its own, the acquisition timer is paused.
  std::function<void()> debutLecture;
  std::function<void()> finLecture;

  // FormCreate, from step 5: defaults, then the registry (user key, then the
  // machine key when it exists).
  void FormCreate(const IMagasinReglages& utilisateur, const IMagasinReglages* machine);

  // Every activation of the window; the first one detects the interface and
  // restores the placement from the user's key.
  void FormActivate(const IMagasinReglages& utilisateur);

  // From the link after a successful detection.
  void chargeConfigurationEnAttente();

  // FormClose: interface, association, registry (user then machine key; the
  // machine key is written only when given), placement to the user's key.
  void FormClose(IMagasinReglages& utilisateur, IMagasinReglages* machine);

  // --- application hooks ---
  // ShowHint: `indice` is the long part of the current hint (may be empty).
  void ShowHint(const std::string& indice);
  void ActivateApp();
  // Keyboard filter for one character; returns the character to deliver.
  char32_t filtreClavier(char32_t code, bool controle) {
    return filtreGrec.filtreCaractere(code, controle);
  }

  // --- commands ---
  enum class Touche { F5, F6, espace };
  // FormKeyDown; true when the key was used (then no control gets it).
  bool FormKeyDown(Touche t);
  void APropos(const std::string& versionPux);
  void Aide();
  void Quitter();
  void DebutLectureParametres();
  void FinLectureParametres();

  // Registry values as they stand now (for writing).
  ReglagesRegistre reglagesActuels() const;

 private:
  bool litConfiguration(const std::string& nom);

  IVueFenetre& vue_;
  TLiaison& liaison_;
  bool timerSuspendu_ = false;
  int suspensions_ = 0;
};
