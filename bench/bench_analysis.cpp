// The finished amplifier of the worked example across 10001 frequencies of
// transistor data held in memory, from the data to every plotted value: the
// sweep's points, both bandwidths and the bands of possible instability.
#include <benchmark/benchmark.h>

#include <cmath>

#include "analysis/sweep.h"
#include "forms/result_commands.h"
#include "model/gain.h"
#include "model/solver.h"
#include "networks/t_networks.h"
#include "tests/core/worked_example_state.h"
#include "verification/verify.h"

namespace {

AmplifierDesign WorkedExampleDesign() {
  DesignState s = EnteredWorkedExample(0.001 / 5);
  ConvertSToY(s);
  SolveConjugateMatch(s);
  ComputeMatchedGain(s);
  DesignInputLCL(s);
  DesignOutputLCL(s);
  VerifyNetworks(s, NetworkKind::LCL, NetworkKind::LCL);
  return *CaptureDesign(FormId::Form2, s);
}

// 10001 frequencies from 50 to 150 MHz around the entered S-parameters, the
// phases turning and the gain falling with frequency as a transistor's do;
// magnitude and degrees, as a maker writes them.
TouchstoneData TransistorFile(const AmplifierDesign& d) {
  TouchstoneData data;
  data.format = PairFormat::MA;
  const int count = 10001;
  const auto pair = [](std::complex<double> s) { return FilePair{std::abs(s), std::arg(s) * 180 / M_PI}; };
  for (int i = 0; i < count; ++i) {
    const double f = 50 + 100.0 * i / (count - 1), r = f / d.fMHz;
    const std::complex<double> turn = std::polar(1.0, -0.8 * (r - 1));
    data.records.push_back({f, {pair(d.transistor.s11 * turn), pair(d.transistor.s21 * turn / r),
                                pair(d.transistor.s12 * r * turn), pair(d.transistor.s22 * turn)}});
  }
  return data;
}

void BM_SweepFromFile(benchmark::State& bench) {
  const AmplifierDesign design = WorkedExampleDesign();
  const TouchstoneData file = TransistorFile(design);
  SweepPlan plan = DefaultSweep(file);
  plan.points = 10001;
  for (auto _ : bench) {
    const SweepResult sweep = RunSweep(design, FileTransistor(file), plan);
    const Bandwidth b1 = BandwidthOf(sweep, design.fMHz, 1);
    const Bandwidth b3 = BandwidthOf(sweep, design.fMHz, 3);
    const std::vector<FrequencyBand> unstable = PossiblyUnstableBands(sweep);
    benchmark::DoNotOptimize(sweep.points.data());
    benchmark::DoNotOptimize(b1.highMHz + b3.highMHz);
    benchmark::DoNotOptimize(unstable.size());
  }
}
BENCHMARK(BM_SweepFromFile)->Unit(benchmark::kMillisecond);

}  // namespace
