#pragma once
// Non-modal dialog shown while firmware is pushed to the interface.
#include <QDialog>

class QLabel;
class QProgressBar;

class TMiseAJourRomDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TMiseAJourRomDlg(QWidget* parent = nullptr);
  void progression(int valeur);
  void message(const QString& ligne1, const QString& ligne2);
  bool arretDemande() const { return arret_; }

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  QLabel *ligne1_, *ligne2_;
  QProgressBar* barre_;
  bool arret_ = false;
};
