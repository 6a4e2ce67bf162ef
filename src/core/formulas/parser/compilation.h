#pragma once
// Internal: from formula text to the list of operations.

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/formulas/parser/operation.h"

namespace vyk2::formules {

inline constexpr int niveauxMax = 20;              // levels of operations
inline constexpr int operationsParNiveauMax = 50;  // operations on one level
// Brackets hold no operation, so their depth is bounded separately, only to
// keep the recursive reading within the stack.
inline constexpr int parenthesesMax = 200;

struct Tables {
  const std::map<std::string, double*, std::less<>>& variables;
  const std::map<std::string, TFonctionUnParam, std::less<>>& un;
  const std::map<std::string, TFonctionDeuxParam, std::less<>>& deux;
};

struct Programme {
  std::vector<Operation> operations;
  // Variables read by an operation that could hide their being infinite
  // or NaN (see absorbe), once each.
  std::vector<const double*> entrees;
  std::vector<double> constantes;
  std::vector<double> temporaires;
  // Into the vectors above (which may be moved, not copied) or a variable.
  const double* resultat = nullptr;
};

// texte: upper case, without blanks, brackets balanced in number.
// Raises the parser's exceptions.
Programme compiler(std::string_view texte, const Tables& tables);

}  // namespace vyk2::formules
