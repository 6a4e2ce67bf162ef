#include "platform/folders/dossiers.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

namespace {

QString sansBarreFinale(QString d) {
  while (d.size() > 1 && d.endsWith('/')) d.chop(1);
  return d;
}

}  // namespace

std::string cheminDocuments() {
  const QString maison = sansBarreFinale(QDir::homePath());
  const QString programme = QStandardPaths::findExecutable("xdg-user-dir");
  if (!programme.isEmpty()) {
    QProcess p;
    p.start(programme, {"DOCUMENTS"});
    if (p.waitForFinished(3000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0) {
      const QString d = sansBarreFinale(QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed());
      if (!d.isEmpty() && QDir::isAbsolutePath(d) && d != maison) return d.toStdString();
    }
  }
  return (maison + "/Documents").toStdString();
}

std::string cheminDonneesApplication() {
  const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return sansBarreFinale(xdg).toStdString();
  return (sansBarreFinale(QDir::homePath()) + "/.config").toStdString();
}

std::string dossierTavelmor(const std::string& base) {
  const QString d = sansBarreFinale(QString::fromStdString(base)) + "/Tavelmor";
  QDir().mkpath(d);
  return d.toStdString() + "/";
}
