#include "updater/ui/feuille2.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "updater/ui/apropos.h"

namespace {

QString texte(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// What a screen reader says for a caption with a mnemonic.
QString sansEsperluette(const QString& legende) {
  QString r = legende;
  return r.remove(QLatin1Char('&'));
}

}  // namespace

void Feuille2::BoucleQt::laisserPasser() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

Feuille2::Feuille2(majvyk2::PortSerie& port, majvyk2::Reglages reglages, QWidget* parent)
    : QWidget(parent) {
  setObjectName("Feuille2");
  setWindowTitle(QStringLiteral("Mise à jour d'BRIXO VYK2"));
  setAccessibleName(windowTitle());
  setAccessibleDescription(
      QStringLiteral("Recherche de l'interface, versions, puis téléchargement du nouveau code"));

  lab1_ = new QLabel(this);
  lab1_->setObjectName("Lab1");
  lab1_->setAlignment(Qt::AlignCenter);
  lab1_->setWordWrap(true);
  lab1_->setTextFormat(Qt::PlainText);
  lab1_->setMinimumSize(560, 160);
  QFont f = lab1_->font();
  f.setPointSizeF(f.pointSizeF() * 1.15);
  lab1_->setFont(f);
  lab1_->setAccessibleDescription(QStringLiteral("Message de l'étape en cours"));

  gauge_ = new QProgressBar(this);
  gauge_->setObjectName("gauge");
  gauge_->setTextVisible(false);
  gauge_->setMinimum(0);
  gauge_->setStyleSheet(QStringLiteral(
      "QProgressBar { border: 1px solid #606060; background: white; min-height: 18px; }"
      "QProgressBar::chunk { background: #10a010; }"));
  gauge_->setAccessibleName(QStringLiteral("Progression du transfert"));
  gauge_->setAccessibleDescription(QStringLiteral("Proportion du fichier codevyk2.hex déjà envoyée"));
  gauge_->hide();

  command4_ = new QPushButton(this);
  command4_->setObjectName("Command4");
  command4_->setDefault(true);
  command4_->setAccessibleDescription(QStringLiteral("Passe à l'étape suivante de la mise à jour"));

  commande2_ = new QPushButton(this);
  commande2_->setObjectName("Commande2");
  commande2_->setAccessibleDescription(QStringLiteral("Ferme le port et quitte le programme"));

  command3_ = new QPushButton(QStringLiteral("?"), this);
  command3_->setObjectName("Command3");
  command3_->setShortcut(QKeySequence(Qt::Key_F1));
  command3_->setAccessibleName(QStringLiteral("A propos"));
  command3_->setAccessibleDescription(QStringLiteral("Montre la version du logiciel (F1)"));
  command3_->setToolTip(QStringLiteral("A propos ... (F1)"));
  command3_->setMaximumWidth(command3_->fontMetrics().horizontalAdvance(QStringLiteral("  ?  ")) + 24);

  auto* boutons = new QHBoxLayout;
  boutons->addWidget(command4_);
  boutons->addWidget(commande2_);
  boutons->addStretch(1);
  boutons->addWidget(command3_);

  auto* disposition = new QVBoxLayout(this);
  disposition->setContentsMargins(16, 16, 16, 12);
  disposition->addWidget(lab1_, 1);
  disposition->addWidget(gauge_);
  disposition->addLayout(boutons);

  setTabOrder(command4_, commande2_);
  setTabOrder(commande2_, command3_);

  apropos_ = new Apropos(this);
  apropos_->setWindowModality(Qt::WindowModal);

  majvyk2::Vue& vue = *this;
  logique_ = std::make_unique<majvyk2::MiseAJour>(port, boucle_, vue, std::move(reglages));
  connect(command4_, &QPushButton::clicked, this, [this] { logique_->Command4_Click(); });
  connect(commande2_, &QPushButton::clicked, this, [this] { logique_->Commande2_Click(); });
  // Not modal-blocking: a step that waits must keep running under the box.
  connect(command3_, &QPushButton::clicked, apropos_, &QDialog::open);

  logique_->demarrer();
  command4_->setFocus();
}

Feuille2::~Feuille2() = default;

void Feuille2::afficher(const majvyk2::EtatFenetre& etat) {
  const QString message = texte(etat.lab1);
  if (lab1_->text() != message) {
    lab1_->setText(message);
    lab1_->setAccessibleName(message.simplified());
  }
  const QString legende4 = texte(etat.legendeCommand4);
  command4_->setText(legende4);
  command4_->setAccessibleName(sansEsperluette(legende4));
  command4_->setVisible(etat.command4Visible);
  command4_->setEnabled(etat.command4Actif);
  const QString legende2 = texte(etat.legendeCommande2);
  commande2_->setText(legende2);
  commande2_->setAccessibleName(sansEsperluette(legende2));
  commande2_->setVisible(etat.commande2Visible);
  commande2_->setEnabled(etat.commande2Actif);
  if (gauge_->maximum() != etat.jaugeMax) gauge_->setMaximum(etat.jaugeMax);
  gauge_->setValue(etat.jaugeValeur);
  gauge_->setVisible(etat.jaugeVisible);
  // Keep the keyboard on a button that can still be pressed.
  if (!etat.command4Visible && command4_->hasFocus() && etat.commande2Visible)
    commande2_->setFocus();
  if (etat.command4Visible && etat.command4Actif && !focusWidget()) command4_->setFocus();
}

void Feuille2::boite(majvyk2::Icone icone, const std::string& message) {
  QMessageBox b(icone == majvyk2::Icone::avertissement ? QMessageBox::Warning
                                                       : QMessageBox::Critical,
                windowTitle(), texte(message), QMessageBox::Ok, this);
  b.setObjectName("boite");
  b.setAccessibleName(windowTitle());
  b.setAccessibleDescription(texte(message));
  b.exec();
}

void Feuille2::terminer() {
  fermetureAdmise_ = true;
  close();
}

void Feuille2::closeEvent(QCloseEvent* e) {
  if (fermetureAdmise_ || logique_->demanderFin()) {
    apropos_->close();
    e->accept();
    fermetureAdmise_ = true;
    if (!finie_) {
      finie_ = true;
      emit fini();
      QCoreApplication::quit();
    }
  } else {
    e->ignore();
  }
}

void Feuille2::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  if (centree_) return;
  centree_ = true;
  if (const QScreen* ecran = screen() ? screen() : QGuiApplication::primaryScreen()) {
    QRect r = frameGeometry();
    r.moveCenter(ecran->availableGeometry().center());
    move(r.topLeft());
  }
}
