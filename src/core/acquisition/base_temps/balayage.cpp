#include "core/acquisition/base_temps/balayage.h"

#include <algorithm>
#include <cmath>

#include "core/acquisition/base_temps/arrondis.h"
#include "core/channels/numbers/nombres.h"
#include "core/channels/units/unite.h"

namespace {

// Point counts handed to fixeNbreInter stay within 32 bits; the set clamps
// them further.
std::int32_t borneCompte(std::int64_t n) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(n, 0, 1 << 30));
}

bool dureeLisible(double d) { return d != valeurAbsente && std::isfinite(d) && d > 0; }

}  // namespace

TreglageBalayage::TreglageBalayage(IensembleBalayage& ensemble, TbaseDeTemps& base,
                                   const IsourceLancement& source)
    : Fensemble(ensemble), Fbase(base), Fsource(source) {}

void TreglageBalayage::ajusteBase(int genre) {
  Fensemble.verifieSynchroEtCompte();
  const TModeAcq mode = Fensemble.modeAcquisition();
  if (mode == AcqCardiaque) {
    Fbase.Deltat = 0.5;
    return;
  }
  if (mode != AcqTemps) return;
  const double duree = Fbase.DureeBalayage();
  if (duree <= 3600) {
    double dt = duree / std::max(1, Fensemble.nbreInter());
    dt = std::min(dt, 3600.0);
    dt = std::max(dt, Fensemble.nbreVoie() * 1e-5);
    dt = static_cast<double>(balayage::quotientArrondi(dt, 1e-5)) / 1e5;
    Fbase.Deltat = dt;
    if (genre == 2) {
      Fbase.fixeDureeBalayage(Fensemble.nbreInter() * Fbase.Deltat);
      return;
    }
    if (genre != 0 && genre != 4) return;
  }
  Fensemble.fixeNbreInter(borneCompte(balayage::quotientTronque(duree, Fbase.Deltat)));
}

void TreglageBalayage::programmeBalayage() {
  const TperiodeBalayage p = periodeBalayage(Fbase.Deltat, PuxActif);
  Fbase.Deltat = p.deltat();
  Fensemble.fixeCoeffInterp(1.0 / static_cast<double>((p.baseUs / 10) * p.multiplicateur));
  const std::vector<int> entrees = Fensemble.entreesActives();
  const std::int32_t n = Fensemble.nbreInter();
  const std::int32_t avant = Fbase.comptePreAcq();
  OrdreProgramme = ordreProgramme(n, avant, p, entrees);
  TparametresLancement l = Fsource.parametresLancement();
  l.monocoupPermis = SynchroMonocoupPermis;
  l.pux = PuxActif;
  l.pointsAvant = avant;
  l.nbreInter = n;
  l.nbreVoie = static_cast<int>(entrees.size());
  const TordresLancement o = ordresLancement(l);
  ordreLanceR = o.lanceR;
  ordreLance = o.lance;
  ordreResultats = o.resultats;
  Fbase.fixeDureeBalayage(n * Fbase.Deltat);
}

TaffichageBase TreglageBalayage::afficheBase() {
  TaffichageBase a;
  const TModeAcq mode = Fensemble.modeAcquisition();
  const Tunite hertz("Hz");
  auto textesIntervalle = [&] {
    a.periode = formatDuree(Fbase.Deltat);
    a.frequence = Fbase.Deltat > 0 ? hertz.formatUnite(1 / Fbase.Deltat) : std::string();
  };
  if (mode == AcqTemps) {
    programmeBalayage();
    textesIntervalle();
  } else if (mode == AcqUnMega) {
    const int f = Fensemble.freqMega();
    a.periode = std::string(f == 2 ? "0.5" : "1") + " \u00b5s";
    a.frequence = std::to_string(f) + " MHz";
    Fensemble.fixeNbreInter(Fensemble.nbreInter());
  } else if (mode == AcqCardiaque) {
    Fbase.Deltat = std::max(Fbase.Deltat, 0.5);
    Fensemble.fixeNbreInter(
        borneCompte(balayage::quotientArrondi(Fbase.DureeBalayage(), Fbase.Deltat)));
    textesIntervalle();
  } else {
    textesIntervalle();
  }
  a.nombre = std::to_string(Fensemble.nbreInter());
  a.duree = formatDuree(Fbase.DureeBalayage());
  Fbase.remplitTemps();
  a.maxProgression = Fensemble.nbreInter();
  a.repereVisible = Fbase.DureeBalayage() > 10;
  Faffichage = a;
  return a;
}

void TreglageBalayage::appliqueConfiguration(double duree, std::int32_t nombre) {
  Fbase.fixeDureeBalayage(duree);
  Fensemble.fixeNbreInter(nombre);
  if (Fensemble.modeAcquisition() == AcqUnMega)
    Fbase.Deltat = 1e-6 / std::max(1, Fensemble.freqMega());
  else
    Fbase.Deltat = Fbase.DureeBalayage() / std::max(1, Fensemble.nbreInter());
  ajusteBase(0);
}

// --- mode steps -------------------------------------------------------------

void TreglageBalayage::dureeChangee() {
  switch (Fensemble.modeAcquisition()) {
    case AcqTemps:
      ajusteBase(0);
      Fensemble.fixeNbreInter(
          borneCompte(balayage::quotientArrondi(Fbase.DureeBalayage(), Fbase.Deltat)));
      Fbase.Deltat = Fbase.DureeBalayage() / std::max(1, Fensemble.nbreInter());
      break;
    case AcqUnMega: {
      const int f = std::max(1, Fensemble.freqMega());
      Fbase.fixeDureeBalayage(
          std::clamp(Fbase.DureeBalayage(), 5e-5, arrondi125(0.06 / f)));
      Fbase.Deltat = 1e-6 / f;
      Fensemble.fixeNbreInter(
          borneCompte(balayage::quotientArrondi(Fbase.DureeBalayage(), Fbase.Deltat)));
      break;
    }
    case AcqCardiaque:
      if (Fbase.DureeBalayage() < 15) Fbase.fixeDureeBalayage(15);
      break;
    default:
      break;
  }
  afficheBase();
}

void TreglageBalayage::nombreChange() {
  const TModeAcq mode = Fensemble.modeAcquisition();
  if (mode == AcqTemps || mode == AcqCardiaque) {
    Fbase.Deltat = Fbase.DureeBalayage() / std::max(1, Fensemble.nbreInter());
    ajusteBase(2);
  } else if (mode == AcqUnMega) {
    Fbase.fixeDureeBalayage(Fensemble.nbreInter() * 1e-6 / std::max(1, Fensemble.freqMega()));
  }
  afficheBase();
}

void TreglageBalayage::intervalleChange() {
  if (Fensemble.modeAcquisition() != AcqTemps) return;
  auto recompte = [&] {
    Fensemble.fixeNbreInter(
        borneCompte(balayage::quotientArrondi(Fbase.DureeBalayage(), Fbase.Deltat)));
  };
  recompte();
  ajusteBase(1);
  recompte();
  Fbase.Deltat = Fbase.DureeBalayage() / std::max(1, Fensemble.nbreInter());
  afficheBase();
}

// --- edits and spin buttons ---------------------------------------------------

bool TreglageBalayage::editeDuree(const std::string& texte, bool groupeCardiaque) {
  const double d = lireDuree(texte);
  if (!dureeLisible(d)) return false;
  Fbase.fixeDureeBalayage(d);
  if (!groupeCardiaque)
    Fensemble.fixeNbreInter(
        borneCompte(balayage::quotientArrondi(Fbase.DureeBalayage(), Fbase.Deltat)));
  dureeChangee();
  return true;
}

void TreglageBalayage::spinDuree(bool haut) {
  const double d = Fbase.DureeBalayage();
  Fbase.fixeDureeBalayage(arrondi125(haut ? d * 2.15 : d / 2.15));
  Fensemble.fixeNbreInter(
      borneCompte(balayage::quotientArrondi(Fbase.DureeBalayage(), Fbase.Deltat)));
  dureeChangee();
}

bool TreglageBalayage::editeNombre(const std::string& texte) {
  std::int32_t n;
  std::string t = texte;
  enleveBlancs(t);
  if (!essaieTexteVersEntier(t, n)) return false;
  Fensemble.fixeNbreInter(n);
  nombreChange();
  return true;
}

void TreglageBalayage::spinNombre(bool haut) {
  const std::int32_t n = Fensemble.nbreInter();
  Fensemble.fixeNbreInter(haut ? borneCompte(std::int64_t(n) * 2) : n / 2);
  nombreChange();
}

bool TreglageBalayage::editePeriode(const std::string& texte) {
  const double d = lireDuree(texte);
  if (!dureeLisible(d)) return false;
  if (arreteCalculSortie) arreteCalculSortie();
  Fbase.Deltat = d;
  intervalleChange();
  return true;
}

bool TreglageBalayage::editeFrequence(const std::string& texte) {
  const double f = lireFrequence(texte);
  if (f == valeurAbsente || !(f > 0) || !std::isfinite(1 / f)) return false;
  if (arreteCalculSortie) arreteCalculSortie();
  Fbase.Deltat = 1 / f;
  intervalleChange();
  return true;
}

void TreglageBalayage::spinPeriode(bool allonge) {
  const TModeAcq mode = Fensemble.modeAcquisition();
  if (mode == AcqTemps) {
    const double dt = arrondi125(allonge ? Fbase.Deltat * 2.15 : Fbase.Deltat / 2.15);
    if (dt > 0) Fbase.Deltat = dt;
    intervalleChange();
    return;
  }
  if (mode != AcqUnMega) return;
  const int f = Fensemble.freqMega();
  if (!allonge && f == 1) {
    Fensemble.fixeFreqMega(2);
    Fbase.Deltat = 5e-7;
    Fensemble.fixeNbreInter(
        borneCompte(balayage::quotientArrondi(Fbase.DureeBalayage(), 5e-7)));
  } else if (allonge && f == 2) {
    Fensemble.fixeFreqMega(1);
    Fbase.Deltat = 1e-6;
    Fensemble.fixeNbreInter(
        borneCompte(balayage::quotientArrondi(Fbase.DureeBalayage(), 1e-6)));
  } else {
    return;
  }
  // The duration follows the rounded count before it is shown.
  Fbase.fixeDureeBalayage(Fensemble.nbreInter() * Fbase.Deltat);
  afficheBase();
}

// --- key filters ----------------------------------------------------------------

namespace {

bool commune(char32_t c) { return (c >= U'0' && c <= U'9') || c == 8 || c == 13; }

}  // namespace

char32_t filtreToucheDuree(char32_t c, bool editPeriode) {
  if (c == U',' || c == U'.') return static_cast<char32_t>(separateurDecimal());
  if (commune(c)) return c;
  switch (c) {
    case U'i':
    case U'm':
    case U'n':
    case U's':
    case U'\u00b5':
      return c;
    case U'+':
    case U'-':
    case U'E':
      return editPeriode ? c : 0;
    default:
      return 0;
  }
}

char32_t filtreToucheFrequence(char32_t c) {
  if (c == U',' || c == U'.') return static_cast<char32_t>(separateurDecimal());
  if (commune(c)) return c;
  switch (c) {
    case U'+':
    case U'-':
    case U'E':
    case U'H':
    case U'k':
    case U'z':
      return c;
    default:
      return 0;
  }
}

char32_t filtreToucheNombre(char32_t c) { return commune(c) ? c : 0; }

double lireFrequence(const std::string& texte) {
  std::string t;
  double facteur = 1;
  for (std::size_t i = 0; i < texte.size(); ++i) {
    const char c = texte[i];
    if (c == 'k') {
      facteur = 1000;
    } else if (c == 'H' && i + 1 < texte.size() && texte[i + 1] == 'z') {
      ++i;
    } else {
      t += c;
    }
  }
  enleveBlancs(t);
  const double v = lireNombre(t);
  if (v == valeurAbsente) return valeurAbsente;
  return v * facteur;
}
