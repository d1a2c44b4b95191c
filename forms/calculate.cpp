#include "forms/calculate.h"

#include <cmath>
#include <string>

#include "forms/fault_message.h"
#include "forms/field_check.h"
#include "forms/services.h"
#include "model/arithmetic.h"
#include "model/feedback.h"
#include "model/gain.h"
#include "model/quantities.h"
#include "model/s_to_y.h"
#include "model/solver.h"
#include "text/number_text.h"

namespace {

constexpr const char* kRoutine = "RunCalculate";

struct FieldCheck {
  Quantity field;
  const char* messageEmpty;
  const char* subject;  // of the illegal-character message
};

// In the order the fields are checked; the first bad one ends the command.
constexpr FieldCheck kFieldChecks[] = {
    {Quantity::S11Mag, "Hai dimenticato di scrivere il modulo di S11", "il modulo di S11"},
    {Quantity::S11Deg, "Hai dimenticato di scrivere la fase di S11", "la fase di S11"},
    {Quantity::S21Mag, "Hai dimenticato di scrivere il modulo di S21", "il modulo di S21"},
    {Quantity::S21Deg, "Hai dimenticato di scrivere la fase di S21", "la fase di S21"},
    {Quantity::S12Mag, "Hai dimenticato di scrivere il modulo di S12", "il modulo di S12"},
    {Quantity::S12Deg, "Hai dimenticato di scrivere la fase di S12", "la fase di S12"},
    {Quantity::S22Mag, "Hai dimenticato di scrivere il modulo di S22", "il modulo di S22"},
    {Quantity::S22Deg, "Hai dimenticato di scrivere la fase di S22", "la fase di S22"},
    {Quantity::RE, "Hai dimenticato di scrivere il valore di Re", "il valore di Re"},
    {Quantity::RL, "Hai dimenticato di scrivere valore di RL", "valore di RL"},
    {Quantity::FMHz, "Hai dimenticato di scrivere il valore della frequenza f in MHz",
     "il valore della frequenza f in MHz"},
    {Quantity::Ro,
     "Hai dimenticato di scrivere il valore della resistenza caratteristica dei parametri S. "
     "Ro = 50 ohm.",
     "il valore della resistenza caratteristica Ro dei parametri S"},
    {Quantity::RfKohm, "Hai dimenticato di scrivere il valore della resistenza Rf",
     "il valore della resistenza Rf in kohm"},
    {Quantity::LfMicroH, "Hai dimenticato di scrivere il valore della induttanza Lf",
     "il valore della induttanza Lf in uH"},
    {Quantity::CfPicoF, "Hai dimenticato di scrivere il valore della capacità Cf",
     "il valore della capacità Cf in pF"},
};

constexpr const char* kInvalidHead = "Errore di inserimento dati per ";
constexpr const char* kInvalidTail =
    ". Puoi scrivere soltanto numeri razionali con il punto come separatore decimale, anche "
    "in forma esponenziale. Ad es: 1.23 , 1E-5 , 5E3";

constexpr const char* kNoMatchMessage =
    "Con questi valori non esiste adattamento coniugato in ingresso e in uscita, prova a "
    "scegliere una delle opzioni: Rf ; Rf-Lf ; Rf-Cf.Prova ad assegnare un valore a Rf es: "
    "Rf = 5 kohm. Oppure: Rf = 5 kohm e Lf = 10 uH. I risultati non sono affidabili e il "
    "programma viene bloccato";
constexpr const char* kNegativeMessage =
    "ReZi o ReZo risultano negativi! Prova ad assegnare un valore ad Yf es: Rf = 5 kohm ";
constexpr const char* kLfZeroMessage = "Lf non può essere zero!";

double ParseField(Quantity field) { return ReadFieldNumber(FormId::Form1, ControlOf(field)); }

// The first bad field ends the command, with the focus in it for the correction.
bool ValidateFields(DesignState& state) {
  for (const FieldCheck& check : kFieldChecks) {
    ValidateNumberText(state, ReadText(FormId::Form1, ControlOf(check.field)), check.messageEmpty,
                       std::string(kInvalidHead) + check.subject + kInvalidTail);
    if (state.errorFlag == 1) {
      FocusField(FormId::Form1, ControlOf(check.field));
      return false;
    }
  }
  return true;
}

// The quantities that have no meaning below zero. A negative one used to run
// through the whole design and give networks of negative inductors and
// capacitors reported as made; it is refused before any computation. Zero
// keeps the fault it meets later (−0 reads as zero here too).
struct PositiveQuantity {
  Quantity field;
  const char* name;
  bool always;                            // whatever the feedback
  bool usedByRf, usedByRfLf, usedByRfCf;  // by these feedback options
};
constexpr PositiveQuantity kPositiveQuantities[] = {
    {Quantity::RE, "La resistenza RE", true, false, false, false},
    {Quantity::RL, "La resistenza RL", true, false, false, false},
    {Quantity::FMHz, "La frequenza f in MHz", true, false, false, false},
    {Quantity::Ro, "La resistenza caratteristica Ro", true, false, false, false},
    {Quantity::RfKohm, "La resistenza Rf", false, true, true, true},
    {Quantity::LfMicroH, "L'induttanza Lf", false, false, true, false},
    {Quantity::CfPicoF, "La capacità Cf", false, false, false, true},
};

// Whether the quantity enters this Calculate: always, or through the
// feedback option selected now.
bool UsedNow(const PositiveQuantity& q) {
  if (q.always) return true;
  const FormId f = FormId::Form1;
  return (q.usedByRf && IsOptionSelected(f, ControlOf(FeedbackChoice::Rf))) ||
         (q.usedByRfLf && IsOptionSelected(f, ControlOf(FeedbackChoice::RfLf))) ||
         (q.usedByRfCf && IsOptionSelected(f, ControlOf(FeedbackChoice::RfCf)));
}

// A text beyond the double range is left to the reading that follows, so its
// fault is told where it always was.
bool IsNegative(Quantity field) {
  try {
    return ParseNumber(ReadText(FormId::Form1, ControlOf(field))) < 0;
  } catch (const ArithmeticFault&) {
    return false;
  }
}

bool RefuseNegativeQuantities(DesignState& state) {
  for (const PositiveQuantity& q : kPositiveQuantities) {
    if (!UsedNow(q) || !IsNegative(q.field)) continue;
    ShowMessage(std::string(q.name) + " deve essere positiva: il valore scritto è negativo");
    // The session and the reports read the flag: no figure comes from these fields.
    state.errorFlag = 1;
    FocusField(FormId::Form1, ControlOf(q.field));
    return true;
  }
  return false;
}

void StoreEnteredQuantities(DesignState& state) {
  state.S11mag = ParseField(Quantity::S11Mag);
  state.S11ang = DegreesToRadians(ParseField(Quantity::S11Deg));
  state.S12mag = ParseField(Quantity::S12Mag);
  state.S12ang = DegreesToRadians(ParseField(Quantity::S12Deg));
  state.S21mag = ParseField(Quantity::S21Mag);
  state.S21ang = DegreesToRadians(ParseField(Quantity::S21Deg));
  state.S22mag = ParseField(Quantity::S22Mag);
  state.S22ang = DegreesToRadians(ParseField(Quantity::S22Deg));
  state.RE = ParseField(Quantity::RE);
  state.fMHz = ParseField(Quantity::FMHz);
  state.RL = ParseField(Quantity::RL);
  state.Ro = ParseField(Quantity::Ro);
}

// Strictly below 0.01 in each part: the passes have settled.
bool IsMatchSettled(const DesignState& s) {
  const double differences[] = {
      std::fabs(Sub(s.ReZiCheck, s.ReZi, kRoutine)), std::fabs(Sub(s.ImZiCheck, s.ImZi, kRoutine)),
      std::fabs(Sub(s.ReZoCheck, s.ReZo, kRoutine)), std::fabs(Sub(s.ImZoCheck, s.ImZo, kRoutine))};
  for (double d : differences)
    if (!(d < 0.01)) return false;
  return true;
}

void OpenResultWindows(const DesignState& s) {
  // Four independent tests: ImZi exactly 0 with ImZo < 0 opens Form2 and Form5.
  if (s.ImZi <= 0 && s.ImZo < 0) ShowForm(FormId::Form2);
  if (s.ImZi < 0 && s.ImZo >= 0) ShowForm(FormId::Form3);
  if (s.ImZi >= 0 && s.ImZo >= 0) ShowForm(FormId::Form4);
  if (s.ImZi >= 0 && s.ImZo < 0) ShowForm(FormId::Form5);
}

}  // namespace

bool ApplyFeedbackOption(DesignState& s) {
  constexpr const char* kFeedback = "ApplyFeedbackOption";
  const FormId f = FormId::Form1;
  const auto apply = [&s, kFeedback](FeedbackChoice choice) {
    // With no element the Rf field is not read, as it never was.
    const double rfKohm = choice == FeedbackChoice::None ? 0.0 : ParseField(Quantity::RfKohm);
    const FeedbackYf yf = FeedbackOf(choice, s.fMHz, rfKohm, s.Lf, s.Cf, kFeedback);
    s.Gf = yf.Gf;
    s.Bf = yf.Bf;
  };
  if (IsOptionSelected(f, ControlOf(FeedbackChoice::Rf))) {
    apply(FeedbackChoice::Rf);
  } else if (IsOptionSelected(f, ControlOf(FeedbackChoice::RfLf))) {
    ClearOption(f, ControlOf(FeedbackChoice::Rf));
    ClearOption(f, ControlOf(FeedbackChoice::RfCf));
    s.Lf = ParseField(Quantity::LfMicroH);
    if (s.Lf == 0) {
      ShowMessage(kLfZeroMessage);
      FocusField(f, ControlOf(Quantity::LfMicroH));
      return false;
    }
    apply(FeedbackChoice::RfLf);
  } else if (IsOptionSelected(f, ControlOf(FeedbackChoice::RfCf))) {
    ClearOption(f, ControlOf(FeedbackChoice::Rf));
    ClearOption(f, ControlOf(FeedbackChoice::RfLf));
    s.Cf = ParseField(Quantity::CfPicoF);
    apply(FeedbackChoice::RfCf);
  } else if (IsOptionSelected(f, ControlOf(FeedbackChoice::None))) {
    ClearOption(f, ControlOf(FeedbackChoice::Rf));
    ClearOption(f, ControlOf(FeedbackChoice::RfLf));
    ClearOption(f, ControlOf(FeedbackChoice::RfCf));
    apply(FeedbackChoice::None);
  }
  // No option selected: Yf stays whatever the last run left.
  return true;
}

bool RunCalculate(DesignState& state) {
  if (!ValidateFields(state)) return false;
  if (RefuseNegativeQuantities(state)) return false;
  StoreEnteredQuantities(state);
  ConvertSToY(state);
  if (!ApplyFeedbackOption(state)) return false;
  SolveConjugateMatch(state);
  if (!IsMatchSettled(state)) {
    ShowMessage(kNoMatchMessage);
    return false;
  }
  if (state.ReZoCheck < 0 || state.ReZiCheck < 0) {
    ShowMessage(kNegativeMessage);
    return false;
  }
  ComputeMatchedGain(state);
  OpenResultWindows(state);
  return true;
}
