// What the link needs from the main window. The shell implements it and
// renders it with Qt; tests record the calls.
#pragma once

#include <string>

class IVueLiaison {
public:
  virtual ~IVueLiaison() = default;

  // Status bar: panel 0 main state message, panel 1 short secondary message.
  virtual void afficheStatut(int panneau, const std::string& texte) = 0;

  // The BrixoAbsent panel; shown means also given the focus.
  virtual void afficheBrixoAbsent(bool visible) = 0;

  virtual void curseurSablier(bool actif) = 0;

  // Error box (error icon, OK button).
  virtual void messageErreur(const std::string& texte) = 0;
  // Yes/No question; true on Yes.
  virtual bool questionOuiNon(const std::string& texte) = 0;

  // Dialog "Dialogue" with the text and the buttons "OK" and
  // "Ne plus reposer la question".
  enum class ReponseRappel { ok, nePlusReposer };
  virtual ReponseRappel rappelMiseAJourRom(const std::string& texte) = 0;

  // No interface: hide "RàZ" and "Stop"; show " Acquisition " disabled;
  // disable "Défaire", the "Tavelmor" button and the menu items "Imprimer",
  // "Copier graphe", "Copier données".
  virtual void commandesSansInterface() = 0;

  // The "Recon." button.
  virtual void boutonReconVisible(bool visible) = 0;

  // Called after a successful detection: when the start-up configuration is
  // still pending the shell loads it now, otherwise nothing.
  virtual void chargeConfigurationEnAttente() = 0;

  // Non-modal firmware update dialog "Mise à jour de la ROM": text
  // "Mise à jour de la ROM en cours", progress bar 0..1000, button
  // "Arrêt de la mise à jour" and the five-line note.
  virtual void ouvreMiseAJourRom() = 0;
  virtual void progressionMiseAJourRom(int valeur) = 0;
  // Replaces the dialog's message lines (e.g. "Mise à jour de la ROM effectuée",
  // "Attente de la réponse pendant 10 s").
  virtual void messageMiseAJourRom(const std::string& ligne1, const std::string& ligne2) = 0;
  // True once the user pressed "Arrêt de la mise à jour" since the dialog opened.
  virtual bool arretMiseAJourDemande() = 0;
  virtual void fermeMiseAJourRom() = 0;
};
