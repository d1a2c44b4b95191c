#pragma once
// Yf = Gf + jBf of the feedback element across the transistor, from the
// input window's units: Rf in kohm, Lf in uH, Cf in pF, f in MHz. Calculate
// forms the design's Yf here and the analysis across frequency forms the
// element's Yf here too, with the same steps in the same order and the
// program's 2π, so an amplifier analysed at its design frequency has the
// design's Yf to the bit. A failing step raises ArithmeticFault naming
// `routine`.
#include "model/quantities.h"

struct FeedbackYf {
  double Gf = 0, Bf = 0;  // siemens
};

// 0.001 ÷ Rf.
double FeedbackConductance(double rfKohm, const char* routine);
// −1 ÷ ((f·2π)·Lf), and (f·2π·10⁻⁶)·Cf.
double InductorSusceptance(double fMHz, double lfMicroH, const char* routine);
double CapacitorSusceptance(double fMHz, double cfPicoF, const char* routine);

// Yf of the option's element: Gf first, then Bf. The values an option does
// not use are not read; None gives 0.
FeedbackYf FeedbackOf(FeedbackChoice choice, double fMHz, double rfKohm, double lfMicroH, double cfPicoF,
                      const char* routine);
