#pragma once
// Settings that belong to the computer ("Software\VYK2"): a store of
// sections and keys, and the values the shell reads at start and writes at
// close.
#include <optional>
#include <string>
#include <string_view>

// One key of the settings store (the user's or the machine's).
class IMagasinReglages {
 public:
  virtual ~IMagasinReglages() = default;
  virtual std::optional<std::string> litValeur(std::string_view section,
                                               std::string_view cle) const = 0;
  virtual void ecritValeur(std::string_view section, std::string_view cle,
                           std::string_view valeur) = 0;
  // Flushes the writes; failures are ignored by design.
  virtual void enregistre() = 0;
};

// A missing or unreadable value gives the default.
int litEntier(const IMagasinReglages& m, std::string_view section, std::string_view cle,
              int defaut);
bool litBooleen(const IMagasinReglages& m, std::string_view section, std::string_view cle,
                bool defaut);
std::string litTexte(const IMagasinReglages& m, std::string_view section,
                     std::string_view cle, const std::string& defaut);
void ecritEntier(IMagasinReglages& m, std::string_view section, std::string_view cle,
                 int valeur);
void ecritBooleen(IMagasinReglages& m, std::string_view section, std::string_view cle,
                  bool valeur);

struct ReglagesRegistre {
  int NumCom = 1;                 // "COM"/"Num"
  int indexVitesse = 1;           // "COM"/"Vitesse", 0..3
  bool TestROM = true;            // "TestROM"/"Permis"
  unsigned CompteurROM = 0;       // "ROM"/"Compteur"
  unsigned CompteurAuto = 0;      // "Auto"/"Compteur" (read only)
  bool RecoPermis = true;         // "Reco"/"Permis"
  std::string CfgVYKPath;         // "Config"/"Path"
  std::string repertoireTavelmor; // "Repertoire"/"Tavelmor"
};

// Reads every value from one key; absent values take the defaults
// (`repertoireDonnees` for "Config"/"Path"), never what was there before.
ReglagesRegistre litReglagesCle(const IMagasinReglages& cle,
                                const std::string& repertoireDonnees);

// The start-up read: the user's key, then the machine's key when it exists,
// which then decides every value (a value it lacks goes back to the default).
ReglagesRegistre litReglagesRegistre(const IMagasinReglages& utilisateur,
                                     const IMagasinReglages* machine,
                                     const std::string& repertoireDonnees);

// The values written at close to each key.
void ecritReglagesRegistre(IMagasinReglages& cle, const ReglagesRegistre& r);

// Window placement, user key only, section "Window".
struct PlacementFenetre {
  int etat = 0;  // 0 normal, 1 minimised, 2 maximised
  int hauteur = 0, largeur = 0, haut = 0, gauche = 0;
  bool operator==(const PlacementFenetre&) const = default;
};
PlacementFenetre litPlacement(const IMagasinReglages& cle, const PlacementFenetre& actuel);
void ecritPlacement(IMagasinReglages& cle, const PlacementFenetre& p);
