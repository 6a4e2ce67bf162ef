#pragma once
// The acquisition set: the one object that holds everything a recording
// produces (the twelve channel slots, the counts of received and shown
// points, the saved pages of earlier sweeps, the markers) and most of the
// settings that shape a recording (mode, trigger, 1 MHz blocks). Every
// other part reaches the channels through it.
//
// Slots 1..12: time base, analog output, keyboard entry, optical fork,
// frequency, five analog inputs (6..10), computed channel, ultrasound.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/acquisition/base_temps/balayage.h"
#include "core/acquisition/base_temps/base_temps.h"
#include "core/acquisition/base_temps/synchro.h"
#include "core/channels/model/enumerations.h"
#include "core/channels/model/vecteur.h"
#include "core/display/courbes/courbe.h"
#include "core/display/dessin/dessin_graphe.h"
#include "core/display/dessin/ttrace.h"
#include "core/link/flux/cible_flux.h"

class TsortieAnalogique;
class TentreeClavier;
class Tpivane;
class Tfrequence;
class TvoieCalculee;
class Tbrulon;
class TsortiePWM;

using indiceVoie = int;  // 1..12
inline constexpr int slotPremier = 1;
inline constexpr int slotDernier = 12;

// Markers of the time axis.
using TlisteRepere = std::vector<TrepereDessin>;

// Colours the platform gives to the window background and to an active
// caption (0x00BBGGRR); no curve is drawn in the background colour.
inline constexpr std::int32_t clWindow = 0xFFFFFF;
inline constexpr std::int32_t clActiveCaption = 0xD1B499;

class TgrapheVYK : public IensembleBalayage, public IsourceLancement, public ICibleFlux {
 public:
  // The twelve channels, the marker list and the defaults; 128 points.
  TgrapheVYK();
  ~TgrapheVYK() override;
  TgrapheVYK(const TgrapheVYK&) = delete;
  TgrapheVYK& operator=(const TgrapheVYK&) = delete;

  // --- slots ---
  // voieBrixo[1..12] (index 0 unused); the objects of slots 6..10 may swap
  // places (VerifSynchro), the others never move.
  std::array<TCourbe*, slotDernier + 1> voieBrixo{};
  TCourbe* voie(int slot) const {
    return slot >= slotPremier && slot <= slotDernier ? voieBrixo[std::size_t(slot)] : nullptr;
  }
  TbaseDeTemps* baseDeTemps = nullptr;              // 1
  TsortieAnalogique* sortieAnalogique = nullptr;    // 2
  TentreeClavier* entreeClavier = nullptr;          // 3
  Tpivane* pivane = nullptr;                        // 4
  Tfrequence* frequence = nullptr;                  // 5
  TvoieCalculee* voieCalculee = nullptr;            // 11
  Tbrulon* brulon = nullptr;                        // 12
  TsortiePWM* sortiePWM = nullptr;                  // beside the slots
  Tunite uniteVolt;

  // The "Balayage" settings bound to this set and its time base.
  TreglageBalayage& balayage() { return *Freglage; }

  // --- operations ---
  std::int32_t NbreInter() const { return FNbreInter; }
  // Points of a full sweep: 8 .. 60000 div NbreVoie, whole 1 MHz blocks;
  // makes slot 6 active when no input is.
  void fixeNbreInter(std::int32_t n) override;
  // Received codes to shown values, inputs brought back to the sampling
  // instant of the first one; NbreAff := NbreCourant.
  void CourantVersAff();
  // Time origin of slot 1 at the trigger instant.
  void setOrigineTemps();
  // Points sorted by increasing frequency (slot 5), stable.
  void tri();
  void VerifSynchro();
  bool VerifBrulon();
  indiceVoie lireVoieSynchro();
  void fixeVoieSynchro(indiceVoie s);
  indiceVoie voieSynchro() const { return FvoieSynchro; }
  int numeroSynchro() const;
  double seuilSynchroReal();
  void setSeuilSynchro(double x);
  // Brings the active channels, the abscissa and the counts into line with
  // the mode (run whenever the settings are applied).
  void verifieVoiesActives();
  // Keeps the just-finished sweep as a saved page (remanence only).
  void SauvePage();
  std::string ordreLanceFiltre() const;
  void SetIndexPeriode(indiceVoie s, std::int32_t& index) const;
  // Data part of the main window's effaceAcquisition.
  void effaceAcquisition();
  // What the drawing reads (slots, counts, modes, pages, options).
  TsourceDessin sourceDessin();

  // Input numbers of the active analog inputs (slots 6..10), in slot order.
  std::vector<int> entreesActives() const override;

  // Called after VerifSynchro moved the channels of two slots, so that the
  // window gives their label and group box the new slot numbers.
  std::function<void(indiceVoie, indiceVoie)> voiesEchangees;

  // --- fields, in the order of the model ---
  std::int32_t FNbreInter = 128;
  indiceVoie FvoieSynchro = 6;
  TlisteRepere ListeRepere;
  sTrace Trace{trLigne};
  std::int32_t NbreCourbe = 0;
  std::int32_t NbreVoie = 0;
  std::int32_t NbreAff = 0;
  std::int32_t NbreCourant = 0;
  indiceVoie voieAbscisse = 1;
  std::int32_t seuilSynchro = 128;
  std::int32_t modeSeuilSynchroVYK2 = 0;
  bool monocoup = true;
  bool loupeAuto = false;
  TModeSynchro ModeSynchro = S_clavier;
  TModeAcq ModeAcq = AcqTemps;
  bool montant = true;
  char FrontSynchro = '1';
  double CoeffInterp = 0;
  bool ReticuleTrace = false;
  std::int32_t deltaBouge = 2;
  indiceVoie voieBouge = 6;
  indiceVoie voieFiltreEntree = 6;
  indiceVoie voieFiltreSortie = 7;
  indiceVoie voieFiltrePhase = 8;
  std::int32_t deltatFiltre = 20;
  double DeltaSpiro = 1.0;
  TVecteur vecteurTemps;
  indicePage nbrePages = 0;
  indicePage premierePage = 0;
  std::array<std::int32_t, nbrePagesMax> oldNbre{};

  // --- display options (mode dialog, configuration file) ---
  bool avecGrille = false;
  bool courbesSeparees = false;
  bool avecAxeVertical = true;
  bool remanence = false;
  int dimPoint = 2;
  int largeurLigne = 1;
  bool noirEtBlanc = false;
  bool impression = false;

  // --- 1 MHz mode ---
  int FreqMega = 1;
  std::int32_t blocMega = 10;
  std::int32_t nbreBlocMega = 0;
  std::int32_t nbreBlancMega = 10;

  // The interface in use is the PUX II.
  bool PuxActif = false;
  // Seconds of the optical fork's automatic stop ("Arrêt auto. après").
  int dureeArretPivane = 10;

  // --- IensembleBalayage ---
  TModeAcq modeAcquisition() const override { return ModeAcq; }
  TModeSynchro modeDeclenchement() const override { return ModeSynchro; }
  std::int32_t nbreInter() const override { return FNbreInter; }
  std::int32_t nbreVoie() const override { return NbreVoie; }
  void verifieSynchroEtCompte() override;
  int freqMega() const override { return FreqMega; }
  void fixeFreqMega(int f) override { FreqMega = f == 2 ? 2 : 1; }
  void fixeCoeffInterp(double c) override { CoeffInterp = c; }
  // --- IsourceLancement ---
  TparametresLancement parametresLancement() const override;
  // --- ICibleFlux ---
  Tvoie* voieFlux(int s) override { return voie(s); }
  std::int32_t& refNbreCourant() override { return NbreCourant; }
  std::int32_t lireNbreInter() const override { return FNbreInter; }
  std::int32_t lireNbreVoie() const override { return NbreVoie; }
  TVecteur& refVecteurTemps() override { return vecteurTemps; }
  ParametresMega lireParametresMega() const override;
  bool synchroBrulon() const override { return ModeSynchro == s_brulon; }
  bool& refAttenteDeltat() override;
  bool lireChute() const override;
  double lireDureeBalayage() const override;

 private:
  // A valid trigger slot: active, and input 11 on the VYK II or any input
  // on the PUX II.
  bool synchroValide(indiceVoie s) const;
  int compteEntreesActives() const;
  std::vector<std::unique_ptr<TCourbe>> Fvoies;  // owns the channels
  std::unique_ptr<TreglageBalayage> Freglage;
  // Converted values of an input before its interpolation.
  std::vector<double> Fconversion;
};

// The acquisition set of the program (created by the main window).
extern TgrapheVYK* grapheAcq;
