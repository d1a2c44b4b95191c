// The source plane: every point of a constant-noise circle at its F, of a
// constant-gain circle at its GA, the simultaneous match found again through
// Γout and Γin, and the most gain on a noise circle.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <variant>

#include "noise/low_noise.h"
#include "noise/noise_cascade.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

Cx Polar(double mag, double deg) { return std::polar(mag, deg * kPi / 180); }

const SMatrix kTransistor{Polar(0.27, -166.0), Polar(0.060, 65.0), Polar(4.83, 84.1), Polar(0.43, -35.8)};
const NoiseParameters kNoise = *NoiseFromDb(1.25, Polar(0.20, 70), 0.19 * 50, 50);

// The transistor with 1 kohm across it, at 1000 MHz, and its noise.
struct Pair {
  SMatrix s;
  NoiseParameters noise;
};
Pair WithResistor() {
  const Cx yf{0.001, 0};
  return {*WithFeedback(kTransistor, 50, yf), PairNoiseOf(kTransistor, 50, kNoise, yf)->noise};
}

TEST(NoiseCircles, EveryPointOfANoiseCircleHasItsNoiseFactor) {
  const Pair pair = WithResistor();
  const Matrix2 ca = *ChainCorrelation(pair.noise);
  for (double delta : {0.25, 0.5, 1.0, 2.0}) {
    const double fi = pair.noise.fMin * std::pow(10, delta / 10);
    const Circle c = *NoiseCircle(pair.noise, fi);
    for (int k = 0; k < 24; ++k) {
      const Cx gs = c.centre + std::polar(c.radius, 2 * kPi * k / 24);
      ASSERT_LT(std::abs(gs), 1);
      EXPECT_NEAR(*NoiseFactor(pair.noise, gs), fi, 1e-12 * fi);
      EXPECT_NEAR(*NoiseFactorOfChain(ca, 50.0 * (1.0 + gs) / (1.0 - gs)), fi, 1e-12 * fi);
    }
  }
  // Fmin itself: the circle shrinks to Γopt; below Fmin there is none.
  const Circle at = *NoiseCircle(pair.noise, pair.noise.fMin);
  EXPECT_EQ(at.radius, 0);
  EXPECT_EQ(at.centre, pair.noise.gammaOpt);
  EXPECT_FALSE(NoiseCircle(pair.noise, pair.noise.fMin * 0.99));
}

TEST(NoiseCircles, EveryPointOfAGainCircleHasItsAvailableGain) {
  const Pair pair = WithResistor();
  const StabilityFigures st = *StabilityOf(pair.s);
  ASSERT_TRUE(st.unconditionallyStable);
  const double mag = std::pow(10, st.gainDb / 10);
  for (double ga : {0.98 * mag, 0.5 * mag, 0.25 * mag}) {
    const Circle c = *AvailableGainCircle(pair.s, ga);
    int inside = 0;
    for (int k = 0; k < 24; ++k) {
      const Cx gs = c.centre + std::polar(c.radius, 2 * kPi * k / 24);
      if (std::abs(gs) >= 1) continue;
      ++inside;
      EXPECT_NEAR(AvailableGain(pair.s, gs)->ga, ga, 1e-11 * ga) << gs;
    }
    EXPECT_GT(inside, 0);
  }
  // Above MAG no source gives the gain.
  EXPECT_FALSE(AvailableGainCircle(pair.s, 1.01 * mag));

  // The simultaneous match, by the textbook formula: ΓL = conj(Γout(ΓMS))
  // gives Γin = conj(ΓMS), and GA there is MAG.
  const Cx delta = pair.s.s11 * pair.s.s22 - pair.s.s12 * pair.s.s21;
  const double b1 = 1 + std::norm(pair.s.s11) - std::norm(pair.s.s22) - std::norm(delta);
  const Cx c1 = pair.s.s11 - delta * std::conj(pair.s.s22);
  const Cx gms = (b1 - std::sqrt(b1 * b1 - 4 * std::norm(c1))) / (2.0 * c1);
  const SourceGain atMatch = *AvailableGain(pair.s, gms);
  const Cx gin = *GammaIn(pair.s, std::conj(atMatch.gammaOut));
  EXPECT_NEAR(gin.real(), gms.real(), 1e-12);
  EXPECT_NEAR(gin.imag(), -gms.imag(), 1e-12);
  EXPECT_NEAR(atMatch.ga, mag, 1e-10 * mag);
}

TEST(LowNoise, MostGainOnANoiseCircle) {
  const Pair pair = WithResistor();
  for (double delta : {0.1, 0.5, 1.0}) {
    const auto found = MostGainOnNoiseCircle(pair.s, pair.noise, delta);
    ASSERT_TRUE(std::holds_alternative<SourcePoint>(found));
    const SourcePoint p = std::get<SourcePoint>(found);
    EXPECT_NEAR(p.nfDb, pair.noise.nfMinDb() + delta, 1e-10);
    EXPECT_NEAR(p.ga, AvailableGain(pair.s, p.gammaS)->ga, 0);
    const Circle c = *NoiseCircle(pair.noise, pair.noise.fMin * std::pow(10, delta / 10));
    for (int k = 0; k < 3600; ++k) {
      const Cx gs = c.centre + std::polar(c.radius, 2 * kPi * k / 3600);
      EXPECT_LE(AvailableGain(pair.s, gs)->ga, p.ga * (1 + 1e-13)) << k;
    }
  }
  // Δ = 0: Γopt itself.
  const SourcePoint opt = std::get<SourcePoint>(MostGainOnNoiseCircle(pair.s, pair.noise, 0));
  EXPECT_EQ(opt.gammaS, pair.noise.gammaOpt);
  EXPECT_NEAR(opt.nfDb, pair.noise.nfMinDb(), 1e-12);
  EXPECT_EQ(std::get<std::string>(MostGainOnNoiseCircle(pair.s, pair.noise, -0.5)),
            "Δ deve essere un numero maggiore o uguale a zero (dB)");

  // A two-port that oscillates with some passive sources: a circle that
  // reaches them is refused rather than answered with an unbounded gain.
  const SMatrix unstable{Polar(0.9, -60), Polar(0.2, 60), Polar(5, 100), Polar(0.8, -30)};
  const auto refused = MostGainOnNoiseCircle(unstable, kNoise, 3.0);
  ASSERT_TRUE(std::holds_alternative<std::string>(refused));
  EXPECT_NE(std::get<std::string>(refused).find("|Γout|"), std::string::npos);
}

}  // namespace
