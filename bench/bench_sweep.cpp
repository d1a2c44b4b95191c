// A bjt-design sweep of 1001 file frequencies on two threads, each a whole
// session on the in-memory forms (Calculate, compute, verification, CSV
// line), beside the same number of bare 100001-pass loops on two threads:
// the ratio is what the sessions cost around the passes.
#include <benchmark/benchmark.h>

#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "model/solver.h"
#include "session/session_batch.h"
#include "session/session_output.h"
#include "touchstone/touchstone.h"

namespace {

constexpr int kFrequencies = 1001;
constexpr int kThreads = 2;

// The stored transistor drifting slowly from 250 to 750 MHz.
const TouchstoneData& SweepFile() {
  static const TouchstoneData data = [] {
    std::string text = "# MHz S MA R 50\n";
    for (int i = 0; i < kFrequencies; ++i) {
      const double t = i / double(kFrequencies - 1);
      text += std::to_string(250 + 500 * t) + " " + std::to_string(0.08 - 0.03 * t) + " " +
              std::to_string(-140 - 10 * t) + " " + std::to_string(6.5 - 0.9 * t) + " " +
              std::to_string(88 - 8 * t) + " " + std::to_string(0.05 + 0.02 * t) + " 70.7 " +
              std::to_string(0.6 - 0.05 * t) + " " + std::to_string(-17 - 4 * t) + "\n";
    }
    return std::get<TouchstoneData>(ParseTouchstone(text));
  }();
  return data;
}

std::vector<SessionInput> SweepInputs() {
  std::vector<SessionInput> inputs;
  const TouchstoneData& file = SweepFile();
  for (size_t i = 0; i < file.records.size(); ++i)
    inputs.push_back({TouchstoneFieldTexts(FieldsAtPoint(file, i)), 1});
  return inputs;
}

void BM_Sweep1001Sessions(benchmark::State& bench) {
  const std::vector<SessionInput> inputs = SweepInputs();
  for (auto _ : bench) {
    const std::vector<SessionResult> results = RunSessions(inputs, kThreads);
    std::string csv = SweepCsvHeader();
    for (size_t i = 0; i < results.size(); ++i)
      csv += SweepCsvLine({SweepFile().records[i].fMHz, results[i]});
    benchmark::DoNotOptimize(csv.data());
  }
}
BENCHMARK(BM_Sweep1001Sessions)->Unit(benchmark::kMillisecond)->UseRealTime();

// The solver alone on the states Calculate left at each frequency, split
// between the same two threads.
void BM_Sweep1001BareSolves(benchmark::State& bench) {
  std::vector<DesignState> states;
  for (const SessionResult& r : RunSessions(SweepInputs(), kThreads)) states.push_back(r.state);
  for (auto _ : bench) {
    auto work = [&](size_t first) {
      for (size_t i = first; i < states.size(); i += kThreads) {
        DesignState s = states[i];
        SolveConjugateMatch(s);
        benchmark::DoNotOptimize(s.YS);
      }
    };
    std::thread other(work, 1);
    work(0);
    other.join();
  }
}
BENCHMARK(BM_Sweep1001BareSolves)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
