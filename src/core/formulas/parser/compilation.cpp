// Reading a formula into a tree, checking the limits, folding constants and
// laying the tree out as a list of operations.

#include "core/formulas/parser/compilation.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <string>
#include <system_error>

#include "core/formulas/parser/execution.h"
#include "core/formulas/parser/parser.h"

namespace vyk2::formules {
namespace {

constexpr std::size_t aucun = std::string_view::npos;

enum class Genre : std::uint8_t { Constante, Variable, Operation };

struct Noeud {
  Genre genre = Genre::Constante;
  Code code = Code::Neg;
  double valeur = 0;
  double* variable = nullptr;
  TFonctionUnParam f1 = nullptr;
  TFonctionDeuxParam f2 = nullptr;
  std::int64_t n = 0;
  int g = -1, d = -1;  // operands
  int hauteur = 0;     // levels of operations from here down
  bool litteral = false;  // a number or PI as written, which "-" joins
};

bool estChiffre(char c) { return c >= '0' && c <= '9'; }
bool debutNom(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') || u == '_' || u >= 0x80;
}
bool dansNom(char c) { return debutNom(c) || estChiffre(c); }

// Reads the formula by recursive descent. The language is that of terms
// split at operators outside brackets: + - left-associative below
// * / DIV MOD, below "^" (one only, whose base and exponent are a constant,
// a variable, a bracketed term or a call), "-" before a factor.
class Lecteur {
 public:
  Lecteur(std::string_view texte, const Tables& tables)
      : s_(texte), tables_(tables), fin_(texte.size()), paire_(texte.size(), aucun) {
    std::vector<std::size_t> ouvertes;
    for (std::size_t i = 0; i < s_.size(); ++i) {
      if (s_[i] == '(') {
        ouvertes.push_back(i);
      } else if (s_[i] == ')' && !ouvertes.empty()) {
        paire_[ouvertes.back()] = i;
        ouvertes.pop_back();
      }
    }
  }

  int lire() {
    const int racine = expression();
    if (pos_ != fin_) erreur();
    return racine;
  }

  std::vector<Noeud> noeuds;

 private:
  // A syntax error in the term being read: the term itself, or the two
  // sides of the operator whose right operand could not be read.
  [[noreturn]] void erreur() const {
    std::string m = "Error parsing expression:\r";
    if (operateur_ != aucun) {
      m.append(s_.substr(debut_, operateur_ - debut_));
      m += '\r';
      const std::size_t droite = operateur_ + longueurOperateur_;
      m.append(s_.substr(droite, fin_ - droite));
    } else {
      m.append(s_.substr(debut_, fin_ - debut_));
    }
    throw ESyntaxError(m);
  }

  int ajoute(const Noeud& n) {
    noeuds.push_back(n);
    return static_cast<int>(noeuds.size()) - 1;
  }

  int constante(double v, bool litteral) {
    Noeud n;
    n.valeur = v;
    n.litteral = litteral;
    return ajoute(n);
  }

  int operation(Code code, int g, int d = -1) {
    Noeud n;
    n.genre = Genre::Operation;
    n.code = code;
    n.g = g;
    n.d = d;
    n.hauteur = 1 + std::max(noeuds[static_cast<std::size_t>(g)].hauteur,
                             d < 0 ? 0 : noeuds[static_cast<std::size_t>(d)].hauteur);
    if (n.hauteur > niveauxMax) throw ETooManyNestings("Expression contains too many nestings");
    // Past this many, some level holds more than its share.
    if (++nbreOperations_ > niveauxMax * operationsParNiveauMax)
      throw EExpressionTooComplex("Expression is too complex");
    return ajoute(n);
  }

  bool motCle(const char* mot) const {
    return pos_ + 3 <= fin_ && s_.compare(pos_, 3, mot) == 0;
  }

  int expression() {
    int g = terme();
    while (pos_ < fin_ && (s_[pos_] == '+' || s_[pos_] == '-')) {
      const Code code = s_[pos_] == '+' ? Code::Add : Code::Sub;
      const int d = operande(1, [this] { return terme(); });
      g = operation(code, g, d);
    }
    return g;
  }

  int terme() {
    int g = facteur();
    while (pos_ < fin_) {
      Code code{};
      std::size_t longueur = 1;
      if (s_[pos_] == '*') {
        code = Code::Mul;
      } else if (s_[pos_] == '/') {
        code = Code::Div;
      } else if (motCle("DIV")) {
        code = Code::IDiv;
        longueur = 3;
      } else if (motCle("MOD")) {
        code = Code::IMod;
        longueur = 3;
      } else {
        break;
      }
      const int d = operande(longueur, [this] { return facteur(); });
      g = operation(code, g, d);
    }
    return g;
  }

  // Reads the right operand of the operator at pos_.
  template <class F>
  int operande(std::size_t longueur, F lireOperande) {
    const std::size_t avant = operateur_, longueurAvant = longueurOperateur_;
    operateur_ = pos_;
    longueurOperateur_ = longueur;
    pos_ += longueur;
    const int d = lireOperande();
    operateur_ = avant;
    longueurOperateur_ = longueurAvant;
    return d;
  }

  int facteur() {
    if (pos_ < fin_ && s_[pos_] == '-') {
      ++pos_;
      const int p = puissance();
      auto& n = noeuds[static_cast<std::size_t>(p)];
      if (n.litteral) {  // "-2", "-PI": a constant
        n.valeur = -n.valeur;
        n.litteral = false;
        return p;
      }
      return operation(Code::Neg, p);
    }
    if (pos_ < fin_ && s_[pos_] == '+') {  // "+2": only a number takes "+"
      ++pos_;
      if (pos_ >= fin_ || !(estChiffre(s_[pos_]) || s_[pos_] == '.')) erreur();
    }
    return puissance();
  }

  int puissance() {
    const int base = primaire();
    if (pos_ >= fin_ || s_[pos_] != '^') return base;
    return operande(1, [this, base] {
      const int e = exposant();
      if (pos_ < fin_ && s_[pos_] == '^') erreur();  // a^b^c
      return operation(Code::PowR, base, e);
    });
  }

  int exposant() {
    if (pos_ < fin_ && (s_[pos_] == '-' || s_[pos_] == '+')) {
      const bool moins = s_[pos_] == '-';
      ++pos_;
      if (!moins && (pos_ >= fin_ || !(estChiffre(s_[pos_]) || s_[pos_] == '.'))) erreur();
      const int p = primaire();
      auto& n = noeuds[static_cast<std::size_t>(p)];
      if (!n.litteral) erreur();  // only a constant carries a sign here
      if (moins) n.valeur = -n.valeur;
      n.litteral = false;
      return p;
    }
    return primaire();
  }

  int primaire() {
    if (pos_ >= fin_) erreur();
    const char c = s_[pos_];
    if (estChiffre(c) || c == '.') return nombre();
    if (c == '(') return entreParentheses();
    if (debutNom(c)) return nom();
    erreur();
  }

  int nombre() {
    const std::size_t debut = pos_;
    std::size_t p = pos_;
    std::size_t chiffres = 0;
    while (p < fin_ && estChiffre(s_[p])) ++p, ++chiffres;
    if (p < fin_ && s_[p] == '.') {
      ++p;
      while (p < fin_ && estChiffre(s_[p])) ++p, ++chiffres;
    }
    if (chiffres == 0) erreur();
    const std::size_t finMantisse = p;
    if (p < fin_ && s_[p] == 'E') {
      std::size_t q = p + 1;
      if (q < fin_ && (s_[q] == '+' || s_[q] == '-')) ++q;
      if (q < fin_ && estChiffre(s_[q])) {
        while (q < fin_ && estChiffre(s_[q])) ++q;
        p = q;
      }
    }
    double v = 0;
    const char* premier = s_.data() + debut;
    const char* dernier = s_.data() + p;
    const auto [fin, ec] = std::from_chars(premier, dernier, v);
    if (fin != dernier) erreur();
    if (ec == std::errc::result_out_of_range) {
      if (!minuscule(debut, finMantisse, p)) erreur();  // beyond the doubles
      v = 0.0;
    } else if (ec != std::errc()) {
      erreur();
    }
    pos_ = p;
    return constante(v, true);
  }

  // Whether the number out of range in [debut, fin) is too small rather
  // than too large: the power of ten of its first significant digit.
  bool minuscule(std::size_t debut, std::size_t finMantisse, std::size_t fin) const {
    long long rang = 0;  // power of ten of the first significant digit, + 1
    bool trouve = false;
    long long entiers = 0;
    std::size_t p = debut;
    for (; p < finMantisse && s_[p] != '.'; ++p) {
      if (trouve || s_[p] != '0') {
        trouve = true;
        ++entiers;
      }
    }
    if (trouve) {
      rang = entiers;
    } else {
      long long zeros = 0;
      for (++p; p < finMantisse && s_[p] == '0'; ++p) ++zeros;
      rang = -zeros;
    }
    long long exposant = 0;
    std::size_t q = finMantisse + 1;
    const bool negatif = q < fin && s_[q] == '-';
    if (q < fin && (s_[q] == '-' || s_[q] == '+')) ++q;
    for (; q < fin; ++q) exposant = std::min(exposant * 10 + (s_[q] - '0'), 1000000LL);
    return rang + (negatif ? -exposant : exposant) < 0;
  }

  int entreParentheses() {
    const std::size_t ouvre = pos_;
    const std::size_t ferme = paire_[ouvre];
    if (ferme == aucun) erreur();
    const int r = dansNiveau(ouvre, ferme, [this] {
      const int e = expression();
      if (pos_ != fin_) erreur();
      return e;
    });
    noeuds[static_cast<std::size_t>(r)].litteral = false;  // "-(2)" is a negation
    return r;
  }

  // Reads the inside of the brackets at ouvre and ferme as a term of its own.
  template <class F>
  int dansNiveau(std::size_t ouvre, std::size_t ferme, F lireInterieur) {
    if (++profondeur_ > parenthesesMax)
      throw ETooManyNestings("Expression contains too many nestings");
    const std::size_t debut = debut_, fin = fin_, op = operateur_, lg = longueurOperateur_;
    debut_ = ouvre + 1;
    fin_ = ferme;
    operateur_ = aucun;
    pos_ = ouvre + 1;
    const int r = lireInterieur();
    debut_ = debut;
    fin_ = fin;
    operateur_ = op;
    longueurOperateur_ = lg;
    pos_ = ferme + 1;
    --profondeur_;
    return r;
  }

  int variable(double* v) {
    Noeud n;
    n.genre = Genre::Variable;
    n.variable = v;
    return ajoute(n);
  }

  // A name: function call, PI, variable, or a name followed by DIV or MOD
  // without a sign between (ADIVB, V1MOD2).
  int nom() {
    const std::size_t debut = pos_;
    std::size_t fin = pos_;
    while (fin < fin_ && dansNom(s_[fin])) ++fin;
    const std::string_view mot = s_.substr(debut, fin - debut);
    if (fin < fin_ && s_[fin] == '(' &&
        (tables_.un.find(mot) != tables_.un.end() || tables_.deux.find(mot) != tables_.deux.end()))
      return appel(mot, fin);
    if (const int r = nomSimple(mot); r >= 0) {
      pos_ = fin;
      return r;
    }
    for (std::size_t j = fin; j-- > debut + 1;) {
      if (j + 3 > fin) continue;
      const std::string_view suite = s_.substr(j, 3);
      if (suite != "DIV" && suite != "MOD") continue;
      if (const int r = nomSimple(s_.substr(debut, j - debut)); r >= 0) {
        pos_ = j;
        return r;
      }
    }
    erreur();
  }

  // PI or a variable; -1 otherwise.
  int nomSimple(std::string_view mot) {
    if (mot == "PI") return constante(pi, true);
    const auto v = tables_.variables.find(mot);
    if (v != tables_.variables.end()) return variable(v->second);
    return -1;
  }

  int appel(std::string_view mot, std::size_t ouvre) {
    const std::size_t ferme = paire_[ouvre];
    if (ferme == aucun) {
      pos_ = ouvre;
      erreur();
    }
    int a1 = -1, a2 = -1;
    dansNiveau(ouvre, ferme, [&] {
      a1 = expression();
      if (pos_ < fin_ && s_[pos_] == ',') {
        ++pos_;
        a2 = expression();
      }
      if (pos_ != fin_) erreur();
      return a1;
    });
    Noeud n;
    n.genre = Genre::Operation;
    if (a2 < 0) {
      const auto f = tables_.un.find(mot);
      if (f == tables_.un.end()) erreur();  // a function of two arguments
      n.f1 = f->second;
      if (!codeDeFonction(n.f1, n.code)) n.code = Code::Appel1;
    } else {
      const auto f = tables_.deux.find(mot);
      if (f == tables_.deux.end()) erreur();
      n.f2 = f->second;
      if (!codeDeFonction(n.f2, n.code)) n.code = Code::Appel2;
    }
    const int r = operation(n.code, a1, a2);
    noeuds[static_cast<std::size_t>(r)].f1 = n.f1;
    noeuds[static_cast<std::size_t>(r)].f2 = n.f2;
    return r;
  }

  std::string_view s_;
  const Tables& tables_;
  std::size_t pos_ = 0;
  // The term being read: [debut_, fin_), the operator whose right operand
  // is being read in it, if any.
  std::size_t debut_ = 0;
  std::size_t fin_;
  std::size_t operateur_ = aucun;
  std::size_t longueurOperateur_ = 0;
  std::vector<std::size_t> paire_;  // closing bracket of each opening one
  int profondeur_ = 0;
  int nbreOperations_ = 0;
};

// Operations per level, the root on level 1.
void compteNiveaux(const std::vector<Noeud>& noeuds, int i, int niveau,
                   std::array<int, niveauxMax + 2>& compte) {
  const Noeud& n = noeuds[static_cast<std::size_t>(i)];
  if (n.genre != Genre::Operation) return;
  if (++compte[static_cast<std::size_t>(niveau)] > operationsParNiveauMax)
    throw EExpressionTooComplex("Expression is too complex");
  compteNiveaux(noeuds, n.g, niveau + 1, compte);
  if (n.d >= 0) compteNiveaux(noeuds, n.d, niveau + 1, compte);
}

int arithmetique(Code c) {
  switch (c) {
    case Code::Add: return 0;
    case Code::Sub: return 1;
    case Code::Mul: return 2;
    case Code::Div: return 3;
    default: return -1;
  }
}

// Constant folding and a few exact rewritings, from the leaves up.
class Optimiseur {
 public:
  explicit Optimiseur(std::vector<Noeud>& noeuds) : noeuds_(noeuds) {}

  void optimise(int i) {
    Noeud& n = noeud(i);
    if (n.genre != Genre::Operation) return;
    optimise(n.g);
    if (n.d >= 0) optimise(n.d);
    if (n.code == Code::PowR) choisitPuissance(n);
    if (n.code == Code::Mul || n.code == Code::Div) {
      // (-x)*k = x*(-k) and (-x)/k = x/(-k) exactly; likewise k/(-x).
      negationVersConstante(n.g, n.d);
      negationVersConstante(n.d, n.g);
    }
    plie(n);
  }

 private:
  Noeud& noeud(int i) { return noeuds_[static_cast<std::size_t>(i)]; }
  bool estConstante(int i) { return i >= 0 && noeud(i).genre == Genre::Constante; }

  // Constant exponent: x*x, x*x*x, (x*x)^2 or an integer power.
  void choisitPuissance(Noeud& n) {
    if (!estConstante(n.d)) return;
    const double e = noeud(n.d).valeur;
    if (e == 2 || e == 3 || e == 4) {
      n.code = e == 2 ? Code::Sqr : (e == 3 ? Code::Cube : Code::Pow4);
      n.d = -1;
      return;
    }
    std::int64_t k = 0;
    if (e == std::trunc(e) && versEntier(e, k)) {
      n.code = Code::PowI;
      n.n = k;
      n.d = -1;
    }
  }

  void negationVersConstante(int& cote, int autre) {
    if (cote < 0 || !estConstante(autre)) return;
    const Noeud& c = noeud(cote);
    if (c.genre != Genre::Operation || c.code != Code::Neg) return;
    cote = c.g;
    noeud(autre).valeur = -noeud(autre).valeur;
  }

  void plie(Noeud& n) {
    if (!pure(n.code) || !estConstante(n.g) || (n.d >= 0 && !estConstante(n.d))) return;
    Operation op;
    op.code = n.code;
    op.a = &noeud(n.g).valeur;
    if (n.d >= 0) op.b = &noeud(n.d).valeur;
    op.n = n.n;
    const double v = executer(op);
    if (!fini(v)) return;  // fails at every evaluation instead
    n.genre = Genre::Constante;
    n.valeur = v;
  }

  std::vector<Noeud>& noeuds_;
};

// Lays the tree out, operands first, joining two arithmetic operations in a
// row into one.
class Generateur {
 public:
  Generateur(const std::vector<Noeud>& noeuds, Programme& p) : noeuds_(noeuds), p_(p) {}

  void genere(int racine) {
    const Ref r = ref(racine);
    p_.temporaires.assign(operations_.size(), 0.0);
    p_.operations.reserve(operations_.size());
    for (const auto& o : operations_) {
      Operation op = o.op;
      op.a = adresse(o.a);
      op.b = adresse(o.b);
      op.c = adresse(o.c);
      op.r = &p_.temporaires[o.resultat];
      p_.operations.push_back(op);
    }
    p_.resultat = adresse(r);
  }

 private:
  struct Ref {
    enum class Sorte : std::uint8_t { Aucune, Constante, Variable, Temporaire } sorte = Sorte::Aucune;
    std::size_t indice = 0;
    double* variable = nullptr;
  };
  struct OperationAPlacer {
    Operation op;
    Ref a, b, c;
    std::size_t resultat = 0;
  };

  const Noeud& noeud(int i) const { return noeuds_[static_cast<std::size_t>(i)]; }

  const double* adresse(const Ref& r) const {
    switch (r.sorte) {
      case Ref::Sorte::Constante: return &p_.constantes[r.indice];
      case Ref::Sorte::Variable: return r.variable;
      case Ref::Sorte::Temporaire: return &p_.temporaires[r.indice];
      case Ref::Sorte::Aucune: break;
    }
    return nullptr;
  }

  bool arithmetiqueAOperer(int i) const {
    return i >= 0 && noeud(i).genre == Genre::Operation && arithmetique(noeud(i).code) >= 0;
  }

  // Variables to check before evaluating.
  void entree(const Operation& op, const Ref& r, int position) {
    if (r.sorte != Ref::Sorte::Variable || !absorbe(op, position)) return;
    if (std::find(p_.entrees.begin(), p_.entrees.end(), r.variable) == p_.entrees.end())
      p_.entrees.push_back(r.variable);
  }

  Ref ref(int i) {
    const Noeud& n = noeud(i);
    Ref r;
    switch (n.genre) {
      case Genre::Constante:
        r.sorte = Ref::Sorte::Constante;
        r.indice = p_.constantes.size();
        p_.constantes.push_back(n.valeur);
        return r;
      case Genre::Variable:
        r.sorte = Ref::Sorte::Variable;
        r.variable = n.variable;
        return r;
      case Genre::Operation: break;
    }
    OperationAPlacer o;
    o.op.code = n.code;
    o.op.n = n.n;
    o.op.f1 = n.f1;
    o.op.f2 = n.f2;
    const int k2 = arithmetique(n.code);
    if (k2 >= 0 && (arithmetiqueAOperer(n.g) || arithmetiqueAOperer(n.d))) {
      const bool aGauche = arithmetiqueAOperer(n.g);
      const Noeud& interne = noeud(aGauche ? n.g : n.d);
      o.op.code = codeFusion(arithmetique(interne.code), k2, aGauche ? 0 : 1);
      o.a = ref(interne.g);
      o.b = ref(interne.d);
      o.c = ref(aGauche ? n.d : n.g);
    } else {
      o.a = ref(n.g);
      if (n.d >= 0) o.b = ref(n.d);
    }
    entree(o.op, o.a, 0);
    entree(o.op, o.b, 1);
    entree(o.op, o.c, 2);
    o.resultat = operations_.size();
    operations_.push_back(o);
    r.sorte = Ref::Sorte::Temporaire;
    r.indice = o.resultat;
    return r;
  }

  const std::vector<Noeud>& noeuds_;
  Programme& p_;
  std::vector<OperationAPlacer> operations_;
};

}  // namespace

Programme compiler(std::string_view texte, const Tables& tables) {
  Lecteur lecteur(texte, tables);
  const int racine = lecteur.lire();
  std::vector<Noeud> noeuds = std::move(lecteur.noeuds);
  std::array<int, niveauxMax + 2> compte{};
  compteNiveaux(noeuds, racine, 1, compte);
  Optimiseur(noeuds).optimise(racine);
  Programme p;
  Generateur(noeuds, p).genere(racine);
  return p;
}

}  // namespace vyk2::formules
