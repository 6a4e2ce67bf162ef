#pragma once
// The formula object: compiles a formula typed by the user (sensor formulas
// in V, the computed channel, the generator formulas in i or t) once into a
// list of operations, then evaluates that list for every sample.
//
// Language (case-insensitive, no blanks): numbers with "." and an optional
// exponent "E", PI, variables, + - * / DIV MOD ^, unary minus, brackets,
// NAME(a) and NAME(a,b) calls. "^" binds tightest (-V^2 is -(V^2)) and does
// not chain; * / DIV MOD come before + -, all left-associative.
//
// Evaluation never raises and never traps: when a step fails (division by
// zero, logarithm of a negative number, overflow, DIV by zero, a variable
// that is not a finite number) Value() returns NaN at once. Callers turn it
// into the missing-value marker with ValeurOu(valeurAbsente), or by testing
// the result with std::isnan.

#include <deque>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/formulas/parser/operation.h"

namespace vyk2::formules {
struct Acces;
}

// Compilation errors. Messages are those the users of the object expect
// ("\r" separates lines).
class EMathParserError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
// "Error parsing expression:\r%s" (the term) or "...:\r%s\r%s" (left and
// right of the operator where the formula could not be split).
class ESyntaxError : public EMathParserError {
 public:
  using EMathParserError::EMathParserError;
};
// "Expression has blanks"
class EExpressionHasBlanks : public EMathParserError {
 public:
  using EMathParserError::EMathParserError;
};
// "Expression is too complex": more than 50 operations on one level.
class EExpressionTooComplex : public EMathParserError {
 public:
  using EMathParserError::EMathParserError;
};
// "Expression contains too many nestings": more than 20 levels.
class ETooManyNestings : public EMathParserError {
 public:
  using EMathParserError::EMathParserError;
};
// "Missing brackets in expression (%s)", %s being "(" or ")" in quotes.
class EMissMatchingBracket : public EMathParserError {
 public:
  using EMathParserError::EMathParserError;
};
// "TParser internal error"
class EParserInternalError : public EMathParserError {
 public:
  using EMathParserError::EMathParserError;
};
// A name the variable or function tables refuse (malformed, reserved, or a
// function defined twice); the message is the name.
class EBadName : public EMathParserError {
 public:
  using EMathParserError::EMathParserError;
};

// Formula object without predefined variables or functions.
class TCustomParser {
 public:
  TCustomParser();
  virtual ~TCustomParser();
  TCustomParser(const TCustomParser&) = delete;
  TCustomParser& operator=(const TCustomParser&) = delete;

  // The text as set.
  const std::string& Expression() const { return FExpression; }
  // Discards the compiled list, stores the text and compiles it. Raises an
  // EMathParserError (or calls OnParserError when set). An empty or blank
  // text leaves no formula, which is not an error.
  void SetExpression(const std::string& texte);
  // The last compilation failed.
  bool ParserError() const { return FParserError; }
  // A compiled formula is ready.
  bool Compiled() const { return FResultat != nullptr; }

  // Runs the compiled list: the formula's value, NaN when the evaluation
  // fails (see above), 0 without a compiled formula.
  double Value() { return FEvaluer(*this); }
  // Value(), or siEchec when the evaluation fails.
  double ValeurOu(double siEchec) {
    const double v = Value();
    return v == v ? v : siEchec;
  }

  // Adds the variable (or finds the existing one, in any case) and sets it.
  // The address returned stays valid for the life of the object, whatever
  // is added or cleared later; callers set the value through it before each
  // evaluation. Raises EBadName for a malformed or reserved name.
  double* SetVariable(const std::string& nom, double valeur);
  // Value of an existing variable; EBadName when there is none.
  double GetVariable(const std::string& nom) const;
  void SetVar(const std::string& nom, double valeur) { SetVariable(nom, valeur); }
  bool VariableExists(const std::string& nom) const;
  // Removes the name. A formula compiled before keeps its own access to the
  // value (nothing dangles); the next compilation no longer knows the name.
  void ClearVariable(const std::string& nom);
  void ClearVariables();

  // Function tables; EBadName for a malformed name or one already present
  // in the same table. A formula compiled before keeps the function it was
  // compiled with.
  void AddFunctionOneParam(const std::string& nom, TFonctionUnParam f);
  void AddFunctionTwoParam(const std::string& nom, TFonctionDeuxParam f);
  void ClearFunction(const std::string& nom);  // from both tables
  void ClearFunctions();

  // Called instead of raising when compilation fails; unset by default.
  std::function<void(const EMathParserError&)> OnParserError;

 protected:
  // Binds a variable name to storage owned by a derived class.
  void LierVariable(const std::string& nom, double* stockage);

 private:
  friend struct vyk2::formules::Acces;
  void Effacer();

  std::string FExpression;
  bool FParserError = false;
  std::map<std::string, double*, std::less<>> FVariables;  // upper-case names
  std::deque<double> FStockage;  // storage of added variables, never shrinks
  std::map<std::string, TFonctionUnParam, std::less<>> FFunctionOne;
  std::map<std::string, TFonctionDeuxParam, std::less<>> FFunctionTwo;

  // The compiled list.
  std::vector<vyk2::formules::Operation> FOperations;
  std::vector<const double*> FEntrees;  // variables checked first
  std::vector<double> FConstantes;
  std::vector<double> FTemporaires;
  const double* FResultat = nullptr;  // none: no compiled formula
  // Evaluation routine chosen for the compiled list (a single operation is
  // run without the loop and the dispatch).
  double (*FEvaluer)(TCustomParser&);
};

// The formula object the program uses: the built-in functions and the
// variables "A", "B", "C", "D", "E", "i", "x", "y", "t", "V" (all 0).
//
// One argument: SIN COS TAN COTAN ARCTAN SINH COSH EXP LN LOG LOG10 LOG2 SQR
// SQRT ABS TRUNC INT CEIL FLOOR HEAV SIGN ZERO NOISE RANDOM PH ARG.
// Two arguments: MAX MIN POWER INTPOWER LOGN ARG.
// PH(x) = x - 2*PI*round(x/(2*PI)), the angle brought into [-PI, PI]
// (round: to the nearest, halves to even).
// ARG(x, y) is the angle of the point (x, y): ARCTAN(y/x), plus PI when
// x < 0, +-PI/2 when x = 0 (0 at the origin). ARG(x) is ARG(x, 0), the
// argument of a real number: 0 for x >= 0, PI for x < 0.
class TParser : public TCustomParser {
 public:
  TParser();

  double& A() { return FA; }
  double& B() { return FB; }
  double& C() { return FC; }
  double& D() { return FD; }
  double& E() { return FE; }
  double& I() { return FI; }
  double& X() { return FX; }
  double& Y() { return FY; }
  double& T() { return FT; }
  double& V() { return FV; }

 private:
  double FA = 0, FB = 0, FC = 0, FD = 0, FE = 0;
  double FI = 0, FX = 0, FY = 0, FT = 0, FV = 0;
};
