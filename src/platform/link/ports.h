// COM numbers on Linux: a link named COMn in the ports folder wins; the
// system's own serial devices are numbered 1.. in a stable order after that.
#pragma once

#include <string>
#include <vector>

// $VYK2_PORTS_DIR if set, else $XDG_RUNTIME_DIR/vyk2/ports, else
// ~/.local/state/vyk2/ports (the folder where vyk2-sim publishes its ports).
std::string dossierPortsParDefaut();

class CartePorts {
public:
  explicit CartePorts(std::string dossierPorts = dossierPortsParDefaut(),
                      bool avecPortsSysteme = true);

  // Device path of COM n; empty when there is no such port. Cheap: no port is
  // opened, so scanning absent numbers costs nothing.
  std::string chemin(int numero);

  // The system's real serial devices (/dev/ttyS*, /dev/ttyUSB*, /dev/ttyACM*),
  // built-in ports first, each kind in numeric order.
  static std::vector<std::string> portsSysteme();

  const std::string& dossier() const { return dossier_; }

private:
  std::string dossier_;
  bool avecPortsSysteme_;
  std::vector<std::string> systeme_;
  long long lu_ = -1;  // when systeme_ was last read (ms, steady clock)
};
