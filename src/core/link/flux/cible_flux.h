#pragma once
// What the result-stream decoders write into and whom they hand over to.
// The acquisition set (grapheAcq) implements ICibleFlux; the acquisition
// control of the main window implements IControleFlux; the PUX II driver
// implements ISourcePux. Each is a narrow seam so that the decoders run
// over plain bytes in tests and benchmarks.

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/channels/model/enumerations.h"
#include "core/channels/model/vecteur.h"

class Tvoie;

// Which decoder receives the next byte of the stream.
enum TetatAvail : std::uint8_t {
  eaNone,         // every byte is read and discarded
  eaResul,        // time sweep values, 2 bytes
  eaPivane,       // optical fork, 4 (fall) or 6 (oscillation) bytes
  eaResulUnMega,  // 1 MHz mode values, 2 bytes
  eaBrulon,       // single ultrasound echo delay, 2 bytes
  eaPoincare,     // edge-triggered point captures, 2 bytes
  eaCardiaque     // heartbeat edge times, 4 bytes
};

inline constexpr const char* msgClapNonDetecte = "CLAP non d\u00e9tect\u00e9, recommencez";

// Slots of the acquisition set that the decoders address.
inline constexpr int slotTemps = 1;
inline constexpr int slotPivane = 4;
inline constexpr int slotFrequence = 5;
inline constexpr int slotPremiereEntree = 6;
inline constexpr int slotDerniereEntree = 10;
inline constexpr int slotBrulon = 12;

// The 1 MHz block layout of the set (see fixeNbreInter).
struct ParametresMega {
  std::int32_t blocMega = 0;     // L: values per block
  std::int32_t nbreBlocMega = 1; // B: blocks per sweep
  std::int32_t FreqMega = 1;     // repeat factor
};

// The acquisition set as the decoders see it.
class ICibleFlux {
 public:
  virtual ~ICibleFlux() = default;
  // voieBrixo[indiceVoie], 1..12; nullptr for a slot without a channel.
  virtual Tvoie* voieFlux(int indiceVoie) = 0;
  // NbreCourant: points received so far in the current sweep.
  virtual std::int32_t& refNbreCourant() = 0;
  virtual std::int32_t lireNbreInter() const = 0;
  // NbreVoie: active analog inputs taking part in the sweep.
  virtual std::int32_t lireNbreVoie() const = 0;
  // vecteurTemps: time of each detected heartbeat.
  virtual TVecteur& refVecteurTemps() = 0;
  virtual ParametresMega lireParametresMega() const = 0;
  // ModeSynchro = s_brulon.
  virtual bool synchroBrulon() const = 0;
  // AttenteDeltat of the ultrasound channel (slot 12).
  virtual bool& refAttenteDeltat() = 0;
  // Fchute of the optical fork (slot 4).
  virtual bool lireChute() const = 0;
  // Sweep duration of the time base, in seconds.
  virtual double lireDureeBalayage() const = 0;
};

// The acquisition control and the later modes, as the decoders hand over.
class IControleFlux {
 public:
  virtual ~IControleFlux() = default;
  virtual TetatAcq lireEtatAcq() const = 0;
  virtual void fixeEtatAcq(TetatAcq e) = 0;
  // PremiereAcquisition: first sweep after a change.
  virtual bool premiereAcquisition() const = 0;
  // Date-time now, in seconds (any origin).
  virtual double maintenant() = 0;
  // Seconds since DebutAcquisition; and DebutAcquisition := now.
  virtual double secondesDepuisDebutAcquisition() = 0;
  virtual void razDebutAcquisition() = 0;
  // Make sure the acquisition timer runs.
  virtual void assureTimerAcquisition() = 0;
  // Restart the acquisition timer with the given period.
  virtual void relanceTimerAcquisition(int periodeMs) = 0;
  // Refresh the value label of a slot.
  virtual void afficheValeurVoie(int indiceVoie) = 0;
  // Error box (error icon, OK button).
  virtual void afficheErreur(const std::string& message) = 0;
  // Start the sweep again (after "CLAP non détecté, recommencez").
  virtual void relanceBalayage() = 0;
  // Ultrasound box: error button shown or hidden.
  virtual void montreErreurBrulon(bool visible) = 0;
  // Edge-triggered points: "Un point sur" (1..5), recording a point, and the
  // streamed launch sent again (ordreLanceR).
  virtual int lireUnPointSur() const = 0;
  virtual void enregistrePointPoincare() = 0;
  virtual void relanceOrdreR() = 0;
  // Cardiac mode: restart the beat counting on the interface.
  virtual void relanceComptageCardiaque() = 0;
};

// Bytes received by the PUX II driver's reception thread.
class ISourcePux {
 public:
  virtual ~ISourcePux() = default;
  // Up to max bytes already received; returns how many were copied.
  virtual std::size_t lit(std::uint8_t* dest, std::size_t max) = 0;
  // Restart the driver's reception for n bytes.
  virtual void relanceReception(int nOctets) = 0;
};
