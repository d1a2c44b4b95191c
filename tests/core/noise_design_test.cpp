// The noise of a design as the windows and the command line use it: the
// sweep with its noise panel in one loop against the sweep and the panel
// apart, the lossy networks in the amplifier's response, the typed entry,
// and the source plane's circles.
#include <gtest/gtest.h>

#include <cmath>

#include "forms/result_commands.h"
#include "noise/design_noise.h"
#include "noise/noise_circles.h"
#include "session/session.h"

namespace {

// The start texts with Rf = 5 kohm: a computed Form5 design at 100 MHz.
AmplifierDesign StartDesign() {
  SessionInput input;
  input.feedbackOption = 1;
  const SessionResult session = RunSession(input);
  const WindowDesignResult* made = session.firstDesign();
  EXPECT_NE(made, nullptr);
  return *CaptureDesign(made->window, made->state);
}

const NoiseEntry kEntry{1.2, 0.35, 48.0, 9.0};

TEST(DesignNoise, OneLoopGivesTheSweepAndThePanelOfTwo) {
  AmplifierDesign design = StartDesign();
  design.losses.inductorQ = 60;
  const NoiseSource noise = DesignNoiseSource(kEntry, design.Ro, nullptr);
  SweepPlan plan = DefaultSweep(design);
  plan.points = 51;
  const NoisySweep both = RunNoisySweep(design, ConstantTransistor(design), noise, plan);
  const SweepResult sweep = RunSweep(design, ConstantTransistor(design), plan);
  const std::vector<NoisePanelPoint> panel =
      NoisePanel(NoiseNetworksOf(design, design.losses), ConstantTransistor(design), noise, SweepFrequencies(plan));
  ASSERT_EQ(both.sweep.points.size(), sweep.points.size());
  for (std::size_t i = 0; i < sweep.points.size(); ++i) EXPECT_EQ(both.sweep.points[i].gainDb, sweep.points[i].gainDb);
  ASSERT_EQ(both.noise.size(), panel.size());
  for (std::size_t i = 0; i < panel.size(); ++i) {
    EXPECT_EQ(both.noise[i].fMHz, panel[i].fMHz);
    EXPECT_EQ(both.noise[i].nfDb, panel[i].nfDb);
    EXPECT_EQ(both.noise[i].nfMinPairDb, panel[i].nfMinPairDb);
  }
  // Without noise data: the sweep alone.
  EXPECT_TRUE(RunNoisySweep(design, ConstantTransistor(design), {}, plan).noise.empty());
}

// The response window's sweep forms the arms, Yf and the transistor's Y once
// a frequency for the response and the noise panel: each of its values must
// be the single-point routines' to the bit, for every feedback element,
// lossless and lossy, and a file whose reference is not Ro.
TEST(DesignNoise, SweepPanelIsTheSinglePointNoiseToTheBit) {
  const TouchstoneResult read = ReadTouchstoneFile(BJT_TEST_DATA_DIR "/maker_db_ghz_noise.s2p");
  ASSERT_TRUE(std::holds_alternative<TouchstoneData>(read));
  TouchstoneData file = std::get<TouchstoneData>(read);
  file.referenceOhm = 75;
  const TransistorSource transistor = FileTransistor(file);
  const NoiseSource noise = FileNoise(file);
  SweepPlan plan = DefaultSweep(file);  // 0.5 to 2.4 GHz, noise data from 0.9
  plan.points = 41;
  for (FeedbackKind kind :
       {FeedbackKind::None, FeedbackKind::R, FeedbackKind::RParallelL, FeedbackKind::RParallelC})
    for (ElementLosses losses : {ElementLosses{}, ElementLosses{60, 300}}) {
      AmplifierDesign design = StartDesign();
      design.feedback = MakeFeedback(kind, 1.0, 0.05, 2.0);
      design.losses = losses;
      const NoisySweep noisy = RunNoisySweep(design, transistor, noise, plan);
      const NoiseNetworks networks = NoiseNetworksOf(design, losses);
      ASSERT_EQ(noisy.sweep.points.size(), 41u);
      std::size_t next = 0;
      for (const AmplifierPoint& p : noisy.sweep.points) {
        const SMatrix s = *Renormalize(*transistor.sAt(p.fMHz), 75, design.Ro);
        const AmplifierPoint alone = *AnalyzeAt(design, p.fMHz, s);
        EXPECT_EQ(p.gainDb, alone.gainDb);
        EXPECT_EQ(p.muAmplifier, alone.muAmplifier);
        EXPECT_EQ(p.kTransistor, alone.kTransistor);
        const std::optional<NoiseParameters> n = noise(p.fMHz);
        if (!n) continue;
        ASSERT_LT(next, noisy.noise.size());
        const NoisePanelPoint& panel = noisy.noise[next++];
        const AmplifierNoise at = *AmplifierNoiseAt(p.fMHz, s, *n, networks);
        const PairNoise pair = *PairNoiseOf(s, design.Ro, *n, FeedbackAdmittance(design.feedback, p.fMHz));
        EXPECT_EQ(panel.fMHz, p.fMHz);
        EXPECT_EQ(panel.nfMinTransistorDb, n->nfMinDb());
        EXPECT_EQ(panel.nfMinPairDb, *MinimumNoiseFigureDb(pair.noise));
        EXPECT_EQ(panel.nfMinPairDb, at.nfMinPairDb);
        EXPECT_EQ(panel.nfDb, at.nfDb);
      }
      EXPECT_EQ(next, noisy.noise.size());
      EXPECT_GT(next, 20u);
    }
}

// A Q far above any real one gives the ideal amplifier; a real one loses gain
// at f, where the ideal networks match exactly.
TEST(DesignNoise, LossyNetworksEnterTheAmplifiersResponse) {
  AmplifierDesign design = StartDesign();
  const AmplifierPoint ideal = *AnalyzeAt(design, design.fMHz, design.transistor);
  design.losses = {1e13, 1e13};
  const AmplifierPoint nearlyIdeal = *AnalyzeAt(design, design.fMHz, design.transistor);
  EXPECT_NEAR(nearlyIdeal.gainDb, ideal.gainDb, 1e-9);
  design.losses = {30, 200};
  const AmplifierPoint lossy = *AnalyzeAt(design, design.fMHz, design.transistor);
  EXPECT_LT(lossy.gainDb, ideal.gainDb - 0.1);
  EXPECT_LT(lossy.inputReturnLossDb, ideal.inputReturnLossDb);
  // A lossy input network adds its own noise.
  const NoiseSource noise = DesignNoiseSource(kEntry, design.Ro, nullptr);
  const double lossyNf = NoiseOfDesign(design, noise)->nfDb;
  design.losses = {};
  EXPECT_GT(lossyNf, NoiseOfDesign(design, noise)->nfDb + 0.05);
}

TEST(DesignNoise, TypedEntryIsCheckedAndHeldAcrossFrequency) {
  EXPECT_FALSE(DesignNoiseSource(NoiseEntry{1, 1.5, 0, 5}, 50, nullptr));
  const NoiseSource held = DesignNoiseSource(kEntry, 50, nullptr);
  ASSERT_TRUE(held);
  EXPECT_NEAR(held(10)->nfMinDb(), 1.2, 1e-12);
  EXPECT_EQ(held(10)->gammaOpt, held(5000)->gammaOpt);
  EXPECT_NEAR(DegreesOf(std::polar(0.3, -M_PI)), 180.0, 1e-12);
  EXPECT_EQ(DistanceFromMinimumText(1.5 - 1e-15, 1.5), "a 0.00 dB dal minimo");
  EXPECT_EQ(DistanceFromMinimumText(1.93, 1.51), "a 0.42 dB dal minimo");
}

// Each noise circle is where the pair's F is NFmin + its step; each gain
// circle where its GA is; Γopt is the pair's.
TEST(DesignNoise, SourcePlaneCirclesHoldTheirLevels) {
  const AmplifierDesign design = StartDesign();
  const NoiseSource noise = DesignNoiseSource(kEntry, design.Ro, nullptr);
  const std::optional<SourcePlane> plane = SourcePlaneOf(design, noise);
  ASSERT_TRUE(plane);
  const NoiseAtDesign at = *NoiseAtState(design.state, noise);
  EXPECT_NEAR(std::abs(plane->gammaOpt - at.withFeedback.gammaOpt), 0, 1e-12);
  ASSERT_EQ(plane->noiseCircles.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    const SourcePlaneCircle& c = plane->noiseCircles[i];
    for (double turn : {0.3, 2.0, 4.4}) {
      const Cx point = c.centre + std::polar(c.radius, turn);
      EXPECT_NEAR(10 * std::log10(*NoiseFactor(at.withFeedback, point)), plane->nfMinDb + kNoiseCircleStepsDb[i], 1e-9);
    }
  }
  const SMatrix pair = *WithFeedback(design.transistor, design.Ro, FeedbackAdmittance(design.feedback, design.fMHz));
  ASSERT_FALSE(plane->gainCircles.empty());
  for (const SourcePlaneCircle& c : plane->gainCircles) {
    const double level = std::stod(c.label.substr(std::string("GA = ").size()));
    const auto ga = AvailableGain(pair, c.centre + std::polar(c.radius, 1.0));
    ASSERT_TRUE(ga) << c.label;
    EXPECT_NEAR(10 * std::log10(ga->ga), level, 0.05) << c.label;
  }
  EXPECT_FALSE(SourcePlaneOf(design, {}));
}

}  // namespace
