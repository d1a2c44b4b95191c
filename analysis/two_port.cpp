#include "analysis/two_port.h"

#include "model/arithmetic.h"
#include "model/feedback.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {


bool Finite(Cx z) { return std::isfinite(z.real()) && std::isfinite(z.imag()); }

// S to normalized Y and back are one map, its own inverse:
// y = (1 − S)(1 + S)⁻¹ and S = (1 − y)(1 + y)⁻¹, written out for two ports.
template <typename Out>
std::optional<Out> Bilinear(Cx a11, Cx a12, Cx a21, Cx a22) {
  const Cx one{1.0, 0.0};
  const Cx p = a12 * a21;
  const Cx d = (one + a11) * (one + a22) - p;
  if (d == Cx{}) return std::nullopt;
  const Cx inv = Inverse(d);
  const Out out{((one - a11) * (one + a22) + p) * inv, -2.0 * a12 * inv, -2.0 * a21 * inv,
                ((one + a11) * (one - a22) + p) * inv};
  const auto& [b11, b12, b21, b22] = out;
  if (!Finite(b11) || !Finite(b12) || !Finite(b21) || !Finite(b22)) return std::nullopt;
  return out;
}

// Y normalized to 1/r0 (y = Y·r0), so the feedback's yf is scaled the same.
std::optional<YMatrix> NormalizedY(const SMatrix& s) {
  return Bilinear<YMatrix>(s.s11, s.s12, s.s21, s.s22);
}

std::optional<SMatrix> SFromNormalizedY(const YMatrix& y) {
  return Bilinear<SMatrix>(y.y11, y.y12, y.y21, y.y22);
}

std::optional<double> Db10(double ratio) {
  if (!(ratio > 0) || !std::isfinite(ratio)) return std::nullopt;
  return 10.0 * std::log10(ratio);
}

// num ÷ den as computed, however large (K of a nearly unilateral two-port is
// in the tens of millions, and shown so). Only where den is 0 and num is not
// (K with S12·S21 = 0) the ceiling with num's sign, so that a sweep can still
// plot the point. Nullopt for 0 ÷ 0, a non-finite operand or quotient.
std::optional<double> CappedRatio(double num, double den) {
  if (!std::isfinite(num) || !std::isfinite(den) || (num == 0 && den == 0)) return std::nullopt;
  if (den == 0) return num > 0 ? kFigureCeiling : -kFigureCeiling;
  const double q = num / den;
  if (!std::isfinite(q)) return std::nullopt;
  return q;
}

StabilityCircle CircleOf(Cx sii, Cx sjj, Cx delta, double s12s21) {
  const double den = std::norm(sii) - std::norm(delta);
  StabilityCircle c;
  if (den == 0) return c;
  c.centre = std::conj(sii - delta * std::conj(sjj)) / den;
  c.radius = s12s21 / std::abs(den);
  c.valid = Finite(c.centre) && std::isfinite(c.radius);
  if (!c.valid) c = StabilityCircle{};
  return c;
}

}  // namespace

namespace {

constexpr const char* kFeedbackRoutine = "FeedbackAdmittance";

// A step of the feedback formulas whose fault leaves a NaN for the two-port
// arithmetic to refuse, as an unchecked step would have.
template <class Step>
double NaNOnFault(Step step) {
  try {
    return step();
  } catch (const ArithmeticFault&) {
    return std::numeric_limits<double>::quiet_NaN();
  }
}

}  // namespace

FeedbackElement MakeFeedback(FeedbackKind kind, double rfKohm, double lfMicroH, double cfPicoF) {
  FeedbackElement e;
  e.kind = kind;
  if (kind == FeedbackKind::None) return e;
  if (rfKohm != 0) e.conductanceS = NaNOnFault([&] { return FeedbackConductance(rfKohm, kFeedbackRoutine); });
  if (kind == FeedbackKind::RParallelL) e.lfMicroH = lfMicroH;
  if (kind == FeedbackKind::RParallelC) e.cfPicoF = cfPicoF;
  return e;
}

Cx FeedbackAdmittance(const FeedbackElement& e, double fMHz) {
  switch (e.kind) {
    case FeedbackKind::None:
      return {};
    case FeedbackKind::R:
      return {e.conductanceS, 0.0};
    case FeedbackKind::RParallelL:
      if (e.lfMicroH == 0) return {e.conductanceS, 0.0};
      return {e.conductanceS, NaNOnFault([&] { return InductorSusceptance(fMHz, e.lfMicroH, kFeedbackRoutine); })};
    case FeedbackKind::RParallelC:
      return {e.conductanceS, NaNOnFault([&] { return CapacitorSusceptance(fMHz, e.cfPicoF, kFeedbackRoutine); })};
  }
  return {};
}

std::optional<YMatrix> NormalizedAdmittanceOf(const SMatrix& s) { return NormalizedY(s); }

std::optional<YMatrix> AdmittanceOfNormalized(const YMatrix& y, double r0) {
  if (!(r0 > 0)) return std::nullopt;
  const double g = 1.0 / r0;
  return YMatrix{y.y11 * g, y.y12 * g, y.y21 * g, y.y22 * g};
}

std::optional<YMatrix> AdmittanceOf(const SMatrix& s, double r0) {
  const std::optional<YMatrix> y = NormalizedY(s);
  if (!y) return std::nullopt;
  return AdmittanceOfNormalized(*y, r0);
}

std::optional<SMatrix> WithFeedbackOfNormalized(YMatrix y, double r0, Cx yf) {
  const Cx f = yf * r0;
  y.y11 += f;
  y.y12 -= f;
  y.y21 -= f;
  y.y22 += f;
  return SFromNormalizedY(y);
}

std::optional<SMatrix> WithFeedback(const SMatrix& s, double r0, Cx yf) {
  const std::optional<YMatrix> y = NormalizedY(s);
  if (!y) return std::nullopt;
  return WithFeedbackOfNormalized(*y, r0, yf);
}

std::optional<SMatrix> Renormalize(const SMatrix& s, double fromOhm, double toOhm) {
  if (fromOhm == toOhm) return s;
  std::optional<YMatrix> y = NormalizedY(s);
  if (!y) return std::nullopt;
  const double scale = toOhm / fromOhm;
  return SFromNormalizedY({y->y11 * scale, y->y12 * scale, y->y21 * scale, y->y22 * scale});
}

Cx Inverse(Cx z) {
  const double n = std::norm(z);
  if (std::isnormal(n)) return std::conj(z) / n;
  return 1.0 / z;
}

// |z| as √|z|², quicker than std::abs's overflow-safe hypot; a value beyond
// 1e154 gives infinity, which the callers refuse.
double Magnitude(Cx z) { return std::sqrt(std::norm(z)); }

std::optional<KAndMu> KAndMuOf(const SMatrix& s) {
  const Cx delta = s.s11 * s.s22 - s.s12 * s.s21;
  const double s12s21 = Magnitude(s.s12 * s.s21);
  const double a11 = std::norm(s.s11);
  const std::optional<double> k =
      CappedRatio(1.0 - a11 - std::norm(s.s22) + std::norm(delta), 2.0 * s12s21);
  const std::optional<double> mu =
      CappedRatio(1.0 - a11, Magnitude(s.s22 - delta * std::conj(s.s11)) + s12s21);
  if (!k || !mu) return std::nullopt;
  return KAndMu{*k, *mu};
}

std::optional<StabilityFigures> StabilityOf(const SMatrix& s) {
  StabilityFigures f;
  f.delta = s.s11 * s.s22 - s.s12 * s.s21;
  const double s12s21 = std::abs(s.s12 * s.s21);
  const double a22 = std::norm(s.s22);
  const double kNumerator = 1.0 - std::norm(s.s11) - a22 + std::norm(f.delta);
  const std::optional<KAndMu> kMu = KAndMuOf(s);
  const std::optional<double> muPrime =
      CappedRatio(1.0 - a22, std::abs(s.s11 - f.delta * std::conj(s.s22)) + s12s21);
  if (!kMu || !muPrime || !Finite(f.delta)) return std::nullopt;
  f.k = kMu->k;
  f.kDefined = s12s21 != 0;
  f.mu = kMu->mu;
  f.muPrime = *muPrime;
  f.unconditionallyStable = f.mu > 1;
  f.gainIsMag = f.unconditionallyStable;
  std::optional<double> gain;
  if (f.gainIsMag) {
    // |S21/S12|·(K − √(K² − 1)) with K = N ÷ P written as 2|S21|² ÷ (N + √(N² − P²)):
    // no cancellation for large K, and right for S12 = 0 as well.
    const double p = 2.0 * s12s21;
    gain = Db10(2.0 * std::norm(s.s21) /
                (kNumerator + std::sqrt((kNumerator - p) * (kNumerator + p))));
  } else if (s.s12 != Cx{}) {
    gain = Db10(std::abs(s.s21) / std::abs(s.s12));
  }
  f.gainFinite = gain.has_value();
  f.gainDb = gain.value_or(0.0);
  f.source = CircleOf(s.s11, s.s22, f.delta, s12s21);
  f.load = CircleOf(s.s22, s.s11, f.delta, s12s21);
  return f;
}

std::optional<Cx> GammaOf(Cx z, double r0) {
  const Cx den = z + r0;
  if (den == Cx{}) return std::nullopt;
  const Cx g = (z - r0) * Inverse(den);
  if (!Finite(g)) return std::nullopt;
  return g;
}

std::optional<Cx> ImpedanceOf(Cx gamma, double r0) {
  const Cx den = Cx{1.0, 0.0} - gamma;
  if (den == Cx{}) return std::nullopt;
  const Cx z = r0 * (Cx{1.0, 0.0} + gamma) * Inverse(den);
  if (!Finite(z)) return std::nullopt;
  return z;
}
