#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "updater/logic/port_serie.h"
#include "updater/logic/ports.h"

namespace majvyk2 {

namespace {

speed_t codeVitesse(int bauds) {
  switch (bauds) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B9600;
  }
}

}  // namespace

PortPosix::PortPosix(std::size_t tailleTamponSortie)
    : tailleSortie_(tailleTamponSortie == 0 ? 1 : tailleTamponSortie) {}

PortPosix::~PortPosix() { fermer(); }

void PortPosix::noterErreur(const std::string& quoi, int err) {
  erreur_ = quoi + " : " + std::strerror(err);
}

bool PortPosix::ouvrir(int numeroCom) {
  const std::string chemin = cheminPort(numeroCom);
  if (chemin.empty()) {
    erreur_ = "COM" + std::to_string(numeroCom) + " : port inexistant";
    return false;
  }
  return ouvrirChemin(chemin);
}

bool PortPosix::ouvrirChemin(const std::string& chemin) {
  fermer();
  fd_ = ::open(chemin.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) {
    noterErreur(chemin, errno);
    return false;
  }
  if (!appliquerReglages()) {
    noterErreur(chemin, errno);
    ::close(fd_);
    fd_ = -1;
    return false;
  }
  return true;
}

bool PortPosix::appliquerReglages() {
  termios t{};
  if (::tcgetattr(fd_, &t) != 0) return false;
  ::cfmakeraw(&t);
  t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
  t.c_cflag |= CS8 | CLOCAL | CREAD;
  t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  ::cfsetispeed(&t, codeVitesse(bauds_));
  ::cfsetospeed(&t, codeVitesse(bauds_));
  return ::tcsetattr(fd_, TCSANOW, &t) == 0;
}

void PortPosix::fermer() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  enAttente_.clear();
}

void PortPosix::reglerVitesse(int bauds) {
  bauds_ = bauds;
  if (fd_ >= 0 && !appliquerReglages()) noterErreur("vitesse", errno);
}

void PortPosix::pousser() {
  while (fd_ >= 0 && !enAttente_.empty()) {
    const ssize_t n = ::write(fd_, enAttente_.data(), enAttente_.size());
    if (n > 0) {
      enAttente_.erase(0, static_cast<std::size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      if (n < 0 && errno != EAGAIN) noterErreur("écriture", errno);
      return;
    }
  }
}

bool PortPosix::ecrire(std::string_view octets) {
  if (fd_ < 0) {
    erreur_ = "Port non ouvert";
    return false;
  }
  const std::string avant = erreur_;
  erreur_.clear();
  enAttente_.append(octets);
  pousser();
  if (!erreur_.empty()) return false;
  erreur_ = avant;
  return true;
}

std::size_t PortPosix::enAttenteEntree() {
  if (fd_ < 0) return 0;
  int n = 0;
  if (::ioctl(fd_, FIONREAD, &n) != 0 || n < 0) return 0;
  return static_cast<std::size_t>(n);
}

std::string PortPosix::lireTout() {
  std::string lu;
  if (fd_ < 0) return lu;
  char tampon[4096];
  for (;;) {
    const ssize_t n = ::read(fd_, tampon, sizeof tampon);
    if (n > 0) {
      lu.append(tampon, static_cast<std::size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      break;
    }
  }
  return lu;
}

void PortPosix::viderEntree() {
  if (fd_ < 0) return;
  ::tcflush(fd_, TCIFLUSH);
  lireTout();
}

std::size_t PortPosix::enAttenteSortie() {
  if (fd_ < 0) return 0;
  pousser();
  int n = 0;
  if (::ioctl(fd_, TIOCOUTQ, &n) != 0 || n < 0) n = 0;
  return enAttente_.size() + static_cast<std::size_t>(n);
}

void PortPosix::attendre(int ms) {
  if (fd_ < 0) {
    if (ms > 0) ::poll(nullptr, 0, ms);
    return;
  }
  // Input already waiting would wake poll at once: then only output matters.
  pollfd p{fd_, static_cast<short>(enAttenteEntree() > 0 ? 0 : POLLIN), 0};
  if (!enAttente_.empty()) p.events |= POLLOUT;
  if (p.events == 0) {
    ::poll(nullptr, 0, ms < 0 ? 0 : ms);
    return;
  }
  ::poll(&p, 1, ms < 0 ? 0 : ms);
}

}  // namespace majvyk2
