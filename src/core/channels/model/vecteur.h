#pragma once
// Sample storage of a channel: 60001 entries (indices 0..60000), of which a
// sweep uses at most 60000. Twelve channels with sixteen saved pages each
// would hold well over 100 MB if every vector were allocated, while most of
// them stay empty for the whole run; so the storage is taken on the first
// write and reads of an untouched vector give 0.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>

inline constexpr std::size_t tailleVecteur = 60001;
inline constexpr std::size_t maxPointsBalayage = 60000;
// Saved pages of a channel (persistence display); page 0 is never written.
inline constexpr int nbrePagesMax = 16;
using indicePage = int;  // 0..15

template <class T>
class TVecteurDe {
 public:
  static constexpr std::size_t taille = tailleVecteur;

  TVecteurDe() = default;
  TVecteurDe(const TVecteurDe& autre) { *this = autre; }
  TVecteurDe& operator=(const TVecteurDe& autre) {
    if (this == &autre) return *this;
    if (!autre.Fdonnees) {
      Fdonnees.reset();
    } else {
      std::copy_n(autre.Fdonnees.get(), taille, data());
    }
    return *this;
  }
  TVecteurDe(TVecteurDe&&) noexcept = default;
  TVecteurDe& operator=(TVecteurDe&&) noexcept = default;

  static constexpr std::size_t size() { return taille; }
  bool alloue() const { return Fdonnees != nullptr; }

  // Reading never allocates; an index past the end raises std::out_of_range.
  T operator[](std::size_t i) const {
    verifie(i);
    return Fdonnees ? Fdonnees[i] : T{};
  }
  // Writing access; allocates (zero-filled) on first use.
  T& operator[](std::size_t i) {
    verifie(i);
    return data()[i];
  }

  // The whole storage (allocated, zero-filled, on first use).
  T* data() {
    if (!Fdonnees) Fdonnees = std::make_unique<T[]>(taille);
    return Fdonnees.get();
  }
  // nullptr while nothing was written.
  const T* donnees() const { return Fdonnees.get(); }

  // Every entry set to v; an untouched vector set to 0 stays unallocated.
  void remplit(T v) {
    if (!Fdonnees && v == T{}) return;
    std::fill_n(data(), taille, v);
  }
  // Gives the memory back; reads give 0 again.
  void libere() { Fdonnees.reset(); }

 private:
  static void verifie(std::size_t i) {
    if (i >= taille) throw std::out_of_range("indice d'échantillon hors limites");
  }
  std::unique_ptr<T[]> Fdonnees;
};

using TVecteur = TVecteurDe<double>;
using TVecteurInt = TVecteurDe<std::int16_t>;
