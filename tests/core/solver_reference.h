#pragma once
// The solver as a plain loop of all 100001 passes (or lastPass + 1), P formed in every pass and
// every sum tested on its own: what the solver's early finish must reproduce
// bit for bit, faults included. Also the means to run either one and compare
// everything they leave.
#include <bit>
#include <cstdint>
#include <optional>
#include <string>

#include "model/arithmetic.h"
#include "model/solver.h"

inline void ReferenceSolveConjugateMatchUpTo(DesignState& s, std::int32_t lastPass) {
  constexpr const char* r = "SolveConjugateMatch";
  const auto P = [&] {
    return ComplexMul({Sub(s.Y21.re, s.Gf, r), Sub(s.Y21.im, s.Bf, r)},
                      {Sub(s.Gf, s.Y12.re, r), Sub(s.Bf, s.Y12.im, r)}, r);
  };
  const auto outputAdmittance = [&](Complex YS) {
    const Complex q = ComplexDiv(
        P(), {Add(Add(s.Gf, YS.re, r), s.Y11.re, r), Add(Add(-YS.im, s.Bf, r), s.Y11.im, r)}, r);
    return Complex{Add(Add(s.Y22.re, s.Gf, r), q.re, r), Add(Add(s.Y22.im, s.Bf, r), q.im, r)};
  };
  const auto inputAdmittance = [&](Complex YL) {
    const Complex q = ComplexDiv(
        P(), {Add(Add(YL.re, s.Y22.re, r), s.Gf, r), Add(Add(-YL.im, s.Y22.im, r), s.Bf, r)}, r);
    return Complex{Add(Add(s.Y11.re, s.Gf, r), q.re, r), Add(Add(s.Y11.im, s.Bf, r), q.im, r)};
  };
  s.YS = {-1e-7, -1e-7};
  s.iterationCount = 0;
  for (;;) {
    s.YL = outputAdmittance(s.YS);
    s.YS = inputAdmittance(s.YL);
    ++s.iterationCount;
    if (s.iterationCount > lastPass) break;
  }
  ImpedancesFromAdmittances(s);
  const Complex ZoCheck = ComplexDiv({1, 0}, outputAdmittance(s.YS), r);
  s.ReZoCheck = ZoCheck.re;
  s.ImZoCheck = ZoCheck.im;
  const Complex ZiCheck = ComplexDiv({1, 0}, inputAdmittance(s.YL), r);
  s.ReZiCheck = ZiCheck.re;
  s.ImZiCheck = ZiCheck.im;
}

inline void ReferenceSolveConjugateMatch(DesignState& s) { ReferenceSolveConjugateMatchUpTo(s, 100000); }

struct SolveOutcome {
  DesignState state;
  std::optional<std::string> faultRoutine;
  std::optional<FaultKind> faultKind;
};

template <class Solve>
SolveOutcome RunSolve(Solve solve, DesignState state) {
  SolveOutcome out;
  try {
    solve(state);
  } catch (const ArithmeticFault& fault) {
    out.faultRoutine = fault.routine();
    out.faultKind = fault.kind();
  }
  out.state = state;
  return out;
}

// Empty when both left the same bits in every field and the same fault;
// otherwise the first difference by name.
inline std::string FirstDifference(const SolveOutcome& a, const SolveOutcome& b) {
  const auto same = [](double x, double y) {
    return std::bit_cast<std::uint64_t>(x) == std::bit_cast<std::uint64_t>(y);
  };
  for (const RealField& f : RealFields())
    if (!same(a.state.*f.member, b.state.*f.member)) return f.name;
  for (const ComplexField& f : ComplexFields())
    if (!same((a.state.*f.member).re, (b.state.*f.member).re) ||
        !same((a.state.*f.member).im, (b.state.*f.member).im))
      return f.name;
  if (a.state.iterationCount != b.state.iterationCount)
    return "iterationCount " + std::to_string(a.state.iterationCount) + " against " +
           std::to_string(b.state.iterationCount);
  if (a.state.errorFlag != b.state.errorFlag) return "errorFlag";
  if (a.faultRoutine != b.faultRoutine || a.faultKind != b.faultKind) return "fault";
  return {};
}
