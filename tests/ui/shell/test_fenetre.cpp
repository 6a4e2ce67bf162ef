#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <cstdlib>
#include <memory>

#include "sim/emulator/emulateur.h"
#include "sim/transport/horloge_simulee.h"
#include "sim/transport/port_emule.h"
#include "ui/shell/apropos.h"
#include "ui/shell/services_bureau.h"
#include "ui/shell/vykmainform.h"

namespace {

// One QApplication, and settings folders that are never the real ones.
class EnvironnementQt : public ::testing::Environment {
 public:
  void SetUp() override {
    dossier_ = std::make_unique<QTemporaryDir>();
    setenv("XDG_CONFIG_HOME", (dossier_->path() + "/config").toUtf8().constData(), 1);
    setenv("XDG_CONFIG_DIRS", (dossier_->path() + "/xdg").toUtf8().constData(), 1);
    static int argc = 1;
    static char nom[] = "test_ui_shell";
    static char* argv[] = {nom, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override {
    app_.reset();
    dossier_.reset();
  }

 private:
  std::unique_ptr<QTemporaryDir> dossier_;
  std::unique_ptr<QApplication> app_;
};
const auto* const environnement = ::testing::AddGlobalTestEnvironment(new EnvironnementQt);

class Fenetre : public ::testing::Test {
 protected:
  Fenetre() : port(horloge) {
    env.repertoireDonnees = (tmp.path() + "/docs/Tavelmor/").toStdString();
    env.repertoireConfig = (tmp.path() + "/config/Tavelmor/").toStdString();
    env.cheminProgramme = (tmp.path() + "/bin/vyk2").toStdString();
    emulateur.setJournal([this](double, const std::string& l) { journal.push_back(l); });
    QFile::remove(QString::fromStdString(TRegistreFichier()));
  }
  static std::string TRegistreFichier() {
    return std::string(std::getenv("XDG_CONFIG_HOME")) + "/VYK2/vyk2.ini";
  }
  // Shows the window and lets its first activation run.
  void ouvre() {
    w = std::make_unique<TVYKmainForm>(port, horloge, env);
    w->show();
    for (int i = 0; i < 200 && w->logique().premiereFois; ++i)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_FALSE(w->logique().premiereFois);
  }
  QString statut() const { return w->Header[0]->text(); }
  QToolButton* bouton(QAction* a) const {
    return qobject_cast<QToolButton*>(w->ToolBar1->widgetForAction(a));
  }

  QTemporaryDir tmp;
  sim::HorlogeSimulee horloge;
  sim::PortEmule port;
  sim::Emulateur emulateur;
  std::vector<std::string> journal;
  EnvironnementFenetre env;
  std::unique_ptr<TVYKmainForm> w;
};

TEST_F(Fenetre, BarreDOutilsEtMenus) {
  ouvre();
  QStringList textes;
  for (QAction* a : w->ToolBar1->actions()) textes << a->text();
  EXPECT_EQ(textes, (QStringList{"Fichier", "Tavelmor", " Acquisition ", "Stop", "RàZ", "Repère",
                                 "Défaire", "Fourier", "Recon.", "Options", "...", "Aide",
                                 "A propos"}));
  EXPECT_FALSE(w->TavelmorBtn->isEnabled());
  EXPECT_FALSE(w->RazBtn->isVisible());
  EXPECT_FALSE(w->DefaireBtn->isVisible());
  EXPECT_TRUE(w->FourierBtn->isCheckable());
  EXPECT_EQ(w->ToolBar1->height(), 48);
  EXPECT_EQ(w->ToolBar1->iconSize(), QSize(20, 20));
  EXPECT_EQ(w->FichierBtn->menu(), w->FileMenu);
  EXPECT_EQ(w->MenuBtn->menu(), w->Menu);

  auto items = [](QMenu* m) {
    QStringList l;
    for (QAction* a : m->actions()) l << (a->isSeparator() ? "-" : a->text());
    return l;
  };
  EXPECT_EQ(items(w->FileMenu),
            (QStringList{"Ouvrir config.", "Enregistrer Config.", "Config. actuelle = par défaut",
                         "-", "Fichier capteurs", "Fichier capteurs DB15", "-",
                         "Enregistrer données", "Copier données", "Sauver données (XML)", "-",
                         "Quitter"}));
  EXPECT_FALSE(w->actions.at("Fichier capteurs DB15")->isVisible());
  EXPECT_EQ(items(w->Menu),
            (QStringList{"Sortie PWM", "KB 71-2", "GTBF sur SA0 ou SA1", "RàZ Brixo VYK2",
                         "Mode &déconnecté", "Nerf", "Phase/Valeur eff.", "Phase TBF"}));
  EXPECT_EQ(items(w->GraphePopupMenu), (QStringList{"&Graphe plein écran", "&Voltmètre plein écran",
                                                    "Copier graphe", "Imprimer"}));
  EXPECT_EQ(w->actions.at("&Graphe plein écran")->shortcut(), QKeySequence(Qt::Key_F5));
  EXPECT_EQ(w->actions.at("&Voltmètre plein écran")->shortcut(), QKeySequence(Qt::Key_F6));
}

TEST_F(Fenetre, DispositionEtTextes) {
  ouvre();
  EXPECT_EQ(w->minimumSize(), QSize(550, 380));
  EXPECT_EQ(w->PanelMode->width(), 150);
  EXPECT_EQ(w->PanelVoies->width(), 160);
  EXPECT_EQ(w->Header[0]->width(), 320);
  EXPECT_EQ(w->Header[1]->width(), 50);
  EXPECT_EQ(w->DureeLabel->text(), "00:00:00");
  EXPECT_EQ(QFontInfo(w->DureeLabel->font()).family(), "Liberation Mono");
  EXPECT_EQ(QFontInfo(w->Oscillo->font()).family(), "Carlito");
  EXPECT_EQ(w->Gauge->maximum(), 256);
  EXPECT_FALSE(w->Gauge->isVisible());
  EXPECT_FALSE(w->DeconnecteP->isVisible());
  EXPECT_FALSE(w->PanelSA->isVisible());
  EXPECT_FALSE(w->FFTPaintBox->isVisible());
  EXPECT_FALSE(w->Timer->isActive());
  EXPECT_FALSE(w->TimerTop->isActive());

  QStringList groupes;
  for (auto* g : w->PanelMode->findChildren<QGroupBox*>()) groupes << g->title();
  EXPECT_EQ(groupes, (QStringList{"Mode d'acquisition", "Point par point", "Déclenchement",
                                  "Balayage", "Balayage", "Fourche optique", "Sortie analogique",
                                  "Options FFT"}));
  // Channel boxes by slot, each with its value label in white.
  for (int slot : {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}) {
    ASSERT_TRUE(w->GBvoie.count(slot)) << slot;
    EXPECT_EQ(w->GBvoie[slot]->property("Tag").toInt(), slot);
    ASSERT_TRUE(w->LabelVoie.count(slot)) << slot;
    EXPECT_EQ(w->LabelVoie[slot]->parentWidget(), w->GBvoie[slot]);
    EXPECT_EQ(w->LabelVoie[slot]->palette().color(QPalette::WindowText), QColor(Qt::white));
  }
  QStringList abscisses;
  for (auto* b : w->PanelAbscisse->findChildren<QPushButton*>()) abscisses << b->text();
  EXPECT_EQ(abscisses,
            (QStringList{"t", "clavier", "F", "Voie 1", "Voie 2", "Voie 0", "Voie 3", "Voie 4"}));
  EXPECT_EQ(w->findChild<QPushButton*>("SB0Btn")->text(), "SB0");
  EXPECT_EQ(w->findChild<QPushButton*>("SB1Btn")->text(), "SB1");
}

TEST_F(Fenetre, ToutControleANomEtDescriptionAccessibles) {
  ouvre();
  QList<QWidget*> controles = w->findChildren<QWidget*>();
  controles << w.get();
  for (QWidget* c : controles) {
    // Qt's own inner parts (the tool bar's handle and extension button, the
    // splitter handle, the size grip) are described by Qt itself.
    if (c->objectName().startsWith("qt_")) continue;
    if (c->inherits("QToolBarExtension") || c->inherits("QSplitterHandle") ||
        c->inherits("QSizeGrip") || c->inherits("QToolBarSeparator"))
      continue;
    if (c->objectName() == "central") continue;
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(c);
    ASSERT_NE(i, nullptr);
    EXPECT_FALSE(i->text(QAccessible::Name).isEmpty())
        << c->metaObject()->className() << " " << c->objectName().toStdString();
    EXPECT_FALSE(c->accessibleDescription().isEmpty() && c->toolTip().isEmpty())
        << c->metaObject()->className() << " " << c->objectName().toStdString();
  }
}

TEST_F(Fenetre, SansInterfaceLePanneauBrixoAbsent) {
  ouvre();
  EXPECT_TRUE(w->BrixoAbsent->isVisible());
  EXPECT_TRUE(statut().startsWith("Brixo VYK II non détectée sur COM")) << statut().toStdString();
  EXPECT_EQ(w->findChild<QLabel*>("BrixoAbsentTexte")->text(), "Brixo VYK/PUX II non connectée");
  EXPECT_EQ(w->VerifierBtn->text(), "Vérifier puis cliquer ici");
  EXPECT_EQ(w->VerifierBtn->toolTip(), "Test VYK II");
  EXPECT_EQ(w->AbandonBtn->text(), "Abandon");
  EXPECT_EQ(w->findChild<QLabel*>("BrixoAbsentConseil")->text(),
            "Eteindre Brixo pendant 5 s puis rallumer");
  EXPECT_FALSE(w->AcquisitionBtn->isEnabled());
  EXPECT_FALSE(w->StopBtn->isVisible());
  EXPECT_FALSE(w->actions.at("Copier données")->isEnabled());

  // Plugged in later: "Vérifier puis cliquer ici" finds it.
  port.branche(2, emulateur);
  QTest::mouseClick(w->VerifierBtn, Qt::LeftButton);
  EXPECT_EQ(statut(), "Brixo VYK II présente");
  EXPECT_FALSE(w->BrixoAbsent->isVisible());
}

TEST_F(Fenetre, AvecInterface) {
  port.branche(1, emulateur);
  ouvre();
  EXPECT_EQ(statut(), "Brixo VYK II présente");
  EXPECT_FALSE(w->BrixoAbsent->isVisible());
  EXPECT_FALSE(w->RazBtn->isVisible());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Fenetre, IndiceCommeLegende) {
  ouvre();
  QStatusTipEvent survol(w->VerifierBtn->statusTip());
  QApplication::sendEvent(w->VerifierBtn, &survol);
  EXPECT_EQ(w->windowTitle(), "Recherche Brixo VYK II sur Comi");
  QStatusTipEvent sortie("");
  QApplication::sendEvent(w->VerifierBtn, &sortie);
  EXPECT_EQ(w->windowTitle(), "Acquisition par Brixo VYK II pour Tavelmor");
  EXPECT_EQ(w->statusBar()->currentMessage(), "");
}

TEST_F(Fenetre, LettresGrecquesAuClavier) {
  ouvre();
  auto* saisie = new QLineEdit(w->PanelMode);
  saisie->show();
  saisie->setFocus();
  QTest::keyClick(saisie, Qt::Key_G, Qt::ControlModifier);
  QTest::keyClicks(saisie, "q");
  EXPECT_EQ(saisie->text(), "θ");
  QTest::keyClick(saisie, Qt::Key_G, Qt::ControlModifier);
  QTest::keyClicks(saisie, "1q");
  EXPECT_EQ(saisie->text(), "θ1q");
  QTest::keyClick(saisie, Qt::Key_G, Qt::ControlModifier);
  QTest::keyClick(saisie, Qt::Key_Shift);  // no character: the mode stays armed
  QTest::keyClicks(saisie, "W");
  EXPECT_EQ(saisie->text(), "θ1qΩ");
}

TEST_F(Fenetre, TouchesDeFonctionEtEspace) {
  ouvre();
  int graphe = 0, voltmetre = 0;
  w->logique().basculeGraphePleinEcran = [&] { ++graphe; };
  w->logique().basculeVoltmetrePleinEcran = [&] { ++voltmetre; };
  auto* sb0 = w->findChild<QPushButton*>("SB0Btn");
  QTest::keyClick(w->VerifierBtn, Qt::Key_F5);
  QTest::keyClick(w->VerifierBtn, Qt::Key_F6);
  EXPECT_EQ(graphe, 1);
  EXPECT_EQ(voltmetre, 1);
  // Space still reaches the focused control.
  w->findChild<QGroupBox*>("RelaisGB")->show();
  sb0->setFocus();
  QTest::keyClick(sb0, Qt::Key_Space);
  EXPECT_TRUE(sb0->isChecked());
  // Tool bar buttons are reachable with the keyboard.
  EXPECT_EQ(bouton(w->AcquisitionBtn)->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
}

TEST_F(Fenetre, FermetureEcritLeRegistre) {
  port.branche(3, emulateur);
  ouvre();
  w->resize(900, 700);
  w->close();
  EXPECT_EQ(journal.back(), "WRESET");
  EXPECT_FALSE(w->liaison().BrixoPresent);
  QSettings cle(QString::fromStdString(TRegistreFichier()), QSettings::IniFormat);
  EXPECT_EQ(cle.value("COM/Num").toString(), "3");
  EXPECT_EQ(cle.value("Window/Width").toInt(), w->frameGeometry().width());
  EXPECT_EQ(cle.value("Window/State").toString(), "0");
}

TEST_F(Fenetre, PlacementRestaure) {
  {
    QSettings cle(QString::fromStdString(TRegistreFichier()), QSettings::IniFormat);
    cle.setValue("Window/Width", 700);
    cle.setValue("Window/Height", 500);
    cle.setValue("Window/Left", 30);
    cle.setValue("Window/Top", 40);
  }
  ouvre();
  EXPECT_EQ(w->frameGeometry(), QRect(30, 40, 700, 500));
}

TEST_F(Fenetre, AProposEtAide) {
  port.branche(5, emulateur);
  ouvre();
  // The About box is modal: read it once it is shown, then close it.
  QString ligne;
  QTimer::singleShot(0, [&] {
    auto* a = w->findChild<TAboutBox*>();
    ASSERT_NE(a, nullptr);
    ligne = a->ligneInterface()->text();
    a->accept();
  });
  w->AproposBtn->trigger();
  EXPECT_EQ(ligne, "BRIXO VYK2 V1.29 sur COM5");
}

}  // namespace

namespace {

TEST(ServicesBureau, DossiersSpeciaux) {
  TServicesBureauQt services;
  fixeServicesBureau(&services);
  EXPECT_EQ(dossierSpecial(dossierDonneesAppli), std::string(std::getenv("XDG_CONFIG_HOME")) + "/");
  EXPECT_FALSE(dossierSpecial(dossierDocuments).empty());
  EXPECT_EQ(services.dossierSpecial(38), "");
  fixeServicesBureau(nullptr);
}

}  // namespace
