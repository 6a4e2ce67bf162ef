// Random streams into the result-stream dispatcher in every state, with
// counts and block layouts the stream must not be trusted with. Any write
// past a sample vector throws and is reported.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "core/channels/model/voie.h"
#include "core/link/flux/flux.h"

namespace {

struct Cible : ICibleFlux {
  std::array<std::unique_ptr<Tvoie>, 13> voies;
  std::int32_t NbreCourant = 0;
  std::int32_t NbreInter = 256;
  std::int32_t NbreVoie = 1;
  TVecteur vecteurTemps;
  ParametresMega mega;
  bool brulon = false;
  bool AttenteDeltat = false;
  bool chute = false;
  Cible() {
    for (int i = 1; i <= 12; ++i) voies[std::size_t(i)] = std::make_unique<Tvoie>(i);
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
  double lireDureeBalayage() const override { return 1e9; }
};

struct Controle : IControleFlux {
  TetatAcq etatAcq = eaAttenteResul;
  double horloge = 0;
  TetatAcq lireEtatAcq() const override { return etatAcq; }
  void fixeEtatAcq(TetatAcq e) override { etatAcq = e; }
  bool premiereAcquisition() const override { return true; }
  double maintenant() override { return horloge; }
  double secondesDepuisDebutAcquisition() override { return horloge += 0.001; }
  void razDebutAcquisition() override {}
  void assureTimerAcquisition() override {}
  void relanceTimerAcquisition(int) override {}
  void afficheValeurVoie(int) override {}
  void afficheErreur(const std::string&) override {}
  void relanceBalayage() override {}
  void montreErreurBrulon(bool) override {}
  int lireUnPointSur() const override { return 3; }
  void enregistrePointPoincare() override {}
  void relanceOrdreR() override {}
  void relanceComptageCardiaque() override {}
};

struct Pux : ISourcePux {
  const std::uint8_t* d = nullptr;
  std::size_t n = 0;
  std::size_t lit(std::uint8_t* dest, std::size_t max) override {
    const std::size_t k = max < n ? max : n;
    for (std::size_t i = 0; i < k; ++i) dest[i] = d[i];
    d += k;
    n -= k;
    return k;
  }
  void relanceReception(int) override {}
};

constexpr std::int32_t nbresInter[8] = {1, 2, 256, 60000, 60001, 70000, 0, -5};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  static Cible cible;
  static Controle controle;
  cible.NbreCourant = 0;
  controle.etatAcq = eaAttenteResul;
  TfluxResultats flux(cible, controle);
  Pux pux;
  flux.sourcePux = &pux;

  const auto etat = TetatAvail(data[0] % 7);
  const std::uint8_t c = data[1];
  for (int s = 6; s <= 10; ++s) cible.voies[std::size_t(s)]->active = (data[2] >> (s - 6)) & 1;
  cible.NbreVoie = 1 + (data[2] >> 5) % 3;
  cible.NbreInter = nbresInter[c & 7];
  cible.chute = c & 8;
  cible.brulon = c & 16;
  cible.AttenteDeltat = c & 32;
  flux.PuxActif = c & 64;
  const int f = 1 + (data[3] & 1);
  cible.mega = {f * cible.NbreVoie * 10 * ((data[3] & 2) ? 1 : 7), 1 + data[3] / 4, f};
  flux.arme(etat);

  // The rest arrives in pieces, from the port or the PUX II driver; a 0xA5
  // piece length re-arms, as a new launch would.
  std::size_t i = 4;
  while (i < size) {
    const std::size_t k = std::min<std::size_t>(size - i, 1 + data[i] % 64);
    if (data[i] == 0xA5) flux.arme(etat);
    if (flux.PuxActif && (data[i] & 1)) {
      pux.d = data + i;
      pux.n = k;
      flux.TriggerAvailBinPux(int(k));
    } else {
      flux.TriggerAvailBin(data + i, k);
    }
    i += k;
    if (cible.NbreCourant > 60000) std::abort();
  }
  return 0;
}
