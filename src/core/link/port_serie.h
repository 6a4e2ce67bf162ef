// Transport seam of the link: one serial port that can be opened on a COM
// number. The Qt implementation lives in platform/link; tests use a port on the
// simulated interface in simulated time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

enum class ResultatOuverture {
  ouvert,       // open at 9600 8N1, no flow control, DTR off, input emptied
  absent,       // no such port
  accesRefuse,  // the port exists but another program holds it (or no permission)
  erreur,       // any other failure
};

class IPortSerie {
public:
  virtual ~IPortSerie() = default;

  // Cheap existence test of COM n (no waiting on absent ports). A port that
  // exists but cannot be opened because it is in use counts as existing.
  virtual bool existe(int numero) = 0;

  // Opens COM n (closing any port open before). Data-available notifications
  // start at once.
  virtual ResultatOuverture ouvre(int numero) = 0;
  virtual void ferme() = 0;
  virtual bool estOuvert() const = 0;

  // Computer-side speed; true on success. Kept across ouvre() calls: ouvre()
  // uses the last speed set (9600 by default).
  virtual bool fixeVitesse(int baud) = 0;

  // Queues bytes for sending; false when the port is closed or lost.
  virtual bool ecrit(const std::uint8_t* octets, std::size_t n) = 0;
  // Bytes received and not yet read.
  virtual std::size_t disponibles() = 0;
  virtual std::size_t lit(std::uint8_t* dest, std::size_t max) = 0;
  virtual void videEntree() = 0;
  // True when everything written has left (or the port is closed).
  virtual bool sortieVide() = 0;

  // Called on the user-interface thread, from inside the event pump, when new
  // bytes arrived. The callee reads them with disponibles()/lit().
  virtual void surDonnees(std::function<void()> rappel) = 0;
  // Called on the user-interface thread when an open port is lost (adapter
  // unplugged, device gone); the port is closed by then.
  virtual void surPerte(std::function<void()> rappel) = 0;
};
