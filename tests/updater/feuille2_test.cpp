// majvyk2's window driven like a user would, against a real vyk2-sim process.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "logic/outils_hex.h"
#include "updater/logic/port_serie.h"
#include "updater/ui/apropos.h"
#include "updater/ui/feuille2.h"

namespace {

// One application for the whole program, gone before the statics of Qt are.
class Application : public ::testing::Environment {
public:
  void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
  void TearDown() override { app_.reset(); }

private:
  int argc_ = 1;
  char nom_[16] = "test_updater";
  char* argv_[2] = {nom_, nullptr};
  std::unique_ptr<QApplication> app_;
};
[[maybe_unused]] auto* const application = ::testing::AddGlobalTestEnvironment(new Application);

bool attendreQue(const std::function<bool()>& condition, int ms) {
  QElapsedTimer t;
  t.start();
  while (!condition()) {
    if (t.elapsed() > ms) return false;
    QTest::qWait(5);
  }
  return true;
}

QString lire(const QString& chemin) {
  QFile f(chemin);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(f.readAll());
}

// Command lines of the simulator's log, without their time stamps.
QStringList commandes(const QString& log) {
  QStringList r;
  for (const QString& ligne : lire(log).split('\n', Qt::SkipEmptyParts)) {
    const auto blanc = ligne.indexOf(' ');
    r << ligne.mid(blanc + 1);
  }
  return r;
}

class Fenetre : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dossier.isValid());
    ports = dossier.filePath("ports");
    log = dossier.filePath("sim.log");
    avant = QDir::currentPath();
    // The firmware file is read from the current folder.
    QDir::setCurrent(dossier.path());
    qputenv("VYK2_PORTS_DIR", ports.toUtf8());
    majtest::ecrire(dossier.filePath("codevyk2.hex").toStdString(), majtest::fichierHex("2.10", taille));
    // A box nobody answers would hang the test: close it and remember it.
    QObject::connect(&garde, &QTimer::timeout, [this] {
      if (auto* b = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        boites << b->text();
        b->reject();
      }
    });
    garde.start(50);
  }
  void TearDown() override {
    garde.stop();
    if (sim.state() != QProcess::NotRunning) {
      sim.terminate();
      sim.waitForFinished(5000);
    }
    QDir::setCurrent(avant);
    qunsetenv("VYK2_PORTS_DIR");
  }

  void demarrerSim(const QStringList& options = {}) {
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(QStringLiteral(VYK2_BINARY_DIR "/src/sim/app/vyk2-sim"),
              QStringList{"--com", "1", "--ports-dir", ports, "--log", log} + options);
    ASSERT_TRUE(sim.waitForStarted(5000)) << sim.errorString().toStdString();
    ASSERT_TRUE(attendreQue([this] { return QFileInfo(ports + "/COM1").isSymLink(); }, 10000));
  }

  static void cliquer(QPushButton* b) {
    ASSERT_TRUE(b->isVisible() && b->isEnabled()) << b->text().toStdString();
    QTest::mouseClick(b, Qt::LeftButton);
  }

  QTemporaryDir dossier;
  QString ports;
  QString log;
  QString avant;
  QProcess sim;
  QTimer garde;
  QStringList boites;
  // The transfer keeps to 19200 bauds even on a pty: 1920 bytes a second.
  static constexpr std::size_t taille = 4000;
};

TEST_F(Fenetre, ThreePressesUpdateTheEmulatedInterface) {
  demarrerSim();
  majvyk2::PortPosix port;
  Feuille2 f(port);
  f.show();
  EXPECT_EQ(f.windowTitle(), QStringLiteral("Mise à jour d'BRIXO VYK2"));
  EXPECT_EQ(f.Lab1()->text(),
            QStringLiteral("Bienvenue,\n\nVous allez procéder à la mise à jour de\nla mémoire 'Flash' d'BRIXO VYK2"));
  EXPECT_EQ(f.Command4()->text(), QStringLiteral("&Mise à jour"));
  EXPECT_EQ(f.Commande2()->text(), QStringLiteral("&Quitter"));
  EXPECT_FALSE(f.gauge()->isVisible());

  cliquer(f.Command4());
  EXPECT_EQ(f.Lab1()->text(), QStringLiteral("BRIXO VYK2 a été détecté"));
  EXPECT_EQ(f.Command4()->text(), QStringLiteral("&Poursuivre"));
  EXPECT_EQ(f.Commande2()->text(), QStringLiteral("&Terminer"));

  cliquer(f.Command4());
  EXPECT_EQ(f.Lab1()->text(), QStringLiteral("\nLa version actuelle de votre\n BRIXO VYK2 est la V  V1.29\n"
                                             "La version à votre disposition est la : V2.10"));
  EXPECT_EQ(f.Command4()->text(), QStringLiteral("&Télécharger"));

  // The bar shows during the transfer only.
  bool jaugeVue = false;
  QTimer sonde;
  QObject::connect(&sonde, &QTimer::timeout, [&] { jaugeVue = jaugeVue || f.gauge()->isVisible(); });
  sonde.start(5);
  cliquer(f.Command4());
  sonde.stop();
  EXPECT_TRUE(jaugeVue);
  EXPECT_FALSE(f.gauge()->isVisible());
  EXPECT_EQ(f.gauge()->maximum(), 40);
  EXPECT_EQ(f.Lab1()->text(), QStringLiteral("\nLe transfert est terminé avec succès.\nLa version actuelle de la rom  "
                                             "de votre BRIXO VYK2 est :  V2.10"));
  EXPECT_FALSE(f.Command4()->isVisible());
  EXPECT_TRUE(f.Commande2()->isVisible() && f.Commande2()->isEnabled());
  EXPECT_TRUE(boites.isEmpty()) << boites.join('|').toStdString();

  const QStringList attendu = {"WVERSION", "WVERSION", "WDEBUG", "WBAUDS 1", "WERR", "WROM", "HEX 4000 octets",
                               "WVERSION"};
  EXPECT_TRUE(attendreQue([&] { return commandes(log).size() >= attendu.size(); }, 5000));
  EXPECT_EQ(commandes(log), attendu);

  QSignalSpy fin(&f, &Feuille2::fini);
  cliquer(f.Commande2());
  EXPECT_EQ(fin.count(), 1);
  EXPECT_FALSE(f.isVisible());
  EXPECT_FALSE(port.estOuvert());
}

TEST_F(Fenetre, ErrorReportAndRestart) {
  demarrerSim({"--rom-report", "5"});
  majvyk2::PortPosix port;
  Feuille2 f(port);
  f.show();
  cliquer(f.Command4());
  cliquer(f.Command4());
  // Closing the window in the middle of the transfer is refused: the
  // interface would stay at 19200 bauds with half a file.
  QSignalSpy fin(&f, &Feuille2::fini);
  int refus = 0;
  QTimer fermeture;
  QObject::connect(&fermeture, &QTimer::timeout, [&] {
    if (f.gauge()->isVisible() && refus == 0 && !f.close()) ++refus;
  });
  fermeture.start(5);
  cliquer(f.Command4());
  fermeture.stop();
  EXPECT_EQ(refus, 1);
  EXPECT_TRUE(f.isVisible());
  EXPECT_EQ(fin.count(), 0);
  EXPECT_EQ(f.Lab1()->text(), QStringLiteral("Une erreur s'est produite pendant le transfert (Erreur  5) \n"
                                             "Eteindre puis rallumer BRIXO VYK2\n Cliquez sur 'Recommencer' ou "
                                             "cliquez sur 'Quitter' pour Arrêter."));
  EXPECT_EQ(f.Command4()->text(), QStringLiteral("&Recommencer"));
  // Back at 9600 bauds: a new search finds the interface again.
  cliquer(f.Command4());
  EXPECT_EQ(f.Lab1()->text(), QStringLiteral("BRIXO VYK2 a été détecté"));
  EXPECT_TRUE(boites.isEmpty()) << boites.join('|').toStdString();
}

TEST_F(Fenetre, NothingOnThePorts) {
  majvyk2::Reglages r;
  r.premierPort = 1;
  r.dernierPort = 1;  // only the links folder, never this machine's own ports
  qputenv("VYK2_PORTS_DIR", ports.toUtf8());
  QDir().mkpath(ports);
  QFile::link(dossier.filePath("absent"), ports + "/COM1");
  majvyk2::PortPosix port;
  Feuille2 f(port, r);
  f.show();
  cliquer(f.Command4());
  EXPECT_EQ(f.Lab1()->text(), QStringLiteral("\nBRIXO VYK2 n'a pas été détecté...\n\nVérifiez vos connexions et "
                                             "cliquez sur 'Recommencer' ou cliquez sur 'Quitter' pour Arrêter."));
  EXPECT_EQ(f.Command4()->text(), QStringLiteral("&Recommencer"));
  EXPECT_TRUE(f.Commande2()->isEnabled());
}

TEST_F(Fenetre, AboutBoxAndAccessibility) {
  majvyk2::PortPosix port;
  Feuille2 f(port);
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  for (QWidget* w : std::initializer_list<QWidget*>{&f, f.Lab1(), f.Command4(), f.Commande2(), f.Command3(),
                                                    f.gauge()}) {
    EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
    EXPECT_FALSE(w->accessibleDescription().isEmpty()) << w->objectName().toStdString();
  }
  EXPECT_EQ(f.Command4()->accessibleName(), QStringLiteral("Mise à jour"));
  EXPECT_TRUE(f.Command4()->hasFocus() || QApplication::focusWidget() == nullptr);

  cliquer(f.Command3());
  Apropos* a = f.apropos();
  ASSERT_TRUE(attendreQue([&] { return a->isVisible(); }, 2000));
  EXPECT_EQ(a->windowTitle(), QStringLiteral("A propos ..."));
  EXPECT_EQ(a->titre()->text(), QStringLiteral("Logiciel de mise à jour d'BRIXO VYK2"));
  EXPECT_TRUE(a->ligneVersion()->text().contains(QStringLiteral("2.00")));
  EXPECT_TRUE(a->ligneVersion()->text().contains(QStringLiteral("2006")));
  EXPECT_EQ(a->ok()->text(), QStringLiteral("&Ok"));
  QTest::keyClick(a->ok(), Qt::Key_Space);
  EXPECT_TRUE(attendreQue([&] { return !a->isVisible(); }, 2000));

  // The main button works from the keyboard too.
  majvyk2::Reglages r;
  r.dernierPort = 0;  // no port at all: the search fails at once
  Feuille2 g(port, r);
  g.show();
  g.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&g));
  QTest::keyClick(&g, Qt::Key_M, Qt::AltModifier);
  EXPECT_TRUE(attendreQue([&] { return g.Command4()->text() == QStringLiteral("&Recommencer"); }, 2000));
}

}  // namespace
