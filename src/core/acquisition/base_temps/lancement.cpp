#include "core/acquisition/base_temps/lancement.h"

#include <algorithm>

#include "core/acquisition/base_temps/arrondis.h"
#include "core/link/commandes/commandes.h"

using namespace commandes;

TordresLancement ordresLancement(const TparametresLancement& p) {
  TordresLancement o;
  switch (p.mode) {
    case S_front:
      if (p.pointsAvant > 0) {
        o.lanceR = WFPREAC(p.pointsAvant, p.front);
      } else {
        o.lanceR = WGOF(p.front, true);
        o.lance = WGOF(p.front, false);
      }
      break;
    case S_seuil: {
      TseuilSynchro s;
      s.pux = p.pux;
      s.entreeSynchro = p.entreeSynchro;
      s.seuil = p.seuil;
      s.montant = p.montant;
      s.monocoupPermis = p.monocoupPermis;
      s.modeSeuil = p.modeSeuil;
      const TlancementSeuil l = lancementSeuil(s, p.pointsAvant);
      o.lanceR = l.lanceR;
      o.lance = l.lance;
      break;
    }
    case s_sodar:
      o.lanceR = WSODAR;
      o.lance = WSODAR;
      break;
    default:
      o.lanceR = WGO(true);
      o.lance = WGO(false);
      break;
  }
  if (p.mode == S_nerf) {
    const TstimulationNerf& n = p.nerf;
    o.lanceR = WGENEACQUI(n.sortie, n.niveau, n.nbrePulse, n.largeurPulse, n.distancePulse,
                          n.debutPulse, n.base32Micro);
    o.resultats = WRESUL(p.nbreInter * std::max(1, p.nbreVoie));
  } else if (p.mode == s_brulon) {
    o.lanceR = WBRULON(p.frontEcho, p.sortieEmetteur, true);
  }
  return o;
}

double TperiodeBalayage::deltat() const {
  // Whole units of 10 µs, divided once so that 781 units give 0.00781.
  return static_cast<double>((baseUs / 10) * multiplicateur) / 1e5;
}

long limiteBase(bool pux) { return pux ? 1300 : 3200; }

TperiodeBalayage periodeBalayage(double deltat, bool pux) {
  TperiodeBalayage p;
  long b = static_cast<long>(std::clamp<std::int64_t>(balayage::quotientTronque(deltat, 1e-5), 1,
                                                      1000000000));
  long c = 1;
  if (b > limiteBase(pux)) {
    b = 100;
    c = static_cast<long>(std::clamp<std::int64_t>(balayage::quotientArrondi(deltat, 1e-3), 1,
                                                   65535));
  }
  p.baseUs = b * 10;
  p.multiplicateur = c;
  return p;
}

std::string ordreProgramme(long nbreInter, long pointsAvant, const TperiodeBalayage& periode,
                           std::span<const int> entrees) {
  return WPE(nbreInter - pointsAvant, periode.baseUs, periode.multiplicateur, entrees);
}
