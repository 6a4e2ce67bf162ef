#include "core/shell/reglages.h"

#include <charconv>

namespace {

std::optional<long long> entier(const std::optional<std::string>& v) {
  if (!v) return std::nullopt;
  std::string_view s = *v;
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  long long n = 0;
  const auto [fin, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
  if (ec != std::errc() || fin != s.data() + s.size() || s.empty()) return std::nullopt;
  return n;
}

// Values outside the field's range are unreadable, not truncated.
int entierBorne(const IMagasinReglages& m, std::string_view s, std::string_view c, int defaut,
                long long mini, long long maxi) {
  const auto n = entier(m.litValeur(s, c));
  if (!n || *n < mini || *n > maxi) return defaut;
  return static_cast<int>(*n);
}

constexpr long long intMin = -2147483648LL;
constexpr long long intMax = 2147483647LL;

}  // namespace

int litEntier(const IMagasinReglages& m, std::string_view section, std::string_view cle,
              int defaut) {
  return entierBorne(m, section, cle, defaut, intMin, intMax);
}

bool litBooleen(const IMagasinReglages& m, std::string_view section, std::string_view cle,
                bool defaut) {
  const auto n = entier(m.litValeur(section, cle));
  return n ? *n != 0 : defaut;
}

std::string litTexte(const IMagasinReglages& m, std::string_view section,
                     std::string_view cle, const std::string& defaut) {
  auto v = m.litValeur(section, cle);
  return v ? *v : defaut;
}

void ecritEntier(IMagasinReglages& m, std::string_view section, std::string_view cle,
                 int valeur) {
  m.ecritValeur(section, cle, std::to_string(valeur));
}

void ecritBooleen(IMagasinReglages& m, std::string_view section, std::string_view cle,
                  bool valeur) {
  m.ecritValeur(section, cle, valeur ? "1" : "0");
}

ReglagesRegistre litReglagesCle(const IMagasinReglages& cle,
                                const std::string& repertoireDonnees) {
  ReglagesRegistre r;
  // The speed index selects a row of a four-row table: anything else is
  // treated as unreadable rather than indexing past it.
  r.indexVitesse = entierBorne(cle, "COM", "Vitesse", 1, 0, 3);
  r.NumCom = litEntier(cle, "COM", "Num", 1);
  r.TestROM = litBooleen(cle, "TestROM", "Permis", true);
  r.CompteurROM = static_cast<unsigned>(entierBorne(cle, "ROM", "Compteur", 0, 0, 65535));
  r.CompteurAuto = static_cast<unsigned>(entierBorne(cle, "Auto", "Compteur", 0, 0, 65535));
  r.RecoPermis = litBooleen(cle, "Reco", "Permis", true);
  r.CfgVYKPath = litTexte(cle, "Config", "Path", repertoireDonnees);
  r.repertoireTavelmor = litTexte(cle, "Repertoire", "Tavelmor", "");
  return r;
}

ReglagesRegistre litReglagesRegistre(const IMagasinReglages& utilisateur,
                                     const IMagasinReglages* machine,
                                     const std::string& repertoireDonnees) {
  if (machine) return litReglagesCle(*machine, repertoireDonnees);
  return litReglagesCle(utilisateur, repertoireDonnees);
}

void ecritReglagesRegistre(IMagasinReglages& cle, const ReglagesRegistre& r) {
  ecritEntier(cle, "COM", "Vitesse", r.indexVitesse);
  ecritEntier(cle, "COM", "Num", r.NumCom);
  ecritBooleen(cle, "TestROM", "Permis", r.TestROM);
  ecritEntier(cle, "ROM", "Compteur", static_cast<int>(r.CompteurROM));
  ecritBooleen(cle, "Reco", "Permis", r.RecoPermis);
  cle.ecritValeur("Config", "Path", r.CfgVYKPath);
  cle.ecritValeur("Repertoire", "Tavelmor", r.repertoireTavelmor);
  cle.enregistre();
}

PlacementFenetre litPlacement(const IMagasinReglages& cle, const PlacementFenetre& actuel) {
  PlacementFenetre p;
  p.etat = entierBorne(cle, "Window", "State", 0, 0, 2);
  p.hauteur = litEntier(cle, "Window", "Height", actuel.hauteur);
  p.largeur = litEntier(cle, "Window", "Width", actuel.largeur);
  p.haut = litEntier(cle, "Window", "Top", actuel.haut);
  p.gauche = litEntier(cle, "Window", "Left", actuel.gauche);
  return p;
}

void ecritPlacement(IMagasinReglages& cle, const PlacementFenetre& p) {
  ecritEntier(cle, "Window", "State", p.etat);
  ecritEntier(cle, "Window", "Height", p.hauteur);
  ecritEntier(cle, "Window", "Width", p.largeur);
  ecritEntier(cle, "Window", "Top", p.haut);
  ecritEntier(cle, "Window", "Left", p.gauche);
  cle.enregistre();
}
