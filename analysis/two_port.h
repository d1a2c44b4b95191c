#pragma once
// Two-port arithmetic across frequency: S-parameters, the feedback element,
// and the stability figures of a two-port. Complex values are
// std::complex<double>; every routine reports a non-finite result instead of
// returning it.
#include <complex>
#include <optional>

using Cx = std::complex<double>;

// 1 ÷ z with one real division: std::complex's own division is several times
// slower. Where |z|² under- or overflows, the library's division.
Cx Inverse(Cx z);

// S-parameters of a two-port, referred to one real resistance unless a
// routine says otherwise.
struct SMatrix {
  Cx s11, s12, s21, s22;
};

// The feedback element across the transistor, from input to output.
enum class FeedbackKind { None, R, RParallelL, RParallelC };
struct FeedbackElement {
  FeedbackKind kind = FeedbackKind::None;
  double conductanceS = 0;  // of the resistor; 0 = no resistor
  double lfMicroH = 0;      // RParallelL; 0 = no inductor
  double cfPicoF = 0;       // RParallelC
};

// The element from the input window's units: Rf in kohm (0 = no resistor),
// Lf in uH, Cf in pF.
FeedbackElement MakeFeedback(FeedbackKind kind, double rfKohm, double lfMicroH, double cfPicoF);
// Yf of the element at fMHz, siemens (0 for None), formed as Calculate forms
// it (model/feedback.h); not finite where a step of it is not.
Cx FeedbackAdmittance(const FeedbackElement& element, double fMHz);

// Y-parameters of a two-port, siemens unless a routine says otherwise.
struct YMatrix {
  Cx y11, y12, y21, y22;
};
// Y of the two-port whose S are referred to r0, in siemens. Nullopt when the
// conversion is singular or overflows.
std::optional<YMatrix> AdmittanceOf(const SMatrix& s, double r0);

// S (referred to r0) -> Y, add yf from input to output, Y -> S. Nullopt when
// the conversion is singular or overflows.
std::optional<SMatrix> WithFeedback(const SMatrix& s, double r0, Cx yf);
// Y normalised to 1/r0 (y = Y·r0) of the two-port whose S are referred to r0,
// and the two routines above from it: a sweep with a noise panel needs the
// transistor's Y for its feedback and again for its noise, and makes it once
// (the conversion was a sixth of the panel's cost).
std::optional<YMatrix> NormalizedAdmittanceOf(const SMatrix& s);
std::optional<YMatrix> AdmittanceOfNormalized(const YMatrix& y, double r0);
std::optional<SMatrix> WithFeedbackOfNormalized(YMatrix y, double r0, Cx yf);
// The same two-port referred to another real resistance.
std::optional<SMatrix> Renormalize(const SMatrix& s, double fromOhm, double toOhm);

// A stability circle in the Γ plane. `valid` is false when the circle
// degenerates into a line (|S11|² = |Δ|²) or overflows.
struct StabilityCircle {
  Cx centre;
  double radius = 0;
  bool valid = false;
};

// K, μ or μ' whose formula divides a non-zero number by zero (K of a
// unilateral two-port, S12·S21 = 0) is given this value, with the number's
// sign, so that a sweep can plot it; any other value is as computed.
inline constexpr double kFigureCeiling = 1e6;

struct StabilityFigures {
  Cx delta;
  double k = 0, mu = 0, muPrime = 0;
  // False where S12·S21 = 0: K has no value there (k then holds the ceiling).
  bool kDefined = true;
  bool unconditionallyStable = false;  // μ > 1
  // MAG when unconditionally stable, MSG otherwise; `gainFinite` is false
  // when the gain has no bound (MSG with S12 = 0) and gainDb is then 0.
  bool gainIsMag = false;
  bool gainFinite = false;
  double gainDb = 0;
  StabilityCircle source, load;
};

// Nullopt when a figure is not finite.
std::optional<StabilityFigures> StabilityOf(const SMatrix& s);
// K and μ alone, for sweeps.
struct KAndMu {
  double k = 0, mu = 0;
};
std::optional<KAndMu> KAndMuOf(const SMatrix& s);

// Γ of z against r0, and back. Nullopt for a non-finite result.
std::optional<Cx> GammaOf(Cx z, double r0);
std::optional<Cx> ImpedanceOf(Cx gamma, double r0);
