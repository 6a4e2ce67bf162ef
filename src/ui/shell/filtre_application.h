#pragma once
// Application-wide keyboard hooks: the Greek letters filter for every window,
// and the main window's key preview (F5, F6, space).
#include <QObject>
#include <QPointer>

class TLogiqueFenetre;
class QWidget;

class TFiltreApplication : public QObject {
  Q_OBJECT
 public:
  TFiltreApplication(TLogiqueFenetre& logique, QWidget* fenetrePrincipale);
  bool eventFilter(QObject* objet, QEvent* e) override;

 private:
  TLogiqueFenetre& logique_;
  QPointer<QWidget> fenetre_;
  bool renvoi_ = false;
};
