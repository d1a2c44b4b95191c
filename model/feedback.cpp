#include "model/feedback.h"

#include "model/arithmetic.h"

double FeedbackConductance(double rfKohm, const char* routine) { return Div(0.001, rfKohm, routine); }

double InductorSusceptance(double fMHz, double lfMicroH, const char* routine) {
  return Div(-1.0, Mul(Mul(fMHz, kTwoPi, routine), lfMicroH, routine), routine);
}

double CapacitorSusceptance(double fMHz, double cfPicoF, const char* routine) {
  return Mul(Mul(fMHz, kTwoPi * 1e-6, routine), cfPicoF, routine);
}

FeedbackYf FeedbackOf(FeedbackChoice choice, double fMHz, double rfKohm, double lfMicroH, double cfPicoF,
                      const char* routine) {
  switch (choice) {
    case FeedbackChoice::Rf:
      return {FeedbackConductance(rfKohm, routine), 0};
    case FeedbackChoice::RfLf: {
      const double gf = FeedbackConductance(rfKohm, routine);
      return {gf, InductorSusceptance(fMHz, lfMicroH, routine)};
    }
    case FeedbackChoice::RfCf: {
      const double gf = FeedbackConductance(rfKohm, routine);
      return {gf, CapacitorSusceptance(fMHz, cfPicoF, routine)};
    }
    case FeedbackChoice::None:
      break;
  }
  return {};
}
