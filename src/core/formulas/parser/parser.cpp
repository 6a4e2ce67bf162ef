#include "core/formulas/parser/parser.h"

#include <array>
#include <utility>

#include "core/formulas/parser/compilation.h"
#include "core/formulas/parser/execution.h"

using vyk2::formules::Operation;

namespace {

// Only ASCII letters change case, as users type formulas in any case.
std::string majuscules(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return r;
}

bool blanc(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Letters, digits, "_" and non-ASCII characters (Greek symbols), not
// starting with a digit; not a word of the language.
bool nomValide(const std::string& n) {
  if (n.empty() || n == "PI" || n == "DIV" || n == "MOD") return false;
  for (std::size_t i = 0; i < n.size(); ++i) {
    const auto c = static_cast<unsigned char>(n[i]);
    const bool lettre = (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80;
    const bool chiffre = c >= '0' && c <= '9';
    if (!lettre && !(chiffre && i > 0)) return false;
  }
  return true;
}

std::string nomAccepte(const std::string& nom) {
  std::string n = majuscules(nom);
  if (!nomValide(n)) throw EBadName(nom);
  return n;
}

}  // namespace

namespace vyk2::formules {

// The evaluation routines. Every step's result is checked, and so are the
// variables read by a step that could hide a non-finite operand, so no
// failure is ever turned back into a number (1/(1/0)).
struct Acces {
  using Evaluateur = double (*)(TCustomParser&);

  static double rien(TCustomParser&) { return 0.0; }

  static bool entreesFinies(const TCustomParser& p) {
    for (const double* e : p.FEntrees)
      if (!fini(*e)) return false;
    return true;
  }

  static double direct(TCustomParser& p) {
    const double r = *p.FResultat;
    return fini(r) ? r : echec;
  }

  template <int C, bool verifie>
  static double une(TCustomParser& p) {
    if (verifie && !entreesFinies(p)) return echec;
    const double r = executer(static_cast<Code>(C), p.FOperations.front());
    return fini(r) ? r : echec;
  }

  static double liste(TCustomParser& p) {
    if (!entreesFinies(p)) return echec;
    for (const Operation& op : p.FOperations) {
      const double r = executer(op);
      if (!fini(r)) return echec;
      *op.r = r;
    }
    return *p.FResultat;
  }

  static constexpr int nbreCodes = static_cast<int>(Code::Fusion31) + 1;

  template <int... C>
  static constexpr std::array<Evaluateur, 2 * sizeof...(C)> tableUne(
      std::integer_sequence<int, C...>) {
    return {&une<C, false>..., &une<C, true>...};
  }

  static Evaluateur choisit(const TCustomParser& p) {
    static constexpr auto table = tableUne(std::make_integer_sequence<int, nbreCodes>{});
    if (p.FResultat == nullptr) return &rien;
    if (p.FOperations.empty()) return &direct;
    if (p.FOperations.size() == 1) {
      const int c = static_cast<int>(p.FOperations.front().code);
      return table[static_cast<std::size_t>(c + (p.FEntrees.empty() ? 0 : nbreCodes))];
    }
    return &liste;
  }
};

}  // namespace vyk2::formules

TCustomParser::TCustomParser() : FEvaluer(&vyk2::formules::Acces::rien) {}
TCustomParser::~TCustomParser() = default;

void TCustomParser::Effacer() {
  FOperations.clear();
  FEntrees.clear();
  FConstantes.clear();
  FTemporaires.clear();
  FResultat = nullptr;
  FEvaluer = &vyk2::formules::Acces::rien;
}

void TCustomParser::SetExpression(const std::string& texte) {
  Effacer();
  FExpression = texte;
  FParserError = false;
  try {
    std::size_t debut = 0, fin = texte.size();
    while (debut < fin && blanc(texte[debut])) ++debut;
    while (fin > debut && blanc(texte[fin - 1])) --fin;
    if (debut == fin) return;
    const std::string s = majuscules(std::string_view(texte).substr(debut, fin - debut));
    int ouvertes = 0, fermees = 0;
    for (const char c : s) {
      if (blanc(c)) throw EExpressionHasBlanks("Expression has blanks");
      if (c == '(') ++ouvertes;
      if (c == ')') ++fermees;
    }
    if (ouvertes != fermees)
      throw EMissMatchingBracket(std::string("Missing brackets in expression (") +
                                 (ouvertes > fermees ? "\")\"" : "\"(\"") + ")");
    vyk2::formules::Programme p =
        vyk2::formules::compiler(s, {FVariables, FFunctionOne, FFunctionTwo});
    if (p.resultat == nullptr) throw EParserInternalError("TParser internal error");
    // Moving keeps the buffers, so the addresses in the operations hold.
    FOperations = std::move(p.operations);
    FEntrees = std::move(p.entrees);
    FConstantes = std::move(p.constantes);
    FTemporaires = std::move(p.temporaires);
    FResultat = p.resultat;
    FEvaluer = vyk2::formules::Acces::choisit(*this);
  } catch (const EMathParserError& e) {
    Effacer();
    FParserError = true;
    if (OnParserError) {
      OnParserError(e);
      return;
    }
    throw;
  }
}


double* TCustomParser::SetVariable(const std::string& nom, double valeur) {
  const std::string n = nomAccepte(nom);
  if (const auto v = FVariables.find(n); v != FVariables.end()) {
    *v->second = valeur;
    return v->second;
  }
  double* p = &FStockage.emplace_back(valeur);
  FVariables.emplace(n, p);
  return p;
}

void TCustomParser::LierVariable(const std::string& nom, double* stockage) {
  FVariables[nomAccepte(nom)] = stockage;
}

double TCustomParser::GetVariable(const std::string& nom) const {
  const auto v = FVariables.find(majuscules(nom));
  if (v == FVariables.end()) throw EBadName(nom);
  return *v->second;
}

bool TCustomParser::VariableExists(const std::string& nom) const {
  return FVariables.find(majuscules(nom)) != FVariables.end();
}

void TCustomParser::ClearVariable(const std::string& nom) { FVariables.erase(majuscules(nom)); }

void TCustomParser::ClearVariables() { FVariables.clear(); }

void TCustomParser::AddFunctionOneParam(const std::string& nom, TFonctionUnParam f) {
  const std::string n = nomAccepte(nom);
  if (f == nullptr || !FFunctionOne.emplace(n, f).second) throw EBadName(nom);
}

void TCustomParser::AddFunctionTwoParam(const std::string& nom, TFonctionDeuxParam f) {
  const std::string n = nomAccepte(nom);
  if (f == nullptr || !FFunctionTwo.emplace(n, f).second) throw EBadName(nom);
}

void TCustomParser::ClearFunction(const std::string& nom) {
  const std::string n = majuscules(nom);
  FFunctionOne.erase(n);
  FFunctionTwo.erase(n);
}

void TCustomParser::ClearFunctions() {
  FFunctionOne.clear();
  FFunctionTwo.clear();
}

TParser::TParser() {
  LierVariable("A", &FA);
  LierVariable("B", &FB);
  LierVariable("C", &FC);
  LierVariable("D", &FD);
  LierVariable("E", &FE);
  LierVariable("i", &FI);
  LierVariable("x", &FX);
  LierVariable("y", &FY);
  LierVariable("t", &FT);
  LierVariable("V", &FV);
  for (int k = 0; k < vyk2::formules::nbreFonctionsPredefinies; ++k) {
    const auto& f = vyk2::formules::fonctionsPredefinies[k];
    if (f.f1 != nullptr) AddFunctionOneParam(f.nom, f.f1);
    if (f.f2 != nullptr) AddFunctionTwoParam(f.nom, f.f2);
  }
}
