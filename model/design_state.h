#pragma once
// The one record of a design: every entered quantity, the model's results,
// the element values of both T networks and the verification's impedances.
// Complex values are (real part, imaginary part) pairs of doubles.
#include <cstdint>
#include <span>

struct Complex {
  double re = 0.0;
  double im = 0.0;
};

struct DesignState {
  // Entered quantities: magnitudes linear, phases in radians.
  double S11mag = 0, S12mag = 0, S21mag = 0, S22mag = 0;
  double S11ang = 0, S12ang = 0, S21ang = 0, S22ang = 0;
  double Ro = 0;    // ohm, reference resistance of the S-parameters
  double RE = 0;    // ohm, source resistance
  double RL = 0;    // ohm, load resistance
  double fMHz = 0;  // MHz
  double Lf = 0;    // uH, entered or recomputed from Bf for display
  double Cf = 0;    // pF, entered or recomputed from Bf for display
  double Rf = 0;    // kohm, recomputed from Gf for display only

  // Feedback admittance Yf = Gf + jBf, siemens.
  double Gf = 0, Bf = 0;

  // Transistor Y-parameters and the solver's results.
  Complex Y11, Y12, Y21, Y22;
  Complex YS, YL;
  double ReZi = 0, ImZi = 0, ReZo = 0, ImZo = 0;
  double ReZiCheck = 0, ImZiCheck = 0, ReZoCheck = 0, ImZoCheck = 0;
  std::int32_t iterationCount = 0;
  double PoPi = 0;

  std::int16_t errorFlag = 0;

  // Input T network: L-C-L (nH, pF, nH) and C-L-C (pF, nH, pF).
  double Li1 = 0, Ci = 0, Li2 = 0;
  double Ci1 = 0, Li = 0, Ci2 = 0;
  // Output T network: L-C-L (nH, pF, nH) and C-L-C (pF, nH, pF).
  double Lo1 = 0, Co = 0, Lo2 = 0;
  double Co1 = 0, Lo = 0, Co2 = 0;

  // Verification results, ohm.
  double ReZe = 0, ImZe = 0;
  double ReZotot = 0, ImZotot = 0;
  double ReZL = 0, ImZL = 0;
  double ReZitot = 0, ImZitot = 0;
};

// Every field by name, for dumps and for the checks that nothing non-finite
// was stored.
struct RealField {
  const char* name;
  double DesignState::*member;
};
struct ComplexField {
  const char* name;
  Complex DesignState::*member;
};
std::span<const RealField> RealFields();
std::span<const ComplexField> ComplexFields();
// True when every double of the state is finite.
bool AllFieldsFinite(const DesignState& state);
