// Reading a 10001-frequency two-port file beside a loop that only converts
// the same numbers with std::from_chars: the floor for any reader, so the
// reader's own cost shows as a ratio.
#include <benchmark/benchmark.h>

#include <charconv>
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

void BM_ParseTouchstone(benchmark::State& bench) {
  const std::string& text = MegahertzFile();
  for (auto _ : bench) {
    auto result = ParseTouchstone(text);
    benchmark::DoNotOptimize(result);
  }
  bench.SetBytesProcessed(bench.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ParseTouchstone)->Unit(benchmark::kMillisecond);

// The same numbers with nothing but the conversion and the skip to the next
// number: comments and the option line are stepped over as lines.
void BM_FromCharsFloor(benchmark::State& bench) {
  const std::string& text = MegahertzFile();
  for (auto _ : bench) {
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
    benchmark::DoNotOptimize(sum);
  }
  bench.SetBytesProcessed(bench.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_FromCharsFloor)->Unit(benchmark::kMillisecond);

}  // namespace
