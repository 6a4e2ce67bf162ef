// An acquisition set of twelve plain channels and an acquisition control
// that records what the decoders hand over.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "core/channels/model/voie.h"
#include "core/link/flux/cible_flux.h"
#include "core/link/flux/flux.h"

struct CibleTest : ICibleFlux {
  std::array<std::unique_ptr<Tvoie>, 13> voies;
  std::int32_t NbreCourant = 0;
  std::int32_t NbreInter = 256;
  std::int32_t NbreVoie = 1;
  TVecteur vecteurTemps;
  ParametresMega mega;
  bool brulon = false;
  bool AttenteDeltat = false;
  bool chute = false;
  double duree = 15;

  CibleTest() {
    for (int i = 1; i <= 12; ++i) voies[std::size_t(i)] = std::make_unique<Tvoie>(i);
  }
  Tvoie& voie(int i) { return *voies[std::size_t(i)]; }
  // Only the given analog inputs (slotsActifs 6..10) active.
  void actives(const std::vector<int>& slotsActifs) {
    for (int s = 6; s <= 10; ++s) voie(s).active = false;
    for (int s : slotsActifs) voie(s).active = true;
    NbreVoie = std::int32_t(slotsActifs.size());
  }

  Tvoie* voieFlux(int i) override { return i >= 1 && i <= 12 ? voies[std::size_t(i)].get() : nullptr; }
  std::int32_t& refNbreCourant() override { return NbreCourant; }
  std::int32_t lireNbreInter() const override { return NbreInter; }
  std::int32_t lireNbreVoie() const override { return NbreVoie; }
  TVecteur& refVecteurTemps() override { return vecteurTemps; }
  ParametresMega lireParametresMega() const override { return mega; }
  bool synchroBrulon() const override { return brulon; }
  bool& refAttenteDeltat() override { return AttenteDeltat; }
  bool lireChute() const override { return chute; }
  double lireDureeBalayage() const override { return duree; }
};

struct ControleTest : IControleFlux {
  TetatAcq etatAcq = eaAttenteResul;
  bool premiere = false;
  double horloge = 100;  // seconds
  double debutAcquisition = 0;
  int timerAssure = 0;
  std::vector<int> periodesTimer;
  std::vector<int> labels;
  std::vector<std::string> erreurs;
  int relancesBalayage = 0;
  std::vector<bool> erreurBrulon;
  int unPointSur = 1;
  int pointsPoincare = 0;
  int relancesOrdre = 0;
  int relancesCardiaque = 0;

  TetatAcq lireEtatAcq() const override { return etatAcq; }
  void fixeEtatAcq(TetatAcq e) override { etatAcq = e; }
  bool premiereAcquisition() const override { return premiere; }
  double maintenant() override { return horloge; }
  double secondesDepuisDebutAcquisition() override { return horloge - debutAcquisition; }
  void razDebutAcquisition() override { debutAcquisition = horloge; }
  void assureTimerAcquisition() override { ++timerAssure; }
  void relanceTimerAcquisition(int ms) override { periodesTimer.push_back(ms); }
  void afficheValeurVoie(int i) override { labels.push_back(i); }
  void afficheErreur(const std::string& m) override { erreurs.push_back(m); }
  void relanceBalayage() override { ++relancesBalayage; }
  void montreErreurBrulon(bool v) override { erreurBrulon.push_back(v); }
  int lireUnPointSur() const override { return unPointSur; }
  void enregistrePointPoincare() override { ++pointsPoincare; }
  void relanceOrdreR() override { ++relancesOrdre; }
  void relanceComptageCardiaque() override { ++relancesCardiaque; }
};

// Little-endian bytes of a list of 16-bit values.
inline std::vector<std::uint8_t> octets16(const std::vector<int>& valeurs) {
  std::vector<std::uint8_t> o;
  for (int v : valeurs) {
    o.push_back(std::uint8_t(v & 0xFF));
    o.push_back(std::uint8_t((v >> 8) & 0xFF));
  }
  return o;
}

inline void ajoute32(std::vector<std::uint8_t>& o, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) o.push_back(std::uint8_t(v >> (8 * i)));
}
