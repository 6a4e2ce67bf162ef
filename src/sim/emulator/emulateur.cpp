#include "sim/emulator/emulateur.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

constexpr double infini = std::numeric_limits<double>::infinity();
// A HEX file may end without a line end after its end record: the block is
// closed when nothing more comes for this long.
constexpr double graceFinHexMs = 50.0;
// The firmware's line buffer; longer lines are cut.
constexpr std::size_t longueurLigneMax = 255;
constexpr std::size_t longueurEnregistrementMax = 11 + 2 * 255;

int valeurHex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Byte at hexadecimal position i (two digits) of s, or -1.
int octetHex(const std::string& s, std::size_t i) {
  if (i + 1 >= s.size()) return -1;
  const int h = valeurHex(s[i]);
  const int l = valeurHex(s[i + 1]);
  return (h < 0 || l < 0) ? -1 : h * 16 + l;
}

LigneCommande decoupe(const std::string& texte) {
  LigneCommande l;
  l.texte = texte;
  std::size_t i = 0;
  bool premier = true;
  while (i < texte.size()) {
    while (i < texte.size() && texte[i] == ' ') ++i;
    if (i >= texte.size()) break;
    std::size_t j = i;
    while (j < texte.size() && texte[j] != ' ') ++j;
    std::string mot = texte.substr(i, j - i);
    if (premier) {
      l.motCle = std::move(mot);
      premier = false;
    } else {
      l.arguments.push_back(std::move(mot));
    }
    i = j;
  }
  return l;
}

}  // namespace

// Follows an Intel-HEX text byte by byte: counts it, checks each record and
// notices the end record, after which at most one line end still belongs to it.
struct Emulateur::RecepteurHex {
  enum class Suite { continuer, fini, finiSansOctet };

  std::size_t octets = 0;
  std::string enregistrement;
  bool clos = false;        // the current record reached its announced length
  bool valide = true;
  bool finVue = false;      // end record complete
  bool crApresFin = false;
  double echeance = infini;
  std::optional<std::string> versionFichier;

  Suite octet(std::uint8_t c, double t) {
    if (finVue) {
      if (c == '\n') {
        ++octets;
        return Suite::fini;
      }
      if (c == '\r' && !crApresFin) {
        ++octets;
        crApresFin = true;
        echeance = t + graceFinHexMs;
        return Suite::continuer;
      }
      return Suite::finiSansOctet;
    }
    ++octets;
    if (c == '\r' || c == '\n') {
      if (!enregistrement.empty()) {
        if (!clos) valide = false;  // record cut short
        enregistrement.clear();
      }
      clos = false;
      return Suite::continuer;
    }
    if (clos) {
      valide = false;  // text after a complete record
      return Suite::continuer;
    }
    if (enregistrement.size() < longueurEnregistrementMax) enregistrement += static_cast<char>(c);
    if (enregistrement.size() >= 3) {
      const int n = octetHex(enregistrement, 1);
      if (enregistrement[0] != ':' || n < 0) {
        valide = false;
        clos = true;
        return Suite::continuer;
      }
      if (enregistrement.size() == 11 + 2 * static_cast<std::size_t>(n)) {
        clos = true;
        analyse(t);
      }
    }
    return Suite::continuer;
  }

  void analyse(double t) {
    const std::string& e = enregistrement;
    const std::size_t nbDonnees = (e.size() - 11) / 2;
    std::vector<int> b;
    for (std::size_t i = 1; i + 1 < e.size(); i += 2) b.push_back(octetHex(e, i));
    int somme = 0;
    for (int v : b) {
      if (v < 0) {
        valide = false;
        return;
      }
      somme += v;
    }
    if ((somme & 0xFF) != 0) {
      valide = false;
      return;
    }
    const int adresse = b[1] * 256 + b[2];
    const int type = b[3];
    if (type == 0x01) {
      finVue = true;
      echeance = t + graceFinHexMs;
    } else if (type == 0x00 && nbDonnees == 0x15 && adresse == 0x0100) {
      // Version record: "VYK2 V" then the four characters of the version.
      static const char entete[] = "VYK2 V";
      bool ok = true;
      for (std::size_t i = 0; i < 6; ++i) ok = ok && b[4 + i] == static_cast<unsigned char>(entete[i]);
      if (ok) {
        std::string v;
        for (std::size_t i = 0; i < 4; ++i) v += static_cast<char>(b[10 + i]);
        versionFichier = v;
      }
    }
  }
};

Emulateur::Emulateur(ConfigEmulateur config) : config_(std::move(config)), alea_(config_.graine) {
  etat_.version = config_.version;
  if (config_.prepare) config_.prepare(*this);
}

Emulateur::~Emulateur() = default;

void Emulateur::setJournal(Journal journal) { journal_ = std::move(journal); }

void Emulateur::journaliser(const std::string& ligne) {
  if (journal_) journal_(maintenant_, ligne);
}

double Emulateur::dureeOctetMs() const {
  static constexpr double bauds[4] = {9600, 19200, 38400, 57600};
  const int i = std::clamp(etat_.indexVitesse, 0, 3);
  return 10.0 * 1000.0 / bauds[i];  // start bit, 8 data bits, stop bit
}

void Emulateur::repondre(const std::string& octets) {
  if (pannes_.silencieux || !branche_) return;
  // Values of a running sweep already due were sent before this answer.
  genere(maintenant_, std::numeric_limits<std::size_t>::max() - 2);
  double debut = maintenant_ + std::max(0, pannes_.retardMs);
  if (!sortie_.empty()) debut = std::max(debut, sortie_.back().first);
  const double d = config_.debitReel ? dureeOctetMs() : 0.0;
  double k = 0;
  for (char c : octets) {
    std::uint8_t o = static_cast<std::uint8_t>(c);
    if (pannes_.charabia) {
      alea_ = alea_ * 1664525u + 1013904223u;
      o = static_cast<std::uint8_t>(alea_ >> 24);
    }
    k += 1;
    sortie_.emplace_back(debut + k * d, o);
  }
}

void Emulateur::attendreBloc(std::size_t n) {
  if (n == 0) return;
  mode_ = Mode::bloc;
  blocAttendu_ = n;
  bloc_.clear();
}

void Emulateur::attendreHex() {
  mode_ = Mode::hex;
  hex_ = std::make_unique<RecepteurHex>();
}

void Emulateur::reinitialiser() {
  etat_.indexVitesse = 0;
  etat_.binaire = false;
  arreteBalayage();
  etat_.programmation.reset();
  etat_.enregistrement.reset();
  etat_.finEnregistrement = infini;
}

void Emulateur::recoit(const std::uint8_t* data, std::size_t n, double tMs) {
  echeances(tMs);
  maintenant_ = std::max(maintenant_, tMs);
  if (!branche_) return;
  for (std::size_t i = 0; i < n; ++i) octet(data[i]);
}

void Emulateur::octet(std::uint8_t c) {
  switch (mode_) {
    case Mode::bloc:
      bloc_.push_back(c);
      if (bloc_.size() >= blocAttendu_) finBloc();
      return;
    case Mode::hex: {
      const auto suite = hex_->octet(c, maintenant_);
      if (suite == RecepteurHex::Suite::continuer) return;
      finHex();
      if (suite == RecepteurHex::Suite::fini) return;
      break;  // this byte already belongs to what follows the file
    }
    case Mode::lignes:
      break;
  }
  if (c == '\r') {
    finLigne();
    return;
  }
  if (c == '\n') return;
  if (ligne_.empty() && !ligneTropLongue_) {
    for (const auto& d : tableOctets()) {
      if (d.octet == c) {
        journaliser("octet " + std::to_string(c));
        d.action(*this, c);
        return;
      }
    }
  }
  if (ligne_.size() < longueurLigneMax) {
    ligne_ += static_cast<char>(c);
  } else {
    ligneTropLongue_ = true;
  }
}

void Emulateur::finLigne() {
  std::string texte;
  texte.swap(ligne_);
  ligneTropLongue_ = false;
  if (texte.empty()) return;
  journaliser(texte);
  const LigneCommande l = decoupe(texte);
  for (const auto& d : tableCommandes()) {
    if (l.motCle == d.motCle) {
      d.action(*this, l);
      return;
    }
  }
  ++etat_.nombreInconnues;
  if (etat_.inconnues.size() >= 256) etat_.inconnues.erase(etat_.inconnues.begin());
  etat_.inconnues.push_back(texte);
}

void Emulateur::finBloc() {
  etat_.table = std::move(bloc_);
  bloc_.clear();
  mode_ = Mode::lignes;
  journaliser("TELE " + std::to_string(etat_.table.size()) + " octets");
}

void Emulateur::finHex() {
  auto hex = std::move(hex_);
  mode_ = Mode::lignes;
  etat_.octetsHex = hex->octets;
  etat_.hexValide = hex->valide && hex->finVue;
  ++etat_.misesAJour;
  journaliser("HEX " + std::to_string(hex->octets) + " octets");
  repondre(std::string(1, config_.rapportRom));
  if (config_.rapportRom == '0' && etat_.hexValide && hex->versionFichier) {
    etat_.version = "BRIXO VYK2 V" + *hex->versionFichier;
  }
  // The interface restarts on its new code.
  reinitialiser();
}

void Emulateur::echeances(double tMs) {
  if (mode_ == Mode::hex && hex_->echeance <= tMs) {
    maintenant_ = std::max(maintenant_, hex_->echeance);
    finHex();
  }
}

std::size_t Emulateur::emet(std::uint8_t* buf, std::size_t max, double tMs) {
  echeances(tMs);
  maintenant_ = std::max(maintenant_, tMs);
  genere(tMs, max);
  std::size_t n = 0;
  while (n < max && !sortie_.empty() && sortie_.front().first <= tMs) {
    buf[n++] = sortie_.front().second;
    sortie_.pop_front();
  }
  return n;
}

double Emulateur::prochaineEmission() const {
  double t = sortie_.empty() ? infini : sortie_.front().first;
  if (mode_ == Mode::hex) t = std::min(t, hex_->echeance);
  if (flux_ && flux_->suivant < flux_->total && branche_) {
    // Stream bytes queue behind whatever is already on the line.
    double f = flux_->instant(flux_->suivant);
    if (!sortie_.empty()) f = std::max(f, sortie_.back().first);
    t = std::min(t, f);
  }
  return t;
}

void Emulateur::debrancher() {
  branche_ = false;
  sortie_.clear();
  ligne_.clear();
  ligneTropLongue_ = false;
  bloc_.clear();
  hex_.reset();
  mode_ = Mode::lignes;
  flux_.reset();
  etat_.balayageEnCours.reset();
  etat_.enAttenteDeclenchement = false;
}

void Emulateur::rebrancher() {
  if (branche_) return;
  branche_ = true;
  reinitialiser();
}

}  // namespace sim
