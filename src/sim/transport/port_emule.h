// Serial ports on the simulated interface, in simulated time: COM numbers can
// be given an emulator, left silent, or held by "another program".
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/link/port_serie.h"
#include "sim/emulator/emulateur.h"
#include "sim/transport/horloge_simulee.h"

namespace sim {

class PortEmule : public IPortSerie {
public:
  explicit PortEmule(HorlogeSimulee& horloge);
  ~PortEmule() override;
  PortEmule(const PortEmule&) = delete;
  PortEmule& operator=(const PortEmule&) = delete;

  void branche(int numero, Emulateur& emulateur);  // COM n leads to this interface
  void ajouteMuet(int numero);                     // COM n exists, nothing answers
  void ajouteOccupe(int numero);                   // COM n held by another program
  // COM n disappears (USB adapter pulled); an open port on it is lost.
  void retire(int numero);

  // The line stops draining (a wedged device): output never empties.
  bool sortieBloquee = false;

  int numeroOuvert() const { return ouvert_; }
  int vitesse() const { return baud_; }
  // Every COM number that open() was called with, in order.
  const std::vector<int>& ouvertures() const { return ouvertures_; }

  bool existe(int numero) override;
  ResultatOuverture ouvre(int numero) override;
  void ferme() override;
  bool estOuvert() const override { return ouvert_ != 0; }
  bool fixeVitesse(int baud) override;
  bool ecrit(const std::uint8_t* octets, std::size_t n) override;
  std::size_t disponibles() override { return entree_.size(); }
  std::size_t lit(std::uint8_t* dest, std::size_t max) override;
  void videEntree() override { entree_.clear(); }
  bool sortieVide() override { return !sortieBloquee; }
  void surDonnees(std::function<void()> rappel) override { surDonnees_ = std::move(rappel); }
  void surPerte(std::function<void()> rappel) override { surPerte_ = std::move(rappel); }

private:
  enum class Genre { emulateur, muet, occupe };
  struct Voie {
    Genre genre;
    Emulateur* emulateur = nullptr;
  };
  Emulateur* emulateurOuvert() const;
  bool memeVitesse() const;
  void livre(double tMs);

  HorlogeSimulee& horloge_;
  int source_;
  std::map<int, Voie> voies_;
  int ouvert_ = 0;
  int baud_ = 9600;
  std::deque<std::uint8_t> entree_;
  std::vector<int> ouvertures_;
  std::function<void()> surDonnees_;
  std::function<void()> surPerte_;
};

}  // namespace sim
