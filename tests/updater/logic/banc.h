// A simulated bench for the updater: interfaces emulated on numbered ports,
// a line that carries 10 bits a byte at the computer's speed, simulated time.
#pragma once

#include <algorithm>
#include <cmath>
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
  void fermer() override { com_ = 0; }
  bool estOuvert() const override { return com_ != 0; }
  void reglerVitesse(int bauds) override { bauds_ = bauds; }
  int vitesse() const override { return bauds_; }

  bool ecrire(std::string_view o) override {
    if (!com_) return false;
    if (panneEcriture) {
      erreur_ = "Erreur d'écriture simulée";
      return false;
    }
    ecritures.push_back(o.size());
    const double debut = std::max(sortieLibre_, h_.t);
    sortieLibre_ = debut + static_cast<double>(o.size()) * dureeOctet();
    sim::Emulateur* e = interface(com_);
    if (e && bauds_ == baudsInterface(*e)) {
      // The interface has each byte when its last bit is in.
      for (std::size_t i = 0; i < o.size(); ++i) {
        const auto c = static_cast<std::uint8_t>(o[i]);
        e->recoit(&c, 1, debut + static_cast<double>(i + 1) * dureeOctet());
      }
    }
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
  std::size_t enAttenteSortie() override {
    if (!com_ || sortieLibre_ <= h_.t) return 0;
    return static_cast<std::size_t>(std::ceil((sortieLibre_ - h_.t) / dureeOctet()));
  }
  std::size_t tailleTamponSortie() const override { return tampon_; }
  void attendre(int ms) override {
    double cible = h_.t + std::max(ms, 0);
    if (sim::Emulateur* e = com_ ? interface(com_) : nullptr) {
      const double p = e->prochaineEmission();
      if (p > h_.t && p < cible) cible = p;
    }
    if (sortieLibre_ > h_.t && sortieLibre_ < cible) cible = sortieLibre_;
    h_.t = std::max(cible, h_.t + 0.001);
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
  void tirer() {
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
