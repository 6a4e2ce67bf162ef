#include "ui/shell/apropos.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "core/shell/textes.h"

namespace {

QLabel* ligne(const QString& texte, const QString& nom, QWidget* parent) {
  auto* l = new QLabel(texte, parent);
  l->setAccessibleName(nom);
  l->setAccessibleDescription(texte);
  l->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  return l;
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName("AboutBox");
  setWindowTitle("A propos");
  setAccessibleName("A propos");
  setAccessibleDescription("Version du programme et interface connectée");
  auto* v = new QVBoxLayout(this);
  auto* produit = ligne(texte::legendeVYK, "Produit", this);
  QFont f = produit->font();
  f.setBold(true);
  f.setPointSize(f.pointSize() + 2);
  produit->setFont(f);
  v->addWidget(produit);
  v->addWidget(ligne(texte::versionProgramme, "Version", this));
  v->addWidget(ligne(texte::versionPux, "Version PUX II", this));
  interface_ = ligne("", "Interface connectée", this);
  interface_->setObjectName("ligneInterface");
  v->addWidget(interface_);

  auto* boutons = new QHBoxLayout;
  auto* maj = new QPushButton("Version à jour", this);
  maj->setObjectName("versionAJour");
  maj->setAccessibleName("Version à jour");
  maj->setAccessibleDescription("Ouvre la page de mise à jour dans le navigateur");
  maj->setToolTip("Ouvre la page de mise à jour dans le navigateur");
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("ok");
  ok->setAccessibleName("OK");
  ok->setAccessibleDescription("Ferme la fenêtre");
  ok->setDefault(true);
  boutons->addWidget(maj);
  boutons->addStretch();
  boutons->addWidget(ok);
  v->addLayout(boutons);
  connect(maj, &QPushButton::clicked, this, &TAboutBox::versionAJour);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutBox::fixeInterface(const QString& ligne) {
  interface_->setText(ligne);
  interface_->setAccessibleDescription(ligne);
}

void TAboutBox::versionAJour() {
  if (!QDesktopServices::openUrl(QUrl(texte::pageMiseAJour)))
    QMessageBox::critical(this, "Erreur",
                          QString(texte::accesImpossible) + texte::pageMiseAJour);
}
