// Sweeps of the simulated interface: triggers found in the signal models,
// values streamed as their sampling instants pass.
#include <algorithm>
#include <cmath>

#include "sim/emulator/emulateur.h"

namespace sim {

namespace {

constexpr double infini = std::numeric_limits<double>::infinity();
// Edges are looked for this finely, and no further than this many steps.
constexpr double pasFrontMs = 0.01;
constexpr long pasMaxRecherche = 1000000;
constexpr double horizonRechercheMs = 60000.0;

}  // namespace

double Emulateur::chercheDeclenchement(const Lancement& l, double periodeMs, double tMs) const {
  switch (l.genre) {
    case Declenchement::immediat:
      return tMs;
    case Declenchement::front: {
      const int f = std::clamp(l.front, 0, nombreEntreesFront - 1);
      const ModeleSignal& m = etat_.entreesFront[static_cast<std::size_t>(f)];
      const bool montant = etat_.frontMontant[static_cast<std::size_t>(f)];
      bool avant = m.volts(tMs) >= niveauTTL;
      for (long k = 1; k <= pasMaxRecherche; ++k) {
        const double t = tMs + static_cast<double>(k) * pasFrontMs;
        const bool haut = m.volts(t) >= niveauTTL;
        if (haut != avant && haut == montant) return t;
        avant = haut;
      }
      return infini;
    }
    case Declenchement::seuil: {
      const EntreeAnalogique& e = etat_.entrees[11];
      const double s = voltsSeuil(l.seuil);
      const double pas = std::max(periodeMs, pasFrontMs);
      const long n = std::min(pasMaxRecherche, static_cast<long>(horizonRechercheMs / pas));
      double avant = voltsDeCode(e.codeA(tMs));
      for (long k = 1; k <= n; ++k) {
        const double t = tMs + static_cast<double>(k) * pas;
        const double v = voltsDeCode(e.codeA(t));
        if (l.montant ? (avant < s && v >= s) : (avant > s && v <= s)) return t;
        avant = v;
      }
      return infini;
    }
  }
  return infini;
}

void Emulateur::lance(const Lancement& l) {
  arreteBalayage();
  if (!etat_.programmation) return;
  Balayage b;
  b.prog = *etat_.programmation;
  b.pre = std::clamp(l.pre, 0L, 65535L);
  b.tDeclenchement = chercheDeclenchement(l, b.periodeMs(), maintenant_);
  if (!std::isfinite(b.tDeclenchement)) {
    etat_.enAttenteDeclenchement = true;
    return;
  }
  etat_.dernierBalayage = b;
  if (!l.flux) {
    etat_.enregistrement = b;
    etat_.finEnregistrement = infini;
    return;
  }
  etat_.balayageEnCours = b;
  const long n = static_cast<long>(b.prog.entrees.size());
  Flux f;
  f.total = b.points() * n;
  f.valeur = [this, b, n](long i) {
    const long point = i / n;
    const int j = static_cast<int>(i % n);
    const auto entree = static_cast<std::size_t>(b.prog.entrees[static_cast<std::size_t>(j)]);
    return etat_.entrees[entree].codeA(b.instant(point, j));
  };
  // Points kept before the trigger leave as soon as it is seen.
  f.instant = [b, n](long i) {
    const long point = i / n;
    const int j = static_cast<int>(i % n);
    return point < b.pre ? b.tDeclenchement : b.instant(point, j);
  };
  f.fin = [this] {
    etat_.balayageEnCours.reset();
    ++etat_.balayagesEmis;
  };
  flux_ = std::move(f);
}

void Emulateur::lanceMega(int seuil, bool montant, int nEntrees, int nbBlocs, int freqMega) {
  arreteBalayage();
  const long V = std::clamp(nEntrees, 1, 2);
  const long F = std::clamp(freqMega, 1, 2);
  const long L = F * V * 10;
  const long B = std::max(nbBlocs, 1);
  const long points = std::min(B * L, 60000L);
  const double periodeMs = 0.001 / static_cast<double>(F);
  Lancement l;
  l.genre = Declenchement::seuil;
  l.seuil = seuil;
  l.montant = montant;
  const double t0 = chercheDeclenchement(l, periodeMs, maintenant_);
  if (!std::isfinite(t0)) {
    etat_.enAttenteDeclenchement = true;
    return;
  }
  Balayage b;
  b.prog.nbreEntrees = static_cast<int>(V);
  b.prog.pointsApres = points;
  b.prog.entrees = V == 2 ? std::vector<int>{11, 10} : std::vector<int>{11};
  b.tDeclenchement = t0;
  etat_.balayageEnCours = b;
  etat_.dernierBalayage = b;
  Flux f;
  f.total = points * V;
  // Blocks interleaved: the first value of every block (of both inputs),
  // then the second, ...; the second input runs 10 x F samples ahead.
  f.valeur = [this, t0, periodeMs, V, F, L, B](long n) {
    const long j = n / (B * V);
    const long r = n % (B * V);
    long d = j + (r / V) * L;
    std::size_t entree = 11;
    if (V == 2 && n % 2 == 1) {
      d = (d + 10 * F) % 60000;
      entree = 10;
    }
    return etat_.entrees[entree].codeA(t0 + static_cast<double>(d) * periodeMs);
  };
  const double finMs = t0 + static_cast<double>(points) * periodeMs;
  f.instant = [finMs](long) { return finMs; };
  f.fin = [this] {
    etat_.balayageEnCours.reset();
    ++etat_.balayagesEmis;
  };
  flux_ = std::move(f);
}

void Emulateur::arreteBalayage() {
  flux_.reset();
  etat_.balayageEnCours.reset();
  etat_.enAttenteDeclenchement = false;
  if (etat_.enregistrement && !std::isfinite(etat_.finEnregistrement)) etat_.finEnregistrement = maintenant_;
}

void Emulateur::envoieEnregistrement(long n) {
  flux_.reset();
  etat_.balayageEnCours.reset();
  if (!etat_.enregistrement || n <= 0) return;
  const Balayage b = *etat_.enregistrement;
  const long nE = static_cast<long>(b.prog.entrees.size());
  if (nE == 0) return;
  // Only what was recorded by now (or by the stop) exists.
  const double limite = std::min(maintenant_, etat_.finEnregistrement);
  long points = 0;
  if (limite >= b.tDeclenchement) {
    points = static_cast<long>(std::floor((limite - b.tDeclenchement) / b.periodeMs())) + 1;
    if (b.instant(points - 1, static_cast<int>(nE) - 1) > limite) --points;
  }
  points = std::clamp(points, 0L, b.points());
  Flux f;
  f.total = std::min(n, points * nE);
  f.valeur = [this, b, nE](long i) {
    const auto entree = static_cast<std::size_t>(b.prog.entrees[static_cast<std::size_t>(i % nE)]);
    return etat_.entrees[entree].codeA(b.instant(i / nE, static_cast<int>(i % nE)));
  };
  const double t = maintenant_;
  f.instant = [t](long) { return t; };
  f.fin = [] {};
  if (f.total > 0) flux_ = std::move(f);
}

void Emulateur::genere(double tMs, std::size_t max) {
  if (!flux_ || !branche_) return;
  const double d = config_.debitReel ? dureeOctetMs() : 0.0;
  while (flux_ && flux_->suivant < flux_->total && sortie_.size() < max + 2) {
    const double t = flux_->instant(flux_->suivant);
    if (t > tMs) break;
    // A silent interface still runs its sweep; nothing reaches the line.
    if (!pannes_.silencieux) {
      const auto u = static_cast<std::uint16_t>(flux_->valeur(flux_->suivant));
      double depart = t;
      if (!sortie_.empty()) depart = std::max(depart, sortie_.back().first);
      sortie_.emplace_back(depart + d, static_cast<std::uint8_t>(u & 0xFF));
      sortie_.emplace_back(depart + 2 * d, static_cast<std::uint8_t>(u >> 8));
    }
    if (++flux_->suivant >= flux_->total) {
      auto fin = std::move(flux_->fin);
      flux_.reset();
      if (fin) fin();
    }
  }
}

}  // namespace sim
