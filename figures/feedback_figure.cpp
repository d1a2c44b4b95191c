#include "figures/feedback_figure.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr Rgb kStableColour{0, 150, 70};
constexpr Rgb kGainColour{120, 40, 170};
constexpr Rgb kPoPiColour{20, 70, 200};
constexpr Rgb kBandColour{0, 140, 140};
constexpr Rgb kNfMinColour{220, 110, 0};
constexpr Rgb kNfColour{140, 90, 20};
// μ far above 1 says nothing more; the panel stops here.
constexpr double kMuCeiling = 3;

using RowValue = std::function<std::optional<double>(const FeedbackScanRow&)>;

std::optional<double> MuMin(const FeedbackScanRow& r) {
  if (!r.band || r.band->points == 0) return std::nullopt;
  return std::min(r.band->muMin, kMuCeiling);
}
std::optional<double> GainAtF(const FeedbackScanRow& r) {
  if (!r.atDesignFrequency || !r.atDesignFrequency->gainFinite) return std::nullopt;
  return r.atDesignFrequency->gainDb;
}

Curve CurveOf(std::span<const FeedbackScanRow> rows, const RowValue& value, std::string name, Rgb colour,
              Stroke stroke = Stroke::Solid) {
  std::vector<double> x;
  std::vector<std::optional<double>> y;
  for (const FeedbackScanRow& r : rows) {
    x.push_back(r.value);
    y.push_back(value(r));
  }
  return {.name = std::move(name), .colour = colour, .stroke = stroke, .width = 1.6, .pieces = SplitAtGaps(x, y)};
}

bool HasAny(std::span<const FeedbackScanRow> rows, const RowValue& value) {
  return std::any_of(rows.begin(), rows.end(), [&](const FeedbackScanRow& r) { return value(r).has_value(); });
}

// Runs of rows for which `inside` holds, edges at the rows' values.
std::vector<Band> RunsOf(std::span<const FeedbackScanRow> rows, const std::function<bool(const FeedbackScanRow&)>& inside,
                         const std::string& label, Rgb colour) {
  std::vector<Band> bands;
  bool open = false;
  for (const FeedbackScanRow& r : rows) {
    const bool in = inside(r);
    if (in && !open) bands.push_back({r.value, r.value, label, colour});
    if (in) bands.back().to = r.value;
    open = in;
  }
  return bands;
}

bool StableEverywhere(const FeedbackScanRow& r) { return r.band && r.band->stableEverywhere; }

Panel PanelOver(const Axis& x, std::span<const FeedbackScanRow> rows, const ExplorerFigureInput& input) {
  Panel panel;
  panel.x = x;
  for (Band band : RunsOf(rows, StableEverywhere, "", kStableColour)) panel.bands.push_back(band);
  if (input.chosen) panel.lines.push_back({*input.chosen, "", kValueLineColour, Stroke::Dashed});
  return panel;
}

std::string MHz(double f) { return FormatSignificant(f, 4) + " MHz"; }

}  // namespace

Figure BuildExplorerFigure(const ExplorerFigureInput& input) {
  const std::span<const FeedbackScanRow> rows = input.rows;
  Figure figure;
  const std::string valueTitle = input.field + " [" + input.unit + "]";
  std::vector<double> values;
  for (const FeedbackScanRow& r : rows) values.push_back(r.value);
  const Axis x = SpanAxis(valueTitle, values, true);

  // The shading is named once, under the panels: a name at the top of each
  // narrow band would run into the next.
  Panel stability = PanelOver(x, rows, input);
  stability.weight = 1.2;
  stability.curves.push_back(CurveOf(rows, MuMin, "μ minimo nella banda (transistor con reazione)", kMuColour));
  std::vector<double> mu{0.0, 1.5};
  for (const FeedbackScanRow& r : rows)
    if (auto m = MuMin(r)) mu.push_back(*m);
  stability.y = FitAxis("μ min", mu);
  stability.grid.push_back(LevelLine(x, 1));
  if (input.chosen) stability.lines.back().label = input.field + " = " + FormatSignificant(*input.chosen, 6) + " " + input.unit;
  figure.panels.push_back(stability);

  const std::string atF = " a " + MHz(input.fMHz);
  Panel gain = PanelOver(x, rows, input);
  gain.curves.push_back(CurveOf(rows, GainAtF, "MAG/MSG transistor con reazione" + atF, kGainColour));
  const RowValue poPi = [](const FeedbackScanRow& r) { return r.poPiDb; };
  gain.curves.push_back(CurveOf(rows, poPi, "Po/Pi del progetto", kPoPiColour));
  gain.y = FitAxis("G [dB]", CurveValuesY(gain));
  figure.panels.push_back(gain);

  // Each edge of the −1 dB band, so that one beyond the band leaves the other drawn.
  Panel band = PanelOver(x, rows, input);
  const RowValue low = [](const FeedbackScanRow& r) { return r.bandLowMHz; };
  const RowValue high = [](const FeedbackScanRow& r) { return r.bandHighMHz; };
  band.curves.push_back(CurveOf(rows, high, "banda a −1 dB del progetto: limite superiore", kBandColour));
  band.curves.push_back(CurveOf(rows, low, "limite inferiore", kBandColour, Stroke::Dashed));
  std::vector<double> edges = CurveValuesY(band);
  if (input.fMHz > 0) edges.push_back(input.fMHz);
  band.y = FitAxis("f [MHz]", edges);
  if (input.fMHz > 0) band.grid.push_back(LevelLine(x, input.fMHz));
  figure.panels.push_back(band);

  const RowValue nfMin = [](const FeedbackScanRow& r) { return r.nfMinPairDb; };
  const RowValue nf = [](const FeedbackScanRow& r) { return r.nfDb; };
  if (HasAny(rows, nfMin) || HasAny(rows, nf)) {
    Panel noise = PanelOver(x, rows, input);
    noise.weight = 0.8;
    noise.curves.push_back(CurveOf(rows, nfMin, "NFmin transistor con reazione" + atF, kNfMinColour));
    noise.curves.push_back(CurveOf(rows, nf, "NF del progetto", kNfColour));
    noise.y = FitAxis("NF [dB]", CurveValuesY(noise));
    figure.panels.push_back(noise);
  }
  if (std::any_of(rows.begin(), rows.end(), StableEverywhere))
    figure.notes.push_back({std::string("In verde: ") + kStableEverywhereLabel, kStableColour});
  if (!HasAny(rows, nfMin) && !HasAny(rows, nf))
    figure.notes.push_back({"nessun dato di rumore: NFmin e NF non sono disponibili", kNoteColour});
  // Every panel but the last keeps its value axis' title off, to save room.
  for (std::size_t i = 0; i + 1 < figure.panels.size(); ++i) figure.panels[i].x.title.clear();
  return figure;
}

const FeedbackScanRow* NearestRow(std::span<const FeedbackScanRow> rows, double value) {
  if (rows.empty() || !(value > 0) || !std::isfinite(value)) return rows.empty() ? nullptr : &rows.front();
  const double at = std::log(value);
  return &*std::min_element(rows.begin(), rows.end(), [&](const FeedbackScanRow& a, const FeedbackScanRow& b) {
    return std::fabs(std::log(a.value) - at) < std::fabs(std::log(b.value) - at);
  });
}

std::string ExplorerReadout(const FeedbackScanRow& r, const std::string& field, const std::string& unit) {
  std::string out = field + " = " + r.text + " " + unit + "\n";
  if (!r.band) {
    out += "il calcolo si è fermato prima della reazione";
    for (const std::string& m : r.messages) out += "\n" + m;
    return out;
  }
  if (r.band->points > 0)
    out += "μ minimo nella banda = " + FormatFixed(r.band->muMin, 3) + " a " + MHz(r.band->fMuMinMHz) + "\n";
  if (r.band->stableEverywhere) {
    out += std::string(kStableEverywhereLabel) + "\n";
  } else {
    out += "μ ≤ 1";
    for (std::size_t i = 0; i < r.band->unstable.size() && i < 3; ++i)
      out += (i ? ", " : " ") + std::string("tra ") + FormatSignificant(r.band->unstable[i].fromMHz, 4) + " e " +
             MHz(r.band->unstable[i].toMHz);
    if (r.band->unstable.size() > 3) out += ", …";
    out += "\n";
  }
  if (auto g = GainAtF(r))
    out += std::string(r.atDesignFrequency->gainIsMag ? "MAG" : "MSG") + " = " + FormatFixed(*g, 2) + " dB\n";
  if (r.nfMinPairDb) out += "NFmin = " + FormatFixed(*r.nfMinPairDb, 2) + " dB\n";
  if (!r.designed) {
    out += "progetto rifiutato";
    if (!r.messages.empty()) out += ": " + r.messages.front();
    return out;
  }
  if (r.poPiDb) out += "Po/Pi = " + FormatFixed(*r.poPiDb, 2) + " dB\n";
  out += "banda a −1 dB: da " + (r.bandLowMHz ? MHz(*r.bandLowMHz) : std::string("prima dell'inizio della banda")) +
         " a " + (r.bandHighMHz ? MHz(*r.bandHighMHz) : std::string("oltre la fine della banda"));
  if (r.nfDb) out += "\nNF = " + FormatFixed(*r.nfDb, 2) + " dB";
  return out;
}
