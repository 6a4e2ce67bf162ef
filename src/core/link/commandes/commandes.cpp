#include "core/link/commandes/commandes.h"

#include <algorithm>
#include <cmath>

#include "core/channels/numbers/nombres.h"

namespace commandes {

namespace {

void ajoute(std::string& texte, const Argument& a) {
  texte.push_back(' ');
  if (a.genre == Argument::Genre::caractere) {
    texte.push_back(a.caractere);
  } else {
    texte += std::to_string(std::max(a.nombre, 0LL));
  }
}

std::string coupe(std::string texte) {
  if (texte.size() > longueurMaxOrdre) texte.resize(longueurMaxOrdre);
  return texte;
}

// Keywords of the commands that exist in a streamed and a silent form.
struct Variante {
  const char* flux;
  const char* silencieux;
};
constexpr Variante departFront{"WGOFR", "WGOF"};
constexpr Variante departSeuil{"WGOAR", "WGOA"};
constexpr Variante departImmediat{"WGOR", "WGO"};

const char* motCle(const Variante& v, bool flux) { return flux ? v.flux : v.silencieux; }

std::uint8_t octetBorne(long long v) { return std::uint8_t(std::clamp(v, 0LL, 255LL)); }

}  // namespace

std::string ordre(std::string_view motCle, std::initializer_list<Argument> arguments) {
  std::string texte(motCle);
  for (const Argument& a : arguments) ajoute(texte, a);
  return coupe(std::move(texte));
}

std::string ordre(std::string_view motCle, const std::vector<Argument>& arguments) {
  std::string texte(motCle);
  for (const Argument& a : arguments) ajoute(texte, a);
  return coupe(std::move(texte));
}

std::string WBAUDS(int index) { return ordre("WBAUDS", {char('0' + std::clamp(index, 0, 3))}); }

std::string WPE(long pointsApres, long baseUs, long multiplicateur, std::span<const int> entrees) {
  std::vector<Argument> a{Argument(entrees.size()), pointsApres, baseUs, multiplicateur};
  for (int e : entrees) a.emplace_back(e);
  return ordre("WPE", a);
}

std::string WPEPoincare(std::span<const int> entrees) {
  std::vector<Argument> a{Argument(entrees.size()), 2, 50, Argument(entrees.size())};
  for (int e : entrees) a.emplace_back(e);
  return ordre("WPE", a);
}

std::string WPEFiltre(long deltatFiltreUs, int entreeFiltre, int sortieFiltre) {
  return ordre("WPE", {2, 30000, deltatFiltreUs, 1, entreeFiltre, sortieFiltre});
}

std::string WGOF(char front, bool flux) { return ordre(motCle(departFront, flux), {front}); }

std::string WFPREAC(long pointsAvant, char front) { return ordre("WFPREAC", {pointsAvant, front}); }

std::string WGOA(int seuil, bool montant, bool monocoupPermis, int modeSeuil, bool flux) {
  if (monocoupPermis)
    return ordre(motCle(departSeuil, flux),
                 {seuil, direction(montant), char('0' + std::clamp(modeSeuil, 0, 9))});
  return ordre(motCle(departSeuil, flux), {seuil, direction(montant)});
}

std::string WGOApux(int entreeSynchro, int seuil, bool montant, bool flux) {
  return ordre(motCle(departSeuil, flux), {entreeSynchro, seuil, direction(montant)});
}

std::string WAPREAC(long pointsAvant, int seuil, bool montant) {
  return ordre("WAPREAC", {pointsAvant, seuil, direction(montant)});
}

std::string WAPREACpux(long pointsAvant, int entreeSynchro, int seuil, bool montant) {
  return ordre("WAPREAC", {pointsAvant, entreeSynchro, seuil, direction(montant)});
}

std::string WGO(bool flux) { return motCle(departImmediat, flux); }

std::string WMEGA(int seuil, bool montant, int nbreEntrees, long nbreBlocMega, int freqMega) {
  return ordre("WMEGA", {seuil, direction(montant), nbreEntrees, nbreBlocMega, freqMega - 1});
}

std::string WRESUL(long nbreValeurs) { return ordre("WRESUL", {'0', nbreValeurs}); }

std::string WCONFEF(char front, bool montant) { return ordre("WCONFEF", {front, direction(montant)}); }

std::string WGENEACQUI(char sortie, int niveau, long nbrePulse, long largeurPulse,
                       long distancePulse, long debutPulse, bool base32) {
  std::vector<Argument> a{sortie, niveau, nbrePulse, largeurPulse, distancePulse, debutPulse};
  if (base32) a.emplace_back('1');
  return ordre("WGENEACQUI", a);
}

std::string WBRULON(int frontEcho, int sortieEmetteur, bool modeTemps) {
  return ordre(modeTemps ? "WBRULON" : "WSON", {frontEcho, sortieEmetteur});
}

std::string WDEF(int front) { return ordre("WDEF", {front}); }

std::string WCODINC(int front, int entreeBinaire) { return ordre("WCODINC", {front, entreeBinaire}); }

std::string WPOSITION(int front, int entreeBinaire) {
  return ordre("WPOSITION", {front, entreeBinaire});
}

std::string WPER(int front) { return ordre("WPER", {front}); }

std::string WAUTO(int seuil) { return ordre("WAUTO", {seuil}); }

std::string WAUTOpux(int entree, int seuil) { return ordre("WAUTO", {entree, seuil}); }

std::string WEA(int entree) { return ordre("WEA", {entree}); }

std::string WEBIT(int entreeBinaire) { return ordre("WEBIT", {entreeBinaire}); }

std::uint8_t octetScrutation(int entree) { return std::uint8_t(64 + std::clamp(entree, 0, 63)); }

std::string WDAC(char sortie, int code) { return ordre("WDAC", {sortie, std::clamp(code, 0, 255)}); }

TableOnde WTELE(std::span<const int> echantillons) {
  TableOnde t;
  t.ligne = ordre("WTELE", {echantillons.size()});
  t.octets.reserve(echantillons.size());
  for (int v : echantillons) t.octets.push_back(octetBorne(v));
  return t;
}

TableOnde WTELE(std::span<const double> echantillons) {
  TableOnde t;
  t.ligne = ordre("WTELE", {echantillons.size()});
  t.octets.reserve(echantillons.size());
  for (double v : echantillons) t.octets.push_back(octetBorne(arrondiEntier(v)));
  return t;
}

std::string WSYNTH(char sortie, long periode) { return ordre("WSYNTH", {sortie, periode, '0'}); }

std::string WSBIT(int sortieBinaire) { return ordre("WSBIT", {sortieBinaire}); }

std::string WRBIT(int sortieBinaire) { return ordre("WRBIT", {sortieBinaire}); }

std::string WPWM(char sortiePWM, long codeDuty, long periode, int horloge) {
  return ordre("WPWM", {sortiePWM, codeDuty, periode, horloge});
}

std::string WPWMarret(char sortiePWM) { return ordre("WPWM", {sortiePWM, 0}); }

std::string WSBLOC(GammeKB gamme, FormeKB forme) {
  return ordre("WSBLOC", {int(gamme) + int(forme)});
}

std::string WEPOTAR(char prise, int potar, int position) {
  return ordre("WEPOTAR", {prise, std::clamp(potar, 0, 4), std::clamp(position, 0, 1023)});
}

std::string WMPOTAR(char prise, int potar) {
  return ordre("WMPOTAR", {prise, std::clamp(potar, 0, 4)});
}

std::string WRPOTAR(char prise) { return ordre("WRPOTAR", {prise}); }

TlancementSeuil lancementSeuil(const TseuilSynchro& s, long pointsAvant) {
  TlancementSeuil l;
  if (pointsAvant > 0) {
    l.lanceR = s.pux ? WAPREACpux(pointsAvant, s.entreeSynchro, s.seuil, s.montant)
                     : WAPREAC(pointsAvant, s.seuil, s.montant);
    return l;
  }
  if (s.pux) {
    l.lanceR = WGOApux(s.entreeSynchro, s.seuil, s.montant, true);
    l.lance = WGOApux(s.entreeSynchro, s.seuil, s.montant, false);
  } else {
    l.lanceR = WGOA(s.seuil, s.montant, s.monocoupPermis, s.modeSeuil, true);
    l.lance = WGOA(s.seuil, s.montant, s.monocoupPermis, s.modeSeuil, false);
  }
  return l;
}

}  // namespace commandes
