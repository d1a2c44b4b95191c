#include "forms/form1_actions.h"

#include "forms/services.h"
#include "model/quantities.h"

namespace {

// The nine feedback controls, always set in this order.
constexpr const char* kFeedbackControls[9] = {
    ControlOf(Quantity::RfKohm), "Label17", "Label23", ControlOf(Quantity::LfMicroH), "Label18",
    "Label25", "Label22", "Label26", ControlOf(Quantity::CfPicoF)};

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
    {ControlOf(Quantity::S11Mag), u"0.51"},  {ControlOf(Quantity::S11Deg), u"-44.8"},
    {ControlOf(Quantity::S21Mag), u"24.51"}, {ControlOf(Quantity::S21Deg), u"142.5"},
    {ControlOf(Quantity::S12Mag), u"0.01"},  {ControlOf(Quantity::S12Deg), u"74.5"},
    {ControlOf(Quantity::S22Mag), u"0.86"},  {ControlOf(Quantity::S22Deg), u"-16.7"},
    {ControlOf(Quantity::FMHz), u"100"},
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
