// Decoding of a full time sweep as it arrives: five inputs of 12000 points,
// 120000 bytes, through the dispatcher into the channels' raw codes.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/channels/model/voie.h"
#include "core/link/flux/flux.h"

namespace {

struct CibleBanc : ICibleFlux {
  std::array<std::unique_ptr<Tvoie>, 13> voies;
  std::int32_t NbreCourant = 0;
  TVecteur vecteurTemps;
  bool attente = false;
  CibleBanc() {
    for (int i = 1; i <= 12; ++i) voies[std::size_t(i)] = std::make_unique<Tvoie>(i);
    for (int s = 6; s <= 10; ++s) voies[std::size_t(s)]->active = true;
  }
  Tvoie* voieFlux(int i) override { return i >= 1 && i <= 12 ? voies[std::size_t(i)].get() : nullptr; }
  std::int32_t& refNbreCourant() override { return NbreCourant; }
  std::int32_t lireNbreInter() const override { return 12000; }
  std::int32_t lireNbreVoie() const override { return 5; }
  TVecteur& refVecteurTemps() override { return vecteurTemps; }
  ParametresMega lireParametresMega() const override { return {}; }
  bool synchroBrulon() const override { return false; }
  bool& refAttenteDeltat() override { return attente; }
  bool lireChute() const override { return false; }
  double lireDureeBalayage() const override { return 1; }
};

struct ControleBanc : IControleFlux {
  TetatAcq etat = eaAttenteResul;
  TetatAcq lireEtatAcq() const override { return etat; }
  void fixeEtatAcq(TetatAcq e) override { etat = e; }
  bool premiereAcquisition() const override { return false; }
  double maintenant() override { return 0; }
  double secondesDepuisDebutAcquisition() override { return 0; }
  void razDebutAcquisition() override {}
  void assureTimerAcquisition() override {}
  void relanceTimerAcquisition(int) override {}
  void afficheValeurVoie(int) override {}
  void afficheErreur(const std::string&) override {}
  void relanceBalayage() override {}
  void montreErreurBrulon(bool) override {}
  int lireUnPointSur() const override { return 1; }
  void enregistrePointPoincare() override {}
  void relanceOrdreR() override {}
  void relanceComptageCardiaque() override {}
};

void BM_Decode(benchmark::State& state) {
  CibleBanc cible;
  ControleBanc controle;
  TfluxResultats flux(cible, controle);
  std::vector<std::uint8_t> octets(120000);
  for (std::size_t i = 0; i < octets.size(); ++i) octets[i] = std::uint8_t(i * 131 + 7);
  // The port hands the bytes over in reads of at most 512.
  const std::size_t morceau = 512;
  for (auto _ : state) {
    flux.arme(eaResul);
    for (std::size_t i = 0; i < octets.size(); i += morceau) {
      flux.TriggerAvailBin(octets.data() + i, std::min(morceau, octets.size() - i));
    }
    if (cible.NbreCourant != 12000) state.SkipWithError("sweep not complete");
    benchmark::DoNotOptimize(cible.voies[10]->vecteurCourant.donnees());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t(octets.size()));
}
BENCHMARK(BM_Decode)->Unit(benchmark::kMicrosecond);

}  // namespace
