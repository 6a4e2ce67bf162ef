#include "core/display/graphe/graphe.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "core/acquisition/clavier/entree_clavier.h"
#include "core/channels/numbers/nombres.h"
#include "core/counters/frequence/brulon.h"
#include "core/counters/frequence/frequence.h"
#include "core/counters/pivane/pivane.h"
#include "core/formulas/voie_calculee/voie_calculee.h"
#include "core/link/commandes/commandes.h"
#include "core/outputs/pwm/sortie_pwm.h"
#include "core/outputs/sortie_analogique/sortie_analogique.h"

TgrapheVYK* grapheAcq = nullptr;

namespace {

constexpr int premiereEntree = 6;
constexpr int derniereEntree = 10;
constexpr int entreeSynchroVYK = 11;

template <class T, class... A>
T* cree(std::vector<std::unique_ptr<TCourbe>>& proprietaires, A&&... args) {
  auto p = std::make_unique<T>(std::forward<A>(args)...);
  T* brut = p.get();
  proprietaires.push_back(std::move(p));
  return brut;
}

std::int32_t bornePoints(std::int32_t n) {
  return std::clamp<std::int32_t>(n, 0, static_cast<std::int32_t>(tailleVecteur));
}

}  // namespace

TgrapheVYK::TgrapheVYK() : uniteVolt("V") {
  ListeRepere.clear();
  pivane = cree<Tpivane>(Fvoies);
  DeltaSpiro = 1.0;
  baseDeTemps = cree<TbaseDeTemps>(Fvoies, this);
  brulon = cree<Tbrulon>(Fvoies);
  frequence = cree<Tfrequence>(Fvoies);
  sortieAnalogique = cree<TsortieAnalogique>(Fvoies);
  voieCalculee = cree<TvoieCalculee>(Fvoies);
  sortiePWM = cree<TsortiePWM>(Fvoies);
  entreeClavier = cree<TentreeClavier>(Fvoies);
  voieBrixo[1] = baseDeTemps;
  voieBrixo[2] = sortieAnalogique;
  voieBrixo[3] = entreeClavier;
  voieBrixo[4] = pivane;
  voieBrixo[5] = frequence;
  voieBrixo[11] = voieCalculee;
  voieBrixo[12] = brulon;
  for (int i = premiereEntree; i <= derniereEntree; ++i) {
    TCourbe* c = cree<TCourbe>(Fvoies, "V" + std::to_string(i - 5), "V", "", i);
    c->setMinMax();
    voieBrixo[std::size_t(i)] = c;
  }
  voieBrixo[6]->FnumBrixo = 10;
  voieBrixo[6]->active = true;
  voieBrixo[7]->FnumBrixo = 11;
  voieBrixo[7]->active = true;
  for (TCourbe* c : voieBrixo)
    if (c && c->couleur == clWindow) c->couleur = clActiveCaption;
  if (sortiePWM->couleur == clWindow) sortiePWM->couleur = clActiveCaption;
  voieCalculee->voieDuSlot = [this](int s) -> Tvoie* { return s <= 10 ? voie(s) : nullptr; };

  voieAbscisse = 1;
  Trace = sTrace{trLigne};
  avecGrille = false;
  courbesSeparees = false;
  avecAxeVertical = true;
  monocoup = true;
  FrontSynchro = '1';
  montant = true;
  ModeAcq = AcqTemps;
  seuilSynchro = 128;
  ModeSynchro = S_clavier;
  pivane->active = false;
  FvoieSynchro = 6;
  deltaBouge = 2;
  deltatFiltre = 20;
  voieFiltreEntree = 6;
  voieFiltreSortie = 7;
  voieFiltrePhase = 8;
  noirEtBlanc = false;
  impression = false;

  // Start values: 128 points over 1 s.
  baseDeTemps->Deltat = 1.0 / 128;
  baseDeTemps->fixeDureeBalayage(1);
  fixeNbreInter(128);
  Freglage = std::make_unique<TreglageBalayage>(*this, *baseDeTemps, *this);
}

TgrapheVYK::~TgrapheVYK() {
  if (grapheAcq == this) grapheAcq = nullptr;
}

// ---------------------------------------------------------------------------
// Counts

int TgrapheVYK::compteEntreesActives() const {
  int n = 0;
  for (int i = premiereEntree; i <= derniereEntree; ++i) n += voieBrixo[std::size_t(i)]->active;
  return n;
}

void TgrapheVYK::fixeNbreInter(std::int32_t n) {
  FNbreInter = n;
  if (ModeAcq == AcqPivane) return;
  NbreVoie = compteEntreesActives();
  if (NbreVoie == 0) {
    voieBrixo[6]->active = true;
    NbreVoie = 1;
  }
  n = std::min<std::int32_t>(n, static_cast<std::int32_t>(maxPointsBalayage) / NbreVoie);
  n = std::max<std::int32_t>(n, 8);
  if (ModeAcq == AcqUnMega) {
    blocMega = FreqMega * NbreVoie * 10;
    // At least one whole block: a sweep of no point would never end.
    n = std::max(n / blocMega, 1) * blocMega;
    nbreBlocMega = n / blocMega;
    nbreBlancMega = 10 * FreqMega;
  }
  FNbreInter = n;
}

void TgrapheVYK::verifieSynchroEtCompte() {
  VerifSynchro();
  NbreVoie = compteEntreesActives();
}

std::vector<int> TgrapheVYK::entreesActives() const {
  std::vector<int> e;
  for (int i = premiereEntree; i <= derniereEntree; ++i)
    if (voieBrixo[std::size_t(i)]->active) e.push_back(voieBrixo[std::size_t(i)]->FnumBrixo);
  return e;
}

// ---------------------------------------------------------------------------
// Conversion of the received points

namespace {

// Values v of an input sampled f of an interval after the first input,
// brought back to that first input's instant into sortie. Only a channel
// with a formula can hold missing values; the others take the plain loop.
void interpoleEntree(const double* v, double* sortie, std::int32_t n, double f,
                     bool avecAbsents) {
  if (n <= 0) return;
  if (n == 1) {  // a single point has no neighbour to lean on
    sortie[0] = v[0];
    return;
  }
  const double g = 1 - f;
  if (!avecAbsents) {
    sortie[0] = (1 + f) * v[0] - f * v[1];
    for (std::int32_t i = 1; i < n; ++i) sortie[i] = f * v[i - 1] + g * v[i];
    return;
  }
  auto absent = [](double a, double b) { return a == valeurAbsente || b == valeurAbsente; };
  sortie[0] = absent(v[0], v[1]) ? valeurAbsente : (1 + f) * v[0] - f * v[1];
  for (std::int32_t i = 1; i < n; ++i)
    sortie[i] = absent(v[i - 1], v[i]) ? valeurAbsente : f * v[i - 1] + g * v[i];
}

}  // namespace

void TgrapheVYK::CourantVersAff() {
  const std::int32_t n = bornePoints(NbreCourant);
  if (pivane->active) pivane->recopieM(n, baseDeTemps->vecteurAff);
  if (ModeAcq == AcqUnMega) {
    const std::int32_t total = bornePoints(FNbreInter);
    voieBrixo[6]->convertitVecteur(0, std::size_t(total));
    voieBrixo[7]->convertitVecteur(0, std::size_t(total));
    double* v7 = voieBrixo[7]->vecteurAff.data();
    std::fill_n(v7, std::min(total, bornePoints(nbreBlancMega)), valeurAbsente);
  } else {
    int k = 0;
    for (int s = premiereEntree; s <= derniereEntree; ++s) {
      TCourbe* c = voieBrixo[std::size_t(s)];
      if (!c->active) continue;
      if (k == 0) {
        c->convertitVecteur(0, std::size_t(n));
      } else if (n > 0) {
        // Converted apart, then interpolated into the shown values.
        if (Fconversion.size() < std::size_t(n)) Fconversion.resize(std::size_t(n));
        const std::int16_t* codes = c->vecteurCourant.data();
        c->ValeurRealBloc(codes, Fconversion.data(), std::size_t(n));
        interpoleEntree(Fconversion.data(), c->vecteurAff.data(), n, k * CoeffInterp,
                        c->CapteurNonLin());
      }
      ++k;
    }
  }
  if (voieCalculee->active) voieCalculee->recopieC(n);
  if (n > 0) {
    for (int s = premiereEntree; s <= derniereEntree; ++s) {
      TCourbe* c = voieBrixo[std::size_t(s)];
      if (c->active) c->valeurAff = c->ValeurReal(c->vecteurCourant[std::size_t(n - 1)]);
    }
  }
  NbreAff = n;
}

// ---------------------------------------------------------------------------
// Time origin

void TgrapheVYK::setOrigineTemps() {
  const std::int32_t P = baseDeTemps->comptePreAcq();
  const double S = seuilSynchroReal();
  TCourbe* synchro = voie(FvoieSynchro);
  if (!synchro) return;
  const TVecteur& v = synchro->vecteurAff;
  const double delta = baseDeTemps->Deltat;
  double* t = baseDeTemps->vecteurAff.data();
  if (P > 0) {
    const std::int32_t fin = std::min<std::int32_t>(P, static_cast<std::int32_t>(tailleVecteur) - 1);
    std::int32_t i = 0;
    // First leave the far side of the threshold, then cross it.
    while (i < fin && !(montant ? v[std::size_t(i)] < S : v[std::size_t(i)] > S)) ++i;
    while (i < fin && !(montant ? v[std::size_t(i)] > S : v[std::size_t(i)] < S)) ++i;
    for (std::size_t j = 0; j < tailleVecteur; ++j)
      t[j] = (static_cast<double>(j) - i) * delta;
    return;
  }
  if (ModeSynchro != S_seuil || !(std::fabs(S) < 0.2)) return;
  const double dv = v[1] - v[0];
  if (dv == 0) return;
  const double c = t[0] - (t[1] - t[0]) * v[0] / dv;
  if (!std::isfinite(c) || c > 0 || std::fabs(c) > 3 * delta) return;
  for (std::size_t j = 0; j < tailleVecteur; ++j) t[j] -= c;
}

// ---------------------------------------------------------------------------
// Trigger slot and threshold

bool TgrapheVYK::synchroValide(indiceVoie s) const {
  const TCourbe* c = voie(s);
  if (!c || !c->active) return false;
  return PuxActif ? c->FnumBrixo >= 0 : c->FnumBrixo == entreeSynchroVYK;
}

indiceVoie TgrapheVYK::lireVoieSynchro() {
  if (!(ModeSynchro == S_seuil && (ModeAcq == AcqTemps || ModeAcq == AcqUnMega)))
    return FvoieSynchro;
  if (synchroValide(FvoieSynchro)) return FvoieSynchro;
  if (ModeAcq == AcqUnMega) {
    FvoieSynchro = 6;
    voieBrixo[6]->FnumBrixo = entreeSynchroVYK;
    voieBrixo[6]->active = true;
  }
  for (int s = premiereEntree; s <= derniereEntree; ++s)
    if (synchroValide(s)) FvoieSynchro = s;
  if (synchroValide(FvoieSynchro)) return FvoieSynchro;
  int s = premiereEntree;
  while (s < derniereEntree && voieBrixo[std::size_t(s)]->active) ++s;
  if (!PuxActif) voieBrixo[std::size_t(s)]->FnumBrixo = entreeSynchroVYK;
  voieBrixo[std::size_t(s)]->active = true;
  FvoieSynchro = s;
  return FvoieSynchro;
}

void TgrapheVYK::fixeVoieSynchro(indiceVoie s) {
  if (!PuxActif || s < premiereEntree || s > derniereEntree) return;
  FvoieSynchro = s;
  voieBrixo[std::size_t(s)]->active = true;
}

int TgrapheVYK::numeroSynchro() const {
  if (!PuxActif) return entreeSynchroVYK;
  const TCourbe* c = voie(FvoieSynchro);
  return c ? c->FnumBrixo : entreeSynchroVYK;
}

double TgrapheVYK::seuilSynchroReal() {
  const indiceVoie t = lireVoieSynchro();
  if (t < premiereEntree || t > derniereEntree) return 0;
  const TCourbe& c = *voieBrixo[std::size_t(t)];
  const double etendue = c.ValeurReal(32767) - c.ValeurReal(-32767);
  if (PuxActif) return etendue * (seuilSynchro - 2048) / 4096 + c.ValeurReal(0);
  return etendue * (seuilSynchro - 128) / 256 + c.ValeurReal(0);
}

void TgrapheVYK::setSeuilSynchro(double x) {
  const indiceVoie t = lireVoieSynchro();
  if (t < premiereEntree || t > derniereEntree) return;
  const TCourbe& c = *voieBrixo[std::size_t(t)];
  const double etendue = c.ValeurReal(32767) - c.ValeurReal(-32767);
  const double echelle = PuxActif ? 4096 : 256;
  // A flat or failing conversion gives no level to aim at.
  const double q = (x - c.ValeurReal(0)) * echelle / etendue;
  if (std::isnan(q)) return;
  const std::int64_t r = std::clamp<std::int64_t>(arrondiEntier(q), -100000, 100000);
  if (PuxActif)
    seuilSynchro = static_cast<std::int32_t>(std::clamp<std::int64_t>(r + 2048, 96, 4000));
  else
    seuilSynchro = static_cast<std::int32_t>(std::clamp<std::int64_t>(r + 128, 5, 250));
}

void TgrapheVYK::VerifSynchro() {
  if (ModeAcq != AcqTemps || ModeSynchro != S_seuil) return;
  if (FvoieSynchro < 7 || FvoieSynchro > derniereEntree) return;
  const indiceVoie ancienne = FvoieSynchro;
  std::swap(voieBrixo[std::size_t(ancienne)], voieBrixo[6]);
  if (voiesEchangees) voiesEchangees(ancienne, 6);
  FvoieSynchro = 6;
  voieBrixo[6]->active = true;
}

bool TgrapheVYK::VerifBrulon() {
  if (ModeAcq != AcqTemps || !brulon->active) return false;
  ModeSynchro = s_brulon;
  for (int s = premiereEntree; s <= derniereEntree; ++s) {
    const TCourbe* c = voieBrixo[std::size_t(s)];
    if (c->active && c->FnumBrixo == brulon->EAi) return false;
  }
  voieBrixo[6]->active = true;
  voieBrixo[6]->FnumBrixo = brulon->EAi;
  return true;
}

// ---------------------------------------------------------------------------
// Active channels and the mode

void TgrapheVYK::verifieVoiesActives() {
  VerifSynchro();
  if (brulon->active) VerifBrulon();

  auto actif = [this](int s) -> bool& { return voieBrixo[std::size_t(s)]->active; };
  actif(2) = ModeAcq == AcqSortieAna;
  actif(1) = ModeAcq == AcqTemps || ModeAcq == AcqUnMega || ModeAcq == AcqCardiaque;
  actif(3) = ModeAcq == AcqClavier;
  if (ModeAcq != AcqPoint && ModeAcq != AcqPivane) pivane->active = false;
  if (ModeAcq != AcqTemps) ListeRepere.clear();

  switch (ModeAcq) {
    case AcqClavier:
      if (voieAbscisse == 1 || voieAbscisse == 2) voieAbscisse = 3;
      break;
    case AcqTemps:
      if (voieAbscisse == 2 || voieAbscisse == 3 || voieAbscisse == 5) voieAbscisse = 1;
      frequence->active = false;
      if (brulon->active) ModeSynchro = s_brulon;
      break;
    case AcqPoint:
      if (voieAbscisse >= 1 && voieAbscisse <= 4) voieAbscisse = 6;
      break;
    case AcqPivane: {
      for (int s = 2; s <= slotDernier; ++s) actif(s) = false;
      pivane->active = true;
      // The time range of the fork's recording.
      TbaseDeTemps& t = *baseDeTemps;
      if (!t.active) {
        t.active = true;
        t.Fmini = 0;
        t.Fmaxi = pivane->Fchute ? 1 : pivane->ArretAuto ? dureeArretPivane : 10;
      }
      if (t.Fmini < 0) t.Fmini = 0;
      if (t.Fmaxi < 0.2 || t.Fmaxi > 60) t.Fmaxi = 1;
      voieAbscisse = 1;
      break;
    }
    case AcqSortieAna:
      voieAbscisse = 2;
      break;
    case AcqUnMega:
      voieAbscisse = 1;
      actif(5) = false;
      voieBrixo[7]->FnumBrixo = 10;
      voieBrixo[6]->FnumBrixo = numeroSynchro();
      for (int s : {2, 3, 4, 5, 8, 9, 10, 11, 12}) actif(s) = false;
      actif(1) = true;
      actif(6) = true;
      break;
    case AcqCardiaque:
      voieAbscisse = 1;
      break;
    case AcqFiltre:
      for (int s : {voieFiltreEntree, voieFiltreSortie, voieFiltrePhase, 5})
        if (voie(s)) actif(s) = true;
      if (TCourbe* p = voie(voieFiltrePhase)) p->AvecCapteur = true;
      voieAbscisse = 5;
      break;
  }

  if (!voie(voieAbscisse) || !voie(voieAbscisse)->active) {
    int s = 1;
    while (s <= derniereEntree && !actif(s)) ++s;
    if (s > derniereEntree) {
      actif(1) = true;
      s = 1;
    }
    voieAbscisse = s;
  }

  NbreVoie = 0;
  NbreCourbe = 0;
  if (ModeAcq == AcqUnMega) {
    actif(6) = true;
    NbreVoie = actif(7) ? 2 : 1;
    NbreCourbe = NbreVoie;
  } else {
    for (int s = 2; s <= derniereEntree; ++s) {
      if (!actif(s)) continue;
      if (s != voieAbscisse) ++NbreCourbe;
      if (s >= premiereEntree) ++NbreVoie;
    }
  }
  if (ModeAcq == AcqTemps && NbreCourbe == 0 && NbreVoie == 1) {
    voieAbscisse = 1;
    NbreCourbe = 1;
  }
  if (NbreCourbe == 0) {
    actif(voieAbscisse == 6 ? 7 : 6) = true;
    NbreCourbe = 1;
    ++NbreVoie;
  }
  if (voieCalculee->active) ++NbreCourbe;
}

// ---------------------------------------------------------------------------
// Pages, sorting, filter mode, period

void TgrapheVYK::SauvePage() {
  if (!remanence || NbreAff <= 0 || NbreAff != FNbreInter) return;
  premierePage = premierePage + 1 > nbrePagesMax - 1 ? 1 : premierePage + 1;
  const std::size_t n = std::size_t(bornePoints(NbreAff));
  for (int s = slotPremier; s <= slotDernier; ++s) {
    TCourbe* c = voieBrixo[std::size_t(s)];
    TVecteur& page = c->oldVecteur[std::size_t(premierePage)];
    // Only what the faded drawing can show is kept: the time and the
    // channels shown; the others give their page memory back.
    const double* source = c->vecteurAff.donnees();
    if (!source || !(c->active || s == slotPremier || s == voieAbscisse)) {
      page.libere();
      continue;
    }
    std::copy_n(source, n, page.data());
  }
  oldNbre[std::size_t(premierePage)] = NbreAff;
  nbrePages = std::min(nbrePages + 1, nbrePagesMax - 1);
}

void TgrapheVYK::tri() {
  if (ModeAcq == AcqTemps || !frequence->active) return;
  const std::int32_t n = bornePoints(NbreAff);
  if (n < 2) return;
  const double* f = frequence->vecteurAff.donnees();
  if (!f) return;
  std::vector<std::int32_t> ordre(static_cast<std::size_t>(n));
  std::iota(ordre.begin(), ordre.end(), 0);
  // NaN after every number keeps the ordering strict.
  auto cle = [f](std::int32_t i) { return std::isnan(f[i]) ? HUGE_VAL : f[i]; };
  std::stable_sort(ordre.begin(), ordre.end(),
                   [&](std::int32_t a, std::int32_t b) { return cle(a) < cle(b); });
  std::vector<double> tampon(static_cast<std::size_t>(n));
  for (int s = slotPremier; s <= slotDernier; ++s) {
    double* v = voieBrixo[std::size_t(s)]->vecteurAff.data();
    if (!voieBrixo[std::size_t(s)]->vecteurAff.alloue()) continue;
    for (std::int32_t i = 0; i < n; ++i) tampon[std::size_t(i)] = v[ordre[std::size_t(i)]];
    std::copy(tampon.begin(), tampon.end(), v);
  }
}

std::string TgrapheVYK::ordreLanceFiltre() const {
  const TCourbe* e = voie(voieFiltreEntree);
  const TCourbe* s = voie(voieFiltreSortie);
  return commandes::WPEFiltre(deltatFiltre, e ? e->FnumBrixo : 0, s ? s->FnumBrixo : 0);
}

void TgrapheVYK::SetIndexPeriode(indiceVoie s, std::int32_t& index) const {
  const TCourbe* c = voie(s);
  if (!c || NbreAff <= 0) return;
  const std::int32_t k = index;
  const std::int32_t debut = std::max(0, k - k / 20);
  const std::int32_t fin =
      std::min({k + k / 20, NbreAff - 1, static_cast<std::int32_t>(tailleVecteur) - 1});
  const TVecteur& v = c->vecteurAff;
  double borne = c->Fmaxi / 10;
  for (std::int32_t i = debut; i <= fin; ++i) {
    const double d = std::fabs(v[std::size_t(i)] - v[0]);
    if (d < borne) {
      index = i;
      borne = d;
    }
  }
}

void TgrapheVYK::effaceAcquisition() {
  NbreAff = 0;
  premierePage = 0;
  nbrePages = 0;
  oldNbre.fill(0);
  // Forgotten pages give their memory back.
  for (TCourbe* c : voieBrixo)
    if (c)
      for (TVecteur& p : c->oldVecteur) p.libere();
}

// ---------------------------------------------------------------------------
// Seams

TparametresLancement TgrapheVYK::parametresLancement() const {
  TparametresLancement p;
  p.mode = ModeSynchro;
  p.front = FrontSynchro;
  p.montant = montant;
  p.seuil = seuilSynchro;
  p.modeSeuil = modeSeuilSynchroVYK2;
  p.pux = PuxActif;
  p.entreeSynchro = numeroSynchro();
  p.frontEcho = brulon->EFi;
  p.sortieEmetteur = brulon->SBi;
  const TsortieAnalogique& sa = *sortieAnalogique;
  p.nerf.sortie = sa.SAi;
  p.nerf.niveau = sa.FinSortie[0];
  p.nerf.nbrePulse = sa.nbrePulse;
  p.nerf.largeurPulse = sa.largeurPulse;
  p.nerf.distancePulse = sa.distancePulse;
  p.nerf.debutPulse = sa.debutPulse;
  p.nerf.base32Micro = sa.Base32Micro;
  p.nbreInter = FNbreInter;
  p.nbreVoie = NbreVoie;
  return p;
}

ParametresMega TgrapheVYK::lireParametresMega() const {
  ParametresMega p;
  p.blocMega = blocMega;
  p.nbreBlocMega = nbreBlocMega;
  p.FreqMega = FreqMega;
  return p;
}

bool& TgrapheVYK::refAttenteDeltat() { return brulon->AttenteDeltat; }
bool TgrapheVYK::lireChute() const { return pivane->Fchute; }
double TgrapheVYK::lireDureeBalayage() const { return baseDeTemps->DureeBalayage(); }

TsourceDessin TgrapheVYK::sourceDessin() {
  TsourceDessin d;
  d.voieBrixo = voieBrixo;
  d.voieAbscisse = voieAbscisse;
  d.NbreAff = NbreAff;
  d.NbreInter = FNbreInter;
  d.Trace = Trace;
  d.ModeAcq = ModeAcq;
  d.loupeAuto = loupeAuto;
  d.synchroSeuil = ModeSynchro == S_seuil;
  if (d.synchroSeuil) {
    d.seuilSynchroReal = seuilSynchroReal();
    d.voieSynchro = lireVoieSynchro();
  } else {
    d.voieSynchro = FvoieSynchro;
  }
  d.montant = montant;
  d.nbrePages = nbrePages;
  d.premierePage = premierePage;
  d.oldNbre = oldNbre;
  d.vecteurTemps = &vecteurTemps;
  d.ListeRepere = &ListeRepere;
  d.avecGrille = avecGrille;
  d.courbesSeparees = courbesSeparees;
  d.avecAxeVertical = avecAxeVertical;
  d.remanence = remanence;
  d.dimPoint = dimPoint;
  d.largeurLigne = largeurLigne;
  d.noirEtBlanc = noirEtBlanc;
  d.impression = impression;
  return d;
}
