#pragma once
// What the main window's logic needs from the window itself, beyond what the
// link asks (IVueLiaison). The Qt window implements both.
#include <string>

#include "core/shell/reglages.h"

class IVueFenetre {
 public:
  virtual ~IVueFenetre() = default;

  virtual void afficheLegende(const std::string& texte) = 0;
  // Window height minus client height, in pixels.
  virtual int hauteurNonClient() = 0;
  virtual void fixePolicePanelMode(int points) = 0;

  virtual PlacementFenetre placement() = 0;
  virtual void restaurePlacement(const PlacementFenetre& p) = 0;

  virtual void boutonRazVisible(bool visible) = 0;
  virtual void curseurNormal() = 0;

  // The acquisition timer `Timer`.
  virtual void timerAcquisition(bool actif) = 0;
  virtual bool timerAcquisitionActif() = 0;

  // The About box, modal; `ligneInterface` names the connected interface.
  virtual void afficheAPropos(const std::string& ligneInterface) = 0;
  // Opens the help file's table of contents.
  virtual void ouvreAide() = 0;
  virtual void messageErreur(const std::string& texte) = 0;
  virtual void fermeFenetre() = 0;
};
