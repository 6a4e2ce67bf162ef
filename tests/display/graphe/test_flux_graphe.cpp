// The result stream decoded straight into the acquisition set, then
// converted: what the acquisition control does at the end of a sweep.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/display/graphe/graphe.h"
#include "core/link/flux/flux.h"

namespace {

struct Controle : IControleFlux {
  TetatAcq etat = eaAttenteResul;
  TetatAcq lireEtatAcq() const override { return etat; }
  void fixeEtatAcq(TetatAcq e) override { etat = e; }
  bool premiereAcquisition() const override { return true; }
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

std::int16_t code(int slot, int i) { return std::int16_t(slot * 1000 - i * 7); }

TEST(FluxVersGraphe, BalayageCompletDeTroisEntrees) {
  TgrapheVYK g;
  g.voie(9)->active = true;  // slots 6, 7 and 9
  g.fixeNbreInter(300);
  g.CoeffInterp = 0;  // no interpolation: values are the plain conversions
  Controle controle;
  TfluxResultats flux(g, controle);
  flux.arme(eaResul);

  std::vector<std::uint8_t> octets;
  for (int i = 0; i < 300; ++i)
    for (int s : {6, 7, 9}) {
      const auto v = std::uint16_t(code(s, i));
      octets.push_back(std::uint8_t(v & 0xFF));
      octets.push_back(std::uint8_t(v >> 8));
    }
  octets.insert(octets.end(), {0x12, 0x34, 0x56});  // after the sweep: discarded
  flux.TriggerAvailBin(octets.data(), octets.size());

  EXPECT_EQ(g.NbreCourant, 300);
  EXPECT_EQ(controle.etat, eaMajResul);
  g.CourantVersAff();
  EXPECT_EQ(g.NbreAff, 300);
  for (int s : {6, 7, 9})
    for (int i : {0, 1, 150, 299})
      EXPECT_DOUBLE_EQ(g.voie(s)->vecteurAff[std::size_t(i)], g.voie(s)->ValeurReal(code(s, i)))
          << s << " " << i;
  EXPECT_EQ(g.voie(6)->vecteurCourant[300], 0);
}

}  // namespace
