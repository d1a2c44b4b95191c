#pragma once
// The low-noise design: a second kind of design beside the conjugate match.
// The source point is chosen on the noise/gain trade of the transistor with
// its feedback (least noise, a little more noise for the most gain, or a
// point of the user's), the output is conjugately matched to what the
// transistor then shows, and the result windows' own T-network routines
// make both networks on a copy of the design state. The finished amplifier
// is an AmplifierDesign like a result window's, so the analysis windows and
// the exports take it unchanged.
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "analysis/amplifier.h"
#include "noise/noise_parameters.h"

enum class LowNoiseGoal {
  MinimumNoise,       // Γs = Γopt
  NoiseAboveMinimum,  // the most GA on the circle NFmin + Δ
  GammaPoint,         // Γs typed as magnitude and angle, referred to Ro
  ImpedancePoint,     // Zs typed in ohm
};

inline constexpr double kDefaultNoiseDeltaDb = 0.5;

struct LowNoiseTarget {
  LowNoiseGoal goal = LowNoiseGoal::MinimumNoise;
  double deltaDb = kDefaultNoiseDeltaDb;  // NoiseAboveMinimum
  double gammaMag = 0, gammaDeg = 0;      // GammaPoint
  Cx zsOhm{50.0, 0.0};                    // ImpedancePoint
};

// The words the command line and project files use for a target: "min",
// "+0.5" (dB above the minimum), "gamma:0.3,45" (|Γs|, degrees), "zs:25,-10"
// (Re Zs, Im Zs in ohm). An Italian message for anything else.
std::variant<LowNoiseTarget, std::string> ParseLowNoiseTarget(std::string_view text);
// The same words back; ParseLowNoiseTarget reads them as the same target.
std::string LowNoiseTargetText(const LowNoiseTarget& target);
// For people: "minimo rumore", "rumore a +0.5 dB dal minimo, massimo guadagno",
// "punto scelto: Γs = 0.3 ∠ 45°", "punto scelto: Zs = 25 − j10 ohm".
std::string LowNoiseTargetCaption(const LowNoiseTarget& target);

struct LowNoiseDesign {
  LowNoiseTarget target;
  // The finished amplifier: networks, feedback, terminations, and the copy
  // of the design state the networks were made on (verified, PoPi = GT).
  AmplifierDesign design;
  NoiseParameters pair;  // the transistor with its feedback, Γopt referred to Ro
  double nfMinPairDb = 0;
  Cx gammaS, gammaL;  // referred to Ro; ΓL = conj(Γout(Γs))
  Cx zs, zl;          // ohm
  double gaDb = 0;    // the pair's available gain from Γs
  // The finished amplifier at f, from its element values.
  double gtDb = 0, nfDb = 0, nfAboveMinDb = 0;
  double inputReturnLossDb = 0, inputVswr = 0, outputReturnLossDb = 0, mu = 0;
};

// The design for `target` from a design state after Calculate (its
// S-parameters, Y-parameters, feedback, Ro, RE, RL and f; the state itself is
// not changed), with the transistor's noise at f. Refused with an Italian
// message when there is no such source point, when the pair is not stable
// at the terminations (which one), or when a network cannot be made.
std::variant<LowNoiseDesign, std::string> DesignLowNoise(const DesignState& state,
                                                        const NoiseParameters& transistorNoise,
                                                        const LowNoiseTarget& target);

// The input and output network kinds for these targets, as the result windows
// choose them: L-C-L where the imaginary part put in place of Zi (−Im Zs) is
// ≤ 0 and where the one in place of Zo (Im Zout) is < 0, C-L-C otherwise.
NetworkKinds LowNoiseNetworkKinds(Cx zs, Cx zout);

// The angle of a reflection in degrees, in (−180, 180].
double AngleDegrees(Cx z);
