// The solver finishes early when its state repeats; everything it leaves, and
// any fault, must be the same bits as the plain loop of all 100001 passes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <random>
#include <vector>

#include "model/s_to_y.h"
#include "tests/core/solver_cases.h"
#include "tests/core/solver_reference.h"

namespace {

// Every field set to something the solver may keep or overwrite, so that a
// field stored by one and not by the other shows.
DesignState Prefilled() {
  DesignState s;
  double v = 0.5;
  for (const RealField& f : RealFields()) s.*f.member = (v += 0.25);
  for (const ComplexField& f : ComplexFields()) s.*f.member = {v += 0.25, -v};
  s.iterationCount = -7;
  return s;
}

// Solves with both and reports the first difference, for EXPECT_EQ(…, "").
std::string CompareSolvers(const DesignState& s) {
  return FirstDifference(RunSolve(SolveConjugateMatch, s), RunSolve(ReferenceSolveConjugateMatch, s));
}

DesignState StateAtPoint(const TouchstoneData& file, std::size_t i) {
  return StateOfFields(Prefilled(), FieldsAtPoint(file, i));
}

TEST(SolverRepeat, EveryFrequencyOfTheSampleFilesUnderEveryFeedback) {
  const std::vector<TouchstoneData> files = SampleFiles(BJT_TEST_DATA_DIR);
  ASSERT_GE(files.size(), 3u);  // a sample file cut short is left out
  int cases = 0;
  for (const TouchstoneData& file : files)
    for (std::size_t i = 0; i < file.records.size(); ++i)
      for (const Feedback& feedback : kFeedbacks) {
        DesignState s = StateAtPoint(file, i);
        ApplyFeedback(s, feedback);
        EXPECT_EQ(CompareSolvers(s), "") << "at " << s.fMHz << " MHz, " << feedback.name;
        ++cases;
      }
  EXPECT_GT(cases, 100);
}

// Sanitizer builds run the passes some 20 times slower and take a fiftieth
// of the random transistors; BJT_SOLVER_RANDOM_CASES sets the count.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define BJT_SLOW_BUILD 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || \
    __has_feature(memory_sanitizer)
#define BJT_SLOW_BUILD 1
#endif
#endif
#ifdef BJT_SLOW_BUILD
constexpr int kRandomCases = 2000;
#else
constexpr int kRandomCases = 100000;
#endif

int RandomCases() {
  const char* text = std::getenv("BJT_SOLVER_RANDOM_CASES");
  return text ? std::atoi(text) : kRandomCases;
}

// Transistors over the whole range of every magnitude and phase: port
// reflections beyond 1 and strong S12 give the unstable ones, whose passes
// never settle; a quarter each without feedback, with Rf, Rf//Lf and Rf//Cf.
class RandomTransistors {
 public:
  DesignState Next() {
    for (;;) {
      DesignState s = Prefilled();
      s.Ro = 50;
      s.fMHz = 10 + 3000 * unit_(random_);
      s.S11mag = 1.2 * unit_(random_), s.S11ang = Radians();
      s.S12mag = 0.5 * unit_(random_), s.S12ang = Radians();
      s.S21mag = 30 * unit_(random_), s.S21ang = Radians();
      s.S22mag = 1.2 * unit_(random_), s.S22ang = Radians();
      const int option = count_++ % 4;
      const Feedback feedback = {"random", std::pow(10.0, 3 * unit_(random_) - 1),
                                 option == 2 ? 0.01 + 10 * unit_(random_) : 0,
                                 option == 3 ? 20 * unit_(random_) : 0};
      try {
        ConvertSToY(s);
      } catch (const ArithmeticFault&) {
        continue;  // S11 = −1 exactly, say: not a case for the solver
      }
      if (option != 0) ApplyFeedback(s, feedback);
      return s;
    }
  }
  int Below(int n) { return int(unit_(random_) * n); }

 private:
  double Radians() { return DegreesToRadians(360 * unit_(random_) - 180); }
  std::mt19937_64 random_{19};
  std::uniform_real_distribution<double> unit_{0, 1};
  int count_ = 0;
};

// Nearly half of these never repeat, and 100001 passes take 2 to 3 ms: the
// many transistors end their passes at a random count up to 2000 instead,
// which tries every phase a short cycle can end on; a few hundred run all.
TEST(SolverRepeat, RandomTransistorsAtManyPassCounts) {
  RandomTransistors transistors;
  const int n = RandomCases();
  for (int i = 0; i < n; ++i) {
    const DesignState s = transistors.Next();
    const int lastPass = i % 8 == 0 ? transistors.Below(20) : transistors.Below(2000);
    const auto fast = [&](DesignState& d) { SolveConjugateMatchUpTo(d, lastPass); };
    const auto plain = [&](DesignState& d) { ReferenceSolveConjugateMatchUpTo(d, lastPass); };
    ASSERT_EQ(FirstDifference(RunSolve(fast, s), RunSolve(plain, s)), "")
        << "case " << i << ", last pass " << lastPass;
  }
}

TEST(SolverRepeat, RandomTransistorsAllPasses) {
  RandomTransistors transistors;
  const int n = std::max(1, RandomCases() / 300);
  for (int i = 0; i < n; ++i)
    ASSERT_EQ(CompareSolvers(transistors.Next()), "") << "case " << i;
}

// The two-port written directly as Y-parameters, Yf = 0.
DesignState TwoPort(Complex Y11, Complex Y12, Complex Y21, Complex Y22) {
  DesignState s = Prefilled();
  s.Y11 = Y11, s.Y12 = Y12, s.Y21 = Y21, s.Y22 = Y22;
  s.Gf = s.Bf = 0;
  return s;
}

struct FaultCase {
  const char* what;
  DesignState state;
  FaultKind kind;
  std::int32_t passesDone;  // 100001: after the passes
};

TEST(SolverRepeat, FaultsLeaveWhatThePlainLoopLeaves) {
  const double big = 1e200, tiny = 1e-300;
  const FaultCase cases[] = {
      // P = (Y21 − Yf)(Yf − Y12) overflows before the first pass.
      {"P", TwoPort({1, 0}, {-big, 0}, {big, 0}, {1, 0}), FaultKind::Overflow, 0},
      // Y11 + Yf + conj(YS) = 0 at the start value.
      {"first divisor", TwoPort({1e-7, -1e-7}, {0, 1}, {1, 0}, {1, 0}), FaultKind::DivisionByZero,
       0},
      // With P = 0 and Y22 = 0, YL = 0 and so the second divisor of the pass.
      {"second divisor", TwoPort({1, 0}, {0, 0}, {0, 0}, {0, 0}), FaultKind::DivisionByZero, 0},
      // The first pass leaves YS = Y11 = 0, the second divides by it.
      {"second pass", TwoPort({0, 0}, {0, 0}, {0, 0}, {1, 0}), FaultKind::DivisionByZero, 1},
      // |b|² overflows in the first quotient.
      {"overflow", TwoPort({big, big}, {1, 0}, {1, 0}, {1, 0}), FaultKind::Overflow, 0},
      // |b|² is 0 although b is not: YL = Y22 in the first pass, YS = Y11
      // in the second.
      {"tiny YL", TwoPort({1, 0}, {0, 0}, {0, 0}, {tiny, 0}), FaultKind::DivisionByZero, 0},
      {"tiny YS", TwoPort({tiny, 0}, {0, 0}, {0, 0}, {1, 0}), FaultKind::DivisionByZero, 1},
  };
  for (const FaultCase& c : cases) {
    const SolveOutcome fast = RunSolve(SolveConjugateMatch, c.state);
    EXPECT_EQ(FirstDifference(fast, RunSolve(ReferenceSolveConjugateMatch, c.state)), "")
        << c.what;
    EXPECT_EQ(fast.faultKind, c.kind) << c.what;
    EXPECT_EQ(fast.state.iterationCount, c.passesDone) << c.what;
  }
}

// Scaled far down, a transistor's admittances square to subnormals and zeros
// somewhere along the passes or in the impedances after them.
TEST(SolverRepeat, ScaledTransistorsFaultWhereThePlainLoopFaults) {
  RandomTransistors transistors;
  int faultsAfterPasses = 0;
  for (int i = 0; i < 12; ++i) {
    const DesignState base = transistors.Next();
    for (double e = -158.5; e > -162; e -= 0.25) {
      DesignState s = base;
      const double k = std::pow(10.0, e);
      for (Complex* y : {&s.Y11, &s.Y12, &s.Y21, &s.Y22}) *y = {y->re * k, y->im * k};
      s.Gf *= k, s.Bf *= k;
      const auto fast = [](DesignState& d) { SolveConjugateMatchUpTo(d, 2000); };
      const auto plain = [](DesignState& d) { ReferenceSolveConjugateMatchUpTo(d, 2000); };
      const SolveOutcome out = RunSolve(fast, s);
      ASSERT_EQ(FirstDifference(out, RunSolve(plain, s)), "") << "case " << i << ", 1e" << e;
      faultsAfterPasses += out.faultKind && out.state.iterationCount == 2001;
    }
  }
  EXPECT_GT(faultsAfterPasses, 0);
}
}  // namespace
