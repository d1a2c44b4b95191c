// Reading a 10001-frequency two-port file beside a loop that only converts
// the same numbers with std::from_chars: the floor for any reader, so the
// reader's own cost shows as a ratio.
#include <benchmark/benchmark.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <string>

#include "touchstone/touchstone.h"

namespace {

// A maker-style file: MHz, MA, numbers with four to six significant digits.
std::string GeneratedFile(const char* options) {
  std::string text = "! generated\n# ";
  text += options;
  text += " R 50\n";
  char line[200];
  for (int i = 0; i <= 10000; ++i) {
    const double f = 100 + 0.5 * i;
    std::snprintf(line, sizeof line, "%.1f %.4f %.2f %.4f %.2f %.5f %.2f %.4f %.2f\n", f,
                  0.9 - i * 4e-5, -20.0 - i * 0.015, 12.0 - i * 8e-4, 160.0 - i * 0.012,
                  0.02 + i * 3e-6, 75.0 - i * 0.004, 0.95 - i * 3e-5, -10.0 - i * 0.01);
    text += line;
  }
  return text;
}

const std::string& MegahertzFile() {
  static const std::string text = GeneratedFile("MHz S MA");
  return text;
}

// The same file with old Macintosh line ends, a lone CR each.
const std::string& LoneCrFile() {
  static const std::string text = [] {
    std::string t = MegahertzFile();
    for (char& c : t)
      if (c == '\n') c = '\r';
    return t;
  }();
  return text;
}

void TimeParse(benchmark::State& bench, const std::string& text) {
  for (auto _ : bench) {
    auto result = ParseTouchstone(text);
    benchmark::DoNotOptimize(result);
  }
  bench.SetBytesProcessed(bench.iterations() * static_cast<int64_t>(text.size()));
}

void BM_ParseTouchstone(benchmark::State& bench) { TimeParse(bench, MegahertzFile()); }
BENCHMARK(BM_ParseTouchstone)->Unit(benchmark::kMillisecond);

// Should cost about what BM_ParseTouchstone does: a file without LF must not
// be searched for one again at every line.
void BM_ParseTouchstoneLoneCr(benchmark::State& bench) { TimeParse(bench, LoneCrFile()); }
BENCHMARK(BM_ParseTouchstoneLoneCr)->Unit(benchmark::kMillisecond);

// The same numbers with nothing but the conversion and the skip to the next
// number: comments and the option line are stepped over as lines.
double SumWithFromChars(const std::string& text) {
  double sum = 0;
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    if (*p == '!' || *p == '#') {
      while (p < end && *p != '\n') ++p;
      ++p;
      continue;
    }
    if (*p == ' ' || *p == '\n') {
      ++p;
      continue;
    }
    double v;
    p = std::from_chars(p, end, v).ptr;
    sum += v;
  }
  return sum;
}

void BM_FromCharsFloor(benchmark::State& bench) {
  const std::string& text = MegahertzFile();
  for (auto _ : bench) benchmark::DoNotOptimize(SumWithFromChars(text));
  bench.SetBytesProcessed(bench.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_FromCharsFloor)->Unit(benchmark::kMillisecond);

// The reader and the floor in turn within each iteration, so that a virtual
// machine's slow and fast spells weigh on both alike: the counters give each
// one's mean time and the ratio, the figure the reader is judged by.
void BM_ReaderOverFloor(benchmark::State& bench) {
  using Clock = std::chrono::steady_clock;
  const std::string& text = MegahertzFile();
  Clock::duration reader{}, floor{};
  for (auto _ : bench) {
    const auto t0 = Clock::now();
    auto result = ParseTouchstone(text);
    benchmark::DoNotOptimize(result);
    const auto t1 = Clock::now();
    benchmark::DoNotOptimize(SumWithFromChars(text));
    const auto t2 = Clock::now();
    reader += t1 - t0;
    floor += t2 - t1;
  }
  const double n = static_cast<double>(bench.iterations());
  bench.counters["reader_ms"] = std::chrono::duration<double, std::milli>(reader).count() / n;
  bench.counters["floor_ms"] = std::chrono::duration<double, std::milli>(floor).count() / n;
  bench.counters["ratio"] = static_cast<double>(reader.count()) / static_cast<double>(floor.count());
}
BENCHMARK(BM_ReaderOverFloor)->Unit(benchmark::kMillisecond);

}  // namespace
