#include "input/commands.h"

#include <exception>
#include <string>

#include "input/calculate.h"
#include "input/form1_actions.h"
#include "networks/result_commands.h"
#include "ui/fault_message.h"

namespace {

void DispatchClick(DesignState& state, FormId form, std::string_view control) {
  if (form == FormId::Form1) {
    if (control == "Command1") RunCalculate(state);
    else if (control == "Command2") WriteTestValues();
    else if (control == "Option1") ApplyOptionVisibility(1);
    else if (control == "Option2") ApplyOptionVisibility(2);
    else if (control == "Option3") ApplyOptionVisibility(3);
    // Option4 has no click action.
    return;
  }
  if (control == "Command1") RunCompute(form, state);
  else if (control == "Command2") ShowVerificationPanel(form);
}

}  // namespace

void HandleClick(DesignState& state, FormId form, std::string_view control) {
  // A fault stops only the command: what it stored and showed so far stays,
  // and the program goes on.
  try {
    DispatchClick(state, form, control);
  } catch (const ArithmeticFault& fault) {
    ShowMessage(FaultMessage(fault));
  } catch (const std::bad_alloc&) {
    ShowMessage("Memoria insufficiente: il calcolo è stato interrotto.");
  }
}
