#include "core/channels/model/capteur.h"

#include <algorithm>
#include <cmath>

#include "core/channels/model/voie.h"
#include "core/channels/numbers/nombres.h"
#include "core/formulas/parser/parser.h"

std::string texteEtatAcq(TetatAcq etat) {
  switch (etat) {
    case eaAttenteSynchro:
      return "Attente de d\u00e9clenchement";
    case eaAttenteResul:
      return "Attente des valeurs envoy\u00e9es par Brixo";
    case eaTerminee:
      return "Acquisition termin\u00e9e";
    case eaMajResul:
      break;
  }
  return "";
}

// --- TCapteur ----------------------------------------------------------------

void TCapteur::Assign(const TCapteur& Acapteur) {
  AvecPotarC = Acapteur.AvecPotarC;
  LinearC = Acapteur.LinearC;
  AvecAmpliC = Acapteur.AvecAmpliC;
  OffsetC = Acapteur.OffsetC;
  UnVoltC = Acapteur.UnVoltC;
  nomC = Acapteur.nomC;
  nomUniteC = Acapteur.nomUniteC;
  signifC = Acapteur.signifC;
  aideC = Acapteur.aideC;
  titreC = Acapteur.titreC;
  MiniAff = Acapteur.MiniAff;
  MaxiAff = Acapteur.MaxiAff;
}

// --- TlisteCapteur -----------------------------------------------------------

std::size_t TlisteCapteur::Add(std::unique_ptr<TCapteur> capteur) {
  Fitems.push_back(std::move(capteur));
  return Fitems.size() - 1;
}

TCapteur* TlisteCapteur::Get(std::size_t i) const {
  return i < Fitems.size() ? Fitems[i].get() : nullptr;
}

void TlisteCapteur::Put(std::size_t i, std::unique_ptr<TCapteur> capteur) {
  if (i < Fitems.size()) Fitems[i] = std::move(capteur);
}

int TlisteCapteur::IndexOf(const TCapteur* capteur) const {
  for (std::size_t i = 0; i < Fitems.size(); ++i)
    if (Fitems[i].get() == capteur) return int(i);
  return -1;
}

int TlisteCapteur::Remove(const TCapteur* capteur) {
  const int i = IndexOf(capteur);
  if (i >= 0) Delete(std::size_t(i));
  return i;
}

void TlisteCapteur::Delete(std::size_t i) {
  if (i < Fitems.size()) Fitems.erase(Fitems.begin() + std::ptrdiff_t(i));
}

void TlisteCapteur::Clear() { Fitems.clear(); }

// --- TCapteurAuto --------------------------------------------------------------

TCapteurAuto::TCapteurAuto(int Acode) : CodeAuto(Acode) {
  nomC[0] = "T";
  nomUniteC[0] = "\u00b0C";
  UnVoltC[0] = 10;
  MiniAff[0] = -50;
  MaxiAff[0] = 110;
}

TCapteurAuto::~TCapteurAuto() = default;

int TCapteurAuto::uniteChoisie() const {
  return codeUniteC < nbreUnitesAuto ? int(codeUniteC) : 0;
}

bool TCapteurAuto::avecFormule() const { return Parser && Parser->Compiled(); }

double TCapteurAuto::ValeurReal(int V) const {
  const double x = V * 20.0 / 65536.0;
  const int u = uniteChoisie();
  if (avecFormule() && u != 0) {
    Parser->V() = x;
    return Parser->ValeurOu(valeurAbsente);
  }
  return UnVoltC[std::size_t(u)] * x + OffsetC[std::size_t(u)];
}

bool TCapteurAuto::AvecEtalonnage() const {
  return std::any_of(PotarActif.begin(), PotarActif.end(), [](bool b) { return b; });
}

void TCapteurAuto::setExpression(const std::string& texte) {
  expressionC[1] = texte;
  if (!Parser) Parser = std::make_unique<TParser>();
  std::string t = texte;
  enleveBlancs(t);
  try {
    Parser->SetExpression(t);
  } catch (const EMathParserError&) {
    Parser->SetExpression("");
    vueVoies().afficheMessage(msgErreurFormuleCapteurAuto);
  }
}

// --- TOxymetre ---------------------------------------------------------------

double TOxymetre::temperature(int V) {
  const double x = V * 20.0 / 65536.0;
  // The two pieces of the probe's curve fall from about 50 °C at 1.47 V to
  // 0 °C at 3.8287 V; outside them the reading saturates at the end it left
  // from (hot below, 0 °C above), never jumping to the opposite end.
  if (x < 1.47)
    Temp = 100;
  else if (x < 2.106)
    Temp = (3.5758 - x) / 0.04199;
  else if (x < 3.8287)
    Temp = (3.8287 - x) / 0.049216;
  else
    Temp = 0;
  return Temp;
}

int TOxymetre::valeurAttendue() {
  const double T = Temp;
  const double a = T - 20;
  const double p =
      ((((3.042e-8 * a + 5.3782e-6) * a + 5.9652e-4) * a + 0.039262) * a + 1.4478) * a + 23.373;
  const double s = ((((-2.7825548e-9 * T + 8.2611937e-7) * T - 1.1381568e-4) * T + 8.5384937e-3) *
                        T -
                    0.41022722) *
                       T +
                   14.646;
  cRef = (1013 - p) * s / 1013;
  return int(arrondiEntier(cRef * 32767 / 15));
}

double TOxymetre::concentration(int V) const { return V * 15.0 / 32767.0; }

std::string TOxymetre::MesureT() const {
  switch (code) {
    case '0':
    case '1':
      return std::string("WDAC ") + code + " 255";
    case '2':
      return "WRBIT 6";
    case '3':
      return "WRBIT 7";
    default:
      return "";
  }
}

std::string TOxymetre::MesureC() const {
  switch (code) {
    case '0':
    case '1':
      return std::string("WDAC ") + code + " 0";
    case '2':
      return "WSBIT 6";
    case '3':
      return "WSBIT 7";
    default:
      return "";
  }
}

// --- shared objects ------------------------------------------------------------

TlisteCapteur& listeCapteurs() {
  static TlisteCapteur liste;
  return liste;
}

namespace {
struct TableCapteursAuto {
  std::array<std::unique_ptr<TCapteurAuto>, nbreCapteursAuto> capteurs;
  TableCapteursAuto() {
    for (int i = 0; i < nbreCapteursAuto; ++i) capteurs[std::size_t(i)] = std::make_unique<TCapteurAuto>(i + 1);
  }
};
}  // namespace

TCapteurAuto* capteurAuto(int code) {
  static TableCapteursAuto table;
  if (code < 1 || code > nbreCapteursAuto) return nullptr;
  return table.capteurs[std::size_t(code - 1)].get();
}

TOxymetre& oxymetre() {
  static TOxymetre o;
  return o;
}
