// A simulated bench for the updater: interfaces emulated on numbered ports,
// a line that carries 10 bits a byte at the computer's speed, simulated time.
#pragma once

#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sim/emulator/emulateur.h"
#include "updater/logic/majvyk2.h"

namespace majtest {

struct Horloge {
  double t = 0;  // ms
};

class BoucleSimulee final : public majvyk2::Boucle {
public:
  explicit BoucleSimulee(Horloge& h) : h_(h) {}
  std::int64_t maintenantMs() override { return static_cast<std::int64_t>(std::floor(h_.t)); }
  void laisserPasser() override {
    ++passages;
    if (pendant) pendant();
  }
  std::function<void()> pendant;  // what the user does while the updater waits
  long passages = 0;

private:
  Horloge& h_;
};

// The interfaces answer at the speed they were told with "WBAUDS"; what the
// computer sends at another speed is lost.
class PortSimule final : public majvyk2::PortSerie {
public:
  explicit PortSimule(Horloge& h, std::size_t tampon = 512) : h_(h), tampon_(tampon) {}

  sim::Emulateur& brancher(int com, sim::ConfigEmulateur c = {}) {
    auto& e = interfaces_[com];
    e = std::make_unique<sim::Emulateur>(std::move(c));
    e->setJournal([this, com](double, const std::string& l) { journaux[com].push_back(l); });
    return *e;
  }
  sim::Emulateur* interface(int com) {
    auto it = interfaces_.find(com);
    return it == interfaces_.end() ? nullptr : it->second.get();
  }
  // Ports that open but have nothing behind them.
  std::vector<int> portsVides;

  bool ouvrir(int com) override {
    ++ouvertures;
    if (!interface(com) && std::find(portsVides.begin(), portsVides.end(), com) == portsVides.end()) {
      erreur_ = "COM" + std::to_string(com) + " : port inexistant";
      return false;
    }
    com_ = com;
    entree_.clear();
    sortieLibre_ = h_.t;
    return true;
  }
  // What is still on the line when the port closes or changes speed is lost.
  void fermer() override {
    livrer();
    ligne_.clear();
    com_ = 0;
  }
  bool estOuvert() const override { return com_ != 0; }
  void reglerVitesse(int bauds) override {
    livrer();
    ligne_.clear();
    bauds_ = bauds;
  }
  int vitesse() const override { return bauds_; }

  bool ecrire(std::string_view o) override {
    if (!com_) return false;
    if (panneEcriture) {
      erreur_ = "Erreur d'écriture simulée";
      return false;
    }
    ecritures.push_back(o.size());
    double fin = std::max(sortieLibre_, h_.t);
    for (const char c : o) {
      fin += dureeOctet();
      ligne_.emplace_back(fin, static_cast<std::uint8_t>(c));
    }
    sortieLibre_ = fin;
    return true;
  }
  std::size_t enAttenteEntree() override {
    tirer();
    return entree_.size();
  }
  std::string lireTout() override {
    tirer();
    std::string r;
    r.swap(entree_);
    return r;
  }
  void viderEntree() override { lireTout(); }
  // Like a 16550 behind its driver: the last 16 bytes sit in the UART's
  // FIFO, which the driver does not count.
  std::size_t enAttenteSortie() override {
    livrer();
    return ligne_.size() > 16 ? ligne_.size() - 16 : 0;
  }
  std::size_t tailleTamponSortie() const override { return tampon_; }
  // Time runs to the next event: a byte off the line, an answer, or ms.
  void attendre(int ms) override {
    const double cible = h_.t + std::max(ms, 1);
    const bool dejaEntree = enAttenteEntree() > 0;
    for (;;) {
      if (!dejaEntree && enAttenteEntree() > 0) return;
      double prochain = cible;
      if (!ligne_.empty()) prochain = std::min(prochain, ligne_.front().first);
      if (sim::Emulateur* e = com_ ? interface(com_) : nullptr) {
        const double p = e->prochaineEmission();
        if (p > h_.t) prochain = std::min(prochain, p);
      }
      if (prochain >= cible) break;
      h_.t = prochain;
      livrer();
    }
    h_.t = cible;
    livrer();
  }
  std::string derniereErreur() const override { return erreur_; }

  static int baudsInterface(const sim::Emulateur& e) {
    static const int table[] = {9600, 19200, 38400, 57600};
    return table[std::clamp(e.etat().indexVitesse, 0, 3)];
  }

  std::map<int, std::vector<std::string>> journaux;
  std::vector<std::size_t> ecritures;
  int ouvertures = 0;
  bool panneEcriture = false;

private:
  double dureeOctet() const { return 10000.0 / bauds_; }
  // The interface has each byte when its last bit is in; at another speed it
  // hears nothing sensible.
  void livrer() {
    sim::Emulateur* e = com_ ? interface(com_) : nullptr;
    while (!ligne_.empty() && ligne_.front().first <= h_.t) {
      if (e && bauds_ == baudsInterface(*e)) e->recoit(&ligne_.front().second, 1, ligne_.front().first);
      ligne_.pop_front();
    }
  }
  void tirer() {
    livrer();
    sim::Emulateur* e = com_ ? interface(com_) : nullptr;
    if (!e) return;
    std::uint8_t buf[256];
    for (std::size_t n; (n = e->emet(buf, sizeof buf, h_.t)) > 0;)
      entree_.append(reinterpret_cast<const char*>(buf), n);
  }

  Horloge& h_;
  std::size_t tampon_;
  std::map<int, std::unique_ptr<sim::Emulateur>> interfaces_;
  int com_ = 0;
  int bauds_ = 9600;
  double sortieLibre_ = 0;
  std::string entree_;
  std::deque<std::pair<double, std::uint8_t>> ligne_;
  std::string erreur_;
};

class VueTest final : public majvyk2::Vue {
public:
  void afficher(const majvyk2::EtatFenetre& e) override {
    dernier = e;
    ++affichages;
    if (e.jaugeVisible) jauges.push_back(e.jaugeValeur);
  }
  void boite(majvyk2::Icone i, const std::string& t) override { boites.emplace_back(i, t); }
  void terminer() override { ++fins; }

  majvyk2::EtatFenetre dernier;
  int affichages = 0;
  std::vector<int> jauges;
  std::vector<std::pair<majvyk2::Icone, std::string>> boites;
  int fins = 0;
};

}  // namespace majtest
