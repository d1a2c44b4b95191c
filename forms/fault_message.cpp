#include "forms/fault_message.h"

#include <string_view>

#include "model/quantities.h"
#include "text/number_text.h"

namespace {

struct Stage {
  std::string_view routine;
  const char* during;
};

// Routine name → the stage of the calculation, as the user knows it.
constexpr Stage kStages[] = {
    {"ParseNumber", "la lettura dei valori inseriti"},
    {"DegreesToRadians", "la conversione delle fasi in radianti"},
    {"ConvertSToY", "la conversione dei parametri S in parametri Y"},
    {"ApplyFeedbackOption", "il calcolo dell'ammettenza di reazione Yf"},
    {"SolveConjugateMatch", "la ricerca dell'adattamento coniugato"},
    {"ImpedancesFromAdmittances", "la ricerca dell'adattamento coniugato"},
    {"RunCalculate", "il controllo della convergenza dell'adattamento coniugato"},
    {"ComputeMatchedGain", "il calcolo del guadagno Po / Pi"},
    {"ShowFeedbackElement", "il calcolo dell'elemento di reazione"},
    {"ShowGains", "il calcolo del guadagno di tensione |Vo/Vi|"},
    {"DesignInputLCL", "il progetto della rete di adattamento di ingresso"},
    {"DesignInputCLC", "il progetto della rete di adattamento di ingresso"},
    {"DesignOutputLCL", "il progetto della rete di adattamento di uscita"},
    {"DesignOutputCLC", "il progetto della rete di adattamento di uscita"},
    {"VerifyNetworks", "la verifica delle reti di adattamento"},
    {"FormatNumber", "la scrittura dei risultati"},
};

struct FieldName {
  std::string_view field;
  const char* reading;  // follows "durante la lettura "
};

// The input window's fields, as the user knows them.
constexpr FieldName kInputFields[] = {
    {ControlOf(Quantity::S11Mag), "del modulo di S11"},
    {ControlOf(Quantity::S11Deg), "della fase di S11"},
    {ControlOf(Quantity::S21Mag), "del modulo di S21"},
    {ControlOf(Quantity::S21Deg), "della fase di S21"},
    {ControlOf(Quantity::S12Mag), "del modulo di S12"},
    {ControlOf(Quantity::S12Deg), "della fase di S12"},
    {ControlOf(Quantity::S22Mag), "del modulo di S22"},
    {ControlOf(Quantity::S22Deg), "della fase di S22"},
    {ControlOf(Quantity::Ro), "della resistenza caratteristica Ro dei parametri S"},
    {ControlOf(Quantity::RE), "del valore di Re"},
    {ControlOf(Quantity::RfKohm), "della resistenza Rf in kohm"},
    {ControlOf(Quantity::RL), "del valore di RL"},
    {ControlOf(Quantity::LfMicroH), "dell'induttanza Lf in uH"},
    {ControlOf(Quantity::FMHz), "della frequenza f in MHz"},
    {ControlOf(Quantity::CfPicoF), "della capacità Cf in pF"},
};

std::string StageOf(const ArithmeticFault& fault) {
  if (const auto* inField = dynamic_cast<const FieldFault*>(&fault);
      inField && inField->form() == FormId::Form1)
    for (const FieldName& name : kInputFields)
      if (name.field == inField->field()) return std::string("la lettura ") + name.reading;
  const char* during = "il calcolo";
  for (const Stage& stage : kStages)
    if (stage.routine == fault.routine()) during = stage.during;
  return during;
}

const char* KindText(FaultKind kind) {
  switch (kind) {
    case FaultKind::Overflow: return "valore troppo grande (overflow)";
    case FaultKind::DivisionByZero: return "divisione per zero";
    case FaultKind::InvalidOperation:
      return "operazione non valida (ad es. radice quadrata di un numero negativo)";
  }
  return "operazione non valida";
}

}  // namespace

std::string FaultMessage(const ArithmeticFault& fault) {
  return std::string("Errore di calcolo: ") + KindText(fault.kind()) + " durante " +
         StageOf(fault) + ". Controlla i valori inseriti.";
}

FieldFault::FieldFault(const ArithmeticFault& cause, FormId form, std::string_view field)
    : ArithmeticFault(cause.routine(), cause.kind()), form_(form), field_(field) {}

double ReadFieldNumber(FormId form, std::string_view field) {
  const std::u16string text = ReadText(form, field);
  try {
    return ParseNumber(text);
  } catch (const ArithmeticFault& fault) {
    throw FieldFault(fault, form, field);
  }
}

void ReportFault(const ArithmeticFault& fault) {
  ShowMessage(FaultMessage(fault));
  if (const auto* inField = dynamic_cast<const FieldFault*>(&fault))
    FocusField(inField->form(), inField->field());
}
