#pragma once
// Drawing styles of the curves and the set of those in force.

#include <cstdint>
#include <initializer_list>

enum Ttrace : std::uint8_t {
  trLigne,      // polyline through the points
  trPoint,      // a marker at each point
  trRaie,       // spectrum lines
  trHisto,      // spectrum bars
  trSpiro,      // averaged bars
  trCardiaque,  // event lines of the cardiac mode
  trSinc,       // sinc-interpolated line
  trPalier      // horizontal steps
};

// A set of Ttrace, one bit per style.
class sTrace {
 public:
  constexpr sTrace() = default;
  constexpr sTrace(std::initializer_list<Ttrace> styles) {
    for (Ttrace t : styles) inclut(t);
  }
  constexpr bool contient(Ttrace t) const { return (bits_ >> t) & 1u; }
  constexpr void inclut(Ttrace t) { bits_ = std::uint8_t(bits_ | (1u << t)); }
  constexpr void exclut(Ttrace t) { bits_ = std::uint8_t(bits_ & ~(1u << t)); }
  constexpr bool vide() const { return bits_ == 0; }
  // One byte, bit t for style t (what configuration files store).
  constexpr std::uint8_t octet() const { return bits_; }
  static constexpr sTrace depuisOctet(std::uint8_t o) {
    sTrace s;
    s.bits_ = o;
    return s;
  }
  constexpr bool operator==(const sTrace&) const = default;

 private:
  std::uint8_t bits_ = 0;
};
