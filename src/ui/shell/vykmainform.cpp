#include "ui/shell/vykmainform.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <algorithm>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QCheckBox>

#include "core/shell/textes.h"
#include "platform/settings/registre.h"
#include "ui/shell/apropos.h"
#include "ui/display/oscillo.h"
#include "ui/shell/filtre_application.h"
#include "ui/shell/miseajourrom.h"
#include "ui/shell/polices.h"

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

void nomme(QWidget* w, const QString& nom, const QString& description) {
  w->setAccessibleName(nom);
  w->setAccessibleDescription(description);
}

// "court|long": tool tip, caption text while hovered, accessible description.
void indice(QWidget* w, const QString& hint) {
  const std::string h = hint.toStdString();
  w->setToolTip(q(indiceCourt(h)));
  w->setStatusTip(q(indiceLong(h)));
}

QGroupBox* groupe(const QString& titre, const QString& nom, const QString& description,
                  QWidget* parent) {
  auto* g = new QGroupBox(titre, parent);
  g->setObjectName(nom);
  nomme(g, titre.isEmpty() ? nom : titre, description);
  return g;
}

// The elapsed-time display: "Courier New" 32 pixels high from the top of the
// accents to the bottom of the descenders, so that "00:00:00" fits PanelMode.
QFont policeDuree() {
  QFont f("Courier New");
  f.setPixelSize(32);
  const int hauteur = QFontMetrics(f).height();
  if (hauteur > 32) f.setPixelSize(std::max(1, 32 * 32 / hauteur));
  return f;
}

}  // namespace

TVYKmainForm::TVYKmainForm(IPortSerie& port, IHorloge& horloge, const EnvironnementFenetre& env,
                           QWidget* parent)
    : QMainWindow(parent), env_(env) {
  installePolices();
  setObjectName("VYKmainForm");
  nomme(this, "Fenêtre principale VYK2", "Acquisition par Brixo VYK II pour Tavelmor");
  fichierTrace_ = qEnvironmentVariable("VYK2_TRACE");

  liaison_ = std::make_unique<TLiaison>(port, horloge, *this);
  liaison_->dossierProgramme = QFileInfo(q(env.cheminProgramme)).absolutePath().toStdString();
  liaison_->arreteTimerAcquisition = [this] { timerAcquisition(false); };
  logique_ = std::make_unique<TLogiqueFenetre>(*this, *liaison_);
  logique_->repertoireDonnees = env.repertoireDonnees;
  logique_->repertoireConfig = env.repertoireConfig;
  logique_->cheminProgramme = env.cheminProgramme;
  logique_->fichierLigneCommande = env.fichierLigneCommande;
  logique_->FichierCHM =
      QFileInfo(QFileInfo(q(env.cheminProgramme)).absolutePath() + "/" +
                QFileInfo(q(env.cheminProgramme)).completeBaseName() + ".CHM")
          .isFile();

  Timer = new QTimer(this);
  Timer->setObjectName("Timer");
  TimerTop = new QTimer(this);
  TimerTop->setObjectName("TimerTop");

  construitMenus();
  construitBarreOutils();

  auto* central = new QWidget(this);
  central->setObjectName("central");
  auto* v = new QVBoxLayout(central);
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(0);

  DeconnecteP = new QFrame(central);
  DeconnecteP->setObjectName("DeconnecteP");
  nomme(DeconnecteP, "Enregistrement longue durée", "Enregistrement laissé dans l'interface");
  auto* hd = new QHBoxLayout(DeconnecteP);
  auto* arretLongue = new QPushButton("Arrêt de l'enregistrement longue durée en cours", DeconnecteP);
  arretLongue->setObjectName("ArretDeconnecteBtn");
  nomme(arretLongue, "Arrêt de l'enregistrement longue durée en cours",
        "Arrête l'enregistrement laissé dans l'interface");
  hd->addWidget(arretLongue);
  hd->addStretch();
  DeconnecteP->hide();
  v->addWidget(DeconnecteP);

  PanelSA = groupe("Calcul de la valeur de la sortie analogique", "PanelSA",
                   "Valeur calculée de la sortie analogique", central);
  PanelSA->setMinimumHeight(40);
  PanelSA->hide();
  v->addWidget(PanelSA);

  Gauge = new QProgressBar(central);
  Gauge->setObjectName("Gauge");
  nomme(Gauge, "Progression", "Progression de l'acquisition");
  Gauge->setRange(0, 256);
  Gauge->setValue(0);
  Gauge->setTextVisible(false);
  Gauge->setMaximumHeight(12);
  Gauge->hide();
  v->addWidget(Gauge);

  auto* corps = new QHBoxLayout;
  corps->setContentsMargins(0, 0, 0, 0);
  corps->setSpacing(2);
  corps->addWidget(construitPanelOscillo(), 1);
  corps->addWidget(construitPanelMode());
  corps->addWidget(construitPanelVoies());
  v->addLayout(corps, 1);
  setCentralWidget(central);

  auto* barre = statusBar();
  barre->setObjectName("Header");
  nomme(barre, "Barre d'état", "Etat de l'interface et message secondaire");
  barre->setSizeGripEnabled(true);
  const int largeurs[2] = {320, 50};
  const char* noms[2] = {"Etat", "Message"};
  const char* descriptions[2] = {"Etat principal du programme", "Message court secondaire"};
  for (int i = 0; i < 2; ++i) {
    Header[i] = new QLabel(barre);
    Header[i]->setObjectName(QString("Header%1").arg(i));
    Header[i]->setFixedWidth(largeurs[i]);
    Header[i]->setFrameShape(QFrame::Panel);
    Header[i]->setFrameShadow(QFrame::Sunken);
    nomme(Header[i], noms[i], descriptions[i]);
    barre->addWidget(Header[i]);
  }

  resize(1072, 829);
  setMinimumSize(550, 380);
  if (QScreen* s = screen()) {
    const QRect dispo = s->availableGeometry();
    move(dispo.center() - rect().center());
  }

  qApp->installEventFilter(new TFiltreApplication(*logique_, this));

  {
    const auto utilisateur = TRegistre::cleUtilisateur();
    const auto machine = TRegistre::cleMachine(false);
    logique_->FormCreate(*utilisateur, machine.get());
  }
  QFont f = font();
  f.setPointSize(taillePolice(hauteurNonClient()));
  setFont(f);
}

TVYKmainForm::~TVYKmainForm() = default;

void TVYKmainForm::construitMenus() {
  auto ajoute = [this](QMenu* m, const QString& texte, const QString& description) {
    QAction* a = m->addAction(texte);
    a->setObjectName(texte);
    a->setStatusTip(description);
    a->setToolTip(description);
    actions[texte] = a;
    return a;
  };
  FileMenu = new QMenu("Fichier", this);
  FileMenu->setObjectName("FileMenu");
  nomme(FileMenu, "Menu Fichier", "Configurations, fichiers capteurs, données");
  ajoute(FileMenu, "Ouvrir config.", "Ouvrir une configuration");
  ajoute(FileMenu, "Enregistrer Config.", "Enregistrer la configuration");
  ajoute(FileMenu, "Config. actuelle = par défaut", "La configuration actuelle devient celle par défaut");
  FileMenu->addSeparator();
  ajoute(FileMenu, "Fichier capteurs", "Liste des capteurs");
  // Never shown again once hidden at start.
  ajoute(FileMenu, "Fichier capteurs DB15", "Liste des capteurs DB15")->setVisible(false);
  FileMenu->addSeparator();
  ajoute(FileMenu, "Enregistrer données", "Enregistrer les données");
  ajoute(FileMenu, "Copier données", "Copier les données dans le presse-papiers");
  ajoute(FileMenu, "Sauver données (XML)", "Enregistrer les données au format XML");
  FileMenu->addSeparator();
  connect(ajoute(FileMenu, "Quitter", "Quitter le programme"), &QAction::triggered, this,
          [this] { logique_->Quitter(); });

  Menu = new QMenu("...", this);
  Menu->setObjectName("Menu");
  nomme(Menu, "Menu accessoires", "Accessoires et modes spéciaux");
  ajoute(Menu, "Sortie PWM", "Sortie PWM");
  ajoute(Menu, "KB 71-2", "Générateur externe KB 71-2");
  ajoute(Menu, "GTBF sur SA0 ou SA1", "Générateur très basse fréquence");
  connect(ajoute(Menu, "RàZ Brixo VYK2", "Remise à zéro de l'interface"), &QAction::triggered,
          this, [this] { liaison_->razBrixo(); });
  ajoute(Menu, "Mode &déconnecté", "Enregistrement longue durée dans l'interface");
  ajoute(Menu, "Nerf", "Stimulation nerveuse");
  ajoute(Menu, "Phase/Valeur eff.", "Phase et valeur efficace");
  ajoute(Menu, "Phase TBF", "Phase en très basse fréquence");

  GraphePopupMenu = new QMenu(this);
  GraphePopupMenu->setObjectName("GraphePopupMenu");
  nomme(GraphePopupMenu, "Menu du graphe", "Affichage, copie et impression du graphe");
  QAction* graphe = ajoute(GraphePopupMenu, "&Graphe plein écran", "Graphe plein écran");
  graphe->setShortcut(QKeySequence(Qt::Key_F5));
  connect(graphe, &QAction::triggered, this,
          [this] { logique_->FormKeyDown(TLogiqueFenetre::Touche::F5); });
  QAction* volt = ajoute(GraphePopupMenu, "&Voltmètre plein écran", "Voltmètre plein écran");
  volt->setShortcut(QKeySequence(Qt::Key_F6));
  connect(volt, &QAction::triggered, this,
          [this] { logique_->FormKeyDown(TLogiqueFenetre::Touche::F6); });
  ajoute(GraphePopupMenu, "Copier graphe", "Copier le graphe dans le presse-papiers");
  ajoute(GraphePopupMenu, "Imprimer", "Imprimer le graphe");
}

void TVYKmainForm::construitBarreOutils() {
  ToolBar1 = new QToolBar("Barre d'outils", this);
  ToolBar1->setObjectName("ToolBar1");
  nomme(ToolBar1, "Barre d'outils", "Commandes principales");
  ToolBar1->setMovable(false);
  ToolBar1->setFloatable(false);
  ToolBar1->setIconSize(QSize(20, 20));
  ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  ToolBar1->setFixedHeight(48);
  ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
  addToolBar(Qt::TopToolBarArea, ToolBar1);

  auto bouton = [this](const QString& texte, QStyle::StandardPixmap image, const QString& nom,
                       const QString& hint) {
    QAction* a = ToolBar1->addAction(style()->standardIcon(image), texte);
    a->setObjectName(nom);
    QWidget* w = ToolBar1->widgetForAction(a);
    w->setObjectName(nom);
    w->setFocusPolicy(Qt::TabFocus);
    const QString accessible = texte.trimmed();
    indice(w, hint);
    nomme(w, accessible, q(indiceLong(hint.toStdString())));
    a->setToolTip(q(indiceCourt(hint.toStdString())));
    a->setStatusTip(q(indiceLong(hint.toStdString())));
    return a;
  };
  FichierBtn = bouton("Fichier", QStyle::SP_DirOpenIcon, "FichierBtn",
                      "Fichier|Configurations, capteurs et données");
  FichierBtn->setMenu(FileMenu);
  TavelmorBtn = bouton("Tavelmor", QStyle::SP_ArrowRight, "TavelmorBtn",
                       "Tavelmor|Envoyer les données à Tavelmor");
  TavelmorBtn->setEnabled(false);
  AcquisitionBtn = bouton(" Acquisition ", QStyle::SP_MediaPlay, "AcquisitionBtn",
                          "Acquisition|Lancer l'acquisition (barre d'espace)");
  StopBtn = bouton("Stop", QStyle::SP_MediaStop, "StopBtn", "Stop|Arrêter l'acquisition");
  RazBtn = bouton("RàZ", QStyle::SP_BrowserReload, "RazBtn", "RàZ|Effacer l'acquisition");
  RazBtn->setVisible(false);
  RepereBtn = bouton("Repère", QStyle::SP_FileDialogDetailedView, "RepereBtn",
                     "Repère|Poser des repères sur le graphe");
  DefaireBtn = bouton("Défaire", QStyle::SP_ArrowBack, "DefaireBtn", "Défaire|Annuler");
  DefaireBtn->setVisible(false);
  FourierBtn = bouton("Fourier", QStyle::SP_FileDialogContentsView, "FourierBtn",
                      "Fourier|Afficher le spectre");
  FourierBtn->setCheckable(true);
  connect(FourierBtn, &QAction::toggled, this, [this](bool on) { FFTPaintBox->setVisible(on); });
  ReconBtn = bouton("Recon.", QStyle::SP_DriveHDIcon, "ReconBtn",
                    "Recon.|Reconnaissance des capteurs DB15");
  ReconBtn->setVisible(false);  // until an interface that permits it is found
  OptionsBtn = bouton("Options", QStyle::SP_FileDialogListView, "OptionsBtn",
                      "Options|Options des voies et de l'interface");
  MenuBtn = bouton("...", QStyle::SP_ToolBarHorizontalExtensionButton, "MenuBtn",
                   "...|Accessoires et modes spéciaux");
  MenuBtn->setIconText("...");  // the default icon text drops a trailing ellipsis
  MenuBtn->setMenu(Menu);
  AideBtn = bouton("Aide", QStyle::SP_DialogHelpButton, "AideBtn", "Aide|Aide de VYK2");
  AproposBtn = bouton("A propos", QStyle::SP_MessageBoxInformation, "AproposBtn",
                      "A propos|Version du programme et de l'interface");
  for (QAction* a : {FichierBtn, MenuBtn})
    if (auto* b = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(a)))
      b->setPopupMode(QToolButton::InstantPopup);
  connect(AideBtn, &QAction::triggered, this, [this] { logique_->Aide(); });
  connect(AproposBtn, &QAction::triggered, this, [this] { logique_->APropos(""); });
}

QWidget* TVYKmainForm::construitPanelOscillo() {
  PanelOscillo = new QFrame;
  PanelOscillo->setObjectName("PanelOscillo");
  nomme(PanelOscillo, "Graphe", "Graphe, spectre et choix de l'abscisse");
  auto* v = new QVBoxLayout(PanelOscillo);
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(0);

  SplitterFFT = new QSplitter(Qt::Vertical, PanelOscillo);
  SplitterFFT->setObjectName("SplitterFFT");
  nomme(SplitterFFT, "Séparation graphe spectre", "Partage la hauteur entre graphe et spectre");
  Oscillo = new TOscillo(SplitterFFT);
  Oscillo->setObjectName("Oscillo");
  nomme(Oscillo, "Oscillo", "Graphe de l'acquisition");
  Oscillo->setFrameShape(QFrame::StyledPanel);
  Oscillo->setAutoFillBackground(true);
  QPalette p = Oscillo->palette();
  p.setColor(QPalette::Window, Qt::white);
  Oscillo->setPalette(p);
  Oscillo->setFocusPolicy(Qt::StrongFocus);
  Oscillo->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(Oscillo, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { GraphePopupMenu->popup(Oscillo->mapToGlobal(pos)); });
  construitBrixoAbsent(Oscillo);

  FFTPaintBox = new QFrame(SplitterFFT);
  FFTPaintBox->setObjectName("FFTPaintBox");
  nomme(FFTPaintBox, "Spectre", "Spectre de Fourier");
  FFTPaintBox->setFrameShape(QFrame::StyledPanel);
  FFTPaintBox->setAutoFillBackground(true);
  FFTPaintBox->setPalette(p);
  FFTPaintBox->hide();
  QFont calibri("Calibri");
  Oscillo->setFont(calibri);
  FFTPaintBox->setFont(calibri);
  v->addWidget(SplitterFFT, 1);

  PanelAbscisse = new QFrame(PanelOscillo);
  PanelAbscisse->setObjectName("PanelAbscisse");
  nomme(PanelAbscisse, "Abscisse", "Choix de la grandeur en abscisse");
  auto* h = new QHBoxLayout(PanelAbscisse);
  h->setContentsMargins(4, 2, 4, 2);
  auto* titre = new QLabel("Abscisse", PanelAbscisse);
  nomme(titre, "Abscisse", "Grandeur en abscisse");
  h->addWidget(titre);
  // Captions in the order of the bar, with the slot each one selects.
  const std::pair<const char*, int> boutons[] = {{"t", 1},       {"clavier", 3}, {"F", 5},
                                                 {"Voie 1", 7},  {"Voie 2", 8},  {"Voie 0", 6},
                                                 {"Voie 3", 9},  {"Voie 4", 10}};
  for (const auto& [texte, tag] : boutons) {
    auto* b = new QPushButton(texte, PanelAbscisse);
    b->setObjectName(QString("AbscisseBtn%1").arg(tag));
    b->setProperty("Tag", tag);
    b->setCheckable(true);
    b->setAutoExclusive(true);
    nomme(b, QString("Abscisse ") + texte, QString("Prendre ") + texte + " en abscisse");
    b->setToolTip(QString("Abscisse ") + texte);
    h->addWidget(b);
    AbscisseBtn[tag] = b;
  }
  AbscisseBtn[1]->setChecked(true);
  h->addStretch();
  v->addWidget(PanelAbscisse);
  return PanelOscillo;
}

void TVYKmainForm::construitBrixoAbsent(QWidget* parent) {
  auto* grille = new QGridLayout(parent);
  BrixoAbsent = new QFrame(parent);
  BrixoAbsent->setObjectName("BrixoAbsent");
  nomme(BrixoAbsent, "Brixo VYK/PUX II non connectée", "Aucune interface trouvée");
  BrixoAbsent->setStyleSheet(
      "#BrixoAbsent { border: 3px solid red; background: #fff4f4; }");
  auto* v = new QVBoxLayout(BrixoAbsent);
  v->setContentsMargins(16, 12, 16, 12);
  auto* titre = new QLabel("Brixo VYK/PUX II non connectée", BrixoAbsent);
  titre->setObjectName("BrixoAbsentTexte");
  QFont f = titre->font();
  f.setBold(true);
  f.setPointSize(f.pointSize() + 4);
  titre->setFont(f);
  titre->setStyleSheet("color: red;");
  titre->setAlignment(Qt::AlignCenter);
  nomme(titre, "Brixo VYK/PUX II non connectée", "Aucune interface trouvée");
  VerifierBtn = new QPushButton("Vérifier puis cliquer ici", BrixoAbsent);
  VerifierBtn->setObjectName("VerifierBtn");
  indice(VerifierBtn, "Test VYK II|Recherche Brixo VYK II sur Comi");
  nomme(VerifierBtn, "Vérifier puis cliquer ici", "Recherche Brixo VYK II sur Comi");
  AbandonBtn = new QPushButton("Abandon", BrixoAbsent);
  AbandonBtn->setObjectName("AbandonBtn");
  nomme(AbandonBtn, "Abandon", "Quitter le programme");
  auto* conseil = new QLabel("Eteindre Brixo pendant 5 s puis rallumer", BrixoAbsent);
  conseil->setObjectName("BrixoAbsentConseil");
  conseil->setAlignment(Qt::AlignCenter);
  nomme(conseil, "Eteindre Brixo pendant 5 s puis rallumer", "Conseil");
  v->addWidget(titre);
  v->addWidget(VerifierBtn);
  v->addWidget(AbandonBtn);
  v->addWidget(conseil);
  grille->addWidget(BrixoAbsent, 0, 0, Qt::AlignCenter);
  BrixoAbsent->hide();
  connect(VerifierBtn, &QPushButton::clicked, this, [this] { liaison_->detecteInterface(); });
  // Ends the program at once: no closing sequence, nothing is running.
  connect(AbandonBtn, &QPushButton::clicked, this, [] { QCoreApplication::exit(0); });
}

QWidget* TVYKmainForm::construitPanelMode() {
  PanelMode = new QFrame;
  PanelMode->setObjectName("PanelMode");
  nomme(PanelMode, "Réglages de l'acquisition", "Mode, déclenchement et balayage");
  PanelMode->setFixedWidth(150);
  auto* v = new QVBoxLayout(PanelMode);
  v->setContentsMargins(2, 2, 2, 2);
  v->setSpacing(2);
  DureeLabel = new QLabel("00:00:00", PanelMode);
  DureeLabel->setObjectName("DureeLabel");
  nomme(DureeLabel, "Durée écoulée", "Temps écoulé depuis le début de l'acquisition");
  DureeLabel->setFont(policeDuree());
  DureeLabel->setAlignment(Qt::AlignCenter);
  DureeLabel->setStyleSheet("color: red; background: black;");
  v->addWidget(DureeLabel);

  struct G { const char* titre; const char* nom; const char* description; bool visible; };
  const G groupes[] = {
      {"Mode d'acquisition", "ModeGB", "Choix du mode d'acquisition", true},
      {"Point par point", "PointGB", "Réglages de l'acquisition point par point", false},
      {"Déclenchement", "SynchroGB", "Réglages du déclenchement", true},
      {"Balayage", "BalayageGB", "Durée, nombre de points, période et fréquence", true},
      {"Balayage", "BalayageCardiaqueGB", "Durée du balayage cardiaque", false},
      {"Fourche optique", "PivaneGB", "Réglages de la fourche optique", false},
      {"Sortie analogique", "SortieAnaModeGB", "Réglages de la sortie analogique", false},
      {"Options FFT", "FFTGB", "Réglages du spectre", false},
  };
  for (const auto& g : groupes) {
    QGroupBox* b = groupe(g.titre, g.nom, g.description, PanelMode);
    auto* l = new QVBoxLayout(b);
    l->setContentsMargins(4, 4, 4, 4);
    if (QString(g.nom) == "SynchroGB") {
      auto* mono = new QCheckBox("Monocoup", b);
      mono->setObjectName("MonocoupCB");
      nomme(mono, "Monocoup", "Une seule acquisition par déclenchement");
      auto* aide = new QPushButton("?", b);
      aide->setObjectName("AideSeuilBtn");
      aide->setFixedWidth(24);
      nomme(aide, "Aide déclenchement sur seuil", "Explique le déclenchement sur seuil");
      aide->setToolTip("Aide déclenchement sur seuil");
      auto* h = new QHBoxLayout;
      h->addWidget(mono);
      h->addStretch();
      h->addWidget(aide);
      l->addLayout(h);
    } else {
      b->setMinimumHeight(44);
    }
    b->setVisible(g.visible);
    v->addWidget(b);
  }
  v->addStretch();
  return PanelMode;
}

QWidget* TVYKmainForm::construitPanelVoies() {
  PanelVoies = new QFrame;
  PanelVoies->setObjectName("PanelVoies");
  nomme(PanelVoies, "Voies", "Valeur actuelle de chaque voie");
  PanelVoies->setFixedWidth(160);
  auto* v = new QVBoxLayout(PanelVoies);
  v->setContentsMargins(2, 2, 2, 2);
  v->setSpacing(2);
  QFont valeur("Courier New");
  valeur.setPixelSize(16);
  valeur.setBold(true);

  // Tag: the slot of the acquisition set the box shows (0: no slot).
  struct B { const char* titre; const char* nom; int tag; bool visible; };
  const B boites[] = {
      {"Codeur", "CodeurGB", 0, false},
      {"Ultrasons", "BrulonGB", 12, false},
      {"Fréquence", "FrequenceGB", 5, false},
      {"Fourche optique", "PivaneVoieGB", 4, false},
      {"Sorties relais", "RelaisGB", 0, false},
      {"Sortie analogique", "SortieAnaGB", 2, false},
      {"Voie calculée", "voieCalcGB", 11, false},
      {"Clavier", "ClavierGB", 3, false},
      {"Voie 0", "GBvoie6", 6, true},
      {"Voie 1", "GBvoie7", 7, true},
      {"Voie 2", "GBvoie8", 8, true},
      {"Voie 3", "GBvoie9", 9, true},
      {"Voie 4", "GBvoie10", 10, true},
  };
  for (const auto& b : boites) {
    QGroupBox* g = groupe(b.titre, b.nom, QString("Valeur actuelle : ") + b.titre, PanelVoies);
    g->setProperty("Tag", b.tag);
    g->setStyleSheet(QString("#%1 { background: #1f3a5a; color: white; border: 1px solid #0b1a2b;"
                             " margin-top: 0px; padding-top: 16px; }"
                             " #%1::title { subcontrol-origin: padding; subcontrol-position: top left;"
                             " left: 4px; top: 2px; color: white; }")
                         .arg(b.nom));
    auto* l = new QVBoxLayout(g);
    l->setContentsMargins(4, 2, 4, 2);
    if (QString(b.nom) == "RelaisGB") {
      auto* h = new QHBoxLayout;
      for (const char* sb : {"SB0", "SB1"}) {
        auto* t = new QPushButton(sb, g);
        t->setObjectName(QString(sb) + "Btn");
        t->setCheckable(true);
        nomme(t, QString("Relais ") + sb, QString("Bascule la sortie relais ") + sb);
        h->addWidget(t);
      }
      l->addLayout(h);
    } else {
      auto* lab = new QLabel(g);
      lab->setObjectName(QString("LabelVoie%1").arg(b.tag));
      lab->setFont(valeur);
      lab->setStyleSheet("color: white;");
      lab->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      lab->setMinimumHeight(20);
      nomme(lab, QString("Valeur ") + b.titre, QString("Valeur actuelle de ") + b.titre);
      l->addWidget(lab);
      if (b.tag > 1) LabelVoie[b.tag] = lab;
    }
    if (b.tag > 1) GBvoie[b.tag] = g;
    g->setVisible(b.visible);
    v->addWidget(g);
  }
  v->addStretch();
  return PanelVoies;
}

// --- activation, hooks, closing ---

void TVYKmainForm::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (logique_->premiereFois) QTimer::singleShot(0, this, [this] { activation(); });
}

void TVYKmainForm::activation() {
  if (fermee_) return;
  const auto utilisateur = TRegistre::cleUtilisateur();
  logique_->FormActivate(*utilisateur);
}

bool TVYKmainForm::event(QEvent* e) {
  switch (e->type()) {
    case QEvent::StatusTip:
      logique_->ShowHint(static_cast<QStatusTipEvent*>(e)->tip().toStdString());
      return true;
    case QEvent::WindowActivate:
      logique_->ActivateApp();
      if (!logique_->premiereFois) activation();
      break;
    default:
      break;
  }
  return QMainWindow::event(e);
}

void TVYKmainForm::closeEvent(QCloseEvent* e) {
  if (!fermee_) {
    fermee_ = true;
    Timer->stop();
    TimerTop->stop();
    const auto utilisateur = TRegistre::cleUtilisateur();
    const auto machine = TRegistre::cleMachine(true);
    logique_->FormClose(*utilisateur, machine.get());
  }
  e->accept();
}

void TVYKmainForm::amenePremierPlan() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
  trace("premier plan");
}

void TVYKmainForm::trace(const QString& ligne) {
  if (fichierTrace_.isEmpty()) return;
  QFile f(fichierTrace_);
  if (f.open(QIODevice::Append | QIODevice::Text)) f.write((ligne + "\n").toUtf8());
}

// --- IVueLiaison ---

void TVYKmainForm::afficheStatut(int panneau, const std::string& texte) {
  if (panneau < 0 || panneau > 1) return;
  Header[panneau]->setText(q(texte));
  Header[panneau]->setAccessibleDescription(q(texte));
  trace(QString("statut %1: ").arg(panneau) + q(texte));
}

void TVYKmainForm::afficheBrixoAbsent(bool visible) {
  BrixoAbsent->setVisible(visible);
  if (auto* o = qobject_cast<TOscillo*>(Oscillo)) o->setPresent(!visible);
  if (visible) VerifierBtn->setFocus();
  trace(visible ? "BrixoAbsent: visible" : "BrixoAbsent: caché");
}

void TVYKmainForm::curseurSablier(bool actif) {
  if (actif == sablier_) return;
  sablier_ = actif;
  if (actif) QApplication::setOverrideCursor(Qt::WaitCursor);
  else QApplication::restoreOverrideCursor();
}

void TVYKmainForm::messageErreur(const std::string& texte) {
  const bool sablier = sablier_;
  curseurSablier(false);
  QMessageBox::critical(this, "Erreur", q(texte));
  curseurSablier(sablier);
}

bool TVYKmainForm::questionOuiNon(const std::string& texte) {
  const bool sablier = sablier_;
  curseurSablier(false);
  const auto r = QMessageBox::question(this, "Confirmation", q(texte),
                                       QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
  curseurSablier(sablier);
  return r == QMessageBox::Yes;
}

IVueLiaison::ReponseRappel TVYKmainForm::rappelMiseAJourRom(const std::string& texte) {
  const bool sablier = sablier_;
  curseurSablier(false);
  QMessageBox m(QMessageBox::Information, "Dialogue", q(texte), QMessageBox::NoButton, this);
  QPushButton* ok = m.addButton("OK", QMessageBox::AcceptRole);
  QPushButton* plus = m.addButton("Ne plus reposer la question", QMessageBox::RejectRole);
  nomme(ok, "OK", "Faire la mise à jour plus tard");
  nomme(plus, "Ne plus reposer la question", "Ne plus rappeler la mise à jour");
  m.setDefaultButton(ok);
  m.exec();
  curseurSablier(sablier);
  return m.clickedButton() == plus ? ReponseRappel::nePlusReposer : ReponseRappel::ok;
}

void TVYKmainForm::commandesSansInterface() {
  RazBtn->setVisible(false);
  StopBtn->setVisible(false);
  AcquisitionBtn->setVisible(true);
  AcquisitionBtn->setEnabled(false);
  DefaireBtn->setEnabled(false);
  TavelmorBtn->setEnabled(false);
  for (const char* item : {"Imprimer", "Copier graphe", "Copier données"})
    actions[item]->setEnabled(false);
}

void TVYKmainForm::boutonReconVisible(bool visible) { ReconBtn->setVisible(visible); }

void TVYKmainForm::chargeConfigurationEnAttente() { logique_->chargeConfigurationEnAttente(); }

void TVYKmainForm::ouvreMiseAJourRom() {
  if (!miseAJourRom_) miseAJourRom_ = new TMiseAJourRomDlg(this);
  miseAJourRom_->show();
}

void TVYKmainForm::progressionMiseAJourRom(int valeur) {
  if (miseAJourRom_) miseAJourRom_->progression(valeur);
}

void TVYKmainForm::messageMiseAJourRom(const std::string& ligne1, const std::string& ligne2) {
  if (miseAJourRom_) miseAJourRom_->message(q(ligne1), q(ligne2));
}

bool TVYKmainForm::arretMiseAJourDemande() {
  return miseAJourRom_ && miseAJourRom_->arretDemande();
}

void TVYKmainForm::fermeMiseAJourRom() {
  if (miseAJourRom_) miseAJourRom_->deleteLater();
}

// --- IVueFenetre ---

void TVYKmainForm::afficheLegende(const std::string& texte) { setWindowTitle(q(texte)); }

int TVYKmainForm::hauteurNonClient() { return frameGeometry().height() - geometry().height(); }

void TVYKmainForm::fixePolicePanelMode(int points) {
  QFont f = PanelMode->font();
  if (f.pointSize() == points) return;
  f.setPointSize(points);
  PanelMode->setFont(f);
  // The elapsed-time display keeps its own size.
  DureeLabel->setFont(policeDuree());
}

PlacementFenetre TVYKmainForm::placement() {
  PlacementFenetre p;
  p.etat = isMaximized() ? 2 : isMinimized() ? 1 : 0;
  const QRect g = isMaximized() || isMinimized() ? normalGeometry() : frameGeometry();
  p.hauteur = g.height();
  p.largeur = g.width();
  p.haut = g.top();
  p.gauche = g.left();
  return p;
}

void TVYKmainForm::restaurePlacement(const PlacementFenetre& p) {
  QRect g(p.gauche, p.haut, std::max(p.largeur, minimumWidth()),
          std::max(p.hauteur, minimumHeight()));
  // A placement saved on a screen that is gone would leave the window out of
  // reach: keep it on the screen where it now is.
  if (QScreen* s = screen()) {
    const QRect dispo = s->availableGeometry();
    g.setSize(g.size().boundedTo(dispo.size()).expandedTo(minimumSize()));
    if (!dispo.intersects(g)) g.moveCenter(dispo.center());
  }
  if (g != frameGeometry()) {
    resize(g.size() - (frameGeometry().size() - size()));
    move(g.topLeft());
  }
  // A window that was minimised at close still opens where it can be seen.
  if (p.etat == 2) showMaximized();
}

void TVYKmainForm::boutonRazVisible(bool visible) { RazBtn->setVisible(visible); }

void TVYKmainForm::curseurNormal() { curseurSablier(false); }

void TVYKmainForm::timerAcquisition(bool actif) {
  if (actif) Timer->start();
  else Timer->stop();
}

bool TVYKmainForm::timerAcquisitionActif() { return Timer->isActive(); }

void TVYKmainForm::afficheAPropos(const std::string& ligneInterface) {
  if (!about_) about_ = new TAboutBox(this);
  about_->fixeInterface(q(ligneInterface));
  about_->exec();
}

void TVYKmainForm::ouvreAide() {
  const QFileInfo programme(q(env_.cheminProgramme));
  const QString chm = programme.absolutePath() + "/" + programme.completeBaseName() + ".CHM";
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(chm))) messageErreur(texte::aideAbsente);
}

void TVYKmainForm::fermeFenetre() { close(); }
