#include "forms/result_commands.h"

#include <string>

#include "forms/controls.h"
#include "forms/fault_message.h"
#include "model/arithmetic.h"
#include "model/quantities.h"
#include "networks/t_networks.h"
#include "text/number_text.h"
#include "verification/verify.h"

namespace {


struct ElementLabel {
  const char* label;
  double DesignState::*value;
};

// What sets the four windows apart.
struct ResultWindow {
  NetworkKind input, output;
  bool rereadsInput;            // Form3 reads RE, f and RL again from Form1
  const char* signMessage;
  ElementLabel inputLabels[3];  // Label1, Label2, Label3
  ElementLabel outputLabels[3]; // Label20, Label19, Label18
};

constexpr const char* kSignMessage =
    "ReZi o ReZo risultano negativi! Prova ad assegnare un valore ad Yf es: Rf = 5 kohm ";
constexpr const char* kSignMessageForm2 =
    "ReZi o ReZo risultano negativi! Prova ad assegnare un valore ad Yf es: Rf = 5 kohm  ";
constexpr const char* kNoFeedbackMessage = "Yf non esiste! E' un circuito aperto!";

constexpr ElementLabel kInputLCL[3] = {
    {"Label1", &DesignState::Li1}, {"Label2", &DesignState::Li2}, {"Label3", &DesignState::Ci}};
constexpr ElementLabel kInputCLC[3] = {
    {"Label1", &DesignState::Ci1}, {"Label2", &DesignState::Ci2}, {"Label3", &DesignState::Li}};
constexpr ElementLabel kOutputLCL[3] = {
    {"Label20", &DesignState::Lo1}, {"Label19", &DesignState::Lo2}, {"Label18", &DesignState::Co}};
constexpr ElementLabel kOutputCLC[3] = {
    {"Label20", &DesignState::Co1}, {"Label19", &DesignState::Co2}, {"Label18", &DesignState::Lo}};

const ResultWindow& WindowOf(FormId form) {
  static const ResultWindow kWindows[4] = {
      {NetworkKind::LCL, NetworkKind::LCL, false, kSignMessageForm2,
       {kInputLCL[0], kInputLCL[1], kInputLCL[2]}, {kOutputLCL[0], kOutputLCL[1], kOutputLCL[2]}},
      {NetworkKind::LCL, NetworkKind::CLC, true, kSignMessage,
       {kInputLCL[0], kInputLCL[1], kInputLCL[2]}, {kOutputCLC[0], kOutputCLC[1], kOutputCLC[2]}},
      {NetworkKind::CLC, NetworkKind::CLC, false, kSignMessage,
       {kInputCLC[0], kInputCLC[1], kInputCLC[2]}, {kOutputCLC[0], kOutputCLC[1], kOutputCLC[2]}},
      {NetworkKind::CLC, NetworkKind::LCL, false, kSignMessage,
       {kInputCLC[0], kInputCLC[1], kInputCLC[2]}, {kOutputLCL[0], kOutputLCL[1], kOutputLCL[2]}},
  };
  return kWindows[static_cast<int>(form) - static_cast<int>(FormId::Form2)];
}

// The verification panel's value boxes, in the order they are written.
constexpr ElementLabel kVerificationLabels[] = {
    {"Label10", &DesignState::ReZitot}, {"Label11", &DesignState::ImZitot},
    {"Label26", &DesignState::ReZotot}, {"Label25", &DesignState::ImZotot},
    {"Label48", &DesignState::ReZe},    {"Label47", &DesignState::ImZe},
    {"Label41", &DesignState::ReZL},    {"Label42", &DesignState::ImZL},
    {"Label56", &DesignState::ReZi},    {"Label55", &DesignState::ImZi},
    {"Label49", &DesignState::ReZo},    {"Label50", &DesignState::ImZo},
};

// The 25 labels of the panel, in the order the show command makes them visible.
constexpr const char* kVerificationPanel[] = {
    "Label10", "Label11", "Label21", "Label22", "Label23", "Label24", "Label25",
    "Label26", "Label27", "Label41", "Label42", "Label43", "Label44", "Label45",
    "Label46", "Label47", "Label48", "Label49", "Label50", "Label51", "Label52",
    "Label53", "Label54", "Label55", "Label56"};

void ShowAll(FormId form, std::initializer_list<const char*> controls) {
  for (const char* c : controls) ShowControl(form, c);
}
void HideAll(FormId form, std::initializer_list<const char*> controls) {
  for (const char* c : controls) HideControl(form, c);
}

void WriteLabels(FormId form, const DesignState& state, const ElementLabel* labels, int count) {
  for (int i = 0; i < count; ++i) SetCaption(form, labels[i].label, FormatNumber(state.*labels[i].value));
}

// Cases b and c: Rf in parallel with the reactive element, or no resistor.
void ShowParallelResistance(FormId form, DesignState& state) {
  if (state.Gf == 0) {
    SetCaption(form, "Label28", "infinito");
  } else {
    state.Rf = Div(0.001, state.Gf, "ShowFeedbackElement");
    SetCaption(form, "Label28", FormatNumber(state.Rf));
  }
}

void RereadInputFields(DesignState& state) {
  state.RE = ReadFieldNumber(FormId::Form1, ControlOf(Quantity::RE));
  state.fMHz = ReadFieldNumber(FormId::Form1, ControlOf(Quantity::FMHz));
  state.RL = ReadFieldNumber(FormId::Form1, ControlOf(Quantity::RL));
}

void ShowGains(FormId form, const DesignState& state) {
  constexpr const char* kGains = "ShowGains";
  SetCaption(form, "Label38", FormatNumber(state.PoPi));
  const double voVi = Sqrt(Div(Mul(state.RL, state.PoPi, kGains), state.RE, kGains), kGains);
  SetCaption(form, "Label37", FormatNumber(voVi));
}

}  // namespace

void ShowFeedbackElement(FormId form, DesignState& s) {
  constexpr const char* kFeedback = "ShowFeedbackElement";
  if (s.Bf == 0 && s.Gf > 0) {
    ShowControl(form, "Picture4");
    s.Rf = Div(0.001, s.Gf, kFeedback);
    ShowAll(form, {"Label32", "Label28", "Label34"});
    SetCaption(form, "Label28", FormatNumber(s.Rf));
  } else if (s.Bf > 0) {
    HideControl(form, "Picture4");
    ShowControl(form, "Picture3");
    HideAll(form, {"Label33", "Label29", "Label35"});
    ShowAll(form, {"Label30", "Label31", "Label36", "Label32", "Label28", "Label34"});
    s.Cf = Div(Mul(s.Bf, 1000000, kFeedback), Mul(s.fMHz, kTwoPi, kFeedback), kFeedback);
    SetCaption(form, "Label31", FormatNumber(s.Cf));
    ShowParallelResistance(form, s);
  } else if (s.Bf < 0) {
    HideControl(form, "Picture4");
    ShowControl(form, "Picture2");
    ShowAll(form, {"Label33", "Label29", "Label35"});
    HideAll(form, {"Label30", "Label31", "Label36"});
    ShowAll(form, {"Label32", "Label28", "Label34"});
    s.Lf = Div(-1.0, Mul(Mul(s.fMHz, kTwoPi, kFeedback), s.Bf, kFeedback), kFeedback);
    SetCaption(form, "Label29", FormatNumber(s.Lf));
    ShowParallelResistance(form, s);
  }
  // Bf = 0 with Gf <= 0: the display stays as it was.
}

bool RunCompute(FormId form, DesignState& state) {
  const ResultWindow& window = WindowOf(form);
  if (window.rereadsInput) RereadInputFields(state);
  if (!(state.ReZoCheck >= 0 && state.ReZiCheck >= 0)) {
    ShowMessage(window.signMessage);
    return false;
  }
  if (state.Bf == 0 && state.Gf == 0) ShowMessage(kNoFeedbackMessage);
  ShowFeedbackElement(form, state);
  ShowGains(form, state);

  if (window.input == NetworkKind::LCL)
    DesignInputLCL(state);
  else
    DesignInputCLC(state);
  WriteLabels(form, state, window.inputLabels, 3);

  if (window.output == NetworkKind::LCL)
    DesignOutputLCL(state);
  else
    DesignOutputCLC(state);
  WriteLabels(form, state, window.outputLabels, 3);

  VerifyNetworks(state, window.input, window.output);
  WriteLabels(form, state, kVerificationLabels, std::size(kVerificationLabels));
  return true;
}

void ShowVerificationPanel(FormId form) {
  for (const char* label : kVerificationPanel) ShowControl(form, label);
}

NetworkKinds NetworkKindsOf(FormId form) {
  const ResultWindow& window = WindowOf(form);
  return {window.input, window.output};
}

std::optional<AmplifierDesign> CaptureDesign(FormId window, const DesignState& state) {
  if (window == FormId::Form1) return std::nullopt;
  std::optional<AmplifierDesign> design = DesignOfState(NetworkKindsOf(window), state);
  if (design)
    design->origin = "finestra \"" + std::string(FormSpecOf(window).caption) + "\" (" + FormName(window) + ")";
  return design;
}
