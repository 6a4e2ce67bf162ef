#include "sim/pty/pty_sim.h"

#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace sim {

namespace {

std::runtime_error erreurSysteme(const std::string& quoi) {
  return std::runtime_error(quoi + ": " + std::strerror(errno));
}

void fermer(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

std::string variable(const char* nom) {
  const char* v = std::getenv(nom);
  return v ? std::string(v) : std::string();
}

}  // namespace

std::string dossierPortsParDefaut() {
  const std::string explicite = variable("VYK2_PORTS_DIR");
  if (!explicite.empty()) return explicite;
  const std::string runtime = variable("XDG_RUNTIME_DIR");
  if (!runtime.empty() && runtime[0] == '/') return runtime + "/vyk2/ports";
  std::string maison = variable("HOME");
  if (maison.empty()) {
    passwd pw{};
    passwd* trouve = nullptr;
    char buf[4096];
    if (::getpwuid_r(::getuid(), &pw, buf, sizeof buf, &trouve) == 0 && trouve) maison = trouve->pw_dir;
  }
  return maison + "/.local/state/vyk2/ports";
}

struct PtySim::Impl {
  std::string dossier;
  std::string lien;
  mutable std::mutex m;
  Emulateur emu;
  std::function<void(double, const std::string&)> journal;

  // The slave is not held open here: the master then reports a hang-up
  // whenever no client has the port open, which tells when answers are lost.
  int maitre = -1;
  int notif = -1;  // inotify on the slave: clients opening and closing the port
  int reveil[2] = {-1, -1};
  std::string chemin;
  std::vector<std::uint8_t> enAttente;  // answered but not yet taken by the pty
  bool clientPresent = false;
  int fermetures = 0;
  double ligneLibre = 0;  // with line timing: when the next byte may be read

  std::thread fil;
  bool arret = false;
  std::chrono::steady_clock::time_point debut = std::chrono::steady_clock::now();
  double debutUnix = std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();

  explicit Impl(ConfigEmulateur c) : emu(std::move(c)) {}

  double ms() const {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - debut).count();
  }

  void reveiller() {
    const char c = 0;
    [[maybe_unused]] auto r = ::write(reveil[1], &c, 1);
  }

  void ouvrirPty() {
    maitre = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (maitre < 0) throw erreurSysteme("posix_openpt");
    char nom[128];
    if (::grantpt(maitre) != 0 || ::unlockpt(maitre) != 0 || ::ptsname_r(maitre, nom, sizeof nom) != 0) {
      auto e = erreurSysteme("pty");
      fermer(maitre);
      throw e;
    }
    chemin = nom;
    // Raw both ways, so CR and LF pass unchanged and nothing is echoed; the
    // settings stay with the pty after this first open is closed.
    int esclave = ::open(nom, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (esclave < 0) {
      auto e = erreurSysteme("open " + chemin);
      fermer(maitre);
      throw e;
    }
    termios t{};
    ::tcgetattr(esclave, &t);
    ::cfmakeraw(&t);
    ::cfsetispeed(&t, B9600);
    ::cfsetospeed(&t, B9600);
    ::tcsetattr(esclave, TCSANOW, &t);
    fermer(esclave);
    notif = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (notif >= 0 && ::inotify_add_watch(notif, nom, IN_OPEN | IN_CLOSE) < 0) fermer(notif);
    enAttente.clear();
    clientPresent = false;
  }

  void fermerPty() {
    fermer(notif);
    fermer(maitre);
    chemin.clear();
    enAttente.clear();
    clientPresent = false;
  }

  void creerLien() {
    std::error_code ec;
    std::filesystem::create_directories(dossier, ec);
    if (ec) throw std::runtime_error("cannot create " + dossier + ": " + ec.message());
    struct stat st {};
    if (::lstat(lien.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
      throw std::runtime_error(lien + " exists and is not a link");
    }
    static std::atomic<unsigned> compteur{0};
    const std::string tmp =
        lien + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(compteur++);
    ::unlink(tmp.c_str());
    if (::symlink(chemin.c_str(), tmp.c_str()) != 0) throw erreurSysteme("symlink " + tmp);
    if (::rename(tmp.c_str(), lien.c_str()) != 0) {
      auto e = erreurSysteme("rename " + lien);
      ::unlink(tmp.c_str());
      throw e;
    }
  }

  // Removes the link only while it still names our pty (another process may
  // have taken the name since).
  void retirerLien() {
    if (chemin.empty()) return;
    char cible[256];
    const ssize_t n = ::readlink(lien.c_str(), cible, sizeof cible - 1);
    if (n > 0 && std::string(cible, static_cast<std::size_t>(n)) == chemin) ::unlink(lien.c_str());
  }

  bool raccroche() const {
    pollfd p{maitre, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & POLLHUP);
  }

  // What the interface sent and nobody read is gone when the port is closed,
  // as with a real port: the next client must not find it.
  void viderEsclave() {
    const int fd = ::open(chemin.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
      ::tcflush(fd, TCIFLUSH);
      ::close(fd);
    }
    // Our own open and close are not a client's.
    alignas(inotify_event) char buf[4096];
    while (notif >= 0 && ::read(notif, buf, sizeof buf) > 0) {
    }
  }

  // Follows clients opening and closing the port; true when one left.
  bool suivreClients() {
    bool ferme = false;
    if (notif >= 0) {
      alignas(inotify_event) char buf[4096];
      ssize_t n;
      while ((n = ::read(notif, buf, sizeof buf)) > 0) {
        for (ssize_t i = 0; i < n;) {
          const auto* ev = reinterpret_cast<const inotify_event*>(buf + i);
          if (ev->mask & (IN_CLOSE | IN_Q_OVERFLOW)) ferme = true;
          i += static_cast<ssize_t>(sizeof(inotify_event) + ev->len);
        }
      }
    }
    const bool present = !raccroche();
    if (clientPresent && !present) ferme = true;
    clientPresent = present;
    if (!ferme) return false;
    ++fermetures;
    // What the leaving client did not read is lost.
    std::uint8_t buf[4096];
    while (emu.emet(buf, sizeof buf, ms()) > 0) {
    }
    enAttente.clear();
    viderEsclave();
    clientPresent = !raccroche();
    return true;
  }

  void lireMaitre() {
    std::uint8_t buf[4096];
    for (;;) {
      std::size_t max = sizeof buf;
      const double t = ms();
      const double d = emu.dureeOctetMs();
      if (emu.config().debitReel) {
        // The line carries one byte per byte time; an idle line banks at
        // most 20 ms of it, which also absorbs our own wake-up delays.
        ligneLibre = std::max(ligneLibre, t - 20.0);
        const double permis = std::floor((t - ligneLibre) / d);
        if (permis < 1) return;
        max = std::min(max, static_cast<std::size_t>(permis));
      }
      const ssize_t n = ::read(maitre, buf, max);
      if (n <= 0) return;  // nothing more, or no client (EIO)
      if (emu.config().debitReel) ligneLibre += static_cast<double>(n) * d;
      emu.recoit(buf, static_cast<std::size_t>(n), t);
      if (static_cast<std::size_t>(n) < max) return;
    }
  }

  // Answers go out as soon as they are due, in the same turn as the command
  // that caused them, so they reach the client that asked; with nobody on
  // the port they are lost.
  void ecrireMaitre() {
    std::uint8_t buf[4096];
    for (;;) {
      const std::size_t n = emu.emet(buf, sizeof buf, ms());
      if (n == 0) break;
      if (clientPresent) enAttente.insert(enAttente.end(), buf, buf + n);
    }
    if (!clientPresent) enAttente.clear();
    if (enAttente.empty()) return;
    const ssize_t n = ::write(maitre, enAttente.data(), enAttente.size());
    if (n > 0) enAttente.erase(enAttente.begin(), enAttente.begin() + n);
  }

  void tourner() {
    for (;;) {
      pollfd fds[3];
      nfds_t nf = 0;
      int delai = 1000;
      {
        std::lock_guard<std::mutex> g(m);
        if (arret) return;
        fds[nf++] = {reveil[0], POLLIN, 0};
        if (maitre >= 0) {
          suivreClients();
          lireMaitre();
          ecrireMaitre();
          const double t = ms();
          if (clientPresent) {
            short ev = enAttente.empty() ? 0 : POLLOUT;
            const double libre = ligneLibre + emu.dureeOctetMs();
            if (!emu.config().debitReel || libre <= t) {
              ev |= POLLIN;
            } else {
              delai = std::min(delai, static_cast<int>(std::ceil(libre - t)));
            }
            fds[nf++] = {maitre, ev, 0};
          } else if (notif < 0) {
            delai = std::min(delai, 10);  // no notifications: look again soon
          }
          if (notif >= 0) fds[nf++] = {notif, POLLIN, 0};
          const double prochain = emu.prochaineEmission();
          if (std::isfinite(prochain)) {
            delai = std::min(delai, std::max(0, static_cast<int>(std::ceil(prochain - t))));
          }
        }
      }
      if (::poll(fds, nf, delai) < 0 && errno != EINTR) return;
      char poubelle[64];
      while (::read(reveil[0], poubelle, sizeof poubelle) > 0) {
      }
    }
  }
};

PtySim::PtySim(int numCom, std::string dossierPorts, ConfigEmulateur config)
    : PtySim(numCom, std::move(dossierPorts), std::move(config), Pannes{}, JournalUnix{}) {}

PtySim::PtySim(int numCom, std::string dossierPorts, ConfigEmulateur config, Pannes pannes, JournalUnix journal)
    : impl_(std::make_unique<Impl>(std::move(config))) {
  impl_->emu.pannes() = pannes;
  impl_->journal = std::move(journal);
  if (numCom < 1) throw std::invalid_argument("COM number must be at least 1");
  impl_->dossier = std::move(dossierPorts);
  impl_->lien = impl_->dossier + "/COM" + std::to_string(numCom);
  lien_ = impl_->lien;
  if (::pipe2(impl_->reveil, O_NONBLOCK | O_CLOEXEC) != 0) throw erreurSysteme("pipe");
  impl_->emu.setJournal([i = impl_.get()](double t, const std::string& ligne) {
    if (i->journal) i->journal(i->debutUnix + t / 1000.0, ligne);
  });
  try {
    impl_->ouvrirPty();
    impl_->creerLien();
  } catch (...) {
    impl_->fermerPty();
    fermer(impl_->reveil[0]);
    fermer(impl_->reveil[1]);
    throw;
  }
  impl_->fil = std::thread([i = impl_.get()] { i->tourner(); });
}

PtySim::~PtySim() {
  {
    std::lock_guard<std::mutex> g(impl_->m);
    impl_->arret = true;
    impl_->reveiller();
  }
  impl_->fil.join();
  impl_->retirerLien();
  impl_->fermerPty();
  fermer(impl_->reveil[0]);
  fermer(impl_->reveil[1]);
}

std::string PtySim::cheminEsclave() const {
  std::lock_guard<std::mutex> g(impl_->m);
  return impl_->chemin;
}

void PtySim::avec(const std::function<void(Emulateur&)>& f) {
  std::lock_guard<std::mutex> g(impl_->m);
  f(impl_->emu);
  impl_->reveiller();
}

void PtySim::setJournal(JournalUnix journal) {
  std::lock_guard<std::mutex> g(impl_->m);
  impl_->journal = std::move(journal);
}

void PtySim::debrancher() {
  std::lock_guard<std::mutex> g(impl_->m);
  if (impl_->maitre < 0) return;
  impl_->emu.debrancher();
  impl_->retirerLien();
  impl_->fermerPty();
  impl_->reveiller();
}

void PtySim::rebrancher() {
  std::lock_guard<std::mutex> g(impl_->m);
  if (impl_->maitre >= 0) return;
  try {
    impl_->ouvrirPty();
    impl_->creerLien();
  } catch (...) {
    impl_->fermerPty();
    throw;
  }
  impl_->ligneLibre = 0;
  impl_->emu.rebrancher();
  impl_->reveiller();
}

int PtySim::fermetures() const {
  std::lock_guard<std::mutex> g(impl_->m);
  return impl_->fermetures;
}

bool PtySim::branche() const {
  std::lock_guard<std::mutex> g(impl_->m);
  return impl_->maitre >= 0;
}

}  // namespace sim
