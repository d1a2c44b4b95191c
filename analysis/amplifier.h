#pragma once
// The finished amplifier as one result window shows it: source RE, input T
// network, transistor with its feedback, output T network, load RL. Captured
// after the window's compute command, so a plot never mixes two designs.
#include <functional>
#include <limits>
#include <optional>
#include <string>

#include "analysis/two_port.h"
#include "model/design_state.h"
#include "networks/t_networks.h"
#include "verification/verify.h"

// One T network: outer series arm (at RE or RL), shunt arm, inner series arm
// (at the transistor). L-C-L: nH, pF, nH; C-L-C: pF, nH, pF.
struct TeeNetwork {
  NetworkKind kind = NetworkKind::LCL;
  double outer = 0, shunt = 0, inner = 0;
};
// Reactance of a series arm (ohm) and susceptance of the shunt arm (siemens)
// of a network of this kind, from the element's value in nH or pF.
double SeriesArmReactance(NetworkKind kind, double value, double fMHz);
double ShuntArmSusceptance(NetworkKind kind, double value, double fMHz);
// The matching elements' losses: constant Q, as a series resistance (an
// inductor's ωL/Q, a capacitor's 1/(ωC·Q)). Infinite Q, the default, is an
// ideal element.
struct ElementLosses {
  double inductorQ = std::numeric_limits<double>::infinity();
  double capacitorQ = std::numeric_limits<double>::infinity();
  bool ideal() const { return inductorQ == kIdealQ && capacitorQ == kIdealQ; }
  static constexpr double kIdealQ = std::numeric_limits<double>::infinity();
};
// An Italian message for a Q that cannot be used (not a number above zero),
// empty when it can.
std::string CheckQ(double q);

// Impedance of a series arm and admittance of the shunt arm of a T network of
// this kind (values in nH or pF as the design state holds them), lossy with
// the given Q.
// One home for the arms: the amplifier's cascade and the noise walk use them.
Cx SeriesArmImpedance(NetworkKind kind, double value, double fMHz, const ElementLosses& losses);
Cx ShuntArmAdmittance(NetworkKind kind, double value, double fMHz, const ElementLosses& losses);
// The element names in the order outer, shunt, inner: Li1 Ci Li2, Ci1 Li
// Ci2, Lo2 Co Lo1, Co2 Lo Co1.
enum class Side { Input, Output };
const char* ElementName(Side side, NetworkKind kind, int position);
// L-C-L: nH, pF, nH; C-L-C: pF, nH, pF, in the same order.
const char* ElementUnit(NetworkKind kind, int position);
const char* NetworkKindName(NetworkKind kind);  // "L-C-L", "C-L-C"
// A design named as a person would: "reti L-C-L / C-L-C, 900 MHz".
std::string DesignTitle(NetworkKinds kinds, double fMHz);
// A side's network of this kind as the state holds it.
TeeNetwork NetworkOf(Side side, const DesignState& s, NetworkKind kind);

struct AmplifierDesign {
  NetworkKinds kinds{NetworkKind::LCL, NetworkKind::LCL};
  // Where it was designed, for the headers of the files written from it:
  // `finestra "ImZi < 0  ImZo < 0"`.
  std::string origin;
  TeeNetwork input, output;
  double RE = 0, RL = 0, Ro = 0, fMHz = 0;
  SMatrix transistor;  // entered, referred to Ro, at fMHz
  FeedbackElement feedback;
  double PoPi = 0;
  Cx zi, zo;  // the verified transistor port impedances at fMHz
  DesignState state;
  ElementLosses losses;  // ideal unless the user gives a Q
};

// The S-parameters the state holds as entered, referred to its Ro.
SMatrix EnteredTransistor(const DesignState& state);
// The feedback element behind the state's Yf = Gf + jBf at its frequency
// (Rf with Lf for Bf < 0 or Cf for Bf > 0): what the finished amplifier
// carries across frequency.
FeedbackElement FeedbackOfState(const DesignState& state);

// Nullopt when the state holds no usable design of these network kinds (its
// networks are empty or a value is not finite).
std::optional<AmplifierDesign> DesignOfState(NetworkKinds kinds, const DesignState& state);

// The transistor's S-parameters at a frequency, referred to referenceOhm;
// nullopt outside the data.
struct TransistorSource {
  std::function<std::optional<SMatrix>(double fMHz)> sAt;
  double referenceOhm = 50;
};
// The entered S-parameters held at every frequency.
TransistorSource ConstantTransistor(const AmplifierDesign& design);

// The whole amplifier at one frequency.
struct AmplifierPoint {
  double fMHz = 0;
  double gainDb = 0;              // GT = |S21|²
  double inputReturnLossDb = 0;   // −20·log10|S11|
  double outputReturnLossDb = 0;  // −20·log10|S22|
  double kAmplifier = 0, muAmplifier = 0;
  double kTransistor = 0, muTransistor = 0;  // with feedback, referred to Ro
  SMatrix s;                                 // referred to RE and RL
  Cx zin, zout;
};

// Return losses above this are shown as this (an exact match has none).
inline constexpr double kReturnLossCeilingDb = 300;

// The transistor with the feedback element across it at fMHz, referred to ro.
std::optional<SMatrix> TransistorWithFeedback(const FeedbackElement& feedback, double ro, double fMHz,
                                              const SMatrix& transistorAtRo);

// The amplifier's elements at one frequency: the arms of both T networks
// (series impedances, shunt admittance; lossy with the given Q) and the
// feedback admittance. A sweep with a noise panel forms them once per
// frequency for the response and the noise.
struct TeeArms {
  Cx outer, shunt, inner;
};
TeeArms ArmsAt(const TeeNetwork& net, double fMHz, const ElementLosses& losses);
struct ElementsAt {
  double fMHz = 0;
  TeeArms input, output;
  Cx yf;
};
ElementsAt ElementsOf(const TeeNetwork& input, const TeeNetwork& output, const FeedbackElement& feedback,
                      const ElementLosses& losses, double fMHz);
ElementsAt ElementsOf(const AmplifierDesign& design, double fMHz);

// Nullopt when the arithmetic overflows or a value is not finite.
std::optional<SMatrix> AmplifierS(const AmplifierDesign& design, double fMHz,
                                  const SMatrix& transistorAtRo);
std::optional<AmplifierPoint> AnalyzeAt(const AmplifierDesign& design, double fMHz,
                                        const SMatrix& transistorAtRo);
// The same from the elements at the point's frequency and the transistor
// with its feedback (TransistorWithFeedback's result), both already formed.
std::optional<AmplifierPoint> AnalyzeAt(const AmplifierDesign& design, const ElementsAt& elements,
                                        const SMatrix& withFeedback);
