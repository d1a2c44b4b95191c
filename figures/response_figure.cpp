#include "figures/response_figure.h"

#include <algorithm>
#include <cmath>

#include "touchstone/touchstone.h"

namespace {

constexpr Rgb kGainColour{20, 70, 200};
constexpr Rgb kInputLossColour{0, 140, 70};
constexpr Rgb kOutputLossColour{220, 110, 0};
constexpr Rgb kKColour{120, 40, 170};
constexpr Rgb kWarningColour{200, 0, 0};
constexpr Rgb kNoiseColour{20, 70, 200};
constexpr Rgb kNoiseMinColour{120, 40, 170};
constexpr Rgb kTransistorNoiseColour{0, 140, 70};

// The dB panel shows return losses up to this much above the best gain: an
// exact match has an unbounded return loss, which would flatten everything.
constexpr double kReturnLossHeadroomDb = 25;
// The stability panel stops here: far from the design K grows without bound.
constexpr double kStabilityCeiling = 4;

using Field = double AmplifierPoint::*;

std::vector<double> Frequencies(const SweepResult& sweep) {
  std::vector<double> f;
  f.reserve(sweep.points.size());
  for (const AmplifierPoint& p : sweep.points) f.push_back(p.fMHz);
  return f;
}

// The curve of one field against frequency. The skipped frequencies go in as
// gaps, so a line never bridges a stretch without data.
Curve CurveOf(const SweepResult& sweep, Field field, std::string name, Rgb colour, Stroke stroke = Stroke::Solid) {
  std::vector<std::pair<double, std::optional<double>>> samples;
  for (const AmplifierPoint& p : sweep.points) samples.emplace_back(p.fMHz, p.*field);
  for (double f : sweep.skippedMHz) samples.emplace_back(f, std::nullopt);
  std::stable_sort(samples.begin(), samples.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<double> x;
  std::vector<std::optional<double>> y;
  for (const auto& [f, v] : samples) {
    x.push_back(f);
    y.push_back(v);
  }
  return {.name = std::move(name), .colour = colour, .stroke = stroke, .width = 1.6, .pieces = SplitAtGaps(x, y)};
}

std::vector<double> FieldValues(const SweepResult& sweep, Field field) {
  std::vector<double> v;
  for (const AmplifierPoint& p : sweep.points) v.push_back(p.*field);
  return v;
}

Axis FrequencyAxis(const ResponseInput& input) {
  std::vector<double> all = Frequencies(*input.sweep);
  all.insert(all.end(), input.sweep->skippedMHz.begin(), input.sweep->skippedMHz.end());
  all.push_back(input.design->fMHz);
  return SpanAxis("Frequenza [MHz]", all, input.scale == SweepScale::Logarithmic);
}

std::optional<AmplifierPoint> NearestPoint(const SweepResult& sweep, double fMHz) {
  if (sweep.points.empty() || !std::isfinite(fMHz)) return std::nullopt;
  const auto best = std::min_element(sweep.points.begin(), sweep.points.end(), [&](const auto& a, const auto& b) {
    return std::fabs(a.fMHz - fMHz) < std::fabs(b.fMHz - fMHz);
  });
  return *best;
}

// GT at the design frequency, between the sweep points around it.
std::optional<double> GainAtDesign(const SweepResult& sweep, double fMHz) {
  const auto& p = sweep.points;
  for (std::size_t i = 1; i < p.size(); ++i) {
    if (p[i - 1].fMHz <= fMHz && fMHz <= p[i].fMHz) {
      const double span = p[i].fMHz - p[i - 1].fMHz;
      const double t = span > 0 ? (fMHz - p[i - 1].fMHz) / span : 0;
      return p[i - 1].gainDb + (p[i].gainDb - p[i - 1].gainDb) * t;
    }
  }
  if (p.size() == 1 && p.front().fMHz == fMHz) return p.front().gainDb;
  return std::nullopt;
}

void AddUnstableBands(Panel& panel, const std::vector<FrequencyBand>& bands, bool named) {
  for (const FrequencyBand& band : bands)
    panel.bands.push_back({band.fromMHz, band.toMHz, named ? InstabilityWarning(band) + " (μ ≤ 1)" : "", kWarningColour});
}

Panel GainPanel(const ResponseInput& input, const Axis& frequency, const std::vector<FrequencyBand>& unstable) {
  const SweepResult& sweep = *input.sweep;
  Panel panel;
  panel.x = frequency;
  panel.weight = 1.3;
  AddUnstableBands(panel, unstable, true);
  panel.curves.push_back(CurveOf(sweep, &AmplifierPoint::gainDb, "GT", kGainColour));
  panel.curves.push_back(CurveOf(sweep, &AmplifierPoint::inputReturnLossDb, "perdita di ritorno in ingresso",
                                 kInputLossColour));
  panel.curves.push_back(CurveOf(sweep, &AmplifierPoint::outputReturnLossDb, "perdita di ritorno in uscita",
                                 kOutputLossColour));
  if (input.rounded) {
    const std::string series = " (" + input.roundedSeries + ")";
    panel.curves.push_back(CurveOf(*input.rounded, &AmplifierPoint::gainDb, "GT valori commerciali" + series,
                                   kGainColour, Stroke::Dashed));
    panel.curves.push_back(CurveOf(*input.rounded, &AmplifierPoint::inputReturnLossDb,
                                   "ingresso valori commerciali" + series, kInputLossColour, Stroke::Dashed));
    panel.curves.push_back(CurveOf(*input.rounded, &AmplifierPoint::outputReturnLossDb,
                                   "uscita valori commerciali" + series, kOutputLossColour, Stroke::Dashed));
  }
  std::vector<double> values = FieldValues(sweep, &AmplifierPoint::gainDb);
  double gainTop = -INFINITY;
  for (double v : values) gainTop = std::max(gainTop, v);
  const double lossCeiling = std::isfinite(gainTop) ? std::max(gainTop, 0.0) + kReturnLossHeadroomDb : 40;
  for (Field field : {&AmplifierPoint::inputReturnLossDb, &AmplifierPoint::outputReturnLossDb})
    for (double v : FieldValues(sweep, field)) values.push_back(std::min(v, lossCeiling));
  if (input.rounded)
    for (double v : FieldValues(*input.rounded, &AmplifierPoint::gainDb)) values.push_back(v);
  panel.y = FitAxis("GT, perdite di ritorno [dB]", values);
  const double f0 = input.design->fMHz;
  panel.lines.push_back({f0, "f = " + FormatSignificant(f0, 6) + " MHz", kValueLineColour, Stroke::Dashed});
  if (const auto gain = GainAtDesign(sweep, f0))
    panel.markers.push_back({{f0, *gain}, "GT = " + FormatFixed(*gain, 2) + " dB", kGainColour, MarkerShape::Dot});
  return panel;
}

Panel StabilityPanel(const ResponseInput& input, const Axis& frequency, const std::vector<FrequencyBand>& unstable) {
  const SweepResult& sweep = *input.sweep;
  Panel panel;
  panel.x = frequency;
  AddUnstableBands(panel, unstable, false);
  panel.curves.push_back(CurveOf(sweep, &AmplifierPoint::kAmplifier, "K amplificatore", kKColour));
  panel.curves.push_back(CurveOf(sweep, &AmplifierPoint::muAmplifier, "μ amplificatore", kMuColour));
  panel.curves.push_back(
      CurveOf(sweep, &AmplifierPoint::kTransistor, "K transistor con reazione", kKColour, Stroke::Dotted));
  panel.curves.push_back(
      CurveOf(sweep, &AmplifierPoint::muTransistor, "μ transistor con reazione", kMuColour, Stroke::Dotted));
  std::vector<double> values{0.0, 1.5};
  for (Field field : {&AmplifierPoint::kAmplifier, &AmplifierPoint::muAmplifier, &AmplifierPoint::kTransistor,
                      &AmplifierPoint::muTransistor})
    for (double v : FieldValues(sweep, field)) values.push_back(std::clamp(v, -kStabilityCeiling, kStabilityCeiling));
  panel.y = FitAxis("K, μ", values);
  // The limit of unconditional stability.
  panel.grid.push_back(LevelLine(panel.x, 1));
  panel.lines.push_back({input.design->fMHz, "", kValueLineColour, Stroke::Dashed});
  return panel;
}

using NoiseField = double NoisePanelPoint::*;

// A noise curve; a gap wherever the sweep has a point and the noise none, so
// the line does not bridge the stretch outside the noise block.
Curve NoiseCurve(const ResponseInput& input, NoiseField field, std::string name, Rgb colour, Stroke stroke) {
  const std::vector<NoisePanelPoint>& noise = *input.noise;
  std::vector<double> x;
  std::vector<std::optional<double>> y;
  std::size_t k = 0;
  for (const AmplifierPoint& p : input.sweep->points) {
    while (k < noise.size() && noise[k].fMHz < p.fMHz) ++k;
    x.push_back(p.fMHz);
    y.push_back(k < noise.size() && noise[k].fMHz == p.fMHz ? std::optional<double>(noise[k].*field) : std::nullopt);
  }
  return {.name = std::move(name), .colour = colour, .stroke = stroke, .width = 1.6, .pieces = SplitAtGaps(x, y)};
}

Panel NoiseFigurePanel(const ResponseInput& input, const Axis& frequency) {
  Panel panel;
  panel.x = frequency;
  panel.weight = 0.8;
  panel.curves.push_back(NoiseCurve(input, &NoisePanelPoint::nfDb, "NF amplificatore", kNoiseColour, Stroke::Solid));
  panel.curves.push_back(
      NoiseCurve(input, &NoisePanelPoint::nfMinPairDb, "NFmin transistor con reazione", kNoiseMinColour, Stroke::Dashed));
  panel.curves.push_back(NoiseCurve(input, &NoisePanelPoint::nfMinTransistorDb, "NFmin transistor",
                                    kTransistorNoiseColour, Stroke::Dotted));
  std::vector<double> values{0.0};
  for (const NoisePanelPoint& p : *input.noise) values.insert(values.end(), {p.nfDb, p.nfMinPairDb, p.nfMinTransistorDb});
  panel.y = FitAxis("NF [dB]", values);
  const double f0 = input.design->fMHz;
  panel.lines.push_back({f0, "", kValueLineColour, Stroke::Dashed});
  // NF at the design frequency, between the noise points around it.
  const std::vector<NoisePanelPoint>& n = *input.noise;
  for (std::size_t i = 1; i < n.size(); ++i) {
    if (n[i - 1].fMHz <= f0 && f0 <= n[i].fMHz) {
      const double span = n[i].fMHz - n[i - 1].fMHz;
      const double t = span > 0 ? (f0 - n[i - 1].fMHz) / span : 0;
      const double nf = n[i - 1].nfDb + (n[i].nfDb - n[i - 1].nfDb) * t;
      panel.markers.push_back({{f0, nf}, "NF = " + FormatFixed(nf, 2) + " dB", kNoiseColour, MarkerShape::Dot});
      break;
    }
  }
  return panel;
}

std::optional<NoisePanelPoint> NearestNoise(const std::vector<NoisePanelPoint>* noise, double fMHz) {
  if (!noise || noise->empty() || !std::isfinite(fMHz)) return std::nullopt;
  return *std::min_element(noise->begin(), noise->end(), [&](const auto& a, const auto& b) {
    return std::fabs(a.fMHz - fMHz) < std::fabs(b.fMHz - fMHz);
  });
}

std::string ReadoutLine(const char* name, double value, int decimals, const char* unit = "") {
  return std::string(name) + " = " + FormatFixed(value, decimals) + unit;
}

}  // namespace

SweepSource DefaultSweepSource(const AmplifierDesign& design, std::shared_ptr<const TouchstoneData> data) {
  if (!data || data->records.size() < 2) return {ConstantTransistor(design), DefaultSweep(design), false};
  return {FileTransistor(*data), DefaultSweep(*data), true};
}

std::vector<Note> ResponseNotes(const ResponseInput& input) {
  std::vector<Note> notes;
  const SweepResult& sweep = *input.sweep;
  for (double drop : {1.0, 3.0})
    notes.push_back({DescribeBandwidth(BandwidthOf(sweep, input.design->fMHz, drop), drop), kNoteColour});
  for (const FrequencyBand& band : PossiblyUnstableBands(sweep))
    notes.push_back({"Attenzione: " + InstabilityWarning(band) + " (μ ≤ 1)", kWarningColour});
  if (!sweep.skippedMHz.empty())
    notes.push_back({std::to_string(sweep.skippedMHz.size()) +
                         " punti senza dati o non calcolabili sono stati saltati (da " +
                         FormatSignificant(sweep.skippedMHz.front(), 6) + " a " +
                         FormatSignificant(sweep.skippedMHz.back(), 6) + " MHz)",
                     kNoteColour});
  return notes;
}

Figure BuildResponseFigure(const ResponseInput& input) {
  Figure figure;
  figure.title = "Risposta in frequenza — " + input.caption;
  if (input.constantTransistor) figure.title += " — parametri S costanti: variano solo le reti e la reazione";
  const Axis frequency = FrequencyAxis(input);
  const std::vector<FrequencyBand> unstable = PossiblyUnstableBands(*input.sweep);
  figure.panels.push_back(GainPanel(input, frequency, unstable));
  figure.panels.push_back(StabilityPanel(input, frequency, unstable));
  figure.notes = ResponseNotes(input);
  if (input.noise && !input.noise->empty()) {
    figure.panels.push_back(NoiseFigurePanel(input, frequency));
    figure.notes.push_back({"Rumore: " + input.noiseOrigin, kNoteColour});
  } else if (input.noise) {
    figure.notes.push_back({"Rumore: nessun dato di rumore nelle frequenze della scansione", kNoteColour});
  }
  // The panels share the frequency axis: its title under the last only.
  for (std::size_t i = 0; i + 1 < figure.panels.size(); ++i) figure.panels[i].x.title.clear();
  return figure;
}

std::string ResponseReadout(const SweepResult& sweep, double fMHz, const std::vector<NoisePanelPoint>* noise) {
  const auto p = NearestPoint(sweep, fMHz);
  if (!p) return "";
  std::string noiseLine;
  if (const auto n = NearestNoise(noise, p->fMHz); n && n->fMHz == p->fMHz)
    noiseLine.append("\n")
        .append(ReadoutLine("NF", n->nfDb, 2, " dB"))
        .append("   ")
        .append(ReadoutLine("NFmin con reazione", n->nfMinPairDb, 2, " dB"));
  else if (noise)
    noiseLine = std::string("\n") + kNoNoiseData;
  return "f = " + FormatSignificant(p->fMHz, 7) + " MHz\n" + ReadoutLine("GT", p->gainDb, 2, " dB") + "\n" +
         ReadoutLine("perdita di ritorno in ingresso", p->inputReturnLossDb, 2, " dB") + "\n" +
         ReadoutLine("perdita di ritorno in uscita", p->outputReturnLossDb, 2, " dB") + "\n" +
         ReadoutLine("K", p->kAmplifier, 3) + "   " + ReadoutLine("μ", p->muAmplifier, 3) + "\n" +
         ReadoutLine("K transistor", p->kTransistor, 3) + "   " + ReadoutLine("μ transistor", p->muTransistor, 3) + noiseLine;
}

std::vector<std::string> ResponseColumnTitles() {
  return {"f [MHz]",  "GT [dB]",           "RL ingresso [dB]", "RL uscita [dB]",
          "K ampl.", "μ ampl.", "K transistor",     "μ transistor"};
}

std::vector<double> ResponseRow(const AmplifierPoint& p) {
  return {p.fMHz, p.gainDb, p.inputReturnLossDb, p.outputReturnLossDb, p.kAmplifier, p.muAmplifier,
          p.kTransistor, p.muTransistor};
}

std::string ResponseCsv(const SweepResult& sweep, const std::vector<NoisePanelPoint>* noise) {
  std::string csv =
      "f_MHz,GT_dB,input_return_loss_dB,output_return_loss_dB,K_amplifier,mu_amplifier,K_transistor,mu_transistor";
  csv += noise ? ",NFmin_dB,NFmin_Yf_dB,NF_dB\n" : "\n";
  std::size_t k = 0;
  for (const AmplifierPoint& p : sweep.points) {
    const std::vector<double> row = ResponseRow(p);
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (i > 0) csv += ',';
      csv += FormatRoundTrip(row[i]);
    }
    if (noise) {
      while (k < noise->size() && (*noise)[k].fMHz < p.fMHz) ++k;
      if (k < noise->size() && (*noise)[k].fMHz == p.fMHz) {
        const NoisePanelPoint& n = (*noise)[k];
        csv.append(",").append(FormatRoundTrip(n.nfMinTransistorDb));
        csv.append(",").append(FormatRoundTrip(n.nfMinPairDb));
        csv.append(",").append(FormatRoundTrip(n.nfDb));
      } else {
        csv += ",,,";
      }
    }
    csv += '\n';
  }
  return csv;
}
