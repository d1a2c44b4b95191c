#include "noise/noise_circles.h"

#include <cmath>

namespace {
const Cx kOne{1.0, 0.0};

std::optional<Circle> IfFinite(Cx centre, double radius) {
  if (!IsFinite(centre) || !std::isfinite(radius)) return std::nullopt;
  return Circle{centre, radius};
}
}  // namespace

std::optional<Circle> NoiseCircle(const NoiseParameters& n, double fi) {
  const double rn = n.rnOhm / n.r0;
  if (!(rn > 0) || !(fi >= n.fMin)) return std::nullopt;
  const double big = (fi - n.fMin) * std::norm(kOne + n.gammaOpt) / (4.0 * rn);
  const double root = big * (big + 1.0 - std::norm(n.gammaOpt));
  if (!(root >= 0)) return std::nullopt;
  return IfFinite(n.gammaOpt / (1.0 + big), std::sqrt(root) / (1.0 + big));
}

std::optional<Cx> GammaOut(const SMatrix& s, Cx gammaS) {
  const Cx den = kOne - s.s11 * gammaS;
  if (den == Cx{}) return std::nullopt;
  const Cx g = s.s22 + s.s12 * s.s21 * gammaS * Inverse(den);
  if (!IsFinite(g)) return std::nullopt;
  return g;
}

std::optional<Cx> GammaIn(const SMatrix& s, Cx gammaL) {
  return GammaOut({s.s22, s.s21, s.s12, s.s11}, gammaL);
}

std::optional<SourceGain> AvailableGain(const SMatrix& s, Cx gammaS) {
  const double inside = 1.0 - std::norm(gammaS);
  const std::optional<Cx> out = GammaOut(s, gammaS);
  if (!(inside > 0) || !out) return std::nullopt;
  const double outside = 1.0 - std::norm(*out);
  const double den = std::norm(kOne - s.s11 * gammaS) * outside;
  if (!(outside > 0) || !(den > 0)) return std::nullopt;
  const double ga = std::norm(s.s21) * inside / den;
  if (!std::isfinite(ga)) return std::nullopt;
  return SourceGain{ga, *out};
}

std::optional<Circle> AvailableGainCircle(const SMatrix& s, double ga) {
  const double s21 = std::norm(s.s21);
  if (!(s21 > 0) || !(ga > 0)) return std::nullopt;
  const double g = ga / s21;
  const Cx delta = s.s11 * s.s22 - s.s12 * s.s21;
  const Cx c1 = s.s11 - delta * std::conj(s.s22);
  const double den = 1.0 + g * (std::norm(s.s11) - std::norm(delta));
  const double p = std::abs(s.s12 * s.s21);
  // 2K·|S12·S21| is K's numerator, so K itself (unbounded for S12 = 0) is not needed.
  const double twoKp = 1.0 - std::norm(s.s11) - std::norm(s.s22) + std::norm(delta);
  const double root = 1.0 - twoKp * g + p * p * g * g;
  if (den == 0 || !(root >= 0)) return std::nullopt;
  return IfFinite(g * std::conj(c1) / den, std::sqrt(root) / std::abs(den));
}
