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

std::optional<NoiseParameters> NoiseFromDb(double nfMinDb, Cx gammaOpt, double rnOhm, double r0) {
  const double fMin = std::pow(10.0, nfMinDb / 10.0);
  if (!std::isfinite(fMin) || !IsFinite(gammaOpt) || !std::isfinite(rnOhm) || !(r0 > 0) ||
      !std::isfinite(r0))
    return std::nullopt;
  return NoiseParameters{fMin, gammaOpt, rnOhm, r0, nfMinDb};
}

std::optional<NoiseParameters> NoiseOfChainCorrelation(const Matrix2& ca, double r0) {
  if (!IsFinite(ca) || !(r0 > 0)) return std::nullopt;
  const double c11 = ca.m11.real();
  if (!(c11 > 0)) {
    if (IsZero(ca)) return NoiseParameters{1.0, {}, 0.0, r0, std::nullopt};
    return std::nullopt;
  }
  const ChainOptimum optimum = OptimumOfChain(ca);
  const Cx gammaOpt = GammaOfOptimum(optimum.yOpt, r0);
  const double rn = c11 * (1.0 / kFourKT0);
  if (!IsFinite(gammaOpt) || !std::isfinite(optimum.fMin) || !std::isfinite(rn)) return std::nullopt;
  return NoiseParameters{optimum.fMin, gammaOpt, rn, r0, std::nullopt};
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

namespace {

// The noise at fMHz from the block's first frequency at or above it (inside
// the block's range).
std::optional<NoiseParameters> NoiseBelow(std::span<const NoiseSample> block, std::size_t above,
                                          double referenceOhm, double fMHz) {
  const NoiseSample& hi = block[above];
  if (!Plausible(hi)) return std::nullopt;
  if (hi.fMHz == fMHz) return NoiseOfPoint(hi.nfMinDb, hi.gammaOpt, hi.rnNormalized, referenceOhm);
  const NoiseSample& lo = block[above - 1];
  if (!Plausible(lo)) return std::nullopt;
  const double t = (fMHz - lo.fMHz) / (hi.fMHz - lo.fMHz);
  const auto line = [t](double a, double b) { return a + (b - a) * t; };
  return NoiseOfPoint(line(lo.nfMinDb, hi.nfMinDb),
                      {line(lo.gammaOpt.real(), hi.gammaOpt.real()),
                       line(lo.gammaOpt.imag(), hi.gammaOpt.imag())},
                      line(lo.rnNormalized, hi.rnNormalized), referenceOhm);
}

bool InRange(std::span<const NoiseSample> block, double fMHz) {
  return !block.empty() && fMHz >= block.front().fMHz && fMHz <= block.back().fMHz;
}

std::size_t FirstAtOrAbove(std::span<const NoiseSample> block, double fMHz) {
  return static_cast<std::size_t>(
      std::lower_bound(block.begin(), block.end(), fMHz,
                       [](const NoiseSample& p, double f) { return p.fMHz < f; }) -
      block.begin());
}

bool Ascending(std::span<const NoiseSample> block) {
  return std::is_sorted(block.begin(), block.end(),
                        [](const NoiseSample& a, const NoiseSample& b) { return a.fMHz < b.fMHz; });
}

}  // namespace

std::optional<NoiseParameters> FileNoiseAt(std::span<const NoiseSample> block, double referenceOhm,
                                           double fMHz) {
  if (!InRange(block, fMHz)) return std::nullopt;
  return NoiseBelow(block, FirstAtOrAbove(block, fMHz), referenceOhm, fMHz);
}

NoiseBlockReader::NoiseBlockReader(std::span<const NoiseSample> block, double referenceOhm)
    : block_(block), referenceOhm_(referenceOhm), ascending_(Ascending(block)) {}

// Flattened, the interpolation and the conversion inlined: the returned
// parameters were passed on through three calls (1.5 % of the panel's
// instructions).
[[gnu::flatten]] std::optional<NoiseParameters> NoiseBlockReader::operator()(double fMHz) {
  if (!InRange(block_, fMHz)) return std::nullopt;
  // The first frequency at or above fMHz, as the search finds it: onward
  // from the last one while the frequencies rise, else searched afresh (a
  // block out of order, read by the search alone, gives the search's own).
  const bool fromLast = ascending_ && (above_ == 0 || block_[above_ - 1].fMHz < fMHz);
  if (!fromLast) above_ = FirstAtOrAbove(block_, fMHz);
  while (block_[above_].fMHz < fMHz) ++above_;
  return NoiseBelow(block_, above_, referenceOhm_, fMHz);
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
