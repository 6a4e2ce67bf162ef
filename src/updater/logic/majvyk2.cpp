#include "updater/logic/majvyk2.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace majvyk2 {

namespace {

constexpr int pasAttenteMs = 5;

bool estBlanc(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Integer quotient rounded to the nearest, halves to even.
std::size_t quotientArrondi(std::size_t a, std::size_t b) {
  std::size_t q = a / b;
  const std::size_t r2 = (a % b) * 2;
  if (r2 > b || (r2 == b && (q % 2) == 1)) ++q;
  return q;
}

}  // namespace

std::string sansBlancs(const std::string& s) {
  std::size_t debut = 0;
  std::size_t fin = s.size();
  while (debut < fin && estBlanc(s[debut])) ++debut;
  while (fin > debut && estBlanc(s[fin - 1])) --fin;
  return s.substr(debut, fin - debut);
}

std::string finAffichable(const std::string& s, std::size_t n) {
  const std::string queue = s.size() > n ? s.substr(s.size() - n) : s;
  std::string r;
  for (const char c : queue) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || (u >= 0x7F && u < 0xA0)) {
      r.push_back('?');
    } else if (u < 0x80) {
      r.push_back(c);
    } else {
      r.push_back(static_cast<char>(0xC0 | (u >> 6)));
      r.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    }
  }
  return r;
}

int codeCompteRendu(const std::string& reponse) {
  const std::string t = sansBlancs(reponse);
  std::size_t i = 0;
  bool negatif = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negatif = t[i++] == '-';
  long valeur = 0;
  std::size_t chiffres = 0;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
    if (valeur < 100000000) valeur = valeur * 10 + (t[i] - '0');
    ++i;
    ++chiffres;
  }
  // Noise is no report of success: a reply that is not a number reads as a failure.
  if (chiffres == 0) return -1;
  return static_cast<int>(negatif ? -valeur : valeur);
}

std::string nombreAvecSigne(int n) {
  return n >= 0 ? " " + std::to_string(n) : std::to_string(n);
}

MiseAJour::MiseAJour(PortSerie& port, Boucle& boucle, Vue& vue, Reglages reglages)
    : port_(port), boucle_(boucle), vue_(vue), reglages_(std::move(reglages)) {}

void MiseAJour::demarrer() {
  if (port_.estOuvert()) port_.fermer();
  etat_.commande2Visible = true;
  etat_.commande2Actif = true;
  etat_.lab1 = textes::bienvenue;
  armer(reglages_.delaiReposMs);
  montrer();
}

void MiseAJour::armer(int ms) {
  intervalle_ = ms;
  minuterieActive_ = true;
  debutMinuterie_ = boucle_.maintenantMs();
}

bool MiseAJour::ecoule() {
  const std::int64_t maintenant = boucle_.maintenantMs();
  if (minuterieActive_ && maintenant - debutMinuterie_ >= intervalle_) {
    delaiEcoule = true;
    debutMinuterie_ = maintenant;
  }
  return delaiEcoule;
}

template <class Fini>
void MiseAJour::attendreOuDelai(Fini fini) {
  while (!fini() && !ecoule()) {
    boucle_.laisserPasser();
    if (fini() || ecoule()) break;
    const std::int64_t reste = intervalle_ - (boucle_.maintenantMs() - debutMinuterie_);
    port_.attendre(static_cast<int>(std::clamp<std::int64_t>(reste, 1, pasAttenteMs)));
  }
}

bool MiseAJour::viderSortie(double ligneLibreMs) {
  std::size_t avant = port_.enAttenteSortie();
  std::int64_t dernierMouvement = boucle_.maintenantMs();
  for (;;) {
    const std::int64_t maintenant = boucle_.maintenantMs();
    const double reste = ligneLibreMs - static_cast<double>(maintenant);
    if (avant == 0 && reste <= 0) return true;
    boucle_.laisserPasser();
    port_.attendre(avant > 0 ? 1 : static_cast<int>(std::clamp(std::ceil(reste), 1.0, 5.0)));
    const std::size_t n = port_.enAttenteSortie();
    const std::int64_t apres = boucle_.maintenantMs();
    if (n < avant) dernierMouvement = apres;
    // A UART without flow control always drains; output that stays put means
    // the device is gone, and waiting for it would hang the transfer for good.
    if (n > 0 && apres - dernierMouvement >= reglages_.blocageSortieMaxMs) return false;
    avant = n;
  }
}

std::string MiseAJour::EnvoieCommande(const std::string& texte) {
  port_.viderEntree();
  armer(reglages_.delaiReponseMs);
  delaiEcoule = false;
  std::string commande = texte;
  for (char& c : commande)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (commande.size() > 1) commande.push_back('\r');
  port_.ecrire(commande);
  std::string reponse;
  for (;;) {
    attendreOuDelai([this] { return port_.enAttenteEntree() > 0; });
    const std::string lu = port_.lireTout();
    reponse += lu;
    if (!lu.empty() && lu.back() == '\r') break;
    if (delaiEcoule) break;
  }
  arreter();
  if (!reponse.empty()) delaiEcoule = false;
  return sansBlancs(reponse);
}

void MiseAJour::ChercheInterface() {
  port_.reglerVitesse(9600);
  for (int n = reglages_.premierPort; n <= reglages_.dernierPort && !interfaceTrouvee; ++n) {
    if (finDemandee_) return;
    port_.fermer();
    if (!port_.ouvrir(n)) {
      port_.fermer();
      continue;
    }
    const std::string reponse = EnvoieCommande("WVERSION");
    if (reponse.find("BRIXO VYK2") != std::string::npos) {
      interfaceTrouvee = true;
      portTrouve = n;
    } else {
      port_.fermer();
    }
  }
}

void MiseAJour::Command4_Click() {
  // A click that comes in while a step waits is not a new step.
  if (occupe_) return;
  occupe_ = true;
  intervalle_ = reglages_.delaiReponseMs;
  const int e = etape;
  etape = e + 1;
  if (e == 0) {
    etape0();
  } else if (e == 1) {
    etape1();
  } else {
    etape2();
  }
  occupe_ = false;
  if (finDemandee_) {
    port_.fermer();
    vue_.terminer();
  }
}

void MiseAJour::Commande2_Click() {
  if (demanderFin()) vue_.terminer();
}

bool MiseAJour::demanderFin() {
  if (!occupe_) {
    if (port_.estOuvert()) port_.fermer();
    return true;
  }
  if (!a19200_) finDemandee_ = true;
  return false;
}

void MiseAJour::etape0() {
  etat_.lab1 = textes::recherche;
  etat_.commande2Actif = false;
  montrer();
  interfaceTrouvee = false;
  portTrouve = 0;
  ChercheInterface();
  if (interfaceTrouvee) {
    etat_.lab1 = textes::detecte;
    etat_.legendeCommande2 = textes::terminer;
    etat_.commande2Actif = true;
    etat_.legendeCommand4 = textes::poursuivre;
  } else {
    etape = 0;
    etat_.lab1 = textes::nonDetecte;
    // The advice names this button, so it carries that name.
    etat_.legendeCommand4 = textes::recommencer;
    etat_.commande2Visible = true;
    etat_.commande2Actif = true;
  }
  montrer();
}

void MiseAJour::etape1() {
  const std::string reponse = EnvoieCommande("WVERSION");
  etat_.lab1 = std::string(textes::versionActuelle) + finAffichable(reponse, 6);
  montrer();
  if (finDemandee_) return;

  const LectureFichier lu = lireFichier(reglages_.cheminFichier);
  if (!lu.ok) {
    vue_.boite(Icone::erreur, lu.erreur);
    finDemandee_ = true;
    return;
  }
  std::istringstream fichier(lu.contenu);
  const auto version = chercheVersion(fichier);
  if (version) {
    versionFichier = *version;
    etat_.legendeCommand4 = textes::telecharger;
    etat_.lab1 += std::string(textes::versionDisponible) + versionFichier;
  } else {
    etat_.lab1 = textes::mauvaisCode;
    etat_.legendeCommand4 = textes::recommencer;
    etape = 0;
  }
  montrer();
}

void MiseAJour::etape2() {
  const std::string debug = EnvoieCommande("WDEBUG");
  if (!(debug == "0,0" || debug.empty())) {
    etat_.lab1 = textes::probleme;
    etat_.legendeCommand4 = textes::recommencer;
    etape = 0;
    montrer();
    return;
  }
  if (finDemandee_) return;

  // The whole file is in hand before the interface changes speed: a file
  // that went away since the versions were read stops us here, at 9600 bauds.
  const LectureFichier fichier = lireFichier(reglages_.cheminFichier);
  if (!fichier.ok) {
    vue_.boite(Icone::avertissement, fichier.erreur);
    if (fichier.erreur == reglages_.cheminFichier + textes::nonTrouve) {
      finDemandee_ = true;
    } else {
      etat_.legendeCommand4 = textes::recommencer;
      etape = 0;
      montrer();
    }
    return;
  }

  // The speed changes only once the command's last bit is out.
  const std::string bauds = "WBAUDS 1\r";
  const double finCommande = static_cast<double>(boucle_.maintenantMs()) +
                             static_cast<double>(bauds.size()) * 10000.0 / std::max(1, port_.vitesse());
  port_.ecrire(bauds);
  viderSortie(finCommande);
  a19200_ = true;
  port_.fermer();
  port_.reglerVitesse(19200);
  port_.ouvrir(portTrouve);

  etat_.command4Visible = false;
  etat_.command4Actif = false;
  etat_.commande2Visible = false;
  etat_.commande2Actif = false;
  etat_.jaugeMax = std::max<int>(1, static_cast<int>(fichier.contenu.size() / 100));
  etat_.jaugeValeur = 0;
  etat_.jaugeVisible = true;
  etat_.lab1 = textes::transmission;
  montrer();

  TransmetFichier(fichier.contenu);

  etat_.lab1 = textes::attenteReponse;
  montrer();
  armer(reglages_.delaiCompteRenduMs);
  delaiEcoule = false;
  attendreOuDelai([this] { return port_.enAttenteEntree() > 0; });
  arreter();

  if (port_.enAttenteEntree() == 0) {
    dernierCompteRendu = -1;
    retour9600();
    etat_.lab1 = textes::pasDeCompteRendu;
    etat_.legendeCommand4 = textes::recommencer;
    etat_.command4Visible = true;
    etat_.command4Actif = true;
  } else {
    const int code = codeCompteRendu(port_.lireTout());
    dernierCompteRendu = code;
    retour9600();
    if (code != 0) {
      etat_.legendeCommand4 = textes::recommencer;
      etat_.lab1 = std::string(textes::erreurDebut) + nombreAvecSigne(code) + textes::erreurFin;
      etat_.command4Visible = true;
      etat_.command4Actif = true;
    } else {
      armer(reglages_.pauseApresTransfertMs);
      delaiEcoule = false;
      attendreOuDelai([] { return false; });
      arreter();
      const std::string reponse = EnvoieCommande("WVERSION");
      etat_.lab1 = std::string(textes::succes) + finAffichable(reponse, 6);
      etat_.command4Visible = false;
      etat_.command4Actif = false;
    }
  }
  finEtape2();
}

void MiseAJour::finEtape2() {
  etat_.commande2Visible = true;
  etat_.commande2Actif = true;
  armer(reglages_.delaiReposMs);
  etat_.jaugeVisible = false;
  etape = 0;
  montrer();
}

void MiseAJour::retour9600() {
  port_.fermer();
  port_.reglerVitesse(9600);
  port_.ouvrir(portTrouve);
  a19200_ = false;
}

void MiseAJour::TransmetFichier(const std::string& contenu) {
  EnvoieCommande("WERR");
  EnvoieCommande("WROM");
  transfertFini = false;
  const std::size_t taille = std::max<std::size_t>(1, port_.tailleTamponSortie());
  const auto pasJauge = static_cast<long long>(quotientArrondi(taille, 100));
  morceaux = 0;
  dernierMorceau = 0;
  // Never faster than the line: where the device hides what it still holds
  // (a pseudo-terminal, an adapter's own buffer) the bar and the report wait
  // would otherwise run ahead of the bytes.
  const double msParOctet = 10000.0 / std::max(1, port_.vitesse());
  double ligneLibre = 0;
  std::size_t position = 0;
  while (position < contenu.size() && !transfertFini) {
    const std::size_t n = std::min(taille, contenu.size() - position);
    ligneLibre = std::max(ligneLibre, static_cast<double>(boucle_.maintenantMs())) +
                 static_cast<double>(n) * msParOctet;
    // The report can only follow the last piece; what came before it is
    // noise, and emptying the input after the transfer could lose a quick report.
    if (position + n == contenu.size()) port_.viderEntree();
    const bool ecrit = port_.ecrire(std::string_view(contenu).substr(position, n));
    position += n;
    ++morceaux;
    dernierMorceau = n;
    etat_.jaugeValeur = static_cast<int>(
        std::min<long long>(etat_.jaugeMax, static_cast<long long>(morceaux + 1) * pasJauge));
    montrer();
    if (!ecrit) {
      vue_.boite(Icone::erreur, port_.derniereErreur());
      break;
    }
    if (!viderSortie(ligneLibre)) {
      vue_.boite(Icone::erreur, "Le port n'accepte plus de données");
      break;
    }
  }
  transfertFini = true;
}

}  // namespace majvyk2
