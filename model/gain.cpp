#include "model/gain.h"

#include "model/arithmetic.h"

static constexpr const char* kRoutine = "ComputeMatchedGain";

static double SquaredMagnitude(double re, double im) {
  return Add(Mul(re, re, kRoutine), Mul(im, im, kRoutine), kRoutine);
}

void ComputeMatchedGain(DesignState& s) {
  // −H is the voltage ratio from input to output with the output loaded by
  // conj(YL): H = (Y21 − Yf) ÷ (Y22 + Yf + conj(YL)).
  const Complex H = ComplexDiv(
      {Sub(s.Y21.re, s.Gf, kRoutine), Sub(s.Y21.im, s.Bf, kRoutine)},
      {Add(Add(s.Y22.re, s.YL.re, kRoutine), s.Gf, kRoutine),
       Add(Add(-s.YL.im, s.Y22.im, kRoutine), s.Bf, kRoutine)},
      kRoutine);
  const double zi2 = SquaredMagnitude(s.ReZi, s.ImZi);
  const double zo2 = SquaredMagnitude(s.ReZo, s.ImZo);
  const double ratio = Div(zi2, zo2, kRoutine);
  const double hmag2 = SquaredMagnitude(H.re, H.im);
  s.PoPi = Mul(Mul(hmag2, Div(s.ReZo, s.ReZi, kRoutine), kRoutine), ratio, kRoutine);
}
