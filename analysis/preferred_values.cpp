#include "analysis/preferred_values.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// Mantissas × 100, so a preferred value is an integer scaled by a power of
// ten and comes out as the nearest double to its decimal text.
constexpr int kE6[] = {100, 150, 220, 330, 470, 680};
constexpr int kE12[] = {100, 120, 150, 180, 220, 270, 330, 390, 470, 560, 680, 820};
constexpr int kE24[] = {100, 110, 120, 130, 150, 160, 180, 200, 220, 240, 270, 300,
                        330, 360, 390, 430, 470, 510, 560, 620, 680, 750, 820, 910};

// E96 is 10^(i/96) to three significant digits.
std::vector<int> GeometricSeries(int count) {
  std::vector<int> m(count);
  for (int i = 0; i < count; ++i)
    m[i] = static_cast<int>(std::lround(std::pow(10.0, static_cast<double>(i) / count) * 100.0));
  return m;
}

std::span<const int> Hundredths(ESeries series) {
  static const std::vector<int> kE96 = GeometricSeries(96);
  switch (series) {
    case ESeries::E6: return kE6;
    case ESeries::E12: return kE12;
    case ESeries::E24: return kE24;
    case ESeries::E96: return kE96;
  }
  return kE6;
}

// hundredths × 10^(decade − 2), one rounding only.
double Scaled(int hundredths, int decade) {
  const int shift = decade - 2;
  return shift >= 0 ? hundredths * std::pow(10.0, shift) : hundredths / std::pow(10.0, -shift);
}

}  // namespace

std::span<const double> SeriesMantissas(ESeries series) {
  static const auto kTables = [] {
    std::array<std::vector<double>, 4> t;
    for (int s = 0; s < 4; ++s)
      for (int h : Hundredths(static_cast<ESeries>(s))) t[s].push_back(h / 100.0);
    return t;
  }();
  return kTables[static_cast<int>(series)];
}

const char* SeriesName(ESeries series) {
  static const char* const kNames[] = {"E6", "E12", "E24", "E96"};
  return kNames[static_cast<int>(series)];
}

PreferredValue NearestPreferred(double value, ESeries series) {
  PreferredValue p{value, value, 0.0};
  if (value == 0 || !std::isfinite(value)) return p;
  const double magnitude = std::abs(value);
  const double logValue = std::log10(magnitude);
  const int decade = static_cast<int>(std::floor(logValue));
  const std::span<const int> table = Hundredths(series);
  // The decade below and above as well: log10 rounds near a power of ten.
  double best = 0, bestDistance = HUGE_VAL;
  for (int d = decade - 1; d <= decade + 1; ++d) {
    for (int h : table) {
      const double candidate = Scaled(h, d);
      const double distance = std::abs(std::log10(candidate) - logValue);
      if (distance < bestDistance) {
        bestDistance = distance;
        best = candidate;
      }
    }
  }
  p.rounded = std::copysign(best, value);
  p.errorPercent = (p.rounded - value) / value * 100.0;
  return p;
}

std::optional<DesignFigures> FiguresAt(const AmplifierDesign& design, double fMHz,
                                       const SMatrix& transistorAtRo) {
  const std::optional<AmplifierPoint> p = AnalyzeAt(design, fMHz, transistorAtRo);
  if (!p) return std::nullopt;
  return DesignFigures{p->zin, p->zout, p->inputReturnLossDb, p->outputReturnLossDb, p->gainDb};
}

RoundedDesign RoundDesign(const AmplifierDesign& design, ESeries series) {
  RoundedDesign r;
  r.design = design;
  double* const targets[6] = {&r.design.input.outer,  &r.design.input.shunt,
                              &r.design.input.inner,  &r.design.output.outer,
                              &r.design.output.shunt, &r.design.output.inner};
  for (int i = 0; i < 6; ++i) {
    r.values[i] = NearestPreferred(*targets[i], series);
    *targets[i] = r.values[i].rounded;
  }
  r.exact = FiguresAt(design, design.fMHz, design.transistor);
  r.rounded = FiguresAt(r.design, design.fMHz, design.transistor);
  return r;
}
