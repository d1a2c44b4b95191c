#pragma once
// Checked double arithmetic. Every stored or compared result of a step goes
// through one of these, so that an overflow, a zero divisor or an invalid
// operation stops the routine with an ArithmeticFault instead of leaving an
// infinity or a NaN behind.
#include <cmath>
#include <exception>
#include <numbers>
#include <string>

#include "model/design_state.h"

// The program's 2π, as every conversion between frequency, reactance and
// element value uses it: 14 digits, not the double nearest 2π. The designs
// have always been computed with these digits, and an element value made
// with the full 2π differs in its last bits (tests/core/networks_test.cpp
// checks Li1 both ways), so the specified routines keep them. Its half is
// the π of the degrees-to-radians conversion, exactly (halving is exact).
inline constexpr double kTwoPi = 6.28318530717958;
// The double nearest π, for everything computed without the program's 2π:
// the analysis across frequency, the file reader's angles, the figures.
inline constexpr double kPi = std::numbers::pi;

enum class FaultKind { Overflow, DivisionByZero, InvalidOperation };

// `routine` names the routine whose step failed (for example "ConvertSToY"),
// so that a window can tell the user at which stage the calculation stopped.
class ArithmeticFault : public std::exception {
 public:
  ArithmeticFault(const char* routine, FaultKind kind);
  const char* routine() const noexcept { return routine_; }
  FaultKind kind() const noexcept { return kind_; }
  const char* what() const noexcept override { return text_.c_str(); }

 private:
  const char* routine_;
  FaultKind kind_;
  std::string text_;
};

[[noreturn]] void RaiseFault(const char* routine, FaultKind kind);

// Operands are always finite (nothing non-finite is ever stored), so a
// non-finite result means the step itself overflowed or was invalid.
inline double CheckFinite(double x, const char* routine) {
  if (!std::isfinite(x)) [[unlikely]]
    RaiseFault(routine, std::isnan(x) ? FaultKind::InvalidOperation : FaultKind::Overflow);
  return x;
}
inline double Add(double a, double b, const char* routine) { return CheckFinite(a + b, routine); }
inline double Sub(double a, double b, const char* routine) { return CheckFinite(a - b, routine); }
inline double Mul(double a, double b, const char* routine) { return CheckFinite(a * b, routine); }
inline double Div(double a, double b, const char* routine) {
  if (b == 0.0) [[unlikely]]
    RaiseFault(routine, FaultKind::DivisionByZero);
  return CheckFinite(a / b, routine);
}
inline double Sqrt(double x, const char* routine) {
  if (x < 0.0) [[unlikely]]
    RaiseFault(routine, FaultKind::InvalidOperation);
  return std::sqrt(x);
}

// a·b and a÷b. `routine` is the caller's name for fault reports.
Complex ComplexMul(Complex a, Complex b, const char* routine = "ComplexMul");
Complex ComplexDiv(Complex a, Complex b, const char* routine = "ComplexDiv");
