// Receive record of the fixed binary answers: 12 bytes in order of arrival and
// their overlapping views, always read least significant byte first whatever
// the host's byte order.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

struct pseudoWord {
  std::array<std::uint8_t, 12> octets{};

  std::uint8_t octet() const { return octets[0]; }
  std::uint16_t mot() const { return u16(0); }
  std::int16_t entier() const { return s16(0); }
  std::uint32_t longMot() const {
    return std::uint32_t(octets[0]) | std::uint32_t(octets[1]) << 8 |
           std::uint32_t(octets[2]) << 16 | std::uint32_t(octets[3]) << 24;
  }

  // Recognition answer of the VYK II: sensor codes and values of inputs 10, 11.
  std::uint8_t indexG() const { return octets[0]; }
  std::uint8_t indexH() const { return octets[1]; }
  std::int16_t valeurG() const { return s16(2); }
  std::int16_t valeurH() const { return s16(4); }

  // Filter result (single-byte command 213).
  std::uint16_t Entre() const { return u16(0); }
  std::uint16_t Sortie() const { return u16(2); }
  std::uint16_t phase() const { return u16(4); }
  std::uint16_t Freq() const { return u16(6); }
  std::uint16_t Nombre() const { return u16(8); }

  // PUX II recognition answer: codes and values of inputs 8..11 (i = 0..3).
  std::uint8_t index(std::size_t i) const { return octets[i]; }
  std::int16_t valeur(std::size_t i) const { return s16(4 + 2 * i); }

  void efface(std::size_t n = 12) {
    for (std::size_t i = 0; i < n && i < octets.size(); ++i) octets[i] = 0;
  }

private:
  std::uint16_t u16(std::size_t i) const {
    return std::uint16_t(octets[i] | octets[i + 1] << 8);
  }
  std::int16_t s16(std::size_t i) const { return std::int16_t(u16(i)); }
};
