#include "sim/emulator/signal.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace sim {

namespace {

// Fraction of the period at tMs, in [0, 1).
double phase(double frequence, double tMs) {
  const double p = frequence * tMs / 1000.0;
  return p - std::floor(p);
}

// Uniform in [-1, 1], a hash of the microsecond.
double aleaMicroseconde(double tMs) {
  auto x = static_cast<std::uint64_t>(static_cast<std::int64_t>(std::floor(tMs * 1000.0)));
  x ^= x >> 33;
  x *= 0xff51afd7ed558ccdULL;
  x ^= x >> 33;
  x *= 0xc4ceb9fe1a85ec53ULL;
  x ^= x >> 33;
  return static_cast<double>(x >> 11) / static_cast<double>(1ULL << 53) * 2.0 - 1.0;
}

std::optional<double> nombre(const std::string& s) {
  if (s.empty()) return std::nullopt;
  char* fin = nullptr;
  const double v = std::strtod(s.c_str(), &fin);
  if (*fin != '\0' || !std::isfinite(v)) return std::nullopt;
  return v;
}

}  // namespace

double ModeleSignal::volts(double tMs) const {
  switch (forme) {
    case Forme::constante:
      return offset;
    case Forme::sinus:
      return offset + amplitude * std::sin(2 * std::numbers::pi * phase(frequence, tMs));
    case Forme::carre:
      return offset + (phase(frequence, tMs) < 0.5 ? amplitude : -amplitude);
    case Forme::triangle: {
      const double p = phase(frequence, tMs);
      return offset + amplitude * (p < 0.5 ? 4 * p - 1 : 3 - 4 * p);
    }
    case Forme::bruit:
      return offset + amplitude * aleaMicroseconde(tMs);
  }
  return offset;
}

bool ModeleSignal::periodique() const {
  return (forme == Forme::sinus || forme == Forme::carre || forme == Forme::triangle) && frequence > 0 &&
         amplitude != 0;
}

std::int16_t codeDeVolts(double volts) {
  const double c = std::nearbyint(volts * 65536.0 / 20.0);
  if (!(c > -32768.0)) return -32768;
  if (c > 32767.0) return 32767;
  return static_cast<std::int16_t>(c);
}

double voltsDeCode(std::int16_t code) { return code * 20.0 / 65536.0; }

std::optional<ModeleSignal> lisModeleSignal(const std::string& texte) {
  ModeleSignal m;
  const auto deuxPoints = texte.find(':');
  const std::string nom = texte.substr(0, deuxPoints);
  if (nom == "constant") {
    m.forme = Forme::constante;
  } else if (nom == "sine") {
    m.forme = Forme::sinus;
  } else if (nom == "square") {
    m.forme = Forme::carre;
  } else if (nom == "triangle") {
    m.forme = Forme::triangle;
  } else if (nom == "noise") {
    m.forme = Forme::bruit;
  } else {
    return std::nullopt;
  }
  if (deuxPoints == std::string::npos) return m;
  std::string reste = texte.substr(deuxPoints + 1);
  std::size_t i = 0;
  while (i <= reste.size()) {
    const std::size_t j = std::min(reste.find(',', i), reste.size());
    const std::string item = reste.substr(i, j - i);
    const auto egal = item.find('=');
    if (egal == std::string::npos) return std::nullopt;
    const auto v = nombre(item.substr(egal + 1));
    if (!v) return std::nullopt;
    const std::string cle = item.substr(0, egal);
    if (cle == "amp") {
      m.amplitude = *v;
    } else if (cle == "off") {
      m.offset = *v;
    } else if (cle == "freq") {
      if (*v < 0) return std::nullopt;
      m.frequence = *v;
    } else {
      return std::nullopt;
    }
    i = j + 1;
  }
  return m;
}

}  // namespace sim
