#pragma once
// A measured channel: which input of the interface it reads, how a raw
// 16-bit converter code becomes a physical value (volts, a linear sensor or
// a formula in V), its display range, its unit and the samples of the last
// sweep. Curves and special channels derive from it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/channels/model/capteur.h"
#include "core/channels/model/enumerations.h"
#include "core/channels/model/vecteur.h"
#include "core/channels/units/unite.h"

class TFichierIni;
class TParser;

// Where the model shows its messages (the windowing layer installs a box).
class IVueVoies {
 public:
  virtual ~IVueVoies() = default;
  virtual void afficheMessage(const std::string& message) = 0;
};
// nullptr restores the default, which goes to afficheErreur of the number
// library.
void fixeVueVoies(IVueVoies* vue);
IVueVoies& vueVoies();

// Which interface is in use, as far as channels care.
struct TcontexteVoies {
  bool PuxActif = false;
  int connecteurPux = 0;  // PUX II extension-connector setting 0..2
};
TcontexteVoies& contexteVoies();

// Messages.
inline constexpr const char* msgErreurFormuleVoie =
    "Erreur de syntaxe\rUtiliser le point d\u00e9cimal\rTension mesur\u00e9e : V";
inline constexpr const char* msgAmpliPhysique =
    "N\u00e9cessite un ampli physique branch\u00e9 sur prise F";

// Input name on the front panel of the VYK II or of the PUX II with the
// given extension-connector setting; "" for an input that does not exist.
std::string nomEntreeBrixo(int n, bool pux, int connecteurPux);
// Character naming a DB15 input in the potentiometer commands and as trigger
// source: '0','1' for inputs 10, 11 on the VYK II, '0'..'3' for inputs 8..11
// on the PUX II, ' ' otherwise.
char caractereEntree(int n, bool pux);
// Volts of a threshold code of the frequency input.
double seuilEnVolts(int code, bool pux);
// Input number of a file written for the other model, translated once.
int traduitNumeroBrixo(int n, bool versPux);

// Colour of channel slot i (0..12) in the platform's 0x00BBGGRR layout.
std::int32_t couleurVoie(int i);

inline constexpr int nbreOldValeurs = 18;
inline constexpr int maxMoyenne = 16;

class Tvoie : public Tunite {
 public:
  // Channel of slot num (input num - 6).
  explicit Tvoie(int num);
  ~Tvoie() override;
  Tvoie(const Tvoie&) = delete;
  Tvoie& operator=(const Tvoie&) = delete;

  // --- properties ---
  std::int32_t NumBrixo() const { return FnumBrixo; }
  double Mini() const { return Fmini; }
  double Maxi() const { return Fmaxi; }
  std::string NomVoieBrixo() const { return GetNomVoieBrixo(); }
  // Bound to a sensor whose formula has a text.
  bool CapteurNonLin() const;
  // Text of the sensor formula ("" without one).
  std::string expression() const;
  // Compiles the text without blanks. A text that does not compile shows
  // msgErreurFormuleVoie and keeps the previous formula; "" clears it.
  virtual void setExpression(const std::string& texte);

  // --- conversions ---
  // Volts of a code: -32768..32767 span -10 V..+10 V.
  virtual double ValeurVolt(int V) const;
  double VoltToReal(double volts) const;
  // Physical value of a code; valeurAbsente when a formula fails.
  virtual double ValeurReal(int V) const;
  // ValeurReal of n codes at once. The base version runs a tight loop when
  // the object is exactly a Tvoie; a derived class gets a loop over its own
  // ValeurReal unless it overrides this with ValeurRealBlocDeBase (which is
  // right only when it changes neither ValeurReal nor ValeurVolt).
  virtual void ValeurRealBloc(const std::int16_t* codes, double* valeurs, std::size_t n) const;
  // vecteurAff[debut..fin) := ValeurReal(vecteurCourant[...]); indices past
  // the vectors are ignored.
  void convertitVecteur(std::size_t debut, std::size_t fin);
  double CalibreMaxi() const;
  double CalibreMini() const;

  // --- texts ---
  std::string CodeVoie() const;
  virtual std::string GetNomVoieBrixo() const;
  virtual std::string calibreVoie() const;
  virtual std::string AffVoltmetre() const;
  // Value of sample i without unit ("  Erreur" past the vector).
  virtual std::string AffValeur(std::size_t i) const;

  // --- range, samples, sensors ---
  virtual void setMinMax();
  void RazVecteur();
  void AffecteCapteur(const TCapteur& c);
  // Binds the first sensor of the list with that genre, adding one first
  // when there is none.
  void ChercheCapteur(TGenreCapteur genre);
  void ChercheCapteur(TGenreCapteur genre, TlisteCapteur& liste);

  // --- live value ---
  // A single reading of the input: ValeurCourante, averaged over the last
  // NbreMoyenne readings.
  void nouvelleLecture(int code);
  // Forget the readings (after the channel is reconfigured).
  void RazMoyenne();

  // --- persistence ---
  virtual void load(const std::string& Avoie, const TFichierIni& ini);
  virtual void store(const std::string& Avoie, TFichierIni& ini);

  // --- fields, in the order of the model ---
  std::int32_t FnumBrixo = 0;
  double Fmini = -5;
  double Fmaxi = 5;
  std::unique_ptr<TParser> Parser;
  double* VoltRefParser = nullptr;  // the variable "V0" of Parser
  double TensionRef = 0.1;
  std::array<double, nbreOldValeurs> oldValeurs{};
  std::array<TVecteur, nbrePagesMax> oldVecteur;
  std::int32_t NbreMoyenne = 1;
  double Offset = 0;
  double UnVolt = 1;
  double ValeurCourante = 0;
  double valeurAff = 0;
  bool AvecPotar = false;
  bool AvecAmpli = false;
  std::string signif;
  std::string aide;
  TVecteur vecteurAff;
  TVecteur vecteurSinc;
  TVecteurInt vecteurCourant;
  bool active = false;
  std::int32_t couleur = 0;  // 0x00BBGGRR
  Tmotif Motif = mCroix;
  bool AvecCapteur = false;
  std::int32_t indexCapteurAuto = 0;
  bool isChromavel = false;
  bool isGlowmetra = false;
  bool isGlowmetraDB15 = false;
  // Next position in oldValeurs.
  int indiceMoyenne = 0;

 protected:
  void ValeurRealBlocDeBase(const std::int16_t* codes, double* valeurs, std::size_t n) const;
  bool sansCapteur() const { return !AvecCapteur && indexCapteurAuto <= 0; }

 private:
  double evalueFormule(double v) const;
};
