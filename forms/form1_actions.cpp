#include "forms/form1_actions.h"

#include "forms/services.h"

namespace {

// The nine feedback controls, always set in this order.
constexpr const char* kFeedbackControls[9] = {"Text11", "Label17", "Label23", "Text13", "Label18",
                                              "Label25", "Label22", "Label26", "Text15"};

// Per option (1..3): which of the nine are shown. Rf always; Lf for Option2; Cf for Option3.
constexpr bool kShown[3][9] = {
    {true, true, true, false, false, false, false, false, false},
    {true, true, true, true, true, true, false, false, false},
    {true, true, true, false, false, false, true, true, true},
};

struct TestValue {
  const char* field;
  const char16_t* text;
};

constexpr TestValue kTestValues[] = {
    {"Text1", u"0.51"}, {"Text2", u"-44.8"}, {"Text3", u"24.51"},
    {"Text4", u"142.5"}, {"Text5", u"0.01"}, {"Text6", u"74.5"},
    {"Text7", u"0.86"}, {"Text8", u"-16.7"}, {"Text14", u"100"},
};

}  // namespace

void ApplyOptionVisibility(int option) {
  if (option < 1 || option > 3) return;
  for (int i = 0; i < 9; ++i) {
    if (kShown[option - 1][i])
      ShowControl(FormId::Form1, kFeedbackControls[i]);
    else
      HideControl(FormId::Form1, kFeedbackControls[i]);
  }
}

void WriteTestValues() {
  for (const TestValue& v : kTestValues) SetText(FormId::Form1, v.field, v.text);
}
