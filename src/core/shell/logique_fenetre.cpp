#include "core/shell/logique_fenetre.h"

#include "core/shell/demarrage.h"
#include "core/shell/textes.h"

TLogiqueFenetre::TLogiqueFenetre(IVueFenetre& vue, TLiaison& liaison)
    : vue_(vue), liaison_(liaison) {}

void TLogiqueFenetre::FormCreate(const IMagasinReglages& utilisateur,
                                 const IMagasinReglages* machine) {
  liaison_.BrixoPresent = false;
  const ReglagesRegistre r = litReglagesRegistre(utilisateur, machine, repertoireDonnees);
  liaison_.NumCom = r.NumCom;
  liaison_.indexVitesse = r.indexVitesse;
  liaison_.TestROM = r.TestROM;
  liaison_.CompteurROM = static_cast<std::uint16_t>(r.CompteurROM);
  liaison_.CompteurAuto = static_cast<std::uint16_t>(r.CompteurAuto);
  liaison_.RecoPermis = r.RecoPermis;
  CfgVYKPath = r.CfgVYKPath;
  repertoireTavelmor = r.repertoireTavelmor;
  vue_.afficheLegende(legendeFenetre("", liaison_.PuxActif));
}

void TLogiqueFenetre::FormActivate(const IMagasinReglages& utilisateur) {
  if (premiereFois) {
    // Cleared first: the detection lets window events run, and a second
    // activation among them must not start a second detection.
    premiereFois = false;
    if (!liaison_.BrixoPresent) liaison_.detecteInterface();
    vue_.restaurePlacement(litPlacement(utilisateur, vue_.placement()));
  }
  vue_.fixePolicePanelMode(taillePolice(vue_.hauteurNonClient()));
}

bool TLogiqueFenetre::litConfiguration(const std::string& nom) {
  // The configuration file reader comes with the configuration files; until
  // then nothing is read and the defaults stay.
  return LitConfig ? LitConfig(nom) : false;
}

void TLogiqueFenetre::chargeConfigurationEnAttente() {
  if (!PremierTest) return;
  const ChoixConfigDemarrage choix =
      choixConfigDemarrage(fichierLigneCommande, repertoireConfig, cheminProgramme, fichierExiste);
  const bool lu = litConfiguration(choix.premier);
  if (!choix.ligneCommande && (!lu || !SauverConfig)) litConfiguration(choix.secours);
  liaison_.ecritBrixo("WBIN");
  vue_.boutonRazVisible(false);
  if (AfficheReglage) AfficheReglage();
  PremierTest = false;
  vue_.curseurNormal();
}

ReglagesRegistre TLogiqueFenetre::reglagesActuels() const {
  ReglagesRegistre r;
  r.NumCom = liaison_.NumCom;
  r.indexVitesse = liaison_.indexVitesse;
  r.TestROM = liaison_.TestROM;
  r.CompteurROM = liaison_.CompteurROM;
  r.CompteurAuto = liaison_.CompteurAuto;
  r.RecoPermis = liaison_.RecoPermis;
  r.CfgVYKPath = CfgVYKPath;
  r.repertoireTavelmor = repertoireTavelmor;
  return r;
}

void TLogiqueFenetre::FormClose(IMagasinReglages& utilisateur, IMagasinReglages* machine) {
  if (liaison_.BrixoPresent) {
    vue_.timerAcquisition(false);
    if (arreteSortieAnalogique) arreteSortieAnalogique();
    if (arreteCardiaque) arreteCardiaque();
    if (arreteAcquisitionEnCours) arreteAcquisitionEnCours();
    liaison_.arretInterface();
  }
  if (enregistreAssociation) enregistreAssociation();
  const ReglagesRegistre r = reglagesActuels();
  ecritReglagesRegistre(utilisateur, r);
  if (machine) ecritReglagesRegistre(*machine, r);
  ecritPlacement(utilisateur, vue_.placement());
}

void TLogiqueFenetre::ShowHint(const std::string& indice) {
  vue_.afficheLegende(legendeFenetre(indice, liaison_.PuxActif));
}

void TLogiqueFenetre::ActivateApp() {
  if (!ReactiverVYK) return;
  ReactiverVYK = false;
  FinLectureParametres();
}

bool TLogiqueFenetre::FormKeyDown(Touche t) {
  switch (t) {
    case Touche::F5:
      if (basculeGraphePleinEcran) basculeGraphePleinEcran();
      return true;
    case Touche::F6:
      if (basculeVoltmetrePleinEcran) basculeVoltmetrePleinEcran();
      return true;
    case Touche::espace:
      return toucheAcquisition ? toucheAcquisition() : false;
  }
  return false;
}

void TLogiqueFenetre::DebutLectureParametres() {
  if (debutLecture) {
    debutLecture();
    return;
  }
  // Nested dialogs: only the outermost suspension remembers the timer.
  if (suspensions_++ == 0) {
    timerSuspendu_ = vue_.timerAcquisitionActif();
    vue_.timerAcquisition(false);
  }
}

void TLogiqueFenetre::FinLectureParametres() {
  if (finLecture) {
    finLecture();
    return;
  }
  if (suspensions_ == 0) return;
  if (--suspensions_ == 0 && timerSuspendu_) vue_.timerAcquisition(true);
}

void TLogiqueFenetre::APropos(const std::string& versionPux) {
  DebutLectureParametres();
  vue_.afficheAPropos(ligneInterfaceConnectee(liaison_.PuxActif, versionPux,
                                              liaison_.VersionBrixo, liaison_.NumCom));
  FinLectureParametres();
}

void TLogiqueFenetre::Aide() {
  if (FichierCHM) vue_.ouvreAide();
  else vue_.messageErreur(texte::aideAbsente);
}

void TLogiqueFenetre::Quitter() {
  vue_.timerAcquisition(false);
  vue_.fermeFenetre();
}
