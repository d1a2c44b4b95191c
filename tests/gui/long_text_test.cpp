// Pastes of every size and characters outside the Basic Multilingual Plane
// in the real input fields: the field cuts a paste to 32767 units, and the
// Calculate command answers with one message and opens no window.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/qt_ui.h"
#include "tests/gui/fresh_windows.h"

namespace {

const std::string kInvalidS11 =
    "Errore di inserimento dati per il modulo di S11. Puoi scrivere soltanto numeri razionali "
    "con il punto come separatore decimale, anche in forma esponenziale. Ad es: 1.23 , 1E-5 , 5E3";
const std::string kOverflowInS11 =
    "Errore di calcolo: valore troppo grande (overflow) durante la lettura del modulo di S11. "
    "Controlla i valori inseriti.";

class LongPaste : public ::testing::Test {
 protected:
  void SetUp() override {
    OpenFreshWindows(design_);
    // The test values with Rf = 5 kohm: a design that opens Form2.
    Button("Command2")->click();
    static_cast<QRadioButton*>(FindControl(FormId::Form1, "Option1"))->click();
  }
  static QLineEdit* Field(const char* name) {
    return static_cast<QLineEdit*>(FindControl(FormId::Form1, name));
  }
  static QPushButton* Button(const char* name) {
    return static_cast<QPushButton*>(FindControl(FormId::Form1, name));
  }
  // Replaces the field's text as a paste from the clipboard does.
  static void Paste(QLineEdit* field, const QString& text) {
    QApplication::clipboard()->setText(text);
    field->selectAll();
    field->paste();
  }
  static bool AnyResultWindow() {
    for (FormId form : kResultForms)
      if (FormWidget(form) && FormWidget(form)->isVisible()) return true;
    return false;
  }
  std::vector<std::string> Calculate() {
    g_messages.clear();
    Button("Command1")->click();
    EXPECT_TRUE(AllFieldsFinite(design_));
    return g_messages;
  }
  static DesignState design_;
};
DesignState LongPaste::design_;

TEST_F(LongPaste, FieldCutsAPasteToItsLimit) {
  QLineEdit* s11 = Field("Text1");
  Paste(s11, QString(40000, u'9'));
  ASSERT_EQ(s11->text().size(), 32767);
  EXPECT_EQ(Calculate(), std::vector<std::string>{kOverflowInS11});
  EXPECT_FALSE(AnyResultWindow());
  EXPECT_EQ(s11->text(), QString(32767, u'9'));
  EXPECT_EQ(FormWidget(FormId::Form1)->focusWidget(), s11);
  EXPECT_EQ(s11->selectedText(), s11->text());

  // A million characters that start like the test value still design.
  Paste(s11, QStringLiteral("0.51") + QString(999'996, u'0'));
  EXPECT_EQ(s11->text().size(), 32767);
  EXPECT_TRUE(Calculate().empty());
  EXPECT_TRUE(FormWidget(FormId::Form2) && FormWidget(FormId::Form2)->isVisible());
}

TEST_F(LongPaste, SurrogatesAreIllegalCharacters) {
  QLineEdit* s11 = Field("Text1");
  const QString mathFive = QString::fromUtf8("\U0001D7D3");  // a digit beyond the BMP
  for (const QString& text : {mathFive, QStringLiteral("0.5") + mathFive,
                              QStringLiteral("0.51") + QChar(0xD800)}) {
    s11->setText(text);
    EXPECT_EQ(Calculate(), std::vector<std::string>{kInvalidS11});
    EXPECT_FALSE(AnyResultWindow());
  }
  // The cut at 32767 units splits the pair and leaves a lone high surrogate.
  Paste(s11, QString(32766, u'1') + mathFive);
  ASSERT_EQ(s11->text().size(), 32767);
  EXPECT_TRUE(s11->text().back().isHighSurrogate());
  EXPECT_EQ(Calculate(), std::vector<std::string>{kInvalidS11});
  EXPECT_FALSE(AnyResultWindow());
}

}  // namespace
