#include "model/solver.h"

#include "model/arithmetic.h"

static constexpr const char* kRoutine = "SolveConjugateMatch";
static constexpr std::int32_t kLastPass = 100000;  // passes 0 … 100000

// What the match conditions read, copied out of the state so that the passes
// keep them in registers across the calls of ComplexDiv.
struct FeedbackTwoPort {
  Complex Y11, Y22;
  double Gf, Bf;
  Complex P;  // (Y21 − Yf)·(Yf − Y12), that is −(Y12 − Yf)(Y21 − Yf)
};

static FeedbackTwoPort FeedbackTwoPortOf(const DesignState& s) {
  const Complex P =
      ComplexMul({Sub(s.Y21.re, s.Gf, kRoutine), Sub(s.Y21.im, s.Bf, kRoutine)},
                 {Sub(s.Gf, s.Y12.re, kRoutine), Sub(s.Bf, s.Y12.im, kRoutine)}, kRoutine);
  return {s.Y11, s.Y22, s.Gf, s.Bf, P};
}

// (a + b) + c with one test: with finite operands an overflowing first sum
// stays infinite through the second, so testing the result catches both.
static double Sum3(double a, double b, double c) { return CheckFinite((a + b) + c, kRoutine); }

// Output admittance with the input driven from conj(YS):
// (Y22 + Yf) + P ÷ (Y11 + Yf + conj(YS)).
static Complex OutputAdmittance(const FeedbackTwoPort& t, Complex YS) {
  const Complex q = ComplexDiv(
      t.P,
      {Sum3(t.Gf, YS.re, t.Y11.re),
       Sum3(-YS.im, t.Bf, t.Y11.im)},
      kRoutine);
  return {Sum3(t.Y22.re, t.Gf, q.re),
          Sum3(t.Y22.im, t.Bf, q.im)};
}

// Input admittance with the output loaded by conj(YL):
// (Y11 + Yf) + P ÷ (Y22 + Yf + conj(YL)).
static Complex InputAdmittance(const FeedbackTwoPort& t, Complex YL) {
  const Complex r = ComplexDiv(
      t.P,
      {Sum3(YL.re, t.Y22.re, t.Gf),
       Sum3(-YL.im, t.Y22.im, t.Bf)},
      kRoutine);
  return {Sum3(t.Y11.re, t.Gf, r.re),
          Sum3(t.Y11.im, t.Bf, r.im)};
}

static Complex Reciprocal(Complex z, const char* routine) {
  return ComplexDiv({1.0, 0.0}, z, routine);
}

void ImpedancesFromAdmittances(DesignState& s) {
  const Complex Zi = Reciprocal(s.YS, "ImpedancesFromAdmittances");
  s.ReZi = Zi.re;
  s.ImZi = Zi.im;
  const Complex Zo = Reciprocal(s.YL, "ImpedancesFromAdmittances");
  s.ReZo = Zo.re;
  s.ImZo = Zo.im;
}

// One more evaluation of both match conditions on the final YS and YL.
// ZiCheck comes out equal to Zi, since the last pass formed YS the same way.
static void StoreCheckImpedances(DesignState& s) {
  const FeedbackTwoPort t = FeedbackTwoPortOf(s);
  const Complex ZoCheck = Reciprocal(OutputAdmittance(t, s.YS), kRoutine);
  s.ReZoCheck = ZoCheck.re;
  s.ImZoCheck = ZoCheck.im;
  const Complex ZiCheck = Reciprocal(InputAdmittance(t, s.YL), kRoutine);
  s.ReZiCheck = ZiCheck.re;
  s.ImZiCheck = ZiCheck.im;
}

void SolveConjugateMatch(DesignState& s) {
  s.YS = {-1e-7, -1e-7};
  s.iterationCount = 0;
  // P depends only on Y12, Y21 and Yf: formed once, the passes give the same
  // bits as forming it in each pass.
  const FeedbackTwoPort t = FeedbackTwoPortOf(s);
  Complex YS = s.YS;
  // No convergence test and no early exit: all passes always run. YS and YL
  // are stored after each complete update, so a fault leaves the last ones.
  do {
    const Complex YL = OutputAdmittance(t, YS);
    s.YL = YL;
    YS = InputAdmittance(t, YL);
    s.YS = YS;
    ++s.iterationCount;
  } while (s.iterationCount <= kLastPass);

  ImpedancesFromAdmittances(s);
  StoreCheckImpedances(s);
}
