#include "model/s_to_y.h"

#include <cmath>

#include "model/arithmetic.h"

static constexpr const char* kRoutine = "ConvertSToY";

static Complex RectangularForm(double magnitude, double phase) {
  return {Mul(magnitude, std::cos(phase), kRoutine), Mul(magnitude, std::sin(phase), kRoutine)};
}

// Stores quotient ÷ Ro part by part, the real part first.
static void StoreAdmittance(Complex& target, Complex numerator, Complex denominator, double Ro) {
  const Complex q = ComplexDiv(numerator, denominator, kRoutine);
  target.re = Div(q.re, Ro, kRoutine);
  target.im = Div(q.im, Ro, kRoutine);
}

void ConvertSToY(DesignState& s) {
  const Complex S11 = RectangularForm(s.S11mag, s.S11ang);
  const Complex S12 = RectangularForm(s.S12mag, s.S12ang);
  const Complex S21 = RectangularForm(s.S21mag, s.S21ang);
  const Complex S22 = RectangularForm(s.S22mag, s.S22ang);

  const Complex p1 = ComplexMul(S11, S22, kRoutine);
  const Complex p2 = ComplexMul(S12, S21, kRoutine);
  const Complex Delta{Sub(p1.re, p2.re, kRoutine), Sub(p1.im, p2.im, kRoutine)};

  // (1 + S11)(1 + S22) − S12·S21, summed as S11 + 1 + S22 + Delta.
  const Complex D{
      Add(Add(Add(S11.re, 1.0, kRoutine), S22.re, kRoutine), Delta.re, kRoutine),
      Add(Add(S22.im, S11.im, kRoutine), Delta.im, kRoutine)};

  const Complex N11{
      Sub(Add(Sub(1.0, S11.re, kRoutine), S22.re, kRoutine), Delta.re, kRoutine),
      Sub(Add(-S11.im, S22.im, kRoutine), Delta.im, kRoutine)};
  StoreAdmittance(s.Y11, N11, D, s.Ro);

  const Complex N12{Mul(S12.re, -2.0, kRoutine), Mul(S12.im, -2.0, kRoutine)};
  StoreAdmittance(s.Y12, N12, D, s.Ro);

  const Complex N21{Mul(S21.re, -2.0, kRoutine), Mul(S21.im, -2.0, kRoutine)};
  StoreAdmittance(s.Y21, N21, D, s.Ro);

  const Complex N22{
      Sub(Sub(Add(S11.re, 1.0, kRoutine), S22.re, kRoutine), Delta.re, kRoutine),
      Sub(Sub(S11.im, S22.im, kRoutine), Delta.im, kRoutine)};
  StoreAdmittance(s.Y22, N22, D, s.Ro);
}

double DegreesToRadians(double deg) {
  return Div(Mul(deg, kTwoPi / 2, "DegreesToRadians"), 180.0, "DegreesToRadians");
}
