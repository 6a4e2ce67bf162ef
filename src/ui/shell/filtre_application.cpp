#include "ui/shell/filtre_application.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

#include "core/shell/logique_fenetre.h"

TFiltreApplication::TFiltreApplication(TLogiqueFenetre& logique, QWidget* fenetrePrincipale)
    : QObject(fenetrePrincipale), logique_(logique), fenetre_(fenetrePrincipale) {}

bool TFiltreApplication::eventFilter(QObject* objet, QEvent* e) {
  if (renvoi_ || e->type() != QEvent::KeyPress || !objet->isWidgetType()) return false;
  auto* k = static_cast<QKeyEvent*>(e);
  auto* w = static_cast<QWidget*>(objet);

  if (fenetre_ && w->window() == fenetre_) {
    if (k->key() == Qt::Key_F5 || k->key() == Qt::Key_F6 ||
        (k->key() == Qt::Key_Space && k->modifiers() == Qt::NoModifier)) {
      const auto t = k->key() == Qt::Key_F5   ? TLogiqueFenetre::Touche::F5
                     : k->key() == Qt::Key_F6 ? TLogiqueFenetre::Touche::F6
                                              : TLogiqueFenetre::Touche::espace;
      if (logique_.FormKeyDown(t)) return true;
    }
  }

  // A key press with text is a character message; modifier keys alone,
  // arrows and the like are not, and leave the Greek mode armed.
  const bool controle = k->modifiers() & Qt::ControlModifier;
  char32_t code = 0;
  if (controle && k->key() == Qt::Key_G) code = 7;
  else if (!k->text().isEmpty()) code = k->text().toUcs4().value(0);
  else return false;

  const char32_t r = logique_.filtreClavier(code, controle);
  if (r == code) return false;
  const QString texte = QString::fromUcs4(&r, 1);
  QKeyEvent remplace(QEvent::KeyPress, k->key(), k->modifiers(), texte, k->isAutoRepeat());
  renvoi_ = true;
  QCoreApplication::sendEvent(objet, &remplace);
  renvoi_ = false;
  return true;
}
