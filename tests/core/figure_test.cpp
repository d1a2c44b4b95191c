// Figures as data: round ticks, the data-to-pixel map, and the response
// figure of a real design with a stretch of the sweep missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "figures/figure.h"
#include "figures/response_figure.h"
#include "figures/smith_figure.h"
#include "forms/result_commands.h"
#include "session/session.h"
#include "touchstone/touchstone.h"

namespace {

double TickStep(const std::vector<Tick>& ticks) { return ticks[1].value - ticks[0].value; }

bool IsRoundStep(double step) {
  const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
  for (double m : {1.0, 2.0, 5.0, 10.0})
    if (std::fabs(mantissa - m) < 1e-9) return true;
  return false;
}

TEST(FigureTicks, RoundStepsInsideTheRangeWithLabelsThatReadBack) {
  const std::pair<double, double> ranges[] = {{0, 1},       {-0.3, 0.7},   {47.5, 152.5}, {1e-7, 3e-7},
                                              {-1000, 12345}, {2139.9, 2140.1}, {-60, 0.5}};
  for (const auto& [min, max] : ranges) {
    SCOPED_TRACE(std::to_string(min) + " .. " + std::to_string(max));
    const std::vector<Tick> ticks = RoundTicks(min, max);
    ASSERT_GE(ticks.size(), 3u);
    EXPECT_LE(ticks.size(), 12u);
    const double step = TickStep(ticks);
    EXPECT_TRUE(IsRoundStep(step)) << step;
    for (const Tick& t : ticks) {
      EXPECT_GE(t.value, min - step * 1e-9);
      EXPECT_LE(t.value, max + step * 1e-9);
      EXPECT_NEAR(std::strtod(t.label.c_str(), nullptr), t.value, step * 1e-6) << t.label;
      EXPECT_FALSE(t.label.front() == '-' && std::strtod(t.label.c_str(), nullptr) == 0) << t.label;
      EXPECT_EQ(t.label.find(','), std::string::npos);
    }
  }
}

TEST(FigureTicks, UnusableRangesStillGiveFiniteAxes) {
  for (const auto& [min, max] : {std::pair{5.0, 5.0}, {0.0, 0.0}, {3.0, -2.0}, {NAN, 1.0}, {0.0, INFINITY}, {-1e308, 1.7e308}}) {
    const std::vector<Tick> ticks = RoundTicks(min, max);
    ASSERT_FALSE(ticks.empty());
    for (const Tick& t : ticks) EXPECT_TRUE(std::isfinite(t.value));
    const double values[] = {min, max};
    const Axis axis = FitAxis("x", values);
    EXPECT_TRUE(std::isfinite(axis.min) && std::isfinite(axis.max));
    EXPECT_LT(axis.min, axis.max);
  }
  const double values[] = {3.2, NAN, -7.9, INFINITY, 12.1};
  const Axis axis = FitAxis("y", values);
  EXPECT_LE(axis.min, -7.9);
  EXPECT_GE(axis.max, 12.1);
  EXPECT_LT(axis.max - axis.min, 40);
}

TEST(FigureTicks, LogarithmicTicksAtDecadesAndTheirMultiples) {
  std::vector<double> values;
  for (const Tick& t : LogTicks(10, 10000)) values.push_back(t.value);
  EXPECT_EQ(values, (std::vector<double>{10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000}));
  values.clear();
  for (const Tick& t : LogTicks(1e-3, 1e6)) values.push_back(t.value);
  EXPECT_EQ(values.size(), 10u);  // decades only across nine of them
  // Inside one decade round linear ticks do better.
  EXPECT_TRUE(IsRoundStep(TickStep(LogTicks(100, 150))));
}

TEST(FigureMap, PixelsAndBackOnLinearAndLogAxesRefusingWhatCannotBePlaced) {
  Panel panel;
  panel.x = FixedAxis("f", 10, 1000, true);
  panel.y = FixedAxis("y", -20, 30);
  const PlotFrame frame{70, 20, 600, 300};
  for (FigPoint p : {FigPoint{10, -20}, FigPoint{1000, 30}, FigPoint{123.4, 5.5}}) {
    const auto pixel = ToPixel(panel, frame, p);
    ASSERT_TRUE(pixel);
    const auto back = FromPixel(panel, frame, *pixel);
    ASSERT_TRUE(back);
    EXPECT_NEAR(back->x, p.x, 1e-9 * p.x);
    EXPECT_NEAR(back->y, p.y, 1e-9);
  }
  EXPECT_NEAR(ToPixel(panel, frame, {100, 5})->x, 370, 1e-9);  // a decade of two in the middle
  EXPECT_FALSE(ToPixel(panel, frame, {0, 1}));
  EXPECT_FALSE(ToPixel(panel, frame, {-5, 1}));
  EXPECT_FALSE(ToPixel(panel, frame, {NAN, 1}));
  EXPECT_FALSE(ToPixel(panel, frame, {100, INFINITY}));
  const auto far = ToPixel(panel, frame, {100, 1e300});
  ASSERT_TRUE(far);
  EXPECT_TRUE(std::isfinite(far->y));
}

TEST(FigureCurves, SplitWhereAValueIsMissingOrNotFinite) {
  const double x[] = {1, 2, 3, 4, 5, 6, NAN, 8};
  const std::optional<double> y[] = {1, 2, std::nullopt, 4, NAN, 6, 7, 8};
  const auto pieces = SplitAtGaps(x, y);
  ASSERT_EQ(pieces.size(), 4u);
  EXPECT_EQ(pieces[0].size(), 2u);
  EXPECT_EQ(pieces[1].size(), 1u);
  EXPECT_EQ(pieces[2].size(), 1u);
  EXPECT_EQ(pieces[3].front().x, 8);
}

AmplifierDesign StoredExample() {
  SessionInput input;
  input.feedbackOption = 1;
  const SessionResult session = RunSession(input);
  const WindowDesignResult* made = session.firstDesign();
  EXPECT_NE(made, nullptr);
  return *CaptureDesign(made->window, made->state);
}

void ExpectFinite(const Figure& figure) {
  for (const Panel& panel : figure.panels) {
    for (const auto* curves : {&panel.curves, &panel.grid})
      for (const Curve& c : *curves)
        for (const auto& piece : c.pieces)
          for (const FigPoint& p : piece) ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << c.name;
    for (const Marker& m : panel.markers) EXPECT_TRUE(std::isfinite(m.at.x) && std::isfinite(m.at.y));
    for (const Circle& c : panel.circles) EXPECT_TRUE(std::isfinite(c.radius));
    EXPECT_TRUE(std::isfinite(panel.y.min) && std::isfinite(panel.y.max));
  }
}

// A file that has no data within 10 % of the design frequency leaves a hole in every
// curve; no line bridges it and nothing non-finite reaches the figure.
TEST(ResponseFigure, ASweepWithAHoleDrawsEveryCurveInTwoPieces) {
  const AmplifierDesign design = StoredExample();
  TransistorSource source = ConstantTransistor(design);
  const double low = 0.9 * design.fMHz, high = 1.1 * design.fMHz;
  source.sAt = [held = source.sAt, low, high](double f) -> std::optional<SMatrix> {
    if (f > low && f < high) return std::nullopt;
    return held(f);
  };
  const SweepResult sweep = RunSweep(design, source, DefaultSweep(design));
  ASSERT_FALSE(sweep.skippedMHz.empty());
  const Figure figure = BuildResponseFigure({.design = &design, .sweep = &sweep, .caption = "Form2"});
  ExpectFinite(figure);
  for (const Panel& panel : figure.panels)
    for (const Curve& c : panel.curves) {
      ASSERT_EQ(c.pieces.size(), 2u) << c.name;
      EXPECT_LE(c.pieces[0].back().x, low);
      EXPECT_GE(c.pieces[1].front().x, high);
    }
  EXPECT_NE(figure.notes.back().text.find("saltati"), std::string::npos);

  const std::string csv = ResponseCsv(sweep);
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), static_cast<long>(sweep.points.size()) + 1);
  const std::string firstRow = csv.substr(csv.find('\n') + 1, csv.find('\n', csv.find('\n') + 1) - csv.find('\n') - 1);
  EXPECT_EQ(std::strtod(firstRow.substr(firstRow.find(',') + 1).c_str(), nullptr), sweep.points[0].gainDb);
}

// A file of one frequency has no band to sweep: the entered values are held
// instead of every point falling outside the file.
TEST(ResponseFigure, TheFirstSweepFollowsTheFileOnlyWhenItSpansABand) {
  const AmplifierDesign design = StoredExample();
  auto data = std::make_shared<TouchstoneData>();
  data->format = PairFormat::RI;
  const auto ri = [](std::complex<double> s) { return FilePair{s.real(), s.imag()}; };
  const SMatrix& t = design.transistor;
  data->records.push_back({design.fMHz, {ri(t.s11), ri(t.s21), ri(t.s12), ri(t.s22)}});
  const SweepSource single = DefaultSweepSource(design, data);
  EXPECT_FALSE(single.fromFile);
  EXPECT_TRUE(RunSweep(design, single.transistor, single.plan).skippedMHz.empty());
  data->records.push_back(data->records.back());
  data->records.back().fMHz = 2 * design.fMHz;
  const SweepSource band = DefaultSweepSource(design, data);
  EXPECT_TRUE(band.fromFile);
  EXPECT_EQ(band.plan.fromMHz, design.fMHz);
  EXPECT_EQ(band.plan.toMHz, 2 * design.fMHz);
  EXPECT_FALSE(band.transistor.sAt(0.5 * design.fMHz));
}

TEST(SmithFigure, EveryPointOfTheChartIsFinite) {
  const AmplifierDesign design = StoredExample();
  const auto chart = SmithChartOf(design);
  ASSERT_TRUE(chart);
  const SweepResult sweep = RunSweep(design, ConstantTransistor(design), DefaultSweep(design));
  const Figure figure = BuildSmithFigure(
      {.design = &design, .chart = &*chart, .caption = "Form2", .inputReflection = &sweep, .stabilityCircles = true});
  ExpectFinite(figure);
  EXPECT_EQ(SmithReadoutText({0.999999, 0}, 50).empty(), false);
  EXPECT_TRUE(SmithReadoutText({1.2, 0}, 50).empty());
}

}  // namespace
