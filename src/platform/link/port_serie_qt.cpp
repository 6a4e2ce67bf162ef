#include "platform/link/port_serie_qt.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QTimer>

PortSerieQt::PortSerieQt(CartePorts carte, QObject* parent) : QObject(parent), carte_(std::move(carte)) {
  port_.setReadBufferSize(4096);
  connect(&port_, &QSerialPort::readyRead, this, [this] {
    if (surDonnees_) surDonnees_();
  });
  connect(&port_, &QSerialPort::errorOccurred, this, &PortSerieQt::erreur);
}

PortSerieQt::~PortSerieQt() {
  port_.disconnect(this);
  ferme();
}

bool PortSerieQt::existe(int numero) { return !carte_.chemin(numero).empty(); }

ResultatOuverture PortSerieQt::ouvre(int numero) {
  ferme();
  chemin_ = carte_.chemin(numero);
  if (chemin_.empty()) return ResultatOuverture::absent;

  // Programs that hold a port take an advisory lock on it (flock, as serial
  // terminals do); Qt's own lock file covers other Qt programs.
  verrou_ = ::open(chemin_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (verrou_ < 0) return errno == EACCES || errno == EBUSY || errno == EPERM ? ResultatOuverture::accesRefuse
                                                                               : ResultatOuverture::erreur;
  if (::flock(verrou_, LOCK_EX | LOCK_NB) != 0) {
    ::close(verrou_);
    verrou_ = -1;
    return ResultatOuverture::accesRefuse;
  }

  port_.setPortName(QString::fromStdString(chemin_));
  port_.setBaudRate(baud_);
  port_.setDataBits(QSerialPort::Data8);
  port_.setParity(QSerialPort::NoParity);
  port_.setStopBits(QSerialPort::OneStop);
  port_.setFlowControl(QSerialPort::NoFlowControl);
  if (!port_.open(QIODevice::ReadWrite)) {
    const auto e = port_.error();
    port_.clearError();
    ::close(verrou_);
    verrou_ = -1;
    switch (e) {
      case QSerialPort::PermissionError:
        return ResultatOuverture::accesRefuse;
      case QSerialPort::DeviceNotFoundError:
        return ResultatOuverture::absent;
      default:
        return ResultatOuverture::erreur;
    }
  }
  // Pseudo-terminals have no modem lines: a refusal here is harmless.
  port_.setDataTerminalReady(false);
  port_.clearError();
  port_.clear(QSerialPort::Input);
  ouvert_ = true;
  return ResultatOuverture::ouvert;
}

void PortSerieQt::ferme() {
  if (port_.isOpen()) port_.close();
  port_.clearError();
  ouvert_ = false;
  if (verrou_ >= 0) {
    ::close(verrou_);
    verrou_ = -1;
  }
}

bool PortSerieQt::estOuvert() const { return ouvert_; }

bool PortSerieQt::fixeVitesse(int baud) {
  baud_ = baud;
  if (!ouvert_) return true;
  return port_.setBaudRate(baud);
}

bool PortSerieQt::ecrit(const std::uint8_t* octets, std::size_t n) {
  if (!ouvert_) return false;
  return port_.write(reinterpret_cast<const char*>(octets), qint64(n)) == qint64(n);
}

std::size_t PortSerieQt::disponibles() { return ouvert_ ? std::size_t(port_.bytesAvailable()) : 0; }

std::size_t PortSerieQt::lit(std::uint8_t* dest, std::size_t max) {
  if (!ouvert_) return 0;
  const qint64 n = port_.read(reinterpret_cast<char*>(dest), qint64(max));
  return n > 0 ? std::size_t(n) : 0;
}

void PortSerieQt::videEntree() {
  if (ouvert_) port_.clear(QSerialPort::Input);
}

bool PortSerieQt::sortieVide() { return !ouvert_ || port_.bytesToWrite() == 0; }

void PortSerieQt::erreur(QSerialPort::SerialPortError e) {
  // A pulled USB adapter gives a resource error; a hung-up line (EIO) a read
  // or write error. Either way the port is gone. Close outside Qt's own
  // handler, then tell the link.
  const bool perdu = e == QSerialPort::ResourceError || e == QSerialPort::ReadError ||
                     e == QSerialPort::WriteError;
  if (!perdu || !ouvert_) return;
  ouvert_ = false;
  QTimer::singleShot(0, this, [this] {
    if (ouvert_) return;  // reopened meanwhile
    ferme();
    if (surPerte_) surPerte_();
  });
}
