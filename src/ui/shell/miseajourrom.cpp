#include "ui/shell/miseajourrom.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TMiseAJourRomDlg::TMiseAJourRomDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("MiseAJourRom");
  setWindowTitle("Mise à jour de la ROM");
  setAccessibleName("Mise à jour de la ROM");
  setAccessibleDescription("Envoi du microprogramme à l'interface");
  setModal(false);
  auto* v = new QVBoxLayout(this);
  ligne1_ = new QLabel("Mise à jour de la ROM en cours", this);
  ligne1_->setAccessibleName("Etat de la mise à jour");
  ligne2_ = new QLabel(this);
  ligne2_->setAccessibleName("Détail de la mise à jour");
  ligne2_->hide();
  barre_ = new QProgressBar(this);
  barre_->setRange(0, 1000);
  barre_->setValue(0);
  barre_->setAccessibleName("Progression");
  barre_->setAccessibleDescription("Part du fichier envoyée");
  auto* arret = new QPushButton("Arrêt de la mise à jour", this);
  arret->setAccessibleName("Arrêt de la mise à jour");
  arret->setAccessibleDescription("Interrompt l'envoi du microprogramme");
  auto* note = new QLabel(
      "Si la mise à jour ne se termine pas correctement,\n"
      "essayez romvyk2.exe.\n"
      "\n"
      "Pour ne plus voir apparaitre le message de demande \n"
      "de mise à jour, supprimez le fichier codevyk2.hex",
      this);
  note->setAccessibleName("Note");
  note->setAccessibleDescription(note->text());
  v->addWidget(ligne1_);
  v->addWidget(ligne2_);
  v->addWidget(barre_);
  v->addWidget(arret);
  v->addWidget(note);
  connect(arret, &QPushButton::clicked, this, [this] { arret_ = true; });
}

void TMiseAJourRomDlg::progression(int valeur) { barre_->setValue(valeur); }

void TMiseAJourRomDlg::message(const QString& ligne1, const QString& ligne2) {
  ligne1_->setText(ligne1);
  ligne2_->setText(ligne2);
  ligne2_->setVisible(!ligne2.isEmpty());
}

void TMiseAJourRomDlg::closeEvent(QCloseEvent* e) {
  // Closing the box while the link is busy means stopping the update.
  arret_ = true;
  e->ignore();
}
