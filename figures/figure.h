#pragma once
// Plots and the Smith chart as data: panels with axes and round ticks,
// curves, markers, shaded bands, circles and lettering in data coordinates,
// painted by one renderer (gui/figure_view.h) into a widget, a PNG, an SVG
// or a report page. The layout and the data-to-pixel map live here, so the
// renderer and the pointer read the same frame and tests need no window.
//
// Nothing non-finite ever reaches a drawing: curves are split where a value
// is missing or not finite, and the map refuses points it cannot place.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct FigPoint {
  double x = 0, y = 0;
};

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
};

enum class Stroke { Solid, Dashed, Dotted };

struct Tick {
  double value = 0;
  std::string label;
};

struct Axis {
  std::string title;  // with its unit: "Frequenza [MHz]"
  double min = 0, max = 1;
  bool logarithmic = false;
  std::vector<Tick> ticks;
};

// A polyline in pieces: a gap in the data ends a piece.
struct Curve {
  std::string name;  // in the legend; empty keeps it out
  Rgb colour;
  Stroke stroke = Stroke::Solid;
  double width = 1.5;
  std::vector<std::vector<FigPoint>> pieces;
};

enum class MarkerShape { Dot, Cross, Square, Diamond };

struct Marker {
  FigPoint at;
  std::string label;  // beside the symbol
  Rgb colour;
  MarkerShape shape = MarkerShape::Dot;
};

// An x range shaded over the panel's height, named at its top.
struct Band {
  double from = 0, to = 0;
  std::string label;
  Rgb colour;
};

// A line across the panel at one x (the design frequency).
struct VerticalLine {
  double x = 0;
  std::string label;
  Rgb colour;
  Stroke stroke = Stroke::Dashed;
};

struct Circle {
  FigPoint centre;
  double radius = 0;
  Rgb colour;
  Stroke stroke = Stroke::Solid;
  std::string label;  // on the circle, at its top
};

// Lettering at a data point, centred on it (grid values, arc names).
struct Lettering {
  FigPoint at;
  std::string text;
  Rgb colour;
  bool small = false;
  // A name may move off its point to the first place nearby where it covers
  // no other label; a fixed one (a grid value) stays, and is left out where
  // it would run into another.
  bool movable = false;
};

enum class PanelKind {
  Cartesian,  // axes with ticks and a grid
  Smith,      // the Γ plane: square, equal scales, no axes of its own
};

struct Panel {
  PanelKind kind = PanelKind::Cartesian;
  Axis x, y;
  double weight = 1;  // share of the figure's height among the panels
  std::vector<Band> bands;
  std::vector<Curve> grid;  // thin lines under everything (Smith circles)
  std::vector<Curve> curves;
  std::vector<VerticalLine> lines;
  std::vector<Circle> circles;
  std::vector<Marker> markers;
  std::vector<Lettering> letters;
};

// A line of text under the panels (a bandwidth, a warning).
struct Note {
  std::string text;
  Rgb colour;
};

struct Figure {
  std::string title;
  std::vector<Note> notes;
  std::vector<Panel> panels;
};

// Ticks at 1, 2 or 5 times a power of ten, about `count` of them across
// [min, max], labelled with just the digits the step needs ("0.5", "1200").
std::vector<Tick> RoundTicks(double min, double max, int count = 6);
// Decades (and 2 and 5 within them when the range spans few decades); a
// range inside one decade gets round linear ticks. Needs 0 < min < max.
std::vector<Tick> LogTicks(double min, double max);
// A linear axis over the values' range widened to round ticks; an empty or
// flat set of values still gives a usable range.
Axis FitAxis(std::string title, std::span<const double> values, int count = 6);
// An axis over [min, max] exactly, with round (or log) ticks.
Axis FixedAxis(std::string title, double min, double max, bool logarithmic = false);
// An axis over the finite values' range exactly, with round (or log)
// ticks: a sweep's frequencies with the design's, an explorer's values. With
// no finite value, 1 to 10.
Axis SpanAxis(std::string title, std::span<const double> values, bool logarithmic = false);
// Numbers as the figures and tables write them, whatever the C locale: a "."
// separator, a plain "-" for negatives; "" for a non-finite value.
std::string FormatFixed(double value, int decimals);
std::string FormatSignificant(double value, int digits);
std::string FormatRoundTrip(double value);  // the digits that read back to the same double
// The shortest text of a value at a given step ("2.5", "-10", "0.001").
std::string FormatTickValue(double value, double step);

// The curve of y against x, split at every point where x or y is missing
// (nullopt) or not finite; pieces of one point are kept as one point.
std::vector<std::vector<FigPoint>> SplitAtGaps(std::span<const double> x,
                                               std::span<const std::optional<double>> y);
// The y values of a panel's curves and markers, non-finite dropped (to fit its axis).
std::vector<double> CurveValuesY(const Panel& panel);

// Colours that mean the same in every figure: μ, a limit drawn across a
// panel (μ = 1, the design frequency), the notes' ink, the line at the
// design's own value (its frequency, the feedback value picked).
inline constexpr Rgb kMuColour{200, 30, 60};
inline constexpr Rgb kLimitColour{150, 150, 150};
inline constexpr Rgb kNoteColour{30, 30, 30};
inline constexpr Rgb kValueLineColour{80, 80, 80};

// A dashed limit across a panel at one y (μ = 1), from end to end of its x axis.
Curve LevelLine(const Axis& x, double y);

// A Smith panel with its grid: resistance circles and reactance arcs with
// their normalized values, and the unit circle.
Panel MakeSmithPanel();

// Where each panel's plot area lies within a figure of the given size, in
// pixels (origin top left, y down).
struct PlotFrame {
  double left = 0, top = 0, width = 0, height = 0;
  // Whether the x tick values are written under this plot: not under a
  // short panel above another on the same axis, which writes them once.
  bool xValues = true;
};
struct FigureLayout {
  double titleHeight = 0;
  std::vector<PlotFrame> frames;  // one per panel
  double notesTop = 0;
};
inline constexpr double kFigureFontPx = 12;
inline constexpr double kFigureSmallFontPx = 10;
FigureLayout LayoutFigure(const Figure& figure, double width, double height);

// Data to pixel and back within one panel's frame. nullopt where a value
// cannot be placed: non-finite, or not positive on a logarithmic axis.
std::optional<FigPoint> ToPixel(const Panel& panel, const PlotFrame& frame, FigPoint data);
std::optional<FigPoint> FromPixel(const Panel& panel, const PlotFrame& frame, FigPoint pixel);
// The panel under a pixel, or -1.
int PanelAt(const FigureLayout& layout, FigPoint pixel);
