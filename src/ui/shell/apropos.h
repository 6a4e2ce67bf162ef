#pragma once
// The About box.
#include <QDialog>

class QLabel;

class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutBox(QWidget* parent = nullptr);
  void fixeInterface(const QString& ligne);
  QLabel* ligneInterface() const { return interface_; }

 private:
  void versionAJour();
  QLabel* interface_;
};
