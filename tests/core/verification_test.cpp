#include <gtest/gtest.h>

#include <cmath>

#include "networks/t_networks.h"
#include "tests/core/worked_example.h"
#include "verification/verify.h"

// Both variants of both networks designed for the solver's Zi and Zo.
static DesignState DesignedWorkedExample() {
  DesignState s = MatchedWorkedExample(kRf5kohm);
  DesignInputLCL(s);
  DesignInputCLC(s);
  DesignOutputLCL(s);
  DesignOutputCLC(s);
  return s;
}

static void ExpectImpedance(double re, double im, double expectedRe, double expectedIm) {
  const double scale = std::hypot(expectedRe, expectedIm);
  EXPECT_NEAR(re, expectedRe, 1e-9 * scale);
  EXPECT_NEAR(im, expectedIm, 1e-9 * scale);
}

// The element formulas hold for either variant whatever the sign of Im Z
// (some values come out negative here), so every window's pair of networks
// matches a solver fixed point.
TEST(VerifyNetworks, MatchedDesignForEveryPairOfNetworks) {
  const DesignState d = DesignedWorkedExample();
  for (NetworkKind input : {NetworkKind::LCL, NetworkKind::CLC}) {
    for (NetworkKind output : {NetworkKind::LCL, NetworkKind::CLC}) {
      SCOPED_TRACE(testing::Message() << "kinds " << int(input) << int(output));
      DesignState s = d;
      VerifyNetworks(s, input, output);
      ExpectImpedance(s.ReZe, s.ImZe, d.ReZi, -d.ImZi);
      ExpectImpedance(s.ReZL, s.ImZL, d.ReZo, -d.ImZo);
      ExpectImpedance(s.ReZi, s.ImZi, d.ReZi, d.ImZi);
      ExpectImpedance(s.ReZo, s.ImZo, d.ReZo, d.ImZo);
      ExpectImpedance(s.ReZitot, s.ImZitot, s.RE, 0);
      ExpectImpedance(s.ReZotot, s.ImZotot, s.RL, 0);
      const Complex Zi = ComplexDiv({1, 0}, s.YS);  // YS keeps its meaning
      EXPECT_TRUE(Zi.re == s.ReZi && Zi.im == s.ImZi);
    }
  }
  DesignState s = d;
  s.RE = 75;  // a network designed for another source shows in Zitot
  VerifyNetworks(s, NetworkKind::LCL, NetworkKind::LCL);
  EXPECT_GT(std::fabs(s.ReZitot - 75), 1);
}

TEST(VerifyNetworks, ZeroElements) {
  const DesignState d = DesignedWorkedExample();
  DesignState s = d;
  s.ReZe = 7;
  s.Ci1 = 0;  // a series capacitor of 0 pF: no Ze
  ExpectFault(FaultKind::DivisionByZero,
              [&] { VerifyNetworks(s, NetworkKind::CLC, NetworkKind::LCL); });
  EXPECT_EQ(s.ReZe, 7);

  s = d;
  s.ReZe = s.ReZo = s.ReZotot = 7;
  s.Co1 = 0;  // fails in the output network, after Ze and Zo are written
  ExpectFault(FaultKind::DivisionByZero,
              [&] { VerifyNetworks(s, NetworkKind::LCL, NetworkKind::CLC); });
  EXPECT_NEAR(s.ReZe, d.ReZi, 1e-9);
  EXPECT_NEAR(s.ReZo, d.ReZo, 1e-9);
  EXPECT_EQ(s.ReZotot, 7);

  s = d;  // a 0 nH series inductor is a short, a 0 pF shunt capacitor open
  s.Li1 = s.Ci = 0;
  VerifyNetworks(s, NetworkKind::LCL, NetworkKind::LCL);
  EXPECT_TRUE(AllFieldsFinite(s));
}
