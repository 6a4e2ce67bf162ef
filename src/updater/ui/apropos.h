// The about box of the updater.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class Apropos : public QDialog {
  Q_OBJECT
public:
  explicit Apropos(QWidget* parent = nullptr);

  QLabel* titre() const { return titre_; }
  QLabel* ligneVersion() const { return ligneVersion_; }
  QPushButton* ok() const { return ok_; }

protected:
  void showEvent(QShowEvent* e) override;

private:
  QLabel* titre_;
  QLabel* ligneVersion_;
  QPushButton* ok_;
};
