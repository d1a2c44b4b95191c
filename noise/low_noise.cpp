#include "noise/low_noise.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
// Dense enough that a GA of a real two-port has a single peak between two
// neighbouring samples: GA varies on the circle like a ratio of quadratics in
// cos θ and sin θ, at most two peaks.
constexpr int kSamples = 720;
constexpr int kGoldenSteps = 100;

Cx OnCircle(const Circle& c, double theta) { return c.centre + std::polar(c.radius, theta); }

}  // namespace

std::optional<SourcePoint> SourcePointAt(const SMatrix& s, const NoiseParameters& n, Cx gammaS) {
  const std::optional<SourceGain> gain = AvailableGain(s, gammaS);
  const std::optional<double> f = NoiseFactor(n, gammaS);
  const std::optional<double> nf = f ? NoiseFigureDb(*f) : std::nullopt;
  if (!gain || !nf) return std::nullopt;
  return SourcePoint{gammaS, gain->ga, gain->gammaOut, *nf};
}

std::variant<SourcePoint, std::string> MostGainOnNoiseCircle(const SMatrix& s,
                                                             const NoiseParameters& n,
                                                             double deltaDb) {
  const std::string unstable =
      "Il cerchio di rumore tocca sorgenti per cui |Γout| ≥ 1: il guadagno disponibile non ha un massimo";
  if (!std::isfinite(deltaDb) || deltaDb < 0)
    return std::string("Δ deve essere un numero maggiore o uguale a zero (dB)");
  if (deltaDb == 0) {
    const std::optional<SourcePoint> p = SourcePointAt(s, n, n.gammaOpt);
    if (!p) return unstable;
    return *p;
  }
  const std::optional<Circle> circle = NoiseCircle(n, n.fMin * std::pow(10.0, deltaDb / 10.0));
  if (!circle) return std::string("Nessun cerchio di rumore per NFmin + Δ con questi parametri");
  const auto gainAt = [&](double theta) { return AvailableGain(s, OnCircle(*circle, theta)); };

  const double step = 2.0 * kPi / kSamples;
  int best = -1;
  double bestGa = 0;
  for (int k = 0; k < kSamples; ++k) {
    const std::optional<SourceGain> g = gainAt(k * step);
    if (!g) return unstable;
    if (best < 0 || g->ga > bestGa) {
      best = k;
      bestGa = g->ga;
    }
  }
  // Golden section between the best sample's neighbours; the bracket lies on
  // sampled, valid ground, so every probe has a gain.
  constexpr double kInvPhi = 0.6180339887498949;
  double lo = (best - 1) * step, hi = (best + 1) * step;
  double a = hi - kInvPhi * (hi - lo), b = lo + kInvPhi * (hi - lo);
  std::optional<SourceGain> ga = gainAt(a), gb = gainAt(b);
  for (int i = 0; i < kGoldenSteps && ga && gb && hi - lo > 1e-13; ++i) {
    if (ga->ga >= gb->ga) {
      hi = b;
      b = a;
      gb = ga;
      a = hi - kInvPhi * (hi - lo);
      ga = gainAt(a);
    } else {
      lo = a;
      a = b;
      ga = gb;
      b = lo + kInvPhi * (hi - lo);
      gb = gainAt(b);
    }
  }
  double theta = best * step;
  const double mid = 0.5 * (lo + hi);
  const std::optional<SourceGain> refined = gainAt(mid);
  if (refined && refined->ga > bestGa) theta = mid;
  const std::optional<SourcePoint> p = SourcePointAt(s, n, OnCircle(*circle, theta));
  if (!p) return unstable;
  return *p;
}
