// Protocol emulator of the VYK II interface firmware, in simulated time.
// Qt-free; the pty layer (sim/pty) and in-process transports drive it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/emulator/signal.h"

namespace sim {

// Faults a test can switch on at any time.
struct Pannes {
  bool silencieux = false;  // commands are taken and logged, nothing is answered
  int retardMs = 0;         // every answer leaves this much later
  bool charabia = false;    // every answer is replaced by noise of the same length
};

class Emulateur;

struct ConfigEmulateur {
  std::string version = "BRIXO VYK2 V1.29";  // "WVERSION" answers this, then CR
  char rapportRom = '0';                     // digit sent after a HEX file
  std::optional<std::string> reponseDebug = std::string("0,0");  // "WDEBUG"; nullopt: no answer
  // Model the line: each byte sent takes 10 bit times at the current speed
  // (off: an answer leaves all at once).
  bool debitReel = false;
  std::uint32_t graine = 12345;  // noise of the "charabia" fault
  // Signal models and query answers set up before anything is served.
  std::function<void(Emulateur&)> prepare{};
};

// An analog input, indexed by the interface's input number (0..9 = EA0..EA9,
// 10 = EAD0, 11 = EAD1): a fixed converter code, or a signal model when one
// is set.
struct EntreeAnalogique {
  std::int16_t code = 0;
  std::optional<ModeleSignal> signal{};
  std::int16_t codeA(double tMs) const { return signal ? codeDeVolts(signal->volts(tMs)) : code; }
};
inline constexpr int nombreEntrees = 12;
// Edge (TTL) inputs EF0..EF2: high at or above this level.
inline constexpr int nombreEntreesFront = 3;
inline constexpr double niveauTTL = 1.4;
// Successive inputs of one sampling instant are converted this far apart.
inline constexpr double ecartEntreesMs = 0.01;
// Origin of the encoder position ("WRPOSITION").
inline constexpr std::uint16_t origineCodeur = 30000;

// What "WPE" programmed.
struct Programmation {
  int nbreEntrees = 0;           // 1..5
  long pointsApres = 0;          // points after the trigger
  long periodeUs = 0;            // base x multiplier
  std::vector<int> entrees;      // input numbers, in slot order
};

// A sweep triggered at instant tDeclenchement: point k (0 .. pre + after - 1)
// of the j-th programmed input is taken at
// tDeclenchement + (k - pre) x period + j x ecartEntreesMs.
struct Balayage {
  Programmation prog;
  long pre = 0;
  double tDeclenchement = 0;
  double periodeMs() const { return static_cast<double>(prog.periodeUs) / 1000.0; }
  long points() const { return pre + prog.pointsApres; }
  double instant(long point, int entree) const {
    return tDeclenchement + static_cast<double>(point - pre) * periodeMs() + entree * ecartEntreesMs;
  }
};

struct SortiePWM {
  bool active = false;
  int sortie = 0;
  long duty = 0;
  long periode = 0;
  long horloge = 0;
};

struct Synthese {
  bool active = false;
  int sortie = 0;
  long periode = 0;
};

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

  // --- models of the measurement queries ---
  std::array<ModeleSignal, nombreEntreesFront> entreesFront{};  // EF0..EF2
  std::array<bool, nombreEntreesFront> frontMontant{true, true, true};  // "WCONFEF"
  std::array<std::uint8_t, 2> capteursDB15{};  // "WRECO": sensor codes on inputs 10, 11
  std::array<std::uint8_t, 8> entreesBinaires{};  // "WEBIT b"
  std::uint16_t positionCodeur = origineCodeur;    // "WLPOSITION"
  // "WPER i" answers this many 1.25e-7 s ticks when set, else the period of
  // EF i's model (0 when it is not periodic).
  std::array<std::optional<std::uint32_t>, nombreEntreesFront> periodesFront{};
  // "WAUTO s" answers this many 0.5 us ticks when set, else the period of
  // input 11's model.
  std::optional<std::uint32_t> periodeAuto;

  // --- outputs ---
  std::array<int, 2> sortiesAnalogiques{};  // "WDAC" SA0, SA1
  std::uint8_t sortiesBinaires = 0;         // "WSBIT"/"WRBIT" bit b
  SortiePWM pwm;
  Synthese synthese;
  // "WEPOTAR c k v": position of potentiometer k of the sensor on socket c;
  // "WMPOTAR c k" stores it; "WRPOTAR c" counts.
  std::map<char, std::array<int, 5>> potars;
  std::map<char, std::array<int, 5>> potarsMemorises;
  std::map<char, int> rappelsPotars;

  // --- sweeps ---
  std::optional<Programmation> programmation;
  bool enAttenteDeclenchement = false;  // armed, trigger not yet seen
  std::optional<Balayage> balayageEnCours;  // streamed sweep
  std::optional<Balayage> dernierBalayage;  // the last one triggered, streamed or not
  std::optional<Balayage> enregistrement;   // non-streamed (disconnected) sweep
  double finEnregistrement = std::numeric_limits<double>::infinity();
  long balayagesEmis = 0;                   // streamed sweeps sent to their end
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

  // --- sweeps (balayage.cpp) ---
  enum class Declenchement { immediat, front, seuil };
  struct Lancement {
    Declenchement genre = Declenchement::immediat;
    int front = 0;          // EF0..EF2 (edge)
    int seuil = 128;        // 8-bit threshold code on input 11 (threshold)
    bool montant = true;    // threshold direction
    long pre = 0;           // points kept before the trigger
    bool flux = true;       // streamed; false: recorded for "WRESUL"
  };
  // Starts the programmed sweep ("WPE ...") on its trigger; without a
  // programming nothing happens.
  void lance(const Lancement& l);
  // 1 MHz mode on the threshold of input 11: inputs 11 (and 10 when
  // nEntrees is 2), nbBlocs blocks, sample period 1 us / freqMega.
  void lanceMega(int seuil, bool montant, int nEntrees, int nbBlocs, int freqMega);
  // "WPE" alone: the running sweep and its stream stop.
  void arreteBalayage();
  // "WRESUL 0 N": the first N recorded values, at once.
  void envoieEnregistrement(long n);
  // Instant of the trigger of a launch made at tMs (the first sample instant
  // at which the condition holds), +inf when none within the search horizon.
  double chercheDeclenchement(const Lancement& l, double periodeMs, double tMs) const;
  // Volts of the 8-bit threshold code of input 11.
  static double voltsSeuil(int seuil) { return (seuil - 128) * 20.0 / 256.0; }

  static const std::vector<DescriptionCommande>& tableCommandes();
  static const std::vector<DescriptionOctet>& tableOctets();

private:
  struct RecepteurHex;
  void octet(std::uint8_t c);
  void finLigne();
  void finBloc();
  void finHex();
  void echeances(double tMs);
  // Values produced lazily as time passes: value n leaves at instant(n).
  struct Flux {
    long total = 0;
    long suivant = 0;
    std::function<std::int16_t(long)> valeur;
    std::function<double(long)> instant;
    std::function<void()> fin;
  };
  void genere(double tMs, std::size_t max);
  std::optional<Flux> flux_;

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
