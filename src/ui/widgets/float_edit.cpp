#include "ui/widgets/float_edit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>
#include <cmath>

#include "core/channels/numbers/nombres.h"

namespace {

// Prefix letters of the powers -27..27 in steps of 3 (index 0..18).
const char* const lettres[19] = {"",  "y", "z", "a",      "f", "p", "n", "\u00b5", "m", " ",
                                 "k", "M", "G", "T",      "P", "E", "Z", "Y",      ""};

// Steps of 1000 a leading prefix of the unit's name stands for.
int pliage(const QString& u) {
  if (u.size() < 2 || !u[1].isLetter()) return 0;
  switch (u[0].unicode()) {
    case 'G': return 3;
    case 'M': return 2;
    case 'k': return 1;
    case 'm': return -1;
    case 'n': return -3;
    case 'p': return -4;
    case 0xB5: return -2;
    default: return 0;
  }
}

// 10^floor(log10 v), exact for exact powers of ten.
double decade(double v) {
  double c = std::pow(10.0, std::floor(std::log10(v)));
  if (quotientTronque(v, c) >= 10) c *= 10;
  else if (quotientTronque(v, c) < 1) c /= 10;
  return c;
}

}  // namespace

QString texteFloatEdit(double valeur, const QString& nomUnite) {
  const int pli = pliage(nomUnite);
  const QString unite = pli != 0 ? nomUnite.mid(1) : nomUnite;
  int index = 9 + pli;
  double x = valeur;
  while (std::fabs(x) >= 999 && index < 18) {
    x /= 1000;
    ++index;
  }
  while (std::fabs(x) < 0.999 && index > 0) {
    x *= 1000;
    --index;
  }
  index = std::clamp(index, 0, 18);
  if (index == 18) return "???";
  if (index == 0) return "0 " + unite;
  return QString::fromStdString(formatGeneral(x, 4)) + " " + QString::fromUtf8(lettres[index]) +
         unite;
}

double pasFloatEdit(double valeur, bool haut) {
  const double v = haut ? valeur * 2.15 : valeur / 2.15;
  if (!(v > 0) || !std::isfinite(v)) return v;
  const double c = decade(v);
  std::int64_t d = quotientTronque(v, c);
  if (d >= 3 && d <= 5) d = 5;
  else if (d > 5) d = 10;
  return c * static_cast<double>(d);
}

TFloatEdit::TFloatEdit(QWidget* parent) : QAbstractSpinBox(parent) {
  lineEdit()->setText("0.1");
  setAccelerated(false);
  setMinimumHeight(17);
  setAccessibleName("Valeur");
  setAccessibleDescription("Valeur avec unité ; flèches haut et bas pour changer");
}

void TFloatEdit::setNomUnite(const QString& u) {
  unite_ = u;
  lineEdit()->setText(texteFloatEdit(value_, unite_));
}

void TFloatEdit::setValue(double v) {
  v = std::clamp(v, min_, max_);
  if (v == value_) return;
  value_ = v;
  lineEdit()->setText(texteFloatEdit(value_, unite_));
  emit valueChanged(value_);
}

void TFloatEdit::stepBy(int steps) {
  if (isReadOnly()) {
    QApplication::beep();
    return;
  }
  double v = value_;
  for (int i = 0; i < std::abs(steps); ++i) v = pasFloatEdit(v, steps > 0);
  setValue(v);
}

QAbstractSpinBox::StepEnabled TFloatEdit::stepEnabled() const {
  return StepUpEnabled | StepDownEnabled;
}

void TFloatEdit::keyPressEvent(QKeyEvent* e) {
  const int k = e->key();
  if (k == Qt::Key_Up || k == Qt::Key_Down || k == Qt::Key_PageUp || k == Qt::Key_PageDown) {
    QAbstractSpinBox::keyPressEvent(e);
    return;
  }
  if (k == Qt::Key_Return || k == Qt::Key_Enter) {
    valideTexte();
    e->accept();
    return;
  }
  const QString t = e->text();
  if (t.isEmpty()) {  // navigation keys
    QAbstractSpinBox::keyPressEvent(e);
    return;
  }
  const QChar c = t[0];
  const bool controle = c.unicode() < 32 || c.unicode() == 127;
  bool permis;
  if (!editorEnabled_) permis = controle && k != Qt::Key_Backspace;
  else
    permis = controle || c.isDigit() || c == '+' || c == '-' ||
             c == QChar(separateurDecimal());
  if (!permis) {
    QApplication::beep();
    e->accept();
    return;
  }
  QAbstractSpinBox::keyPressEvent(e);
}

double TFloatEdit::litTexte() const {
  const int pli = pliage(unite_);
  const QString unite = pli != 0 ? unite_.mid(1) : unite_;
  QString t = lineEdit()->text().trimmed();
  if (!unite.isEmpty() && t.endsWith(unite)) t.chop(unite.size());
  const double v = lireNombre(t.toStdString());
  return v == valeurAbsente ? v : v / std::pow(1000.0, pli);
}

void TFloatEdit::valideTexte() {
  const double v = litTexte();
  if (v != valeurAbsente) setValue(v);
  lineEdit()->setText(texteFloatEdit(value_, unite_));
}

void TFloatEdit::focusOutEvent(QFocusEvent* e) {
  valideTexte();
  QAbstractSpinBox::focusOutEvent(e);
}
