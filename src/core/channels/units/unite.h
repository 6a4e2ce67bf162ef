#pragma once
// Physical units: a unit name as typed by the user or read from a sensor
// file, the power of ten and SI dimension read out of it, and the writing of
// values with an SI prefix chosen for their magnitude.

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

// Marker of a dimensionless unit; tuVide means no marker.
enum TuniteSansDim : std::uint8_t { tuVide, tuDegre, tuRadian, tuDecibel, tuPourCent };

// Raised by the unit algebra when an exponent or a power of ten leaves its
// range; reading a unit name catches it and keeps what was read so far.
class EUniteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Messages of EUniteError.
inline constexpr const char* msgExposantUnite = "Exposant d'unité hors limites";
inline constexpr const char* msgPuissanceUnite = "Puissance de dix d'unité hors limites";

// Number of SI base dimensions, in the order m, kg, s, A, K, mol, cd.
inline constexpr int nbreDimensions = 7;

class Tunite {
 public:
  Tunite();
  // A unit read from its name (as by setNomUnite).
  explicit Tunite(const std::string& nomU);
  Tunite(const Tunite&) = default;
  Tunite& operator=(const Tunite&) = default;
  Tunite(Tunite&&) = default;
  Tunite& operator=(Tunite&&) = default;
  virtual ~Tunite();

  // Back to the state after creation: no name, no dimension, exposantAff 1.
  void Init();

  // The unit name exactly as written.
  const std::string& nomUnite() const { return FnomUnite; }
  // Stores the name and reads power, dimensions and marker out of it.
  // Unknown symbols are ignored; never raises for any text.
  void setNomUnite(const std::string& nomU);

  // Name, power and exponents (m first) set directly, without reading.
  void setUniteComplet(const std::string& nu, int p, std::int8_t d1, std::int8_t d2,
                       std::int8_t d3, std::int8_t d4, std::int8_t d5, std::int8_t d6,
                       std::int8_t d7);
  // Name, power, marker and dimensions of U (not nom, not the display fields).
  void RecopieUnite(const Tunite& U);
  // RecopieUnite, then nom.
  void Assign(const Tunite& U);

  // The name to write after a number whose power of ten puissValeur is not
  // yet written in the number ("V" for a mV unit and 3, "kVs-1", "cm3").
  std::string NomAff(int puissValeur) const;
  // Axis title: nom/unit or nom(unit) for graduations divided by exposant.
  std::string NomAxe(double exposant) const;
  // Value with prefix and unit: "12.50 mV", "0 V", "???".
  std::string formatUnite(double nombre) const;
  // A range with one common prefix: "-500 +500 mV".
  std::string formatUniteDouble(double mini, double maxi) const;
  // Prepares exposantAff and nbreAvantVirgule for FormatUniteExp.
  void setExposant(double maxi, int expo);
  // Fixed-width value for the voltmeter view, decimal separators lined up.
  std::string FormatUniteExp(double Nombre, bool avecUnite) const;
  // nom=value with unit.
  virtual std::string NomValeurUnite(double nombre) const;

  // True when all seven exponents are zero.
  bool sansDimension() const;

  std::string FnomUnite;
  TuniteSansDim SansDim = tuVide;
  std::array<std::int8_t, nbreDimensions> Dimension{};
  std::int32_t Puissance = 0;
  double exposantAff = 1.0;
  std::int32_t nbreAvantVirgule = 0;
  std::string nom;
};

// The coherent SI units and the usual units, searched in this order; the
// first match wins everywhere.
const std::array<Tunite, 32>& unitesSI();
const std::array<Tunite, 9>& unitesUsuelles();
// The "s" entry of unitesSI, used to write durations.
const Tunite& uniteSeconde();

// Unit algebra. Each raises EUniteError (leaving a unchanged) when an
// exponent leaves -128..127 or the power of ten leaves the 32-bit range.
void multiplieUnite(Tunite& a, const Tunite& b);
void inverseUnite(Tunite& a);
void puissanceUnite(Tunite& a, int n);

// Prefix letters of unit names, reading and writing alike.
struct TprefixeUnite {
  const char* lettre;  // UTF-8, one character
  int puissance;
};
inline constexpr std::array<TprefixeUnite, 15> prefixesUnite{{
    {"E", 18}, {"P", 15}, {"T", 12}, {"G", 9}, {"M", 6}, {"k", 3}, {"h", 2}, {"d", -1},
    {"c", -2}, {"m", -3}, {"\u00b5", -6}, {"n", -9}, {"p", -12}, {"f", -15}, {"a", -18}}};

// Power of ten of a prefix character; false when c is no prefix. The Greek
// mu is taken as the micro sign, since the one-byte code of the sensor and
// configuration files turns a stored micro sign into it.
bool puissancePrefixe(char32_t c, int& puissance);
// A power of ten that a prefix letter writes: -18..18 in steps of 3, or
// -2, -1, 2.
bool exposantPrefixable(long long e);
// The name prefixed for e ("kV", "10-5 m"); a name that already begins with
// a prefix has it folded into e first ("mV" and 3 give "V").
std::string appliquePrefixe(const std::string& nomU, long long e);
// "10" e " " name, or "10" e " S.I." when longer than 20 characters.
std::string nomPuissanceDix(const std::string& nomU, long long e);
