#include "core/channels/model/voie.h"

#include <algorithm>
#include <cmath>
#include <typeinfo>
#include <utility>

#include "core/channels/numbers/fichier_ini.h"
#include "core/channels/numbers/nombres.h"
#include "core/formulas/parser/parser.h"

// --- shared settings ---------------------------------------------------------

namespace {

class VueParDefaut : public IVueVoies {
 public:
  void afficheMessage(const std::string& message) override { afficheErreur(message); }
};

IVueVoies*& vueInstallee() {
  static IVueVoies* vue = nullptr;
  return vue;
}

constexpr double voltsParCode = 20.0 / 65536.0;

}  // namespace

void fixeVueVoies(IVueVoies* vue) { vueInstallee() = vue; }

IVueVoies& vueVoies() {
  static VueParDefaut parDefaut;
  IVueVoies* v = vueInstallee();
  return v ? *v : parDefaut;
}

TcontexteVoies& contexteVoies() {
  static TcontexteVoies contexte;
  return contexte;
}

std::string nomEntreeBrixo(int n, bool pux, int connecteurPux) {
  static const char* const lettres[] = {"G", "H", "I", "J"};
  if (!pux) {
    if (n >= 0 && n <= 9) return "EA" + std::to_string(n);
    if (n == 10 || n == 11) return "EAD" + std::to_string(n - 10);
    return "";
  }
  if (n >= 8 && n <= 11) return std::string("EAD-") + lettres[n - 8];
  switch (connecteurPux) {
    case 1: {
      static const char* const prises[] = {"-A", "-A", "-F", "-F", "-B", "-B", "-C", "-C"};
      if (n >= 0 && n <= 7) return "EA" + std::to_string(n) + prises[n];
      return "";
    }
    case 2:
      if (n >= 0 && n <= 7) return "EA" + std::to_string(n);
      return "";
    default:
      if (n >= 0 && n <= 3) return "EA" + std::to_string(n);
      if (n >= 4 && n <= 7) return std::string("EA-") + lettres[n - 4];
      return "";
  }
}

char caractereEntree(int n, bool pux) {
  if (pux) return n >= 8 && n <= 11 ? char(n + 40) : ' ';
  return n >= 10 && n <= 11 ? char(n + 38) : ' ';
}

double seuilEnVolts(int code, bool pux) {
  return pux ? code * 20.0 / 4096.0 - 10 : code * 20.0 / 256.0 - 10;
}

int traduitNumeroBrixo(int n, bool versPux) {
  if (versPux) {
    switch (n) {
      case 8: return 4;
      case 9: return 5;
      case 10: return 8;
      case 11: return 9;
      default: return n;
    }
  }
  switch (n) {
    case 4: return 8;
    case 5: return 9;
    case 8: return 10;
    case 9: return 11;
    default: return n;
  }
}

std::int32_t couleurVoie(int i) {
  // 0x00BBGGRR. Inputs get strong, well separated hues; the special
  // channels darker ones.
  static constexpr std::int32_t table[] = {
      0x000000,  // 0
      0x000000,  // 1 time
      0x808000,  // 2 analog output (teal)
      0x800000,  // 3 keyboard (navy)
      0x800080,  // 4 optical fork (purple)
      0x008080,  // 5 frequency (olive)
      0x0000FF,  // 6 first input (red)
      0xFF0000,  // 7 blue
      0x008000,  // 8 green
      0xFF00FF,  // 9 fuchsia
      0x0080FF,  // 10 orange
      0x404040,  // 11 computed channel (dark grey)
      0x000080,  // 12 ultrasound (maroon)
  };
  if (i < 0 || i >= int(std::size(table))) return 0;
  return table[i];
}

// --- Tvoie -------------------------------------------------------------------

Tvoie::Tvoie(int num) {
  setNomUnite("V");
  nom = "V" + std::to_string(num);
  FnumBrixo = num - 6;
  couleur = couleurVoie(num);
  oldValeurs.fill(valeurAbsente);
}

Tvoie::~Tvoie() = default;

bool Tvoie::CapteurNonLin() const {
  return !sansCapteur() && Parser && !Parser->Expression().empty();
}

std::string Tvoie::expression() const { return Parser ? Parser->Expression() : std::string(); }

void Tvoie::setExpression(const std::string& texte) {
  std::string t = texte;
  enleveBlancs(t);
  if (t.empty()) {
    if (Parser) Parser->SetExpression("");
    return;
  }
  if (!Parser) {
    Parser = std::make_unique<TParser>();
    VoltRefParser = Parser->SetVariable("V0", 0.1);
  }
  const std::string ancienne = Parser->Compiled() ? Parser->Expression() : std::string();
  try {
    Parser->SetExpression(t);
  } catch (const EMathParserError&) {
    vueVoies().afficheMessage(msgErreurFormuleVoie);
    // The previous text compiled with the same variables, so it compiles again.
    try {
      Parser->SetExpression(ancienne);
    } catch (const EMathParserError&) {
      Parser->SetExpression("");
    }
  }
}

double Tvoie::ValeurVolt(int V) const { return V * voltsParCode; }

double Tvoie::VoltToReal(double volts) const {
  return sansCapteur() ? volts : volts * UnVolt + Offset;
}

double Tvoie::evalueFormule(double v) const {
  if (!Parser->Compiled()) return valeurAbsente;
  Parser->V() = v;
  if (VoltRefParser) *VoltRefParser = TensionRef;
  return Parser->ValeurOu(valeurAbsente);
}

double Tvoie::ValeurReal(int V) const {
  const double v = ValeurVolt(V);
  if (CapteurNonLin()) return evalueFormule(v);
  if (sansCapteur()) return v;
  const double r = UnVolt * v + Offset;
  if (indexCapteurAuto > 0) return std::min(std::max(r, Fmini), Fmaxi);
  return r;
}

void Tvoie::ValeurRealBloc(const std::int16_t* codes, double* valeurs, std::size_t n) const {
  if (typeid(*this) == typeid(Tvoie)) {
    ValeurRealBlocDeBase(codes, valeurs, n);
    return;
  }
  for (std::size_t k = 0; k < n; ++k) valeurs[k] = ValeurReal(codes[k]);
}

void Tvoie::ValeurRealBlocDeBase(const std::int16_t* codes, double* valeurs,
                                 std::size_t n) const {
  // Same arithmetic as ValeurReal, with the branches taken once per block.
  if (CapteurNonLin()) {
    if (!Parser->Compiled()) {
      std::fill_n(valeurs, n, valeurAbsente);
      return;
    }
    if (VoltRefParser) *VoltRefParser = TensionRef;
    double& v = Parser->V();
    for (std::size_t k = 0; k < n; ++k) {
      v = codes[k] * voltsParCode;
      valeurs[k] = Parser->ValeurOu(valeurAbsente);
    }
    return;
  }
  if (sansCapteur()) {
    for (std::size_t k = 0; k < n; ++k) valeurs[k] = codes[k] * voltsParCode;
    return;
  }
  const double a = UnVolt;
  const double b = Offset;
  if (indexCapteurAuto > 0) {
    const double bas = Fmini;
    const double haut = Fmaxi;
    for (std::size_t k = 0; k < n; ++k)
      valeurs[k] = std::min(std::max(a * (codes[k] * voltsParCode) + b, bas), haut);
    return;
  }
  for (std::size_t k = 0; k < n; ++k) valeurs[k] = a * (codes[k] * voltsParCode) + b;
}

void Tvoie::convertitVecteur(std::size_t debut, std::size_t fin) {
  fin = std::min(fin, tailleVecteur);
  if (debut >= fin) return;
  double* sortie = vecteurAff.data();
  const std::int16_t* entree = vecteurCourant.donnees();
  if (!entree) {
    static const std::int16_t zeros[1] = {0};
    const double zero = ValeurReal(zeros[0]);
    std::fill(sortie + debut, sortie + fin, zero);
    return;
  }
  ValeurRealBloc(entree + debut, sortie + debut, fin - debut);
}

double Tvoie::CalibreMaxi() const { return CapteurNonLin() ? Fmaxi : ValeurReal(32767); }

double Tvoie::CalibreMini() const { return CapteurNonLin() ? Fmini : ValeurReal(-32767); }

std::string Tvoie::CodeVoie() const { return std::to_string(FnumBrixo); }

std::string Tvoie::GetNomVoieBrixo() const {
  const TcontexteVoies& c = contexteVoies();
  return nomEntreeBrixo(FnumBrixo, c.PuxActif, c.connecteurPux);
}

std::string Tvoie::calibreVoie() const {
  if (Fmini * Fmaxi >= 0) return formatUnite(Fmaxi > 0 ? Fmaxi : Fmini);
  if ((Fmaxi - Fmini) / 10 > std::fabs(Fmaxi + Fmini)) return "\u00b1" + formatUnite(Fmaxi);
  return formatUniteDouble(Fmini, Fmaxi);
}

std::string Tvoie::AffVoltmetre() const { return FormatUniteExp(valeurAff, true); }

std::string Tvoie::AffValeur(std::size_t i) const {
  return FormatUniteExp(i < tailleVecteur ? vecteurAff[i] : valeurAbsente, false);
}

void Tvoie::setMinMax() {
  if (sansCapteur()) {
    Fmini = std::max(Fmini, -10.0);
    Fmaxi = std::min(Fmaxi, 10.0);
  }
  if (Fmaxi < Fmini) std::swap(Fmini, Fmaxi);
  if (!CapteurNonLin()) {
    const double ecart = std::fabs(ValeurReal(64) - ValeurReal(0));
    if (Fmaxi - Fmini < ecart) Fmaxi = Fmini + ecart;
  }
  const double m = std::max(std::fabs(Fmini), std::fabs(Fmaxi));
  // A zero or non-finite range has no magnitude to show; keep units.
  if (m > 0 && std::isfinite(m)) {
    const int b = int(std::floor(std::log10(m)));
    const int expo = b >= 0 ? b / 3 : -((-b + 2) / 3);
    setExposant(m, expo);
  } else {
    setExposant(1, 0);
  }
}

void Tvoie::RazVecteur() {
  vecteurAff.remplit(0);
  vecteurCourant.remplit(0);
}

void Tvoie::AffecteCapteur(const TCapteur& c) {
  const bool pux = contexteVoies().PuxActif;
  nom = c.nomC;
  setNomUnite(c.nomUniteC);
  signif = c.signifC;
  aide = c.aideC;
  FnumBrixo = pux ? traduitNumeroBrixo(c.numeroC, true) : c.numeroC;
  Fmini = c.MiniAff;
  Fmaxi = c.MaxiAff;
  AvecAmpli = c.AvecAmpliC;
  if (AvecAmpli) {
    FnumBrixo = 2;
    vueVoies().afficheMessage(msgAmpliPhysique);
  }
  AvecPotar = c.AvecPotarC;
  AvecCapteur = true;
  Offset = c.OffsetC;
  UnVolt = c.UnVoltC;
  // The formula and the end of any recognised-sensor binding come before the
  // range is checked, so that the check uses the new sensor's conversion and
  // not what the channel held before.
  indexCapteurAuto = 0;
  setExpression(c.LinearC ? std::string() : c.ExpressionC);
  setMinMax();
  isChromavel = c.Genre == gChromavel;
  isGlowmetra = c.Genre == gGlowmetra;
  isGlowmetraDB15 = c.Genre == gGlowmetraDB15;
  if (isChromavel) TensionRef = 1.0;
  if (isGlowmetra) TensionRef = 4.3;
  if (isGlowmetraDB15) TensionRef = 1.9;
}

void Tvoie::ChercheCapteur(TGenreCapteur genre) { ChercheCapteur(genre, listeCapteurs()); }

void Tvoie::ChercheCapteur(TGenreCapteur genre, TlisteCapteur& liste) {
  for (std::size_t i = 0; i < liste.Count(); ++i) {
    const TCapteur* c = liste.Get(i);
    if (c && c->Genre == genre) {
      AffecteCapteur(*c);
      return;
    }
  }
  auto c = std::make_unique<TCapteur>();
  c->Genre = genre;
  switch (genre) {
    case gEntree:
    case gSortie:
      c->nomC = genre == gEntree ? "Ve" : "Vs";
      c->nomUniteC = "V";
      c->signifC = genre == gEntree ? "Tension efficace d'entr\u00e9e" : "Tension efficace de sortie";
      c->numeroC = genre == gEntree ? 8 : 11;
      c->aideC = genre == gEntree ? "fil vert prise H" : "fil jaune prise H";
      c->OffsetC = 0;
      c->UnVoltC = 1;
      c->MiniAff = 0;
      c->MaxiAff = 10;
      break;
    case gPhase:
      c->nomC = "\u2014";
      c->nomUniteC = "\u00b0";
      c->signifC = "Phase";
      c->numeroC = 9;
      c->aideC = "Phase de \"jaune\" / \"vert\"";
      c->OffsetC = 0;
      c->UnVoltC = 36;
      c->MiniAff = -180;
      c->MaxiAff = 180;
      break;
    default:
      break;
  }
  const TCapteur& ajoute = *liste.Get(liste.Add(std::move(c)));
  AffecteCapteur(ajoute);
}

void Tvoie::nouvelleLecture(int code) {
  const double r = ValeurReal(code);
  ValeurCourante = r;
  const int n = std::clamp(int(NbreMoyenne), 1, maxMoyenne);
  if (n <= 1) return;
  if (indiceMoyenne < 0 || indiceMoyenne >= n) indiceMoyenne = 0;
  oldValeurs[std::size_t(indiceMoyenne)] = r;
  indiceMoyenne = (indiceMoyenne + 1) % n;
  // A failed reading is shown as such rather than averaged as a number.
  if (r == valeurAbsente) return;
  double somme = 0;
  for (int k = 0; k < n; ++k) {
    const double x = oldValeurs[std::size_t(k)];
    somme += x == valeurAbsente ? r : x;
  }
  ValeurCourante = somme / n;
}

void Tvoie::RazMoyenne() {
  oldValeurs.fill(valeurAbsente);
  indiceMoyenne = 0;
}

// --- persistence -------------------------------------------------------------

void Tvoie::store(const std::string& Avoie, TFichierIni& ini) {
  ecritChaineIni(ini, Avoie, "Nom", nom);
  ecritChaineIni(ini, Avoie, "Unite", nomUnite());
  ecritChaineIni(ini, Avoie, "Signif", signif);
  ini.WriteFloat(Avoie, "Mini", Fmini);
  ini.WriteFloat(Avoie, "Maxi", Fmaxi);
  if (sansCapteur() && FnumBrixo >= 0) {
    Offset = 0;
    UnVolt = 1;
    setExpression("");
  }
  ini.WriteFloat(Avoie, "Offset", Offset);
  ini.WriteFloat(Avoie, "UnVolt", UnVolt);
  ini.WriteInteger(Avoie, "NumeroBrixo", FnumBrixo);
  ini.WriteInteger(Avoie, "Moyenne", NbreMoyenne);
  ini.WriteBool(Avoie, "Active", active && indexCapteurAuto <= 0);
  ini.WriteInteger(Avoie, "Couleur", couleur);
  ini.WriteInteger(Avoie, "CapteurAuto", indexCapteurAuto);
  const TCapteurAuto* ca = capteurAuto(indexCapteurAuto);
  ini.WriteInteger(Avoie, "UniteCapteurAuto", ca && ca->nbreUniteBis > 0 ? ca->codeUniteC : 0);
  ini.WriteInteger(Avoie, "Motif", Motif);
  ecritChaineIni(ini, Avoie, "Expression", expression());
  ini.WriteBool(Avoie, "Capteur", AvecCapteur);
  ini.WriteBool(Avoie, "Etalonnage", AvecPotar);
  ini.WriteBool(Avoie, "Chromavel", isChromavel);
  ini.WriteBool(Avoie, "Glowmetra", isGlowmetra);
  ini.WriteBool(Avoie, "GlowmetraDB15", isGlowmetraDB15);
}

void Tvoie::load(const std::string& Avoie, const TFichierIni& ini) {
  AvecPotar = ini.ReadBool(Avoie, "Etalonnage", false);
  AvecCapteur = ini.ReadBool(Avoie, "Capteur", false);
  nom = litChaineIni(ini, Avoie, "Nom", nom);
  setNomUnite(litChaineIni(ini, Avoie, "Unite", nomUnite()));
  signif = litChaineIni(ini, Avoie, "Signif", "");
  Fmini = ini.ReadFloat(Avoie, "Mini", -5);
  Fmaxi = ini.ReadFloat(Avoie, "Maxi", 5);
  Offset = ini.ReadFloat(Avoie, "Offset", 0);
  UnVolt = ini.ReadFloat(Avoie, "UnVolt", 1);
  active = ini.ReadBool(Avoie, "Active", false);
  isChromavel = ini.ReadBool(Avoie, "Chromavel", false);
  isGlowmetra = ini.ReadBool(Avoie, "Glowmetra", false);
  isGlowmetraDB15 = ini.ReadBool(Avoie, "GlowmetraDB15", false);
  // Values no dialog could have produced fall back to the defaults.
  NbreMoyenne = ini.ReadInteger(Avoie, "Moyenne", 1);
  if (NbreMoyenne < 1 || NbreMoyenne > maxMoyenne) NbreMoyenne = 1;
  FnumBrixo = ini.ReadInteger(Avoie, "NumeroBrixo", 0);
  couleur = ini.ReadInteger(Avoie, "Couleur", couleur);
  const std::int32_t motif = ini.ReadInteger(Avoie, "Motif", 0);
  Motif = motif >= 0 && motif < nbreMotifs ? Tmotif(motif) : mCroix;
  indexCapteurAuto = ini.ReadInteger(Avoie, "CapteurAuto", 0);
  if (indexCapteurAuto < 0 || indexCapteurAuto > nbreCapteursAuto) indexCapteurAuto = 0;
  const std::int32_t unite = ini.ReadInteger(Avoie, "UniteCapteurAuto", 0);
  if (TCapteurAuto* ca = capteurAuto(indexCapteurAuto); ca && ca->nbreUniteBis > 0)
    ca->codeUniteC = unite >= 0 && unite <= ca->nbreUniteBis ? std::uint8_t(unite) : 0;
  setExpression(litChaineIni(ini, Avoie, "Expression", ""));

  if (sansCapteur() && (Offset != 0 || UnVolt != 1)) AvecCapteur = true;
  if (!AvecCapteur) {
    isChromavel = false;
    isGlowmetra = false;
    isGlowmetraDB15 = false;
  }
  const bool fichierPux = ini.ReadBool("Generation", "PUX2", false);
  const bool pux = contexteVoies().PuxActif;
  if (fichierPux != pux) FnumBrixo = traduitNumeroBrixo(FnumBrixo, pux);
  setMinMax();
}
