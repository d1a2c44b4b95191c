#include "figures/figure.h"

#include "model/arithmetic.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <complex>
#include <numbers>
#include <utility>

namespace {

// The frame around each kind of panel: room for tick labels and axis titles.
constexpr double kPad = 8;
constexpr double kTitleHeight = 24;
constexpr double kNoteHeight = 17;
constexpr double kLeftMargin = 66, kRightMargin = 16, kTopMargin = 10, kBottomMargin = 38;
// Below a panel that has tick values but no axis title under them (a panel
// above another on the same frequencies): the values' line only.
constexpr double kTickOnlyBottomMargin = 20;
// Below a panel above another on the same axis when the plots are short: no
// values, which the last panel writes for all. Three panels in the response
// window's least size kept plots of 30 pixels with a line of values each.
constexpr double kNoValuesBottomMargin = 6;
constexpr double kShortPlot = 60;
constexpr double kSmithMargin = 26;
// Points far outside the frame are pulled in so no painter sees a huge
// coordinate; the frame clips them anyway.
constexpr double kFarPixels = 1e6;

bool Finite(double v) { return std::isfinite(v); }

double RoundStep(double min, double max, int count) {
  const double raw = (max - min) / std::max(count, 1);
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  const double residual = raw / magnitude;
  const double factor = residual < 1.5 ? 1 : residual < 3.5 ? 2 : residual < 7.5 ? 5 : 10;
  return factor * magnitude;
}

// Gives a flat or unusable range some width, so every axis can be divided.
void WidenFlatRange(double& min, double& max) {
  if (!Finite(min) || !Finite(max)) min = 0, max = 1;
  if (min > max) std::swap(min, max);
  if (!Finite(max - min)) min /= 2, max /= 2;
  if (max - min <= 1e-12 * std::max(std::fabs(min), std::fabs(max))) {
    const double half = min == 0 ? 1 : std::fabs(min) * 0.1;
    min -= half;
    max += half;
  }
}

double Clamp(double v) { return std::clamp(v, -kFarPixels, kFarPixels); }

// Position 0..1 of a value along an axis.
std::optional<double> AlongAxis(const Axis& axis, double v) {
  if (!Finite(v)) return std::nullopt;
  double u;
  if (axis.logarithmic) {
    if (v <= 0 || axis.min <= 0 || axis.max <= 0) return std::nullopt;
    u = std::log10(v / axis.min) / std::log10(axis.max / axis.min);
  } else {
    u = (v - axis.min) / (axis.max - axis.min);
  }
  if (!Finite(u)) return std::nullopt;
  return u;
}

std::optional<double> FromAlong(const Axis& axis, double u) {
  const double v = axis.logarithmic ? axis.min * std::pow(axis.max / axis.min, u)
                                    : axis.min + u * (axis.max - axis.min);
  if (!Finite(v)) return std::nullopt;
  return v;
}

std::complex<double> NormalizedGamma(double r, double x) {
  const std::complex<double> z(r, x);
  return (z - 1.0) / (z + 1.0);
}

FigPoint PointOf(std::complex<double> g) { return {g.real(), g.imag()}; }

Rgb kGridColour{200, 200, 200};
Rgb kGridLetterColour{110, 110, 110};

}  // namespace

namespace {

template <typename... Format>
std::string ToChars(double value, Format... format) {
  if (!Finite(value)) return "";
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format...);
  if (result.ec != std::errc()) return "";
  return std::string(buffer, result.ptr);
}

}  // namespace

std::string FormatFixed(double value, int decimals) {
  decimals = std::clamp(decimals, 0, 12);
  // Values that round to zero read "0.00", never "-0.00".
  if (std::fabs(value) < 0.5 * std::pow(10.0, -decimals)) value = 0;
  return ToChars(value, std::chars_format::fixed, decimals);
}

std::string FormatSignificant(double value, int digits) {
  return ToChars(value == 0 ? 0.0 : value, std::chars_format::general, std::clamp(digits, 1, 17));
}

std::string FormatRoundTrip(double value) { return ToChars(value); }

std::string FormatTickValue(double value, double step) {
  int decimals = 0;
  if (Finite(step) && step > 0) decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
  if (std::fabs(value) < std::fabs(step) * 1e-9) value = 0;
  return FormatFixed(value, decimals);
}

std::vector<Tick> RoundTicks(double min, double max, int count) {
  WidenFlatRange(min, max);
  const double step = RoundStep(min, max, count);
  std::vector<Tick> ticks;
  // A range wider than the doubles hold has no step: no ticks rather than NaN ones.
  if (!Finite(step) || !(step > 0)) return ticks;
  const double first = std::ceil(min / step - 1e-9), last = std::floor(max / step + 1e-9);
  for (double k = first; k <= last && ticks.size() < 100; ++k) {
    const double value = k * step;
    ticks.push_back({value, FormatTickValue(value, step)});
  }
  return ticks;
}

std::vector<Tick> LogTicks(double min, double max) {
  if (!(min > 0) || !(max > min) || !Finite(max)) return RoundTicks(min, max);
  const double span = std::log10(max / min);
  const int firstDecade = static_cast<int>(std::floor(std::log10(min)));
  const int lastDecade = static_cast<int>(std::ceil(std::log10(max)));
  std::vector<Tick> ticks;
  const double multiples[] = {1, 2, 5};
  for (int n = firstDecade; n <= lastDecade; ++n) {
    const double decade = std::pow(10.0, n);
    for (double m : multiples) {
      if (m != 1 && span > 3) continue;
      const double value = m * decade;
      if (value < min * (1 - 1e-9) || value > max * (1 + 1e-9)) continue;
      ticks.push_back({value, FormatTickValue(value, decade)});
    }
  }
  if (ticks.size() < 3) return RoundTicks(min, max);
  return ticks;
}

namespace {

// The smallest and the largest finite value; min above max when there is none.
std::pair<double, double> FiniteRange(std::span<const double> values) {
  double min = INFINITY, max = -INFINITY;
  for (double v : values) {
    if (!Finite(v)) continue;
    min = std::min(min, v);
    max = std::max(max, v);
  }
  return {min, max};
}

}  // namespace

Axis FitAxis(std::string title, std::span<const double> values, int count) {
  auto [min, max] = FiniteRange(values);
  WidenFlatRange(min, max);
  const double step = RoundStep(min, max, count);
  Axis axis;
  axis.title = std::move(title);
  if (!Finite(step) || !(step > 0)) {
    axis.min = min;
    axis.max = max;
    return axis;
  }
  axis.min = std::floor(min / step + 1e-9) * step;
  axis.max = std::ceil(max / step - 1e-9) * step;
  if (axis.max <= axis.min) axis.max = axis.min + step;
  axis.ticks = RoundTicks(axis.min, axis.max, count);
  return axis;
}

Axis FixedAxis(std::string title, double min, double max, bool logarithmic) {
  Axis axis;
  axis.title = std::move(title);
  axis.logarithmic = logarithmic && min > 0 && max > min && Finite(max);
  if (!axis.logarithmic) WidenFlatRange(min, max);
  axis.min = min;
  axis.max = max;
  axis.ticks = axis.logarithmic ? LogTicks(min, max) : RoundTicks(min, max);
  return axis;
}

Axis SpanAxis(std::string title, std::span<const double> values, bool logarithmic) {
  auto [min, max] = FiniteRange(values);
  if (!(min <= max)) min = 1, max = 10;
  return FixedAxis(std::move(title), min, max, logarithmic);
}

Curve LevelLine(const Axis& x, double y) {
  return {.name = "",
          .colour = kLimitColour,
          .stroke = Stroke::Dashed,
          .width = 1.2,
          .pieces = {{{x.min, y}, {x.max, y}}}};
}

std::vector<std::vector<FigPoint>> SplitAtGaps(std::span<const double> x,
                                               std::span<const std::optional<double>> y) {
  std::vector<std::vector<FigPoint>> pieces;
  std::vector<FigPoint> piece;
  const std::size_t n = std::min(x.size(), y.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (y[i] && Finite(x[i]) && Finite(*y[i])) {
      piece.push_back({x[i], *y[i]});
    } else if (!piece.empty()) {
      pieces.push_back(std::move(piece));
      piece.clear();
    }
  }
  if (!piece.empty()) pieces.push_back(std::move(piece));
  return pieces;
}

std::vector<double> CurveValuesY(const Panel& panel) {
  std::vector<double> values;
  for (const Curve& curve : panel.curves)
    for (const auto& piece : curve.pieces)
      for (const FigPoint& p : piece)
        if (Finite(p.y)) values.push_back(p.y);
  for (const Marker& marker : panel.markers)
    if (Finite(marker.at.y)) values.push_back(marker.at.y);
  return values;
}

Panel MakeSmithPanel() {
  Panel panel;
  panel.kind = PanelKind::Smith;
  panel.x.min = panel.y.min = -1.12;
  panel.x.max = panel.y.max = 1.12;
  constexpr int kSteps = 240;
  // Constant resistance: the whole circle, reactance from -inf to +inf.
  for (double r : {0.0, 0.2, 0.5, 1.0, 2.0, 5.0}) {
    Curve circle{.name = "", .colour = kGridColour, .stroke = Stroke::Solid, .width = r == 0 ? 1.4 : 0.8, .pieces = {}};
    std::vector<FigPoint> points;
    for (int i = 1; i < kSteps; ++i) {
      const double theta = kPi * (static_cast<double>(i) / kSteps - 0.5);
      points.push_back(PointOf(NormalizedGamma(r, std::tan(theta))));
    }
    points.push_back({1, 0});
    points.insert(points.begin(), FigPoint{1, 0});
    circle.pieces.push_back(std::move(points));
    panel.grid.push_back(std::move(circle));
    if (r > 0)
      panel.letters.push_back({.at = {(r - 1) / (r + 1), 0.035}, .text = FormatTickValue(r, 0.1 * (r < 1 ? 1 : 10)),
                               .colour = kGridLetterColour, .small = true});
  }
  // Constant reactance: the arc inside the chart, resistance from 0 to +inf.
  for (double x : {0.2, 0.5, 1.0, 2.0, 5.0, -0.2, -0.5, -1.0, -2.0, -5.0}) {
    Curve arc{.name = "", .colour = kGridColour, .stroke = Stroke::Solid, .width = 0.8, .pieces = {}};
    std::vector<FigPoint> points;
    for (int i = 0; i < kSteps; ++i) {
      const double t = static_cast<double>(i) / kSteps;
      points.push_back(PointOf(NormalizedGamma(t / (1 - t), x)));
    }
    points.push_back({1, 0});
    arc.pieces.push_back(std::move(points));
    panel.grid.push_back(std::move(arc));
    const std::complex<double> edge = NormalizedGamma(0, x) * 1.07;
    const std::string value = FormatTickValue(std::fabs(x), 0.1 * (std::fabs(x) < 1 ? 1 : 10));
    panel.letters.push_back({.at = PointOf(edge), .text = (x > 0 ? "+j" : "−j") + value,
                             .colour = kGridLetterColour, .small = true});
  }
  panel.grid.push_back({.name = "", .colour = kGridColour, .stroke = Stroke::Solid, .width = 0.8,
                        .pieces = {{{-1, 0}, {1, 0}}}});
  return panel;
}

namespace {

bool SameAxis(const Axis& a, const Axis& b) {
  return a.min == b.min && a.max == b.max && a.logarithmic == b.logarithmic;
}

// The room above and below a panel's plot: tick values and, under the last
// cartesian panel (or one with its own title), the axis title; with
// `shared`, a panel above the last on the same axis has no values of its own.
double VerticalMargins(const Figure& figure, std::size_t i, std::size_t lastCartesian, bool shared) {
  const Panel& panel = figure.panels[i];
  if (panel.kind == PanelKind::Smith) return 2 * kSmithMargin;
  if (i == lastCartesian || !panel.x.title.empty()) return kTopMargin + kBottomMargin;
  const bool valuesBelow = !shared || !SameAxis(panel.x, figure.panels[lastCartesian].x);
  return kTopMargin + (valuesBelow ? kTickOnlyBottomMargin : kNoValuesBottomMargin);
}

// The plots' heights when the margins take `margins`: the weights share out
// the plots' own heights, once every panel has its margins (shared over
// whole panels, the last panel's wider margin for its axis title came out of
// its plot alone).
std::vector<double> PlotHeights(const Figure& figure, double available, std::size_t lastCartesian,
                                bool shared) {
  double weights = 0, margins = 0;
  for (std::size_t i = 0; i < figure.panels.size(); ++i) {
    weights += std::max(figure.panels[i].weight, 0.0);
    margins += VerticalMargins(figure, i, lastCartesian, shared);
  }
  if (weights <= 0) weights = 1;
  const double plots = std::max(0.0, available - margins);
  std::vector<double> heights;
  for (const Panel& panel : figure.panels) heights.push_back(plots * std::max(panel.weight, 0.0) / weights);
  return heights;
}

}  // namespace

FigureLayout LayoutFigure(const Figure& figure, double width, double height) {
  FigureLayout layout;
  layout.titleHeight = figure.title.empty() ? 0 : kTitleHeight;
  const double notesHeight = kNoteHeight * static_cast<double>(figure.notes.size());
  const double top = kPad + layout.titleHeight;
  const double available = std::max(0.0, height - top - notesHeight - kPad);
  layout.notesTop = top + available;
  std::size_t lastCartesian = figure.panels.size();
  for (std::size_t i = 0; i < figure.panels.size(); ++i)
    if (figure.panels[i].kind == PanelKind::Cartesian) lastCartesian = i;
  std::vector<double> plots = PlotHeights(figure, available, lastCartesian, false);
  bool shared = false;
  for (std::size_t i = 0; i < figure.panels.size(); ++i)
    if (figure.panels[i].kind == PanelKind::Cartesian && plots[i] < kShortPlot && lastCartesian > 0)
      shared = true;
  if (shared) plots = PlotHeights(figure, available, lastCartesian, true);
  double y = top;
  for (std::size_t i = 0; i < figure.panels.size(); ++i) {
    const Panel& panel = figure.panels[i];
    const double share = plots[i] + VerticalMargins(figure, i, lastCartesian, shared);
    PlotFrame frame;
    if (panel.kind == PanelKind::Smith) {
      const double side = std::max(0.0, std::min(width - 2 * kPad - 2 * kSmithMargin, plots[i]));
      frame = {(width - side) / 2, y + (share - side) / 2, side, side};
    } else {
      frame = {kPad + kLeftMargin, y + kTopMargin,
               std::max(0.0, width - 2 * kPad - kLeftMargin - kRightMargin), plots[i]};
      frame.xValues = !shared || i == lastCartesian || !panel.x.title.empty() ||
                      !SameAxis(panel.x, figure.panels[lastCartesian].x);
    }
    layout.frames.push_back(frame);
    y += share;
  }
  return layout;
}

std::optional<FigPoint> ToPixel(const Panel& panel, const PlotFrame& frame, FigPoint data) {
  const auto u = AlongAxis(panel.x, data.x), v = AlongAxis(panel.y, data.y);
  if (!u || !v) return std::nullopt;
  return FigPoint{Clamp(frame.left + *u * frame.width), Clamp(frame.top + (1 - *v) * frame.height)};
}

std::optional<FigPoint> FromPixel(const Panel& panel, const PlotFrame& frame, FigPoint pixel) {
  if (!(frame.width > 0) || !(frame.height > 0)) return std::nullopt;
  const auto x = FromAlong(panel.x, (pixel.x - frame.left) / frame.width);
  const auto y = FromAlong(panel.y, 1 - (pixel.y - frame.top) / frame.height);
  if (!x || !y) return std::nullopt;
  return FigPoint{*x, *y};
}

int PanelAt(const FigureLayout& layout, FigPoint pixel) {
  for (std::size_t i = 0; i < layout.frames.size(); ++i) {
    const PlotFrame& f = layout.frames[i];
    if (pixel.x >= f.left && pixel.x <= f.left + f.width && pixel.y >= f.top && pixel.y <= f.top + f.height)
      return static_cast<int>(i);
  }
  return -1;
}
