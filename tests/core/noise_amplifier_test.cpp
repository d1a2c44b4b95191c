// Noise of chains: a resistor alone, the feedback resistor of a noiseless
// transistor (against a nodal analysis written out here), lossless and lossy
// T networks around the transistor with feedback (against the transistor's F
// at the network's source impedance, and against Friis's formula), and the
// noise panel of a sweep.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "noise/noise_cascade.h"
#include "noise/noise_circles.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

Cx Polar(double mag, double deg) { return std::polar(mag, deg * kPi / 180); }

// The maker file's transistor at 1000 MHz, referred to 50 ohm, and its noise.
const SMatrix kTransistor{Polar(0.27, -166.0), Polar(0.060, 65.0), Polar(4.83, 84.1), Polar(0.43, -35.8)};
const NoiseParameters kNoise = *NoiseFromDb(1.25, Polar(0.20, 70), 0.19 * 50, 50);
const NoiseParameters kNoiseless{1.0, {}, 0.0, 50, std::nullopt};

NoiseNetworks Networks(FeedbackElement feedback, ElementLosses losses = {}) {
  NoiseNetworks n;
  n.input = {NetworkKind::LCL, 8.0, 3.0, 5.0};   // nH, pF, nH
  n.output = {NetworkKind::CLC, 2.0, 10.0, 4.0};  // pF, nH, pF
  n.RE = 50;
  n.Ro = 50;
  n.feedback = feedback;
  n.losses = losses;
  return n;
}

// A chain written out: series z1, shunt y, series z2.
Matrix2 TeeAbcd(Cx z1, Cx y, Cx z2) {
  return {1.0 + z1 * y, z1 + z2 + z1 * y * z2, y, 1.0 + y * z2};
}
// Impedance looking into port 2 of an ABCD with zs at port 1.
Cx OutputImpedance(const Matrix2& m, Cx zs) { return (m.m22 * zs + m.m12) / (m.m21 * zs + m.m11); }
// Available gain of a two-port fed from zs, from its Thevenin equivalent.
double AvailableGainOfAbcd(const Matrix2& m, Cx zs) {
  return zs.real() / std::norm(m.m11 + m.m21 * zs) / OutputImpedance(m, zs).real();
}

TEST(NoiseCascade, AResistorAloneAndAShuntConductance) {
  // Series R, then a noiseless two-port: F = 1 + R/RE, whatever follows.
  const NoisyChain noiseless{{{2.0, 0}, {30, 5}, {0.01, 0}, {0.5, 0.2}}, {}};
  for (double r : {1.0, 10.0, 75.0}) {
    for (double re : {25.0, 50.0}) {
      const NoisyChain chain = Cascade(SeriesImpedance({r, 0}), noiseless);
      EXPECT_NEAR(*NoiseFactorOfChain(chain.ca, {re, 0}), 1 + r / re, 1e-14);
    }
  }
  // A conductance across the input: F = 1 + G·RE; reactances add nothing.
  EXPECT_NEAR(*NoiseFactorOfChain(ShuntAdmittance({0.002, 0.01}).ca, {50, 0}), 1.1, 1e-14);
  EXPECT_NEAR(*NoiseFactorOfChain(SeriesImpedance({0, 40}).ca, {50, 0}), 1.0, 0);
}

TEST(NoiseCascade, FeedbackResistorOfANoiselessTransistor) {
  // Nodal analysis: source admittance ys at node 1, load yl at node 2, the
  // transistor's Y and yf between the nodes. The source's noise current
  // (4kT0·Gs) enters node 1; the resistor's (4kT0·Re yf) flows from node 1 to
  // node 2. F = 1 + (noise at node 2 from the resistor) ÷ (from the source).
  const YMatrix y = *AdmittanceOf(kTransistor, 50);
  const double f = 1000;
  for (FeedbackElement fb : {MakeFeedback(FeedbackKind::R, 1.0, 0, 0),
                             MakeFeedback(FeedbackKind::RParallelL, 0.47, 0.1, 0),
                             MakeFeedback(FeedbackKind::RParallelC, 2.2, 0, 0.5)}) {
    const Cx yf = FeedbackAdmittance(fb, f);
    const std::optional<PairNoise> pair = PairNoiseOf(kTransistor, 50, kNoiseless, yf);
    ASSERT_TRUE(pair);
    for (Cx zs : {Cx{50, 0}, Cx{20, 15}, Cx{80, -40}}) {
      const Cx ys = 1.0 / zs, yl{0.02, 0.003};
      const Cx a11 = y.y11 + yf + ys, a12 = y.y12 - yf, a21 = y.y21 - yf, a22 = y.y22 + yf + yl;
      const Cx det = a11 * a22 - a12 * a21;
      const auto v2 = [&](Cx i1, Cx i2) { return (a11 * i2 - a21 * i1) / det; };
      const double expected =
          1 + yf.real() * std::norm(v2(-1, 1)) / (ys.real() * std::norm(v2(1, 0)));
      EXPECT_NEAR(*NoiseFactorOfChain(pair->ca, zs), expected, 1e-12 * expected);
      EXPECT_NEAR(*NoiseFactorOfImpedance(pair->noise, zs), expected, 1e-12 * expected);
    }
  }
  // Without feedback the pair is the transistor.
  const std::optional<PairNoise> bare = PairNoiseOf(kTransistor, 50, kNoise, {});
  ASSERT_TRUE(bare);
  EXPECT_EQ(bare->noise.fMin, kNoise.fMin);
  EXPECT_EQ(bare->noise.gammaOpt, kNoise.gammaOpt);
}

TEST(NoiseCascade, LosslessNetworksLeaveTheTransistorsNoiseFactor) {
  const double f = 1000, omega = 2 * kPi * f * 1e6;
  const NoiseNetworks n = Networks(MakeFeedback(FeedbackKind::R, 1.0, 0, 0));
  const std::optional<AmplifierNoise> a = AmplifierNoiseAt(f, kTransistor, kNoise, n);
  ASSERT_TRUE(a);
  // RE through 8 nH in series, 3 pF across, 5 nH in series.
  const Cx behind = 1.0 / (Cx{0, omega * 3e-12} + 1.0 / Cx{50, omega * 8e-9});
  const Cx zs = behind + Cx{0, omega * 5e-9};
  EXPECT_NEAR(a->nfDb, 10 * std::log10(*NoiseFactorOfImpedance(a->pair, zs)), 1e-10);
  EXPECT_GT(a->nfDb, a->nfMinPairDb);
  // The feedback resistor costs noise.
  EXPECT_GT(a->nfMinPairDb, kNoise.nfMinDb());
  // The output network does not enter.
  NoiseNetworks otherOutput = n;
  otherOutput.output = {NetworkKind::LCL, 30, 1, 2};
  EXPECT_NEAR(AmplifierNoiseAt(f, kTransistor, kNoise, otherOutput)->nfDb, a->nfDb, 1e-10);
}

TEST(NoiseCascade, LossyNetworksFollowFriis) {
  const double f = 1000, omega = 2 * kPi * f * 1e6;
  const double qL = 40, qC = 200;
  const FeedbackElement fb = MakeFeedback(FeedbackKind::R, 1.0, 0, 0);
  const NoiseNetworks n = Networks(fb, {qL, qC});
  const std::optional<AmplifierNoise> a = AmplifierNoiseAt(f, kTransistor, kNoise, n);
  ASSERT_TRUE(a);

  const auto inductor = [&](double nH) { return Cx{omega * nH * 1e-9 / qL, omega * nH * 1e-9}; };
  const auto capacitor = [&](double pF) {
    const double x = 1 / (omega * pF * 1e-12);
    return Cx{x / qC, -x};
  };
  // Input L-C-L from RE; output C-L-C from the transistor: inner 4 pF first.
  const Matrix2 in = TeeAbcd(inductor(8), 1.0 / capacitor(3), inductor(5));
  const Matrix2 out = TeeAbcd(capacitor(4), 1.0 / inductor(10), capacitor(2));
  const Cx re{50, 0};
  // A passive network at T0 has F = 1/GA.
  const double g1 = AvailableGainOfAbcd(in, re);
  const Cx zs2 = OutputImpedance(in, re);
  const SMatrix pairS = *WithFeedback(kTransistor, 50, FeedbackAdmittance(fb, f));
  const Cx gs2 = (zs2 - 50.0) / (zs2 + 50.0);
  const SourceGain g2 = *AvailableGain(pairS, gs2);
  const double f2 = *NoiseFactor(a->pair, gs2);
  const Cx zs3 = 50.0 * (1.0 + g2.gammaOut) / (1.0 - g2.gammaOut);
  const double g3 = AvailableGainOfAbcd(out, zs3);
  const double friis = 1 / g1 + (f2 - 1) / g1 + (1 / g3 - 1) / (g1 * g2.ga);
  EXPECT_NEAR(a->nfDb, 10 * std::log10(friis), 1e-9);

  // The whole amplifier's noise parameters (for its Touchstone noise block)
  // give the same NF fed from RE, and more for any other source.
  const NoiseParameters whole = *AmplifierNoiseParameters(f, kTransistor, kNoise, n);
  EXPECT_NEAR(10 * std::log10(*NoiseFactor(whole, {})), a->nfDb, 1e-9);
  EXPECT_LE(whole.nfMinDb(), a->nfDb);
  EXPECT_GT(*NoiseFactor(whole, {0.3, 0.2}), whole.fMin);

  // The passive input network alone.
  const NoisyChain tee = TeeNoisyChain(n.input, f, n.losses, true);
  EXPECT_NEAR(*NoiseFactorOfChain(tee.ca, re), 1 / g1, 1e-12);
  // Losses cost noise; an ideal Q is the lossless network.
  const AmplifierNoise ideal = *AmplifierNoiseAt(f, kTransistor, kNoise, Networks(fb));
  EXPECT_GT(a->nfDb, ideal.nfDb + 0.01);
  EXPECT_EQ(CheckQ(0), "Il fattore di merito Q deve essere un numero maggiore di zero");
  EXPECT_EQ(CheckQ(NAN), CheckQ(-3));
  EXPECT_EQ(CheckQ(50), "");
}

TEST(NoiseCascade, PanelSkipsFrequenciesWithoutNoiseData) {
  const NoiseNetworks n = Networks(MakeFeedback(FeedbackKind::R, 1.0, 0, 0));
  const TransistorSource transistor{[](double) -> std::optional<SMatrix> { return kTransistor; }, 50};
  const NoiseSource noise = [](double fMHz) -> std::optional<NoiseParameters> {
    if (fMHz < 900 || fMHz > 1100) return std::nullopt;
    return kNoise;
  };
  const std::vector<double> frequencies{800, 900, 1000, 1100, 1200};
  const std::vector<NoisePanelPoint> panel = NoisePanel(n, transistor, noise, frequencies);
  ASSERT_EQ(panel.size(), 3u);
  EXPECT_EQ(panel[0].fMHz, 900);
  EXPECT_EQ(panel[2].fMHz, 1100);
  const AmplifierNoise at1000 = *AmplifierNoiseAt(1000, kTransistor, kNoise, n);
  EXPECT_EQ(panel[1].nfDb, at1000.nfDb);
  EXPECT_EQ(panel[1].nfMinPairDb, at1000.nfMinPairDb);
  EXPECT_NEAR(panel[1].nfMinTransistorDb, 1.25, 1e-12);
}

}  // namespace
