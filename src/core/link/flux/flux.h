#pragma once
// Decoding of the binary result stream. The interface sends its measurements
// without framing after a launch command: only etatAvail says what the next
// byte means. Every decoder is a function of one byte and the fields below;
// values go into the channels of the acquisition set (ICibleFlux).

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/link/flux/cible_flux.h"
#include "core/link/pseudo_word.h"

class TLiaison;

// Counter time lost at a wrap of the optical-fork event counter; the
// interfaces use this value rather than 2^32 x 1.25e-7.
inline constexpr double periodeCompteurPivane = 536.8709104;
// Cardiac counting restarts past this counter value.
inline constexpr std::uint32_t limiteDateCardiaque = 0x7D000000u;

using TvaleurPivane = std::array<std::uint8_t, 8>;

class TfluxResultats {
 public:
  TfluxResultats(ICibleFlux& cible, IControleFlux& controle);

  // --- decoder state ---
  TetatAvail etatAvail = eaNone;
  std::int32_t indexOctet = 0;
  pseudoWord ValeurMot;
  int voieDebut = slotDerniereEntree;
  int voieCouranteTemps = slotDerniereEntree;
  // Indexed by slot 6..10.
  std::array<int, slotDerniereEntree + 1> voieSuivante{};
  double dateDebutReception = 0;
  std::int32_t indexPivane = 0;
  TvaleurPivane valeurPivane{};
  double dtPivane = 1.25e-7;  // 2e-7 on the PUX II
  double dateDebutPivane = 0;
  std::int32_t posDebutPivane = 0;
  std::int32_t oldPosPivane = 0;
  std::int32_t NbreUnMega = 0;
  bool AttenteMegaEnCours = false;
  bool MegaEnCours = false;
  std::int32_t indexDataPoincare = 0;
  std::int32_t indexPointPoincare = 0;
  std::uint32_t oldDateEF = 0;
  double oldFreqC = 0;
  double valeurFrequence = 0;
  double coeffFiltreCardiaque = 1.0 / 30;

  // The PUX II is in use: bytes come from its driver (except in the 1 MHz and
  // cardiac decoders, which read the port).
  bool PuxActif = false;
  ISourcePux* sourcePux = nullptr;

  // --- launch ---
  // Channel chain over the active analog inputs (slots 6..10).
  void prepareChaine();
  // Just before a launch command is written: chain, item counters and
  // NbreCourant at 0, then etatAvail := etat. A byte lost in an earlier
  // stream therefore never shifts the pairing of this one.
  void arme(TetatAvail etat);
  // Stop, suspend, drain: every further byte is discarded.
  void desarme() { etatAvail = eaNone; }

  // --- dispatcher ---
  // Bytes read from the serial port.
  void TriggerAvailBin(const std::uint8_t* octets, std::size_t n);
  // The PUX II driver's message: count bytes waiting in its buffer.
  void TriggerAvailBinPux(int count);
  // Installs TriggerAvailBin as the link's binary dispatcher.
  void installe(TLiaison& liaison);

  // One byte to the decoder that etatAvail selects.
  void decode(std::uint8_t octet);

  // --- the decoders, one per state of etatAvail ---
  void decodeResul(std::uint8_t octet);
  void decodePivaneOscillation(std::uint8_t octet);
  void decodePivaneChute(std::uint8_t octet);
  void decodeUnMega(std::uint8_t octet);
  void decodeBrulon(std::uint8_t octet);
  void decodePoincare(std::uint8_t octet);
  void decodeCardiaque(std::uint8_t octet);

 private:
  // Collects a 2-byte item; true with v when complete.
  bool collecte2(std::uint8_t octet, std::int16_t& v);
  // The decoders that read the port even with the PUX II.
  bool litLePort() const { return etatAvail == eaResulUnMega || etatAvail == eaCardiaque; }

  // What a run of time-sweep values writes into, looked up once per run:
  // the raw codes of slots 6..10, the point limit and NbreCourant.
  void prepareSorties();
  std::size_t decodeResulBloc(const std::uint8_t* octets, std::size_t n);
  std::array<std::int16_t*, slotDerniereEntree + 1> codes_{};
  // The same storage in chain order from voieDebut; longueurChaine_ is 0
  // when whole points cannot be copied at once (a slot without storage, a
  // chain that does not close).
  std::array<std::int16_t*, slotDerniereEntree - slotPremiereEntree + 1> chaine_{};
  int longueurChaine_ = 0;
  std::int32_t limite_ = 0;
  std::int32_t* nbreCourant_ = nullptr;

  ICibleFlux& cible_;
  IControleFlux& controle_;
};
