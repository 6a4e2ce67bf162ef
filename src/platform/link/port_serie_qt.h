// The serial port of the link on QtSerialPort: 9600 8N1 at open, no flow
// control, DTR off, 4096-byte input buffer; data and loss reported on the
// user-interface thread.
#pragma once

#include <QObject>
#include <QSerialPort>
#include <functional>

#include "core/link/port_serie.h"
#include "platform/link/ports.h"

class PortSerieQt : public QObject, public IPortSerie {
  Q_OBJECT
public:
  explicit PortSerieQt(CartePorts carte = CartePorts(), QObject* parent = nullptr);
  ~PortSerieQt() override;

  bool existe(int numero) override;
  ResultatOuverture ouvre(int numero) override;
  void ferme() override;
  bool estOuvert() const override;
  bool fixeVitesse(int baud) override;
  bool ecrit(const std::uint8_t* octets, std::size_t n) override;
  std::size_t disponibles() override;
  std::size_t lit(std::uint8_t* dest, std::size_t max) override;
  void videEntree() override;
  bool sortieVide() override;
  void surDonnees(std::function<void()> rappel) override { surDonnees_ = std::move(rappel); }
  void surPerte(std::function<void()> rappel) override { surPerte_ = std::move(rappel); }

  CartePorts& carte() { return carte_; }
  // Device path of the open port (empty when closed).
  std::string cheminOuvert() const { return ouvert_ ? chemin_ : std::string(); }

private:
  void erreur(QSerialPort::SerialPortError e);

  CartePorts carte_;
  QSerialPort port_;
  std::string chemin_;
  int baud_ = 9600;
  bool ouvert_ = false;
  int verrou_ = -1;  // our own fd holding the advisory lock of the device
  std::function<void()> surDonnees_;
  std::function<void()> surPerte_;
};
