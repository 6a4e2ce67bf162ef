// The firmware's commands: one row per keyword. New commands are new rows.
#include <charconv>
#include <string>

#include "sim/emulator/emulateur.h"

namespace sim {

namespace {

// Decimal argument i, or -1 when missing or not a plain number.
long argument(const LigneCommande& l, std::size_t i) {
  if (i >= l.arguments.size()) return -1;
  const std::string& a = l.arguments[i];
  long v = -1;
  const auto [fin, erreur] = std::from_chars(a.data(), a.data() + a.size(), v);
  if (erreur != std::errc() || fin != a.data() + a.size() || v < 0) return -1;
  return v;
}

std::string mot16(std::int16_t v) {
  const auto u = static_cast<std::uint16_t>(v);
  return {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
}

void wversion(Emulateur& e, const LigneCommande&) { e.repondre(e.etat().version + "\r"); }

void wreset(Emulateur& e, const LigneCommande&) {
  ++e.etat().nombreResets;
  e.reinitialiser();
}

void wbin(Emulateur& e, const LigneCommande&) { e.etat().binaire = true; }

void wbauds(Emulateur& e, const LigneCommande& l) {
  const long i = argument(l, 0);
  if (i >= 0 && i <= 3) e.etat().indexVitesse = static_cast<int>(i);
}

void wrom(Emulateur& e, const LigneCommande&) { e.attendreHex(); }

void wdebug(Emulateur& e, const LigneCommande&) {
  if (e.config().reponseDebug) e.repondre(*e.config().reponseDebug + "\r");
}

void werr(Emulateur&, const LigneCommande&) {}

void wtele(Emulateur& e, const LigneCommande& l) {
  const long n = argument(l, 0);
  if (n > 0 && n <= 65535) e.attendreBloc(static_cast<std::size_t>(n));
}

void wea(Emulateur& e, const LigneCommande& l) {
  const long i = argument(l, 0);
  const std::int16_t code = (i >= 0 && i < nombreEntrees) ? e.etat().entrees[static_cast<std::size_t>(i)].code : 0;
  e.repondre(mot16(code));
}

// 64 + input number: fast poll of one input, two bytes.
void lectureRapide(Emulateur& e, std::uint8_t o) {
  e.repondre(mot16(e.etat().entrees[static_cast<std::size_t>(o - 64)].code));
}

// 213: filter result; no filter measurement runs, so no phase and no period.
void resultatFiltre(Emulateur& e, std::uint8_t) {
  std::string r;
  r += mot16(e.etat().entrees[10].code);
  r += mot16(e.etat().entrees[11].code);
  r += "\xFF\xFF";
  r += std::string(4, '\0');
  e.repondre(r);
}

std::vector<DescriptionOctet> faitTableOctets() {
  std::vector<DescriptionOctet> t;
  for (int i = 0; i < nombreEntrees; ++i) t.push_back({static_cast<std::uint8_t>(64 + i), lectureRapide});
  t.push_back({213, resultatFiltre});
  return t;
}

}  // namespace

const std::vector<DescriptionCommande>& Emulateur::tableCommandes() {
  static const std::vector<DescriptionCommande> table = {
      {"WVERSION", wversion}, {"WRESET", wreset}, {"WBIN", wbin},   {"WBAUDS", wbauds},
      {"WROM", wrom},         {"WDEBUG", wdebug}, {"WERR", werr},   {"WTELE", wtele},
      {"WEA", wea},
  };
  return table;
}

const std::vector<DescriptionOctet>& Emulateur::tableOctets() {
  static const std::vector<DescriptionOctet> table = faitTableOctets();
  return table;
}

}  // namespace sim
