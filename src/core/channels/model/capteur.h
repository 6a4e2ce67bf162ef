#pragma once
// Sensors: those the user types in the sensor list (linear or with a formula
// in V), the 22 that the interface recognises on its DB15 connectors, and the
// dissolved-oxygen probe. The sensor file and recognition live elsewhere;
// this is the model they fill.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/channels/model/enumerations.h"

class TParser;

// A sensor of the user's list.
class TCapteur {
 public:
  TCapteur() = default;

  // Copies the calibration, the five texts and the display range; not the
  // input number, maker, formula or genre.
  void Assign(const TCapteur& Acapteur);

  bool AvecPotarC = false;
  bool AvecAmpliC = false;
  double OffsetC = 0;   // value at 0 V
  double UnVoltC = 10;  // value change per volt
  Tconstructeur constructeur = cDin;
  std::string nomC = "T";
  std::string nomUniteC = "\u00b0C";
  std::string signifC;
  std::string aideC;
  std::string titreC;
  double MiniAff = 0;
  double MaxiAff = 0;
  std::int32_t numeroC = 0;
  bool LinearC = true;
  std::string ExpressionC;  // formula in V when not linear
  TGenreCapteur Genre = gNone;
};

// The user's sensors; the list owns them.
class TlisteCapteur {
 public:
  TlisteCapteur() = default;
  TlisteCapteur(const TlisteCapteur&) = delete;
  TlisteCapteur& operator=(const TlisteCapteur&) = delete;

  std::size_t Count() const { return Fitems.size(); }
  // Takes ownership; returns the index.
  std::size_t Add(std::unique_ptr<TCapteur> capteur);
  // nullptr outside 0..Count()-1.
  TCapteur* Get(std::size_t i) const;
  // Replaces (and frees) the sensor at i; ignored outside the list.
  void Put(std::size_t i, std::unique_ptr<TCapteur> capteur);
  // -1 when absent.
  int IndexOf(const TCapteur* capteur) const;
  // Frees the sensor; returns its former index, -1 when absent.
  int Remove(const TCapteur* capteur);
  void Delete(std::size_t i);
  void Clear();

 private:
  std::vector<std::unique_ptr<TCapteur>> Fitems;
};

inline constexpr int nbreCapteursAuto = 22;
inline constexpr int nbrePotars = 5;
inline constexpr int nbreUnitesAuto = 3;

// Message shown when the formula of a recognised sensor does not compile.
inline constexpr const char* msgErreurFormuleCapteurAuto =
    "Erreur de syntaxe\rUtiliser le point d\u00e9cimal\rlog d\u00e9cimal de x = log10(x)";

// One of the sensors recognised on the DB15 connectors.
class TCapteurAuto {
 public:
  explicit TCapteurAuto(int Acode);
  ~TCapteurAuto();
  TCapteurAuto(const TCapteurAuto&) = delete;
  TCapteurAuto& operator=(const TCapteurAuto&) = delete;

  // Raw code to the value in the selected unit: the unit's formula when it
  // is not unit 0 and a formula is compiled, else its linear coefficients.
  double ValeurReal(int V) const;
  // Any potentiometer is used.
  bool AvecEtalonnage() const;

  // The formula of unit 1: stored as given, compiled without blanks. A text
  // that does not compile clears the formula and shows the message above.
  void setExpression(const std::string& texte);
  // The text of unit 1's formula.
  const std::string& expression() const { return expressionC[1]; }
  // A compiled formula is ready.
  bool avecFormule() const;

  std::unique_ptr<TParser> Parser;
  std::array<bool, nbrePotars> PotarActif{};
  std::array<std::uint16_t, nbrePotars> ValeurPotar{};
  std::array<double, nbrePotars> ValeurAttendue{};
  std::array<std::string, nbrePotars> AidePotar;
  TModeAcq modeAcq = AcqTemps;
  std::array<double, nbreUnitesAuto> OffsetC{};
  std::array<double, nbreUnitesAuto> UnVoltC{};
  std::int32_t CodeAuto = 0;
  std::array<std::string, nbreUnitesAuto> nomC;
  std::array<std::string, nbreUnitesAuto> nomUniteC;
  std::array<std::string, nbreUnitesAuto> signifC;
  std::array<std::string, nbreUnitesAuto> titreC;
  std::array<double, nbreUnitesAuto> MiniAff{};
  std::array<double, nbreUnitesAuto> MaxiAff{};
  bool EtalonnageFait = false;
  bool capteurSynchro = false;
  bool PotarFige = false;
  std::uint8_t nbreUniteBis = 0;  // 0..2
  std::array<std::string, nbreUnitesAuto> expressionC;
  std::uint8_t codeUniteC = 0;  // 0..2
  std::int32_t compteurWRpotar = 0;

 private:
  int uniteChoisie() const;
};

// The dissolved-oxygen probe, switched between temperature and concentration
// by an output of the interface.
class TOxymetre {
 public:
  // Temperature (°C) of the probe's raw code; kept in Temp.
  double temperature(int V);
  // Saturation concentration at Temp and 1013 hPa, kept in cRef (mg/L);
  // returns it as the raw code of a 15 mg/L full scale.
  int valeurAttendue();
  // mg/L of a raw code.
  double concentration(int V) const;
  // Commands that switch the probe to temperature / concentration; empty for
  // a code other than "0".."3".
  std::string MesureT() const;
  std::string MesureC() const;

  std::int32_t voie = 0;
  char code = '0';  // '0'..'3'
  double Temp = 0;
  double cRef = 0;
};

// Objects shared by the whole program, created on first use.
TlisteCapteur& listeCapteurs();
// The recognised sensor of code 1..22; nullptr for any other code.
TCapteurAuto* capteurAuto(int code);
TOxymetre& oxymetre();
