// The window tables: names, the controls the commands address, start
// visibility and the captions and sizes that differ from window to window.
// The input window's actions are tested on the real windows (tests/gui).
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>

#include "forms/controls.h"

namespace {

constexpr FormId kResultForms[] = {FormId::Form2, FormId::Form3, FormId::Form4, FormId::Form5};

const ControlSpec& RowOf(FormId form, const char* name) {
  const ControlSpec* c = FindControlSpec(FormSpecOf(form), name);
  if (!c) throw std::runtime_error(std::string(FormName(form)) + " lacks " + name);
  return *c;
}

std::string Caption(FormId form, const char* name) { return RowOf(form, name).caption; }

TEST(WindowTables, NamesAreUniqueAndControlsLieInTheClientArea) {
  for (int f = 1; f <= 5; ++f) {
    const FormSpec& form = FormSpecOf(static_cast<FormId>(f));
    std::set<std::string> names;
    for (const ControlSpec& c : form.controls) {
      EXPECT_TRUE(names.insert(c.name).second) << form.name << " repeats " << c.name;
      EXPECT_LE(c.left + c.width, form.clientWidth) << form.name << "." << c.name;
      EXPECT_LE(c.top + c.height, form.clientHeight) << form.name << "." << c.name;
    }
    EXPECT_NE(FindControlSpec(form, form.startFocus), nullptr) << form.name;
  }
}

TEST(WindowTables, EveryResultWindowHasWhatTheCommandsAddress) {
  const char* boxes[] = {"Label1",  "Label2",  "Label3",  "Label20", "Label19", "Label18",
                         "Label37", "Label38", "Label28", "Label29", "Label31"};
  const char* panel[] = {"Label10", "Label11", "Label26", "Label25", "Label48", "Label47",
                         "Label41", "Label42", "Label56", "Label55", "Label49", "Label50"};
  const char* panelCaptions[] = {"Label21", "Label22", "Label23", "Label24", "Label27",
                                 "Label43", "Label44", "Label45", "Label46", "Label51",
                                 "Label52", "Label53", "Label54"};
  const char* feedback[] = {"Picture2", "Picture3", "Picture4", "Label28", "Label29", "Label30",
                            "Label31", "Label32", "Label33", "Label34", "Label35", "Label36"};
  for (FormId form : kResultForms) {
    for (const char* name : boxes) {
      const ControlSpec& c = RowOf(form, name);
      EXPECT_EQ(c.border, Border::Single) << name;
      EXPECT_EQ(c.align, Align::Right) << name;
      EXPECT_EQ(c.back, 0xC0C0FFu) << name;
      EXPECT_STREQ(c.caption, "") << name;
      EXPECT_EQ(c.width, 1935);
      EXPECT_EQ(c.height, 375);
    }
    for (const char* name : panel) {
      EXPECT_EQ(RowOf(form, name).back, 0xFFC080u) << name;
      EXPECT_FALSE(RowOf(form, name).visible) << name;
    }
    for (const char* name : panelCaptions) EXPECT_FALSE(RowOf(form, name).visible) << name;
    for (const char* name : feedback) EXPECT_FALSE(RowOf(form, name).visible) << name;
    for (const char* name : {"Picture1", "Command1", "Command2", "Label1", "Label37", "Label39"})
      EXPECT_TRUE(RowOf(form, name).visible) << name;
    EXPECT_EQ(RowOf(form, "Command1").back, 0xC0C0FFu);
    EXPECT_EQ(RowOf(form, "Command2").back, 0xFFC080u);

    // Picture4 lies over the other two feedback pictures.
    const FormSpec& row = FormSpecOf(form);
    EXPECT_GT(&RowOf(form, "Picture4") - row.controls.data(),
              &RowOf(form, "Picture2") - row.controls.data());
    EXPECT_GT(&RowOf(form, "Picture4") - row.controls.data(),
              &RowOf(form, "Picture3") - row.controls.data());
  }
}

TEST(WindowTables, ResultCaptionsAndSizesThatDifferPerWindow) {
  EXPECT_STREQ(FormSpecOf(FormId::Form2).caption, "ImZi < 0    ImZo < 0");
  EXPECT_STREQ(FormSpecOf(FormId::Form5).caption, "ImZi > 0  ImZo < 0");
  EXPECT_EQ(Caption(FormId::Form3, "Label17"), "Coi1");
  EXPECT_EQ(Caption(FormId::Form5, "Label17"), "Loi1");
  EXPECT_EQ(Caption(FormId::Form4, "Label6"), "Li");
  EXPECT_EQ(Caption(FormId::Form3, "Label15"), "Lo");
  EXPECT_EQ(Caption(FormId::Form2, "Label23"), "ImZotot)");
  EXPECT_EQ(Caption(FormId::Form3, "Label44"), "ImZL)");
  EXPECT_EQ(Caption(FormId::Form4, "Label40"), " Po / Pi");
  EXPECT_EQ(Caption(FormId::Form5, "Label39"), "|Vo/Vi|");
  EXPECT_EQ(Caption(FormId::Form4, "Label52"), "Im(Zo)");
  EXPECT_EQ(Caption(FormId::Form5, "Label52"), "ImZo)");
  EXPECT_EQ(Caption(FormId::Form2, "Label27"), "Verifica:  (tutte le impedenze in ohm)");
  EXPECT_EQ(Caption(FormId::Form3, "Label27"), "Verifica: (tutte le impedenze in ohm)");
  EXPECT_EQ(RowOf(FormId::Form3, "Label27").width, 3135);
  EXPECT_EQ(RowOf(FormId::Form4, "Label27").width, 3375);
  EXPECT_EQ(RowOf(FormId::Form5, "Command1").width, 1455);
  EXPECT_EQ(RowOf(FormId::Form4, "Command1").width, 1335);
  EXPECT_EQ(RowOf(FormId::Form2, "Label43").width, 855);
  EXPECT_EQ(RowOf(FormId::Form3, "Label43").width, 735);
  EXPECT_EQ(RowOf(FormId::Form3, "Label54").width, 735);
  EXPECT_EQ(RowOf(FormId::Form4, "Label54").width, 615);
  EXPECT_EQ(RowOf(FormId::Form4, "Picture1").height, 5055);
  EXPECT_EQ(RowOf(FormId::Form4, "Picture1").picture, PictureId::Schematic4);
  EXPECT_EQ(RowOf(FormId::Form3, "Label15").left, 3840);
  EXPECT_EQ(RowOf(FormId::Form4, "Label15").left, 4080);
  EXPECT_EQ(RowOf(FormId::Form3, "Label36").top, 9000);
  // The unit beside each value follows the element: nH 495 wide, pF 375.
  EXPECT_EQ(Caption(FormId::Form3, "Label12"), "[pF]");
  EXPECT_EQ(RowOf(FormId::Form3, "Label12").width, 375);
  EXPECT_EQ(Caption(FormId::Form3, "Label14"), "[nH]");
  EXPECT_EQ(RowOf(FormId::Form3, "Label14").width, 495);
}

TEST(WindowTables, InputWindowStartStateAndTabOrder) {
  const FormSpec& form = FormSpecOf(FormId::Form1);
  EXPECT_EQ(form.clientWidth, 18795);
  EXPECT_EQ(form.clientHeight, 9165);
  EXPECT_STREQ(form.startFocus, "Text14");
  EXPECT_EQ(Caption(FormId::Form1, "Command1"), "Trova le reti di adattamento ");
  EXPECT_EQ(RowOf(FormId::Form1, "Label10").font, FontRole::Symbol);
  EXPECT_EQ(RowOf(FormId::Form1, "Label15").font, FontRole::Large);
  EXPECT_TRUE(RowOf(FormId::Form1, "Label9").wrap);
  EXPECT_EQ(RowOf(FormId::Form1, "Option4").back, 0xFF8000u);
  EXPECT_EQ(RowOf(FormId::Form1, "Text15").left, RowOf(FormId::Form1, "Text13").left);
  EXPECT_EQ(RowOf(FormId::Form1, "Text15").top, RowOf(FormId::Form1, "Text13").top);

  std::set<std::string> hidden;
  for (const ControlSpec& c : form.controls)
    if (!c.visible) hidden.insert(c.name);
  EXPECT_EQ(hidden, (std::set<std::string>{"Text11", "Text13", "Text15", "Label17", "Label18",
                                           "Label22", "Label23", "Label25", "Label26"}));

  const char* order[] = {"Text14", "Text12", "Text10", "Text1",  "Text2",    "Text3",
                         "Text4",  "Text5",  "Text6",  "Text7",  "Text8",    "Text9",
                         "Command1", "Picture1", "Text11", "Text13", "Command2", "Option1",
                         "Option2", "Option3", "Text15", "Option4"};
  for (int i = 0; i < 22; ++i) EXPECT_EQ(RowOf(FormId::Form1, order[i]).tabIndex, i) << order[i];
}

}  // namespace
