// The updater's own cost in a firmware transfer: the real port code sends a
// HEX file to the emulator over a pseudo-terminal. A pty has no baud rate and
// the updater paces itself to the nominal line speed, so the time beyond the
// line time of the file (10 bits a byte) is what the updater adds.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "sim/pty/pty_sim.h"
#include "updater/logic/boucle_systeme.h"
#include "updater/logic/majvyk2.h"

namespace {

std::string enregistrement(int adresse, const std::vector<unsigned>& d) {
  char tmp[16];
  unsigned somme = static_cast<unsigned>(d.size()) + (static_cast<unsigned>(adresse) >> 8) +
                   (static_cast<unsigned>(adresse) & 0xFF);
  std::snprintf(tmp, sizeof tmp, ":%02X%04X00", static_cast<unsigned>(d.size()), static_cast<unsigned>(adresse));
  std::string s = tmp;
  for (unsigned b : d) {
    std::snprintf(tmp, sizeof tmp, "%02X", b & 0xFF);
    s += tmp;
    somme += b;
  }
  std::snprintf(tmp, sizeof tmp, "%02X", (0x100 - (somme & 0xFF)) & 0xFF);
  return s + tmp + "\r\n";
}

// About `taille` bytes of well-formed HEX ending with the end record.
std::string fichier(std::size_t taille) {
  std::string t;
  for (int a = 0x0200; t.size() + 58 < taille; a = (a + 16) & 0xFFFF)
    t += enregistrement(a, std::vector<unsigned>(16, static_cast<unsigned>(a)));
  return t + ":00000001FF\r\n";
}

class BoucleMesuree final : public majvyk2::Boucle {
public:
  explicit BoucleMesuree(const majvyk2::MiseAJour*& m) : m_(m) {}
  std::int64_t maintenantMs() override { return reelle_.maintenantMs(); }
  void laisserPasser() override {
    if (debut_ < 0 && m_ && m_->morceaux >= 1) debut_ = secondes();
  }
  static double secondes() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
  }
  double debut_ = -1;

private:
  const majvyk2::MiseAJour*& m_;
  majvyk2::BoucleSysteme reelle_;
};

class VueVide final : public majvyk2::Vue {
public:
  void afficher(const majvyk2::EtatFenetre&) override {}
  void boite(majvyk2::Icone, const std::string&) override { ++boites; }
  void terminer() override {}
  int boites = 0;
};

// Arguments: bauds, file size. The time measured runs from the first piece
// written to the last piece gone.
void BM_Majvyk2_TransfertPty(benchmark::State& state) {
  const int bauds = static_cast<int>(state.range(0));
  const std::string contenu = fichier(static_cast<std::size_t>(state.range(1)));
  std::string modele = (std::filesystem::temp_directory_path() / "bench-majvyk2-XXXXXX").string();
  const std::string dossier = ::mkdtemp(modele.data());
  double surcout = 0;
  std::size_t morceaux = 0;
  {
    sim::PtySim pty(1, dossier);
    for (auto _ : state) {
      majvyk2::PortPosix port;
      port.reglerVitesse(bauds);
      if (!port.ouvrirChemin(pty.lien())) {
        state.SkipWithError(port.derniereErreur().c_str());
        break;
      }
      const majvyk2::MiseAJour* observee = nullptr;
      BoucleMesuree boucle(observee);
      VueVide vue;
      majvyk2::MiseAJour maj(port, boucle, vue);
      observee = &maj;
      maj.TransmetFichier(contenu);
      const double duree = BoucleMesuree::secondes() - boucle.debut_;
      state.SetIterationTime(duree);
      surcout += duree - static_cast<double>(contenu.size()) * 10.0 / bauds;
      morceaux += maj.morceaux;
      if (vue.boites != 0) state.SkipWithError("erreur d'écriture");
    }
  }
  std::filesystem::remove_all(dossier);
  const double n = static_cast<double>(state.iterations());
  const double parMorceauMs = 1000.0 * surcout / std::max<double>(1, static_cast<double>(morceaux));
  state.counters["surcout_pct"] = 100.0 * (surcout / n) / (static_cast<double>(contenu.size()) * 10.0 / bauds);
  state.counters["surcout_ms_par_morceau"] = parMorceauMs;
  // 40 000 bytes at 19200 bauds: 79 pieces of 512 bytes over 20.83 s of line.
  state.counters["surcout_pct_40000_a_19200"] = 100.0 * 79 * parMorceauMs / 20833.3;
  state.SetBytesProcessed(static_cast<std::int64_t>(contenu.size()) * state.iterations());
}

// 115200 bauds keeps the run short; the cost is per piece, so the 19200 figure
// follows from it.
BENCHMARK(BM_Majvyk2_TransfertPty)->Args({115200, 20000})->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
