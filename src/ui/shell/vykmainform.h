#pragma once
// The main window: renders the shell's logic and the link's view with Qt.
#include <QMainWindow>
#include <QPointer>
#include <map>
#include <memory>

#include "core/link/liaison.h"
#include "core/link/vue_liaison.h"
#include "core/shell/logique_fenetre.h"
#include "core/shell/vue_fenetre.h"

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QSplitter;
class QTimer;
class QToolBar;
class QToolButton;
class TAboutBox;
class TMiseAJourRomDlg;

// Where the window keeps its settings and files; the program fills it from
// the XDG folders, tests from temporary ones.
struct EnvironnementFenetre {
  std::string repertoireDonnees;  // ends with '/'
  std::string repertoireConfig;   // ends with '/'
  std::string cheminProgramme;
  std::string fichierLigneCommande;
};

class TVYKmainForm : public QMainWindow, public IVueLiaison, public IVueFenetre {
  Q_OBJECT
 public:
  TVYKmainForm(IPortSerie& port, IHorloge& horloge, const EnvironnementFenetre& env,
               QWidget* parent = nullptr);
  ~TVYKmainForm() override;

  TLiaison& liaison() { return *liaison_; }
  TLogiqueFenetre& logique() { return *logique_; }

  // Restores the window and brings it to the front (second start).
  void amenePremierPlan();

  // --- IVueLiaison ---
  void afficheStatut(int panneau, const std::string& texte) override;
  void afficheBrixoAbsent(bool visible) override;
  void curseurSablier(bool actif) override;
  void messageErreur(const std::string& texte) override;
  bool questionOuiNon(const std::string& texte) override;
  ReponseRappel rappelMiseAJourRom(const std::string& texte) override;
  void commandesSansInterface() override;
  void boutonReconVisible(bool visible) override;
  void chargeConfigurationEnAttente() override;
  void ouvreMiseAJourRom() override;
  void progressionMiseAJourRom(int valeur) override;
  void messageMiseAJourRom(const std::string& ligne1, const std::string& ligne2) override;
  bool arretMiseAJourDemande() override;
  void fermeMiseAJourRom() override;

  // --- IVueFenetre ---
  void afficheLegende(const std::string& texte) override;
  int hauteurNonClient() override;
  void fixePolicePanelMode(int points) override;
  PlacementFenetre placement() override;
  void restaurePlacement(const PlacementFenetre& p) override;
  void boutonRazVisible(bool visible) override;
  void curseurNormal() override;
  void timerAcquisition(bool actif) override;
  bool timerAcquisitionActif() override;
  void afficheAPropos(const std::string& ligneInterface) override;
  void ouvreAide() override;
  void fermeFenetre() override;

  // Named parts, for the later subsystems and for tests.
  QToolBar* ToolBar1 = nullptr;
  QAction *FichierBtn = nullptr, *TavelmorBtn = nullptr, *AcquisitionBtn = nullptr,
          *StopBtn = nullptr, *RazBtn = nullptr, *RepereBtn = nullptr, *DefaireBtn = nullptr,
          *FourierBtn = nullptr, *ReconBtn = nullptr, *OptionsBtn = nullptr,
          *MenuBtn = nullptr, *AideBtn = nullptr, *AproposBtn = nullptr;
  QMenu *FileMenu = nullptr, *Menu = nullptr, *GraphePopupMenu = nullptr;
  std::map<QString, QAction*> actions;  // menu items by caption
  QFrame *DeconnecteP = nullptr, *PanelOscillo = nullptr, *Oscillo = nullptr,
         *FFTPaintBox = nullptr, *PanelAbscisse = nullptr, *PanelMode = nullptr,
         *PanelVoies = nullptr, *BrixoAbsent = nullptr;
  QGroupBox* PanelSA = nullptr;
  QProgressBar* Gauge = nullptr;
  QSplitter* SplitterFFT = nullptr;
  QLabel* DureeLabel = nullptr;
  QLabel* Header[2] = {nullptr, nullptr};
  QPushButton *VerifierBtn = nullptr, *AbandonBtn = nullptr;
  QTimer* Timer = nullptr;
  QTimer* TimerTop = nullptr;
  std::map<int, QGroupBox*> GBvoie;      // channel boxes by slot
  std::map<int, QLabel*> LabelVoie;      // their value labels
  std::map<int, QPushButton*> AbscisseBtn;

 protected:
  bool event(QEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void construitBarreOutils();
  void construitMenus();
  QWidget* construitPanelMode();
  QWidget* construitPanelVoies();
  QWidget* construitPanelOscillo();
  void construitBrixoAbsent(QWidget* parent);
  void activation();
  void trace(const QString& ligne);

  EnvironnementFenetre env_;
  std::unique_ptr<TLiaison> liaison_;
  std::unique_ptr<TLogiqueFenetre> logique_;
  TAboutBox* about_ = nullptr;
  QPointer<TMiseAJourRomDlg> miseAJourRom_;
  bool sablier_ = false;
  bool fermee_ = false;
  QString fichierTrace_;
};
