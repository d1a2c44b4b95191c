// The finished amplifier of the worked example across 10001 frequencies of
// transistor data held in memory, from the data to every plotted value: the
// sweep's points, both bandwidths and the bands of possible instability.
// Beside it the noise panel of the same sweep, which should add at most half
// that time.
#include <benchmark/benchmark.h>

#include <cmath>
#include <time.h>

#include "analysis/sweep.h"
#include "forms/result_commands.h"
#include "model/gain.h"
#include "model/solver.h"
#include "networks/t_networks.h"
#include "noise/design_noise.h"
#include "noise/noise_cascade.h"
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
// magnitude and degrees, as a maker writes them; a noise block of 11
// frequencies over the same range, so every point of the noise panel is
// computed.
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
  for (int i = 0; i <= 10; ++i)
    data.noise.push_back({50.0 + 10 * i, 0.9 + 0.03 * i, 0.45 - 0.01 * i, 20.0 + 3 * i, 0.25 - 0.005 * i});
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

// The worked example's design, file and sweep frequencies, and the
// transistor source a response window holds for its sweep and its panel.
struct NoiseBench {
  AmplifierDesign design = WorkedExampleDesign();
  TouchstoneData file = TransistorFile(design);
  std::vector<double> frequencies = SweepFrequencies([this] {
    SweepPlan plan = DefaultSweep(file);
    plan.points = 10001;
    return plan;
  }());
  TransistorSource transistor = FileTransistor(file);
};

// The noise panel on its own: NFmin of the transistor and of the pair and the
// amplifier's NF at each of the sweep's frequencies, the transistor's
// S-parameters interpolated again from the source the sweep used.
void BM_NoisePanelFromFile(benchmark::State& bench) {
  const NoiseBench b;
  for (auto _ : bench) {
    const std::vector<NoisePanelPoint> panel =
        NoisePanel(NoiseNetworksOf(b.design), b.transistor, FileNoise(b.file), b.frequencies);
    benchmark::DoNotOptimize(panel.data());
    if (panel.size() != b.frequencies.size()) bench.SkipWithError("a panel point is missing");
  }
}
BENCHMARK(BM_NoisePanelFromFile)->Unit(benchmark::kMillisecond);

// The noise alone, as a sweep that computes it in its own loop would add it:
// the transistor's S at each frequency already at hand.
void BM_NoiseAtSweepPoints(benchmark::State& bench) {
  const NoiseBench b;
  std::vector<SMatrix> s;
  for (double f : b.frequencies) s.push_back(*b.transistor.sAt(f));
  const NoiseNetworks networks = NoiseNetworksOf(b.design);
  for (auto _ : bench) {
    const NoiseSource noise = FileNoise(b.file);
    double sum = 0;
    for (std::size_t i = 0; i < b.frequencies.size(); ++i) {
      const double f = b.frequencies[i];
      const std::optional<NoiseParameters> n = noise(f);
      const std::optional<AmplifierNoise> a = n ? AmplifierNoiseAt(f, s[i], *n, networks) : std::nullopt;
      if (a) sum += a->nfDb + a->nfMinPairDb + n->nfMinDb();
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_NoiseAtSweepPoints)->Unit(benchmark::kMillisecond);

// What the response window runs: the sweep with its noise panel in the same
// loop, sharing the interpolated S-parameters. Against BM_SweepFromFile
// this is the noise panel's cost.
void BM_NoisySweepFromFile(benchmark::State& bench) {
  const NoiseBench b;
  SweepPlan plan = DefaultSweep(b.file);
  plan.points = 10001;
  for (auto _ : bench) {
    const NoisySweep noisy = RunNoisySweep(b.design, FileTransistor(b.file), FileNoise(b.file), plan);
    const Bandwidth b1 = BandwidthOf(noisy.sweep, b.design.fMHz, 1);
    const Bandwidth b3 = BandwidthOf(noisy.sweep, b.design.fMHz, 3);
    const std::vector<FrequencyBand> unstable = PossiblyUnstableBands(noisy.sweep);
    benchmark::DoNotOptimize(noisy.noise.data());
    benchmark::DoNotOptimize(b1.highMHz + b3.highMHz);
    benchmark::DoNotOptimize(unstable.size());
    if (noisy.noise.size() != b.frequencies.size()) bench.SkipWithError("a panel point is missing");
  }
}
BENCHMARK(BM_NoisySweepFromFile)->Unit(benchmark::kMillisecond);

// The CPU time this thread has used, in ms.
double ThreadMilliseconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec * 1e-6;
}

// What a response window's plotted values cost without and with the noise
// panel, in turn within each iteration so that the machine's slow and fast
// spells weigh on both alike, and timed by the thread's own CPU clock: with
// the two cores shared, wall time counts the waits for the other processes
// too, and its ratio ranged from 0.25 to 0.58 between runs of one build.
// "added" is the panel's share over the sweep alone, the figure the panel is
// judged by (at most 0.5). With argument 0 each run converts the file's
// values again, as BM_SweepFromFile does; with 1 the transistor source is
// held across runs, as the response window holds it, and the sweep alone is
// that much cheaper. Each result is gone
// before the other is made: with both held, glibc hands the freed heap back
// to the system at the end of each iteration and every run pays its page
// faults again, which tripled the times measured here.
void BM_NoisePanelOverSweep(benchmark::State& bench) {
  const NoiseBench b;
  SweepPlan plan = DefaultSweep(b.file);
  plan.points = 10001;
  const auto plotted = [&b](const SweepResult& sweep) {
    const Bandwidth b1 = BandwidthOf(sweep, b.design.fMHz, 1);
    const Bandwidth b3 = BandwidthOf(sweep, b.design.fMHz, 3);
    benchmark::DoNotOptimize(b1.highMHz + b3.highMHz);
    benchmark::DoNotOptimize(PossiblyUnstableBands(sweep).size());
  };
  const bool held = bench.range(0) == 1;
  const auto source = [&b, held] { return held ? b.transistor : FileTransistor(b.file); };
  const auto sweepAlone = [&] {
    const SweepResult sweep = RunSweep(b.design, source(), plan);
    plotted(sweep);
    benchmark::DoNotOptimize(sweep.points.data());
  };
  const auto sweepWithPanel = [&] {
    const NoisySweep noisy = RunNoisySweep(b.design, source(), FileNoise(b.file), plan);
    plotted(noisy.sweep);
    benchmark::DoNotOptimize(noisy.noise.data());
    return noisy.noise.size();
  };
  double alone = 0, withPanel = 0;  // ms
  for (auto _ : bench) {
    const double t0 = ThreadMilliseconds();
    sweepAlone();
    const double t1 = ThreadMilliseconds();
    const std::size_t panelPoints = sweepWithPanel();
    const double t2 = ThreadMilliseconds();
    alone += t1 - t0;
    withPanel += t2 - t1;
    if (panelPoints != b.frequencies.size()) bench.SkipWithError("a panel point is missing");
  }
  const double n = static_cast<double>(bench.iterations());
  bench.counters["sweep_ms"] = alone / n;
  bench.counters["noisy_ms"] = withPanel / n;
  bench.counters["added"] = (withPanel - alone) / alone;
}
BENCHMARK(BM_NoisePanelOverSweep)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
