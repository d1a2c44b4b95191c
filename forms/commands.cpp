#include "forms/commands.h"

#include <exception>
#include <string>

#include "forms/calculate.h"
#include "forms/fault_message.h"
#include "forms/form1_actions.h"
#include "forms/result_commands.h"
#include "model/quantities.h"

namespace {

bool DispatchClick(DesignState& state, FormId form, std::string_view control) {
  if (form == FormId::Form1) {
    if (control == "Command1") return RunCalculate(state);
    if (control == "Command2") WriteTestValues();
    // Option4 has no click action (ApplyOptionVisibility ignores it).
    else if (const int option = FeedbackOptionNumber(control)) ApplyOptionVisibility(option);
    return true;
  }
  if (control == "Command1") return RunCompute(form, state);
  if (control == "Command2") ShowVerificationPanel(form);
  return true;
}

}  // namespace

bool HandleClick(DesignState& state, FormId form, std::string_view control) {
  // A fault stops only the command: what it stored and showed so far stays,
  // and the program goes on.
  try {
    return DispatchClick(state, form, control);
  } catch (const ArithmeticFault& fault) {
    ReportFault(fault);
  } catch (const std::bad_alloc&) {
    ShowMessage("Memoria insufficiente: il calcolo è stato interrotto.");
  }
  return false;
}
