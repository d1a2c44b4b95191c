#include "noise/noise_parameters.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
const Cx kOne{1.0, 0.0};

std::optional<Matrix2> IfFinite(const Matrix2& m) {
  if (!IsFinite(m)) return std::nullopt;
  return m;
}

Cx GammaFromPolar(double mag, double deg) { return std::polar(mag, deg * (kPi / 180.0)); }

// One noise point of a file as parameters; rn scaled by the reference.
std::optional<NoiseParameters> NoiseOfPoint(double nfMinDb, Cx gammaOpt, double rn, double r0) {
  return NoiseFromDb(nfMinDb, gammaOpt, rn * r0, r0);
}

// A line no real two-port has (NFmin below 0 dB, |Γopt| ≥ 1, rn < 0) is no
// data, and neither is anything interpolated from it: it would give a noise
// figure below the minimum, or none at all.
bool Plausible(const NoiseSample& p) {
  return p.nfMinDb >= 0 && std::norm(p.gammaOpt) < 1 && p.rnNormalized >= 0;
}

}  // namespace

double NoiseParameters::nfMinDb() const { return 10.0 * std::log10(fMin); }

std::optional<NoiseParameters> NoiseFromDb(double nfMinDb, Cx gammaOpt, double rnOhm, double r0) {
  const double fMin = std::pow(10.0, nfMinDb / 10.0);
  if (!std::isfinite(fMin) || !IsFinite(gammaOpt) || !std::isfinite(rnOhm) || !(r0 > 0) ||
      !std::isfinite(r0))
    return std::nullopt;
  return NoiseParameters{fMin, gammaOpt, rnOhm, r0};
}

std::optional<NoiseParameters> ReferredTo(const NoiseParameters& n, double r0) {
  if (r0 == n.r0) return n;
  const std::optional<Cx> zOpt = ImpedanceOf(n.gammaOpt, n.r0);
  if (!zOpt || !(r0 > 0)) return std::nullopt;
  const std::optional<Cx> gamma = GammaOf(*zOpt, r0);
  if (!gamma) return std::nullopt;
  return NoiseParameters{n.fMin, *gamma, n.rnOhm, r0};
}

std::optional<Cx> OptimumAdmittance(const NoiseParameters& n) {
  const Cx den = kOne + n.gammaOpt;
  if (den == Cx{}) return std::nullopt;
  const Cx y = (kOne - n.gammaOpt) * Inverse(den) * (1.0 / n.r0);
  if (!IsFinite(y)) return std::nullopt;
  return y;
}

std::optional<Matrix2> ChainCorrelation(const NoiseParameters& n) {
  const std::optional<Cx> yOpt = OptimumAdmittance(n);
  if (!yOpt) return std::nullopt;
  const double half = (n.fMin - 1.0) / 2.0;
  return IfFinite({kFourKT0 * n.rnOhm, kFourKT0 * (half - n.rnOhm * std::conj(*yOpt)),
                   kFourKT0 * (half - n.rnOhm * *yOpt), kFourKT0 * n.rnOhm * std::norm(*yOpt)});
}

std::optional<NoiseParameters> NoiseOfChainCorrelation(const Matrix2& ca, double r0) {
  if (!IsFinite(ca) || !(r0 > 0)) return std::nullopt;
  const double c11 = ca.m11.real();
  if (!(c11 > 0)) {
    if (ca.m11 == Cx{} && ca.m12 == Cx{} && ca.m21 == Cx{} && ca.m22 == Cx{})
      return NoiseParameters{1.0, {}, 0.0, r0};
    return std::nullopt;
  }
  // One division for the three quotients: the noise panel of a long sweep
  // comes here once a frequency.
  const double inverse = 1.0 / c11;
  const double bOpt = ca.m12.imag() * inverse;
  // C22/C11 − (Im C12/C11)² is Gopt², ≥ 0 but for rounding.
  const double gOpt = std::sqrt(std::max(ca.m22.real() * inverse - bOpt * bOpt, 0.0));
  const Cx yOpt{gOpt, bOpt};
  const double fMin = 1.0 + (ca.m12 + c11 * std::conj(yOpt)).real() * (2.0 / kFourKT0);
  // Γopt from Yopt directly: Gopt ≥ 0 keeps 1 + Yopt·r0 away from zero, and
  // Yopt = 0 (a series resistor alone, quietest fed from an open circuit)
  // gives Γopt = 1 rather than a division by zero.
  const Cx yr = yOpt * r0;
  const Cx gammaOpt = (kOne - yr) * Inverse(kOne + yr);
  const double rn = c11 * (1.0 / kFourKT0);
  if (!IsFinite(gammaOpt) || !std::isfinite(fMin) || !std::isfinite(rn)) return std::nullopt;
  return NoiseParameters{fMin, gammaOpt, rn, r0};
}

std::optional<Matrix2> AdmittanceCorrelation(const Matrix2& ca, const YMatrix& y) {
  return IfFinite(Congruence({-y.y11, kOne, -y.y21, {}}, ca));
}

std::optional<Matrix2> ChainCorrelationOfAdmittance(const Matrix2& cy, const YMatrix& y) {
  if (y.y21 == Cx{}) return std::nullopt;
  const Cx b = -Inverse(y.y21);
  const Cx d = y.y11 * b;
  return IfFinite(Congruence({{}, b, kOne, d}, cy));
}

std::optional<double> NoiseFactor(const NoiseParameters& n, Cx gammaS) {
  const double inside = 1.0 - std::norm(gammaS);
  const double den = inside * std::norm(kOne + n.gammaOpt);
  if (!(inside > 0) || !(den > 0)) return std::nullopt;
  const double f = n.fMin + 4.0 * (n.rnOhm / n.r0) * std::norm(gammaS - n.gammaOpt) / den;
  if (!std::isfinite(f)) return std::nullopt;
  return f;
}

std::optional<double> NoiseFactorOfImpedance(const NoiseParameters& n, Cx zs) {
  const std::optional<Cx> yOpt = OptimumAdmittance(n);
  if (!yOpt || zs == Cx{}) return std::nullopt;
  const Cx ys = Inverse(zs);
  if (!(ys.real() > 0)) return std::nullopt;
  const double f = n.fMin + (n.rnOhm / ys.real()) * std::norm(ys - *yOpt);
  if (!std::isfinite(f)) return std::nullopt;
  return f;
}

std::optional<double> NoiseFactorOfChain(const Matrix2& ca, Cx zs) {
  if (!(zs.real() > 0)) return std::nullopt;
  // zᴴ·C·z with z = [1, conj(Zs)]ᵀ, real for a Hermitian C.
  const Cx quadratic = ca.m11 + ca.m12 * std::conj(zs) + zs * ca.m21 + std::norm(zs) * ca.m22;
  const double f = 1.0 + quadratic.real() / (kFourKT0 * zs.real());
  if (!std::isfinite(f)) return std::nullopt;
  return f;
}

std::optional<double> NoiseFigureDb(double f) {
  // A noiseless chain can come out a few ulps below 1 after the cascade.
  if (!std::isfinite(f) || !(f > 1.0 - 1e-9)) return std::nullopt;
  return 10.0 * std::log10(std::max(f, 1.0));
}

// Version 1 gives rn = Rn/R, R the option line's reference. The reader keeps
// the fifth number of a 2.0 [Noise Data] line as it is too: the 2.0 format
// carries the version 1 noise line over unchanged (effective noise resistance
// normalised to the reference), and real 2.0 transistor files write rn ≈ 0.1
// to 1, which as ohm would be an impossibly quiet device. So both versions
// take Rn = rn × the file's reference ([Reference] of port 1 in 2.0, equal to
// port 2's for a transistor file).
std::optional<NoiseParameters> FileNoiseAt(const TouchstoneData& file, double fMHz) {
  return FileNoiseAt(NoiseSamples(file.noise), file.referenceOhm, fMHz);
}

std::vector<NoiseSample> NoiseSamples(std::span<const NoisePoint> block) {
  std::vector<NoiseSample> samples;
  samples.reserve(block.size());
  for (const NoisePoint& p : block)
    samples.push_back({p.fMHz, p.nfMinDb, GammaFromPolar(p.gammaOptMag, p.gammaOptDeg), p.rnNormalized});
  return samples;
}

std::optional<NoiseParameters> FileNoiseAt(std::span<const NoiseSample> block, double referenceOhm,
                                           double fMHz) {
  if (block.empty() || !(fMHz >= block.front().fMHz) || !(fMHz <= block.back().fMHz))
    return std::nullopt;
  const auto above = std::lower_bound(block.begin(), block.end(), fMHz,
                                      [](const NoiseSample& p, double f) { return p.fMHz < f; });
  const NoiseSample& hi = *above;
  if (!Plausible(hi)) return std::nullopt;
  if (hi.fMHz == fMHz) return NoiseOfPoint(hi.nfMinDb, hi.gammaOpt, hi.rnNormalized, referenceOhm);
  const NoiseSample& lo = *(above - 1);
  if (!Plausible(lo)) return std::nullopt;
  const double t = (fMHz - lo.fMHz) / (hi.fMHz - lo.fMHz);
  const auto line = [t](double a, double b) { return a + (b - a) * t; };
  return NoiseOfPoint(line(lo.nfMinDb, hi.nfMinDb),
                      {line(lo.gammaOpt.real(), hi.gammaOpt.real()),
                       line(lo.gammaOpt.imag(), hi.gammaOpt.imag())},
                      line(lo.rnNormalized, hi.rnNormalized), referenceOhm);
}

std::variant<NoiseParameters, std::string> NoiseFromFields(double nfMinDb, double gammaOptMag,
                                                           double gammaOptDeg, double rnOhm,
                                                           double r0) {
  if (!std::isfinite(nfMinDb) || nfMinDb < 0)
    return std::string("NFmin deve essere un numero maggiore o uguale a zero (dB)");
  if (!std::isfinite(gammaOptMag) || gammaOptMag < 0 || gammaOptMag >= 1)
    return std::string("|Γopt| deve essere un numero maggiore o uguale a zero e minore di 1");
  if (!std::isfinite(gammaOptDeg))
    return std::string("L'angolo di Γopt deve essere un numero (gradi)");
  if (!std::isfinite(rnOhm) || rnOhm < 0)
    return std::string("Rn deve essere un numero maggiore o uguale a zero (ohm)");
  if (!std::isfinite(r0) || !(r0 > 0))
    return std::string("La resistenza di riferimento Ro deve essere maggiore di zero");
  const std::optional<NoiseParameters> n =
      NoiseFromDb(nfMinDb, GammaFromPolar(gammaOptMag, gammaOptDeg), rnOhm, r0);
  if (!n) return std::string("NFmin è troppo grande");
  return *n;
}
