#pragma once
// Two-port noise parameters (Fmin, Γopt, Rn) and their correlation matrices
// in the 4kT0 convention (Hillbrand–Russer): the chain form C_A, whose noise
// sources sit at the input, and the admittance form C_Y, which adds for
// two-ports in parallel. The noise factor F is a ratio; NF = 10·log10 F dB.
// Every routine returns a finite value or nothing.
#include <algorithm>
#include <cmath>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "analysis/two_port.h"
#include "touchstone/touchstone.h"

inline constexpr double kBoltzmann = 1.380649e-23;  // J/K
inline constexpr double kT0 = 290.0;                // K, the standard noise temperature
inline constexpr double kFourKT0 = 4.0 * kBoltzmann * kT0;

// A 2×2 complex matrix: a chain (ABCD) matrix or a correlation matrix.
struct Matrix2 {
  Cx m11, m12, m21, m22;
};
// Inline: a sweep's noise panel calls these a few times per frequency.
inline Matrix2 Product(const Matrix2& a, const Matrix2& b) {
  return {a.m11 * b.m11 + a.m12 * b.m21, a.m11 * b.m12 + a.m12 * b.m22,
          a.m21 * b.m11 + a.m22 * b.m21, a.m21 * b.m12 + a.m22 * b.m22};
}
inline Matrix2 Sum(const Matrix2& a, const Matrix2& b) {
  return {a.m11 + b.m11, a.m12 + b.m12, a.m21 + b.m21, a.m22 + b.m22};
}
inline Matrix2 Adjoint(const Matrix2& m) {
  return {std::conj(m.m11), std::conj(m.m21), std::conj(m.m12), std::conj(m.m22)};
}
// t·c·tᴴ: how a correlation matrix is carried through a linear map.
inline Matrix2 Congruence(const Matrix2& t, const Matrix2& c) { return Product(Product(t, c), Adjoint(t)); }
inline bool IsFinite(Cx z) { return std::isfinite(z.real()) && std::isfinite(z.imag()); }
inline bool IsFinite(const Matrix2& m) {
  return IsFinite(m.m11) && IsFinite(m.m12) && IsFinite(m.m21) && IsFinite(m.m22);
}
inline bool IsZero(const Matrix2& m) {
  return m.m11 == Cx{} && m.m12 == Cx{} && m.m21 == Cx{} && m.m22 == Cx{};
}

struct NoiseParameters {
  double fMin = 1;  // the minimum noise factor, a ratio ≥ 1
  Cx gammaOpt;      // the source reflection for Fmin, referred to r0
  double rnOhm = 0;
  double r0 = 50;
  // NFmin in dB as the data gave it (a file's value, or between two of them
  // interpolated in dB, or a typed one), kept: 10·log10 of fMin gives it back
  // only to about the last digit (1.2499999999999998 for a file's 1.25), and
  // a sweep's noise panel saves a log10 a frequency. Empty where fMin came
  // from a correlation matrix.
  std::optional<double> givenNfMinDb = std::nullopt;
  double nfMinDb() const { return givenNfMinDb ? *givenNfMinDb : 10.0 * std::log10(fMin); }
};

// From NFmin in dB; nullopt for values that are not finite or r0 ≤ 0.
std::optional<NoiseParameters> NoiseFromDb(double nfMinDb, Cx gammaOpt, double rnOhm, double r0);
// The routines from here to MinimumNoiseFactorOfChain (but
// NoiseOfChainCorrelation) and NoiseFigureDb are inline: a sweep's noise
// panel runs them once a frequency inside one flattened routine
// (PanelNoiseAt).
// The same noise with Γopt referred to another resistance (Fmin and Rn do not
// depend on the reference).
inline std::optional<NoiseParameters> ReferredTo(const NoiseParameters& n, double r0) {
  if (r0 == n.r0) return n;
  const std::optional<Cx> zOpt = ImpedanceOf(n.gammaOpt, n.r0);
  if (!zOpt || !(r0 > 0)) return std::nullopt;
  const std::optional<Cx> gamma = GammaOf(*zOpt, r0);
  if (!gamma) return std::nullopt;
  NoiseParameters referred = n;
  referred.gammaOpt = *gamma;
  referred.r0 = r0;
  return referred;
}
// Yopt = (1/r0)·(1 − Γopt)/(1 + Γopt), siemens.
inline std::optional<Cx> OptimumAdmittance(const NoiseParameters& n) {
  const Cx den = Cx{1.0, 0.0} + n.gammaOpt;
  if (den == Cx{}) return std::nullopt;
  const Cx y = (Cx{1.0, 0.0} - n.gammaOpt) * Inverse(den) * (1.0 / n.r0);
  if (!IsFinite(y)) return std::nullopt;
  return y;
}

// C_A = 4kT0·[[Rn, (Fmin − 1)/2 − Rn·conj(Yopt)], [(Fmin − 1)/2 − Rn·Yopt, Rn·|Yopt|²]].
inline std::optional<Matrix2> ChainCorrelation(const NoiseParameters& n) {
  const std::optional<Cx> yOpt = OptimumAdmittance(n);
  if (!yOpt) return std::nullopt;
  const double half = (n.fMin - 1.0) / 2.0;
  const Matrix2 ca{kFourKT0 * n.rnOhm, kFourKT0 * (half - n.rnOhm * std::conj(*yOpt)),
                   kFourKT0 * (half - n.rnOhm * *yOpt), kFourKT0 * n.rnOhm * std::norm(*yOpt)};
  if (!IsFinite(ca)) return std::nullopt;
  return ca;
}
// Back from C_A, with Γopt referred to r0. A noiseless two-port (C_A = 0)
// gives Fmin = 1, Γopt = 0, Rn = 0; nullopt where C_A has no minimum (Rn = 0
// with noise left over) or is not finite.
std::optional<NoiseParameters> NoiseOfChainCorrelation(const Matrix2& ca, double r0);
// Yopt and Fmin of a finite C_A with C11 > 0, the steps NoiseOfChainCorrelation
// and MinimumNoiseFactorOfChain share.
struct ChainOptimum {
  Cx yOpt;
  double fMin = 1;
};
inline ChainOptimum OptimumOfChain(const Matrix2& ca) {
  const double c11 = ca.m11.real();
  // One division for the three quotients: the noise panel of a long sweep
  // comes here once a frequency.
  const double inverse = 1.0 / c11;
  const double bOpt = ca.m12.imag() * inverse;
  // C22/C11 − (Im C12/C11)² is Gopt², ≥ 0 but for rounding.
  const double gOpt = std::sqrt(std::max(ca.m22.real() * inverse - bOpt * bOpt, 0.0));
  const Cx yOpt{gOpt, bOpt};
  return {yOpt, 1.0 + (ca.m12 + c11 * std::conj(yOpt)).real() * (2.0 / kFourKT0)};
}
// Γopt from Yopt directly: Gopt ≥ 0 keeps 1 + Yopt·r0 away from zero, and
// Yopt = 0 (a series resistor alone, quietest fed from an open circuit)
// gives Γopt = 1 rather than a division by zero.
inline Cx GammaOfOptimum(Cx yOpt, double r0) {
  const Cx yr = yOpt * r0;
  return (Cx{1.0, 0.0} - yr) * Inverse(Cx{1.0, 0.0} + yr);
}
// Whether Γopt of this Yopt is finite, mostly without forming it (2 % of
// the instructions of a sweep's panel, which does not show Γopt): with
// Re(Yopt·r0) ≥ 0 and |1 + Yopt·r0|² a normal number, 1/(1 + Yopt·r0) is at
// most 1 in size and (1 − Yopt·r0) no larger than (1 + Yopt·r0), so their
// product is finite. Elsewhere Γopt itself tells.
inline bool GammaOfOptimumIsFinite(Cx yOpt, double r0) {
  const Cx yr = yOpt * r0;
  if (yr.real() >= 0 && IsFinite(yr) && std::isnormal(std::norm(Cx{1.0, 0.0} + yr))) return true;
  return IsFinite(GammaOfOptimum(yOpt, r0));
}
// Fmin alone, where NoiseOfChainCorrelation gives parameters (nullopt where
// it gives none): a sweep's noise panel shows the pair's NFmin only.
inline std::optional<double> MinimumNoiseFactorOfChain(const Matrix2& ca, double r0) {
  if (!IsFinite(ca) || !(r0 > 0)) return std::nullopt;
  const double c11 = ca.m11.real();
  if (!(c11 > 0)) {
    if (IsZero(ca)) return 1.0;
    return std::nullopt;
  }
  const ChainOptimum optimum = OptimumOfChain(ca);
  const double rn = c11 * (1.0 / kFourKT0);
  if (!std::isfinite(optimum.fMin) || !std::isfinite(rn) || !GammaOfOptimumIsFinite(optimum.yOpt, r0))
    return std::nullopt;
  return optimum.fMin;
}
// C_Y = T·C_A·Tᴴ, T = [[−Y11, 1], [−Y21, 0]], and back C_A = T'·C_Y·T'ᴴ,
// T' = [[0, B], [1, D]] with B = −1/Y21, D = −Y11/Y21.
std::optional<Matrix2> AdmittanceCorrelation(const Matrix2& ca, const YMatrix& y);
std::optional<Matrix2> ChainCorrelationOfAdmittance(const Matrix2& cy, const YMatrix& y);

// F for a source reflection Γs (referred to n.r0), by the classic formula
// F = Fmin + 4·rn·|Γs − Γopt|² / ((1 − |Γs|²)·|1 + Γopt|²). Nullopt for
// |Γs| ≥ 1.
std::optional<double> NoiseFactor(const NoiseParameters& n, Cx gammaS);
// The same from the source impedance: F = Fmin + (Rn/Gs)·|Ys − Yopt|².
std::optional<double> NoiseFactorOfImpedance(const NoiseParameters& n, Cx zs);
// F = 1 + zᴴ·C_A·z / (4kT0·Re Zs), z = [1, conj(Zs)]ᵀ. Nullopt for Re Zs ≤ 0.
std::optional<double> NoiseFactorOfChain(const Matrix2& ca, Cx zs);
// A noise factor with a figure: finite and not below 1 beyond rounding. A
// noiseless chain can come out a few ulps below 1 after the cascade.
inline bool HasNoiseFigure(double f) { return std::isfinite(f) && f > 1.0 - 1e-9; }
// 10·log10 F; nullopt where F has no figure.
inline std::optional<double> NoiseFigureDb(double f) {
  if (!HasNoiseFigure(f)) return std::nullopt;
  return 10.0 * std::log10(std::max(f, 1.0));
}
// NFmin in dB: as the data gave it where they did, else from Fmin; nullopt
// where Fmin has no figure.
inline std::optional<double> MinimumNoiseFigureDb(const NoiseParameters& n) {
  if (!n.givenNfMinDb) return NoiseFigureDb(n.fMin);
  if (!HasNoiseFigure(n.fMin)) return std::nullopt;
  return std::max(*n.givenNfMinDb, 0.0);
}

// The file's noise at fMHz: at a noise frequency its values, between two
// NFmin in dB, Re Γopt, Im Γopt and rn each linear in frequency, outside the
// block's range nothing (never extrapolated). Γopt referred to the file's
// reference, Rn = rn × that reference (see the .cpp for version 2.0).
std::optional<NoiseParameters> FileNoiseAt(const TouchstoneData& file, double fMHz);
// A noise block with Γopt as a complex number, for code that interpolates
// many times (the conversion from magnitude and angle costs more than the
// interpolation).
struct NoiseSample {
  double fMHz = 0, nfMinDb = 0;
  Cx gammaOpt;
  double rnNormalized = 0;
};
std::vector<NoiseSample> NoiseSamples(std::span<const NoisePoint> block);
std::optional<NoiseParameters> FileNoiseAt(std::span<const NoiseSample> block, double referenceOhm,
                                           double fMHz);
// FileNoiseAt's values to the bit for frequencies asked one after another,
// quicker where they rise, as a sweep's do: each search starts where the
// last one ended. Holds a view of the block, which must outlive it.
class NoiseBlockReader {
 public:
  NoiseBlockReader(std::span<const NoiseSample> block, double referenceOhm);
  std::optional<NoiseParameters> operator()(double fMHz);

 private:
  std::span<const NoiseSample> block_;
  double referenceOhm_ = 50;
  bool ascending_ = false;
  std::size_t above_ = 0;  // the last search's first frequency at or above
};
// Shown where there are no noise data at a frequency.
inline constexpr const char* kNoNoiseData = "nessun dato di rumore a questa frequenza";

// Noise typed by hand: NFmin [dB], |Γopt|, angle of Γopt [°], Rn [ohm], with
// Γopt referred to r0. An Italian message on refusal.
std::variant<NoiseParameters, std::string> NoiseFromFields(double nfMinDb, double gammaOptMag,
                                                           double gammaOptDeg, double rnOhm,
                                                           double r0);
