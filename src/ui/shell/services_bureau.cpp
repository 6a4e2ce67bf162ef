#include "ui/shell/services_bureau.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/folders/dossiers.h"

void TServicesBureauQt::afficheErreur(const std::string& message) {
  QApplication::setOverrideCursor(Qt::ArrowCursor);
  QMessageBox::critical(QApplication::activeWindow(), "Erreur", QString::fromStdString(message));
  QApplication::restoreOverrideCursor();
}

std::string TServicesBureauQt::dossierSpecial(int identifiant) {
  switch (identifiant) {
    case dossierDocuments: return cheminDocuments();
    case dossierDonneesAppli: return cheminDonneesApplication();
    default: return {};
  }
}
