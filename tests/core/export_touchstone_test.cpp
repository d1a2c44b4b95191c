// The finished amplifier written as a Touchstone file and read back by the
// program's own reader.
#include <gtest/gtest.h>

#include <variant>

#include "analysis/sweep.h"
#include "export/amplifier_touchstone.h"
#include "forms/headless.h"
#include "forms/result_commands.h"
#include "session/session.h"
#include "touchstone/fields.h"

namespace {

// The start texts with Rf = 5 kohm and the load given: a Form5 design.
AmplifierDesign DesignWithLoad(const char* rl) {
  SessionInput input;
  input.fields = {{"Text12", Utf8ToUtf16(rl)}};
  input.feedbackOption = 1;
  const SessionResult session = RunSession(input);
  const WindowDesignResult* made = session.firstDesign();
  EXPECT_NE(made, nullptr);
  std::optional<AmplifierDesign> design = CaptureDesign(made->window, made->state);
  EXPECT_TRUE(design.has_value());
  return *design;
}

// Every frequency and S-parameter as the sweep computed it, to the bit.
void ExpectSameAmplifier(const TouchstoneData& data, const SweepResult& sweep) {
  ASSERT_EQ(data.records.size(), sweep.points.size());
  for (size_t i = 0; i < data.records.size(); ++i) {
    const AmplifierPoint& p = sweep.points[i];
    const SParamPoint q = PointAt(data, i);
    EXPECT_EQ(q.fMHz, p.fMHz) << i;
    EXPECT_EQ(q.s11, p.s.s11) << i;
    EXPECT_EQ(q.s21, p.s.s21) << i;
    EXPECT_EQ(q.s12, p.s.s12) << i;
    EXPECT_EQ(q.s22, p.s.s22) << i;
  }
}

TEST(AmplifierTouchstone, ReadsBackToTheBit) {
  const AmplifierDesign design = DesignWithLoad("50");
  SweepPlan plan = DefaultSweep(design);
  plan.fromMHz = 431.2;  // a frequency whose Hz text must not pick up rounding
  plan.points = 37;
  const SweepResult sweep = RunSweep(design, ConstantTransistor(design), plan);
  ASSERT_EQ(sweep.points.size(), 37u);
  const std::string text = AmplifierTouchstoneText(design, sweep);
  EXPECT_NE(text.find("\n# Hz S RI R 50\n"), std::string::npos) << text;

  const TouchstoneResult read = ParseTouchstone(text);
  ASSERT_TRUE(std::holds_alternative<TouchstoneData>(read))
      << DescribeError("amp.s2p", std::get<TouchstoneError>(read));
  const TouchstoneData& data = std::get<TouchstoneData>(read);
  EXPECT_EQ(data.referenceOhm, 50);
  EXPECT_EQ(data.format, PairFormat::RI);
  ExpectSameAmplifier(data, sweep);
}

TEST(AmplifierTouchstone, UnequalResistancesGiveEachPortItsReference) {
  const AmplifierDesign design = DesignWithLoad("120");
  SweepPlan plan = DefaultSweep(design);
  plan.points = 5;
  const SweepResult sweep = RunSweep(design, ConstantTransistor(design), plan);
  const std::string text = AmplifierTouchstoneText(design, sweep);
  EXPECT_EQ(text.find("[Version] 2.0\n# Hz S RI R 50\n"), text.find("[Version]"));
  EXPECT_NE(text.find("\n[Number of Frequencies] 5\n[Reference] 50 120\n[Network Data]\n"),
            std::string::npos) << text;
  EXPECT_EQ(text.substr(text.size() - 6), "[End]\n");

  // Read back with each port's reference; as transistor data it is refused.
  const TouchstoneResult read = ParseTouchstone(text, {}, PortReferences::PerPort);
  ASSERT_TRUE(std::holds_alternative<TouchstoneData>(read))
      << DescribeError("amp.s2p", std::get<TouchstoneError>(read));
  const TouchstoneData& data = std::get<TouchstoneData>(read);
  EXPECT_EQ(data.referenceOhm, 50);
  EXPECT_EQ(data.referenceOhm2, 120);
  ExpectSameAmplifier(data, sweep);
  EXPECT_TRUE(std::holds_alternative<TouchstoneError>(ParseTouchstone(text)));
}

}  // namespace
