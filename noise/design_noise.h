#pragma once
// The noise of one design as the windows, the command line and the files
// show it: where its noise data come from (typed by hand, else the file's
// noise block), the transistor and the transistor with its feedback at the
// design frequency, the finished amplifier's NF, a sweep with its noise panel
// computed in the same loop, and the source plane's circles.
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "analysis/sweep.h"
#include "model/design_state.h"
#include "noise/noise_cascade.h"

// The four noise fields as typed: NFmin [dB], |Γopt|, angle of Γopt [°], Rn
// [ohm], at the design frequency, Γopt referred to Ro.
struct NoiseEntry {
  double nfMinDb = 0, gammaOptMag = 0, gammaOptDeg = 0, rnOhm = 0;
};
// The entry as noise parameters referred to r0, or an Italian message.
std::variant<NoiseParameters, std::string> NoiseOfEntry(const NoiseEntry& entry, double r0);

// The design's noise data across frequency: the typed entry held at every
// frequency (as the entered S-parameters are without a file), else the
// file's noise block, else none. An empty source where there are none.
NoiseSource DesignNoiseSource(const std::optional<NoiseEntry>& typed, double r0, const TouchstoneData* file);
// Where the data came from, for titles and notes; empty without data.
std::string NoiseOriginText(const std::optional<NoiseEntry>& typed, const TouchstoneData* file);

// The noise at the design frequency: the transistor and the transistor with
// its feedback, Γopt of both referred to Ro.
struct NoiseAtDesign {
  double fMHz = 0;
  NoiseParameters transistor, withFeedback;
};
// From the state Calculate left (S, Ro, f, Gf and Bf); nullopt where the
// source has no data at f or the pair has no noise parameters.
std::optional<NoiseAtDesign> NoiseAtState(const DesignState& afterCalculate, const NoiseSource& noise);
// The finished amplifier's NF at its frequency, fed from RE through the
// designed (possibly lossy) input network.
std::optional<AmplifierNoise> NoiseOfDesign(const AmplifierDesign& design, const NoiseSource& noise);

// What the noise window and the report say of a design at its frequency:
// the transistor's and the pair's noise parameters and the amplifier's NF
// with its distance from the pair's minimum; without data the one line
// kNoNoiseData.
std::vector<std::string> NoiseSummaryLines(const AmplifierDesign& design, const NoiseSource& noise);

// "a 0.42 dB dal minimo" (never below zero: rounding can put NF a hair under
// NFmin when the source is Γopt).
std::string DistanceFromMinimumText(double nfDb, double nfMinDb);
// Magnitude and angle of Γ in degrees in (−180, 180].
double MagnitudeOf(Cx gamma);
double DegreesOf(Cx gamma);

// A sweep of the finished amplifier with its noise panel computed in the same
// loop from the same S-parameters, so a long sweep interpolates the
// transistor once per frequency.
struct NoisySweep {
  SweepResult sweep;
  std::vector<NoisePanelPoint> noise;  // the frequencies with noise data
};
NoisySweep RunNoisySweep(const AmplifierDesign& design, const TransistorSource& transistor,
                         const NoiseSource& noise, const SweepPlan& plan);

// The source plane of the transistor with its feedback at the design
// frequency (Γ referred to Ro): Γopt, the constant-noise circles NFmin +
// 0.25, 0.5, 1 and 2 dB and constant available-gain circles below the most
// GA there is.
struct SourcePlaneCircle {
  Cx centre;
  double radius = 0;
  std::string label;  // "NFmin + 0.5 dB", "GA = 14 dB"
};
struct SourcePlane {
  Cx gammaOpt;
  double nfMinDb = 0;
  std::vector<SourcePlaneCircle> noiseCircles, gainCircles;
};
inline constexpr double kNoiseCircleStepsDb[] = {0.25, 0.5, 1.0, 2.0};
std::optional<SourcePlane> SourcePlaneOf(const AmplifierDesign& design, const NoiseSource& noise);
