// Sweep frequencies, skipped points, bandwidth edges, instability bands and
// preferred values.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/preferred_values.h"
#include "analysis/sweep.h"

namespace {

SweepResult Synthetic(std::initializer_list<std::pair<double, double>> fAndGainDb) {
  SweepResult r;
  for (auto [f, g] : fAndGainDb) {
    AmplifierPoint p;
    p.fMHz = f;
    p.gainDb = g;
    p.muAmplifier = 2;
    r.points.push_back(p);
  }
  return r;
}

TEST(AnalysisSweep, FrequenciesLinearAndLogarithmic) {
  const std::vector<double> lin = SweepFrequencies({50, 150, 5, SweepScale::Linear});
  EXPECT_EQ(lin, (std::vector<double>{50, 75, 100, 125, 150}));
  const std::vector<double> log = SweepFrequencies({10, 1000, 3, SweepScale::Logarithmic});
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log.front(), 10);
  EXPECT_NEAR(log[1], 100, 1e-9);
  EXPECT_EQ(log.back(), 1000);

  for (const SweepPlan& bad : {SweepPlan{0, 10, 11}, SweepPlan{10, 10, 11}, SweepPlan{1, 10, 1},
                               SweepPlan{1, HUGE_VAL, 11}}) {
    EXPECT_FALSE(CheckSweep(bad).empty());
    EXPECT_TRUE(SweepFrequencies(bad).empty());
  }
}

// Points with no data, or whose arithmetic leaves the finite range, are
// listed and left out; none is stored.
TEST(AnalysisSweep, UnusablePointsAreSkippedAndListed) {
  AmplifierDesign d;
  d.input = d.output = {NetworkKind::LCL, 10, 10, 10};
  d.RE = d.RL = d.Ro = 50;
  d.fMHz = 100;
  TransistorSource source{[](double f) -> std::optional<SMatrix> {
                            if (f > 140) return std::nullopt;
                            if (f == 60) return SMatrix{HUGE_VAL, 0.1, 2, 0.3};
                            return SMatrix{0.3, 0.05, 3, 0.4};
                          },
                          50};
  const SweepResult r = RunSweep(d, source, {50, 150, 11});
  EXPECT_EQ(r.skippedMHz, (std::vector<double>{60, 150}));
  ASSERT_EQ(r.points.size(), 9u);
  for (const AmplifierPoint& p : r.points) {
    EXPECT_TRUE(std::isfinite(p.gainDb + p.inputReturnLossDb + p.outputReturnLossDb + p.kAmplifier +
                              p.muAmplifier + p.kTransistor + p.muTransistor));
  }

  // A file referred to 75 ohm gives the same amplifier as its data at 50 ohm.
  const SMatrix at50{std::polar(0.4, -1.0), std::polar(0.05, 0.7), std::polar(5.0, 2.0),
                     std::polar(0.6, -0.5)};
  const SMatrix at75 = *Renormalize(at50, 50, 75);
  const SweepResult a = RunSweep(d, {[&](double) { return std::optional(at50); }, 50}, {90, 110, 3});
  const SweepResult b = RunSweep(d, {[&](double) { return std::optional(at75); }, 75}, {90, 110, 3});
  ASSERT_EQ(b.points.size(), 3u);
  EXPECT_NEAR(b.points[2].gainDb, a.points[2].gainDb, 1e-9);
  EXPECT_NEAR(std::abs(b.points[2].s.s11 - a.points[2].s.s11), 0, 1e-12);
}

TEST(AnalysisSweep, BandwidthEdgesInterpolatedOrBeyondTheSweep) {
  // 10 dB at 100 MHz, falling 1 dB per 10 MHz below and 2 dB per 10 MHz above.
  const SweepResult r = Synthetic({{70, 7}, {80, 8}, {90, 9}, {100, 10}, {110, 8}, {120, 6}});
  const Bandwidth b3 = BandwidthOf(r, 100, 3);
  EXPECT_TRUE(b3.designInSweep);
  EXPECT_FALSE(b3.lowFound);  // 7 dB is not below 7 dB
  EXPECT_EQ(b3.lowMHz, 70);
  ASSERT_TRUE(b3.highFound);
  EXPECT_NEAR(b3.highMHz, 115, 1e-12);
  EXPECT_NE(DescribeBandwidth(b3, 3).find("da meno di 70 MHz (oltre la scansione) a "), std::string::npos);

  // Between sweep points the design frequency's GT is interpolated: 9.5 dB at 95 MHz.
  const Bandwidth b1 = BandwidthOf(r, 95, 1);
  ASSERT_TRUE(b1.lowFound && b1.highFound);
  EXPECT_NEAR(b1.lowMHz, 85, 1e-12);
  EXPECT_NEAR(b1.highMHz, 107.5, 1e-12);
  EXPECT_EQ(DescribeBandwidth(b1, 1), "Banda a −1 dB: da 85 MHz a 107.5 MHz (22.5 MHz)");

  EXPECT_FALSE(BandwidthOf(r, 130, 3).designInSweep);
  EXPECT_FALSE(BandwidthOf(SweepResult{}, 100, 3).designInSweep);
}

TEST(AnalysisSweep, EveryBandWithMuNotAboveOne) {
  SweepResult r = Synthetic({{10, 0}, {20, 0}, {30, 0}, {40, 0}, {50, 0}, {60, 0}});
  const double mu[] = {0.5, 1.0, 1.2, 0.9, 3, 0.99};
  for (std::size_t i = 0; i < r.points.size(); ++i) r.points[i].muAmplifier = mu[i];
  const std::vector<FrequencyBand> bands = PossiblyUnstableBands(r);
  ASSERT_EQ(bands.size(), 3u);
  EXPECT_EQ(bands[0].fromMHz, 10);
  EXPECT_EQ(bands[0].toMHz, 20);
  EXPECT_EQ(bands[1].fromMHz, 40);
  EXPECT_EQ(bands[1].toMHz, 40);
  EXPECT_EQ(bands[2].fromMHz, 60);
  EXPECT_EQ(InstabilityWarning(bands[0]), "possibile instabilità tra 10 e 20 MHz");
}

TEST(AnalysisPreferredValues, TablesAndNearestOnLogScale) {
  EXPECT_EQ(SeriesMantissas(ESeries::E6).size(), 6u);
  EXPECT_EQ(SeriesMantissas(ESeries::E12).size(), 12u);
  EXPECT_EQ(SeriesMantissas(ESeries::E24).size(), 24u);
  const std::span<const double> e96 = SeriesMantissas(ESeries::E96);
  ASSERT_EQ(e96.size(), 96u);
  EXPECT_EQ(e96[0], 1.00);
  EXPECT_EQ(e96[46], 3.01);
  EXPECT_EQ(e96[64], 4.64);
  EXPECT_EQ(e96[95], 9.76);

  // 1.0 and 1.5 meet at √1.5 = 1.2247 on a log scale, not at 1.25.
  EXPECT_EQ(NearestPreferred(1.22, ESeries::E6).rounded, 1.0);
  EXPECT_EQ(NearestPreferred(1.23, ESeries::E6).rounded, 1.5);
  // Across a decade: 6.8 and 10 meet at 8.246.
  EXPECT_EQ(NearestPreferred(8.3, ESeries::E6).rounded, 10);
  EXPECT_EQ(NearestPreferred(0.0082, ESeries::E6).rounded, 0.0068);
  EXPECT_EQ(NearestPreferred(47000, ESeries::E12).rounded, 47000);
  EXPECT_EQ(NearestPreferred(0.000463, ESeries::E96).rounded, 0.000464);
  EXPECT_EQ(NearestPreferred(-2.6, ESeries::E12).rounded, -2.7);
  EXPECT_EQ(NearestPreferred(0, ESeries::E12).rounded, 0);

  const PreferredValue p = NearestPreferred(2.0, ESeries::E12);
  EXPECT_EQ(p.rounded, 2.2);
  EXPECT_NEAR(p.errorPercent, 10, 1e-12);
}

}  // namespace
