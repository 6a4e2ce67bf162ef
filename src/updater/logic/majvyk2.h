// The firmware updater's behaviour, without any toolkit: the window is a
// Vue, time and event processing a Boucle, the link a PortSerie, so the same
// code runs in the program, against a pseudo-terminal and in simulated time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "updater/logic/fichier_hex.h"
#include "updater/logic/port_serie.h"

namespace majvyk2 {

class Boucle {
public:
  virtual ~Boucle() = default;
  virtual std::int64_t maintenantMs() = 0;
  // Lets pending window events run (a click may come in here).
  virtual void laisserPasser() = 0;
};

// What Feuille2 shows; texts are UTF-8, "\n" where the label breaks lines.
struct EtatFenetre {
  std::string lab1;
  std::string legendeCommand4 = "&Mise à jour";
  bool command4Visible = true;
  bool command4Actif = true;
  std::string legendeCommande2 = "&Quitter";
  bool commande2Visible = true;
  bool commande2Actif = true;
  bool jaugeVisible = false;
  int jaugeMax = 1;
  int jaugeValeur = 0;
};

enum class Icone { avertissement, erreur };

class Vue {
public:
  virtual ~Vue() = default;
  virtual void afficher(const EtatFenetre& etat) = 0;
  virtual void boite(Icone icone, const std::string& texte) = 0;
  virtual void terminer() = 0;  // the program ends (the port is already closed)
};

namespace textes {
inline constexpr const char* bienvenue =
    "Bienvenue,\n\nVous allez procéder à la mise à jour de\nla mémoire 'Flash' d'BRIXO VYK2";
inline constexpr const char* recherche = "\nRecherche de l'interface,\n\nVeuillez patienter...";
inline constexpr const char* detecte = "BRIXO VYK2 a été détecté";
inline constexpr const char* nonDetecte =
    "\nBRIXO VYK2 n'a pas été détecté...\n\nVérifiez vos connexions et cliquez sur "
    "'Recommencer' ou cliquez sur 'Quitter' pour Arrêter.";
inline constexpr const char* versionActuelle = "\nLa version actuelle de votre\n BRIXO VYK2 est la V ";
inline constexpr const char* versionDisponible = "\nLa version à votre disposition est la : V";
inline constexpr const char* mauvaisCode =
    "\n\nVous essayez de charger\nun MAUVAIS CODE\n\n Votre fichier Codevyk2.hex\nest corrompu";
inline constexpr const char* probleme =
    "\nUn problème sur votre BRIXO VYK2\n a été détecté\n\nVous ne pouvez pas mettre à jour\n"
    "votre interface";
inline constexpr const char* transmission = "\nTransmission en cours,\nveuillez patienter...";
inline constexpr const char* attenteReponse =
    "\nTransfert terminé...\nAttente de la réponse d'BRIXO VYK2...";
inline constexpr const char* pasDeCompteRendu =
    "L'interface n'a pas donné son compte rendu de téléchargement. Veuillez éteindre puis "
    "allumer l'interface, cliquez sur 'Recommencer' ou cliquez sur 'Quitter' pour Arrêter.";
inline constexpr const char* erreurDebut = "Une erreur s'est produite pendant le transfert (Erreur ";
inline constexpr const char* erreurFin =
    ") \nEteindre puis rallumer BRIXO VYK2\n Cliquez sur 'Recommencer' ou cliquez sur "
    "'Quitter' pour Arrêter.";
inline constexpr const char* succes =
    "\nLe transfert est terminé avec succès.\nLa version actuelle de la rom  de votre BRIXO "
    "VYK2 est : ";
inline constexpr const char* nonTrouve = " non trouvé";
inline constexpr const char* miseAJour = "&Mise à jour";
inline constexpr const char* poursuivre = "&Poursuivre";
inline constexpr const char* telecharger = "&Télécharger";
inline constexpr const char* recommencer = "&Recommencer";
inline constexpr const char* quitter = "&Quitter";
inline constexpr const char* terminer = "&Terminer";
}  // namespace textes

// Reply text without leading and trailing blanks (control characters included).
std::string sansBlancs(const std::string& s);
// Last n bytes of s, shown as text (the interface speaks 8-bit Latin-1).
std::string finAffichable(const std::string& s, std::size_t n);
// Leading integer of the trimmed report; -1 when it does not start with one.
int codeCompteRendu(const std::string& reponse);
// A number as the message shows it: a blank before non-negative values.
std::string nombreAvecSigne(int n);

struct Reglages {
  std::string cheminFichier = nomFichierFirmware;
  int premierPort = 1;
  int dernierPort = 10;
  int delaiReponseMs = 100;
  int delaiCompteRenduMs = 10000;
  int pauseApresTransfertMs = 700;
  int delaiReposMs = 200;
  int blocageSortieMaxMs = 10000;  // output that stops moving this long is a write error
};

class MiseAJour {
public:
  MiseAJour(PortSerie& port, Boucle& boucle, Vue& vue, Reglages reglages = {});

  void demarrer();        // the window opens
  void Command4_Click();  // the main button
  void Commande2_Click(); // the quit button
  // The user wants the program to end (quit button or window close). True:
  // the port is closed and the program may end now. False while a step runs:
  // before the switch to 19200 bauds the end comes when the step stops
  // (Vue::terminer); during the transfer the request is refused, so the
  // interface is never left at 19200 bauds with half a file.
  bool demanderFin();

  std::string EnvoieCommande(const std::string& texte);
  void ChercheInterface();
  void TransmetFichier(const std::string& contenu);

  const EtatFenetre& etat() const { return etat_; }
  bool occupe() const { return occupe_; }
  bool enTransfert() const { return a19200_; }

  // Program state named as the interface's documentation does.
  int etape = 0;
  bool delaiEcoule = false;
  bool interfaceTrouvee = false;
  std::string versionFichier;
  bool transfertFini = true;

  int portTrouve = 0;            // COM number of the interface, 0 if none
  std::size_t morceaux = 0;      // pieces of the last transfer
  std::size_t dernierMorceau = 0;
  int dernierCompteRendu = -1;

private:
  void etape0();
  void etape1();
  void etape2();
  void finEtape2();
  void retour9600();
  void montrer() { vue_.afficher(etat_); }
  // Reply timer a_r.
  void armer(int ms);
  void arreter() { minuterieActive_ = false; }
  bool ecoule();
  // Waits, letting window events run, until fini() or the reply timer ticks.
  template <class Fini>
  void attendreOuDelai(Fini fini);
  // Until the output is empty and, when given, the line has had time to carry it.
  bool viderSortie(double ligneLibreMs = 0);

  PortSerie& port_;
  Boucle& boucle_;
  Vue& vue_;
  Reglages reglages_;
  EtatFenetre etat_;
  int intervalle_ = 200;
  bool minuterieActive_ = false;
  std::int64_t debutMinuterie_ = 0;
  bool occupe_ = false;
  bool a19200_ = false;
  bool finDemandee_ = false;
};

}  // namespace majvyk2
