#pragma once
// The acquisition state machine of the main window: applying the settings,
// arming, live values, launching and following a sweep, ending it, the
// buttons, the space bar and the suspension around settings dialogs. It
// talks to the window through IVueAcquisition, to the interface through
// TLiaison, waits through IHorloge and hands the result stream to the
// decoders (TfluxResultats), for which it is the IControleFlux.

#include <cstdint>
#include <functional>
#include <string>

#include "core/acquisition/controle/table_timer.h"
#include "core/acquisition/controle/vue_acquisition.h"
#include "core/display/graphe/graphe.h"
#include "core/link/flux/flux.h"
#include "core/link/liaison.h"
#include "core/shell/horloge.h"

// Posted window message that starts the cardiac recording.
inline constexpr int messageCardiaque = 1030;

class TcontroleAcquisition : public IControleFlux {
 public:
  TcontroleAcquisition(TgrapheVYK& graphe, TLiaison& liaison, IHorloge& horloge,
                       IVueAcquisition& vue);
  ~TcontroleAcquisition() override;
  TcontroleAcquisition(const TcontroleAcquisition&) = delete;
  TcontroleAcquisition& operator=(const TcontroleAcquisition&) = delete;

  // --- fields of the main window ---
  TetatAcq etatAcq = eaTerminee;
  bool PremiereAcquisition = true;
  bool PremierPassage = true;
  bool synchroDetecte = false;
  double DebutAcquisition = 0;   // ms of the clock
  double dureeResulMax = 0;      // s
  double derniereSauvegarde = 0; // ms of the clock
  bool Sauvegarde = true;
  bool reglageEnCours = false;
  bool sauveTimer = false;
  bool CardiaqueEnCours = false;
  bool ajoutePermis = false;
  // Disconnected recording (a later mode); never set yet.
  bool modeDeconnecte = false;
  int NbreMoyCardiaque = 30;
  TboutonsAcq boutons;

  TfluxResultats& flux() { return flux_; }
  TreglageBalayage& reglage() { return graphe_.balayage(); }
  TetatAvail etatAvail() const { return flux_.etatAvail; }

  // --- work of other modes and subsystems, plugged in by them. An empty
  // hook means the mode is not carried out: the control then says so
  // (texteAcq::nonDisponible) rather than pretending to record. ---
  struct Crochets {
    std::function<void()> tickPoint, tickCardiaque, tickFiltre;
    std::function<void()> progressionPivane, finPivane, pasSortieAna;
    std::function<void()> enregistrePointClavier, enregistrePoint, demarrePoincare;
    // The keyboard grid shown again after a point was undone.
    std::function<void()> grilleClavier;
    std::function<void()> demarrePivane, arretePivane, demarreSortieAna;
    std::function<void()> demarreCardiaque;
    // Encoder start ("WPOSITION", "WRPOSITION") in the keyboard and point
    // modes, and the relay outputs' state ("WSBIT"/"WRBIT"), when in use.
    std::function<void()> demarreCodeur, etatRelais;
    // Movement trigger worker (start / stop), stimulation start level.
    std::function<void()> demarreBouge, arreteBouge, niveauNerf;
    // DB15 recognition query: true when the sensors changed.
    std::function<bool()> reconnaissance;
    // Frequency, encoder and ultrasound measurements of the live poll.
    std::function<void()> mesureFrequence, mesureCodeur, mesureBrulon;
    // Automatic backup file of a long recording; false when it failed.
    std::function<bool()> sauvegardeAutomatique;
    // Fetching / ending the recording left in the interface.
    std::function<void()> litEnregistrementDeconnecte, finDeconnecte;
  } crochets;

  // --- operations ---
  void AfficheReglage();
  void arme();
  void mesureCourante();
  void lanceBalayage();
  void finBalayage();
  void majBoutons();
  void effaceAcquisition();
  void DebutLectureParametres();
  void FinLectureParametres();

  // --- handlers ---
  void TimerTimer();
  void EnregistreBtnClick();
  // utilisateur: a click (or the space bar) rather than the program itself.
  void StopBtnClick(bool utilisateur = true);
  void ResetBtnClick(bool utilisateur = true);
  void UndoBtnClick();
  void MonocoupCBClick(bool coche);
  // The space bar; true when it was used (no control gets it then).
  bool toucheEspace();
  void messageFenetre(int message);
  // Window closing: a running sweep is stopped before the reset.
  void arreteAcquisitionEnCours();

  // --- "Balayage" edits: texts as typed; false when unreadable (the edit
  // then shows the current value again) ---
  bool editeDuree(const std::string& texte);
  bool editeNombre(const std::string& texte);
  bool editePeriode(const std::string& texte);
  bool editeFrequence(const std::string& texte);
  void spinDuree(bool haut);
  void spinNombre(bool haut);
  void spinPeriode(bool allonge);

  // --- IControleFlux ---
  TetatAcq lireEtatAcq() const override { return etatAcq; }
  void fixeEtatAcq(TetatAcq e) override { etatAcq = e; }
  bool premiereAcquisition() const override { return PremiereAcquisition; }
  double maintenant() override { return horloge_.maintenantMs() / 1000.0; }
  double secondesDepuisDebutAcquisition() override;
  void razDebutAcquisition() override { DebutAcquisition = horloge_.maintenantMs(); }
  void assureTimerAcquisition() override;
  void relanceTimerAcquisition(int periodeMs) override;
  void afficheValeurVoie(int indiceVoie) override;
  void afficheErreur(const std::string& message) override { vue_.messageErreur(message); }
  void relanceBalayage() override { lanceBalayage(); }
  void montreErreurBrulon(bool) override {}
  int lireUnPointSur() const override { return 1; }
  void enregistrePointPoincare() override;
  void relanceOrdreR() override;
  void relanceComptageCardiaque() override;

  // Current timer period (ms).
  int periodeTimer() const { return periode_; }

 private:
  void progressionBalayage();
  void progressionMega();
  void suspend();
  void appelle(const std::function<void()>& f);
  void fixePeriode(int ms);
  void montreBoutons() { vue_.appliqueBoutons(boutons); }
  void statut(int panneau, const std::string& t) { vue_.afficheStatut(panneau, t); }
  void timer(bool actif) { vue_.timer(actif); }
  void apresEdition(bool lu);
  bool enregistrementEnCours() const { return etatAcq == eaAttenteResul; }
  TpanneauxAcq panneaux() const;
  void valeursVersAffichage();

  TgrapheVYK& graphe_;
  TLiaison& liaison_;
  IHorloge& horloge_;
  IVueAcquisition& vue_;
  TfluxResultats flux_;
  int periode_ = 250;
  int suspensions_ = 0;
  long octetsRecus_ = 0;
};
