// The solver as the program runs it, finishing when its state repeats,
// beside the plain loop of all 100001 passes; and how many points of sweeps
// over the sample files still run all passes.
#include <benchmark/benchmark.h>

#include <ctime>
#include <vector>

#include "analysis/sweep.h"
#include "model/solver.h"
#include "tests/core/solver_cases.h"
#include "tests/core/solver_reference.h"
#include "tests/core/worked_example_state.h"

namespace {

// The thread's CPU time, which a busy machine's preemptions do not inflate.
double ThreadSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec + 1e-9 * t.tv_nsec;
}

// The sample files' frequencies under Rf = 5 kohm that finish early (all
// but a few, within a few dozen passes).
std::vector<DesignState> ConvergingStates() {
  std::vector<DesignState> states;
  for (const TouchstoneData& file : SampleFiles(BJT_TEST_DATA_DIR))
    for (std::size_t i = 0; i < file.records.size(); ++i) {
      DesignState s = StateOfFields({}, FieldsAtPoint(file, i));
      ApplyFeedback(s, {"Rf 5k", 5, 0, 0});
      const double start = ThreadSeconds();
      SolveConjugateMatch(s);
      if (ThreadSeconds() - start < 300e-6) states.push_back(s);
    }
  return states;
}

void BM_SolveConverging(benchmark::State& bench) {
  const std::vector<DesignState> states = ConvergingStates();
  std::size_t i = 0;
  for (auto _ : bench) {
    DesignState s = states[i++ % states.size()];
    SolveConjugateMatch(s);
    benchmark::DoNotOptimize(s.YS);
  }
  bench.counters["states"] = double(states.size());
}
BENCHMARK(BM_SolveConverging)->Unit(benchmark::kMicrosecond)->Repetitions(9)
    ->ReportAggregatesOnly(true);

void BM_SolveAllPasses(benchmark::State& bench) {
  DesignState s = EnteredWorkedExample(0.001 / 5);
  ConvertSToY(s);
  for (auto _ : bench) {
    ReferenceSolveConjugateMatch(s);
    benchmark::DoNotOptimize(s.YS);
  }
}
BENCHMARK(BM_SolveAllPasses)->Unit(benchmark::kMicrosecond);

// 401 frequencies across each sample file's band, interpolated as a sweep
// does, under every feedback option: the share of solves that still take
// the time of all passes (over 300 µs of CPU; all passes take 2 ms and
// more, an early finish a few µs).
void BM_ShareOfSweepPointsRunningAllPasses(benchmark::State& bench) {
  int points = 0, allPasses = 0, faults = 0;
  for (auto _ : bench) {
    for (const TouchstoneData& file : SampleFiles(BJT_TEST_DATA_DIR)) {
      const std::vector<double> frequencies = SweepFrequencies(
          {file.records.front().fMHz, file.records.back().fMHz, 401, SweepScale::Linear});
      for (double fMHz : frequencies) {
        const auto fields = FieldsAtFrequency(file, fMHz);
        if (!std::holds_alternative<SParamFields>(fields)) continue;
        for (const Feedback& feedback : kFeedbacks) {
          DesignState s = StateOfFields({}, std::get<SParamFields>(fields));
          ApplyFeedback(s, feedback);
          const double start = ThreadSeconds();
          try {
            SolveConjugateMatch(s);
          } catch (const ArithmeticFault&) {
            ++faults;
          }
          ++points;
          allPasses += ThreadSeconds() - start > 300e-6;
        }
      }
    }
  }
  bench.counters["points"] = points;
  bench.counters["all_passes_share"] = double(allPasses) / points;
  bench.counters["faults"] = faults;
}
BENCHMARK(BM_ShareOfSweepPointsRunningAllPasses)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
