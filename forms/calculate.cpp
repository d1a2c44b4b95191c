#include "forms/calculate.h"

#include <cmath>
#include <string>

#include "forms/field_check.h"
#include "model/arithmetic.h"
#include "model/gain.h"
#include "model/s_to_y.h"
#include "model/solver.h"
#include "forms/fault_message.h"
#include "text/number_text.h"
#include "forms/services.h"

namespace {

constexpr const char* kRoutine = "RunCalculate";

struct FieldCheck {
  const char* field;
  const char* messageEmpty;
  const char* subject;  // of the illegal-character message
};

// In the order the fields are checked; the first bad one ends the command.
constexpr FieldCheck kFieldChecks[] = {
    {"Text1", "Hai dimenticato di scrivere il modulo di S11", "il modulo di S11"},
    {"Text2", "Hai dimenticato di scrivere la fase di S11", "la fase di S11"},
    {"Text3", "Hai dimenticato di scrivere il modulo di S21", "il modulo di S21"},
    {"Text4", "Hai dimenticato di scrivere la fase di S21", "la fase di S21"},
    {"Text5", "Hai dimenticato di scrivere il modulo di S12", "il modulo di S12"},
    {"Text6", "Hai dimenticato di scrivere la fase di S12", "la fase di S12"},
    {"Text7", "Hai dimenticato di scrivere il modulo di S22", "il modulo di S22"},
    {"Text8", "Hai dimenticato di scrivere la fase di S22", "la fase di S22"},
    {"Text10", "Hai dimenticato di scrivere il valore di Re", "il valore di Re"},
    {"Text12", "Hai dimenticato di scrivere valore di RL", "valore di RL"},
    {"Text14", "Hai dimenticato di scrivere il valore della frequenza f in MHz",
     "il valore della frequenza f in MHz"},
    {"Text9",
     "Hai dimenticato di scrivere il valore della resistenza caratteristica dei parametri S. "
     "Ro = 50 ohm.",
     "il valore della resistenza caratteristica Ro dei parametri S"},
    {"Text11", "Hai dimenticato di scrivere il valore della resistenza Rf",
     "il valore della resistenza Rf in kohm"},
    {"Text13", "Hai dimenticato di scrivere il valore della induttanza Lf",
     "il valore della induttanza Lf in uH"},
    {"Text15", "Hai dimenticato di scrivere il valore della capacità Cf",
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

double ParseField(const char* field) { return ReadFieldNumber(FormId::Form1, field); }

// The first bad field ends the command, with the focus in it for the correction.
bool ValidateFields(DesignState& state) {
  for (const FieldCheck& check : kFieldChecks) {
    ValidateNumberText(state, ReadText(FormId::Form1, check.field), check.messageEmpty,
                       std::string(kInvalidHead) + check.subject + kInvalidTail);
    if (state.errorFlag == 1) {
      FocusField(FormId::Form1, check.field);
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
  const char* field;
  const char* name;
  const char* option;  // the feedback option that uses it; nullptr: always used
};
constexpr PositiveQuantity kPositiveQuantities[] = {
    {"Text10", "La resistenza RE", nullptr},
    {"Text12", "La resistenza RL", nullptr},
    {"Text14", "La frequenza f in MHz", nullptr},
    {"Text9", "La resistenza caratteristica Ro", nullptr},
    {"Text11", "La resistenza Rf", "Option1"},
    {"Text11", "La resistenza Rf", "Option2"},
    {"Text11", "La resistenza Rf", "Option3"},
    {"Text13", "L'induttanza Lf", "Option2"},
    {"Text15", "La capacità Cf", "Option3"},
};

// A text beyond the double range is left to the reading that follows, so its
// fault is told where it always was.
bool IsNegative(const char* field) {
  try {
    return ParseNumber(ReadText(FormId::Form1, field)) < 0;
  } catch (const ArithmeticFault&) {
    return false;
  }
}

bool RefuseNegativeQuantities(DesignState& state) {
  for (const PositiveQuantity& q : kPositiveQuantities) {
    if (q.option && !IsOptionSelected(FormId::Form1, q.option)) continue;
    if (!IsNegative(q.field)) continue;
    ShowMessage(std::string(q.name) + " deve essere positiva: il valore scritto è negativo");
    // The session and the reports read the flag: no figure comes from these fields.
    state.errorFlag = 1;
    FocusField(FormId::Form1, q.field);
    return true;
  }
  return false;
}

void StoreEnteredQuantities(DesignState& state) {
  state.S11mag = ParseField("Text1");
  state.S11ang = DegreesToRadians(ParseField("Text2"));
  state.S12mag = ParseField("Text5");
  state.S12ang = DegreesToRadians(ParseField("Text6"));
  state.S21mag = ParseField("Text3");
  state.S21ang = DegreesToRadians(ParseField("Text4"));
  state.S22mag = ParseField("Text7");
  state.S22ang = DegreesToRadians(ParseField("Text8"));
  state.RE = ParseField("Text10");
  state.fMHz = ParseField("Text14");
  state.RL = ParseField("Text12");
  state.Ro = ParseField("Text9");
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
  if (IsOptionSelected(f, "Option1")) {
    s.Gf = Div(0.001, ParseField("Text11"), kFeedback);
    s.Bf = 0;
  } else if (IsOptionSelected(f, "Option2")) {
    ClearOption(f, "Option1");
    ClearOption(f, "Option3");
    s.Lf = ParseField("Text13");
    if (s.Lf == 0) {
      ShowMessage(kLfZeroMessage);
      FocusField(f, "Text13");
      return false;
    }
    s.Gf = Div(0.001, ParseField("Text11"), kFeedback);
    s.Bf = Div(-1.0, Mul(Mul(s.fMHz, kTwoPi, kFeedback), s.Lf, kFeedback), kFeedback);
  } else if (IsOptionSelected(f, "Option3")) {
    ClearOption(f, "Option1");
    ClearOption(f, "Option2");
    s.Cf = ParseField("Text15");
    s.Gf = Div(0.001, ParseField("Text11"), kFeedback);
    s.Bf = Mul(Mul(s.fMHz, 6.28318530717958e-6, kFeedback), s.Cf, kFeedback);
  } else if (IsOptionSelected(f, "Option4")) {
    ClearOption(f, "Option1");
    ClearOption(f, "Option2");
    ClearOption(f, "Option3");
    s.Gf = 0;
    s.Bf = 0;
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
