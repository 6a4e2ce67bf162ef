#include "core/link/flux/flux.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "core/channels/model/voie.h"
#include "core/link/liaison.h"

namespace {

constexpr double secondesParCodeBrulon = 5e-7;
constexpr int periodeTimerBrulonMs = 250;

// Points a sweep may hold whatever NbreInter says: the vectors end there.
std::int32_t limitePoints(std::int32_t nbreInter) {
  return std::clamp<std::int32_t>(nbreInter, 1, std::int32_t(maxPointsBalayage));
}

bool slotEntree(int s) { return s >= slotPremiereEntree && s <= slotDerniereEntree; }

// The stream's values are little-endian.
inline std::int16_t lit16(const std::uint8_t* p) {
  if constexpr (std::endian::native == std::endian::little) {
    std::int16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
  } else {
    return std::int16_t(p[0] | p[1] << 8);
  }
}

// Whole points of a K-input chain: one load and one store per value, the
// chain unrolled so that nothing is looked up per sample.
template <std::size_t... J>
void copiePoints(const std::uint8_t* src, std::int16_t* const* chaine, std::int32_t debut,
                 std::int32_t points, std::index_sequence<J...>) {
  constexpr std::size_t K = sizeof...(J);
  std::int16_t* const d[K] = {(chaine[J] + debut)...};
  for (std::int32_t r = 0; r < points; ++r, src += 2 * K) {
    ((d[J][r] = lit16(src + 2 * J)), ...);
  }
}

void copiePoints(int K, const std::uint8_t* src, std::int16_t* const* chaine, std::int32_t debut,
                 std::int32_t points) {
  switch (K) {
    case 1: return copiePoints(src, chaine, debut, points, std::make_index_sequence<1>{});
    case 2: return copiePoints(src, chaine, debut, points, std::make_index_sequence<2>{});
    case 3: return copiePoints(src, chaine, debut, points, std::make_index_sequence<3>{});
    case 4: return copiePoints(src, chaine, debut, points, std::make_index_sequence<4>{});
    case 5: return copiePoints(src, chaine, debut, points, std::make_index_sequence<5>{});
    default: return;
  }
}

}  // namespace

TfluxResultats::TfluxResultats(ICibleFlux& cible, IControleFlux& controle)
    : cible_(cible), controle_(controle) {
  prepareChaine();
}

void TfluxResultats::prepareChaine() {
  auto active = [this](int s) {
    const Tvoie* v = cible_.voieFlux(s);
    return v != nullptr && v->active;
  };
  voieDebut = slotDerniereEntree;
  for (int s = slotPremiereEntree; s < slotDerniereEntree; ++s) {
    if (active(s)) {
      voieDebut = s;
      break;
    }
  }
  int suivante = voieDebut;
  for (int s = slotDerniereEntree; s >= slotPremiereEntree; --s) {
    voieSuivante[s] = suivante;
    if (active(s)) suivante = s;
  }
  voieCouranteTemps = voieDebut;
}

void TfluxResultats::prepareSorties() {
  codes_.fill(nullptr);
  longueurChaine_ = 0;
  bool entiere = true;
  bool fermee = false;
  // The slots of the chain, whatever became of their activity since.
  int s = voieDebut;
  int i = 0;
  for (; i <= slotDerniereEntree - slotPremiereEntree && slotEntree(s); ++i) {
    Tvoie* v = cible_.voieFlux(s);
    if (v != nullptr) codes_[std::size_t(s)] = v->vecteurCourant.data();
    chaine_[std::size_t(i)] = codes_[std::size_t(s)];
    entiere = entiere && v != nullptr;
    s = voieSuivante[std::size_t(s)];
    if (s == voieDebut) {
      fermee = true;
      ++i;
      break;
    }
  }
  if (fermee && entiere) longueurChaine_ = i;
  limite_ = limitePoints(cible_.lireNbreInter());
  nbreCourant_ = &cible_.refNbreCourant();
}

void TfluxResultats::arme(TetatAvail etat) {
  prepareChaine();
  indexOctet = 0;
  indexPivane = 0;
  NbreUnMega = 0;
  indexDataPoincare = 0;
  cible_.refNbreCourant() = 0;
  etatAvail = etat;
}

void TfluxResultats::TriggerAvailBin(const std::uint8_t* octets, std::size_t n) {
  std::size_t i = 0;
  while (i < n) {
    // With the PUX II the port carries only the 1 MHz and cardiac streams;
    // anything else on it is not for the decoder.
    if (PuxActif && !litLePort()) return;
    if (etatAvail == eaResul && !(cible_.synchroBrulon() && cible_.refAttenteDeltat())) {
      i += decodeResulBloc(octets + i, n - i);
    } else {
      decode(octets[i++]);
    }
  }
}

// The time sweep's values in a run of bytes, as decodeResul one by one.
std::size_t TfluxResultats::decodeResulBloc(const std::uint8_t* octets, std::size_t n) {
  // Looked up afresh for each run: the channels' storage may have been
  // given back between two reads of the port.
  prepareSorties();
  std::int32_t& nbreCourant = *nbreCourant_;
  std::int32_t nbre = nbreCourant;
  const std::int32_t avant = nbre;
  int voie = voieCouranteTemps;
  std::size_t k = 0;
  bool complet = false;
  while (k < n) {
    if (voie == voieDebut && indexOctet == 0 && nbre > 0 && nbre < limite_ && longueurChaine_ > 0) {
      // Whole points at once; the first point of a sweep (its date) and the
      // edges of the read go one value at a time below.
      const std::size_t taillePoint = 2 * std::size_t(longueurChaine_);
      const auto points =
          std::int32_t(std::min<std::size_t>((n - k) / taillePoint, std::size_t(limite_ - nbre)));
      if (points > 0) {
        copiePoints(longueurChaine_, octets + k, chaine_.data(), nbre, points);
        k += std::size_t(points) * taillePoint;
        nbre += points;
        if (nbre >= limite_) {
          complet = true;
          break;
        }
        continue;
      }
    }
    std::int16_t v;
    if (indexOctet == 1) {
      v = std::int16_t(ValeurMot.octets[0] | octets[k] << 8);
      ValeurMot.octets[1] = octets[k];
      k += 1;
      indexOctet = 0;
    } else if (k + 1 < n) {
      v = std::int16_t(octets[k] | octets[k + 1] << 8);
      k += 2;
    } else {
      ValeurMot.octets[0] = octets[k++];
      indexOctet = 1;
      break;
    }
    if (nbre < 0 || nbre >= limite_ || !slotEntree(voie)) {
      // The sweep is already full: nothing more belongs to it.
      etatAvail = eaNone;
      break;
    }
    if (std::int16_t* codes = codes_[std::size_t(voie)]) codes[nbre] = v;
    voie = voieSuivante[std::size_t(voie)];
    if (voie != voieDebut) continue;
    if (nbre == 0) dateDebutReception = controle_.maintenant();
    ++nbre;
    if (nbre >= limite_) {
      complet = true;
      break;
    }
  }
  voieCouranteTemps = voie;
  nbreCourant = nbre;
  if (nbre != avant) controle_.assureTimerAcquisition();
  if (complet) {
    controle_.fixeEtatAcq(eaMajResul);
    etatAvail = eaNone;
  }
  return k;
}

void TfluxResultats::TriggerAvailBinPux(int count) {
  if (sourcePux == nullptr || !PuxActif) return;
  std::uint8_t tampon[256];
  while (count > 0) {
    if (litLePort()) return;
    const std::size_t voulu = std::min<std::size_t>(std::size_t(count), sizeof tampon);
    const std::size_t lu = sourcePux->lit(tampon, voulu);
    if (lu == 0) return;
    for (std::size_t i = 0; i < lu; ++i) decode(tampon[i]);
    count -= int(lu);
  }
}

void TfluxResultats::installe(TLiaison& liaison) {
  liaison.installeDispatcheurBinaire([this, &liaison](const std::uint8_t* octets, std::size_t n) {
    PuxActif = liaison.PuxActif;
    dtPivane = liaison.dtPivane;
    TriggerAvailBin(octets, n);
  });
}

void TfluxResultats::decode(std::uint8_t octet) {
  switch (etatAvail) {
    case eaNone:
      break;
    case eaResul:
      decodeResul(octet);
      break;
    case eaPivane:
      if (cible_.lireChute()) {
        decodePivaneChute(octet);
      } else {
        decodePivaneOscillation(octet);
      }
      break;
    case eaResulUnMega:
      decodeUnMega(octet);
      break;
    case eaBrulon:
      decodeBrulon(octet);
      break;
    case eaPoincare:
      decodePoincare(octet);
      break;
    case eaCardiaque:
      decodeCardiaque(octet);
      break;
  }
}

bool TfluxResultats::collecte2(std::uint8_t octet, std::int16_t& v) {
  if (indexOctet != 1) {
    ValeurMot.octets[0] = octet;
    indexOctet = 1;
    return false;
  }
  ValeurMot.octets[1] = octet;
  indexOctet = 0;
  v = ValeurMot.entier();
  return true;
}

void TfluxResultats::decodeResul(std::uint8_t octet) {
  std::int16_t v = 0;
  if (!collecte2(octet, v)) return;

  if (cible_.synchroBrulon() && cible_.refAttenteDeltat()) {
    // The first value of an ultrasound-started sweep is the clap delay, a
    // count of 0.5 µs steps (never negative).
    const auto delai = std::uint16_t(v);
    if (Tvoie* brulon = cible_.voieFlux(slotBrulon)) {
      brulon->ValeurCourante = delai * secondesParCodeBrulon;
    }
    cible_.refAttenteDeltat() = false;
    controle_.afficheValeurVoie(slotBrulon);
    if (delai == 0) {
      controle_.afficheErreur(msgClapNonDetecte);
      controle_.relanceBalayage();
    }
    return;
  }

  std::int32_t& nbre = cible_.refNbreCourant();
  const std::int32_t limite = limitePoints(cible_.lireNbreInter());
  if (nbre < 0 || nbre >= limite || !slotEntree(voieCouranteTemps)) {
    // The sweep is already full: nothing more belongs to it.
    etatAvail = eaNone;
    return;
  }
  if (Tvoie* voie = cible_.voieFlux(voieCouranteTemps)) voie->vecteurCourant[std::size_t(nbre)] = v;
  voieCouranteTemps = voieSuivante[std::size_t(voieCouranteTemps)];
  if (voieCouranteTemps != voieDebut) return;

  if (nbre == 0) dateDebutReception = controle_.maintenant();
  ++nbre;
  controle_.assureTimerAcquisition();
  if (nbre >= limite) {
    controle_.fixeEtatAcq(eaMajResul);
    etatAvail = eaNone;
  }
}

void TfluxResultats::decodePivaneOscillation(std::uint8_t octet) {
  if (indexPivane < 0 || indexPivane > 5) indexPivane = 0;
  valeurPivane[std::size_t(indexPivane)] = octet;
  if (indexPivane < 5) {
    ++indexPivane;
    return;
  }
  indexPivane = 0;
  const std::uint32_t n = std::uint32_t(valeurPivane[0]) | std::uint32_t(valeurPivane[1]) << 8 |
                          std::uint32_t(valeurPivane[2]) << 16 | std::uint32_t(valeurPivane[3]) << 24;
  const auto p = std::uint16_t(valeurPivane[4] | valeurPivane[5] << 8);
  const double t = n * dtPivane;

  std::int32_t& nbre = cible_.refNbreCourant();
  if (nbre < 0 || nbre >= std::int32_t(maxPointsBalayage)) return;
  if (nbre == 0) {
    dateDebutPivane = t;
    posDebutPivane = p;
    oldPosPivane = p;
  }
  double h = t - dateDebutPivane;
  if (h < 0) {
    dateDebutPivane -= periodeCompteurPivane;
    h += periodeCompteurPivane;
  }
  if (Tvoie* temps = cible_.voieFlux(slotTemps)) temps->vecteurAff[std::size_t(nbre)] = h;
  if (Tvoie* pivane = cible_.voieFlux(slotPivane)) {
    pivane->vecteurCourant[std::size_t(nbre)] = std::int16_t(std::uint16_t(p - posDebutPivane));
  }
  // Positions are a 16-bit counter: a step across its wrap is one step.
  const int saut = std::int16_t(std::uint16_t(p - oldPosPivane));
  if (std::abs(saut) > 2) return;
  ++nbre;
  oldPosPivane = p;
}

void TfluxResultats::decodePivaneChute(std::uint8_t octet) {
  if (indexPivane < 0 || indexPivane > 3) indexPivane = 0;
  valeurPivane[std::size_t(indexPivane)] = octet;
  if (indexPivane < 3) {
    ++indexPivane;
    return;
  }
  indexPivane = 0;
  const std::uint32_t n = std::uint32_t(valeurPivane[0]) | std::uint32_t(valeurPivane[1]) << 8 |
                          std::uint32_t(valeurPivane[2]) << 16 | std::uint32_t(valeurPivane[3]) << 24;
  const double t = n * dtPivane;
  std::int32_t& nbre = cible_.refNbreCourant();
  if (nbre < 0 || nbre >= std::int32_t(maxPointsBalayage)) return;
  if (nbre == 0) dateDebutPivane = t;
  if (Tvoie* temps = cible_.voieFlux(slotTemps)) temps->vecteurAff[std::size_t(nbre)] = t - dateDebutPivane;
  if (Tvoie* pivane = cible_.voieFlux(slotPivane)) {
    pivane->vecteurCourant[std::size_t(nbre)] = std::int16_t(nbre);
  }
  ++nbre;
}

void TfluxResultats::decodeUnMega(std::uint8_t octet) {
  std::int16_t v = 0;
  if (!collecte2(octet, v)) return;
  AttenteMegaEnCours = false;
  const std::int64_t V = std::clamp<std::int32_t>(cible_.lireNbreVoie(), 1, 2);
  const std::int32_t nbreInter = limitePoints(cible_.lireNbreInter());
  const std::int64_t total = std::int64_t(nbreInter) * V;
  std::int32_t& nbre = cible_.refNbreCourant();
  const std::int64_t n = NbreUnMega;
  if (n < 0 || n >= total) {
    etatAvail = eaNone;
    return;
  }
  nbre = std::int32_t(n / V);

  const ParametresMega m = cible_.lireParametresMega();
  const std::int64_t B = std::max<std::int32_t>(m.nbreBlocMega, 1);
  const std::int64_t L = m.blocMega;
  std::int64_t d = n / (B * V) + ((n % (B * V)) / V) * L;
  int slot = slotPremiereEntree;
  if (V == 2 && n % 2 == 1) {
    slot = slotPremiereEntree + 1;
    d = (d + 10 * std::int64_t(m.FreqMega)) % std::int64_t(maxPointsBalayage);
  }
  if (d >= 0 && d < std::int64_t(tailleVecteur)) {
    if (Tvoie* voie = cible_.voieFlux(slot)) {
      voie->vecteurCourant[std::size_t(d)] = v;
      if (controle_.premiereAcquisition()) voie->vecteurAff[std::size_t(d)] = voie->ValeurReal(v);
    }
  }
  NbreUnMega = std::int32_t(n + 1);
  if (NbreUnMega >= total) {
    nbre = nbreInter;
    controle_.fixeEtatAcq(eaMajResul);
    MegaEnCours = false;
    etatAvail = eaNone;
  }
}

void TfluxResultats::decodeBrulon(std::uint8_t octet) {
  std::int16_t v = 0;
  if (!collecte2(octet, v)) return;
  const auto delai = std::uint16_t(v);
  controle_.montreErreurBrulon(delai == 0);
  if (delai != 0) {
    if (Tvoie* brulon = cible_.voieFlux(slotBrulon)) {
      brulon->ValeurCourante = delai * secondesParCodeBrulon;
    }
    controle_.afficheValeurVoie(slotBrulon);
  }
  etatAvail = eaNone;
  controle_.relanceTimerAcquisition(periodeTimerBrulonMs);
}

void TfluxResultats::decodePoincare(std::uint8_t octet) {
  std::int16_t v = 0;
  if (!collecte2(octet, v)) return;
  if (!slotEntree(voieCouranteTemps)) {
    etatAvail = eaNone;
    return;
  }
  if (voieCouranteTemps == voieDebut) {
    if (Tvoie* temps = cible_.voieFlux(slotTemps)) {
      temps->ValeurCourante = controle_.secondesDepuisDebutAcquisition();
    }
  }
  if (Tvoie* voie = cible_.voieFlux(voieCouranteTemps)) voie->ValeurCourante = voie->ValeurReal(v);
  voieCouranteTemps = voieSuivante[std::size_t(voieCouranteTemps)];
  if (voieCouranteTemps != voieDebut) return;

  ++indexDataPoincare;
  if (indexDataPoincare < 2) return;
  ++indexPointPoincare;
  if (indexPointPoincare >= controle_.lireUnPointSur()) {
    controle_.enregistrePointPoincare();
    indexPointPoincare = 0;
  }
  indexDataPoincare = 0;
  controle_.relanceOrdreR();
  if (PuxActif && sourcePux != nullptr) sourcePux->relanceReception(cible_.lireNbreVoie() * 2);
}

void TfluxResultats::decodeCardiaque(std::uint8_t octet) {
  if (indexOctet < 0 || indexOctet > 3) indexOctet = 0;
  ValeurMot.octets[std::size_t(indexOctet)] = octet;
  ++indexOctet;
  if (indexOctet < 4) return;

  const std::uint32_t n = ValeurMot.longMot();
  if (oldDateEF != 0) {
    const double c = std::uint32_t(n - oldDateEF) * dtPivane;
    if (c > 0.2 && c < 5) {
      const double e = 60 / c;
      if (oldFreqC > 0 && std::fabs(oldFreqC - e) < 0.2 * e) {
        const double k = coeffFiltreCardiaque;
        valeurFrequence = (1 - k) * valeurFrequence + k * e;
      }
      oldFreqC = e;
    }
  }
  oldDateEF = n;
  indexOctet = 0;
  if (oldDateEF > limiteDateCardiaque) {
    controle_.relanceComptageCardiaque();
    oldDateEF = 0;
  }

  Tvoie* frequence = cible_.voieFlux(slotFrequence);
  if (frequence != nullptr) {
    frequence->ValeurCourante = valeurFrequence;
    frequence->valeurAff = valeurFrequence;
  }
  controle_.afficheValeurVoie(slotFrequence);

  if (controle_.lireEtatAcq() != eaAttenteResul) return;
  std::int32_t& nbre = cible_.refNbreCourant();
  if (nbre < 0 || nbre >= std::int32_t(maxPointsBalayage)) {
    controle_.fixeEtatAcq(eaMajResul);
    return;
  }
  double t = 0;
  if (nbre == 0) {
    controle_.razDebutAcquisition();
  } else {
    t = controle_.secondesDepuisDebutAcquisition();
  }
  Tvoie* temps = cible_.voieFlux(slotTemps);
  if (temps != nullptr) temps->ValeurCourante = t;
  if (frequence != nullptr) frequence->vecteurAff[std::size_t(nbre)] = valeurFrequence;
  if (temps != nullptr) temps->vecteurAff[std::size_t(nbre)] = t;
  cible_.refVecteurTemps()[std::size_t(nbre)] = t;
  ++nbre;
  if (t > cible_.lireDureeBalayage() || nbre >= std::int32_t(maxPointsBalayage)) {
    controle_.fixeEtatAcq(eaMajResul);
  }
}
