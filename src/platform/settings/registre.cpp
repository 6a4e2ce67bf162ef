#include "platform/settings/registre.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <QStringList>

namespace {

QString q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QString dossierConfigUtilisateur() {
  const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return xdg;
  return QDir::homePath() + "/.config";
}

QString dossierConfigMachine() {
  // Relative entries are invalid by the XDG rules and skipped.
  const QStringList dossiers = qEnvironmentVariable("XDG_CONFIG_DIRS").split(':', Qt::SkipEmptyParts);
  for (const QString& d : dossiers)
    if (QDir::isAbsolutePath(d)) return d;
  return "/etc/xdg";
}

QString cheminCle(const QString& dossier) { return dossier + "/VYK2/vyk2.ini"; }

}  // namespace

TRegistre::TRegistre(const std::string& fichier)
    : fichier_(fichier), settings_(std::make_unique<QSettings>(q(fichier), QSettings::IniFormat)) {}

TRegistre::~TRegistre() = default;

std::optional<std::string> TRegistre::litValeur(std::string_view section,
                                                std::string_view cle) const {
  const QString nom = q(section) + '/' + q(cle);
  const QVariant v = settings_->value(nom);
  if (!v.isValid()) return std::nullopt;
  return v.toString().toStdString();
}

void TRegistre::ecritValeur(std::string_view section, std::string_view cle,
                            std::string_view valeur) {
  settings_->setValue(q(section) + '/' + q(cle), q(valeur));
}

void TRegistre::enregistre() {
  QDir().mkpath(QFileInfo(q(fichier_)).absolutePath());
  settings_->sync();  // an unwritable key keeps its old values, silently
}

std::string TRegistre::fichierUtilisateur() {
  return cheminCle(dossierConfigUtilisateur()).toStdString();
}

std::string TRegistre::fichierMachine() { return cheminCle(dossierConfigMachine()).toStdString(); }

std::unique_ptr<TRegistre> TRegistre::cleUtilisateur() {
  auto r = std::make_unique<TRegistre>(fichierUtilisateur());
  if (!QFileInfo::exists(q(r->fichier()))) r->enregistre();
  return r;
}

std::unique_ptr<TRegistre> TRegistre::cleMachine(bool creer) {
  const std::string f = fichierMachine();
  if (!creer && !QFileInfo::exists(q(f))) return nullptr;
  return std::make_unique<TRegistre>(f);
}
