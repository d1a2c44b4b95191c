#include "analysis/amplifier.h"

#include "model/arithmetic.h"

#include <cmath>

#include "analysis/sweep.h"


namespace {


// The series resistance of an element of reactance x and quality q: |x|/q,
// which is ωL/Q for an inductor and 1/(ωC·Q) for a capacitor.
double LossResistance(double x, double q) { return std::isinf(q) ? 0.0 : std::abs(x) / q; }

bool ArmIsInductor(NetworkKind kind, bool seriesArm) { return (kind == NetworkKind::LCL) == seriesArm; }

double QOf(const ElementLosses& losses, bool inductor) {
  return inductor ? losses.inductorQ : losses.capacitorQ;
}

bool Finite(Cx z) { return std::isfinite(z.real()) && std::isfinite(z.imag()); }

// A cascade in chain (ABCD) form. The determinant is carried apart: the
// product's A·D − B·C cancels badly where S12 is tiny, while the product of
// the determinants (1 for a lone element, Y12/Y21 for the transistor) does
// not.
struct Chain {
  Cx a{1.0, 0.0}, b, c, d{1.0, 0.0};
  Cx det{1.0, 0.0};
};

Chain Then(const Chain& m, const Chain& n) {
  return {m.a * n.a + m.b * n.c, m.a * n.b + m.b * n.d, m.c * n.a + m.d * n.c,
          m.c * n.b + m.d * n.d, m.det * n.det};
}

// Series jx1, shunt jb, series jx2, from the outer arm or from the inner
// one: the product of the three matrices written out, A and D real, B and C
// imaginary. The ideal arms' impedances are jx and their admittance jb.
Chain IdealTeeChain(const TeeArms& arms, bool outerFirst) {
  const double outer = arms.outer.imag(), inner = arms.inner.imag(), b = arms.shunt.imag();
  const double x1 = outerFirst ? outer : inner, x2 = outerFirst ? inner : outer;
  return {{1.0 - x1 * b, 0.0}, {0.0, x1 + x2 - x1 * b * x2}, {0.0, b}, {1.0 - b * x2, 0.0}};
}

// The same with lossy elements of constant Q: series z1, shunt y, series z2.
Chain TeeChain(const TeeArms& arms, const ElementLosses& losses, bool outerFirst) {
  if (losses.ideal()) return IdealTeeChain(arms, outerFirst);
  const Cx y = arms.shunt;
  const Cx z1 = outerFirst ? arms.outer : arms.inner, z2 = outerFirst ? arms.inner : arms.outer;
  const Cx one{1.0, 0.0};
  return {one + z1 * y, z1 + z2 + z1 * y * z2, y, one + y * z2};
}

// A two-port from its S referred to r0 (the transistor with its feedback).
std::optional<Chain> ChainOfS(const SMatrix& s, double r0) {
  if (s.s21 == Cx{}) return std::nullopt;
  const Cx one{1.0, 0.0};
  const Cx p = s.s12 * s.s21;
  const Cx half = Inverse(2.0 * s.s21);
  return Chain{((one + s.s11) * (one - s.s22) + p) * half,
               r0 * ((one + s.s11) * (one + s.s22) - p) * half,
               ((one - s.s11) * (one - s.s22) - p) * half / r0,
               ((one - s.s11) * (one + s.s22) + p) * half, s.s12 * Inverse(s.s21)};
}

std::optional<SMatrix> SOfChain(const Chain& m, double r1, double r2) {
  const Cx den = m.a * r2 + m.b + m.c * (r1 * r2) + m.d * r1;
  if (den == Cx{}) return std::nullopt;
  const Cx inv = Inverse(den);
  const double root = std::sqrt(r1 * r2);
  SMatrix s{(m.a * r2 + m.b - m.c * (r1 * r2) - m.d * r1) * inv, 2.0 * m.det * root * inv,
            2.0 * root * inv, (-m.a * r2 + m.b - m.c * (r1 * r2) + m.d * r1) * inv};
  if (!Finite(s.s11) || !Finite(s.s12) || !Finite(s.s21) || !Finite(s.s22)) return std::nullopt;
  return s;
}

double ReturnLossDb(Cx gamma) {
  const double m2 = std::norm(gamma);
  if (m2 <= 0) return kReturnLossCeilingDb;
  return std::min(-10.0 * std::log10(m2), kReturnLossCeilingDb);
}

bool Usable(const TeeNetwork& n) {
  return std::isfinite(n.outer) && std::isfinite(n.shunt) && std::isfinite(n.inner) &&
         n.outer != 0 && n.shunt != 0 && n.inner != 0;
}
bool Positive(double x) { return std::isfinite(x) && x > 0; }

}  // namespace

SMatrix EnteredTransistor(const DesignState& s) {
  return {std::polar(s.S11mag, s.S11ang), std::polar(s.S12mag, s.S12ang), std::polar(s.S21mag, s.S21ang),
          std::polar(s.S22mag, s.S22ang)};
}

// The element the result window shows: Rf from Gf, and Lf or Cf as the
// window's compute command wrote them back into the state from Bf, so the
// analysis at the design frequency forms the design's Yf with Calculate's own
// steps.
FeedbackElement FeedbackOfState(const DesignState& s) {
  FeedbackElement e;
  e.conductanceS = s.Gf;
  if (s.Bf < 0) {
    e.kind = FeedbackKind::RParallelL;
    e.lfMicroH = s.Lf;
  } else if (s.Bf > 0) {
    e.kind = FeedbackKind::RParallelC;
    e.cfPicoF = s.Cf;
  } else {
    e.kind = s.Gf == 0 ? FeedbackKind::None : FeedbackKind::R;
  }
  return e;
}

double SeriesArmReactance(NetworkKind kind, double value, double fMHz) {
  const double omega = 2.0 * kPi * fMHz * 1e6;
  return kind == NetworkKind::LCL ? omega * value * 1e-9 : -1.0 / (omega * value * 1e-12);
}
double ShuntArmSusceptance(NetworkKind kind, double value, double fMHz) {
  const double omega = 2.0 * kPi * fMHz * 1e6;
  return kind == NetworkKind::LCL ? omega * value * 1e-12 : -1.0 / (omega * value * 1e-9);
}

std::string CheckQ(double q) {
  if (std::isnan(q) || !(q > 0)) return "Il fattore di merito Q deve essere un numero maggiore di zero";
  return {};
}

Cx SeriesArmImpedance(NetworkKind kind, double value, double fMHz, const ElementLosses& losses) {
  const double x = SeriesArmReactance(kind, value, fMHz);
  return {LossResistance(x, QOf(losses, ArmIsInductor(kind, true))), x};
}

Cx ShuntArmAdmittance(NetworkKind kind, double value, double fMHz, const ElementLosses& losses) {
  const double b = ShuntArmSusceptance(kind, value, fMHz);
  const double q = QOf(losses, ArmIsInductor(kind, false));
  if (std::isinf(q)) return {0.0, b};
  const double x = -1.0 / b;
  return Inverse({LossResistance(x, q), x});
}

TeeNetwork NetworkOf(Side side, const DesignState& s, NetworkKind kind) {
  if (side == Side::Input)
    return kind == NetworkKind::LCL ? TeeNetwork{kind, s.Li1, s.Ci, s.Li2} : TeeNetwork{kind, s.Ci1, s.Li, s.Ci2};
  return kind == NetworkKind::LCL ? TeeNetwork{kind, s.Lo2, s.Co, s.Lo1} : TeeNetwork{kind, s.Co2, s.Lo, s.Co1};
}

std::string DesignTitle(NetworkKinds kinds, double fMHz) {
  return std::string("reti ") + NetworkKindName(kinds.input) + " / " + NetworkKindName(kinds.output) + ", " +
         MHzText(fMHz) + " MHz";
}

const char* NetworkKindName(NetworkKind kind) { return kind == NetworkKind::LCL ? "L-C-L" : "C-L-C"; }

const char* ElementUnit(NetworkKind kind, int position) {
  const bool inductor = (kind == NetworkKind::LCL) == (position != 1);
  return inductor ? "nH" : "pF";
}

const char* ElementName(Side side, NetworkKind kind, int position) {
  static const char* const kNames[2][2][3] = {
      {{"Li1", "Ci", "Li2"}, {"Ci1", "Li", "Ci2"}},
      {{"Lo2", "Co", "Lo1"}, {"Co2", "Lo", "Co1"}}};
  return kNames[side == Side::Output][kind == NetworkKind::CLC][position];
}

std::optional<AmplifierDesign> DesignOfState(NetworkKinds kinds, const DesignState& state) {
  if (!AllFieldsFinite(state)) return std::nullopt;
  AmplifierDesign d;
  d.kinds = kinds;
  d.input = NetworkOf(Side::Input, state, kinds.input);
  d.output = NetworkOf(Side::Output, state, kinds.output);
  d.RE = state.RE;
  d.RL = state.RL;
  d.Ro = state.Ro;
  d.fMHz = state.fMHz;
  if (!Usable(d.input) || !Usable(d.output) || !Positive(d.RE) || !Positive(d.RL) ||
      !Positive(d.Ro) || !Positive(d.fMHz) || !Positive(state.PoPi))
    return std::nullopt;
  d.transistor = EnteredTransistor(state);
  d.feedback = FeedbackOfState(state);
  d.PoPi = state.PoPi;
  d.zi = {state.ReZi, state.ImZi};
  d.zo = {state.ReZo, state.ImZo};
  d.state = state;
  return d;
}

TeeArms ArmsAt(const TeeNetwork& net, double fMHz, const ElementLosses& losses) {
  // Ideal arms written out: the lossy routines give the same 0 + jx there.
  if (losses.ideal())
    return {{0.0, SeriesArmReactance(net.kind, net.outer, fMHz)},
            {0.0, ShuntArmSusceptance(net.kind, net.shunt, fMHz)},
            {0.0, SeriesArmReactance(net.kind, net.inner, fMHz)}};
  return {SeriesArmImpedance(net.kind, net.outer, fMHz, losses),
          ShuntArmAdmittance(net.kind, net.shunt, fMHz, losses),
          SeriesArmImpedance(net.kind, net.inner, fMHz, losses)};
}

ElementsAt ElementsOf(const TeeNetwork& input, const TeeNetwork& output, const FeedbackElement& feedback,
                      const ElementLosses& losses, double fMHz) {
  return {fMHz, ArmsAt(input, fMHz, losses), ArmsAt(output, fMHz, losses),
          FeedbackAdmittance(feedback, fMHz)};
}

ElementsAt ElementsOf(const AmplifierDesign& d, double fMHz) {
  return ElementsOf(d.input, d.output, d.feedback, d.losses, fMHz);
}

TransistorSource ConstantTransistor(const AmplifierDesign& design) {
  const SMatrix s = design.transistor;
  return {[s](double) -> std::optional<SMatrix> { return s; }, design.Ro};
}

namespace {

std::optional<SMatrix> CascadeS(const AmplifierDesign& d, const ElementsAt& e, const SMatrix& withFeedback) {
  const std::optional<Chain> transistor = ChainOfS(withFeedback, d.Ro);
  if (!transistor) return std::nullopt;
  const Chain m =
      Then(Then(TeeChain(e.input, d.losses, true), *transistor), TeeChain(e.output, d.losses, false));
  return SOfChain(m, d.RE, d.RL);
}

// The transistor with the design's feedback, Yf formed once with the arms.
std::optional<SMatrix> WithDesignFeedback(const AmplifierDesign& d, const ElementsAt& e,
                                          const SMatrix& transistorAtRo) {
  if (d.feedback.kind == FeedbackKind::None) return transistorAtRo;
  return WithFeedback(transistorAtRo, d.Ro, e.yf);
}

}  // namespace

std::optional<SMatrix> TransistorWithFeedback(const FeedbackElement& feedback, double ro, double fMHz,
                                              const SMatrix& transistorAtRo) {
  if (feedback.kind == FeedbackKind::None) return transistorAtRo;
  return WithFeedback(transistorAtRo, ro, FeedbackAdmittance(feedback, fMHz));
}

std::optional<SMatrix> AmplifierS(const AmplifierDesign& d, double fMHz,
                                  const SMatrix& transistorAtRo) {
  if (!(fMHz > 0)) return std::nullopt;
  const ElementsAt e = ElementsOf(d, fMHz);
  const std::optional<SMatrix> withFeedback = WithDesignFeedback(d, e, transistorAtRo);
  if (!withFeedback) return std::nullopt;
  return CascadeS(d, e, *withFeedback);
}

std::optional<AmplifierPoint> AnalyzeAt(const AmplifierDesign& d, double fMHz,
                                        const SMatrix& transistorAtRo) {
  if (!(fMHz > 0)) return std::nullopt;
  const ElementsAt e = ElementsOf(d, fMHz);
  const std::optional<SMatrix> withFeedback = WithDesignFeedback(d, e, transistorAtRo);
  if (!withFeedback) return std::nullopt;
  return AnalyzeAt(d, e, *withFeedback);
}

std::optional<AmplifierPoint> AnalyzeAt(const AmplifierDesign& d, const ElementsAt& e,
                                        const SMatrix& withFeedback) {
  if (!(e.fMHz > 0)) return std::nullopt;
  const std::optional<SMatrix> s = CascadeS(d, e, withFeedback);
  if (!s) return std::nullopt;
  const std::optional<KAndMu> amplifier = KAndMuOf(*s);
  const std::optional<KAndMu> transistor = KAndMuOf(withFeedback);
  const std::optional<Cx> zin = ImpedanceOf(s->s11, d.RE);
  const std::optional<Cx> zout = ImpedanceOf(s->s22, d.RL);
  const double gt = std::norm(s->s21);
  if (!amplifier || !transistor || !zin || !zout || !(gt > 0) || !std::isfinite(gt))
    return std::nullopt;
  AmplifierPoint p;
  p.fMHz = e.fMHz;
  p.gainDb = 10.0 * std::log10(gt);
  p.inputReturnLossDb = ReturnLossDb(s->s11);
  p.outputReturnLossDb = ReturnLossDb(s->s22);
  p.kAmplifier = amplifier->k;
  p.muAmplifier = amplifier->mu;
  p.kTransistor = transistor->k;
  p.muTransistor = transistor->mu;
  p.s = *s;
  p.zin = *zin;
  p.zout = *zout;
  return p;
}
