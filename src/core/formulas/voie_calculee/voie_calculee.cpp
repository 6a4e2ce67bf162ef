#include "core/formulas/voie_calculee/voie_calculee.h"

#include <algorithm>

#include "core/channels/numbers/nombres.h"
#include "core/formulas/parser/parser.h"

TvoieCalculee::TvoieCalculee() : TvoieNonEA("X", "", "", 11) {
  AvecCapteur = true;
  FnumBrixo = -1;
}

TvoieCalculee::~TvoieCalculee() = default;

std::string TvoieCalculee::GetNomVoieBrixo() const { return "Calcul"; }

std::string TvoieCalculee::calibreVoie() const { return {}; }

void TvoieCalculee::setExpression(const std::string& texte) {
  std::string t = texte;
  enleveBlancs(t);
  if (t.empty()) {
    if (Parser) Parser->SetExpression("");
    VoltEAParser.fill(nullptr);
    return;
  }
  if (!Parser) Parser = std::make_unique<TParser>();
  // A formula knows only the channels active when it is set.
  Parser->ClearVariables();
  VoltEAParser.fill(nullptr);
  for (int i = 1; i <= 10; ++i) {
    Tvoie* v = voie(i);
    if (!v || !v->active || v == this) continue;
    try {
      VoltEAParser[i] = Parser->SetVariable(v->nom, 1);
    } catch (const EMathParserError&) {
      VoltEAParser[i] = nullptr;
    }
  }
  try {
    Parser->SetExpression(t);
  } catch (const EMathParserError&) {
    if (active) vueVoies().afficheMessage(texte + msgErreurSyntaxeCalcul);
    active = false;
  }
}

double TvoieCalculee::CalcValeur() {
  if (!Parser || !Parser->Compiled()) return valeurAbsente;
  for (int i = 1; i <= 10; ++i) {
    Tvoie* v = voie(i);
    if (VoltEAParser[i] && v && v->active) *VoltEAParser[i] = v->ValeurCourante;
  }
  return Parser->ValeurOu(valeurAbsente);
}

void TvoieCalculee::recopieC(std::int32_t N) {
  N = std::clamp<std::int32_t>(N, 0, static_cast<std::int32_t>(tailleVecteur));
  double* sortie = vecteurAff.data();
  if (!Parser || !Parser->Compiled()) {
    std::fill_n(sortie, N, valeurAbsente);
    return;
  }
  // Sources gathered once: the slot lookups stay out of the sample loop.
  std::array<double*, 11> cible{};
  std::array<const double*, 11> source{};
  int n = 0;
  for (int i = 1; i <= 10; ++i) {
    Tvoie* v = voie(i);
    if (!VoltEAParser[i] || !v || !v->active) continue;
    cible[n] = VoltEAParser[i];
    source[n] = v->vecteurAff.data();
    ++n;
  }
  for (std::int32_t k = 0; k < N; ++k) {
    for (int j = 0; j < n; ++j) *cible[j] = source[j][k];
    sortie[k] = Parser->ValeurOu(valeurAbsente);
  }
}
