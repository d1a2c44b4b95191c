// Cascades, feedback and stability figures checked against circuits whose
// answers are known in closed form.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/amplifier.h"
#include "analysis/smith_chart.h"
#include "model/feedback.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// A series resistance r as a two-port referred to 50 ohm.
SMatrix SeriesResistance(double r) {
  const double g = r / (r + 100), t = 100 / (r + 100);
  return {g, t, t, g};
}

// Networks of negligible elements around a given transistor, so the
// amplifier is the transistor between RE and RL.
AmplifierDesign BareTransistor(const SMatrix& s, double re, double rl) {
  AmplifierDesign d;
  d.input = {NetworkKind::LCL, 1e-12, 1e-12, 1e-12};
  d.output = {NetworkKind::LCL, 1e-12, 1e-12, 1e-12};
  d.RE = re;
  d.RL = rl;
  d.Ro = 50;
  d.fMHz = 100;
  d.transistor = s;
  return d;
}

void ExpectNear(Cx actual, Cx expected, double tolerance) {
  EXPECT_NEAR(actual.real(), expected.real(), tolerance) << actual << " vs " << expected;
  EXPECT_NEAR(actual.imag(), expected.imag(), tolerance) << actual << " vs " << expected;
}

TEST(AnalysisTwoPort, CascadeOfKnownElements) {
  // Series R between equal and unequal terminations: S21 = 2√(R1·R2) ÷ (R1 + R2 + R).
  const AmplifierDesign equal = BareTransistor(SeriesResistance(30), 50, 50);
  const SMatrix a = *AmplifierS(equal, 100, equal.transistor);
  ExpectNear(a.s21, 100.0 / 130, 1e-12);
  ExpectNear(a.s12, 100.0 / 130, 1e-12);
  ExpectNear(a.s11, 30.0 / 130, 1e-12);

  const AmplifierDesign unequal = BareTransistor(SeriesResistance(30), 50, 200);
  const SMatrix b = *AmplifierS(unequal, 100, unequal.transistor);
  ExpectNear(b.s21, 2 * 100.0 / 280, 1e-12);
  ExpectNear(b.s11, (230.0 - 50) / 280, 1e-12);  // (Zin − R1) ÷ (Zin + R1), Zin = 230
  ExpectNear(b.s22, (80.0 - 200) / 280, 1e-12);

  // An input inductor of 100 nH at 80 MHz adds jωL in series.
  AmplifierDesign withL = unequal;
  withL.input.outer = 100;
  const double x = 2 * kPi * 80e6 * 100e-9;
  ExpectNear(AmplifierS(withL, 80, withL.transistor)->s21, 200.0 / Cx(280, x), 1e-12);

  // A 100 ohm feedback resistor across a 100 ohm series R leaves 50 ohm.
  AmplifierDesign withFeedback = BareTransistor(SeriesResistance(100), 50, 50);
  withFeedback.feedback = MakeFeedback(FeedbackKind::R, 0.1, 0, 0);
  ExpectNear(AmplifierS(withFeedback, 100, withFeedback.transistor)->s21, 100.0 / 150, 1e-12);
  ExpectNear(WithFeedback(SeriesResistance(100), 50, {0.01, 0})->s11, 1.0 / 3, 1e-12);
}

// Lossless reciprocal networks leave S12 ÷ S21 of what they embed unchanged;
// with a tiny S12 far from the design frequency that ratio is where a
// cancelling A·D − B·C shows.
TEST(AnalysisTwoPort, TinyReverseTransmissionKeepsItsAccuracy) {
  const SMatrix transistor{std::polar(0.6, -2.0), std::polar(1e-15, 0.3), std::polar(8.0, 2.1),
                           std::polar(0.5, -0.4)};
  AmplifierDesign d = BareTransistor(transistor, 50, 50);
  d.input = {NetworkKind::CLC, 3.3, 220, 4.7};
  d.output = {NetworkKind::LCL, 680, 1.5, 470};
  for (double f : {1.0, 100.0, 3000.0}) {
    const SMatrix s = *AmplifierS(d, f, transistor);
    const Cx ratio = (s.s12 / s.s21) / (transistor.s12 / transistor.s21);
    ExpectNear(ratio, 1.0, 1e-9);
  }
}

TEST(AnalysisTwoPort, FeedbackElementAcrossFrequency) {
  // Rf = 2 kohm // Lf = 1 uH at 100 MHz: ωL = 628.3 ohm.
  const FeedbackElement rl = MakeFeedback(FeedbackKind::RParallelL, 2, 1, 0);
  ExpectNear(FeedbackAdmittance(rl, 100), Cx(5e-4, -1 / (2 * kPi * 100)), 1e-15);
  // Rf open // Cf = 10 pF at 50 MHz.
  const FeedbackElement rc = MakeFeedback(FeedbackKind::RParallelC, 0, 0, 10);
  ExpectNear(FeedbackAdmittance(rc, 50), Cx(0, 2 * kPi * 50e6 * 10e-12), 1e-15);
  ExpectNear(FeedbackAdmittance(MakeFeedback(FeedbackKind::None, 5, 1, 1), 50), 0, 0);
}

TEST(AnalysisTwoPort, FeedbackAtTheDesignFrequencyIsCalculatesToTheBit) {
  // The analysis of a finished amplifier at its own frequency must see the
  // Yf Calculate designed with (the program's 2π, its order of steps).
  for (const double fMHz : {0.7, 100.0, 433.92, 2450.0}) {
    for (const double value : {0.047, 1.0, 3.3, 820.0}) {
      const FeedbackYf l = FeedbackOf(FeedbackChoice::RfLf, fMHz, 4.7, value, 0, "test");
      EXPECT_EQ(FeedbackAdmittance(MakeFeedback(FeedbackKind::RParallelL, 4.7, value, 0), fMHz), Cx(l.Gf, l.Bf));
      const FeedbackYf c = FeedbackOf(FeedbackChoice::RfCf, fMHz, 0.33, 0, value, "test");
      EXPECT_EQ(FeedbackAdmittance(MakeFeedback(FeedbackKind::RParallelC, 0.33, 0, value), fMHz), Cx(c.Gf, c.Bf));
    }
  }
  // A step that fails leaves a value the two-port arithmetic refuses.
  EXPECT_FALSE(std::isfinite(FeedbackAdmittance(MakeFeedback(FeedbackKind::RParallelL, 1, 1e-320, 0), 1e-10).imag()));
}

TEST(AnalysisTwoPort, StabilityOfKnownTwoPorts) {
  // A matched attenuator of voltage ratio 1/2: K = (1 + a⁴) ÷ 2a², μ = 1 ÷ a²,
  // MAG = a².
  const StabilityFigures pad = *StabilityOf({0, 0.5, 0.5, 0});
  EXPECT_NEAR(pad.k, 2.125, 1e-12);
  EXPECT_NEAR(pad.mu, 4, 1e-12);
  EXPECT_NEAR(pad.muPrime, 4, 1e-12);
  EXPECT_TRUE(pad.unconditionallyStable && pad.gainIsMag && pad.gainFinite);
  EXPECT_NEAR(pad.gainDb, 10 * std::log10(0.25), 1e-9);

  // A unilateral amplifier: K has no bound, MAG is |S21|² ÷ ((1 − |S11|²)(1 − |S22|²)).
  const StabilityFigures unilateral = *StabilityOf({0.5, 0, 4, 0.5});
  EXPECT_EQ(unilateral.k, kFigureCeiling);  // for a sweep's plot; the reports say "non definito"
  EXPECT_FALSE(unilateral.kDefined);
  // Nearly unilateral: K as computed, tens of millions, never held at a ceiling.
  const StabilityFigures nearly = *StabilityOf({0.2, 1e-9, 4, 0.3});
  EXPECT_TRUE(nearly.kDefined);
  EXPECT_NEAR(nearly.k, (1 - 0.04 - 0.09 + std::norm(Cx(0.06) - Cx(4e-9))) / (2 * 4e-9), 1e-3);
  EXPECT_NEAR(unilateral.mu, 2, 1e-12);
  EXPECT_NEAR(unilateral.gainDb, 10 * std::log10(16 / 0.5625), 1e-9);

  // A negative-resistance input is potentially unstable: MSG = |S21/S12|.
  const StabilityFigures unstable = *StabilityOf({1.2, 0.1, 3, 0.4});
  EXPECT_FALSE(unstable.unconditionallyStable || unstable.gainIsMag);
  EXPECT_LE(unstable.mu, 1);
  EXPECT_NEAR(unstable.gainDb, 10 * std::log10(30.0), 1e-9);
}

// On the source stability circle the output reflection has magnitude one,
// and on the load circle the input's: the circles' defining property.
TEST(AnalysisTwoPort, StabilityCirclesBoundTheUnitReflection) {
  const SMatrix s{std::polar(0.9, -1.2), std::polar(0.12, 0.8), std::polar(3.5, 1.9),
                  std::polar(0.7, -0.6)};
  const StabilityFigures f = *StabilityOf(s);
  ASSERT_TRUE(f.source.valid && f.load.valid);
  for (int i = 0; i < 8; ++i) {
    const Cx on = std::polar(1.0, kPi * i / 4);
    const Cx gs = f.source.centre + f.source.radius * on;
    const Cx gl = f.load.centre + f.load.radius * on;
    EXPECT_NEAR(std::abs(s.s22 + s.s12 * s.s21 * gs / (1.0 - s.s11 * gs)), 1, 1e-9);
    EXPECT_NEAR(std::abs(s.s11 + s.s12 * s.s21 * gl / (1.0 - s.s22 * gl)), 1, 1e-9);
  }
}

TEST(AnalysisTwoPort, NonFiniteResultsAreRefused) {
  const double inf = HUGE_VAL;
  EXPECT_FALSE(StabilityOf({inf, 0.1, 2, 0.3}));
  EXPECT_FALSE(GammaOf({-50, 0}, 50));
  EXPECT_FALSE(ImpedanceOf(1.0, 50));
  EXPECT_FALSE(ReadoutAt(-1.0, 50));  // a short has no Y
  ExpectNear(ReadoutAt({0, 1}, 50)->z, Cx(0, 50), 1e-12);
  // Y of an ideal through connection does not exist, its chain matrix does.
  EXPECT_FALSE(WithFeedback({0, 1, 1, 0}, 50, {0.01, 0}));
  AmplifierDesign d = BareTransistor(SeriesResistance(30), 50, 50);
  EXPECT_TRUE(AnalyzeAt(d, 100, {0, 1, 1, 0}));
  EXPECT_FALSE(AnalyzeAt(d, 100, {0.5, 0, 0, 0.5}));  // no forward transmission
  d.feedback = MakeFeedback(FeedbackKind::R, 1, 0, 0);
  EXPECT_FALSE(AnalyzeAt(d, 100, {0, 1, 1, 0}));
  EXPECT_FALSE(AnalyzeAt(d, 0, d.transistor));
}

}  // namespace
