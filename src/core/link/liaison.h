// The serial link to the VYK II: port choice, detection and identification,
// send and query primitives, speed change, reset and firmware push. Every wait
// goes through IHorloge so that the window keeps running.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "core/link/pseudo_word.h"
#include "core/link/port_serie.h"
#include "core/link/vue_liaison.h"
#include "core/shell/horloge.h"

// Seam of the PUX II driver (reached through its maker library, not the port).
// No driver exists on this platform yet: TLiaison::pilotePux stays null and
// puxDllChargee false.
class IPilotePux {
public:
  virtual ~IPilotePux() = default;
  virtual bool ouvre() = 0;
  virtual std::string version() = 0;
  virtual void ferme() = 0;
  virtual void ecrit(const std::string& ordre) = 0;
  // Sends ordre and fills the first n bytes of dest within ticks of 55 ms.
  virtual void requete(const std::string& ordre, int ticks, int n, pseudoWord& dest) = 0;
  virtual void videSortie() = 0;
};

// Feature permissions derived from the firmware version.
struct PermissionsVersion {
  bool SynchroMonocoupPermis = false;
  bool PreAcqPermis = false;
  bool avecReconnaissance = false;  // before the sensor-file check
  bool base32Permis = false;
  bool rappelRom = false;           // the ROM-update reminder is due
};
PermissionsVersion permissionsVYK2(int numeroVersion, bool recoPermis, bool testRom);
PermissionsVersion permissionsPUX2(int numeroVersion, bool testRom);

// Version × 100 from a version reply: the four characters after the first "V"
// that does not begin the product word ("VYK2"); 0 when unreadable.
int numeroVersionDe(const std::string& reponse);

// Version of a firmware file "codevyk2.hex" (e.g. 129), 0 when the file is
// missing or holds no version record.
int versionFichierRom(const std::string& cheminHex);

// Speed table.
int baudVitesse(int index);              // 9600, 19200, 38400, 57600
double dureeTransmissionValeur(int index);  // seconds per 16-bit value

// Drain pause (ms) for the current acquisition mode.
enum class ModeVidage { temps, rapide /* AcqPoint, AcqUnMega */, autre };
double pauseVidageMs(ModeVidage mode, double deltatSecondes);

inline constexpr double dureeTickMs = 55;
inline constexpr const char* nomFichierRom = "codevyk2.hex";

class TLiaison {
public:
  TLiaison(IPortSerie& port, IHorloge& horloge, IVueLiaison& vue);
  ~TLiaison();
  TLiaison(const TLiaison&) = delete;
  TLiaison& operator=(const TLiaison&) = delete;

  // --- link fields (persisted ones are read and written by the shell) ---
  bool BrixoPresent = false;
  bool PuxActif = false;
  int NumCom = 1;
  int indexVitesse = 1;  // 0..3
  std::string chaineLue;
  bool FinDeChaine = false;
  std::string VersionBrixo;
  int NumeroVersion = 0;
  pseudoWord ValeurMot;
  int indexOctet = 0;
  bool TestROM = true;
  std::uint16_t CompteurROM = 0;
  std::uint16_t CompteurAuto = 0;
  bool RecoPermis = true;
  bool avecReconnaissance = false;
  bool SynchroMonocoupPermis = false;
  bool PreAcqPermis = false;
  bool base32Permis = false;
  double dtPivane = 1.25e-7;

  // --- what other subsystems plug in ---
  bool puxDllChargee = false;
  IPilotePux* pilotePux = nullptr;
  // Folder of the program, where "codevyk2.hex" is looked for.
  std::string dossierProgramme;
  // etatAcq = eaAttenteResul (a sweep is being received).
  std::function<bool()> attenteResultats;
  // Drain pause for the current mode and Deltat (default 50 ms).
  std::function<double()> pauseVidage;
  // Stops the acquisition timer (reset).
  std::function<void()> arreteTimerAcquisition;
  // Disconnected recording mode: no "WRESET" after detection.
  std::function<bool()> modeDeconnecte;
  // The DB15 sensor file is up to date (default: yes).
  std::function<bool()> fichierCapteursAJour;

  // Binary stream dispatcher: receives the bytes that arrive outside a query
  // and outside detection. Until one is installed they are consumed unread.
  using Dispatcheur = std::function<void(const std::uint8_t* octets, std::size_t n)>;
  void installeDispatcheurBinaire(Dispatcheur d);

  // --- primitives ---
  void ecritBrixo(const std::string& ordre);
  // Raw bytes (single-byte commands, "WTELE" tables), no carriage return.
  void ecritOctets(const std::uint8_t* octets, std::size_t n);
  std::uint8_t getByte(const std::string& ordre);
  std::uint16_t getWord(const std::string& ordre);
  std::int16_t getInt(const std::string& ordre);
  std::uint32_t getLongWord(const std::string& ordre);
  // The general query: n bytes (1..12) into ValeurMot within ticks of 55 ms.
  void requete(const std::string& ordre, int n, int ticks);
  void videOutBuffer();
  void arreteEtVide();

  // --- detection ---
  bool portExiste(int n);
  bool testePort(int n);
  bool detecteInterface();
  void TriggerAvailAsc(const std::uint8_t* octets, std::size_t n);

  void changeVitesse(int index);
  void razBrixo();              // menu "RàZ Brixo VYK2"
  void miseAJourRom();          // firmware push of dossierProgramme/codevyk2.hex
  void arretInterface();        // window closing: "WRESET", 500 ms, BrixoPresent := false

  // Which handler receives the bytes now (for tests and for the stream decoders).
  enum class Recepteur { aucun, ligneAscii, binaire };
  Recepteur recepteur() const { return recepteur_; }

private:
  void recoitDonnees();
  void perte();
  bool essaiePux();
  bool installeVYK2(int numero);
  void installePUX2();
  void rappelRom(int seuil, const std::string& produit);
  void verifieFichierCapteurs();
  void verifieFichierRom();
  void finDetection(bool trouve, int dernierEssai);
  bool attenteAcquisition() const;
  bool attendSortieVide(double maxMs);
  bool attendOctetParti();

  IPortSerie& port_;
  IHorloge& horloge_;
  IVueLiaison& vue_;
  Recepteur recepteur_ = Recepteur::aucun;
  Dispatcheur dispatcheur_;
  bool detectionEnCours_ = false;
  int versionFichier_ = 0;
};
