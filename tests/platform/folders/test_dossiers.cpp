#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdlib>

#include "platform/folders/dossiers.h"

namespace {

class Dossiers : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tmp_.isValid());
    maison_ = tmp_.path() + "/maison";
    QDir().mkpath(maison_);
    ancienneMaison_ = qgetenv("HOME");
    setenv("HOME", maison_.toUtf8().constData(), 1);
    setenv("XDG_CONFIG_HOME", (maison_ + "/.config").toUtf8().constData(), 1);
  }
  void TearDown() override { setenv("HOME", ancienneMaison_.constData(), 1); }
  QTemporaryDir tmp_;
  QString maison_;
  QByteArray ancienneMaison_;
};

TEST_F(Dossiers, DocumentsParDefaut) {
  // Nothing configured: xdg-user-dir answers the home folder, which is not
  // taken as the documents folder.
  EXPECT_EQ(cheminDocuments(), (maison_ + "/Documents").toStdString());
}

TEST_F(Dossiers, DocumentsConfigures) {
  QDir().mkpath(maison_ + "/.config");
  QFile f(maison_ + "/.config/user-dirs.dirs");
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("XDG_DOCUMENTS_DIR=\"$HOME/Mes documents\"\n");
  f.close();
  EXPECT_EQ(cheminDocuments(), (maison_ + "/Mes documents").toStdString());
}

TEST_F(Dossiers, DonneesApplication) {
  EXPECT_EQ(cheminDonneesApplication(), (maison_ + "/.config").toStdString());
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(cheminDonneesApplication(), (maison_ + "/.config").toStdString());
}

TEST_F(Dossiers, TavelmorCree) {
  const std::string d = dossierTavelmor((maison_ + "/Documents").toStdString());
  EXPECT_EQ(d, (maison_ + "/Documents/Tavelmor/").toStdString());
  EXPECT_TRUE(QFileInfo(QString::fromStdString(d)).isDir());
  // A second call finds it and changes nothing.
  EXPECT_EQ(dossierTavelmor((maison_ + "/Documents/").toStdString()), d);
}

}  // namespace
