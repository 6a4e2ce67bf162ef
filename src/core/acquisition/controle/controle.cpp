#include "core/acquisition/controle/controle.h"

#include <algorithm>
#include <cmath>

#include "core/acquisition/controle/textes_acquisition.h"
#include "core/channels/numbers/nombres.h"
#include "core/counters/frequence/brulon.h"
#include "core/counters/frequence/frequence.h"
#include "core/formulas/voie_calculee/voie_calculee.h"
#include "core/link/commandes/commandes.h"

namespace {

constexpr int premiereEntree = 6;
constexpr int derniereEntree = 10;
// Longest wait for a 1 MHz stream that keeps coming after its stop.
constexpr double attenteFinMegaMaxMs = 2000;

const char* libelleMode(TModeAcq m) {
  switch (m) {
    case AcqClavier: return "Clavier";
    case AcqTemps: return "Temporel";
    case AcqPoint: return "Point par point";
    case AcqPivane: return "Fourche optique";
    case AcqSortieAna: return "Sortie analogique";
    case AcqUnMega: return "Echantillonnage 1 MHz";
    case AcqCardiaque:
    case AcqFiltre: break;
  }
  return "";
}

bool declenchementLivre(TModeSynchro s) {
  return s == S_clavier || s == S_front || s == S_seuil || s == S_relaxe;
}

}  // namespace

TcontroleAcquisition::TcontroleAcquisition(TgrapheVYK& graphe, TLiaison& liaison,
                                           IHorloge& horloge, IVueAcquisition& vue)
    : graphe_(graphe), liaison_(liaison), horloge_(horloge), vue_(vue), flux_(graphe, *this) {
  liaison_.attenteResultats = [this] { return etatAcq == eaAttenteResul; };
  liaison_.pauseVidage = [this] {
    const TModeAcq m = graphe_.ModeAcq;
    const ModeVidage mode = m == AcqTemps                      ? ModeVidage::temps
                            : m == AcqPoint || m == AcqUnMega ? ModeVidage::rapide
                                                               : ModeVidage::autre;
    return pauseVidageMs(mode, graphe_.baseDeTemps->Deltat);
  };
  liaison_.arreteTimerAcquisition = [this] { timer(false); };
  liaison_.installeDispatcheurBinaire([this](const std::uint8_t* o, std::size_t n) {
    octetsRecus_ += static_cast<long>(n);
    flux_.PuxActif = liaison_.PuxActif;
    flux_.dtPivane = liaison_.dtPivane;
    flux_.TriggerAvailBin(o, n);
  });
  boutons.monocoup = graphe_.monocoup;
}

TcontroleAcquisition::~TcontroleAcquisition() {
  liaison_.attenteResultats = nullptr;
  liaison_.pauseVidage = nullptr;
  liaison_.arreteTimerAcquisition = nullptr;
  liaison_.installeDispatcheurBinaire(nullptr);
}

void TcontroleAcquisition::appelle(const std::function<void()>& f) {
  if (f) f();
  else statut(1, texteAcq::nonDisponible);
}

void TcontroleAcquisition::fixePeriode(int ms) {
  periode_ = ms;
  vue_.periodeTimer(ms);
}

// ---------------------------------------------------------------------------
// Applying the settings

TpanneauxAcq TcontroleAcquisition::panneaux() const {
  const TModeAcq m = graphe_.ModeAcq;
  TpanneauxAcq p;
  p.mode = m;
  p.libelleMode = libelleMode(m);
  if (m == AcqUnMega) {
    const TCourbe* a = graphe_.voie(graphe_.voieAbscisse);
    p.libelleAbscisse = std::string("Abscisse") + "=" + (a ? a->nom : std::string());
  }
  p.abscisse = m == AcqTemps || m == AcqPoint;
  p.balayage = m == AcqTemps || m == AcqUnMega;
  p.balayageCardiaque = m == AcqCardiaque;
  p.declenchement = m == AcqTemps || m == AcqUnMega;
  p.frequence = m != AcqTemps && m != AcqPivane && m != AcqUnMega;
  p.voies8a10 = m != AcqUnMega;
  p.progression = m == AcqTemps || m == AcqUnMega || m == AcqCardiaque;
  p.unMega = m == AcqUnMega;
  p.pointParPoint = m == AcqPoint || m == AcqFiltre;
  p.fourche = m == AcqPivane;
  p.sortieAnalogique = m == AcqSortieAna;
  p.clavier = m == AcqClavier;
  p.voieCalculee = graphe_.voieCalculee->active &&
                   (m == AcqTemps || m == AcqPoint || m == AcqSortieAna);
  p.brulon = graphe_.brulon->active;
  p.deconnecte = modeDeconnecte;
  if (m == AcqPivane || m == AcqFiltre) p.balayage = false;
  if (m == AcqPivane) p.declenchement = false;
  p.base = graphe_.balayage().affichage();
  if (m == AcqPivane) p.base.maxProgression = 1024;
  if (m == AcqCardiaque)
    p.base.maxProgression =
        static_cast<int>(arrondiEntier(graphe_.baseDeTemps->DureeBalayage() * 2));
  return p;
}

void TcontroleAcquisition::AfficheReglage() {
  TgrapheVYK& g = graphe_;
  reglageEnCours = true;
  boutons.dureeVisible = false;
  boutons.repereVisible = g.ModeAcq == AcqTemps && g.baseDeTemps->DureeBalayage() > 10;
  flux_.coeffFiltreCardiaque = 1.0 / std::max(1, NbreMoyCardiaque);

  // Trigger input, channel activity, abscissa and counts of the mode.
  g.verifieVoiesActives();
  const TModeAcq m = g.ModeAcq;
  if (m != AcqClavier && m != AcqPoint && m != AcqFiltre) g.frequence->active = false;
  if (g.Trace.vide()) g.Trace.inclut(trPoint);
  g.Trace.exclut(trCardiaque);

  const bool frequenceLente = g.frequence->active && g.frequence->Mini() < 10;
  fixePeriode(periodeTimerMs(m, frequenceLente, 0));
  TreglageBalayage& r = reglage();
  r.PuxActif = liaison_.PuxActif;
  r.SynchroMonocoupPermis = liaison_.SynchroMonocoupPermis;
  g.baseDeTemps->PreAcqPermis = liaison_.PreAcqPermis;
  switch (m) {
    case AcqTemps:
      g.fixeNbreInter(g.NbreInter());
      r.afficheBase();
      break;
    case AcqUnMega:
      g.ModeSynchro = S_seuil;
      r.dureeChangee();
      break;
    case AcqCardiaque:
      if (g.baseDeTemps->DureeBalayage() < 15) g.baseDeTemps->fixeDureeBalayage(15);
      g.Trace.inclut(trCardiaque);
      r.afficheBase();
      break;
    case AcqFiltre:
      g.Trace = sTrace{trPoint};
      r.afficheBase();
      break;
    default:
      r.afficheBase();
      break;
  }
  vue_.appliquePanneaux(panneaux());
  vue_.afficheValeurs();

  if (m == AcqTemps && g.baseDeTemps->DureeBalayage() > 20 && !g.monocoup) {
    vue_.messageErreur(texteAcq::monocoupObligatoire);
    g.monocoup = true;
  }
  boutons.monocoup = g.monocoup;
  if (crochets.arreteBouge) crochets.arreteBouge();

  if (boutons.razVisible) {
    ResetBtnClick(false);
  } else {
    PremiereAcquisition = true;
    arme();
  }
  reglageEnCours = false;
}

// ---------------------------------------------------------------------------
// Arming

void TcontroleAcquisition::arme() {
  TgrapheVYK& g = graphe_;
  PremierPassage = true;
  ajoutePermis = false;
  flux_.desarme();
  if ((g.ModeAcq == AcqClavier || g.ModeAcq == AcqPoint) && crochets.demarreCodeur)
    crochets.demarreCodeur();
  if (crochets.etatRelais) crochets.etatRelais();
  if (liaison_.PuxActif && g.ModeSynchro == s_bouge) {
    g.ModeSynchro = S_clavier;
    vue_.messageErreur(texteAcq::bougePux);
  }

  bool disponible = true;
  switch (g.ModeAcq) {
    case AcqClavier:
      statut(0, texteAcq::clavier);
      disponible = static_cast<bool>(crochets.enregistrePointClavier);
      break;
    case AcqTemps:
      switch (g.ModeSynchro) {
        case S_clavier:
          statut(0, texteAcq::invitation);
          etatAcq = eaAttenteSynchro;
          if (modeDeconnecte) appelle(crochets.litEnregistrementDeconnecte);
          break;
        case S_nerf:
          statut(0, texteAcq::invitation);
          etatAcq = eaAttenteSynchro;
          disponible = static_cast<bool>(crochets.niveauNerf);
          if (disponible) crochets.niveauNerf();
          break;
        case s_bouge: {
          const TCourbe* c = g.voie(g.voieBouge);
          statut(0, std::string(texteAcq::attenteModification) + " " + (c ? c->nom : ""));
          etatAcq = eaAttenteSynchro;
          disponible = static_cast<bool>(crochets.demarreBouge);
          if (disponible) crochets.demarreBouge();
          break;
        }
        case s_brulon:
          statut(0, texteAcq::demarrageClap);
          etatAcq = eaAttenteSynchro;
          // The ultrasound start needs its channel's work, which comes later.
          disponible = false;
          break;
        case s_sodar:
          statut(0, texteAcq::invitation);
          etatAcq = eaAttenteSynchro;
          disponible = false;
          break;
        case S_front:
        case S_seuil:
        case S_relaxe:
          // The interface itself waits for the trigger.
          mesureCourante();
          lanceBalayage();
          break;
      }
      break;
    case AcqPoint:
    case AcqFiltre:
      statut(0, texteAcq::pointManuel);
      disponible = static_cast<bool>(crochets.tickPoint);
      break;
    case AcqPivane:
      statut(0, texteAcq::fourche);
      etatAcq = eaAttenteSynchro;
      disponible = static_cast<bool>(crochets.demarrePivane);
      break;
    case AcqCardiaque:
      etatAcq = eaAttenteSynchro;
      disponible = static_cast<bool>(crochets.demarreCardiaque);
      break;
    case AcqSortieAna:
      etatAcq = eaAttenteSynchro;
      disponible = static_cast<bool>(crochets.demarreSortieAna);
      break;
    case AcqUnMega:
      lanceBalayage();
      break;
  }

  timer(liaison_.BrixoPresent);
  majBoutons();
  boutons.spinDureeActif = true;
  boutons.spinNombreActif = g.ModeAcq == AcqTemps;
  montreBoutons();
  statut(1, disponible ? "" : texteAcq::nonDisponible);
  vue_.redessine();
}

// ---------------------------------------------------------------------------
// Live values

void TcontroleAcquisition::mesureCourante() {
  TgrapheVYK& g = graphe_;
  timer(false);
  if (crochets.reconnaissance && !modeDeconnecte && g.ModeAcq != AcqClavier && g.NbreAff > 0) {
    if (crochets.reconnaissance()) {
      AfficheReglage();
      return;
    }
  }
  if (g.frequence->active && crochets.mesureFrequence) crochets.mesureFrequence();
  if (crochets.mesureCodeur) crochets.mesureCodeur();

  if (!enregistrementEnCours()) {
    for (int s = premiereEntree; s <= derniereEntree; ++s) {
      TCourbe* c = g.voie(s);
      if (!c || !c->active) continue;
      c->nouvelleLecture(liaison_.getInt(commandes::WEA(c->FnumBrixo)));
      // The query let the window run: a recording may have started.
      if (enregistrementEnCours()) break;
    }
  }
  if (g.voieCalculee->active) g.voieCalculee->ValeurCourante = g.voieCalculee->CalcValeur();
  if (!enregistrementEnCours()) {
    for (int s = slotPremier; s <= slotDernier; ++s)
      if (TCourbe* c = g.voie(s)) c->valeurAff = c->ValeurCourante;
    vue_.afficheValeurs();
  }
  if (g.brulon->active && !enregistrementEnCours() && crochets.mesureBrulon)
    crochets.mesureBrulon();
  if (!enregistrementEnCours()) timer(true);
}

// ---------------------------------------------------------------------------
// Launching a sweep

void TcontroleAcquisition::lanceBalayage() {
  TgrapheVYK& g = graphe_;
  etatAcq = eaAttenteResul;
  flux_.desarme();
  timer(false);
  flux_.indexOctet = 0;
  if (g.remanence) g.SauvePage();
  g.NbreCourant = 0;
  vue_.progression(0, g.NbreInter());

  if (flux_.AttenteMegaEnCours) {
    while (horloge_.maintenantMs() - DebutAcquisition < 1000)
      horloge_.pompe(1000 - (horloge_.maintenantMs() - DebutAcquisition));
    flux_.AttenteMegaEnCours = false;
  } else {
    horloge_.pompe(0);
  }
  // A stop or a setting may have come in while the window ran.
  if (etatAcq != eaAttenteResul) return;
  if (flux_.MegaEnCours && !liaison_.PuxActif) {
    const double limite = horloge_.maintenantMs() + attenteFinMegaMaxMs;
    long avant;
    do {
      avant = octetsRecus_;
      horloge_.attends(20);
    } while (octetsRecus_ != avant && horloge_.maintenantMs() < limite);
    flux_.MegaEnCours = false;
  }

  g.ListeRepere.clear();
  liaison_.arreteEtVide();
  if (etatAcq != eaAttenteResul) return;

  TreglageBalayage& r = reglage();
  if (g.ModeAcq == AcqUnMega) {
    g.NbreAff = g.NbreInter();
    g.fixeNbreInter(g.NbreInter());  // block values
    boutons.dureeVisible = false;
    boutons.repereVisible = false;
    r.ordreLanceR = commandes::WMEGA(g.seuilSynchro, g.montant, g.NbreVoie, g.nbreBlocMega,
                                     g.FreqMega);
    if (PremiereAcquisition) {
      for (int s : {6, 7}) {
        double* v = g.voie(s)->vecteurAff.data();
        std::fill(v, v + tailleVecteur, valeurAbsente);
      }
    }
    flux_.arme(eaResulUnMega);
    liaison_.ecritBrixo(r.ordreLanceR);
    flux_.MegaEnCours = true;
    flux_.AttenteMegaEnCours = true;
  } else {
    if (modeDeconnecte) {
      // The recording left in the interface comes back through "WRESUL".
      flux_.arme(eaResul);
      liaison_.ecritBrixo(commandes::WRESUL(long(g.NbreInter()) * g.NbreVoie));
    } else {
      liaison_.ecritBrixo(r.OrdreProgramme);
      flux_.arme(eaResul);
      horloge_.attends(10);
      liaison_.ecritBrixo(r.ordreLanceR);
      if (g.ModeSynchro == S_nerf && !r.ordreResultats.empty()) {
        horloge_.attends(10);
        liaison_.ecritBrixo(r.ordreResultats);
      }
    }
    boutons.dureeVisible = g.baseDeTemps->DureeBalayage() > 10;
    boutons.repereActif = true;
    if (g.ModeSynchro == s_brulon) g.brulon->AttenteDeltat = true;
  }

  if (!modeDeconnecte) DebutAcquisition = horloge_.maintenantMs();
  dureeResulMax = double(g.NbreInter()) * g.NbreVoie *
                      dureeTransmissionValeur(liaison_.indexVitesse) +
                  g.baseDeTemps->DureeBalayage() + 2;
  synchroDetecte = false;
  statut(0, texteAcq::attenteValeurs);
  boutons.acquisitionVisible = false;
  boutons.acquisitionActif = false;
  boutons.stopVisible = true;
  montreBoutons();
  timer(true);
  statut(1, "");
}

// ---------------------------------------------------------------------------
// Timer

void TcontroleAcquisition::TimerTimer() {
  if (!vue_.timerActif() || !liaison_.BrixoPresent) return;
  const TModeAcq m = graphe_.ModeAcq;
  switch (actionTick(m, etatAcq)) {
    case TactionTick::rien:
      break;
    case TactionTick::mesure:
      mesureCourante();
      break;
    case TactionTick::mesureSiUtilisateur:
      if (synchroUtilisateur(graphe_.ModeSynchro)) mesureCourante();
      break;
    case TactionTick::progression:
      progressionBalayage();
      break;
    case TactionTick::progressionMega:
      progressionMega();
      break;
    case TactionTick::fin:
      finBalayage();
      break;
    case TactionTick::point:
      if (crochets.tickPoint) crochets.tickPoint();
      break;
    case TactionTick::pivaneProgression:
      if (crochets.progressionPivane) crochets.progressionPivane();
      break;
    case TactionTick::pivaneFin:
      if (crochets.finPivane) crochets.finPivane();
      break;
    case TactionTick::sortieAnaPas:
      if (crochets.pasSortieAna) crochets.pasSortieAna();
      break;
    case TactionTick::cardiaque:
      if (crochets.tickCardiaque) crochets.tickCardiaque();
      break;
    case TactionTick::filtre:
      if (crochets.tickFiltre) crochets.tickFiltre();
      break;
  }
}

double TcontroleAcquisition::secondesDepuisDebutAcquisition() {
  return (horloge_.maintenantMs() - DebutAcquisition) / 1000.0;
}

void TcontroleAcquisition::assureTimerAcquisition() {
  if (!vue_.timerActif()) timer(true);
}

void TcontroleAcquisition::relanceTimerAcquisition(int periodeMs) {
  timer(false);
  fixePeriode(periodeMs);
  timer(true);
}

void TcontroleAcquisition::afficheValeurVoie(int) { vue_.afficheValeurs(); }

void TcontroleAcquisition::enregistrePointPoincare() {
  if (crochets.enregistrePoint) crochets.enregistrePoint();
}

void TcontroleAcquisition::relanceOrdreR() { liaison_.ecritBrixo(reglage().ordreLanceR); }

void TcontroleAcquisition::relanceComptageCardiaque() {
  if (crochets.demarreCardiaque) crochets.demarreCardiaque();
}

void TcontroleAcquisition::valeursVersAffichage() {
  TgrapheVYK& g = graphe_;
  const std::int32_t n = std::min<std::int32_t>(g.NbreCourant, std::int32_t(tailleVecteur));
  if (n <= 0) return;
  for (int s = premiereEntree; s <= derniereEntree; ++s) {
    TCourbe* c = g.voie(s);
    if (c && c->active) c->valeurAff = c->ValeurReal(c->vecteurCourant[std::size_t(n - 1)]);
  }
  vue_.afficheValeurs();
}

void TcontroleAcquisition::progressionBalayage() {
  TgrapheVYK& g = graphe_;
  const TModeSynchro sy = g.ModeSynchro;
  const bool declenchementMateriel = sy == S_front || sy == S_seuil || sy == s_bouge;
  if (g.NbreCourant > 0) {
    if (PremiereAcquisition) {
      const std::int32_t avant = g.NbreAff;
      g.CourantVersAff();
      if (avant == 0 || g.NbreCourant < avant) {
        vue_.redessine();
        if (declenchementMateriel && !synchroDetecte) {
          DebutAcquisition = horloge_.maintenantMs();
          synchroDetecte = true;
        }
      } else {
        vue_.traceNouveauxPoints();
      }
    } else if (declenchementMateriel && !synchroDetecte) {
      DebutAcquisition = horloge_.maintenantMs();
      synchroDetecte = true;
    }

    const bool arme = sy == S_relaxe || sy == S_clavier || sy == S_nerf || sy == s_sodar ||
                      synchroDetecte;
    if (arme && secondesDepuisDebutAcquisition() > dureeResulMax) {
      const std::int32_t N = g.NbreInter();
      if (!g.monocoup || g.NbreCourant >= N - 1) {
        // The last values never came: they read as 0.
        for (int s = 2; s <= derniereEntree; ++s) {
          TCourbe* c = g.voie(s);
          if (!c) continue;
          for (std::int32_t i = std::max(g.NbreCourant, 0); i < N && i < std::int32_t(tailleVecteur); ++i)
            c->vecteurCourant[std::size_t(i)] = 0;
        }
        g.NbreCourant = N;
      }
      // Otherwise (single shot, values stopped early: adapter unplugged,
      // interface off) the sweep ends with the points received, rather than
      // waiting for ever.
      etatAcq = eaMajResul;
      flux_.desarme();
    }

    const double deltat = g.baseDeTemps->Deltat;
    if (deltat > 1 && g.NbreAff > 0) {
      for (int s = slotPremier; s <= slotDernier; ++s)
        if (TCourbe* c = g.voie(s)) c->valeurAff = c->vecteurAff[std::size_t(g.NbreAff - 1)];
      vue_.afficheValeurs();
      const double duree = g.baseDeTemps->DureeBalayage();
      if (Sauvegarde && g.ModeAcq == AcqTemps && duree >= 600) {
        const double depuis = (horloge_.maintenantMs() - derniereSauvegarde) / 1000.0;
        if (depuis > 600 && depuis > duree / 32) {
          // The backup file of the companion program comes with the data
          // file; until then nothing is saved and saving stays allowed.
          if (crochets.sauvegardeAutomatique && !crochets.sauvegardeAutomatique())
            Sauvegarde = false;
          derniereSauvegarde = horloge_.maintenantMs();
        }
      }
    } else {
      valeursVersAffichage();
    }
    vue_.progression(g.NbreCourant, g.NbreInter());
  } else if (sy == S_relaxe || sy == S_clavier) {
    // Nothing at all came back: the same timeout ends the sweep.
    if (secondesDepuisDebutAcquisition() > dureeResulMax) {
      etatAcq = eaMajResul;
      flux_.desarme();
    }
  }
  vue_.dureeEcoulee(formatHMS(std::fmod(secondesDepuisDebutAcquisition(), 86400.0)));
  const bool tavelmor = g.baseDeTemps->DureeBalayage() > 600 && g.NbreAff > 0;
  if (tavelmor != boutons.tavelmorActif) {
    boutons.tavelmorActif = tavelmor;
    montreBoutons();
  }
}

void TcontroleAcquisition::progressionMega() {
  TgrapheVYK& g = graphe_;
  if (g.NbreCourant == 0 && flux_.NbreUnMega == 0 && secondesDepuisDebutAcquisition() > 1)
    statut(1, texteAcq::signalNonTrouve);
  if (PremiereAcquisition) {
    if (PremierPassage) vue_.redessine();
    else vue_.traceNouveauxPoints();
    PremierPassage = false;
  }
  vue_.progression(g.NbreCourant, g.NbreInter());
}

// ---------------------------------------------------------------------------
// End of a sweep

void TcontroleAcquisition::finBalayage() {
  TgrapheVYK& g = graphe_;
  timer(false);
  etatAcq = eaTerminee;
  boutons.dureeVisible = false;
  boutons.repereActif = false;
  if (g.ModeAcq == AcqUnMega) {
    g.NbreCourant = g.NbreInter();
    g.CourantVersAff();
  } else {
    g.CourantVersAff();
    if (g.baseDeTemps->comptePreAcq() > 0 || g.ModeSynchro == S_seuil) g.setOrigineTemps();
  }
  vue_.progression(g.NbreInter(), g.NbreInter());
  statut(0, texteAcq::terminee);
  vue_.redessine();
  if (g.NbreAff > 0) {
    for (int s = premiereEntree; s <= slotDernier; ++s) {
      TCourbe* c = g.voie(s);
      if (c && c->active) c->valeurAff = c->vecteurAff[std::size_t(g.NbreAff - 1)];
    }
    vue_.afficheValeurs();
  }
  if (synchroUtilisateur(g.ModeSynchro)) {
    etatAcq = eaAttenteSynchro;
  } else if (!g.monocoup) {
    PremiereAcquisition = false;
    lanceBalayage();
  }
  if (modeDeconnecte && crochets.finDeconnecte) crochets.finDeconnecte();
  majBoutons();
}

// ---------------------------------------------------------------------------
// Buttons

void TcontroleAcquisition::majBoutons() {
  TgrapheVYK& g = graphe_;
  TboutonsAcq& b = boutons;
  const bool points = g.NbreAff > 0;
  const TModeAcq m = g.ModeAcq;
  b.stopVisible = false;
  b.razVisible = points;
  b.acquisitionVisible = true;
  b.acquisitionIndice = texteAcq::indiceEnregistrePoint;
  b.defaireVisible = m == AcqClavier || m == AcqPoint || m == AcqFiltre;
  switch (m) {
    case AcqClavier:
      b.acquisitionVisible = false;
      b.defaireActif = points;
      break;
    case AcqPoint:
    case AcqFiltre:
      b.defaireActif = points;
      break;
    case AcqTemps:
    case AcqUnMega: {
      if (etatAcq == eaTerminee && !points) {
        arme();
        return;
      }
      b.razVisible = etatAcq == eaTerminee && g.monocoup && points;
      b.acquisitionVisible = etatAcq == eaAttenteSynchro && synchroUtilisateur(g.ModeSynchro);
      const bool balayage = etatAcq == eaAttenteResul || etatAcq == eaMajResul;
      timer(liaison_.BrixoPresent && (b.acquisitionVisible || balayage));
      b.acquisitionIndice = texteAcq::indiceLance;
      b.stopVisible = balayage;
      if (etatAcq != eaAttenteSynchro) {
        statut(0, texteEtatAcq(etatAcq));
      } else if (g.ModeSynchro == s_bouge) {
        const TCourbe* c = g.voie(g.voieBouge);
        statut(0, std::string(texteAcq::attenteModification) + " " + (c ? c->nom : ""));
      } else if (synchroUtilisateur(g.ModeSynchro)) {
        statut(0, texteAcq::invitation);
      } else {
        statut(0, texteAcq::attenteDeclenchement);
      }
      break;
    }
    case AcqPivane:
    case AcqCardiaque: {
      const int seuil = m == AcqPivane ? 30 : 3;
      if (etatAcq == eaTerminee && g.NbreAff < seuil) etatAcq = eaAttenteSynchro;
      b.stopVisible = etatAcq == eaAttenteResul || etatAcq == eaMajResul;
      b.acquisitionVisible = etatAcq == eaAttenteSynchro;
      b.razVisible = etatAcq == eaTerminee;
      b.acquisitionIndice = texteAcq::indiceLance;
      if (m == AcqPivane) timer(liaison_.BrixoPresent && b.stopVisible);
      else timer(liaison_.BrixoPresent);
      break;
    }
    case AcqSortieAna:
      break;
  }
  b.tavelmorActif = points;
  b.copiesActives = points;
  b.panneauModeActif = !modeDeconnecte;
  b.acquisitionActif = b.acquisitionVisible;
  montreBoutons();
}

void TcontroleAcquisition::effaceAcquisition() {
  graphe_.effaceAcquisition();
  boutons.tavelmorActif = false;
  boutons.copiesActives = false;
  PremiereAcquisition = true;
  montreBoutons();
}

void TcontroleAcquisition::EnregistreBtnClick() {
  if (modeDeconnecte) return;
  TgrapheVYK& g = graphe_;
  switch (g.ModeAcq) {
    case AcqClavier:
      appelle(crochets.enregistrePointClavier);
      break;
    case AcqTemps:
      if (!declenchementLivre(g.ModeSynchro) &&
          !(g.ModeSynchro == S_nerf && crochets.niveauNerf)) {
        statut(1, texteAcq::nonDisponible);
        break;
      }
      if (g.remanence) g.SauvePage();
      PremiereAcquisition = true;
      g.NbreAff = 0;
      lanceBalayage();
      break;
    case AcqPoint:
      appelle(crochets.enregistrePoint);
      break;
    case AcqFiltre:
      appelle(crochets.enregistrePoint);
      break;
    case AcqPivane:
      appelle(crochets.demarrePivane);
      break;
    case AcqSortieAna:
      appelle(crochets.demarreSortieAna);
      break;
    case AcqCardiaque:
      vue_.posteMessage(messageCardiaque);
      break;
    case AcqUnMega:
      break;
  }
}

void TcontroleAcquisition::messageFenetre(int message) {
  if (message != messageCardiaque) return;
  if (!crochets.demarreCardiaque) {
    statut(1, texteAcq::nonDisponible);
    return;
  }
  TgrapheVYK& g = graphe_;
  timer(false);
  boutons.reconActif = true;
  etatAcq = eaAttenteResul;
  g.NbreCourant = 0;
  vue_.progression(0, static_cast<int>(arrondiEntier(g.baseDeTemps->DureeBalayage() * 2)));
  boutons.acquisitionVisible = false;
  boutons.acquisitionActif = false;
  boutons.stopVisible = true;
  montreBoutons();
  dureeResulMax = g.baseDeTemps->DureeBalayage() * 2;
  fixePeriode(500);
  timer(liaison_.BrixoPresent);
  DebutAcquisition = horloge_.maintenantMs();
  crochets.demarreCardiaque();
}

void TcontroleAcquisition::StopBtnClick(bool utilisateur) {
  TgrapheVYK& g = graphe_;
  switch (g.ModeAcq) {
    case AcqPivane:
      appelle(crochets.arretePivane);
      return;
    case AcqPoint:
      boutons.stopVisible = false;
      boutons.razVisible = g.NbreAff > 0;
      boutons.acquisitionVisible = g.NbreAff == 0;
      timer(true);
      if (flux_.etatAvail == eaPoincare) liaison_.arreteEtVide();
      etatAcq = eaTerminee;
      flux_.desarme();
      majBoutons();
      return;
    default:
      break;
  }
  if (utilisateur) {
    g.monocoup = true;
    boutons.monocoup = true;
  }
  if (crochets.arreteBouge) crochets.arreteBouge();
  const bool laisseFinir = PremiereAcquisition && g.ModeAcq == AcqTemps &&
                           g.ModeSynchro == S_clavier && g.baseDeTemps->DureeBalayage() <= 0.01;
  if (utilisateur && !laisseFinir) {
    suspend();
    etatAcq = eaTerminee;
    majBoutons();
  }
  boutons.razVisible = g.NbreAff > 0;
  boutons.spinDureeActif = true;
  boutons.spinNombreActif = g.ModeAcq == AcqTemps;
  montreBoutons();
  if (g.ModeAcq == AcqTemps && g.ModeSynchro == s_brulon && g.NbreAff == 0 && utilisateur) arme();
}

void TcontroleAcquisition::ResetBtnClick(bool utilisateur) {
  if (utilisateur && graphe_.ModeAcq != AcqTemps && !vue_.questionOuiNon(texteAcq::suppression))
    return;
  if (utilisateur) effaceAcquisition();
  vue_.redessine();
  if (boutons.monocoup && !graphe_.monocoup) boutons.monocoup = false;
  arme();
}

void TcontroleAcquisition::UndoBtnClick() {
  TgrapheVYK& g = graphe_;
  if (g.NbreAff <= 0) return;
  --g.NbreAff;
  vue_.redessine();
  majBoutons();
  if (g.ModeAcq == AcqClavier && crochets.grilleClavier) crochets.grilleClavier();
}

void TcontroleAcquisition::MonocoupCBClick(bool coche) {
  if (reglageEnCours) return;
  TgrapheVYK& g = graphe_;
  if (!coche && g.ModeAcq == AcqTemps && g.baseDeTemps->DureeBalayage() > 20) {
    // A long sweep cannot be repeated; the check box goes back on.
    vue_.messageErreur(texteAcq::monocoupObligatoire);
    g.monocoup = true;
    boutons.monocoup = true;
    montreBoutons();
    return;
  }
  g.monocoup = coche;
  boutons.monocoup = coche;
  if (g.ModeSynchro == S_seuil && liaison_.SynchroMonocoupPermis &&
      g.ModeAcq == AcqTemps)
    reglage().programmeBalayage();
  if (!coche) {
    PremiereAcquisition = true;
    arme();
  } else {
    montreBoutons();
  }
}

bool TcontroleAcquisition::toucheEspace() {
  TgrapheVYK& g = graphe_;
  if (boutons.acquisitionVisible) {
    switch (g.ModeAcq) {
      case AcqTemps:
      case AcqUnMega:
        if (synchroUtilisateur(g.ModeSynchro)) EnregistreBtnClick();
        return true;
      case AcqPoint:
      case AcqPivane:
      case AcqCardiaque:
      case AcqFiltre:
        EnregistreBtnClick();
        return true;
      case AcqClavier:
      case AcqSortieAna:
        return false;
    }
    return false;
  }
  if (boutons.razVisible) {
    ResetBtnClick(true);
    return true;
  }
  if (boutons.stopVisible) {
    StopBtnClick(true);
    return true;
  }
  return false;
}

void TcontroleAcquisition::arreteAcquisitionEnCours() {
  if (etatAcq == eaAttenteResul) suspend();
  timer(false);
}

// ---------------------------------------------------------------------------
// Suspending and resuming

void TcontroleAcquisition::suspend() {
  TgrapheVYK& g = graphe_;
  sauveTimer = vue_.timerActif();
  timer(false);
  boutons.spinDureeActif = false;
  boutons.spinNombreActif = false;
  flux_.desarme();
  if (crochets.arreteBouge) crochets.arreteBouge();
  const bool enCours = etatAcq == eaAttenteResul;
  if (g.ModeAcq == AcqTemps && enCours) {
    liaison_.arreteEtVide();
    etatAcq = eaTerminee;
    boutons.dureeVisible = false;
    boutons.repereActif = false;
  } else if (g.ModeAcq == AcqCardiaque && CardiaqueEnCours) {
    liaison_.ecritBrixo(commandes::WSDEF);
    CardiaqueEnCours = false;
  } else if (g.ModeAcq == AcqUnMega && enCours) {
    liaison_.arreteEtVide();
    etatAcq = eaTerminee;
  }
  montreBoutons();
}

void TcontroleAcquisition::DebutLectureParametres() {
  if (suspensions_++ == 0) suspend();
}

void TcontroleAcquisition::FinLectureParametres() {
  if (suspensions_ == 0 || --suspensions_ > 0) return;
  timer(sauveTimer);
  boutons.spinDureeActif = true;
  boutons.spinNombreActif = true;
  boutons.repereVisible =
      graphe_.ModeAcq == AcqTemps && graphe_.baseDeTemps->DureeBalayage() > 10;
  montreBoutons();
  vue_.redessine();
  if (boutons.razVisible) ResetBtnClick(false);
  else arme();
}

// ---------------------------------------------------------------------------
// "Balayage" edits

void TcontroleAcquisition::apresEdition(bool lu) {
  TgrapheVYK& g = graphe_;
  if (lu && g.ModeAcq == AcqTemps && g.baseDeTemps->DureeBalayage() > 20 && !g.monocoup) {
    vue_.messageErreur(texteAcq::monocoupObligatoire);
    g.monocoup = true;
    boutons.monocoup = true;
  }
  boutons.repereVisible = g.ModeAcq == AcqTemps && g.baseDeTemps->DureeBalayage() > 10;
  PremiereAcquisition = true;
  vue_.appliquePanneaux(panneaux());
  FinLectureParametres();
}

bool TcontroleAcquisition::editeDuree(const std::string& texte) {
  DebutLectureParametres();
  const bool lu = reglage().editeDuree(texte, graphe_.ModeAcq == AcqCardiaque);
  if (!lu) reglage().afficheBase();
  apresEdition(lu);
  return lu;
}

bool TcontroleAcquisition::editeNombre(const std::string& texte) {
  DebutLectureParametres();
  const bool lu = reglage().editeNombre(texte);
  if (!lu) reglage().afficheBase();
  apresEdition(lu);
  return lu;
}

bool TcontroleAcquisition::editePeriode(const std::string& texte) {
  DebutLectureParametres();
  const bool lu = reglage().editePeriode(texte);
  if (!lu) reglage().afficheBase();
  apresEdition(lu);
  return lu;
}

bool TcontroleAcquisition::editeFrequence(const std::string& texte) {
  DebutLectureParametres();
  const bool lu = reglage().editeFrequence(texte);
  if (!lu) reglage().afficheBase();
  apresEdition(lu);
  return lu;
}

void TcontroleAcquisition::spinDuree(bool haut) {
  DebutLectureParametres();
  reglage().spinDuree(haut);
  apresEdition(true);
}

void TcontroleAcquisition::spinNombre(bool haut) {
  DebutLectureParametres();
  reglage().spinNombre(haut);
  apresEdition(true);
}

void TcontroleAcquisition::spinPeriode(bool allonge) {
  DebutLectureParametres();
  reglage().spinPeriode(allonge);
  apresEdition(true);
}
