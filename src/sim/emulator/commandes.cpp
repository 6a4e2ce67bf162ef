// The firmware's commands: one row per keyword. New commands are new rows.
#include <charconv>
#include <cmath>
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

std::string mot32(std::uint32_t v) {
  std::string r;
  for (int i = 0; i < 4; ++i) r += static_cast<char>((v >> (8 * i)) & 0xFF);
  return r;
}

// Code of input i now.
std::int16_t codeEntree(const Emulateur& e, std::size_t i) { return e.etat().entrees[i].codeA(e.instant()); }

// Single-character argument i, or '\0'.
char caractere(const LigneCommande& l, std::size_t i) {
  return i < l.arguments.size() && l.arguments[i].size() == 1 ? l.arguments[i][0] : '\0';
}

// Period count of a model in ticks of the given length (0 without a period).
std::uint32_t ticksPeriode(const ModeleSignal& m, double tickSecondes) {
  if (!m.periodique()) return 0;
  const double n = std::nearbyint(1.0 / (m.frequence * tickSecondes));
  return n >= 4294967295.0 ? 4294967295u : static_cast<std::uint32_t>(n);
}

void wea(Emulateur& e, const LigneCommande& l) {
  const long i = argument(l, 0);
  const std::int16_t code = (i >= 0 && i < nombreEntrees) ? codeEntree(e, static_cast<std::size_t>(i)) : 0;
  e.repondre(mot16(code));
}

void wreco(Emulateur& e, const LigneCommande&) {
  std::string r;
  r += static_cast<char>(e.etat().capteursDB15[0]);
  r += static_cast<char>(e.etat().capteursDB15[1]);
  r += mot16(codeEntree(e, 10));
  r += mot16(codeEntree(e, 11));
  e.repondre(r);
}

void wper(Emulateur& e, const LigneCommande& l) {
  const long i = argument(l, 0);
  if (i < 0 || i >= nombreEntreesFront) return;  // "WPER 4" stops
  const auto k = static_cast<std::size_t>(i);
  const auto& fixe = e.etat().periodesFront[k];
  e.repondre(mot32(fixe ? *fixe : ticksPeriode(e.etat().entreesFront[k], 1.25e-7)));
}

void wauto(Emulateur& e, const LigneCommande& l) {
  const long s = argument(l, 0);
  if (s <= 0) return;  // "WAUTO 0" stops
  const auto& fixe = e.etat().periodeAuto;
  const auto& m = e.etat().entrees[11].signal;
  e.repondre(mot32(fixe ? *fixe : (m ? ticksPeriode(*m, 5e-7) : 0)));
}

void wlposition(Emulateur& e, const LigneCommande&) { e.repondre(mot16(static_cast<std::int16_t>(e.etat().positionCodeur))); }
void wrposition(Emulateur& e, const LigneCommande&) { e.etat().positionCodeur = origineCodeur; }
void wposition(Emulateur&, const LigneCommande&) {}

void webit(Emulateur& e, const LigneCommande& l) {
  const long b = argument(l, 0);
  e.repondre(std::string(1, static_cast<char>(b >= 0 && b < 8 ? e.etat().entreesBinaires[static_cast<std::size_t>(b)] : 0)));
}

void wdac(Emulateur& e, const LigneCommande& l) {
  const long o = argument(l, 0);
  const long v = argument(l, 1);
  if (o < 0 || o > 1 || v < 0 || v > 255) return;
  e.etat().sortiesAnalogiques[static_cast<std::size_t>(o)] = static_cast<int>(v);
}

void wsbit(Emulateur& e, const LigneCommande& l) {
  const long b = argument(l, 0);
  if (b >= 0 && b < 8) e.etat().sortiesBinaires = static_cast<std::uint8_t>(e.etat().sortiesBinaires | (1u << b));
}

void wrbit(Emulateur& e, const LigneCommande& l) {
  const long b = argument(l, 0);
  if (b >= 0 && b < 8) e.etat().sortiesBinaires = static_cast<std::uint8_t>(e.etat().sortiesBinaires & ~(1u << b));
}

void wpwm(Emulateur& e, const LigneCommande& l) {
  SortiePWM& p = e.etat().pwm;
  if (l.arguments.size() >= 4) {
    const long o = argument(l, 0), d = argument(l, 1), per = argument(l, 2), h = argument(l, 3);
    if (o < 0 || d < 0 || per < 0 || h < 0) return;
    p = {true, static_cast<int>(o), d, per, h};
    return;
  }
  p.active = false;
  if (argument(l, 0) >= 0) p.sortie = static_cast<int>(argument(l, 0));
}

void wsynth(Emulateur& e, const LigneCommande& l) {
  Synthese& s = e.etat().synthese;
  const long o = argument(l, 0);
  if (l.arguments.size() >= 2 && (o == 0 || o == 1) && argument(l, 1) >= 0) {
    s = {true, static_cast<int>(o), argument(l, 1)};
  } else if (o == 2) {
    s.active = false;
  }
}

void wepotar(Emulateur& e, const LigneCommande& l) {
  const char c = caractere(l, 0);
  const long k = argument(l, 1);
  const long v = argument(l, 2);
  if (c == '\0' || k < 0 || k > 4 || v < 0 || v > 1023) return;
  e.etat().potars[c][static_cast<std::size_t>(k)] = static_cast<int>(v);
}

void wmpotar(Emulateur& e, const LigneCommande& l) {
  const char c = caractere(l, 0);
  const long k = argument(l, 1);
  if (c == '\0' || k < 0 || k > 4) return;
  e.etat().potarsMemorises[c][static_cast<std::size_t>(k)] = e.etat().potars[c][static_cast<std::size_t>(k)];
}

void wrpotar(Emulateur& e, const LigneCommande& l) {
  const char c = caractere(l, 0);
  if (c != '\0') ++e.etat().rappelsPotars[c];
}

void wconfef(Emulateur& e, const LigneCommande& l) {
  const long f = argument(l, 0);
  const char d = caractere(l, 1);
  if (f >= 0 && f < nombreEntreesFront && (d == 'M' || d == 'D')) {
    e.etat().frontMontant[static_cast<std::size_t>(f)] = d == 'M';
  }
}

// "WPE n p b c inputs...", or "WPE" alone to stop.
// A line the interface cannot follow leaves it unprogrammed.
void wpe(Emulateur& e, const LigneCommande& l) {
  e.arreteBalayage();
  if (l.arguments.empty()) return;
  e.etat().programmation.reset();
  const long n = argument(l, 0), p = argument(l, 1), b = argument(l, 2), c = argument(l, 3);
  if (n < 1 || n > 5 || p < 1 || p > 65535 || b < 10 || b % 10 != 0 || c < 1 || c > 65535 ||
      l.arguments.size() != static_cast<std::size_t>(4 + n)) {
    return;
  }
  Programmation prog;
  prog.nbreEntrees = static_cast<int>(n);
  prog.pointsApres = p;
  prog.periodeUs = b * c;
  for (long i = 0; i < n; ++i) {
    const long entree = argument(l, static_cast<std::size_t>(4 + i));
    if (entree < 0 || entree >= nombreEntrees) return;
    prog.entrees.push_back(static_cast<int>(entree));
  }
  e.etat().programmation = prog;
}

void lanceImmediat(Emulateur& e, bool flux) {
  Emulateur::Lancement l;
  l.flux = flux;
  e.lance(l);
}

void lanceFront(Emulateur& e, const LigneCommande& l, std::size_t i, long pre, bool flux) {
  const long f = argument(l, i);
  if (f < 0 || f >= nombreEntreesFront || pre < 0) return;
  Emulateur::Lancement x;
  x.genre = Emulateur::Declenchement::front;
  x.front = static_cast<int>(f);
  x.pre = pre;
  x.flux = flux;
  e.lance(x);
}

void lanceSeuil(Emulateur& e, const LigneCommande& l, std::size_t i, long pre, bool flux) {
  const long s = argument(l, i);
  const char d = caractere(l, i + 1);
  if (s < 0 || s > 255 || (d != 'M' && d != 'D') || pre < 0) return;
  Emulateur::Lancement x;
  x.genre = Emulateur::Declenchement::seuil;
  x.seuil = static_cast<int>(s);
  x.montant = d == 'M';
  x.pre = pre;
  x.flux = flux;
  e.lance(x);
}

void wgor(Emulateur& e, const LigneCommande&) { lanceImmediat(e, true); }
void wgo(Emulateur& e, const LigneCommande&) { lanceImmediat(e, false); }
void wgofr(Emulateur& e, const LigneCommande& l) { lanceFront(e, l, 0, 0, true); }
void wgof(Emulateur& e, const LigneCommande& l) { lanceFront(e, l, 0, 0, false); }
void wfpreac(Emulateur& e, const LigneCommande& l) { lanceFront(e, l, 1, argument(l, 0), true); }
void wgoar(Emulateur& e, const LigneCommande& l) { lanceSeuil(e, l, 0, 0, true); }
void wgoa(Emulateur& e, const LigneCommande& l) { lanceSeuil(e, l, 0, 0, false); }
void wapreac(Emulateur& e, const LigneCommande& l) { lanceSeuil(e, l, 1, argument(l, 0), true); }

void wmega(Emulateur& e, const LigneCommande& l) {
  const long s = argument(l, 0);
  const char d = caractere(l, 1);
  const long n = argument(l, 2), nb = argument(l, 3), f = argument(l, 4);
  if (s < 0 || s > 255 || (d != 'M' && d != 'D') || (n != 1 && n != 2) || nb < 1 || (f != 0 && f != 1)) return;
  e.lanceMega(static_cast<int>(s), d == 'M', static_cast<int>(n), static_cast<int>(nb), static_cast<int>(f + 1));
}

void wresul(Emulateur& e, const LigneCommande& l) {
  const long n = argument(l, 1);
  if (argument(l, 0) != 0 || n < 1) return;
  e.envoieEnregistrement(n);
}

// 64 + input number: fast poll of one input, two bytes.
void lectureRapide(Emulateur& e, std::uint8_t o) {
  e.repondre(mot16(codeEntree(e, static_cast<std::size_t>(o - 64))));
}

// 213: filter result; no filter measurement runs, so no phase and no period.
void resultatFiltre(Emulateur& e, std::uint8_t) {
  std::string r;
  r += mot16(codeEntree(e, 10));
  r += mot16(codeEntree(e, 11));
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
      {"WEA", wea},           {"WRECO", wreco},   {"WPER", wper},     {"WAUTO", wauto},
      {"WLPOSITION", wlposition}, {"WRPOSITION", wrposition}, {"WPOSITION", wposition},
      {"WEBIT", webit},       {"WDAC", wdac},     {"WSBIT", wsbit},   {"WRBIT", wrbit},
      {"WPWM", wpwm},         {"WSYNTH", wsynth}, {"WEPOTAR", wepotar}, {"WMPOTAR", wmpotar},
      {"WRPOTAR", wrpotar},   {"WCONFEF", wconfef}, {"WPE", wpe},     {"WGOR", wgor},
      {"WGO", wgo},           {"WGOFR", wgofr},   {"WGOF", wgof},     {"WFPREAC", wfpreac},
      {"WGOAR", wgoar},       {"WGOA", wgoa},     {"WAPREAC", wapreac}, {"WMEGA", wmega},
      {"WRESUL", wresul},
  };
  return table;
}

const std::vector<DescriptionOctet>& Emulateur::tableOctets() {
  static const std::vector<DescriptionOctet> table = faitTableOctets();
  return table;
}

}  // namespace sim
