// The commands driven through the in-memory forms: everything the program
// does between a click and the labels, without any window toolkit.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "forms/commands.h"
#include "forms/headless.h"
#include "model/arithmetic.h"
#include "text/number_text.h"

namespace {

class Commands : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUiBackend(nullptr);
    ResetHeadlessForms();
    state = DesignState{};
  }
  void Click(FormId form, const char* control) { HandleClick(state, form, control); }
  void Select(const char* option) {
    HeadlessSelectOption(FormId::Form1, option);
    Click(FormId::Form1, option);
  }
  void Type(const char* field, const char* text) {
    SetText(FormId::Form1, field, Utf8ToUtf16(text));
  }
  std::string Box(FormId form, const char* label) { return HeadlessContent(form, label); }
  std::vector<std::string> TakeMessages() {
    std::vector<std::string> m = HeadlessMessages();
    HeadlessMessages().clear();
    return m;
  }
  // The test values with "Yf -> Rf" and Rf = 5 kohm: the Form2 case.
  void CalculateWorkedExample() {
    Click(FormId::Form1, "Command2");
    Select("Option1");
    Click(FormId::Form1, "Command1");
  }
  DesignState state;
};


TEST_F(Commands, HiddenFieldsAreCheckedWhateverTheOption) {
  Select("Option4");
  Type("Text11", "");
  Click(FormId::Form1, "Command1");
  EXPECT_EQ(TakeMessages(),
            std::vector<std::string>{"Hai dimenticato di scrivere il valore della resistenza Rf"});
  EXPECT_EQ(HeadlessFocusedField(), "Form1.Text11");  // where the correction goes
  Type("Text11", "5");
  Type("Text9", "5 0");
  Click(FormId::Form1, "Command1");
  auto m = TakeMessages();
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0].rfind("Errore di inserimento dati per il valore della resistenza caratteristica", 0), 0u);
  EXPECT_EQ(HeadlessFocusedField(), "Form1.Text9");
}

TEST_F(Commands, LfZeroEndsTheCommandBeforeTheSolver) {
  Click(FormId::Form1, "Command2");
  Select("Option1");
  Click(FormId::Form1, "Command1");
  const double gf = state.Gf;
  TakeMessages();
  Select("Option2");
  Type("Text13", "0");
  Click(FormId::Form1, "Command1");
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{"Lf non può essere zero!"});
  EXPECT_EQ(HeadlessFocusedField(), "Form1.Text13");
  EXPECT_EQ(state.Gf, gf);
  EXPECT_EQ(state.Bf, 0);
  EXPECT_EQ(state.Lf, 0);
  EXPECT_FALSE(IsOptionSelected(FormId::Form1, "Option1"));
}

TEST_F(Commands, FeedbackDisplayFollowsTheLastDesign) {
  CalculateWorkedExample();
  Click(FormId::Form2, "Command1");
  ASSERT_TRUE(IsControlVisible(FormId::Form2, "Picture4"));
  // Rf // Lf: Picture4 goes, the Lf picture and labels come.
  state.Bf = -0.001;
  Click(FormId::Form2, "Command1");
  EXPECT_FALSE(IsControlVisible(FormId::Form2, "Picture4"));
  EXPECT_TRUE(IsControlVisible(FormId::Form2, "Picture2"));
  EXPECT_EQ(Box(FormId::Form2, "Label29"), FormatNumber(state.Lf));
  // Rf // Cf next: Picture2 is left as it was, the Lf labels go.
  state.Bf = 0.001;
  Click(FormId::Form2, "Command1");
  EXPECT_TRUE(IsControlVisible(FormId::Form2, "Picture3"));
  EXPECT_TRUE(IsControlVisible(FormId::Form2, "Picture2"));
  EXPECT_FALSE(IsControlVisible(FormId::Form2, "Label29"));
  EXPECT_TRUE(IsControlVisible(FormId::Form2, "Label31"));
  // Rf alone after both: Picture4 comes back over them, nothing is hidden.
  state.Bf = 0;
  Click(FormId::Form2, "Command1");
  for (const char* c : {"Picture4", "Picture3", "Picture2", "Label31"})
    EXPECT_TRUE(IsControlVisible(FormId::Form2, c)) << c;
  EXPECT_EQ(Box(FormId::Form2, "Label28"), "5.00E+00");
}

TEST_F(Commands, ResultWindowRulesForYf) {
  CalculateWorkedExample();
  TakeMessages();
  // Gf = Bf = 0: a warning, then the design goes on with no feedback shown.
  state.Gf = 0;
  state.Bf = 0;
  Click(FormId::Form2, "Command1");
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{"Yf non esiste! E' un circuito aperto!"});
  EXPECT_FALSE(IsControlVisible(FormId::Form2, "Picture4"));
  EXPECT_FALSE(IsControlVisible(FormId::Form2, "Label28"));
  EXPECT_FALSE(Box(FormId::Form2, "Label1").empty());

  // Bf < 0 with Gf = 0: Lf shown, Rf infinite.
  state.Bf = -0.001;
  state.fMHz = 100;
  Click(FormId::Form2, "Command1");
  EXPECT_EQ(Box(FormId::Form2, "Label29"), "1.59E+00");
  EXPECT_EQ(Box(FormId::Form2, "Label28"), "infinito");

  // A failing sign test ends the command; Form2's message ends with two blanks.
  state.ReZiCheck = -1e-9;
  Click(FormId::Form2, "Command1");
  EXPECT_EQ(TakeMessages(),
            std::vector<std::string>{"ReZi o ReZo risultano negativi! Prova ad assegnare un "
                                     "valore ad Yf es: Rf = 5 kohm  "});
}

TEST_F(Commands, Form3RereadsSourceFrequencyAndLoad) {
  // Form3 designs with what the input window holds now; the others with the stored values.
  CalculateWorkedExample();
  Click(FormId::Form2, "Command1");
  TakeMessages();
  Type("Text10", "75");
  ShowForm(FormId::Form3);
  Click(FormId::Form2, "Command1");
  EXPECT_EQ(state.RE, 50);
  Click(FormId::Form3, "Command1");
  EXPECT_EQ(state.RE, 75);
  EXPECT_EQ(Box(FormId::Form3, "Label10"), "7.50E+01");
  // After the user closed the input window, Form3 reads the texts it last held.
  HeadlessCloseForm(FormId::Form1);
  Type("Text10", "75");
  Click(FormId::Form3, "Command1");
  EXPECT_EQ(state.RE, 75);
}

TEST_F(Commands, ZeroImaginaryInputOpensForm2AndForm5) {
  // S11 = S12 = 0 and no feedback: Y11 = 1 / Ro exactly, so ImZi is 0.
  const std::pair<const char*, const char*> texts[] = {
      {"Text1", "0"}, {"Text2", "0"}, {"Text3", "2"}, {"Text4", "0"},
      {"Text5", "0"},   {"Text6", "0"}, {"Text7", "0.5"}, {"Text8", "-30"}};
  for (auto [f, t] : texts) Type(f, t);
  Select("Option4");
  Click(FormId::Form1, "Command1");
  ASSERT_EQ(state.ImZi, 0.0);
  ASSERT_LT(state.ImZo, 0.0);
  EXPECT_TRUE(IsFormOpen(FormId::Form2));
  EXPECT_TRUE(IsFormOpen(FormId::Form5));
  EXPECT_FALSE(IsFormOpen(FormId::Form3) || IsFormOpen(FormId::Form4));
  TakeMessages();
  Click(FormId::Form2, "Command1");
  Click(FormId::Form5, "Command1");
  EXPECT_EQ(state.Li2, state.Li1);
  EXPECT_EQ(state.Ci2, state.Ci1);
}

TEST_F(Commands, FaultInAResultWindowKeepsEarlierLabels) {
  CalculateWorkedExample();
  Click(FormId::Form2, "Command1");
  const std::string before = Box(FormId::Form2, "Label10");
  TakeMessages();
  state.RE = 0;  // VoVi divides by RE
  Click(FormId::Form2, "Command1");
  auto m = TakeMessages();
  ASSERT_EQ(m.size(), 1u);
  EXPECT_NE(m[0].find("|Vo/Vi|"), std::string::npos);
  EXPECT_EQ(Box(FormId::Form2, "Label10"), before);
  EXPECT_TRUE(AllFieldsFinite(state));
}

}  // namespace
