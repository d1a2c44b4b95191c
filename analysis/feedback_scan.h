#pragma once
// What one value of the feedback element does to the amplifier: the
// stability of the transistor with that feedback across a band, and at the
// design frequency its gain, the design it allows, that design's bandwidth
// and noise. One row per value of the feedback explorer.
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/amplifier.h"
#include "analysis/sweep.h"

// μ of the transistor with its feedback on a grid of frequencies.
struct BandStability {
  int points = 0;          // grid points where μ could be computed
  double muMin = 0;        // the smallest μ among them (the first where several are equal)
  double fMuMinMHz = 0;
  bool stableEverywhere = false;  // μ > 1 at every point of the grid
  // Where μ ≤ 1 or cannot be computed, edges at grid points.
  std::vector<FrequencyBand> unstable;
};
// The transistor from `transistor` (renormalized to ro where it is referred
// to another resistance), the feedback element across it at each frequency.
BandStability PairStabilityOver(const TransistorSource& transistor, double ro,
                                const FeedbackElement& feedback, std::span<const double> frequencies);

struct FeedbackScanRow {
  double value = 0;  // in the field's unit (kohm, uH, pF)
  std::string text;  // the shortest text that reads back as `value`
  // Empty when Calculate stopped before it applied the feedback (a field it refused).
  std::optional<BandStability> band;
  double fMHz = 0;  // the design frequency Calculate read, with the band
  std::optional<StabilityFigures> atDesignFrequency;  // the pair at f
  bool designed = false;                               // a result window computed a design
  std::optional<double> poPiDb;
  // The −1 dB edges of the finished amplifier, each empty beyond the grid.
  std::optional<double> bandLowMHz, bandHighMHz;
  std::optional<double> nfMinPairDb, nfDb;  // only with noise data at f
  std::vector<std::string> messages;        // what Calculate and the windows said
};
