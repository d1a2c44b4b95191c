#include "model/solver.h"

#include <bit>
#include <cstdint>

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

// The next pass depends on YS alone (the two-port is fixed), so when the YS
// a pass leaves has the same bits as one an earlier pass left, every later
// pass repeats that stretch of passes operation for operation: same values,
// and no fault, since each of those operations already ran without one. The
// watch compares each YS with the one before (fixed points, nearly all the
// repetitions of real transistors, seen at once) and with a mark that moves
// to the latest pass whenever the passes since it reach a doubling span
// (Brent's method): cycles of any period are seen too, by about twice the
// pass where they start plus two periods, for two comparisons a pass (a ring
// of the last 64 states would cost 64 a pass and miss longer cycles).
class RepeatWatch {
 public:
  explicit RepeatWatch(Complex YS) : previous_(BitsOf(YS)), mark_(previous_) {}

  // How many passes back the YS left by pass `pass` was left before, or 0.
  std::int32_t PeriodAt(Complex YS, std::int32_t pass) {
    const Bits bits = BitsOf(YS);
    std::int32_t period = 0;
    if (bits == previous_)
      period = 1;
    else if (bits == mark_)
      period = pass - markedAt_;
    previous_ = bits;
    if (pass - markedAt_ == span_) {
      mark_ = bits;
      markedAt_ = pass;
      span_ *= 2;
    }
    return period;
  }

 private:
  // Bits, not values: −0.0 and +0.0 compare equal but may not lead to the same
  // bits in the passes after them.
  struct Bits {
    std::uint64_t re, im;
    bool operator==(const Bits&) const = default;
  };
  static Bits BitsOf(Complex z) {
    return {std::bit_cast<std::uint64_t>(z.re), std::bit_cast<std::uint64_t>(z.im)};
  }

  Bits previous_, mark_;
  std::int32_t markedAt_ = 0, span_ = 1;
};

// The passes still to run after pass `done`, less whole turns of the cycle:
// the passes that remain then end on the same phase of it as the full run.
static std::int32_t SkippedPasses(std::int32_t done, std::int32_t period, std::int32_t lastPass) {
  const std::int32_t remaining = lastPass + 1 - done;
  return remaining - remaining % period;
}

void SolveConjugateMatch(DesignState& s) { SolveConjugateMatchUpTo(s, kLastPass); }

void SolveConjugateMatchUpTo(DesignState& s, std::int32_t lastPass) {
  s.YS = {-1e-7, -1e-7};
  s.iterationCount = 0;
  // P depends only on Y12, Y21 and Yf: formed once, the passes give the same
  // bits as forming it in each pass.
  const FeedbackTwoPort t = FeedbackTwoPortOf(s);
  Complex YS = s.YS;
  RepeatWatch watch(YS);
  // No convergence test: the result is that of all 100001 passes. YS and YL
  // are stored after each complete update, so a fault leaves the last ones.
  // When YS repeats, the counter skips whole turns of the cycle and the last
  // passes run as usual, leaving the YS, YL and counter of the full run.
  do {
    const Complex YL = OutputAdmittance(t, YS);
    s.YL = YL;
    YS = InputAdmittance(t, YL);
    s.YS = YS;
    ++s.iterationCount;
    if (const std::int32_t period = watch.PeriodAt(YS, s.iterationCount)) [[unlikely]]
      s.iterationCount += SkippedPasses(s.iterationCount, period, lastPass);
  } while (s.iterationCount <= lastPass);

  ImpedancesFromAdmittances(s);
  StoreCheckImpedances(s);
}
