#include "model/arithmetic.h"

static const char* FaultKindName(FaultKind kind) {
  switch (kind) {
    case FaultKind::Overflow: return "overflow";
    case FaultKind::DivisionByZero: return "division by zero";
    case FaultKind::InvalidOperation: return "invalid operation";
  }
  return "fault";
}

ArithmeticFault::ArithmeticFault(const char* routine, FaultKind kind)
    : routine_(routine), kind_(kind), text_(std::string(routine) + ": " + FaultKindName(kind)) {}

void RaiseFault(const char* routine, FaultKind kind) { throw ArithmeticFault(routine, kind); }

// The solver spends its time here, so the complex routines test only the
// divisor and each finished part: with finite operands an overflowing step
// makes every later sum, product and quotient that uses it non-finite, except
// a division by an infinite or zero divisor, hence the divisor's own test.
// When a test fails, the routine is repeated with each step tested, which
// raises the fault of the first failing step. Both forms do the same
// operations in the same order, so their results are the same bits. (Each
// part is tested before the next is formed: one test of both parts together
// lets the compiler pack them into vectors through memory, which is slower.)

[[noreturn, gnu::noinline, gnu::cold]] static void RaiseMulFault(Complex a, Complex b,
                                                                 const char* routine) {
  Sub(Mul(a.re, b.re, routine), Mul(a.im, b.im, routine), routine);
  Add(Mul(a.re, b.im, routine), Mul(a.im, b.re, routine), routine);
  RaiseFault(routine, FaultKind::InvalidOperation);  // not reached for finite operands
}

Complex ComplexMul(Complex a, Complex b, const char* routine) {
  Complex p;
  p.re = (a.re * b.re) - (a.im * b.im);
  if (!std::isfinite(p.re)) [[unlikely]]
    RaiseMulFault(a, b, routine);
  p.im = (a.re * b.im) + (a.im * b.re);
  if (!std::isfinite(p.im)) [[unlikely]]
    RaiseMulFault(a, b, routine);
  return p;
}

// No scaling of the divisor: |b|² may overflow (or underflow to a zero
// divisor) although the true quotient is representable.
static double SquaredMagnitude(Complex b, const char* routine) {
  return Add(Mul(b.re, b.re, routine), Mul(b.im, b.im, routine), routine);
}

[[noreturn, gnu::noinline, gnu::cold]] static void RaiseDivFault(Complex a, Complex b,
                                                                 const char* routine) {
  double d = SquaredMagnitude(b, routine);
  Div(Add(Mul(a.re, b.re, routine), Mul(a.im, b.im, routine), routine), d, routine);
  d = SquaredMagnitude(b, routine);
  Div(Sub(Mul(a.im, b.re, routine), Mul(a.re, b.im, routine), routine), d, routine);
  RaiseFault(routine, FaultKind::InvalidOperation);  // not reached for finite operands
}

Complex ComplexDiv(Complex a, Complex b, const char* routine) {
  Complex q;
  // d is formed once for both parts; formed again it would be the same value.
  const double d = (b.re * b.re) + (b.im * b.im);
  if (d == 0.0 || !std::isfinite(d)) [[unlikely]]
    RaiseDivFault(a, b, routine);
  q.re = ((a.re * b.re) + (a.im * b.im)) / d;
  if (!std::isfinite(q.re)) [[unlikely]]
    RaiseDivFault(a, b, routine);
  q.im = ((a.im * b.re) - (a.re * b.im)) / d;
  if (!std::isfinite(q.im)) [[unlikely]]
    RaiseDivFault(a, b, routine);
  return q;
}
