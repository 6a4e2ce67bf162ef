// The computer's side of the link for the tests: a raw serial client on a
// port path, with waits bounded by timeouts.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

namespace simtest {

using Horloge = std::chrono::steady_clock;

class Client {
public:
  explicit Client(const std::string& chemin) {
    fd_ = ::open(chemin.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) return;
    termios t{};
    ::tcgetattr(fd_, &t);
    ::cfmakeraw(&t);
    ::cfsetispeed(&t, B9600);
    ::cfsetospeed(&t, B9600);
    ::tcsetattr(fd_, TCSANOW, &t);
  }
  ~Client() {
    if (fd_ >= 0) ::close(fd_);
  }
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  bool ouvert() const { return fd_ >= 0; }
  int fd() const { return fd_; }

  bool ecrit(const std::string& s) {
    std::size_t fait = 0;
    const auto fin = Horloge::now() + std::chrono::seconds(5);
    while (fait < s.size() && Horloge::now() < fin) {
      const ssize_t n = ::write(fd_, s.data() + fait, s.size() - fait);
      if (n > 0) {
        fait += static_cast<std::size_t>(n);
      } else {
        pollfd p{fd_, POLLOUT, 0};
        ::poll(&p, 1, 50);
      }
    }
    return fait == s.size();
  }

  // Reads until fini(received) or the timeout; returns what came.
  std::string litJusqua(const std::function<bool(const std::string&)>& fini, int timeoutMs = 2000) {
    std::string r;
    const auto fin = Horloge::now() + std::chrono::milliseconds(timeoutMs);
    while (!fini(r)) {
      const auto reste = std::chrono::duration_cast<std::chrono::milliseconds>(fin - Horloge::now()).count();
      if (reste <= 0) break;
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(reste)) <= 0) continue;
      if (p.revents & (POLLHUP | POLLERR)) {
        hangup_ = true;
        break;
      }
      char buf[512];
      const ssize_t n = ::read(fd_, buf, sizeof buf);
      if (n > 0) r.append(buf, static_cast<std::size_t>(n));
    }
    return r;
  }
  std::string ligne(int timeoutMs = 2000) {
    return litJusqua([](const std::string& s) { return !s.empty() && s.back() == '\r'; }, timeoutMs);
  }
  std::string octets(std::size_t n, int timeoutMs = 2000) {
    return litJusqua([n](const std::string& s) { return s.size() >= n; }, timeoutMs);
  }
  bool raccroche() const { return hangup_; }

private:
  int fd_ = -1;
  bool hangup_ = false;
};

// Polls cond until true or the timeout.
inline bool attend(const std::function<bool()>& cond, int timeoutMs = 3000) {
  const auto fin = Horloge::now() + std::chrono::milliseconds(timeoutMs);
  while (!cond()) {
    if (Horloge::now() >= fin) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

inline std::string contenu(const std::string& chemin) {
  std::ifstream f(chemin);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

class DossierTemporaire {
public:
  DossierTemporaire() {
    std::string modele = (std::filesystem::temp_directory_path() / "vyk2simXXXXXX").string();
    chemin_ = ::mkdtemp(modele.data());
  }
  ~DossierTemporaire() {
    std::error_code ec;
    std::filesystem::remove_all(chemin_, ec);
  }
  const std::string& chemin() const { return chemin_; }

private:
  std::string chemin_;
};

}  // namespace simtest
