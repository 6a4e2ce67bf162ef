#include "core/display/courbes/courbe.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <typeinfo>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/channels/numbers/nombres.h"

namespace {

// Ceiling that takes a value within a few ulps of an integer as that
// integer, so that exact decimal quotients (7200/6/900) do not step over.
double plafond(double x) {
  const double r = std::nearbyint(x);
  if (std::fabs(x - r) <= 1e-9 * std::max(1.0, std::fabs(x))) return r;
  return std::ceil(x);
}

double plancher(double x) {
  const double r = std::nearbyint(x);
  if (std::fabs(x - r) <= 1e-9 * std::max(1.0, std::fabs(x))) return r;
  return std::floor(x);
}

// Exact powers of ten for the usual exponents (pow may be one ulp off).
double puissance10(int e) {
  static constexpr std::array<double, 23> positives{
      1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
      1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  if (e >= 0 && e < int(positives.size())) return positives[std::size_t(e)];
  if (e < 0 && -e < int(positives.size())) return 1.0 / positives[std::size_t(-e)];
  return std::pow(10.0, e);
}

// Floor of e/3 towards minus infinity.
int tiersPlancher(int e) { return e >= 0 ? e / 3 : -((-e + 2) / 3); }

}  // namespace

TCourbe::TCourbe(const std::string& Anom, const std::string& Aunite, const std::string& Asignif,
                 int Anumero)
    : Tvoie(Anumero) {
  active = false;
  a = 1;
  b = 0;
  NbreMoyenne = 1;
  Fmini = -10;
  Fmaxi = 10;
  nom = Anom;
  setNomUnite(Aunite);
  signif = Asignif;
  IndexDernier = 0;
  axeLog = false;
}

TCourbe::~TCourbe() = default;

void TCourbe::ValeurRealBloc(const std::int16_t* codes, double* valeurs, std::size_t n) const {
  const std::type_info& t = typeid(*this);
  if (t == typeid(TCourbe) || t == typeid(TvoieNonEA)) {
    ValeurRealBlocDeBase(codes, valeurs, n);
    return;
  }
  Tvoie::ValeurRealBloc(codes, valeurs, n);
}

namespace {

// Nearest integer, halves to even, for |p| <= limitePixel: adding and
// taking away 1.5 x 2^52 leaves no fraction under the default rounding.
inline int pixelDe(double p) {
  constexpr double aimant = 6755399441055744.0;
  const double c = std::clamp(p, -echellePixel::limitePixel, echellePixel::limitePixel);
  return int((c + aimant) - aimant);
}

}  // namespace

echellePixel::Textremes echellePixel::extremes(const double* v, std::size_t n) {
  double bas = v[0], haut = v[0];
  bool nan = false;
  std::size_t i = 0;
#if defined(__SSE2__)
  // Four lanes: min and max are loop-carried, one lane would wait on each.
  // minpd keeps its second operand when the first is NaN, so NaN is skipped.
  if (n >= 4) {
    __m128d b0 = _mm_set1_pd(bas), b1 = b0, h0 = b0, h1 = b0;
    __m128d d = _mm_setzero_pd();
    for (; i + 4 <= n; i += 4) {
      const __m128d w0 = _mm_loadu_pd(v + i);
      const __m128d w1 = _mm_loadu_pd(v + i + 2);
      b0 = _mm_min_pd(w0, b0);
      b1 = _mm_min_pd(w1, b1);
      h0 = _mm_max_pd(w0, h0);
      h1 = _mm_max_pd(w1, h1);
      d = _mm_or_pd(d, _mm_cmpunord_pd(w0, w1));
    }
    alignas(16) double t[2];
    _mm_store_pd(t, _mm_min_pd(b0, b1));
    bas = std::min(t[0], t[1]);
    _mm_store_pd(t, _mm_max_pd(h0, h1));
    haut = std::max(t[0], t[1]);
    nan = _mm_movemask_pd(d) != 0;
  }
#endif
  for (; i < n; ++i) {
    const double w = v[i];
    bas = w < bas ? w : bas;
    haut = w > haut ? w : haut;
    nan = nan || w != w;
  }
  // A leading NaN seeded the extremes.
  if (bas != bas || haut != haut) {
    nan = true;
    for (std::size_t k = 0; k < n; ++k)
      if (v[k] == v[k]) {
        bas = haut = v[k];
        for (; k < n; ++k) {
          bas = v[k] < bas ? v[k] : bas;
          haut = v[k] > haut ? v[k] : haut;
        }
        break;
      }
  }
  return {bas, haut, nan};
}

int TCourbe::XWindow(double r) const {
  if (r == valeurAbsente || !std::isfinite(r)) return -1;
  double v = r;
  if (axeLog) {
    if (r <= 0) return -1;
    v = std::log10(r);
    if (!std::isfinite(v)) return -1;
  }
  const double p = a * v + b;
  if (!std::isfinite(p)) return -1;
  return pixelDe(p);
}

void TCourbe::XWindowBloc(const double* r, int* pixels, std::size_t n) const {
  if (axeLog) {
    for (std::size_t i = 0; i < n; ++i) pixels[i] = XWindow(r[i]);
    return;
  }
  std::size_t i = 0;
#if defined(__SSE2__)
  // echellePixel::pixelLineaire two at a time.
  const __m128d va = _mm_set1_pd(a), vb = _mm_set1_pd(b);
  const __m128d absent = _mm_set1_pd(valeurAbsente);
  const __m128d lim = _mm_set1_pd(echellePixel::limitePixel), moinsLim = _mm_set1_pd(-echellePixel::limitePixel);
  const __m128d aimant = _mm_set1_pd(6755399441055744.0);
  const __m128d zero = _mm_setzero_pd();
  for (; i + 2 <= n; i += 2) {
    const __m128d w = _mm_loadu_pd(r + i);
    const __m128d p = _mm_add_pd(_mm_mul_pd(va, w), vb);
    const __m128d valide =
        _mm_and_pd(_mm_cmpneq_pd(w, absent), _mm_cmpeq_pd(_mm_sub_pd(p, p), zero));
    const __m128d c = _mm_min_pd(_mm_max_pd(_mm_and_pd(valide, p), moinsLim), lim);
    const __m128i t = _mm_castpd_si128(_mm_add_pd(c, aimant));
    const __m128i m = _mm_castpd_si128(valide);
    // Low halves of the two lanes; -1 where not valid.
    const __m128i px = _mm_or_si128(_mm_shuffle_epi32(t, _MM_SHUFFLE(3, 3, 2, 0)),
                                    _mm_shuffle_epi32(_mm_xor_si128(m, _mm_set1_epi32(-1)),
                                                      _MM_SHUFFLE(3, 3, 2, 0)));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(pixels + i), px);
  }
#endif
  for (; i < n; ++i) pixels[i] = echellePixel::pixelLineaire(a, b, r[i]);
}

double TCourbe::XMonde(int xi) const {
  if (a == 0) return b;
  return (xi - b) / a;
}

void TCourbe::setDelta(bool grandAxe, double min, double max) {
  if (Fmaxi < Fmini) std::swap(Fmini, Fmaxi);
  if (Fmaxi == Fmini) Fmaxi = Fmini + 1;
  if (!std::isfinite(min) || !std::isfinite(max)) {
    min = 0;
    max = 1;
  }
  if (min > max) std::swap(min, max);
  if (max == min) max = min + 1;
  if (!std::isfinite(max - min)) {  // range beyond doubles: halve it
    min /= 2;
    max /= 2;
  }
  const double A = std::max(std::fabs(min), std::fabs(max));
  axeDateTime = nomUnite() == "s" && A > 900;
  if (axeDateTime) {
    NbreChiffre = 4;
    double pas = (max - min) / 6;
    if (pas > 86400) {
      pas = plafond(pas / 86400) * 86400;
    } else if (pas > 3600) {
      auto h = arrondiEntier(pas / 3600);
      if (h == 5)
        h = 6;
      else if (h == 7)
        h = 8;
      else if (h >= 9 && h <= 17)
        h = 12;
      else if (h >= 18 && h <= 24)
        h = 24;
      pas = double(h) * 3600;
    } else if (pas > 900) {
      pas = plafond(pas / 900) * 900;
    } else {
      pas = std::max(1.0, plafond(pas / 60)) * 60;
    }
    deltaAxe = pas;
    pointDebut = 0;
    exposant = 1;
    return;
  }
  const double etendue = max - min;
  int c = int(plancher(std::log10(etendue)));
  double d = etendue / puissance10(c);
  // log10 may land one ulp on the wrong side of a decade.
  if (d < 1) {
    --c;
    d = etendue / puissance10(c);
  } else if (d >= 10) {
    ++c;
    d = etendue / puissance10(c);
  }
  static constexpr std::array<double, 6> echelle{0.1, 0.2, 0.5, 1, 2, 5};
  const double limite = grandAxe ? 10 : 5;
  std::size_t k = 0;
  while (k < echelle.size() - 1 && !(d / echelle[k] < limite)) ++k;
  // 10^c x 0.2 written as 2 x 10^(c-1) keeps decimal steps exact.
  static constexpr std::array<int, 6> mantisse{1, 2, 5, 1, 2, 5};
  deltaAxe = mantisse[k] * puissance10(k < 3 ? c - 1 : c);
  NbreChiffre = int(plafond(std::log10(A)) - plancher(std::log10(deltaAxe)));
  pointDebut = plafond(min / deltaAxe) * deltaAxe;
  exposant = puissance10(3 * tiersPlancher(c));
  const int m = int(plafond(std::log10(A / exposant)));
  NbreChiffre = std::max({NbreChiffre, m, 3});
  if (NbreChiffre > 4 || axeLog) NbreChiffre = 4;
}

std::string TCourbe::FormatAxe(double x) const { return formatGeneral(x, NbreChiffre); }

void TCourbe::chercheMinmax(int Nbre, double& min, double& max) const {
  double bas = std::min(Fmini, Fmaxi);
  double haut = std::max(Fmini, Fmaxi);
  const double* v = vecteurAff.donnees();
  const int n = std::clamp(Nbre, 0, int(maxPointsBalayage));
  double mi = std::numeric_limits<double>::infinity();
  double ma = -mi;
  if (n > 0 && v == nullptr) {
    mi = ma = 0;  // an untouched vector reads as zeros
  } else if (n > 0) {
    const echellePixel::Textremes e = echellePixel::extremes(v, std::size_t(n));
    mi = e.bas;
    ma = e.haut;
    // Missing and infinite values count as neither; NaN was skipped, and a
    // marker or an infinity between the extremes changes neither.
    const auto suspect = [](double x) { return x == valeurAbsente || std::isinf(x); };
    if (suspect(mi) || suspect(ma)) {
      const double inf = std::numeric_limits<double>::infinity();
      mi = inf;
      ma = -inf;
      for (int j = 0; j < n; ++j) {
        const double x = v[j];
        const bool valide = x != valeurAbsente && x - x == 0;
        mi = std::min(mi, valide ? x : inf);
        ma = std::max(ma, valide ? x : -inf);
      }
    }
  }
  if (!(mi <= ma)) {
    min = bas;
    max = haut;
    return;
  }
  const double marge = (haut - bas) / 50;
  min = std::clamp(mi - marge, bas, haut);
  max = std::clamp(ma + marge, bas, haut);
}

TvoieNonEA::~TvoieNonEA() = default;

void TvoieNonEA::setMinMax() {
  if (Fmini >= Fmaxi) Fmaxi = Fmini + 1;
  const double M = std::max(std::fabs(Fmini), std::fabs(Fmaxi));
  if (M > 0 && std::isfinite(M)) {
    const int e = int(std::floor(std::log10(M)));
    setExposant(M, tiersPlancher(e));
  } else {
    setExposant(1, 0);
  }
}
