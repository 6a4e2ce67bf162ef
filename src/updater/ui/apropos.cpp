#include "updater/ui/apropos.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

Apropos::Apropos(QWidget* parent) : QDialog(parent) {
  setObjectName("Apropos");
  setWindowTitle(QStringLiteral("A propos ..."));
  setAccessibleName(QStringLiteral("A propos"));
  setAccessibleDescription(QStringLiteral("Titre, version et date du logiciel de mise à jour"));

  titre_ = new QLabel(QStringLiteral("Logiciel de mise à jour d'BRIXO VYK2"), this);
  titre_->setObjectName("titre");
  QFont f = titre_->font();
  f.setBold(true);
  f.setPointSizeF(f.pointSizeF() * 1.2);
  titre_->setFont(f);
  titre_->setAlignment(Qt::AlignCenter);
  titre_->setAccessibleName(titre_->text());
  titre_->setAccessibleDescription(QStringLiteral("Nom du logiciel"));

  ligneVersion_ = new QLabel(QStringLiteral("Version 2.00 du 4 décembre 2006"), this);
  ligneVersion_->setObjectName("ligneVersion");
  ligneVersion_->setAlignment(Qt::AlignCenter);
  ligneVersion_->setAccessibleName(ligneVersion_->text());
  ligneVersion_->setAccessibleDescription(QStringLiteral("Version et date du logiciel"));

  ok_ = new QPushButton(QStringLiteral("&Ok"), this);
  ok_->setObjectName("ok");
  ok_->setDefault(true);
  ok_->setAccessibleName(QStringLiteral("Ok"));
  ok_->setAccessibleDescription(QStringLiteral("Ferme cette fenêtre"));
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

  auto* disposition = new QVBoxLayout(this);
  disposition->setContentsMargins(24, 20, 24, 16);
  disposition->setSpacing(12);
  disposition->addWidget(titre_);
  disposition->addWidget(ligneVersion_);
  disposition->addWidget(ok_, 0, Qt::AlignHCenter);
}

void Apropos::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (const QScreen* ecran = screen() ? screen() : QGuiApplication::primaryScreen()) {
    QRect r = frameGeometry();
    r.moveCenter(ecran->availableGeometry().center());
    move(r.topLeft());
  }
}
