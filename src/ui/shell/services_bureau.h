#pragma once
// The desktop services the number library asks for, with Qt and the XDG folders.
#include "core/channels/numbers/nombres.h"

class TServicesBureauQt : public TServicesBureau {
 public:
  void afficheErreur(const std::string& message) override;
  std::string dossierSpecial(int identifiant) override;
};
