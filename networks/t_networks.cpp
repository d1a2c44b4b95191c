#include "networks/t_networks.h"

#include "model/arithmetic.h"

using Field = double DesignState::*;

// One side of the amplifier: the resistance to match, the impedance of the
// transistor port, and the fields of both variants. "outer" is the arm at the
// resistance, "inner" the arm at the transistor, which carries −Im Z as well.
struct NetworkSide {
  Field resistance, reZ, imZ;
  Field lclOuterL, lclShuntC, lclInnerL;
  Field clcOuterC, clcShuntL, clcInnerC;
};

static constexpr NetworkSide kInputSide{
    &DesignState::RE,  &DesignState::ReZi, &DesignState::ImZi,
    &DesignState::Li1, &DesignState::Ci,   &DesignState::Li2,
    &DesignState::Ci1, &DesignState::Li,   &DesignState::Ci2};
static constexpr NetworkSide kOutputSide{
    &DesignState::RL,  &DesignState::ReZo, &DesignState::ImZo,
    &DesignState::Lo2, &DesignState::Co,   &DesignState::Lo1,
    &DesignState::Co2, &DesignState::Lo,   &DesignState::Co1};

static double ArmReactance(const DesignState& s, const NetworkSide& side, const char* routine) {
  return Sqrt(Mul(s.*side.reZ, s.*side.resistance, routine), routine);
}

// nH for a reactance x: (x × 1000) ÷ (f × 2π).
static double InductanceNH(double x, double fMHz, const char* routine) {
  return Div(Mul(x, 1000.0, routine), Mul(fMHz, kTwoPi, routine), routine);
}

static void DesignLCL(DesignState& s, const NetworkSide& side, const char* routine) {
  const double XT = ArmReactance(s, side, routine);
  s.*side.lclShuntC = Div(1000000.0, Mul(Mul(s.fMHz, kTwoPi, routine), XT, routine), routine);
  s.*side.lclOuterL = InductanceNH(XT, s.fMHz, routine);
  s.*side.lclInnerL = InductanceNH(Sub(XT, s.*side.imZ, routine), s.fMHz, routine);
}

static void DesignCLC(DesignState& s, const NetworkSide& side, const char* routine) {
  const double XT = ArmReactance(s, side, routine);
  s.*side.clcShuntL = InductanceNH(XT, s.fMHz, routine);
  s.*side.clcOuterC = Div(1000000.0, Mul(Mul(s.fMHz, kTwoPi, routine), XT, routine), routine);
  s.*side.clcInnerC = Div(
      1000000.0,
      Mul(Add(s.*side.imZ, XT, routine), Mul(s.fMHz, kTwoPi, routine), routine), routine);
}

void DesignInputLCL(DesignState& s) { DesignLCL(s, kInputSide, "DesignInputLCL"); }
void DesignInputCLC(DesignState& s) { DesignCLC(s, kInputSide, "DesignInputCLC"); }
void DesignOutputLCL(DesignState& s) { DesignLCL(s, kOutputSide, "DesignOutputLCL"); }
void DesignOutputCLC(DesignState& s) { DesignCLC(s, kOutputSide, "DesignOutputCLC"); }
