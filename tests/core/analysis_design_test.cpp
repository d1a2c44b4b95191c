// The finished amplifier of every result window, designed through the real
// commands, analysed at and around its design frequency.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "analysis/preferred_values.h"
#include "analysis/smith_chart.h"
#include "analysis/sweep.h"
#include "forms/commands.h"
#include "forms/headless.h"
#include "forms/result_commands.h"

namespace {

// Inputs that open each window with each feedback option (the test
// transistor with S11 = 0.51, the other fields as listed).
struct DesignCase {
  const char* option;
  FormId window;
  const char* s11ang;
  const char* s22mag;
  const char* s22ang;
  const char* fMHz;
};
constexpr DesignCase kCases[] = {
    {"Option1", FormId::Form2, "-44.8", "0.3", "-16.7", "100"},
    {"Option1", FormId::Form3, "-44.8", "0.3", "40", "100"},
    {"Option1", FormId::Form4, "44.8", "0.3", "-16.7", "100"},
    {"Option1", FormId::Form5, "44.8", "0.6", "-60", "100"},
    {"Option2", FormId::Form2, "-44.8", "0.3", "-16.7", "500"},
    {"Option2", FormId::Form3, "-44.8", "0.3", "40", "500"},
    {"Option2", FormId::Form4, "44.8", "0.3", "-16.7", "500"},
    {"Option2", FormId::Form5, "44.8", "0.6", "-60", "500"},
    {"Option3", FormId::Form2, "-44.8", "0.3", "-16.7", "100"},
    {"Option3", FormId::Form3, "0", "0.3", "-16.7", "500"},
    {"Option3", FormId::Form4, "44.8", "0.3", "-16.7", "100"},
    {"Option3", FormId::Form5, "0", "0.6", "-16.7", "100"},
    {"Option4", FormId::Form2, "-44.8", "0.3", "-16.7", "100"},
    {"Option4", FormId::Form3, "-44.8", "0.3", "40", "100"},
    {"Option4", FormId::Form4, "44.8", "0.3", "-16.7", "100"},
    {"Option4", FormId::Form5, "0", "0.6", "-16.7", "100"},
};

void Type(const char* field, const char* text) {
  SetText(FormId::Form1, field, Utf8ToUtf16(text));
}

// Calculate, then the window's compute command, as a user clicks them.
std::optional<AmplifierDesign> DesignThroughWindows(const DesignCase& c, DesignState& state) {
  SetUiBackend(nullptr);
  ResetHeadlessForms();
  Type("Text1", "0.51");
  Type("Text2", c.s11ang);
  Type("Text7", c.s22mag);
  Type("Text8", c.s22ang);
  Type("Text14", c.fMHz);
  HeadlessSelectOption(FormId::Form1, c.option);
  HandleClick(state, FormId::Form1, c.option);
  HandleClick(state, FormId::Form1, "Command1");
  if (!IsFormOpen(c.window)) return std::nullopt;
  HandleClick(state, c.window, "Command1");
  return CaptureDesign(c.window, state);
}

std::string Name(const DesignCase& c) {
  return std::string(c.option) + " Form" + std::to_string(static_cast<int>(c.window));
}

TEST(AnalysisDesign, MatchedAtItsFrequencyInEveryWindowAndFeedback) {
  for (const DesignCase& c : kCases) {
    SCOPED_TRACE(Name(c));
    DesignState state;
    const std::optional<AmplifierDesign> d = DesignThroughWindows(c, state);
    ASSERT_TRUE(d);
    const std::optional<AmplifierPoint> p = AnalyzeAt(*d, d->fMHz, d->transistor);
    ASSERT_TRUE(p);
    EXPECT_NEAR(p->gainDb, 10 * std::log10(state.PoPi), 1e-9);
    EXPECT_GT(p->inputReturnLossDb, 100);
    EXPECT_GT(p->outputReturnLossDb, 100);
    EXPECT_NEAR(std::abs(p->zin - Cx(d->RE, 0)), 0, 1e-4);
    EXPECT_NEAR(std::abs(p->zout - Cx(d->RL, 0)), 0, 1e-4);

    // Off the design frequency the match is gone, and every point is finite.
    const SweepResult sweep = RunSweep(*d, ConstantTransistor(*d), DefaultSweep(*d));
    EXPECT_EQ(sweep.points.size() + sweep.skippedMHz.size(), 401u);
    EXPECT_LT(sweep.points.front().inputReturnLossDb, 60);
  }
}

TEST(AnalysisDesign, NoDesignBeforeTheWindowComputes) {
  DesignState state;
  SetUiBackend(nullptr);
  ResetHeadlessForms();
  HandleClick(state, FormId::Form1, "Command2");
  HeadlessSelectOption(FormId::Form1, "Option1");
  HandleClick(state, FormId::Form1, "Option1");
  HandleClick(state, FormId::Form1, "Command1");
  EXPECT_FALSE(CaptureDesign(FormId::Form2, state));
}

// The matching paths of a real design start at the resistances, end at the
// conjugates of the transistor's port impedances, and each arc keeps its
// resistance (series) or conductance (shunt).
TEST(AnalysisDesign, SmithPathsFollowTheNetworks) {
  for (const DesignCase& c : {kCases[0], kCases[6]}) {
    SCOPED_TRACE(Name(c));
    DesignState state;
    const std::optional<AmplifierDesign> d = DesignThroughWindows(c, state);
    ASSERT_TRUE(d);
    const std::optional<SmithChart> chart = SmithChartOf(*d, 16);
    ASSERT_TRUE(chart);
    for (const auto* path : {&chart->inputPath, &chart->outputPath}) {
      ASSERT_EQ(path->size(), 3u);
      for (int arc = 0; arc < 3; ++arc) {
        const std::vector<Cx>& g = (*path)[arc].gamma;
        ASSERT_EQ(g.size(), 16u);
        for (Cx point : g) {
          const Cx z = *ImpedanceOf(point, d->Ro), z0 = *ImpedanceOf(g.front(), d->Ro);
          if (arc == 1)
            EXPECT_NEAR((1.0 / z).real(), (1.0 / z0).real(), 1e-9);
          else
            EXPECT_NEAR(z.real(), z0.real(), 1e-7);
        }
      }
    }
    EXPECT_NEAR(std::abs(chart->inputPath.front().gamma.front() - chart->gammaRE), 0, 1e-12);
    EXPECT_NEAR(std::abs(chart->inputPath.back().gamma.back() - chart->gammaZiConj), 0, 1e-9);
    EXPECT_NEAR(std::abs(chart->outputPath.front().gamma.front() - chart->gammaRL), 0, 1e-12);
    EXPECT_NEAR(std::abs(chart->outputPath.back().gamma.back() - chart->gammaZoConj), 0, 1e-9);
    EXPECT_EQ(chart->inputPath[0].label, d->input.kind == NetworkKind::LCL ? "Li1" : "Ci1");
    EXPECT_EQ(chart->outputPath[0].label, d->output.kind == NetworkKind::LCL ? "Lo2" : "Co2");
  }
}

// Preferred values move the design off its exact match, but only a little
// with the finest series; a value put on the wrong element would not.
TEST(AnalysisDesign, RoundedDesignStaysCloseWithE96) {
  DesignState state;
  const std::optional<AmplifierDesign> d = DesignThroughWindows(kCases[1], state);
  ASSERT_TRUE(d);
  const RoundedDesign r = RoundDesign(*d, ESeries::E96);
  ASSERT_TRUE(r.exact && r.rounded);
  EXPECT_GT(r.exact->inputReturnLossDb, 100);
  EXPECT_LT(r.rounded->inputReturnLossDb, 100);
  EXPECT_GT(r.rounded->inputReturnLossDb, 20);
  EXPECT_NEAR(r.rounded->gainDb, r.exact->gainDb, 0.2);
  EXPECT_EQ(r.design.output.shunt, r.values[4].rounded);
  EXPECT_EQ(r.values[4].exact, d->output.shunt);
}

}  // namespace
