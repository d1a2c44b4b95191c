#include "figures/smith_figure.h"

#include "model/arithmetic.h"

#include <cmath>
#include <numbers>

namespace {

constexpr Rgb kInputColours[] = {{20, 70, 200}, {0, 150, 200}};
constexpr Rgb kOutputColours[] = {{210, 60, 0}, {200, 140, 0}};
constexpr Rgb kSourceColour{20, 70, 200};
constexpr Rgb kLoadColour{210, 60, 0};
constexpr Rgb kReflectionColour{0, 140, 70};
constexpr Rgb kSourceCircleColour{120, 40, 170};
constexpr Rgb kLoadCircleColour{200, 30, 60};

FigPoint PointOf(Cx g) { return {g.real(), g.imag()}; }

bool Finite(Cx g) { return std::isfinite(g.real()) && std::isfinite(g.imag()); }

// Each element's arc, in alternating shades of the side's colour, named at
// its middle a little off the arc so the name does not cover it.
void AddPath(Panel& panel, const std::vector<SmithPath>& path, const Rgb (&colours)[2]) {
  for (std::size_t i = 0; i < path.size(); ++i) {
    const SmithPath& element = path[i];
    std::vector<double> x, y;
    std::vector<std::optional<double>> yy;
    for (const Cx& g : element.gamma) {
      x.push_back(g.real());
      yy.push_back(Finite(g) ? std::optional<double>(g.imag()) : std::nullopt);
    }
    const Rgb colour = colours[i % 2];
    panel.curves.push_back({.name = "", .colour = colour, .stroke = Stroke::Solid, .width = 2.4,
                            .pieces = SplitAtGaps(x, yy)});
    if (element.gamma.empty()) continue;
    const Cx middle = element.gamma[element.gamma.size() / 2];
    if (!Finite(middle)) continue;
    const Cx away = std::abs(middle) > 1e-9 ? middle / std::abs(middle) : Cx(0, 1);
    panel.letters.push_back({.at = PointOf(middle + 0.07 * away), .text = element.label, .colour = colour,
                             .small = false});
  }
}

void AddReflection(Panel& panel, const SweepResult& sweep, double r0) {
  std::vector<double> x;
  std::vector<std::optional<double>> y;
  for (const AmplifierPoint& p : sweep.points) {
    const std::optional<Cx> g = GammaOf(p.zin, r0);
    x.push_back(g ? g->real() : 0);
    y.push_back(g ? std::optional<double>(g->imag()) : std::nullopt);
  }
  panel.curves.push_back({.name = "ingresso dell'amplificatore nella scansione", .colour = kReflectionColour,
                          .stroke = Stroke::Solid, .width = 1.4, .pieces = SplitAtGaps(x, y)});
}

void AddCircle(Panel& panel, const StabilityCircle& circle, std::string label, Rgb colour) {
  if (!circle.valid || !Finite(circle.centre) || !std::isfinite(circle.radius)) return;
  panel.circles.push_back({PointOf(circle.centre), circle.radius, colour, Stroke::Dashed, std::move(label)});
}

// Points that fall together (RE = RL = Ro is common) get one marker with
// both names, so neither name hides the other.
void AddMarker(Panel& panel, Cx gamma, const std::string& label, Rgb colour, MarkerShape shape) {
  for (Marker& m : panel.markers) {
    if (m.shape == shape && std::abs(Cx(m.at.x, m.at.y) - gamma) < 1e-9) {
      m.label += " = " + label;
      return;
    }
  }
  panel.markers.push_back({PointOf(gamma), label, colour, shape});
}

std::string ComplexText(Cx z, int decimals, const char* unit) {
  const std::string im = FormatFixed(std::fabs(z.imag()), decimals);
  return FormatFixed(z.real(), decimals) + (z.imag() < 0 ? " − j " : " + j ") + im + " " + unit;
}

}  // namespace

Figure BuildSmithFigure(const SmithFigureInput& input) {
  const SmithChart& chart = *input.chart;
  Figure figure;
  figure.title = "Carta di Smith (Ro = " + FormatSignificant(chart.r0, 6) + " ohm) — " + input.caption;
  Panel panel = MakeSmithPanel();
  if (input.stabilityCircles) {
    AddCircle(panel, chart.source, "cerchio di stabilità della sorgente", kSourceCircleColour);
    AddCircle(panel, chart.load, "cerchio di stabilità del carico", kLoadCircleColour);
  }
  if (input.inputReflection) AddReflection(panel, *input.inputReflection, chart.r0);
  AddPath(panel, chart.inputPath, kInputColours);
  AddPath(panel, chart.outputPath, kOutputColours);
  AddMarker(panel, chart.gammaRE, "RE", kSourceColour, MarkerShape::Square);
  AddMarker(panel, chart.gammaZiConj, "Zi*", kSourceColour, MarkerShape::Dot);
  AddMarker(panel, chart.gammaRL, "RL", kLoadColour, MarkerShape::Square);
  AddMarker(panel, chart.gammaZoConj, "Zo*", kLoadColour, MarkerShape::Dot);
  figure.panels.push_back(std::move(panel));
  figure.notes.push_back({"Rete d'ingresso (blu) da RE a Zi*, rete d'uscita (arancio) da RL a Zo*", {30, 30, 30}});
  if (input.stabilityCircles && !(chart.source.valid && chart.load.valid))
    figure.notes.push_back({"Un cerchio di stabilità degenera in una retta e non è disegnato", {30, 30, 30}});
  return figure;
}

std::string SmithReadoutText(FigPoint point, double r0) {
  const Cx gamma(point.x, point.y);
  if (!Finite(gamma) || std::abs(gamma) > 1) return "";
  const std::optional<SmithReadout> at = ReadoutAt(gamma, r0);
  if (!at) return "";
  const double degrees = std::arg(at->gamma) * 180 / kPi;
  return "Γ = " + FormatFixed(std::abs(at->gamma), 3) + " ∠ " + FormatFixed(degrees, 1) + "°\n" +
         "Z = " + ComplexText(at->z, 2, "ohm") + "\n" + "Y = " + ComplexText(at->y * 1000.0, 3, "mS");
}
