// Test bench of the acquisition control: the state machine on the real link
// and acquisition set, the simulated interface in simulated time, and a
// window that records what it is told. Its acquisition timer is a source of
// the simulated clock, so ticks come exactly as a running timer gives them.
#pragma once

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "core/acquisition/controle/controle.h"
#include "core/link/liaison.h"
#include "core/link/vue_liaison.h"
#include "sim/emulator/emulateur.h"
#include "sim/transport/horloge_simulee.h"
#include "sim/transport/port_emule.h"

struct VueLiaisonMuette : IVueLiaison {
  void afficheStatut(int, const std::string&) override {}
  void afficheBrixoAbsent(bool) override {}
  void curseurSablier(bool) override {}
  void messageErreur(const std::string&) override {}
  bool questionOuiNon(const std::string&) override { return true; }
  ReponseRappel rappelMiseAJourRom(const std::string&) override { return ReponseRappel::ok; }
  void commandesSansInterface() override {}
  void boutonReconVisible(bool) override {}
  void chargeConfigurationEnAttente() override {}
  void ouvreMiseAJourRom() override {}
  void progressionMiseAJourRom(int) override {}
  void messageMiseAJourRom(const std::string&, const std::string&) override {}
  bool arretMiseAJourDemande() override { return false; }
  void fermeMiseAJourRom() override {}
};

struct VueAcq : IVueAcquisition {
  explicit VueAcq(sim::HorlogeSimulee& h) : horloge(h) {}
  sim::HorlogeSimulee& horloge;
  std::string statut[2];
  std::vector<std::string> statuts0;
  TboutonsAcq boutons;
  TpanneauxAcq panneaux;
  bool timerOn = false;
  int periode = 250;
  double prochainTick = std::numeric_limits<double>::infinity();
  int valeurProgression = -1, maxProgression = -1;
  std::string duree;
  int redessins = 0, traces = 0, valeurs = 0;
  std::vector<std::string> erreurs, questions;
  bool reponse = false;
  std::vector<int> messages;

  void afficheStatut(int p, const std::string& t) override {
    statut[p] = t;
    if (p == 0) statuts0.push_back(t);
  }
  void appliqueBoutons(const TboutonsAcq& b) override { boutons = b; }
  void appliquePanneaux(const TpanneauxAcq& p) override { panneaux = p; }
  void timer(bool actif) override {
    if (actif && !timerOn) prochainTick = horloge.maintenantMs() + periode;
    timerOn = actif;
  }
  bool timerActif() override { return timerOn; }
  void periodeTimer(int ms) override { periode = ms; }
  void progression(int v, int m) override {
    valeurProgression = v;
    maxProgression = m;
  }
  void dureeEcoulee(const std::string& t) override { duree = t; }
  void redessine() override { ++redessins; }
  void traceNouveauxPoints() override { ++traces; }
  void afficheValeurs() override { ++valeurs; }
  void messageErreur(const std::string& t) override { erreurs.push_back(t); }
  bool questionOuiNon(const std::string& t) override {
    questions.push_back(t);
    return reponse;
  }
  void posteMessage(int m) override { messages.push_back(m); }
};

struct BancAcquisition {
  sim::HorlogeSimulee horloge;
  sim::PortEmule port{horloge};
  VueLiaisonMuette vueLiaison;
  TLiaison liaison{port, horloge, vueLiaison};
  sim::Emulateur emulateur;
  std::vector<std::string> commandes;
  TgrapheVYK graphe;
  VueAcq vue{horloge};
  std::unique_ptr<TcontroleAcquisition> controle;
  int ticks = 0;

  explicit BancAcquisition(sim::ConfigEmulateur config = {}) : emulateur(std::move(config)) {
    emulateur.setJournal([this](double, const std::string& l) { commandes.push_back(l); });
    port.branche(1, emulateur);
    liaison.indexVitesse = 1;
    liaison.detecteInterface();
    liaison.ecritBrixo("WBIN");
    controle = std::make_unique<TcontroleAcquisition>(graphe, liaison, horloge, vue);
    horloge.ajouteSource({[this] { return vue.timerOn ? vue.prochainTick : HUGE_VAL; },
                          [this](double t) {
                            if (!vue.timerOn || t < vue.prochainTick) return;
                            vue.prochainTick = t + vue.periode;
                            ++ticks;
                            controle->TimerTimer();
                          }});
    commandes.clear();
  }

  double maintenant() { return horloge.maintenantMs(); }
  // Runs simulated time until the condition holds; false after maxMs.
  bool jusqua(const std::function<bool()>& condition, double maxMs = 60000) {
    const double fin = horloge.maintenantMs() + maxMs;
    while (!condition()) {
      if (horloge.maintenantMs() >= fin) return false;
      horloge.pompe(std::min(5.0, fin - horloge.maintenantMs()));
    }
    return true;
  }
  int compte(const std::string& ligne) const {
    int n = 0;
    for (const auto& c : commandes) n += c == ligne;
    return n;
  }
  int commencePar(const std::string& debut) const {
    int n = 0;
    for (const auto& c : commandes) n += c.rfind(debut, 0) == 0;
    return n;
  }
  long indexDe(const std::string& ligne, long depuis = 0) const {
    for (long i = depuis; i < long(commandes.size()); ++i)
      if (commandes[std::size_t(i)] == ligne) return i;
    return -1;
  }
  TetatAcq etat() const { return controle->etatAcq; }
};
