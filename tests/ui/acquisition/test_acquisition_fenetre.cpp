// The acquisition controls of the real main window (offscreen), on the
// simulated interface in simulated time.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cstdlib>
#include <functional>
#include <memory>

#include "core/acquisition/controle/textes_acquisition.h"
#include "sim/emulator/emulateur.h"
#include "sim/transport/horloge_simulee.h"
#include "sim/transport/port_emule.h"
#include "ui/acquisition/acquisition_fenetre.h"
#include "ui/shell/vykmainform.h"

namespace {

class EnvironnementQt : public ::testing::Environment {
 public:
  void SetUp() override {
    dossier_ = std::make_unique<QTemporaryDir>();
    setenv("XDG_CONFIG_HOME", (dossier_->path() + "/config").toUtf8().constData(), 1);
    setenv("XDG_CONFIG_DIRS", (dossier_->path() + "/xdg").toUtf8().constData(), 1);
    static int argc = 1;
    static char nom[] = "test_ui_acquisition";
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

class FenetreAcquisition : public ::testing::Test {
 protected:
  FenetreAcquisition() : port(horloge) {
    env.repertoireDonnees = (tmp.path() + "/docs/Tavelmor/").toStdString();
    env.repertoireConfig = (tmp.path() + "/config/Tavelmor/").toStdString();
    env.cheminProgramme = (tmp.path() + "/bin/vyk2").toStdString();
    emulateur.setJournal([this](double, const std::string& l) { journal.push_back(l); });
    emulateur.etat().entrees[10].signal = sim::ModeleSignal{sim::Forme::constante, 0, 2.5, 1};
    port.branche(1, emulateur);
    w = std::make_unique<TVYKmainForm>(port, horloge, env);
    a = std::make_unique<TAcquisitionFenetre>(*w, horloge);
    w->show();
    for (int i = 0; i < 200 && w->logique().premiereFois; ++i)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  ~FenetreAcquisition() override {
    if (w) w->close();
    a.reset();
    w.reset();
  }
  // Lets the window and the simulated interface run until the condition
  // holds (at most maxMs of real time).
  bool jusqua(const std::function<bool()>& condition, int maxMs = 8000) {
    QElapsedTimer t;
    t.start();
    while (!condition()) {
      if (t.elapsed() > maxMs) return false;
      horloge.attends(20);
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
  }
  QString statut() const { return w->Header[0]->text(); }
  void tape(QLineEdit* e, const QString& texte) {
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, texte);
  }

  QTemporaryDir tmp;
  sim::HorlogeSimulee horloge;
  sim::PortEmule port;
  sim::Emulateur emulateur;
  std::vector<std::string> journal;
  EnvironnementFenetre env;
  std::unique_ptr<TVYKmainForm> w;
  std::unique_ptr<TAcquisitionFenetre> a;
};

TEST_F(FenetreAcquisition, GroupeBalayageArmeAuDemarrage) {
  ASSERT_TRUE(w->liaison().BrixoPresent);
  // Armed (the link's own "présente" message may come after the invitation).
  EXPECT_EQ(a->controle().etatAcq, eaAttenteSynchro);
  EXPECT_EQ(a->NbreEdit->text(), "128");
  EXPECT_EQ(a->FreqEdit->text(), "128 Hz");
  EXPECT_FALSE(a->DureeEdit->text().isEmpty());
  EXPECT_EQ(a->LabelMode->text(), "Temporel");
  EXPECT_TRUE(w->AcquisitionBtn->isVisible());
  EXPECT_FALSE(w->StopBtn->isVisible());
  EXPECT_FALSE(w->RazBtn->isVisible());
  EXPECT_TRUE(w->Gauge->isVisible());
  EXPECT_TRUE(w->Timer->isActive());
  EXPECT_EQ(w->Timer->interval(), 250);
  for (QWidget* x : std::initializer_list<QWidget*>{a->DureeEdit, a->NbreEdit, a->PeriodeEdit,
                                                    a->FreqEdit, a->DureeSpin.haut,
                                                    a->NbreSpin.bas})
    EXPECT_FALSE(x->accessibleName().isEmpty()) << x->objectName().toStdString();
  // Live values reach the channel box of input 10 (slot 6).
  ASSERT_TRUE(jusqua([&] { return w->LabelVoie[6]->text().contains("2.50"); }))
      << w->LabelVoie[6]->text().toStdString();
}

TEST_F(FenetreAcquisition, FiltrageDesTouchesEtValidation) {
  tape(a->NbreEdit, "5x0,0");
  EXPECT_EQ(a->NbreEdit->text(), "500");
  QTest::keyClick(a->NbreEdit, Qt::Key_Return);
  EXPECT_EQ(a->graphe().NbreInter(), 500);
  EXPECT_EQ(a->NbreEdit->text(), "500");
  // Tab still moves on.
  w->activateWindow();
  a->NbreEdit->setFocus();
  ASSERT_TRUE(QTest::qWaitFor([&] { return a->NbreEdit->hasFocus(); }, 2000));
  QTest::keyClick(a->NbreEdit, Qt::Key_Tab);
  EXPECT_FALSE(a->NbreEdit->hasFocus());
  // Durations: units pass, "," becomes the decimal separator.
  tape(a->DureeEdit, "2,5sq");
  EXPECT_EQ(a->DureeEdit->text(), "2.5s");
  QTest::keyClick(a->DureeEdit, Qt::Key_Return);
  EXPECT_NEAR(a->graphe().baseDeTemps->DureeBalayage(), 2.5, 0.01);
  // Frequency: "k" multiplies.
  tape(a->FreqEdit, "1k");
  QTest::keyClick(a->FreqEdit, Qt::Key_Return);
  EXPECT_DOUBLE_EQ(a->graphe().baseDeTemps->Deltat, 1e-3);
  EXPECT_EQ(a->FreqEdit->text(), "1.00 kHz");
  EXPECT_EQ(a->controle().reglage().OrdreProgramme, "WPE 2 2500 1000 1 10 11");
}

TEST_F(FenetreAcquisition, BoutonsFlechesDeLaDuree) {
  const double d0 = a->graphe().baseDeTemps->DureeBalayage();
  a->DureeSpin.haut->click();
  const double d1 = a->graphe().baseDeTemps->DureeBalayage();
  EXPECT_NEAR(d1, 2.0, 0.01);
  EXPECT_GT(d1, d0);
  a->DureeSpin.bas->click();
  a->DureeSpin.bas->click();
  EXPECT_NEAR(a->graphe().baseDeTemps->DureeBalayage(), 0.5, 0.01);
  const int n = a->graphe().NbreInter();
  a->NbreSpin.haut->click();
  EXPECT_EQ(a->graphe().NbreInter(), 2 * n);
  EXPECT_EQ(a->NbreEdit->text(), QString::number(2 * n));
}

TEST_F(FenetreAcquisition, BalayageAuClavierDessineEtTermine) {
  QTest::keyClick(w.get(), Qt::Key_Space);
  EXPECT_TRUE(w->StopBtn->isVisible());
  EXPECT_FALSE(w->AcquisitionBtn->isVisible());
  EXPECT_EQ(statut(), QString::fromUtf8(texteAcq::attenteValeurs));
  ASSERT_TRUE(jusqua([&] { return a->graphe().NbreAff == 128 && !w->StopBtn->isVisible(); }));
  EXPECT_EQ(w->Gauge->value(), w->Gauge->maximum());
  EXPECT_TRUE(w->AcquisitionBtn->isVisible());
  EXPECT_TRUE(w->TavelmorBtn->isEnabled());
  EXPECT_FALSE(w->DureeLabel->isVisible());
  EXPECT_EQ(statut(), QString::fromUtf8(texteAcq::invitation));
}

TEST_F(FenetreAcquisition, MonocoupEtVariantesUnMegaHertz) {
  ASSERT_NE(a->MonocoupCB, nullptr);
  EXPECT_TRUE(a->MonocoupCB->isChecked());
  a->MonocoupCB->click();
  EXPECT_FALSE(a->graphe().monocoup);
  a->MonocoupCB->click();
  EXPECT_TRUE(a->graphe().monocoup);

  a->graphe().ModeAcq = AcqUnMega;
  a->controle().AfficheReglage();
  EXPECT_EQ(a->LabelMode->text(), "Echantillonnage 1 MHz");
  EXPECT_TRUE(a->LabelAbscisseMega->isVisible());
  EXPECT_FALSE(a->NbreEdit->isEnabled());
  EXPECT_FALSE(a->PeriodeEdit->isEnabled());
  EXPECT_FALSE(a->FreqEdit->isEnabled());
  EXPECT_FALSE(a->FreqSpin.cadre->isEnabled());
  EXPECT_FALSE(a->NbreSpin.cadre->isVisible());
  EXPECT_TRUE(a->PeriodeSpin.cadre->isEnabled());
  EXPECT_EQ(a->FreqEdit->text(), "1 MHz");
  EXPECT_FALSE(w->GBvoie[8]->isVisible());
  // The period spin toggles the 1 MHz rate.
  a->PeriodeSpin.bas->click();
  EXPECT_EQ(a->graphe().FreqMega, 2);
  EXPECT_EQ(a->PeriodeEdit->text(), QString::fromUtf8("0.5 \u00b5s"));
  a->controle().StopBtnClick(true);
}

}  // namespace
