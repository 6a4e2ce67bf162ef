// Protocol emulator of the VYK II interface firmware, in simulated time.
// Qt-free; the pty layer (sim/pty) and in-process transports drive it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sim {

// Faults a test can switch on at any time.
struct Pannes {
  bool silencieux = false;  // commands are taken and logged, nothing is answered
  int retardMs = 0;         // every answer leaves this much later
  bool charabia = false;    // every answer is replaced by noise of the same length
};

struct ConfigEmulateur {
  std::string version = "BRIXO VYK2 V1.29";  // "WVERSION" answers this, then CR
  char rapportRom = '0';                     // digit sent after a HEX file
  std::optional<std::string> reponseDebug = std::string("0,0");  // "WDEBUG"; nullopt: no answer
  // Model the line: each byte sent takes 10 bit times at the current speed
  // (off: an answer leaves all at once).
  bool debitReel = false;
  std::uint32_t graine = 12345;  // noise of the "charabia" fault
};

// Per-input signal model; the channel work fills it in. Indexed by the
// interface's input number (0..9 = EA0..EA9, 10 = EAD0, 11 = EAD1).
struct EntreeAnalogique {
  std::int16_t code = 0;  // converter code returned for this input
};
inline constexpr int nombreEntrees = 12;

// What the interface has seen and in which state it is, for the command
// table and for tests.
struct EtatInterface {
  std::string version;
  int indexVitesse = 0;       // last "WBAUDS n" (0..3); 0 after reset and power-up
  bool binaire = false;       // "WBIN" received since the last reset
  int nombreResets = 0;       // "WRESET" count
  int misesAJour = 0;         // HEX files received to their end
  std::size_t octetsHex = 0;  // size of the last HEX file, line ends included
  bool hexValide = false;     // last HEX file: every record well formed with a good checksum
  std::vector<std::uint8_t> table;  // last "WTELE" table
  std::vector<std::string> inconnues;  // the last 256 command lines no row of the table knows
  std::size_t nombreInconnues = 0;     // all of them
  std::array<EntreeAnalogique, nombreEntrees> entrees{};
};

class Emulateur;

// One command line as received: "WBAUDS 1" gives motCle "WBAUDS", arguments {"1"}.
struct LigneCommande {
  std::string texte;
  std::string motCle;
  std::vector<std::string> arguments;
};

// A row of the command table (commandes.cpp); later work adds rows.
struct DescriptionCommande {
  const char* motCle;
  void (*action)(Emulateur&, const LigneCommande&);
};
// A row of the single-byte command table (bytes sent alone, without CR, at
// the start of a line).
struct DescriptionOctet {
  std::uint8_t octet;
  void (*action)(Emulateur&, std::uint8_t);
};

class Emulateur {
public:
  using Journal = std::function<void(double tMs, const std::string& ligne)>;

  explicit Emulateur(ConfigEmulateur config = {});
  ~Emulateur();
  Emulateur(const Emulateur&) = delete;
  Emulateur& operator=(const Emulateur&) = delete;

  // Bytes written by the computer at time tMs (ms, any monotonic origin).
  void recoit(const std::uint8_t* data, std::size_t n, double tMs);
  // Copies into buf at most max of the bytes the interface has sent by time tMs.
  std::size_t emet(std::uint8_t* buf, std::size_t max, double tMs);
  // Time of the next pending byte (or of the next internal deadline), +inf if none.
  double prochaineEmission() const;

  Pannes& pannes() { return pannes_; }
  ConfigEmulateur& config() { return config_; }
  const EtatInterface& etat() const { return etat_; }
  EtatInterface& etat() { return etat_; }

  // Every command line received; a raw block as one line with its byte count
  // ("HEX 40000 octets", "TELE 256 octets").
  void setJournal(Journal journal);

  // Power cut (cable pulled): pending input and output are lost, nothing is
  // heard until rebrancher(), which powers up afresh (speed 0, text mode).
  void debrancher();
  void rebrancher();
  bool branche() const { return branche_; }

  // --- services for the command table ---
  void repondre(const std::string& octets);  // queue an answer after the current command
  void attendreBloc(std::size_t n);         // the next n bytes are a raw block ("WTELE")
  void attendreHex();                       // an Intel-HEX file follows ("WROM")
  void journaliser(const std::string& ligne);
  void reinitialiser();                     // state of a freshly reset interface
  double instant() const { return maintenant_; }
  double dureeOctetMs() const;  // line time of one byte at the current speed

  static const std::vector<DescriptionCommande>& tableCommandes();
  static const std::vector<DescriptionOctet>& tableOctets();

private:
  struct RecepteurHex;
  void octet(std::uint8_t c);
  void finLigne();
  void finBloc();
  void finHex();
  void echeances(double tMs);

  ConfigEmulateur config_;
  Pannes pannes_;
  EtatInterface etat_;
  Journal journal_;
  bool branche_ = true;
  double maintenant_ = 0;
  std::string ligne_;
  bool ligneTropLongue_ = false;
  enum class Mode { lignes, bloc, hex } mode_ = Mode::lignes;
  std::size_t blocAttendu_ = 0;
  std::vector<std::uint8_t> bloc_;
  std::unique_ptr<RecepteurHex> hex_;
  std::deque<std::pair<double, std::uint8_t>> sortie_;
  std::uint32_t alea_;
};

}  // namespace sim
