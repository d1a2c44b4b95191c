#include "noise/design_noise.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "noise/noise_circles.h"

namespace {

constexpr double kDegreesPerRadian = 180.0 / 3.14159265358979323846;

// One decimal for the gain circles' labels, two for the noise steps.
std::string Decimals(double value, int decimals) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return buffer;
}

// Up to six significant digits, no trailing zeros: "900", "2140.5".
std::string Short(double value) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  return buffer;
}

SMatrix EnteredS(const DesignState& s) {
  return {std::polar(s.S11mag, s.S11ang), std::polar(s.S12mag, s.S12ang), std::polar(s.S21mag, s.S21ang),
          std::polar(s.S22mag, s.S22ang)};
}

std::optional<SMatrix> PairS(const AmplifierDesign& d) {
  if (d.feedback.kind == FeedbackKind::None) return d.transistor;
  return WithFeedback(d.transistor, d.Ro, FeedbackAdmittance(d.feedback, d.fMHz));
}

// The transistor with the design's feedback at a sweep point, from the
// transistor's Y normalised to 1/Ro (nullopt where that conversion failed).
std::optional<SMatrix> WithDesignFeedback(const AmplifierDesign& d, const ElementsAt& e, const SMatrix& s,
                                          const std::optional<YMatrix>& y) {
  if (d.feedback.kind == FeedbackKind::None) return s;
  if (!y) return std::nullopt;
  return WithFeedbackOfNormalized(*y, d.Ro, e.yf);
}

// The noise data at a sweep's rising frequencies: a file's block read by a
// NoiseBlockReader, which walks on from the last frequency instead of
// searching the block at each one (2 % of the panel's instructions), any
// other source asked at each frequency.
class SweepNoise {
 public:
  explicit SweepNoise(const NoiseSource& noise) : noise_(noise) {
    if (const FileNoiseBlock* file = noise.target<FileNoiseBlock>())
      reader_.emplace(*file->samples, file->referenceOhm);
  }
  std::optional<NoiseParameters> operator()(double fMHz) {
    if (reader_) return (*reader_)(fMHz);
    return noise_ ? noise_(fMHz) : std::nullopt;
  }

 private:
  const NoiseSource& noise_;
  std::optional<NoiseBlockReader> reader_;
};

}  // namespace

std::variant<NoiseParameters, std::string> NoiseOfEntry(const NoiseEntry& e, double r0) {
  return NoiseFromFields(e.nfMinDb, e.gammaOptMag, e.gammaOptDeg, e.rnOhm, r0);
}

NoiseSource DesignNoiseSource(const std::optional<NoiseEntry>& typed, double r0, const TouchstoneData* file) {
  if (typed) {
    const auto entry = NoiseOfEntry(*typed, r0);
    if (const auto* n = std::get_if<NoiseParameters>(&entry)) {
      const NoiseParameters held = *n;
      return [held](double) -> std::optional<NoiseParameters> { return held; };
    }
    return {};
  }
  if (file && !file->noise.empty()) return FileNoise(*file);
  return {};
}

std::string NoiseOriginText(const std::optional<NoiseEntry>& typed, const TouchstoneData* file) {
  if (typed) return "dati di rumore inseriti a mano, costanti in frequenza";
  if (file && !file->noise.empty()) return "dati di rumore dal file Touchstone";
  return {};
}

std::optional<NoiseAtDesign> NoiseAtState(const DesignState& s, const NoiseSource& noise) {
  if (!noise || !(s.fMHz > 0) || !(s.Ro > 0)) return std::nullopt;
  const std::optional<NoiseParameters> n = noise(s.fMHz);
  if (!n) return std::nullopt;
  const std::optional<NoiseParameters> transistor = ReferredTo(*n, s.Ro);
  const std::optional<PairNoise> pair = PairNoiseOf(EnteredS(s), s.Ro, *n, Cx{s.Gf, s.Bf});
  if (!transistor || !pair) return std::nullopt;
  return NoiseAtDesign{s.fMHz, *transistor, pair->noise};
}

std::optional<AmplifierNoise> NoiseOfDesign(const AmplifierDesign& d, const NoiseSource& noise) {
  if (!noise) return std::nullopt;
  const std::optional<NoiseParameters> n = noise(d.fMHz);
  if (!n) return std::nullopt;
  return AmplifierNoiseAt(d.fMHz, d.transistor, *n, NoiseNetworksOf(d, d.losses));
}

std::string DistanceFromMinimumText(double nfDb, double nfMinDb) {
  return "a " + Decimals(std::max(nfDb - nfMinDb, 0.0), 2) + " dB dal minimo";
}

namespace {

std::string ParametersText(const NoiseParameters& n) {
  return "NFmin = " + Decimals(n.nfMinDb(), 2) + " dB, Γopt = " + Decimals(MagnitudeOf(n.gammaOpt), 3) + " ∠ " +
         Decimals(DegreesOf(n.gammaOpt), 1) + "°, Rn = " + Decimals(n.rnOhm, 2) + " ohm";
}

}  // namespace

std::vector<std::string> NoiseSummaryLines(const AmplifierDesign& d, const NoiseSource& noise) {
  const std::optional<NoiseAtDesign> at = NoiseAtState(d.state, noise);
  if (!at) return {kNoNoiseData};
  std::vector<std::string> lines = {
      "Transistor a " + Short(d.fMHz) +
          " MHz: " + ParametersText(at->transistor),
      "Transistor con la reazione: " + ParametersText(at->withFeedback),
  };
  if (const std::optional<AmplifierNoise> a = NoiseOfDesign(d, noise))
    lines.push_back("Amplificatore progettato (sorgente RE attraverso la rete d'ingresso): NF = " +
                    Decimals(a->nfDb, 2) + " dB, " + DistanceFromMinimumText(a->nfDb, a->nfMinPairDb));
  else
    lines.push_back("NF dell'amplificatore progettato non calcolabile");
  lines.push_back("Γopt riferito a Ro = " + Short(d.Ro) +
                  " ohm");
  return lines;
}

double MagnitudeOf(Cx gamma) { return std::abs(gamma); }

double DegreesOf(Cx gamma) {
  const double deg = std::arg(gamma) * kDegreesPerRadian;
  return deg <= -180.0 ? deg + 360.0 : deg;
}

NoisySweep RunNoisySweep(const AmplifierDesign& design, const TransistorSource& transistor,
                         const NoiseSource& noise, const SweepPlan& plan) {
  NoisySweep result;
  const std::vector<double> frequencies = SweepFrequencies(plan);
  result.sweep.points.reserve(frequencies.size());
  if (noise) result.noise.reserve(frequencies.size());
  const bool renormalize = transistor.referenceOhm != design.Ro;
  const bool feedback = design.feedback.kind != FeedbackKind::None;
  const NoiseNetworks networks = NoiseNetworksOf(design, design.losses);
  SweepNoise noiseAt(noise);
  for (double f : frequencies) {
    std::optional<SMatrix> s = transistor.sAt ? transistor.sAt(f) : std::nullopt;
    if (s && renormalize) s = Renormalize(*s, transistor.referenceOhm, design.Ro);
    // The arms, Yf and the transistor's Y once for the response and the
    // noise: AnalyzeAt and AmplifierNoiseAt would each form them again.
    const ElementsAt elements = ElementsOf(design, f);
    std::optional<YMatrix> y = s && feedback ? NormalizedAdmittanceOf(*s) : std::nullopt;
    const std::optional<SMatrix> withFeedback =
        s ? WithDesignFeedback(design, elements, *s, y) : std::nullopt;
    const std::optional<AmplifierPoint> point =
        withFeedback ? AnalyzeAt(design, elements, *withFeedback) : std::nullopt;
    if (!point) {
      result.sweep.skippedMHz.push_back(f);
      continue;
    }
    result.sweep.points.push_back(*point);
    // The noise block first: most sweeps run far past its few frequencies.
    const std::optional<NoiseParameters> n = noiseAt(f);
    if (!n) continue;
    if (!feedback) y = NormalizedAdmittanceOf(*s);
    if (!y) continue;
    if (const std::optional<PanelNoise> a = PanelNoiseAt(elements, *y, *n, networks))
      result.noise.push_back({f, n->nfMinDb(), a->nfMinPairDb, a->nfDb});
  }
  return result;
}

std::optional<SourcePlane> SourcePlaneOf(const AmplifierDesign& d, const NoiseSource& noise) {
  if (!noise) return std::nullopt;
  const std::optional<NoiseParameters> n = noise(d.fMHz);
  const std::optional<SMatrix> s = PairS(d);
  if (!n || !s) return std::nullopt;
  const std::optional<PairNoise> pair = PairNoiseOf(d.transistor, d.Ro, *n, FeedbackAdmittance(d.feedback, d.fMHz));
  if (!pair) return std::nullopt;
  SourcePlane plane;
  plane.gammaOpt = pair->noise.gammaOpt;
  plane.nfMinDb = pair->noise.nfMinDb();
  for (double step : kNoiseCircleStepsDb) {
    const std::optional<Circle> c = NoiseCircle(pair->noise, std::pow(10.0, (plane.nfMinDb + step) / 10.0));
    if (c && IsFinite(c->centre) && std::isfinite(c->radius))
      plane.noiseCircles.push_back({c->centre, c->radius, "NFmin + " + Decimals(step, 2) + " dB"});
  }
  // The gain circle through Γopt (what the quietest source costs in gain),
  // then 1 and 3 dB below GA at the conjugate match's source point, each only
  // when 0.5 dB or more from those drawn: circles that nearly coincide would
  // only pile their labels on one another.
  std::vector<std::pair<double, std::string>> levels;
  const auto add = [&levels](double level, std::string suffix) {
    for (const auto& [kept, text] : levels)
      if (std::fabs(kept - level) < 0.5) return;
    levels.emplace_back(level, std::move(suffix));
  };
  if (const auto atOpt = AvailableGain(*s, plane.gammaOpt); atOpt && atOpt->ga > 0)
    add(10.0 * std::log10(atOpt->ga), " a Γopt");
  const std::optional<Cx> matched = GammaOf(std::conj(d.zi), d.Ro);
  if (const auto ga = matched ? AvailableGain(*s, *matched) : std::nullopt; ga && ga->ga > 0)
    for (double drop : {1.0, 3.0}) add(10.0 * std::log10(ga->ga) - drop, "");
  for (const auto& [level, suffix] : levels) {
    const std::optional<Circle> c = AvailableGainCircle(*s, std::pow(10.0, level / 10.0));
    if (c && IsFinite(c->centre) && std::isfinite(c->radius))
      plane.gainCircles.push_back({c->centre, c->radius, "GA = " + Decimals(level, 1) + " dB" + suffix});
  }
  return plane;
}
