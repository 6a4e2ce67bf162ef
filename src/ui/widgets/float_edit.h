#pragma once
// A numeric edit with a unit and an up/down button: the value steps along
// the 1-2-5 series, is kept within [MinValue, MaxValue] and is shown with
// an SI prefix ("2.2 kHz", "500 mV").

#include <QAbstractSpinBox>
#include <QString>

// The value's text as the control shows it (prefix chosen from the value,
// a prefix at the start of nomUnite folded in).
QString texteFloatEdit(double valeur, const QString& nomUnite);
// One step up (x 2.15) or down (/ 2.15), cut to 1, 2 or 5 times a power of
// ten (2, 3..5 -> 5, 6..9 -> 10).
double pasFloatEdit(double valeur, bool haut);

class TFloatEdit : public QAbstractSpinBox {
  Q_OBJECT
  Q_PROPERTY(bool EditorEnabled READ EditorEnabled WRITE setEditorEnabled)
  Q_PROPERTY(double MaxValue READ MaxValue WRITE setMaxValue)
  Q_PROPERTY(double MinValue READ MinValue WRITE setMinValue)
  Q_PROPERTY(double Value READ Value WRITE setValue NOTIFY valueChanged)
  Q_PROPERTY(QString NomUnite READ NomUnite WRITE setNomUnite)

 public:
  explicit TFloatEdit(QWidget* parent = nullptr);

  bool EditorEnabled() const { return editorEnabled_; }
  void setEditorEnabled(bool e) { editorEnabled_ = e; }
  double MaxValue() const { return max_; }
  void setMaxValue(double m) { max_ = m; }
  double MinValue() const { return min_; }
  void setMinValue(double m) { min_ = m; }
  double Value() const { return value_; }
  void setValue(double v);
  QString NomUnite() const { return unite_; }
  void setNomUnite(const QString& u);

  void stepBy(int steps) override;

 signals:
  void valueChanged(double v);

 protected:
  StepEnabled stepEnabled() const override;
  void keyPressEvent(QKeyEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  // The typed text read back (valeurAbsente when unreadable).
  double litTexte() const;
  void valideTexte();

  bool editorEnabled_ = true;
  double min_ = 0.01;
  double max_ = 100;
  double value_ = 0.1;
  QString unite_;
};
