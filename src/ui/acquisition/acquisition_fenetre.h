#pragma once
// The acquisition part of the main window: the acquisition set, the state
// machine and their controls in the window (the "Balayage" group, the
// progress bar, the elapsed time, the channel boxes, the acquisition
// buttons and the "Monocoup" check box), wired to the shell's hooks.

#include <QObject>
#include <QPointer>
#include <QString>
#include <map>
#include <memory>

#include "core/acquisition/controle/controle.h"

class QLabel;
class QLineEdit;
class QToolButton;
class QWidget;
class QCheckBox;
class TVYKmainForm;

// Up and down buttons of an edit.
struct TspinBoutons {
  QToolButton* haut = nullptr;
  QToolButton* bas = nullptr;
  QWidget* cadre = nullptr;
};

class TAcquisitionFenetre : public QObject, public IVueAcquisition {
  Q_OBJECT
 public:
  TAcquisitionFenetre(TVYKmainForm& fenetre, IHorloge& horloge);
  ~TAcquisitionFenetre() override;

  TcontroleAcquisition& controle() { return *controle_; }
  TgrapheVYK& graphe() { return *graphe_; }

  // "Balayage" group.
  QLineEdit *DureeEdit = nullptr, *NbreEdit = nullptr, *PeriodeEdit = nullptr,
            *FreqEdit = nullptr;
  TspinBoutons DureeSpin, NbreSpin, PeriodeSpin, FreqSpin;
  QLabel* LabelMode = nullptr;
  QLabel* LabelAbscisseMega = nullptr;
  QCheckBox* MonocoupCB = nullptr;

  // --- IVueAcquisition ---
  void afficheStatut(int panneau, const std::string& texte) override;
  void appliqueBoutons(const TboutonsAcq& b) override;
  void appliquePanneaux(const TpanneauxAcq& p) override;
  void timer(bool actif) override;
  bool timerActif() override;
  void periodeTimer(int ms) override;
  void progression(int valeur, int maximum) override;
  void dureeEcoulee(const std::string& texte) override;
  void redessine() override;
  void traceNouveauxPoints() override;
  void afficheValeurs() override;
  void messageErreur(const std::string& texte) override;
  bool questionOuiNon(const std::string& texte) override;
  void posteMessage(int message) override;

 protected:
  bool eventFilter(QObject* objet, QEvent* e) override;

 private:
  void construitBalayage();
  void relieBoutons();
  void relieCrochets();
  void montreTextesBase(const TaffichageBase& a);
  // Applies an edit's text; the edit shows the current value again when it
  // cannot be read.
  void appliqueEdit(QLineEdit* edit);

  TVYKmainForm& fenetre_;
  std::unique_ptr<TgrapheVYK> graphe_;
  std::unique_ptr<TcontroleAcquisition> controle_;
  std::map<QObject*, int> genreEdit_;  // 0 duration, 1 count, 2 period, 3 frequency
  bool unMega_ = false;
  bool applique_ = false;
  QString fichierTrace_;
  int pointsTraces_ = 0;
};
