#include "analysis/smith_chart.h"

#include <algorithm>
#include <cmath>

namespace {

bool Finite(Cx z) { return std::isfinite(z.real()) && std::isfinite(z.imag()); }

// Walks one T network from the resistance at its outer end, element by
// element, keeping the Γ of every step.
class PathWalker {
 public:
  PathWalker(double r0, int points) : r0_(r0), points_(std::max(points, 2)) {}

  // Series reactance x: Z + j·t·x, constant resistance.
  bool Series(Cx& z, double x, const char* label, std::vector<SmithPath>& out) const {
    SmithPath path{label, {}};
    for (int i = 0; i < points_; ++i) {
      if (!Add(path, z + Cx{0.0, x * i / (points_ - 1)})) return false;
    }
    z += Cx{0.0, x};
    out.push_back(std::move(path));
    return Finite(z);
  }

  // Shunt susceptance b: 1 ÷ (Y + j·t·b), constant conductance.
  bool Shunt(Cx& z, double b, const char* label, std::vector<SmithPath>& out) const {
    const Cx y = 1.0 / z;
    SmithPath path{label, {}};
    for (int i = 0; i < points_; ++i) {
      if (!Add(path, 1.0 / (y + Cx{0.0, b * i / (points_ - 1)}))) return false;
    }
    z = 1.0 / (y + Cx{0.0, b});
    out.push_back(std::move(path));
    return Finite(z);
  }

 private:
  bool Add(SmithPath& path, Cx z) const {
    const std::optional<Cx> g = GammaOf(z, r0_);
    if (!g) return false;
    path.gamma.push_back(*g);
    return true;
  }
  double r0_;
  int points_;
};

bool WalkNetwork(const PathWalker& walker, double resistance, const TeeNetwork& net, Side side,
                 double fMHz, std::vector<SmithPath>& out) {
  Cx z{resistance, 0.0};
  return walker.Series(z, SeriesArmReactance(net.kind, net.outer, fMHz),
                       ElementName(side, net.kind, 0), out) &&
         walker.Shunt(z, ShuntArmSusceptance(net.kind, net.shunt, fMHz),
                      ElementName(side, net.kind, 1), out) &&
         walker.Series(z, SeriesArmReactance(net.kind, net.inner, fMHz),
                       ElementName(side, net.kind, 2), out);
}

}  // namespace

std::optional<SmithChart> SmithChartOf(const AmplifierDesign& d, int pointsPerArc) {
  SmithChart chart;
  chart.r0 = d.Ro;
  const std::optional<Cx> re = GammaOf({d.RE, 0.0}, d.Ro);
  const std::optional<Cx> rl = GammaOf({d.RL, 0.0}, d.Ro);
  const std::optional<Cx> zi = GammaOf(std::conj(d.zi), d.Ro);
  const std::optional<Cx> zo = GammaOf(std::conj(d.zo), d.Ro);
  if (!re || !rl || !zi || !zo) return std::nullopt;
  chart.gammaRE = *re;
  chart.gammaRL = *rl;
  chart.gammaZiConj = *zi;
  chart.gammaZoConj = *zo;

  const PathWalker walker(d.Ro, pointsPerArc);
  if (!WalkNetwork(walker, d.RE, d.input, Side::Input, d.fMHz, chart.inputPath) ||
      !WalkNetwork(walker, d.RL, d.output, Side::Output, d.fMHz, chart.outputPath))
    return std::nullopt;

  const std::optional<SMatrix> s =
      WithFeedback(d.transistor, d.Ro, FeedbackAdmittance(d.feedback, d.fMHz));
  const std::optional<StabilityFigures> figures = s ? StabilityOf(*s) : std::nullopt;
  if (figures) {
    chart.source = figures->source;
    chart.load = figures->load;
  }
  return chart;
}

std::optional<SmithReadout> ReadoutAt(Cx gamma, double r0) {
  const std::optional<Cx> z = ImpedanceOf(gamma, r0);
  if (!z || *z == Cx{}) return std::nullopt;
  const Cx y = 1.0 / *z;
  if (!Finite(y)) return std::nullopt;
  return SmithReadout{gamma, *z, y};
}
