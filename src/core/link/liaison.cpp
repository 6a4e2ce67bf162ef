#include "core/link/liaison.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <vector>

#include "core/channels/numbers/nombres.h"

namespace {

constexpr std::size_t longueurMaxChaine = 255;  // short strings of the link
constexpr int dernierPort = 50;
constexpr int ticksVersion = 18;
constexpr int ticksSilence = 9;
constexpr int ticksRom = 180;
constexpr double attenteResetMs = 500;
constexpr double attenteVitesseMs = 500;
constexpr double attenteWromMs = 300;
constexpr double attenteArretFluxMs = 50;
// A line that keeps talking after "WPE" must not hold the window for ever.
constexpr double dureeMaxVidageMs = 5000;
constexpr double dureeMaxSortieMs = 5000;
constexpr double dureeMaxOctetMs = 1000;

const char* const texteRecherche = "Vérification présence d'Brixo VYK ou PUX II";
const char* const texteErreurVoie = "Erreur  gestion voie série";

}  // namespace

PermissionsVersion permissionsVYK2(int v, bool recoPermis, bool testRom) {
  PermissionsVersion p;
  p.SynchroMonocoupPermis = v >= 118 && v != 120;
  p.PreAcqPermis = v > 122;
  p.avecReconnaissance = v > 123 && recoPermis;
  p.base32Permis = v > 126;
  p.rappelRom = testRom && v < 128;
  return p;
}

PermissionsVersion permissionsPUX2(int v, bool testRom) {
  PermissionsVersion p;
  p.SynchroMonocoupPermis = true;
  p.PreAcqPermis = true;
  p.avecReconnaissance = true;
  p.rappelRom = testRom && v < 104;
  return p;
}

int baudVitesse(int index) {
  static constexpr int bauds[] = {9600, 19200, 38400, 57600};
  return bauds[std::clamp(index, 0, 3)];
}

double dureeTransmissionValeur(int index) {
  static constexpr double durees[] = {0.005, 0.0025, 0.001, 0.0005};
  return durees[std::clamp(index, 0, 3)];
}

double pauseVidageMs(ModeVidage mode, double deltatSecondes) {
  switch (mode) {
    case ModeVidage::temps: {
      const double ms = arrondiPair(deltatSecondes * 1000.0);
      return std::isfinite(ms) ? std::clamp(ms, 10.0, 1000.0) : 1000.0;
    }
    case ModeVidage::rapide:
      return 10;
    case ModeVidage::autre:
      break;
  }
  return 50;
}

int numeroVersionDe(const std::string& reponse) {
  std::size_t i = 0;
  for (;; ++i) {
    i = reponse.find('V', i);
    if (i == std::string::npos) return 0;
    if (reponse.compare(i, 4, "VYK2") != 0) break;
  }
  const double x = lireNombre(reponse.substr(i + 1, 4));
  if (x == valeurAbsente || !std::isfinite(x) || x < 0 || x > 1e6) return 0;
  return int(arrondiEntier(x * 100.0));
}

int versionFichierRom(const std::string& cheminHex) {
  std::ifstream f(cheminHex, std::ios::binary);
  if (!f) return 0;
  static const std::string entete = ":1501000056594B32";
  std::string ligne;
  while (std::getline(f, ligne)) {
    if (ligne.compare(0, entete.size(), entete) != 0) continue;
    if (ligne.size() < 29) return 0;
    const std::string v = ligne.substr(21, 8);  // hex form of a text like "1.29"
    const char c2 = v[1], c6 = v[5], c8 = v[7];
    auto chiffre = [](char c) { return c >= '0' && c <= '9'; };
    // Only digits give a meaningful version; anything else is no version.
    if (!chiffre(c2) || !chiffre(c6) || !chiffre(c8)) return 0;
    return c2 * 100 + c6 * 10 + c8 - 5328;
  }
  return 0;
}

TLiaison::TLiaison(IPortSerie& port, IHorloge& horloge, IVueLiaison& vue)
    : port_(port), horloge_(horloge), vue_(vue) {
  port_.surDonnees([this] { recoitDonnees(); });
  port_.surPerte([this] { perte(); });
}

TLiaison::~TLiaison() {
  port_.surDonnees(nullptr);
  port_.surPerte(nullptr);
}

void TLiaison::installeDispatcheurBinaire(Dispatcheur d) { dispatcheur_ = std::move(d); }

bool TLiaison::attenteAcquisition() const { return attenteResultats && attenteResultats(); }

// "Data available": the bytes go to whichever handler is installed; none is
// installed during a query, whose loop reads them itself.
void TLiaison::recoitDonnees() {
  if (recepteur_ == Recepteur::aucun) return;
  std::uint8_t tampon[512];
  while (port_.disponibles() > 0) {
    const std::size_t n = port_.lit(tampon, sizeof tampon);
    if (n == 0) break;
    if (recepteur_ == Recepteur::ligneAscii) {
      TriggerAvailAsc(tampon, n);
    } else if (recepteur_ == Recepteur::binaire) {
      if (dispatcheur_) dispatcheur_(tampon, n);
    } else {
      break;
    }
  }
}

void TLiaison::TriggerAvailAsc(const std::uint8_t* octets, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t c = octets[i];
    if (c < 32) {
      if (c == 13) FinDeChaine = true;
    } else if (chaineLue.size() < longueurMaxChaine) {
      chaineLue.push_back(char(c));
    }
  }
}

// The adapter went away while in use: the window must say so instead of
// sending into the void.
void TLiaison::perte() {
  if (detectionEnCours_ || !BrixoPresent || PuxActif) return;
  BrixoPresent = false;
  recepteur_ = Recepteur::aucun;
  finDetection(false, NumCom);
}

void TLiaison::ecritBrixo(const std::string& ordre) {
  if (!BrixoPresent) return;
  const std::string ligne = ordre.substr(0, longueurMaxChaine);
  if (PuxActif) {
    if (pilotePux) pilotePux->ecrit(ligne);
    return;
  }
  std::string octets = ligne;
  octets.push_back('\r');
  port_.ecrit(reinterpret_cast<const std::uint8_t*>(octets.data()), octets.size());
}

void TLiaison::ecritOctets(const std::uint8_t* octets, std::size_t n) {
  if (!BrixoPresent || PuxActif) return;
  port_.ecrit(octets, n);
}

void TLiaison::requete(const std::string& ordre, int n, int ticks) {
  if (!BrixoPresent) return;
  n = std::clamp(n, 1, int(ValeurMot.octets.size()));
  ValeurMot.efface(std::size_t(n));
  indexOctet = 0;
  if (PuxActif) {
    if (pilotePux) pilotePux->requete(ordre, ticks, n, ValeurMot);
    return;
  }
  recepteur_ = Recepteur::aucun;
  const bool dejaEnAcquisition = attenteAcquisition();

  // Quieten the line so that stray stream bytes are not taken as the answer.
  const double finSilence = horloge_.maintenantMs() + ticksSilence * dureeTickMs;
  do {
    port_.videEntree();
    horloge_.attends(10);
    // A sweep launched from the window during this wait is streaming now:
    // emptying the input would lose its first values, and the command's
    // answer would land among them and shift every channel by one.
    if (!dejaEnAcquisition && attenteAcquisition()) {
      recepteur_ = Recepteur::binaire;
      recoitDonnees();
      return;
    }
  } while (port_.disponibles() > 0 && horloge_.maintenantMs() < finSilence);

  std::string ligne = ordre.substr(0, longueurMaxChaine);
  if (ligne.size() > 1) ligne.push_back('\r');
  port_.ecrit(reinterpret_cast<const std::uint8_t*>(ligne.data()), ligne.size());

  const double fin = horloge_.maintenantMs() + ticks * dureeTickMs;
  while (indexOctet < n && !attenteAcquisition()) {
    if (port_.disponibles() > 0) {
      std::uint8_t c;
      if (port_.lit(&c, 1) == 1) ValeurMot.octets[std::size_t(indexOctet++)] = c;
      continue;
    }
    const double reste = fin - horloge_.maintenantMs();
    if (reste <= 0) break;
    horloge_.pompe(reste);
  }
  recepteur_ = Recepteur::binaire;
  recoitDonnees();
}

std::uint8_t TLiaison::getByte(const std::string& ordre) {
  requete(ordre, 1, 5);
  return ValeurMot.octet();
}

std::uint16_t TLiaison::getWord(const std::string& ordre) {
  requete(ordre, 2, 5);
  return ValeurMot.mot();
}

std::int16_t TLiaison::getInt(const std::string& ordre) {
  requete(ordre, 2, 5);
  return ValeurMot.entier();
}

std::uint32_t TLiaison::getLongWord(const std::string& ordre) {
  requete(ordre, 4, 10);
  return ValeurMot.longMot();
}

void TLiaison::videOutBuffer() {
  if (PuxActif) {
    if (pilotePux) pilotePux->videSortie();
    return;
  }
  attendSortieVide(dureeMaxSortieMs);
}

// A line that no longer drains (device wedged) must not hold the window.
bool TLiaison::attendSortieVide(double maxMs) {
  const double fin = horloge_.maintenantMs() + maxMs;
  while (port_.estOuvert() && !port_.sortieVide()) {
    if (horloge_.maintenantMs() >= fin) return false;
    horloge_.attends(10);
  }
  return true;
}

void TLiaison::arreteEtVide() {
  if (!BrixoPresent || PuxActif) return;
  if (attenteAcquisition()) {
    ecritBrixo("WPE");
    horloge_.attends(attenteArretFluxMs);
  }
  const double pause = pauseVidage ? pauseVidage() : 50.0;
  const double limite = horloge_.maintenantMs() + dureeMaxVidageMs;
  do {
    port_.videEntree();
    horloge_.attends(pause);
  } while (port_.disponibles() > 0 && horloge_.maintenantMs() < limite);
  port_.videEntree();
}

bool TLiaison::portExiste(int n) { return port_.existe(n); }

bool TLiaison::testePort(int n) {
  if (port_.ouvre(n) != ResultatOuverture::ouvert) {
    vue_.afficheStatut(0, texteErreurVoie);
    port_.ferme();
    return false;
  }
  chaineLue.clear();
  FinDeChaine = false;
  recepteur_ = Recepteur::ligneAscii;

  static const std::uint8_t demande[] = {'W', 'V', 'E', 'R', 'S', 'I', 'O', 'N', '\r'};
  port_.ecrit(demande, sizeof demande);
  const double fin = horloge_.maintenantMs() + ticksVersion * dureeTickMs;
  for (;;) {
    recoitDonnees();
    if (FinDeChaine) break;
    const double reste = fin - horloge_.maintenantMs();
    if (reste <= 0) break;
    horloge_.pompe(reste);
  }
  recepteur_ = Recepteur::aucun;
  if (chaineLue.find("VYK2") != std::string::npos) {
    BrixoPresent = true;
    return true;
  }
  port_.ferme();
  return false;
}

bool TLiaison::essaiePux() {
  if (!puxDllChargee || !pilotePux) return false;
  if (!pilotePux->ouvre()) return false;
  chaineLue = pilotePux->version().substr(0, longueurMaxChaine);
  if (chaineLue.find("PUX2") != std::string::npos) return true;
  pilotePux->ferme();
  return false;
}

bool TLiaison::detecteInterface() {
  if (detectionEnCours_) return false;  // a click inside one of its waits
  detectionEnCours_ = true;
  vue_.curseurSablier(true);
  vue_.afficheStatut(0, texteRecherche);
  BrixoPresent = false;
  recepteur_ = Recepteur::aucun;

  bool vyk = false, pux = false;
  int dernierEssai = 0;
  if (puxDllChargee && PuxActif) pux = essaiePux();
  if (!pux) {
    port_.fixeVitesse(baudVitesse(0));
    if (NumCom >= 1 && portExiste(NumCom)) {
      dernierEssai = NumCom;
      vyk = testePort(NumCom);
    }
    for (int n = 1; !vyk && n <= dernierPort; ++n) {
      if (n == NumCom || !portExiste(n)) continue;
      dernierEssai = n;
      vyk = testePort(n);
      if (vyk) NumCom = n;
    }
  }
  if (!vyk && !pux && !PuxActif && puxDllChargee) pux = essaiePux();

  bool trouve = false;
  if (vyk) {
    trouve = installeVYK2(NumCom);
  } else if (pux) {
    installePUX2();
    trouve = true;
  } else {
    finDetection(false, dernierEssai != 0 ? dernierEssai : NumCom);
  }
  vue_.curseurSablier(false);
  detectionEnCours_ = false;
  return trouve;
}

void TLiaison::finDetection(bool trouve, int dernierEssai) {
  if (trouve) return;
  vue_.afficheStatut(0, puxDllChargee ? std::string("Brixo VYK/PUX II non détectée")
                                      : "Brixo VYK II non détectée sur COM" +
                                            std::to_string(dernierEssai));
  port_.ferme();
  vue_.commandesSansInterface();
  vue_.afficheBrixoAbsent(true);
}

void TLiaison::rappelRom(int seuil, const std::string& produit) {
  if (!(TestROM && NumeroVersion < seuil)) return;
  if (CompteurROM == 0)
    TestROM = vue_.rappelMiseAJourRom("Faire une mise à jour de la ROM de " + produit) ==
              IVueLiaison::ReponseRappel::ok;
  ++CompteurROM;
  if (CompteurROM > 32) CompteurROM = 0;
}

void TLiaison::verifieFichierCapteurs() {
  if (avecReconnaissance && fichierCapteursAJour && !fichierCapteursAJour()) {
    if (CompteurAuto == 0) vue_.messageErreur("Mettre à jour votre fichier vyk2.cpt");
    ++CompteurAuto;
    if (CompteurAuto > 16) CompteurAuto = 0;
    avecReconnaissance = false;
  }
  vue_.boutonReconVisible(avecReconnaissance);
}

void TLiaison::verifieFichierRom() {
  if (dossierProgramme.empty()) return;
  std::string chemin = dossierProgramme;
  if (chemin.back() != '/') chemin.push_back('/');
  chemin += nomFichierRom;
  versionFichier_ = versionFichierRom(chemin);
  if (versionFichier_ > 0 && NumeroVersion < versionFichier_ &&
      vue_.questionOuiNon("Mise à jour de la ROM"))
    miseAJourRom();
}

bool TLiaison::installeVYK2(int numero) {
  PuxActif = false;
  dtPivane = 1.25e-7;
  BrixoPresent = true;
  vue_.afficheBrixoAbsent(false);
  NumCom = numero;
  VersionBrixo = chaineLue;
  NumeroVersion = numeroVersionDe(chaineLue);
  verifieFichierRom();
  rappelRom(128, "VYK 2");
  const PermissionsVersion p = permissionsVYK2(NumeroVersion, RecoPermis, TestROM);
  SynchroMonocoupPermis = p.SynchroMonocoupPermis;
  PreAcqPermis = p.PreAcqPermis;
  avecReconnaissance = p.avecReconnaissance;
  base32Permis = p.base32Permis;
  verifieFichierCapteurs();
  if (!(modeDeconnecte && modeDeconnecte())) {
    ecritBrixo("WRESET");
    horloge_.attends(attenteResetMs);
    // The reset brings the interface back to 9600 baud, also after a firmware
    // update that had restored the chosen speed.
    port_.fixeVitesse(baudVitesse(0));
  }
  ecritBrixo("WBIN");
  recepteur_ = Recepteur::binaire;
  vue_.chargeConfigurationEnAttente();
  if (indexVitesse > 0) changeVitesse(indexVitesse);
  // Unplugged during the set-up waits: say so rather than "présente".
  if (!port_.estOuvert()) {
    BrixoPresent = false;
    recepteur_ = Recepteur::aucun;
    finDetection(false, NumCom);
    return false;
  }
  vue_.afficheStatut(0, "Brixo VYK II présente");
  return true;
}

void TLiaison::installePUX2() {
  BrixoPresent = true;
  dtPivane = 2e-7;
  PuxActif = true;
  vue_.afficheBrixoAbsent(false);
  VersionBrixo = chaineLue;
  NumeroVersion = numeroVersionDe(chaineLue);
  rappelRom(104, "PUX 2");
  const PermissionsVersion p = permissionsPUX2(NumeroVersion, TestROM);
  SynchroMonocoupPermis = p.SynchroMonocoupPermis;
  PreAcqPermis = p.PreAcqPermis;
  avecReconnaissance = p.avecReconnaissance && RecoPermis;
  base32Permis = p.base32Permis;
  verifieFichierCapteurs();
  if (!(modeDeconnecte && modeDeconnecte())) {
    ecritBrixo("WRESET");
    horloge_.attends(attenteResetMs);
  }
  ecritBrixo("WBIN");
  recepteur_ = Recepteur::binaire;
  vue_.afficheStatut(0, "Brixo PUX II présente");
  vue_.chargeConfigurationEnAttente();
}

void TLiaison::changeVitesse(int index) {
  if (PuxActif || index < 0 || index > 3) return;
  ecritBrixo("WBAUDS " + std::to_string(index));
  horloge_.attends(attenteVitesseMs);
  port_.fixeVitesse(baudVitesse(index));
}

void TLiaison::razBrixo() {
  if (arreteTimerAcquisition) arreteTimerAcquisition();
  arreteEtVide();
  ecritBrixo("WRESET");
  horloge_.attends(attenteResetMs);
  port_.fixeVitesse(baudVitesse(0));
  detecteInterface();
}

void TLiaison::arretInterface() {
  if (!BrixoPresent) return;
  if (!PuxActif) {
    ecritBrixo("WRESET");
    videOutBuffer();
    horloge_.attends(attenteResetMs);
  }
  BrixoPresent = false;
  recepteur_ = Recepteur::aucun;
  if (!PuxActif) port_.ferme();
}

// One character of a firmware file takes about 1 ms at 9600 baud.
bool TLiaison::attendOctetParti() {
  const double fin = horloge_.maintenantMs() + dureeMaxOctetMs;
  while (port_.estOuvert() && !port_.sortieVide()) {
    const double reste = fin - horloge_.maintenantMs();
    if (reste <= 0) return false;
    horloge_.pompe(std::min(reste, 10.0));
  }
  return port_.estOuvert();
}

void TLiaison::miseAJourRom() {
  if (!BrixoPresent || PuxActif || dossierProgramme.empty()) return;
  std::string chemin = dossierProgramme;
  if (chemin.back() != '/') chemin.push_back('/');
  chemin += nomFichierRom;
  std::ifstream f(chemin, std::ios::binary);
  if (!f) return;
  const std::vector<char> contenu((std::istreambuf_iterator<char>(f)),
                                  std::istreambuf_iterator<char>());
  const int versionFichier = versionFichierRom(chemin);

  vue_.ouvreMiseAJourRom();
  recepteur_ = Recepteur::aucun;
  port_.videEntree();
  changeVitesse(0);
  static const std::uint8_t wrom[] = {'W', 'R', 'O', 'M', '\r'};
  port_.ecrit(wrom, sizeof wrom);
  horloge_.attends(attenteWromMs);

  bool arrete = false;
  std::size_t envoyes = 0;
  for (char c : contenu) {
    const auto octet = std::uint8_t(c);
    // Port lost or line stuck: the reply wait then reports the failure.
    if (!port_.ecrit(&octet, 1)) break;
    ++envoyes;
    if (!attendOctetParti()) break;
    if (envoyes % 32 == 0) {
      vue_.progressionMiseAJourRom(int(std::min<std::size_t>(envoyes / 64, 1000)));
      horloge_.pompe(0);
      if (vue_.arretMiseAJourDemande()) {
        arrete = true;
        break;
      }
    }
  }

  if (arrete) {
    vue_.messageErreur("Arrêter et redémarrer Brixo (matériel et logiciel)");
  } else {
    vue_.messageMiseAJourRom("Mise à jour de la ROM effectuée", "Attente de la réponse pendant 10 s");
    char reponse = 0;
    const double fin = horloge_.maintenantMs() + ticksRom * dureeTickMs;
    while (!vue_.arretMiseAJourDemande()) {
      std::uint8_t c;
      if (port_.disponibles() > 0 && port_.lit(&c, 1) == 1) {
        if (c >= '0' && c <= '3') {
          reponse = char(c);
          break;
        }
        continue;
      }
      const double reste = fin - horloge_.maintenantMs();
      if (reste <= 0) break;
      horloge_.pompe(reste);
    }
    if (reponse == '0')
      NumeroVersion = versionFichier;
    else if (reponse == 0)
      vue_.messageErreur("La mise à jour a rencontré un problème");
  }
  vue_.fermeMiseAJourRom();
  if (indexVitesse > 0) changeVitesse(indexVitesse);
  recepteur_ = Recepteur::binaire;
}
