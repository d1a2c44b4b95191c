#include "verification/verify.h"

#include "model/arithmetic.h"

static constexpr const char* kRoutine = "VerifyNetworks";

using Field = double DesignState::*;

// A T network by its arms: "outer" at the resistance (RE or RL), "inner" at
// the transistor. In L-C-L the series arms are inductors (nH) and the shunt a
// capacitor (pF); in C-L-C the other way round.
struct TNetwork {
  NetworkKind kind;
  double outer, shunt, inner;
};

static TNetwork InputNetwork(const DesignState& s, NetworkKind kind) {
  return kind == NetworkKind::LCL ? TNetwork{kind, s.Li1, s.Ci, s.Li2}
                                  : TNetwork{kind, s.Ci1, s.Li, s.Ci2};
}
static TNetwork OutputNetwork(const DesignState& s, NetworkKind kind) {
  return kind == NetworkKind::LCL ? TNetwork{kind, s.Lo2, s.Co, s.Lo1}
                                  : TNetwork{kind, s.Co2, s.Lo, s.Co1};
}

static double SeriesReactance(NetworkKind kind, double f, double value) {
  if (kind == NetworkKind::LCL)
    return Mul(Mul(f, 0.0062831853071795805, kRoutine), value, kRoutine);
  return -Div(1000000.0, Mul(Mul(f, kTwoPi, kRoutine), value, kRoutine), kRoutine);
}

static double ShuntSusceptance(NetworkKind kind, double f, double value) {
  if (kind == NetworkKind::LCL)
    return Mul(Mul(f, kTwoPi * 1e-6, kRoutine), value, kRoutine);
  return -Div(1000.0, Mul(Mul(f, kTwoPi, kRoutine), value, kRoutine), kRoutine);
}

static Complex Reciprocal(Complex z) { return ComplexDiv({1.0, 0.0}, z, kRoutine); }

// Impedance at the far end of the network, given the impedance after the near
// series arm (near end's impedance plus jXnear) and the far arm's value.
static Complex TransferThrough(Complex nearWithArm, const TNetwork& net, double f, double far) {
  const Complex Y1 = Reciprocal(nearWithArm);
  const double B = ShuntSusceptance(net.kind, f, net.shunt);
  const Complex Z2 = Reciprocal({Y1.re, Add(Y1.im, B, kRoutine)});
  return {Z2.re, Add(Z2.im, SeriesReactance(net.kind, f, far), kRoutine)};
}

// From the resistance R at the outer end toward the transistor.
static Complex TransferFromResistance(double R, const TNetwork& net, double f) {
  const Complex nearWithArm{R, SeriesReactance(net.kind, f, net.outer)};
  return TransferThrough(nearWithArm, net, f, net.inner);
}

// From the transistor port impedance Z0 toward the resistance.
static Complex TransferFromTransistor(Complex Z0, const TNetwork& net, double f) {
  const Complex nearWithArm{Z0.re, Add(Z0.im, SeriesReactance(net.kind, f, net.inner), kRoutine)};
  return TransferThrough(nearWithArm, net, f, net.outer);
}

static void Store(Complex z, Field re, Field im, DesignState& s) {
  s.*re = z.re;
  s.*im = z.im;
}

void VerifyNetworks(DesignState& s, NetworkKind inputKind, NetworkKind outputKind) {
  const double f = s.fMHz;
  const TNetwork input = InputNetwork(s, inputKind);
  const TNetwork output = OutputNetwork(s, outputKind);

  const Complex Ze = TransferFromResistance(s.RE, input, f);
  Store(Ze, &DesignState::ReZe, &DesignState::ImZe, s);
  const Complex Ye = Reciprocal(Ze);

  const Complex P = ComplexMul({Sub(s.Y21.re, s.Gf, kRoutine), Sub(s.Y21.im, s.Bf, kRoutine)},
                               {Sub(s.Gf, s.Y12.re, kRoutine), Sub(s.Bf, s.Y12.im, kRoutine)},
                               kRoutine);

  // Yout = (Y22 + Yf) + P ÷ ((Yf + Ye) + Y11)
  const Complex t = ComplexDiv(P,
                               {Add(Add(s.Gf, Ye.re, kRoutine), s.Y11.re, kRoutine),
                                Add(Add(s.Bf, Ye.im, kRoutine), s.Y11.im, kRoutine)},
                               kRoutine);
  s.YL = {Add(Add(s.Y22.re, s.Gf, kRoutine), t.re, kRoutine),
          Add(Add(s.Y22.im, s.Bf, kRoutine), t.im, kRoutine)};
  Store(Reciprocal(s.YL), &DesignState::ReZo, &DesignState::ImZo, s);

  const Complex Zotot = TransferFromTransistor({s.ReZo, s.ImZo}, output, f);
  Store(Zotot, &DesignState::ReZotot, &DesignState::ImZotot, s);
  const Complex ZL = TransferFromResistance(s.RL, output, f);
  Store(ZL, &DesignState::ReZL, &DesignState::ImZL, s);
  const Complex YLoad = Reciprocal(ZL);

  // Yin = (Y11 + Yf) + P ÷ ((Y22 + 1/ZL) + Yf)
  const Complex u = ComplexDiv(P,
                               {Add(Add(s.Y22.re, YLoad.re, kRoutine), s.Gf, kRoutine),
                                Add(Add(s.Y22.im, YLoad.im, kRoutine), s.Bf, kRoutine)},
                               kRoutine);
  s.YS = {Add(Add(s.Y11.re, s.Gf, kRoutine), u.re, kRoutine),
          Add(Add(s.Y11.im, s.Bf, kRoutine), u.im, kRoutine)};
  Store(Reciprocal(s.YS), &DesignState::ReZi, &DesignState::ImZi, s);

  const Complex Zitot = TransferFromTransistor({s.ReZi, s.ImZi}, input, f);
  Store(Zitot, &DesignState::ReZitot, &DesignState::ImZitot, s);
}
