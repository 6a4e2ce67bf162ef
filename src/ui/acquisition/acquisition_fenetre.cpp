#include "ui/acquisition/acquisition_fenetre.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/shell/textes.h"
#include "ui/display/oscillo.h"
#include "ui/shell/vykmainform.h"

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

void nomme(QWidget* w, const QString& nom, const QString& description) {
  w->setAccessibleName(nom);
  w->setAccessibleDescription(description);
}

TspinBoutons spin(QWidget* parent, const QString& nom, const QString& quoi) {
  TspinBoutons s;
  s.cadre = new QWidget(parent);
  s.cadre->setObjectName(nom);
  auto* v = new QVBoxLayout(s.cadre);
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(0);
  s.haut = new QToolButton(s.cadre);
  s.bas = new QToolButton(s.cadre);
  s.haut->setArrowType(Qt::UpArrow);
  s.bas->setArrowType(Qt::DownArrow);
  s.haut->setObjectName(nom + "Haut");
  s.bas->setObjectName(nom + "Bas");
  for (QToolButton* b : {s.haut, s.bas}) {
    b->setFixedSize(15, 10);
    b->setAutoRaise(true);
  }
  nomme(s.haut, quoi + " plus", "Augmente " + quoi);
  nomme(s.bas, quoi + " moins", "Diminue " + quoi);
  s.haut->setToolTip("Augmente " + quoi);
  s.bas->setToolTip("Diminue " + quoi);
  v->addWidget(s.haut);
  v->addWidget(s.bas);
  return s;
}

}  // namespace

TAcquisitionFenetre::TAcquisitionFenetre(TVYKmainForm& fenetre, IHorloge& horloge)
    : QObject(nullptr), fenetre_(fenetre) {
  fichierTrace_ = qEnvironmentVariable("VYK2_TRACE");
  graphe_ = std::make_unique<TgrapheVYK>();
  grapheAcq = graphe_.get();
  controle_ = std::make_unique<TcontroleAcquisition>(*graphe_, fenetre.liaison(), horloge, *this);
  construitBalayage();
  relieBoutons();
  relieCrochets();
  QObject::connect(fenetre_.Timer, &QTimer::timeout, this, [this] { controle_->TimerTimer(); });
  fenetre_.Timer->setInterval(250);
  for (auto& [slot, lab] : fenetre_.LabelVoie)
    if (slot >= 6 && slot <= 10) lab->setText(" ");
  afficheValeurs();
}

TAcquisitionFenetre::~TAcquisitionFenetre() {
  TLogiqueFenetre& l = fenetre_.logique();
  l.AfficheReglage = nullptr;
  l.toucheAcquisition = nullptr;
  l.arreteAcquisitionEnCours = nullptr;
  l.debutLecture = nullptr;
  l.finLecture = nullptr;
  fenetre_.Timer->stop();
  QObject::disconnect(fenetre_.Timer, nullptr, this, nullptr);
  controle_.reset();
  if (grapheAcq == graphe_.get()) grapheAcq = nullptr;
}

void TAcquisitionFenetre::construitBalayage() {
  auto* g = fenetre_.findChild<QGroupBox*>("BalayageGB");
  if (!g) return;
  delete g->layout();
  auto* grille = new QGridLayout(g);
  grille->setContentsMargins(4, 4, 4, 4);
  grille->setHorizontalSpacing(2);
  grille->setVerticalSpacing(2);
  struct L { const char* texte; const char* nom; const char* description; };
  const L lignes[] = {
      {"&Durée", "DureeEdit", "Durée du balayage (Entrée pour valider)"},
      {"&N points", "NbreEdit", "Nombre de points du balayage"},
      {"&T échant.", "PeriodeEdit", "Période d'échantillonnage"},
      {"&F échant.", "FreqEdit", "Fréquence d'échantillonnage"},
  };
  QLineEdit** edits[] = {&DureeEdit, &NbreEdit, &PeriodeEdit, &FreqEdit};
  TspinBoutons* spins[] = {&DureeSpin, &NbreSpin, &PeriodeSpin, &FreqSpin};
  for (int i = 0; i < 4; ++i) {
    auto* lab = new QLabel(QString::fromUtf8(lignes[i].texte), g);
    lab->setObjectName(QString(lignes[i].nom).replace("Edit", "Label"));
    auto* e = new QLineEdit(g);
    e->setObjectName(lignes[i].nom);
    const QString titre = QString::fromUtf8(lignes[i].texte).remove('&');
    nomme(e, titre, QString::fromUtf8(lignes[i].description));
    e->setToolTip(QString::fromUtf8(lignes[i].description));
    lab->setBuddy(e);
    e->installEventFilter(this);
    genreEdit_[e] = i;
    *edits[i] = e;
    *spins[i] = spin(g, QString(lignes[i].nom).replace("Edit", "Spin"), titre);
    grille->addWidget(lab, i, 0);
    grille->addWidget(e, i, 1);
    grille->addWidget(spins[i]->cadre, i, 2);
    QObject::connect(e, &QLineEdit::editingFinished, this, [this, e] {
      if (e->isModified()) appliqueEdit(e);
    });
  }
  QObject::connect(DureeSpin.haut, &QToolButton::clicked, this, [this] { controle_->spinDuree(true); });
  QObject::connect(DureeSpin.bas, &QToolButton::clicked, this, [this] { controle_->spinDuree(false); });
  QObject::connect(NbreSpin.haut, &QToolButton::clicked, this, [this] { controle_->spinNombre(true); });
  QObject::connect(NbreSpin.bas, &QToolButton::clicked, this, [this] { controle_->spinNombre(false); });
  // "T échant." up and "F échant." down lengthen the interval.
  QObject::connect(PeriodeSpin.haut, &QToolButton::clicked, this, [this] { controle_->spinPeriode(true); });
  QObject::connect(PeriodeSpin.bas, &QToolButton::clicked, this, [this] { controle_->spinPeriode(false); });
  QObject::connect(FreqSpin.haut, &QToolButton::clicked, this, [this] { controle_->spinPeriode(false); });
  QObject::connect(FreqSpin.bas, &QToolButton::clicked, this, [this] { controle_->spinPeriode(true); });

  if (auto* m = fenetre_.findChild<QGroupBox*>("ModeGB")) {
    auto* v = qobject_cast<QVBoxLayout*>(m->layout());
    LabelMode = new QLabel(m);
    LabelMode->setObjectName("LabelMode");
    nomme(LabelMode, "Mode", "Mode d'acquisition en cours");
    LabelAbscisseMega = new QLabel(m);
    LabelAbscisseMega->setObjectName("LabelAbscisseMega");
    nomme(LabelAbscisseMega, "Abscisse", "Grandeur en abscisse");
    LabelAbscisseMega->hide();
    if (v) {
      v->addWidget(LabelMode);
      v->addWidget(LabelAbscisseMega);
    }
  }
  MonocoupCB = fenetre_.findChild<QCheckBox*>("MonocoupCB");
  if (MonocoupCB) {
    QSignalBlocker b(MonocoupCB);
    MonocoupCB->setChecked(graphe_->monocoup);
    QObject::connect(MonocoupCB, &QCheckBox::toggled, this,
                     [this](bool on) { controle_->MonocoupCBClick(on); });
  }
}

void TAcquisitionFenetre::relieBoutons() {
  QObject::connect(fenetre_.AcquisitionBtn, &QAction::triggered, this,
                   [this] { controle_->EnregistreBtnClick(); });
  QObject::connect(fenetre_.StopBtn, &QAction::triggered, this,
                   [this] { controle_->StopBtnClick(true); });
  QObject::connect(fenetre_.RazBtn, &QAction::triggered, this,
                   [this] { controle_->ResetBtnClick(true); });
  QObject::connect(fenetre_.DefaireBtn, &QAction::triggered, this,
                   [this] { controle_->UndoBtnClick(); });
  fenetre_.StopBtn->setVisible(false);
  fenetre_.RepereBtn->setVisible(false);
}

void TAcquisitionFenetre::relieCrochets() {
  TLogiqueFenetre& l = fenetre_.logique();
  l.AfficheReglage = [this] { controle_->AfficheReglage(); };
  l.toucheAcquisition = [this] { return controle_->toucheEspace(); };
  l.arreteAcquisitionEnCours = [this] { controle_->arreteAcquisitionEnCours(); };
  l.debutLecture = [this] { controle_->DebutLectureParametres(); };
  l.finLecture = [this] { controle_->FinLectureParametres(); };
  controle_->NbreMoyCardiaque = l.NbreMoyCardiaque;
}

bool TAcquisitionFenetre::eventFilter(QObject* objet, QEvent* e) {
  if (e->type() != QEvent::KeyPress) return false;
  const auto it = genreEdit_.find(objet);
  if (it == genreEdit_.end()) return false;
  auto* k = static_cast<QKeyEvent*>(e);
  if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
    appliqueEdit(static_cast<QLineEdit*>(objet));
    return true;
  }
  const QString t = k->text();
  if (t.isEmpty() || k->key() == Qt::Key_Delete) return false;  // navigation keys
  const char32_t c = t.toUcs4().value(0);
  // Tab, Escape and the like keep their role (focus, dialogs).
  if (c < 32 && c != 8) return false;
  if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
  char32_t r = 0;
  switch (it->second) {
    case 0: r = filtreToucheDuree(c, false); break;
    case 1: r = filtreToucheNombre(c); break;
    case 2: r = filtreToucheDuree(c, true); break;
    case 3: r = filtreToucheFrequence(c); break;
  }
  if (r == 0) return true;  // discarded
  if (r == c) return false;
  static_cast<QLineEdit*>(objet)->insert(QString::fromUcs4(&r, 1));
  return true;
}

void TAcquisitionFenetre::appliqueEdit(QLineEdit* edit) {
  if (applique_) return;
  applique_ = true;
  const std::string texte = edit->text().toStdString();
  edit->setModified(false);
  switch (genreEdit_[edit]) {
    case 0: controle_->editeDuree(texte); break;
    case 1: controle_->editeNombre(texte); break;
    case 2: controle_->editePeriode(texte); break;
    case 3: controle_->editeFrequence(texte); break;
  }
  // Unreadable text: the current value comes back.
  montreTextesBase(controle_->reglage().affichage());
  applique_ = false;
}

void TAcquisitionFenetre::montreTextesBase(const TaffichageBase& a) {
  const std::pair<QLineEdit*, const std::string*> paires[] = {
      {DureeEdit, &a.duree}, {NbreEdit, &a.nombre}, {PeriodeEdit, &a.periode},
      {FreqEdit, &a.frequence}};
  for (const auto& [e, t] : paires) {
    if (!e) continue;
    e->setText(q(*t));
    e->setModified(false);
  }
}

// --- IVueAcquisition --------------------------------------------------------

void TAcquisitionFenetre::afficheStatut(int panneau, const std::string& texte) {
  fenetre_.afficheStatut(panneau, texte);
}

void TAcquisitionFenetre::appliqueBoutons(const TboutonsAcq& b) {
  TVYKmainForm& f = fenetre_;
  f.AcquisitionBtn->setVisible(b.acquisitionVisible);
  f.AcquisitionBtn->setEnabled(b.acquisitionActif);
  const std::string indice = b.acquisitionIndice;
  f.AcquisitionBtn->setStatusTip(q(indiceLong(indice)));
  f.StopBtn->setVisible(b.stopVisible);
  f.RazBtn->setVisible(b.razVisible);
  f.DefaireBtn->setVisible(b.defaireVisible);
  f.DefaireBtn->setEnabled(b.defaireActif);
  f.RepereBtn->setVisible(b.repereVisible);
  f.RepereBtn->setEnabled(b.repereActif);
  f.TavelmorBtn->setEnabled(b.tavelmorActif);
  for (const char* item : {"Imprimer", "Copier graphe", "Copier données"}) {
    auto it = f.actions.find(QString::fromUtf8(item));
    if (it != f.actions.end()) it->second->setEnabled(b.copiesActives);
  }
  f.ReconBtn->setEnabled(b.reconActif);
  f.PanelMode->setEnabled(b.panneauModeActif);
  f.DureeLabel->setVisible(b.dureeVisible);
  if (DureeSpin.cadre) {
    DureeSpin.cadre->setEnabled(b.spinDureeActif);
    NbreSpin.cadre->setEnabled(b.spinNombreActif && !unMega_);
  }
  if (MonocoupCB && MonocoupCB->isChecked() != b.monocoup) {
    QSignalBlocker bloque(MonocoupCB);
    MonocoupCB->setChecked(b.monocoup);
  }
}

void TAcquisitionFenetre::appliquePanneaux(const TpanneauxAcq& p) {
  TVYKmainForm& f = fenetre_;
  unMega_ = p.unMega;
  auto montre = [&f](const char* nom, bool visible) {
    if (auto* w = f.findChild<QWidget*>(nom)) w->setVisible(visible);
  };
  montre("BalayageGB", p.balayage);
  montre("BalayageCardiaqueGB", p.balayageCardiaque);
  montre("SynchroGB", p.declenchement);
  montre("PointGB", p.pointParPoint);
  montre("PivaneGB", p.fourche);
  montre("SortieAnaModeGB", p.sortieAnalogique);
  montre("DeconnecteP", p.deconnecte);
  for (const auto& [slot, visible] :
       {std::pair{3, p.clavier}, std::pair{11, p.voieCalculee}, std::pair{12, p.brulon}})
    if (auto it = f.GBvoie.find(slot); it != f.GBvoie.end()) it->second->setVisible(visible);
  f.PanelAbscisse->setVisible(p.abscisse);
  if (auto it = f.GBvoie.find(5); it != f.GBvoie.end()) it->second->setVisible(p.frequence);
  f.Gauge->setVisible(p.progression);
  f.Gauge->setRange(0, std::max(1, p.base.maxProgression));
  if (LabelMode) LabelMode->setText(q(p.libelleMode));
  if (LabelAbscisseMega) {
    LabelAbscisseMega->setText(q(p.libelleAbscisse));
    LabelAbscisseMega->setVisible(p.unMega);
  }
  for (int s = 6; s <= 10; ++s) {
    auto it = f.GBvoie.find(s);
    if (it == f.GBvoie.end()) continue;
    const TCourbe* c = graphe_->voie(s);
    it->second->setVisible(c && c->active && (s < 8 || p.voies8a10));
    if (c) {
      it->second->setTitle(q(c->nom + " (" + c->NomVoieBrixo() + ")"));
      it->second->setAccessibleName(it->second->title());
    }
  }
  if (NbreEdit) {
    NbreEdit->setEnabled(!p.unMega);
    PeriodeEdit->setEnabled(!p.unMega);
    FreqEdit->setEnabled(!p.unMega);
    FreqSpin.cadre->setEnabled(!p.unMega);
    NbreSpin.cadre->setVisible(!p.unMega);
  }
  montreTextesBase(p.base);
}

void TAcquisitionFenetre::timer(bool actif) {
  if (actif) fenetre_.Timer->start();
  else fenetre_.Timer->stop();
}

bool TAcquisitionFenetre::timerActif() { return fenetre_.Timer->isActive(); }

void TAcquisitionFenetre::periodeTimer(int ms) { fenetre_.Timer->setInterval(ms); }

void TAcquisitionFenetre::progression(int valeur, int maximum) {
  fenetre_.Gauge->setRange(0, std::max(1, maximum));
  fenetre_.Gauge->setValue(std::clamp(valeur, 0, std::max(1, maximum)));
}

void TAcquisitionFenetre::dureeEcoulee(const std::string& texte) {
  fenetre_.DureeLabel->setText(q(texte));
}

void TAcquisitionFenetre::redessine() {
  if (auto* o = qobject_cast<TOscillo*>(fenetre_.Oscillo)) o->redessine();
  // For scripts and tests (VYK2_TRACE): each new count of points shown.
  if (graphe_->NbreAff != pointsTraces_ && !fichierTrace_.isEmpty()) {
    pointsTraces_ = graphe_->NbreAff;
    QFile f(fichierTrace_);
    if (f.open(QIODevice::Append | QIODevice::Text))
      f.write(QString("graphe: %1 points\n").arg(pointsTraces_).toUtf8());
  }
}

void TAcquisitionFenetre::traceNouveauxPoints() {
  if (auto* o = qobject_cast<TOscillo*>(fenetre_.Oscillo)) o->traceCourbes();
}

void TAcquisitionFenetre::afficheValeurs() {
  for (auto& [slot, lab] : fenetre_.LabelVoie) {
    const TCourbe* c = graphe_->voie(slot);
    if (!c || slot < 2) continue;
    const QString t = c->active ? q(c->formatUnite(c->valeurAff)) : QString(" ");
    if (lab->text() != t) {
      lab->setText(t);
      lab->setAccessibleDescription(t);
    }
  }
}

void TAcquisitionFenetre::messageErreur(const std::string& texte) { fenetre_.messageErreur(texte); }

bool TAcquisitionFenetre::questionOuiNon(const std::string& texte) {
  return fenetre_.questionOuiNon(texte);
}

void TAcquisitionFenetre::posteMessage(int message) {
  QMetaObject::invokeMethod(
      this, [this, message] { controle_->messageFenetre(message); }, Qt::QueuedConnection);
}
