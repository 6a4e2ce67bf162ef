#include "sim/transport/port_emule.h"

#include <limits>

namespace sim {

namespace {
constexpr int bauds[] = {9600, 19200, 38400, 57600};
// Both sides at different speeds: what arrives is noise.
std::uint8_t brouille(std::uint8_t o) { return std::uint8_t(o ^ 0xFF); }
}  // namespace

PortEmule::PortEmule(HorlogeSimulee& horloge) : horloge_(horloge) {
  source_ = horloge_.ajouteSource(
      {[this] {
         Emulateur* e = emulateurOuvert();
         return e ? e->prochaineEmission() : std::numeric_limits<double>::infinity();
       },
       [this](double t) { livre(t); }});
}

PortEmule::~PortEmule() { horloge_.retireSource(source_); }

void PortEmule::branche(int numero, Emulateur& emulateur) {
  voies_[numero] = {Genre::emulateur, &emulateur};
}
void PortEmule::ajouteMuet(int numero) { voies_[numero] = {Genre::muet, nullptr}; }
void PortEmule::ajouteOccupe(int numero) { voies_[numero] = {Genre::occupe, nullptr}; }

void PortEmule::retire(int numero) {
  voies_.erase(numero);
  if (ouvert_ == numero) {
    ouvert_ = 0;
    entree_.clear();
    if (surPerte_) surPerte_();
  }
}

Emulateur* PortEmule::emulateurOuvert() const {
  if (ouvert_ == 0) return nullptr;
  const auto it = voies_.find(ouvert_);
  return it == voies_.end() ? nullptr : it->second.emulateur;
}

bool PortEmule::memeVitesse() const {
  const Emulateur* e = emulateurOuvert();
  if (!e) return true;
  const int i = e->etat().indexVitesse;
  return i >= 0 && i < 4 && bauds[i] == baud_;
}

bool PortEmule::existe(int numero) { return voies_.count(numero) != 0; }

ResultatOuverture PortEmule::ouvre(int numero) {
  ferme();
  ouvertures_.push_back(numero);
  const auto it = voies_.find(numero);
  if (it == voies_.end()) return ResultatOuverture::absent;
  if (it->second.genre == Genre::occupe) return ResultatOuverture::accesRefuse;
  ouvert_ = numero;
  return ResultatOuverture::ouvert;
}

void PortEmule::ferme() {
  ouvert_ = 0;
  entree_.clear();
}

bool PortEmule::fixeVitesse(int baud) {
  baud_ = baud;
  return true;
}

bool PortEmule::ecrit(const std::uint8_t* octets, std::size_t n) {
  if (ouvert_ == 0) return false;
  if (Emulateur* e = emulateurOuvert()) {
    if (memeVitesse()) {
      e->recoit(octets, n, horloge_.maintenantMs());
    } else {
      std::vector<std::uint8_t> bruit(octets, octets + n);
      for (auto& o : bruit) o = brouille(o);
      e->recoit(bruit.data(), bruit.size(), horloge_.maintenantMs());
    }
  }
  return true;
}

std::size_t PortEmule::lit(std::uint8_t* dest, std::size_t max) {
  std::size_t n = 0;
  while (n < max && !entree_.empty()) {
    dest[n++] = entree_.front();
    entree_.pop_front();
  }
  return n;
}

void PortEmule::livre(double tMs) {
  Emulateur* e = emulateurOuvert();
  if (!e) return;
  std::uint8_t tampon[256];
  bool recu = false;
  for (;;) {
    const std::size_t n = e->emet(tampon, sizeof tampon, tMs);
    if (n == 0) break;
    const bool clair = memeVitesse();
    for (std::size_t i = 0; i < n; ++i) entree_.push_back(clair ? tampon[i] : brouille(tampon[i]));
    recu = true;
  }
  if (recu && surDonnees_) surDonnees_();
}

}  // namespace sim
