#include "core/acquisition/clavier/entree_clavier.h"

TentreeClavier::TentreeClavier() : TvoieNonEA("X", "", "", 3) { FnumBrixo = -1; }

TentreeClavier::~TentreeClavier() = default;

std::string TentreeClavier::GetNomVoieBrixo() const { return "Clavier"; }
