#include <gtest/gtest.h>

#include "networks/t_networks.h"
#include "tests/core/worked_example.h"
#include "text/number_text.h"

using Field = double DesignState::*;

// R, Re Z, Im Z go to the input side's RE, ReZi, ImZi and the output side's
// RL, ReZo, ImZo at once; each design reads only its own side.
static DesignState Ports(double R, double ReZ, double ImZ, double fMHz) {
  DesignState s;
  s.RE = s.RL = R;
  s.ReZi = s.ReZo = ReZ;
  s.ImZi = s.ImZo = ImZ;
  s.fMHz = fMHz;
  return s;
}

TEST(TNetworks, ElementValues) {
  struct Case {
    void (*design)(DesignState&);
    double R, ReZ, ImZ, fMHz;
    Field fields[3];
    const char* values[3];
  };
  const Case cases[] = {
      {DesignInputLCL, 50, 50, -20, 100, {&DesignState::Ci, &DesignState::Li1, &DesignState::Li2},
       {"3.18E+01", "7.96E+01", "1.11E+02"}},
      {DesignInputLCL, 50, 12.5, -30, 500, {&DesignState::Ci, &DesignState::Li1, &DesignState::Li2},
       {"1.27E+01", "7.96E+00", "1.75E+01"}},
      {DesignInputCLC, 50, 12.5, 30, 500, {&DesignState::Li, &DesignState::Ci1, &DesignState::Ci2},
       {"7.96E+00", "1.27E+01", "5.79E+00"}},
      {DesignOutputLCL, 50, 200, -150, 100,
       {&DesignState::Co, &DesignState::Lo2, &DesignState::Lo1},
       {"1.59E+01", "1.59E+02", "3.98E+02"}},
      {DesignOutputCLC, 50, 200, 150, 100, {&DesignState::Lo, &DesignState::Co2, &DesignState::Co1},
       {"1.59E+02", "1.59E+01", "6.37E+00"}},
  };
  for (const Case& c : cases) {
    DesignState s = Ports(c.R, c.ReZ, c.ImZ, c.fMHz);
    c.design(s);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(FormatNumber(s.*c.fields[i]), c.values[i]) << i;
  }

  DesignState s = Ports(50, 50, 0, 100);
  DesignInputLCL(s);
  EXPECT_EQ(s.Ci1, 0);  // the other variant's fields are not touched
  DesignInputCLC(s);
  EXPECT_TRUE(s.Li2 == s.Li1 && s.Ci2 == s.Ci1);  // nothing to cancel: both series arms alike
  // The program's 2π, not the double nearest 2π: the bits differ.
  EXPECT_EQ(s.Li1, 50000.0 / (100 * 6.28318530717958));
  EXPECT_NE(s.Li1, 50000.0 / (100 * 6.283185307179586));
}

TEST(TNetworks, WorkedExample) {
  DesignState s = MatchedWorkedExample(kRf5kohm);
  DesignInputLCL(s);
  DesignOutputLCL(s);
  const Field fields[] = {&DesignState::Li1, &DesignState::Li2, &DesignState::Ci,
                          &DesignState::Lo1, &DesignState::Lo2, &DesignState::Co};
  const char* values[] = {"5.54E+01", "9.22E+01", "4.57E+01", "4.34E+02", "1.41E+02", "1.79E+01"};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(FormatNumber(s.*fields[i]), values[i]) << i;
}

// Each value is stored right after its own step: a fault keeps those before.
TEST(TNetworks, FaultsStopAtTheirStep) {
  DesignState s = Ports(0, 50, -20, 100);
  s.Li1 = s.Ci = s.Li = s.Ci1 = s.Lo = s.Co2 = 7;
  ExpectFault(FaultKind::DivisionByZero, [&] { DesignInputLCL(s); });
  ExpectFault(FaultKind::DivisionByZero, [&] { DesignInputCLC(s); });
  ExpectFault(FaultKind::DivisionByZero, [&] { DesignOutputCLC(s); });
  EXPECT_TRUE(s.Ci == 7 && s.Li1 == 7);            // L-C-L: nothing stored
  EXPECT_TRUE(s.Li == 0 && s.Ci1 == 7);            // C-L-C: the shunt arm first
  EXPECT_TRUE(s.Lo == 0 && s.Co2 == 7);

  s = Ports(50, 50, -20, 0);
  ExpectFault(FaultKind::DivisionByZero, [&] { DesignInputLCL(s); });
  ExpectFault(FaultKind::DivisionByZero, [&] { DesignInputCLC(s); });
  s = Ports(50, 50, -50, 100);  // Im Z + XT = 0
  s.Ci2 = 7;
  ExpectFault(FaultKind::DivisionByZero, [&] { DesignInputCLC(s); });
  EXPECT_TRUE(s.Ci1 != 0 && s.Ci2 == 7);
  s = Ports(50, -1, 0, 100);
  ExpectFault(FaultKind::InvalidOperation, [&] { DesignInputLCL(s); });
  s = Ports(1e300, 1e300, 0, 100);
  ExpectFault(FaultKind::Overflow, [&] { DesignOutputLCL(s); });
}
