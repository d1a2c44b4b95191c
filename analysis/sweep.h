#pragma once
// The finished amplifier across a band of frequencies.
#include <string>
#include <vector>

#include "analysis/amplifier.h"
#include "touchstone/fields.h"

enum class SweepScale { Linear, Logarithmic };
struct SweepPlan {
  double fromMHz = 0, toMHz = 0;
  int points = 401;
  SweepScale scale = SweepScale::Linear;
};
inline constexpr int kMaxSweepPoints = 100001;

// 0.5 to 1.5 times the design frequency, 401 points, linear.
SweepPlan DefaultSweep(const AmplifierDesign& design);
// The range of a file's data.
SweepPlan DefaultSweep(double fileFromMHz, double fileToMHz);
SweepPlan DefaultSweep(const TouchstoneData& file);
// An Italian message for a plan that cannot run, empty when it can.
std::string CheckSweep(const SweepPlan& plan);
std::vector<double> SweepFrequencies(const SweepPlan& plan);

struct SweepResult {
  std::vector<AmplifierPoint> points;
  std::vector<double> skippedMHz;  // not finite, or outside the data
};
// The file's transistor, interpolated between its frequencies; frequencies
// outside the file have no data. The source keeps its own copy of the values,
// converted once.
TransistorSource FileTransistor(const TouchstoneData& file);

SweepResult RunSweep(const AmplifierDesign& design, const TransistorSource& transistor,
                     const SweepPlan& plan);

// The band around the design frequency where GT stays within dropDb of its
// value there, edges interpolated between sweep points. An edge not reached
// is "beyond the sweep" and holds the sweep's end instead.
struct Bandwidth {
  bool designInSweep = false;
  bool lowFound = false, highFound = false;
  double lowMHz = 0, highMHz = 0;
  double widthMHz() const { return highMHz - lowMHz; }
};
Bandwidth BandwidthOf(const SweepResult& sweep, double designMHz, double dropDb);
// "Banda a −3 dB: da 95.2 MHz a 104.8 MHz (9.6 MHz)", "meno di 40 MHz (oltre la
// scansione)" for an edge not reached.
std::string DescribeBandwidth(const Bandwidth& band, double dropDb);

// Every band where the amplifier's μ ≤ 1, edges at the sweep points.
struct FrequencyBand {
  double fromMHz = 0, toMHz = 0;
};
std::vector<FrequencyBand> PossiblyUnstableBands(const SweepResult& sweep);
// "possibile instabilità tra 100 e 200 MHz"
std::string InstabilityWarning(const FrequencyBand& band);
