// Start-up detection of the interface over a real pseudo-terminal: the link's
// own waits (WRESET and WBAUDS, 500 ms each) make about 1 s; the goal is to
// reach "Brixo VYK II présente" within 1.3 s with the interface on COM1. The
// program's Qt port cannot be linked here, so a plain POSIX port stands in.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/link/liaison.h"
#include "sim/pty/pty_sim.h"

namespace {

class PortPosix : public IPortSerie, public IHorloge {
public:
  explicit PortPosix(std::string dossier) : dossier_(std::move(dossier)) {}
  ~PortPosix() override { ferme(); }

  bool existe(int n) override {
    struct stat st {};
    return ::stat(chemin(n).c_str(), &st) == 0 && S_ISCHR(st.st_mode);
  }
  ResultatOuverture ouvre(int n) override {
    ferme();
    fd_ = ::open(chemin(n).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) return errno == ENOENT ? ResultatOuverture::absent : ResultatOuverture::erreur;
    termios t{};
    ::tcgetattr(fd_, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(fd_, TCSANOW, &t);
    return ResultatOuverture::ouvert;
  }
  void ferme() override {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    entree_.clear();
  }
  bool estOuvert() const override { return fd_ >= 0; }
  bool fixeVitesse(int) override { return true; }
  bool ecrit(const std::uint8_t* o, std::size_t n) override {
    return fd_ >= 0 && ::write(fd_, o, n) == ssize_t(n);
  }
  std::size_t disponibles() override { return entree_.size(); }
  std::size_t lit(std::uint8_t* dest, std::size_t max) override {
    const std::size_t n = std::min(max, entree_.size());
    std::copy_n(entree_.begin(), n, dest);
    entree_.erase(entree_.begin(), entree_.begin() + long(n));
    return n;
  }
  void videEntree() override { entree_.clear(); }
  bool sortieVide() override { return true; }
  void surDonnees(std::function<void()> r) override { surDonnees_ = std::move(r); }
  void surPerte(std::function<void()>) override {}

  double maintenantMs() override {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  void pompe(double ms) override {
    if (fd_ < 0) {
      if (ms > 0) ::usleep(useconds_t(ms * 1000));
      return;
    }
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, ms > 0 ? int(ms + 0.999) : 0) <= 0) return;
    std::uint8_t tampon[256];
    const ssize_t n = ::read(fd_, tampon, sizeof tampon);
    if (n <= 0) return;
    entree_.insert(entree_.end(), tampon, tampon + n);
    if (surDonnees_) surDonnees_();
  }

private:
  std::string chemin(int n) const { return dossier_ + "/COM" + std::to_string(n); }
  std::string dossier_;
  int fd_ = -1;
  std::vector<std::uint8_t> entree_;
  std::function<void()> surDonnees_;
};

struct VueMuette : IVueLiaison {
  std::string statut;
  void afficheStatut(int panneau, const std::string& t) override {
    if (panneau == 0) statut = t;
  }
  void afficheBrixoAbsent(bool) override {}
  void curseurSablier(bool) override {}
  void messageErreur(const std::string&) override {}
  bool questionOuiNon(const std::string&) override { return false; }
  ReponseRappel rappelMiseAJourRom(const std::string&) override { return ReponseRappel::ok; }
  void commandesSansInterface() override {}
  void boutonReconVisible(bool) override {}
  void chargeConfigurationEnAttente() override {}
  void ouvreMiseAJourRom() override {}
  void progressionMiseAJourRom(int) override {}
  void messageMiseAJourRom(const std::string&, const std::string&) override {}
  bool arretMiseAJourDemande() override { return false; }
  void fermeMiseAJourRom() override {}
};

void BM_DetectionSurCom1(benchmark::State& state) {
  char modele[] = "/tmp/vyk2-bench-ports-XXXXXX";
  const std::string dossier = ::mkdtemp(modele);
  {
    sim::PtySim interface(1, dossier);
    for (auto _ : state) {
      PortPosix port(dossier);
      VueMuette vue;
      TLiaison liaison(port, port, vue);  // indexVitesse 1, the default
      const bool trouve = liaison.detecteInterface();
      if (!trouve || vue.statut != "Brixo VYK II présente") state.SkipWithError("not found");
      state.PauseTiming();
      liaison.arretInterface();  // the next round starts on a reset interface
      state.ResumeTiming();
    }
  }
  std::filesystem::remove_all(dossier);
}
BENCHMARK(BM_DetectionSurCom1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Scan50PortsAbsents(benchmark::State& state) {
  char modele[] = "/tmp/vyk2-bench-ports-XXXXXX";
  const std::string dossier = ::mkdtemp(modele);
  for (auto _ : state) {
    PortPosix port(dossier);
    VueMuette vue;
    TLiaison liaison(port, port, vue);
    benchmark::DoNotOptimize(liaison.detecteInterface());
  }
  std::filesystem::remove_all(dossier);
}
BENCHMARK(BM_Scan50PortsAbsents)->Unit(benchmark::kMicrosecond);

}  // namespace
