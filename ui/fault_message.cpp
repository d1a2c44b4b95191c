#include "ui/fault_message.h"

#include <string_view>

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
  const char* during = "il calcolo";
  for (const Stage& stage : kStages)
    if (stage.routine == fault.routine()) during = stage.during;
  return std::string("Errore di calcolo: ") + KindText(fault.kind()) + " durante " + during +
         ". Controlla i valori inseriti.";
}
