#include "analysis/sweep.h"

SweepPlan DefaultSweep(const AmplifierDesign& d) {
  return {0.5 * d.fMHz, 1.5 * d.fMHz, 401, SweepScale::Linear};
}
SweepPlan DefaultSweep(double fromMHz, double toMHz) {
  return {fromMHz, toMHz, 401, SweepScale::Linear};
}
std::string CheckSweep(const SweepPlan&) { return {}; }
std::vector<double> SweepFrequencies(const SweepPlan&) { return {}; }
SweepResult RunSweep(const AmplifierDesign&, const TransistorSource&, const SweepPlan&) {
  return {};
}
Bandwidth BandwidthOf(const SweepResult&, double, double) { return {}; }
std::string DescribeBandwidth(const Bandwidth&, double) { return {}; }
std::vector<FrequencyBand> PossiblyUnstableBands(const SweepResult&) { return {}; }
std::string InstabilityWarning(const FrequencyBand&) { return {}; }
