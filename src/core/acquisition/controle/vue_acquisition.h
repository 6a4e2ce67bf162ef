#pragma once
// What the acquisition control needs from the main window: status texts,
// the state of its buttons, the progress bar and elapsed time, the panels
// of the current mode, redraws, message boxes and the acquisition timer.
// The Qt window implements it; tests record it.

#include <string>

#include "core/acquisition/base_temps/balayage.h"
#include "core/channels/model/enumerations.h"

// Buttons and controls the state machine moves.
struct TboutonsAcq {
  bool acquisitionVisible = true;
  bool acquisitionActif = true;
  std::string acquisitionIndice = "|Lance l'acquisition";
  bool stopVisible = false;
  bool razVisible = false;
  bool defaireVisible = false;
  bool defaireActif = false;
  bool repereVisible = false;
  bool repereActif = false;
  bool tavelmorActif = false;
  // "Imprimer", "Copier graphe", "Copier données".
  bool copiesActives = false;
  bool spinDureeActif = true;
  bool spinNombreActif = true;
  bool dureeVisible = false;  // elapsed-time display
  bool monocoup = true;       // the "Monocoup" check box
  bool panneauModeActif = true;
  bool reconActif = true;
};

// Panels and groups shown for the mode, with the "Balayage" texts.
struct TpanneauxAcq {
  TModeAcq mode = AcqTemps;
  std::string libelleMode;
  std::string libelleAbscisse;  // second label, 1 MHz mode only
  bool abscisse = true;
  bool balayage = true;
  bool balayageCardiaque = false;
  bool declenchement = true;
  bool frequence = false;
  bool voies8a10 = true;
  bool progression = true;
  bool pointParPoint = false;     // "Point par point" group
  bool fourche = false;           // optical-fork groups
  bool sortieAnalogique = false;  // "Sortie analogique" group
  bool clavier = false;           // keyboard box
  bool voieCalculee = false;      // computed-channel box
  bool brulon = false;            // ultrasound box
  bool deconnecte = false;        // bar of the disconnected recording
  // 1 MHz variants: count, period and frequency edits and the frequency
  // spin disabled, the count spin hidden.
  bool unMega = false;
  TaffichageBase base;
};

class IVueAcquisition {
 public:
  virtual ~IVueAcquisition() = default;
  // Panel 0: main state message; panel 1: short secondary message.
  virtual void afficheStatut(int panneau, const std::string& texte) = 0;
  virtual void appliqueBoutons(const TboutonsAcq& b) = 0;
  virtual void appliquePanneaux(const TpanneauxAcq& p) = 0;

  // The acquisition timer `Timer`.
  virtual void timer(bool actif) = 0;
  virtual bool timerActif() = 0;
  virtual void periodeTimer(int ms) = 0;

  virtual void progression(int valeur, int maximum) = 0;
  // "hh:mm:ss".
  virtual void dureeEcoulee(const std::string& texte) = 0;

  // Whole graph at the next paint / the new points over the last layout.
  virtual void redessine() = 0;
  virtual void traceNouveauxPoints() = 0;
  // Value labels of the channel boxes (displayed value of each slot).
  virtual void afficheValeurs() = 0;

  virtual void messageErreur(const std::string& texte) = 0;
  virtual bool questionOuiNon(const std::string& texte) = 0;

  // Posts a window message to the window itself; the window hands it to
  // TcontroleAcquisition::messageFenetre once the current handler is done.
  virtual void posteMessage(int message) = 0;
};
