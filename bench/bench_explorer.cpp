// The feedback explorer as the window runs it: 201 values of Rf from 10 ohm
// to 100 kohm, each a whole session (Calculate, compute, verification) with
// the pair's μ over a 401-point band, the design's 401-point response for its
// −1 dB band and the noise at f, on every core.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <variant>

#include "session/feedback_explorer.h"
#include "touchstone/fields.h"
#include "touchstone/touchstone.h"

namespace {

// The maker-style sample with its noise block, at 900 MHz with Rf feedback.
ExplorerInput MakerInput() {
  ExplorerInput input;
  TouchstoneResult read = ReadTouchstoneFile(std::string(BJT_TEST_DATA_DIR) + "/bfr_maker_ma_mhz.s2p");
  input.touchstone = std::make_shared<const TouchstoneData>(std::get<TouchstoneData>(std::move(read)));
  input.base.fields = TouchstoneFieldTexts(std::get<SParamFields>(FieldsAtFrequency(*input.touchstone, 900)));
  input.base.feedbackOption = 1;
  return input;
}

void BM_Explore201Values(benchmark::State& state) {
  const FeedbackExplorer explorer(MakerInput());
  const std::vector<double> values = ExplorerValues({0.01, 100, 201});
  const int jobs = static_cast<int>(state.range(0));
  std::size_t designed = 0;
  for (auto _ : state) {
    const std::vector<FeedbackScanRow> rows = explorer.RunAll(values, jobs);
    designed = 0;
    for (const FeedbackScanRow& r : rows) designed += r.designed;
    benchmark::DoNotOptimize(rows.data());
  }
  state.counters["designed"] = static_cast<double>(designed);
}
BENCHMARK(BM_Explore201Values)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

namespace {

// The same 201 sessions alone, without the band, response and noise of each
// row: the share the designs themselves take.
void BM_Explore201SessionsAlone(benchmark::State& state) {
  const FeedbackExplorer explorer(MakerInput());
  std::vector<SessionInput> inputs;
  for (double v : ExplorerValues({0.01, 100, 201})) inputs.push_back(explorer.SessionFor(v));
  for (auto _ : state) benchmark::DoNotOptimize(RunSessions(inputs, 1).data());
}
BENCHMARK(BM_Explore201SessionsAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
