#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

#include "platform/settings/registre.h"

namespace {

// Points both XDG variables at private folders for the test's lifetime.
class Registre : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tmp_.isValid());
    utilisateur_ = tmp_.path() + "/home-config";
    machine_ = tmp_.path() + "/etc-xdg";
    setenv("XDG_CONFIG_HOME", utilisateur_.toUtf8().constData(), 1);
    setenv("XDG_CONFIG_DIRS", (machine_ + ":/etc/xdg").toUtf8().constData(), 1);
  }
  void ecrit(const QString& fichier, const QByteArray& texte) {
    QDir().mkpath(QFileInfo(fichier).absolutePath());
    QFile f(fichier);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(texte);
  }
  QTemporaryDir tmp_;
  QString utilisateur_, machine_;
};

TEST_F(Registre, EmplacementsXdg) {
  EXPECT_EQ(TRegistre::fichierUtilisateur(), (utilisateur_ + "/VYK2/vyk2.ini").toStdString());
  EXPECT_EQ(TRegistre::fichierMachine(), (machine_ + "/VYK2/vyk2.ini").toStdString());
  unsetenv("XDG_CONFIG_DIRS");
  EXPECT_EQ(TRegistre::fichierMachine(), "/etc/xdg/VYK2/vyk2.ini");
}

TEST_F(Registre, SansCleLesValeursParDefaut) {
  auto u = TRegistre::cleUtilisateur();
  EXPECT_EQ(TRegistre::cleMachine(false), nullptr);
  const auto r = litReglagesRegistre(*u, nullptr, "/docs/Tavelmor/");
  EXPECT_EQ(r.NumCom, 1);
  EXPECT_EQ(r.indexVitesse, 1);
  EXPECT_TRUE(r.TestROM);
  EXPECT_EQ(r.CompteurROM, 0u);
  EXPECT_EQ(r.CompteurAuto, 0u);
  EXPECT_TRUE(r.RecoPermis);
  EXPECT_EQ(r.CfgVYKPath, "/docs/Tavelmor/");
}

TEST_F(Registre, LaCleMachineGagne) {
  ecrit(utilisateur_ + "/VYK2/vyk2.ini",
        "[COM]\nNum=4\nVitesse=3\n[Reco]\nPermis=0\n[ROM]\nCompteur=7\n[Config]\nPath=/u/\n");
  ecrit(machine_ + "/VYK2/vyk2.ini", "[COM]\nNum=9\nVitesse=2\n[ROM]\nCompteur=12\n");
  auto u = TRegistre::cleUtilisateur();
  auto m = TRegistre::cleMachine(false);
  ASSERT_NE(m, nullptr);
  const auto r = litReglagesRegistre(*u, m.get(), "/docs/Tavelmor/");
  EXPECT_EQ(r.NumCom, 9);
  EXPECT_EQ(r.indexVitesse, 2);
  EXPECT_EQ(r.CompteurROM, 12u);
  // Values the machine key lacks go back to their defaults.
  EXPECT_TRUE(r.RecoPermis);
  EXPECT_EQ(r.CfgVYKPath, "/docs/Tavelmor/");
  // Without a machine key the user's values stand.
  const auto seul = litReglagesRegistre(*u, nullptr, "/docs/Tavelmor/");
  EXPECT_EQ(seul.NumCom, 4);
  EXPECT_FALSE(seul.RecoPermis);
  EXPECT_EQ(seul.CfgVYKPath, "/u/");
}

TEST_F(Registre, CleMachineSansNumeroDePort) {
  ecrit(utilisateur_ + "/VYK2/vyk2.ini", "[COM]\nNum=6\n");
  ecrit(machine_ + "/VYK2/vyk2.ini", "[Reco]\nPermis=1\n");
  auto u = TRegistre::cleUtilisateur();
  auto m = TRegistre::cleMachine(false);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(litReglagesRegistre(*u, m.get(), "/d/").NumCom, 1);
}

TEST_F(Registre, ValeursIllisiblesOuHorsLimites) {
  ecrit(utilisateur_ + "/VYK2/vyk2.ini",
        "[COM]\nNum=abc\nVitesse=7\n[ROM]\nCompteur=-3\n[TestROM]\nPermis=oui\n");
  auto u = TRegistre::cleUtilisateur();
  const auto r = litReglagesRegistre(*u, nullptr, "/d/");
  EXPECT_EQ(r.NumCom, 1);
  EXPECT_EQ(r.indexVitesse, 1);
  EXPECT_EQ(r.CompteurROM, 0u);
  EXPECT_TRUE(r.TestROM);
}

TEST_F(Registre, EcritureRelecture) {
  ReglagesRegistre r;
  r.NumCom = 12;
  r.indexVitesse = 0;
  r.TestROM = false;
  r.CompteurROM = 33;
  r.CompteurAuto = 5;
  r.RecoPermis = false;
  r.CfgVYKPath = "/home/prof/mes manips/";
  r.repertoireTavelmor = "/opt/tavelmor";
  {
    auto u = TRegistre::cleUtilisateur();
    ecritReglagesRegistre(*u, r);
    ecritPlacement(*u, {2, 600, 800, 10, 20});
  }
  auto u = TRegistre::cleUtilisateur();
  const auto lu = litReglagesRegistre(*u, nullptr, "/d/");
  EXPECT_EQ(lu.NumCom, 12);
  EXPECT_EQ(lu.indexVitesse, 0);
  EXPECT_FALSE(lu.TestROM);
  EXPECT_EQ(lu.CompteurROM, 33u);
  EXPECT_EQ(lu.CompteurAuto, 0u);  // read at start, never written
  EXPECT_FALSE(lu.RecoPermis);
  EXPECT_EQ(lu.CfgVYKPath, "/home/prof/mes manips/");
  EXPECT_EQ(lu.repertoireTavelmor, "/opt/tavelmor");
  EXPECT_EQ(litPlacement(*u, {}), (PlacementFenetre{2, 600, 800, 10, 20}));
  // Writing the user's key creates no machine key.
  EXPECT_EQ(TRegistre::cleMachine(false), nullptr);
}

TEST_F(Registre, PlacementAbsentGardeLActuel) {
  auto u = TRegistre::cleUtilisateur();
  const PlacementFenetre actuel{0, 829, 1072, 5, 6};
  EXPECT_EQ(litPlacement(*u, actuel), actuel);
}

TEST_F(Registre, EcritureImpossibleSilencieuse) {
  // The machine key's folder is a file: the write fails and nothing throws.
  ecrit(machine_ + "/VYK2", "pas un dossier");
  auto m = TRegistre::cleMachine(true);
  ASSERT_NE(m, nullptr);
  ReglagesRegistre r;
  r.NumCom = 3;
  ecritReglagesRegistre(*m, r);
  EXPECT_EQ(TRegistre::cleMachine(false), nullptr);
}

}  // namespace
