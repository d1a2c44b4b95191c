#include "noise/noise_parameters.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
const Cx kOne{1.0, 0.0};

Matrix2 Adjoint(const Matrix2& m) {
  return {std::conj(m.m11), std::conj(m.m21), std::conj(m.m12), std::conj(m.m22)};
}

std::optional<Matrix2> IfFinite(const Matrix2& m) {
  if (!IsFinite(m)) return std::nullopt;
  return m;
}

Cx GammaFromPolar(double mag, double deg) { return std::polar(mag, deg * (kPi / 180.0)); }

// One noise point of a file as parameters; rn scaled by the reference.
std::optional<NoiseParameters> NoiseOfPoint(double nfMinDb, Cx gammaOpt, double rn, double r0) {
  return NoiseFromDb(nfMinDb, gammaOpt, rn * r0, r0);
}

}  // namespace

bool IsFinite(Cx z) { return std::isfinite(z.real()) && std::isfinite(z.imag()); }
bool IsFinite(const Matrix2& m) {
  return IsFinite(m.m11) && IsFinite(m.m12) && IsFinite(m.m21) && IsFinite(m.m22);
}

Matrix2 Product(const Matrix2& a, const Matrix2& b) {
  return {a.m11 * b.m11 + a.m12 * b.m21, a.m11 * b.m12 + a.m12 * b.m22,
          a.m21 * b.m11 + a.m22 * b.m21, a.m21 * b.m12 + a.m22 * b.m22};
}
Matrix2 Sum(const Matrix2& a, const Matrix2& b) {
  return {a.m11 + b.m11, a.m12 + b.m12, a.m21 + b.m21, a.m22 + b.m22};
}
Matrix2 Congruence(const Matrix2& t, const Matrix2& c) { return Product(Product(t, c), Adjoint(t)); }

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
  const Cx y = (kOne - n.gammaOpt) * Inverse(den) / n.r0;
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
  const Cx ratio = ca.m12 / c11;
  const double bOpt = ratio.imag();
  // C22/C11 − (Im C12/C11)² is Gopt², ≥ 0 but for rounding.
  const double gOpt = std::sqrt(std::max(ca.m22.real() / c11 - bOpt * bOpt, 0.0));
  const Cx yOpt{gOpt, bOpt};
  const double fMin = 1.0 + (ca.m12 + c11 * std::conj(yOpt)).real() / (2.0 * kBoltzmann * kT0);
  const std::optional<Cx> gammaOpt = GammaOf(kOne / yOpt, r0);
  const double rn = c11 / kFourKT0;
  if (!gammaOpt || !std::isfinite(fMin) || !std::isfinite(rn)) return std::nullopt;
  return NoiseParameters{fMin, *gammaOpt, rn, r0};
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
  return FileNoiseAt(file.noise, file.referenceOhm, fMHz);
}

std::optional<NoiseParameters> FileNoiseAt(std::span<const NoisePoint> block, double referenceOhm,
                                           double fMHz) {
  if (block.empty() || !(fMHz >= block.front().fMHz) || !(fMHz <= block.back().fMHz))
    return std::nullopt;
  const auto above = std::lower_bound(block.begin(), block.end(), fMHz,
                                      [](const NoisePoint& p, double f) { return p.fMHz < f; });
  const NoisePoint& hi = *above;
  const Cx gammaHi = GammaFromPolar(hi.gammaOptMag, hi.gammaOptDeg);
  if (hi.fMHz == fMHz) return NoiseOfPoint(hi.nfMinDb, gammaHi, hi.rnNormalized, referenceOhm);
  const NoisePoint& lo = *(above - 1);
  const Cx gammaLo = GammaFromPolar(lo.gammaOptMag, lo.gammaOptDeg);
  const double t = (fMHz - lo.fMHz) / (hi.fMHz - lo.fMHz);
  const auto line = [t](double a, double b) { return a + (b - a) * t; };
  return NoiseOfPoint(line(lo.nfMinDb, hi.nfMinDb),
                      {line(gammaLo.real(), gammaHi.real()), line(gammaLo.imag(), gammaHi.imag())},
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
