// Texts of every size and texts outside the Basic Multilingual Plane, through
// the whole command path on the in-memory forms: one clear message, no
// window, nothing non-finite stored and the user's text left as typed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/commands.h"
#include "forms/field_check.h"
#include "forms/headless.h"
#include "fuzz/number_pattern.h"
#include "tests/core/worked_example.h"
#include "text/number_text.h"

namespace {

constexpr FormId kResultForms[] = {FormId::Form2, FormId::Form3, FormId::Form4, FormId::Form5};

const std::string kInvalidTail =
    ". Puoi scrivere soltanto numeri razionali con il punto come separatore decimale, anche "
    "in forma esponenziale. Ad es: 1.23 , 1E-5 , 5E3";
std::string OverflowWhileReading(const char* field) {
  return std::string("Errore di calcolo: valore troppo grande (overflow) durante la lettura ") +
         field + ". Controlla i valori inseriti.";
}

class LongText : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUiBackend(nullptr);
    ResetHeadlessForms();
  }
  // Types `text` into `field` over the test values with Rf = 5 kohm, presses
  // Calculate and returns its messages.
  std::vector<std::string> Calculate(const char* field, const std::u16string& text) {
    HandleClick(state, FormId::Form1, "Command2");
    HeadlessSelectOption(FormId::Form1, "Option1");
    SetText(FormId::Form1, field, text);
    HandleClick(state, FormId::Form1, "Command1");
    EXPECT_EQ(ReadText(FormId::Form1, field), text) << "the command changed the text";
    EXPECT_TRUE(AllFieldsFinite(state));
    return TakeMessages();
  }
  std::vector<std::string> TakeMessages() {
    std::vector<std::string> m = HeadlessMessages();
    HeadlessMessages().clear();
    return m;
  }
  bool AnyResultWindowOpen() {
    for (FormId f : kResultForms)
      if (IsFormOpen(f)) return true;
    return false;
  }
  DesignState state;
};

TEST_F(LongText, FieldLengthOfDigitsValidatesAndParses) {
  const std::u16string digits(32767, u'9');
  DesignState s;
  ValidateNumberText(s, digits, "empty", "invalid");
  EXPECT_EQ(s.errorFlag, 0);
  EXPECT_TRUE(HeadlessMessages().empty());
  ExpectFault(FaultKind::Overflow, [&] { ParseNumber(digits); });
  // The same length can also spell an ordinary value or one below the range.
  std::u16string five = u"5";  // appended, not "5" + std::u16string&& (a GCC 12 -Wrestrict false alarm)
  five += std::u16string(32766, u'0');
  five += u"e-32766";
  EXPECT_EQ(ParseNumber(five), 5);
  EXPECT_EQ(ParseNumber(u"0." + std::u16string(32764, u'0') + u"1"), 0);
  EXPECT_EQ(ParseNumber(u"1." + std::u16string(32765, u'0')), 1);
}

TEST_F(LongText, OverlongMagnitudeIsOneFaultAndNoWindow) {
  EXPECT_EQ(Calculate("Text1", std::u16string(32767, u'9')),
            std::vector<std::string>{OverflowWhileReading("del modulo di S11")});
  EXPECT_FALSE(AnyResultWindowOpen());
  EXPECT_EQ(HeadlessFocusedField(), "Form1.Text1");
  // A million characters, more than any field holds, take the same way.
  EXPECT_EQ(Calculate("Text3", std::u16string(1'000'000, u'7')),
            std::vector<std::string>{OverflowWhileReading("del modulo di S21")});
  EXPECT_FALSE(AnyResultWindowOpen());
  EXPECT_EQ(HeadlessFocusedField(), "Form1.Text3");
  // A million characters that spell 24.51 keep the design.
  EXPECT_TRUE(Calculate("Text3", u"24.51" + std::u16string(999'995, u'0')).empty());
  EXPECT_TRUE(IsFormOpen(FormId::Form2));
}

TEST_F(LongText, IllegalCharacterAnywhereInAMillion) {
  std::u16string text(1'000'000, u'1');
  text[999'999] = u'x';
  EXPECT_EQ(Calculate("Text14", text),
            std::vector<std::string>{"Errore di inserimento dati per il valore della frequenza f in MHz" +
                                     kInvalidTail});
  EXPECT_FALSE(AnyResultWindowOpen());
}

TEST_F(LongText, CharactersBeyondTheBasicPlaneAreIllegal) {
  const std::string invalidS11 = "Errore di inserimento dati per il modulo di S11" + kInvalidTail;
  // A mathematical digit five (U+1D7D3) as a surrogate pair, alone and among
  // digits; then each half of the pair on its own.
  for (const std::u16string& text :
       {std::u16string(u"\U0001D7D3"), std::u16string(u"0.5\U0001D7D31"), std::u16string(1, u'\xD835'),
        std::u16string(u"0.5") + u'\xDFD3', u"0.51" + std::u16string(1, u'\xD800')}) {
    EXPECT_EQ(Calculate("Text1", text), std::vector<std::string>{invalidS11});
    EXPECT_FALSE(AnyResultWindowOpen());
  }
  // The parse reads only the leading number and stops at any surrogate.
  EXPECT_EQ(ParseNumber(u"75" + std::u16string(1, u'\xD800')), 75);
  EXPECT_EQ(ParseNumber(u"\U0001D7D3"), 0);
}

// Form3 reads RE, f and RL again without the field check.
TEST_F(LongText, Form3RereadsHugeAndBrokenTexts) {
  // Form3 left open from an earlier run beside this design's Form2.
  ASSERT_TRUE(Calculate("Text10", u"50").empty());
  ShowForm(FormId::Form3);

  SetText(FormId::Form1, "Text10", u"75" + std::u16string(1, u'\xDC00') + std::u16string(999'997, u'x'));
  HandleClick(state, FormId::Form3, "Command1");
  EXPECT_TRUE(TakeMessages().empty());
  EXPECT_EQ(state.RE, 75);
  EXPECT_TRUE(IsFormattedNumber(HeadlessContent(FormId::Form3, "Label37")));

  SetText(FormId::Form1, "Text12", std::u16string(1'000'000, u'5'));
  const std::string before = HeadlessContent(FormId::Form3, "Label20");
  HandleClick(state, FormId::Form3, "Command1");
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{OverflowWhileReading("del valore di RL")});
  EXPECT_EQ(HeadlessFocusedField(), "Form1.Text12");
  EXPECT_EQ(state.RL, 50);  // the fault came before RL was stored
  EXPECT_EQ(HeadlessContent(FormId::Form3, "Label20"), before);
  EXPECT_TRUE(AllFieldsFinite(state));
}

}  // namespace
