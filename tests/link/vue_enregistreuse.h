// A main window that records what the link tells it.
#pragma once

#include <string>
#include <vector>

#include "core/link/vue_liaison.h"

struct VueEnregistreuse : IVueLiaison {
  std::string statut[2];
  std::vector<std::string> statuts0;  // every text of panel 0, in order
  bool brixoAbsent = false;
  int sablier = 0;  // >0 while the hourglass is on
  std::vector<std::string> erreurs;
  std::vector<std::string> questions;
  bool reponseOuiNon = false;
  std::vector<std::string> rappels;
  ReponseRappel reponseRappel = ReponseRappel::ok;
  int commandesCoupees = 0;
  bool recon = false;
  int configurations = 0;
  bool dialogueRom = false;
  int progression = -1;
  std::vector<std::string> messagesRom;
  long arretApresAppels = -1;  // "Arrêt de la mise à jour" pressed after this many polls
  long appelsArret = 0;

  void afficheStatut(int panneau, const std::string& texte) override {
    statut[panneau] = texte;
    if (panneau == 0) statuts0.push_back(texte);
  }
  void afficheBrixoAbsent(bool visible) override { brixoAbsent = visible; }
  void curseurSablier(bool actif) override { sablier += actif ? 1 : -1; }
  void messageErreur(const std::string& texte) override { erreurs.push_back(texte); }
  bool questionOuiNon(const std::string& texte) override {
    questions.push_back(texte);
    return reponseOuiNon;
  }
  ReponseRappel rappelMiseAJourRom(const std::string& texte) override {
    rappels.push_back(texte);
    return reponseRappel;
  }
  void commandesSansInterface() override { ++commandesCoupees; }
  void boutonReconVisible(bool visible) override { recon = visible; }
  void chargeConfigurationEnAttente() override { ++configurations; }
  void ouvreMiseAJourRom() override { dialogueRom = true; }
  void progressionMiseAJourRom(int valeur) override { progression = valeur; }
  void messageMiseAJourRom(const std::string& l1, const std::string& l2) override {
    messagesRom.push_back(l1);
    messagesRom.push_back(l2);
  }
  bool arretMiseAJourDemande() override {
    return arretApresAppels >= 0 && ++appelsArret > arretApresAppels;
  }
  void fermeMiseAJourRom() override { dialogueRom = false; }
};
