#include "analysis/sweep.h"

#include <charconv>
#include <cmath>
#include <memory>

namespace {

constexpr int kDefaultPoints = 401;

// GT in dB between two sweep points, by straight line in frequency.
double Interpolated(const AmplifierPoint& a, const AmplifierPoint& b, double fMHz) {
  if (b.fMHz == a.fMHz) return a.gainDb;
  return a.gainDb + (b.gainDb - a.gainDb) * (fMHz - a.fMHz) / (b.fMHz - a.fMHz);
}
// The frequency between a and b where GT crosses `level`.
double Crossing(const AmplifierPoint& a, const AmplifierPoint& b, double level) {
  if (b.gainDb == a.gainDb) return a.fMHz;
  return a.fMHz + (b.fMHz - a.fMHz) * (level - a.gainDb) / (b.gainDb - a.gainDb);
}

}  // namespace

std::string MHzText(double f) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, f, std::chars_format::general, 6);
  return std::string(buffer, result.ptr);
}

std::vector<FrequencyBand> BandsAtOrBelowOne(const std::vector<double>& fMHz, const std::vector<double>& mu) {
  std::vector<FrequencyBand> bands;
  bool inside = false;
  for (std::size_t i = 0; i < fMHz.size() && i < mu.size(); ++i) {
    const bool unstable = !(mu[i] > 1);
    if (unstable && !inside) bands.push_back({fMHz[i], fMHz[i]});
    if (unstable) bands.back().toMHz = fMHz[i];
    inside = unstable;
  }
  return bands;
}

SweepPlan DefaultSweep(const AmplifierDesign& d) {
  return {0.5 * d.fMHz, 1.5 * d.fMHz, kDefaultPoints, SweepScale::Linear};
}
SweepPlan DefaultSweep(double fileFromMHz, double fileToMHz) {
  return {fileFromMHz, fileToMHz, kDefaultPoints, SweepScale::Linear};
}

SweepPlan DefaultSweep(const TouchstoneData& file) {
  if (file.records.empty()) return {};
  return DefaultSweep(file.records.front().fMHz, file.records.back().fMHz);
}

TransistorSource FileTransistor(const TouchstoneData& file) {
  auto points = std::make_shared<const std::vector<SParamPoint>>(ComplexPoints(file));
  return {[points](double fMHz) -> std::optional<SMatrix> {
            const InterpolatedPoint p = InterpolateAt(*points, fMHz);
            if (!p.inRange) return std::nullopt;
            return SMatrix{p.point.s11, p.point.s12, p.point.s21, p.point.s22};
          },
          file.referenceOhm};
}

std::string CheckSweep(const SweepPlan& plan) {
  if (!std::isfinite(plan.fromMHz) || !(plan.fromMHz > 0))
    return "La frequenza iniziale deve essere un numero maggiore di zero";
  if (!std::isfinite(plan.toMHz) || !(plan.toMHz > plan.fromMHz))
    return "La frequenza finale deve essere maggiore di quella iniziale";
  if (plan.points < 2 || plan.points > kMaxSweepPoints)
    return "Il numero di punti deve essere compreso tra 2 e " + std::to_string(kMaxSweepPoints);
  return {};
}

std::vector<double> SweepFrequencies(const SweepPlan& plan) {
  if (!CheckSweep(plan).empty()) return {};
  std::vector<double> f(static_cast<std::size_t>(plan.points));
  const double last = plan.points - 1;
  const double ratio = plan.toMHz / plan.fromMHz;
  for (int i = 0; i < plan.points; ++i) {
    const double t = i / last;
    f[i] = plan.scale == SweepScale::Linear ? plan.fromMHz + (plan.toMHz - plan.fromMHz) * t
                                            : plan.fromMHz * std::pow(ratio, t);
  }
  // The ends exactly as asked, whatever the rounding of the steps.
  f.front() = plan.fromMHz;
  f.back() = plan.toMHz;
  return f;
}

SweepResult RunSweep(const AmplifierDesign& design, const TransistorSource& transistor,
                     const SweepPlan& plan) {
  SweepResult result;
  const std::vector<double> frequencies = SweepFrequencies(plan);
  result.points.reserve(frequencies.size());
  const bool renormalize = transistor.referenceOhm != design.Ro;
  for (double f : frequencies) {
    std::optional<SMatrix> s = transistor.sAt ? transistor.sAt(f) : std::nullopt;
    if (s && renormalize) s = Renormalize(*s, transistor.referenceOhm, design.Ro);
    std::optional<AmplifierPoint> point = s ? AnalyzeAt(design, f, *s) : std::nullopt;
    if (point)
      result.points.push_back(*point);
    else
      result.skippedMHz.push_back(f);
  }
  return result;
}

Bandwidth BandwidthOf(const SweepResult& sweep, double designMHz, double dropDb) {
  Bandwidth band;
  const std::vector<AmplifierPoint>& p = sweep.points;
  if (p.empty() || !(designMHz >= p.front().fMHz) || !(designMHz <= p.back().fMHz)) return band;
  std::size_t above = 0;  // first point at or above the design frequency
  while (p[above].fMHz < designMHz) ++above;
  const std::size_t below = above > 0 && p[above].fMHz > designMHz ? above - 1 : above;
  const double level = Interpolated(p[below], p[above], designMHz) - dropDb;
  band.designInSweep = true;

  band.lowMHz = p.front().fMHz;
  for (std::size_t i = below + 1; i-- > 0;) {
    if (p[i].gainDb < level) {
      band.lowFound = true;
      band.lowMHz = Crossing(p[i], p[i + 1], level);
      break;
    }
  }
  band.highMHz = p.back().fMHz;
  for (std::size_t i = above; i < p.size(); ++i) {
    if (p[i].gainDb < level) {
      band.highFound = true;
      band.highMHz = Crossing(p[i - 1], p[i], level);
      break;
    }
  }
  return band;
}

std::string DescribeBandwidth(const Bandwidth& band, double dropDb) {
  const std::string head = "Banda a −" + MHzText(dropDb) + " dB: ";
  if (!band.designInSweep) return head + "la frequenza di progetto è fuori dalla scansione";
  // An edge the sweep does not reach lies beyond its end.
  const std::string low = band.lowFound ? MHzText(band.lowMHz) + " MHz"
                                        : "meno di " + MHzText(band.lowMHz) + " MHz (oltre la scansione)";
  const std::string high = band.highFound
                               ? MHzText(band.highMHz) + " MHz"
                               : "più di " + MHzText(band.highMHz) + " MHz (oltre la scansione)";
  std::string text = head + "da " + low + " a " + high;
  if (band.lowFound && band.highFound) text += " (" + MHzText(band.widthMHz()) + " MHz)";
  return text;
}

std::vector<FrequencyBand> PossiblyUnstableBands(const SweepResult& sweep) {
  std::vector<double> f, mu;
  for (const AmplifierPoint& p : sweep.points) {
    f.push_back(p.fMHz);
    mu.push_back(p.muAmplifier);
  }
  return BandsAtOrBelowOne(f, mu);
}

std::string InstabilityWarning(const FrequencyBand& band) {
  return "possibile instabilità tra " + MHzText(band.fromMHz) + " e " + MHzText(band.toMHz) +
         " MHz";
}
