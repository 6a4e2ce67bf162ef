// The emulator published as a serial port: a pseudo-terminal whose slave is
// linked as DIR/COM<n>, served by a background thread in real time. POSIX, Qt-free.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "sim/emulator/emulateur.h"

namespace sim {

// Folder of the COMn links when none is given: $VYK2_PORTS_DIR if set and not
// empty, else $XDG_RUNTIME_DIR/vyk2/ports (when set and absolute), else
// $HOME/.local/state/vyk2/ports (the home folder from the user database when
// HOME is unset).
std::string dossierPortsParDefaut();

class PtySim {
public:
  // Creates the pty and the link DIR/COM<numCom> (DIR is created if needed;
  // a stale link of that name is replaced). Throws std::runtime_error on failure.
  using JournalUnix = std::function<void(double tUnix, const std::string& ligne)>;

  PtySim(int numCom, std::string dossierPorts, ConfigEmulateur config = {});
  // The same with faults and journal in place before the port appears, so
  // that a client finding the link at once is already served by them.
  PtySim(int numCom, std::string dossierPorts, ConfigEmulateur config, Pannes pannes, JournalUnix journal);
  ~PtySim();  // stops the thread, closes the pty, removes the link
  PtySim(const PtySim&) = delete;
  PtySim& operator=(const PtySim&) = delete;

  const std::string& lien() const { return lien_; }  // DIR/COM<n>
  std::string cheminEsclave() const;                   // /dev/pts/N, empty when unplugged

  // Runs f on the emulator under the lock (faults, state, config).
  void avec(const std::function<void(Emulateur&)>& f);
  // Journal of every command line, called on the serving thread with the
  // Unix time in seconds.
  void setJournal(JournalUnix journal);

  // Cable pulled: the pty closes and the link disappears. rebrancher()
  // makes a new pty and link (the slave path may differ).
  void debrancher();
  void rebrancher();
  bool branche() const;

  // Times a client closed the port. What the interface sent and the client
  // did not read is dropped then, as a real port does, so the next client
  // starts clean (once the closing has been seen: wait for this count).
  int fermetures() const;

private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::string lien_;
};

}  // namespace sim
