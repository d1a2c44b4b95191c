// Noise parameters: the noise factor by the classic formula against the
// correlation-matrix path, the noise data of real-style files at, between
// and outside their noise frequencies, and noise data typed by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "noise/noise_parameters.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

TouchstoneData Sample(const char* name) {
  const TouchstoneResult r = ReadTouchstoneFile(std::string(BJT_TEST_DATA_DIR "/") + name);
  if (const auto* e = std::get_if<TouchstoneError>(&r)) ADD_FAILURE() << e->message;
  return std::get<TouchstoneData>(r);
}

Cx Polar(double mag, double deg) { return std::polar(mag, deg * kPi / 180); }

void ExpectNoise(const std::optional<NoiseParameters>& n, double nfMinDb, Cx gammaOpt, double rnOhm) {
  ASSERT_TRUE(n);
  EXPECT_NEAR(n->nfMinDb(), nfMinDb, 1e-12);
  EXPECT_NEAR(n->gammaOpt.real(), gammaOpt.real(), 1e-12);
  EXPECT_NEAR(n->gammaOpt.imag(), gammaOpt.imag(), 1e-12);
  EXPECT_NEAR(n->rnOhm, rnOhm, 1e-12);
}

TEST(NoiseParameters, ClassicFormulaAgreesWithTheCorrelationMatrix) {
  // The maker file's transistor at 1 GHz: NFmin 1.25 dB, Γopt 0.20∠70°, rn 0.19.
  const NoiseParameters n = *NoiseFromDb(1.25, Polar(0.20, 70), 0.19 * 50, 50);
  const Matrix2 ca = *ChainCorrelation(n);
  for (Cx gs : {Cx{0, 0}, Polar(0.2, 70), Polar(0.5, -30), Polar(0.9, 150), Cx{-0.3, 0.6}}) {
    const Cx zs = 50.0 * (1.0 + gs) / (1.0 - gs);
    const double classic = *NoiseFactor(n, gs);
    EXPECT_NEAR(*NoiseFactorOfChain(ca, zs), classic, 1e-12 * classic) << gs;
    EXPECT_NEAR(*NoiseFactorOfImpedance(n, zs), classic, 1e-12 * classic) << gs;
  }
  // At Γopt the minimum, and the classic formula written out at Γs = 0.
  EXPECT_NEAR(*NoiseFactor(n, n.gammaOpt), n.fMin, 1e-15);
  const double at0 = n.fMin + 4 * 0.19 * 0.04 / std::norm(1.0 + Polar(0.20, 70));
  EXPECT_NEAR(*NoiseFactor(n, {}), at0, 1e-14);
  EXPECT_FALSE(NoiseFactor(n, {1, 0}));
  EXPECT_FALSE(NoiseFactorOfChain(ca, {0, 5}));

  // C_A back to the parameters, and through the admittance form of a
  // transistor and back (Y of the maker file's transistor at 1 GHz).
  ExpectNoise(NoiseOfChainCorrelation(ca, 50), 1.25, n.gammaOpt, 9.5);
  const YMatrix y{{0.02, 0.004}, {-1e-4, -8e-4}, {0.05, -0.09}, {2e-3, 4e-3}};
  const Matrix2 back = *ChainCorrelationOfAdmittance(*AdmittanceCorrelation(ca, y), y);
  ExpectNoise(NoiseOfChainCorrelation(back, 50), 1.25, n.gammaOpt, 9.5);
  // A noiseless two-port has no minimum to speak of: F = 1 whatever the source.
  ExpectNoise(NoiseOfChainCorrelation({}, 50), 0, {}, 0);
}

TEST(NoiseParameters, ReferredToAnotherResistanceKeepsTheNoiseFactor) {
  const NoiseParameters n = *NoiseFromDb(0.9, Polar(0.3, 61), 6.5, 50);
  const NoiseParameters at75 = *ReferredTo(n, 75);
  const Cx zs{30, 20};
  EXPECT_NEAR(*NoiseFactorOfImpedance(at75, zs), *NoiseFactorOfImpedance(n, zs), 1e-13);
  EXPECT_NEAR(*NoiseFactor(at75, (zs - 75.0) / (zs + 75.0)), *NoiseFactor(n, (zs - 50.0) / (zs + 50.0)),
              1e-13);
}

TEST(NoiseParameters, FileNoiseAtBetweenAndOutsideTheNoiseFrequencies) {
  const TouchstoneData mhz = Sample("bfr_maker_ma_mhz.s2p");
  ASSERT_EQ(mhz.noise.size(), 3u);
  // At a noise frequency the file's values, Rn = rn × 50.
  ExpectNoise(FileNoiseAt(mhz, 1000), 1.25, Polar(0.20, 70), 0.19 * 50);
  ExpectNoise(FileNoiseAt(mhz, 500), 1.10, Polar(0.27, 34), 0.22 * 50);
  ExpectNoise(FileNoiseAt(mhz, 2000), 1.60, Polar(0.17, 152), 0.16 * 50);
  // NFmin exactly as written, not 10·log10(10^(1.25/10)) = 1.2499999999999998.
  EXPECT_EQ(FileNoiseAt(mhz, 1000)->nfMinDb(), 1.25);
  EXPECT_EQ(FileNoiseAt(mhz, 2000)->nfMinDb(), 1.60);
  // A quarter of the way from 1000 to 2000 MHz: Γopt by its real and imaginary
  // parts, not by magnitude and angle.
  const Cx g = 0.75 * Polar(0.20, 70) + 0.25 * Polar(0.17, 152);
  ExpectNoise(FileNoiseAt(mhz, 1250), 0.75 * 1.25 + 0.25 * 1.60, g, (0.75 * 0.19 + 0.25 * 0.16) * 50);
  // Outside the block, though inside the S-parameters' range: nothing.
  EXPECT_FALSE(FileNoiseAt(mhz, 499.999));
  EXPECT_FALSE(FileNoiseAt(mhz, 100));
  EXPECT_FALSE(FileNoiseAt(mhz, 2000.001));

  // GHz and DB: the noise block in the file's unit too.
  const TouchstoneData ghz = Sample("maker_db_ghz_noise.s2p");
  ASSERT_EQ(ghz.noise.size(), 3u);
  ExpectNoise(FileNoiseAt(ghz, 1800), 0.90, Polar(0.30, 61), 0.13 * 50);
  ExpectNoise(FileNoiseAt(ghz, 2100), 0.975, 0.5 * (Polar(0.30, 61) + Polar(0.26, 88)), 0.125 * 50);
  EXPECT_FALSE(FileNoiseAt(ghz, 500));
  EXPECT_FALSE(FileNoiseAt(ghz, 2500));

  // Version 2.0 [Noise Data]: rn normalised to the reference as in version 1.
  const TouchstoneData v2 = Sample("v2_data.s2p");
  ExpectNoise(FileNoiseAt(v2, 500), 1.10, Polar(0.27, 34), 0.22 * 50);
  ExpectNoise(FileNoiseAt(v2, 1000), 1.10 + 0.5 / 1.5 * 0.5,
              Polar(0.27, 34) + (Polar(0.17, 152) - Polar(0.27, 34)) / 3.0,
              (0.22 - 0.06 / 3) * 50);

  // A noise line no real device has is no data, nor is anything between it
  // and its neighbours.
  TouchstoneData odd = mhz;
  odd.noise[1].gammaOptMag = 1.2;
  EXPECT_FALSE(FileNoiseAt(odd, 1000));
  EXPECT_FALSE(FileNoiseAt(odd, 750));
  EXPECT_TRUE(FileNoiseAt(odd, 500));
  odd.noise[1] = mhz.noise[1];
  odd.noise[2].rnNormalized = -0.1;
  EXPECT_FALSE(FileNoiseAt(odd, 1500));

  // Files without a noise block have none at any frequency.
  EXPECT_FALSE(FileNoiseAt(Sample("amp_db_ghz.s2p"), 1000));
  EXPECT_FALSE(FileNoiseAt(Sample("sim_ri_hz.s2p"), 200));
}

// Both the same optional, to the bit.
void ExpectSameNoise(const std::optional<NoiseParameters>& a, const std::optional<NoiseParameters>& b,
                     double fMHz) {
  ASSERT_EQ(a.has_value(), b.has_value()) << fMHz;
  if (!a) return;
  EXPECT_EQ(a->fMin, b->fMin) << fMHz;
  EXPECT_EQ(a->nfMinDb(), b->nfMinDb()) << fMHz;
  EXPECT_EQ(a->gammaOpt, b->gammaOpt) << fMHz;
  EXPECT_EQ(a->rnOhm, b->rnOhm) << fMHz;
  EXPECT_EQ(a->r0, b->r0) << fMHz;
}

// The reader starts each search where the last ended; whatever the order of
// the frequencies asked, and whatever the block, it gives the search's values.
TEST(NoiseParameters, BlockReaderGivesTheSearchsValuesInAnyOrder) {
  const std::vector<NoiseSample> maker = NoiseSamples(Sample("bfr_maker_ma_mhz.s2p").noise);  // 500 to 2000
  std::vector<NoiseSample> repeated = maker;  // a frequency twice, values apart
  repeated.insert(repeated.begin() + 1, repeated[1]);
  repeated[1].nfMinDb = 1.4;
  std::vector<NoiseSample> outOfOrder = maker;
  std::swap(outOfOrder[0], outOfOrder[1]);
  std::vector<NoiseSample> implausible = maker;
  implausible[1].rnNormalized = -1;
  const std::vector<double> rising{100, 500, 500, 620.5, 999.999, 1000, 1000, 1000.001, 1999, 2000, 2000.5};
  const std::vector<double> falling(rising.rbegin(), rising.rend());
  const std::vector<double> jumping = {1500, 700, 2000, 500, 1000, 1750, 1750, 499, NAN, 900, INFINITY, 1200};
  for (const std::vector<NoiseSample>& block : {maker, repeated, outOfOrder, implausible})
    for (const std::vector<double>& run : {rising, falling, jumping}) {
      NoiseBlockReader reader(block, 75);
      for (double f : run) ExpectSameNoise(reader(f), FileNoiseAt(block, 75, f), f);
    }
  NoiseBlockReader empty({}, 50);
  EXPECT_FALSE(empty(1000));
}

// Fmin alone where the whole parameters are given, and nothing where they
// are not: a noiseless chain, a C11 of zero with noise left, a huge Yopt
// whose Γopt is finite and one whose Γopt overflows while Fmin does not, an
// Rn that overflows, a number that is not finite.
TEST(NoiseParameters, MinimumNoiseFactorAloneAsFromTheWholeParameters) {
  const NoiseParameters n = *NoiseFromDb(1.25, Polar(0.20, 70), 0.19 * 50, 50);
  const Matrix2 ca = *ChainCorrelation(n);
  const double k = kFourKT0;
  const std::vector<Matrix2> cases = {
      ca, {}, {0.0, 0.0, 0.0, k}, {k * 1e-3, {k * 0.1, k * 5e150}, {k * 0.1, -k * 5e150}, k * 1e300},
      {k * 1e-3, {k * 0.1, k * 1e304}, {k * 0.1, -k * 1e304}, k},
      {k * 2.0, {k * 0.3, 0.0}, {k * 0.3, 0.0}, 0.0}, {NAN, 0.0, 0.0, 0.0}, {1e300, 0.0, 0.0, 0.0}};
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const std::optional<NoiseParameters> whole = NoiseOfChainCorrelation(cases[i], 50);
    const std::optional<double> fMin = MinimumNoiseFactorOfChain(cases[i], 50);
    ASSERT_EQ(fMin.has_value(), whole.has_value()) << i;
    if (fMin) {
      EXPECT_EQ(*fMin, whole->fMin) << i;
    }
  }
}

TEST(NoiseParameters, TypedByHand) {
  const auto typed = NoiseFromFields(1.2, 0.35, -120, 8, 50);
  ASSERT_TRUE(std::holds_alternative<NoiseParameters>(typed));
  ExpectNoise(std::get<NoiseParameters>(typed), 1.2, Polar(0.35, -120), 8);
  EXPECT_EQ(std::get<NoiseParameters>(typed).nfMinDb(), 1.2);
  ASSERT_TRUE(std::holds_alternative<NoiseParameters>(NoiseFromFields(0, 0, 0, 0, 50)));

  const auto refusal = [](double nf, double mag, double deg, double rn) {
    const auto r = NoiseFromFields(nf, mag, deg, rn, 50);
    return std::holds_alternative<std::string>(r) ? std::get<std::string>(r) : std::string();
  };
  EXPECT_EQ(refusal(-0.1, 0.3, 0, 5), "NFmin deve essere un numero maggiore o uguale a zero (dB)");
  EXPECT_EQ(refusal(NAN, 0.3, 0, 5), "NFmin deve essere un numero maggiore o uguale a zero (dB)");
  EXPECT_NE(refusal(1, 1.0, 0, 5).find("|Γopt|"), std::string::npos);
  EXPECT_NE(refusal(1, -0.1, 0, 5).find("|Γopt|"), std::string::npos);
  EXPECT_NE(refusal(1, 0.3, INFINITY, 5).find("angolo"), std::string::npos);
  EXPECT_NE(refusal(1, 0.3, 0, -1).find("Rn"), std::string::npos);
  EXPECT_NE(refusal(1e6, 0.3, 0, 5), "");
}

}  // namespace
