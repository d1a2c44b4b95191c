#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "model/gain.h"
#include "tests/core/worked_example.h"
#include "text/number_text.h"

TEST(ComplexArithmetic, ProductsQuotientsAndFaults) {
  const Complex p = ComplexMul({1, 2}, {3, 4});
  const Complex q = ComplexDiv({-5, 10}, {3, 4});
  const Complex j = ComplexDiv({1, 0}, {0, 2});  // no special path: +0 real part
  EXPECT_TRUE(p.re == -5 && p.im == 10 && q.re == 1 && q.im == 2);
  EXPECT_TRUE(j.re == 0 && !std::signbit(j.re) && j.im == -0.5);

  ExpectFault(FaultKind::DivisionByZero, [] { ComplexDiv({1, 0}, {0, 0}); });
  ExpectFault(FaultKind::DivisionByZero, [] { ComplexDiv({0, 0}, {0, 0}); });
  ExpectFault(FaultKind::Overflow, [] { ComplexDiv({1, 0}, {1e200, 1e200}); });  // |b|² overflows
  ExpectFault(FaultKind::DivisionByZero, [] { ComplexDiv({1, 0}, {1e-200, 0}); });  // |b|² is 0
  ExpectFault(FaultKind::Overflow, [] { ComplexDiv({1e300, 0}, {1e-10, 0}); });
  // inf − inf follows the overflowing products: the fault is the overflow.
  ExpectFault(FaultKind::Overflow, [] { ComplexMul({1e200, 1e200}, {1e200, 1e200}); });
  try {
    ComplexDiv({1, 0}, {0, 0}, "VerifyNetworks");
  } catch (const ArithmeticFault& fault) {
    EXPECT_STREQ(fault.routine(), "VerifyNetworks");
    EXPECT_NE(std::string(fault.what()).find("VerifyNetworks"), std::string::npos);
  }
}

TEST(ConvertSToY, DegenerateTransistors) {
  DesignState s;
  s.Ro = 50;
  ConvertSToY(s);  // all magnitudes 0: 50 ohm at each port, no transfer
  EXPECT_TRUE(s.Y11.re == 1.0 / 50 && s.Y22.re == 1.0 / 50 && s.Y11.im == 0 && s.Y22.im == 0);
  EXPECT_TRUE(s.Y12.re == 0 && s.Y12.im == 0 && s.Y21.re == 0 && s.Y21.im == 0);

  s.Y11 = s.Y22 = {7, 7};
  s.Ro = 0;
  ExpectFault(FaultKind::DivisionByZero, [&] { ConvertSToY(s); });
  EXPECT_TRUE(s.Y11.re == 7 && s.Y22.im == 7);  // nothing of the run stored
  s.Ro = 50;
  s.S11mag = -1;  // S11 = −1 with S12·S21 = 0: D = 0
  ExpectFault(FaultKind::DivisionByZero, [&] { ConvertSToY(s); });
}

TEST(Solver, WorkedExampleWithFeedbackSettles) {
  DesignState s = MatchedWorkedExample(kRf5kohm);
  EXPECT_EQ(s.iterationCount, 100001);
  EXPECT_LT(std::fabs(s.ReZiCheck - s.ReZi), 0.01);
  EXPECT_LT(std::fabs(s.ImZiCheck - s.ImZi), 0.01);
  EXPECT_LT(std::fabs(s.ReZoCheck - s.ReZo), 0.01);
  EXPECT_LT(std::fabs(s.ImZoCheck - s.ImZo), 0.01);
  EXPECT_TRUE(s.ImZi <= 0 && s.ImZo < 0);  // the window of two L-C-L networks

  ComputeMatchedGain(s);
  EXPECT_EQ(FormatNumber(s.PoPi), "9.87E+02");
  EXPECT_EQ(FormatNumber(std::sqrt((s.RL * s.PoPi) / s.RE)), "3.14E+01");
  // The same gain in another form: |H|² Re(YL) ÷ Re(YS).
  using C = std::complex<double>;
  const C Yf(s.Gf, s.Bf), YL(s.YL.re, s.YL.im);
  const C H = (C(s.Y21.re, s.Y21.im) - Yf) / (C(s.Y22.re, s.Y22.im) + Yf + std::conj(YL));
  EXPECT_NEAR(s.PoPi, std::norm(H) * YL.real() / s.YS.re, 1e-9 * s.PoPi);

  DesignState again = s;  // every run starts from the same start value
  SolveConjugateMatch(again);
  EXPECT_TRUE(again.ReZo == s.ReZo && again.ImZoCheck == s.ImZoCheck);
}

TEST(Solver, WorkedExampleWithoutFeedbackDoesNotSettle) {
  const DesignState s = MatchedWorkedExample(0);
  EXPECT_TRUE(s.ReZiCheck == s.ReZi && s.ImZiCheck == s.ImZi);
  EXPECT_TRUE(std::fabs(s.ReZoCheck - s.ReZo) >= 0.01 || std::fabs(s.ImZoCheck - s.ImZo) >= 0.01);
}

TEST(Solver, NoReverseTransferGivesPortAdmittances) {
  DesignState s;  // Y12 = Yf = 0, so P = 0
  s.Y11 = {0.02, 0.01};
  s.Y21 = {0.5, -0.3};
  s.Y22 = {0.004, 0.002};
  SolveConjugateMatch(s);
  const Complex Zi = ComplexDiv({1, 0}, s.Y11), Zo = ComplexDiv({1, 0}, s.Y22);
  EXPECT_TRUE(s.ReZi == Zi.re && s.ImZi == Zi.im && s.ReZo == Zo.re && s.ImZoCheck == Zo.im);
}

TEST(Solver, ZeroDivisorKeepsLastCompleteUpdate) {
  DesignState s;  // Y11 + Yf + conj(YS) is zero in the first pass
  s.Y11 = {1e-7, -1e-7};
  s.YL = {3, 3};
  s.ReZi = 9;
  ExpectFault(FaultKind::DivisionByZero, [&] { SolveConjugateMatch(s); });
  EXPECT_TRUE(s.YS.re == -1e-7 && s.YL.re == 3 && s.iterationCount == 0 && s.ReZi == 9);
}

TEST(Gain, FaultsKeepPreviousGain) {
  DesignState s = MatchedWorkedExample(kRf5kohm);
  s.PoPi = 5;
  s.ReZi = 0;  // passes the sign test of the Calculate command
  ExpectFault(FaultKind::DivisionByZero, [&] { ComputeMatchedGain(s); });
  s.ReZo = s.ImZo = 0;
  ExpectFault(FaultKind::DivisionByZero, [&] { ComputeMatchedGain(s); });
  EXPECT_EQ(s.PoPi, 5);
}
