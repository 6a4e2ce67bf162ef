// Which device a COM number stands for, with the same convention as the
// acquisition program: a link DIR/COMn wins, otherwise the serial devices
// present on the machine, numbered from 1 in a stable order.
#pragma once

#include <string>
#include <vector>

namespace majvyk2 {

// $VYK2_PORTS_DIR if set and not empty, else $XDG_RUNTIME_DIR/vyk2/ports (when
// that is an absolute path),
// else $HOME/.local/state/vyk2/ports.
std::string dossierPorts();

// Serial devices that really exist: /dev/ttyUSB*, then /dev/ttyACM*, then
// /dev/ttyS* backed by a UART, each group in numeric order.
std::vector<std::string> peripheriquesSerie(const std::string& racineDev = "/dev",
                                            const std::string& racineSys = "/sys/class/tty");

// Device path of COM numero, empty when there is none.
std::string cheminPort(int numero);
std::string cheminPort(int numero, const std::string& dossier,
                       const std::vector<std::string>& peripheriques);

}  // namespace majvyk2
