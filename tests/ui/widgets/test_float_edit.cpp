#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "ui/widgets/float_edit.h"

namespace {

// One application for the run, gone before the program's static objects.
class EnvironnementQt : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char nom[] = "test_ui_widgets";
    static char* argv[] = {nom, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};
const auto* const environnement = ::testing::AddGlobalTestEnvironment(new EnvironnementQt);

TEST(FloatEdit, CreationEtTexteAvecPrefixe) {
  TFloatEdit e;
  EXPECT_EQ(e.findChild<QLineEdit*>()->text(), "0.1");
  EXPECT_DOUBLE_EQ(e.MinValue(), 0.01);
  EXPECT_DOUBLE_EQ(e.MaxValue(), 100);
  EXPECT_TRUE(e.EditorEnabled());

  struct Cas { double v; const char* unite; const char* texte; };
  const Cas cas[] = {
      {1, "Hz", "1  Hz"},         {2200, "Hz", "2.2 kHz"},    {0.5, "V", "500 mV"},
      {999, "V", "0.999 kV"},       {12.345678, "s", "12.35  s"}, {2, "kHz", "2 kHz"},
      {2500, "kHz", "2.5 MHz"},   {0.2, "kHz", "200  Hz"},    {3, "mA", "3 mA"},
      {0, "V", "0 V"},            {1e30, "V", "???"},         {4.7e-6, "F", "4.7 \u00b5F"},
  };
  for (const Cas& c : cas)
    EXPECT_EQ(texteFloatEdit(c.v, QString::fromUtf8(c.unite)), QString::fromUtf8(c.texte))
        << c.v << " " << c.unite;
}

TEST(FloatEdit, PasDeLaSerie125) {
  EXPECT_DOUBLE_EQ(pasFloatEdit(1, true), 2);
  EXPECT_DOUBLE_EQ(pasFloatEdit(2, true), 5);
  EXPECT_DOUBLE_EQ(pasFloatEdit(5, true), 10);
  EXPECT_DOUBLE_EQ(pasFloatEdit(10, true), 20);
  EXPECT_DOUBLE_EQ(pasFloatEdit(1, false), 0.5);
  EXPECT_DOUBLE_EQ(pasFloatEdit(0.5, false), 0.2);
  EXPECT_DOUBLE_EQ(pasFloatEdit(0.2, false), 0.1);
  EXPECT_DOUBLE_EQ(pasFloatEdit(0.1, true), 0.2);
  EXPECT_DOUBLE_EQ(pasFloatEdit(100, false), 0.5 * 100);
  // 0.3 x 2.15 = 0.645: 6 tenths become 10, i.e. 1.
  EXPECT_DOUBLE_EQ(pasFloatEdit(0.3, true), 1);
  EXPECT_DOUBLE_EQ(pasFloatEdit(1000, true), 2000);
}

TEST(FloatEdit, BornesFlechesEtTouches) {
  TFloatEdit e;
  e.setNomUnite("Hz");
  QSignalSpy change(&e, &TFloatEdit::valueChanged);
  e.setValue(50);
  EXPECT_EQ(e.findChild<QLineEdit*>()->text(), "50  Hz");
  QTest::keyClick(&e, Qt::Key_Up);
  EXPECT_DOUBLE_EQ(e.Value(), 100);  // 107.5 cut to 100, the maximum
  QTest::keyClick(&e, Qt::Key_Up);
  EXPECT_DOUBLE_EQ(e.Value(), 100);
  QTest::keyClick(&e, Qt::Key_Down);
  EXPECT_DOUBLE_EQ(e.Value(), 50);  // 46.5: 4 tens become 5
  e.setValue(1e-9);
  EXPECT_DOUBLE_EQ(e.Value(), 0.01);
  EXPECT_GE(change.count(), 3);

  // Typing: digits pass, letters do not; Enter applies and clamps.
  e.findChild<QLineEdit*>()->clear();
  QTest::keyClicks(&e, "7x5");
  EXPECT_EQ(e.findChild<QLineEdit*>()->text(), "75");
  QTest::keyClick(&e, Qt::Key_Return);
  EXPECT_DOUBLE_EQ(e.Value(), 75);
  EXPECT_EQ(e.findChild<QLineEdit*>()->text(), "75  Hz");
  e.findChild<QLineEdit*>()->setText("500");
  QTest::keyClick(&e, Qt::Key_Return);
  EXPECT_DOUBLE_EQ(e.Value(), 100);

  // Editor disabled: typing refused, arrows still work.
  e.setEditorEnabled(false);
  const QString avant = e.findChild<QLineEdit*>()->text();
  QTest::keyClicks(&e, "12");
  QTest::keyClick(&e, Qt::Key_Backspace);
  EXPECT_EQ(e.findChild<QLineEdit*>()->text(), avant);
  QTest::keyClick(&e, Qt::Key_Down);
  EXPECT_DOUBLE_EQ(e.Value(), 50);

  // Read-only: the buttons do nothing.
  e.setReadOnly(true);
  e.stepBy(-1);
  EXPECT_DOUBLE_EQ(e.Value(), 50);
}

}  // namespace
