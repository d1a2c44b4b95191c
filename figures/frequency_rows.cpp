#include "figures/frequency_rows.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <vector>

#include "noise/noise_cascade.h"
#include "text/number_text.h"
#include "touchstone/fields.h"

namespace {

constexpr Rgb kGainColour{20, 70, 200};
constexpr Rgb kNoiseColour{0, 130, 110};

// The field check's characters, and a value that parses to a finite number.
std::optional<double> NumberOfText(std::u16string_view text) {
  if (text.empty()) return std::nullopt;
  for (char16_t c : text)
    if (!((c >= u'0' && c <= u'9') || c == u'e' || c == u'E' || c == u'.' || c == u'-' || c == u'+'))
      return std::nullopt;
  try {
    const double value = ParseNumber(text);
    if (std::isfinite(value)) return value;
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

SMatrix MatrixOf(const SParamPoint& p) { return {.s11 = p.s11, .s12 = p.s12, .s21 = p.s21, .s22 = p.s22}; }

std::optional<StabilityFigures> WithFeedbackFigures(const TouchstoneData& data, const SParamPoint& p,
                                                    const ChooserFeedback& feedback) {
  const Cx yf = FeedbackAdmittance(feedback.element, p.fMHz);
  if (!std::isfinite(yf.real()) || !std::isfinite(yf.imag())) return std::nullopt;
  const std::optional<SMatrix> s = WithFeedback(MatrixOf(p), data.referenceOhm, yf);
  if (!s) return std::nullopt;
  return StabilityOf(*s);
}

// Indices spread evenly from the first to the last frequency.
std::vector<std::size_t> SampleIndices(std::size_t count, std::size_t samples) {
  std::vector<std::size_t> out;
  if (count == 0) return out;
  const std::size_t n = std::min(count, std::max<std::size_t>(samples, 2));
  for (std::size_t i = 0; i < n; ++i)
    out.push_back(n == 1 ? 0 : static_cast<std::size_t>(static_cast<double>(i) * (count - 1) / (n - 1)));
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

Curve CurveOf(std::string name, Rgb colour, Stroke stroke, const std::vector<double>& x,
              const std::vector<std::optional<double>>& y) {
  return {.name = std::move(name), .colour = colour, .stroke = stroke, .width = 1.4, .pieces = SplitAtGaps(x, y)};
}

}  // namespace

std::optional<ChooserFeedback> FeedbackOfTexts(int option, std::u16string_view rfKohm,
                                               std::u16string_view lfMicroH, std::u16string_view cfPicoF) {
  if (option < 1 || option > 3) return std::nullopt;
  const std::optional<double> rf = NumberOfText(rfKohm);
  if (!rf || *rf < 0) return std::nullopt;
  if (option == 1) return ChooserFeedback{MakeFeedback(FeedbackKind::R, *rf, 0, 0), "Rf"};
  const std::optional<double> other = NumberOfText(option == 2 ? lfMicroH : cfPicoF);
  if (!other || *other < 0) return std::nullopt;
  if (option == 2) return ChooserFeedback{MakeFeedback(FeedbackKind::RParallelL, *rf, *other, 0), "Rf // Lf"};
  return ChooserFeedback{MakeFeedback(FeedbackKind::RParallelC, *rf, 0, *other), "Rf // Cf"};
}

RowFigures FiguresOfRow(const TouchstoneData& data, std::size_t index,
                        const std::optional<ChooserFeedback>& feedback) {
  RowFigures row;
  const SParamPoint p = PointAt(data, index);
  row.alone = StabilityOf(MatrixOf(p));
  if (feedback) row.withFeedback = WithFeedbackFigures(data, p, *feedback);
  const std::optional<StabilityFigures>& design = feedback ? row.withFeedback : row.alone;
  row.matchable = design && design->mu > 1;
  if (data.noise.empty()) return row;
  const std::optional<NoiseParameters> noise = FileNoiseAt(data, p.fMHz);
  if (!noise) return row;
  row.nfMinDb = noise->nfMinDb();
  if (feedback) {
    const Cx yf = FeedbackAdmittance(feedback->element, p.fMHz);
    if (const auto pair = PairNoiseOf(MatrixOf(p), data.referenceOhm, *noise, yf))
      row.nfMinWithFeedbackDb = pair->noise.nfMinDb();
  }
  return row;
}

std::string GainText(const std::optional<StabilityFigures>& figures) {
  if (!figures || !figures->gainFinite) return "";
  return std::string(figures->gainIsMag ? "MAG " : "MSG ") + FormatFixed(figures->gainDb, 2);
}

Figure ChooserFigure(const TouchstoneData& data, const std::optional<ChooserFeedback>& feedback,
                     std::size_t samples) {
  std::vector<double> f;
  std::vector<std::optional<double>> mu, gain, muFb, gainFb, nfMin, nfMinFb;
  for (std::size_t i : SampleIndices(data.records.size(), samples)) {
    const RowFigures row = FiguresOfRow(data, i, feedback);
    f.push_back(data.records[i].fMHz);
    const auto muOf = [](const std::optional<StabilityFigures>& s) {
      // Far from any design μ grows without bound and would flatten the rest.
      return s ? std::optional<double>(std::min(s->mu, 4.0)) : std::nullopt;
    };
    const auto gainOf = [](const std::optional<StabilityFigures>& s) {
      return s && s->gainFinite ? std::optional<double>(s->gainDb) : std::nullopt;
    };
    mu.push_back(muOf(row.alone));
    gain.push_back(gainOf(row.alone));
    muFb.push_back(muOf(row.withFeedback));
    gainFb.push_back(gainOf(row.withFeedback));
    nfMin.push_back(row.nfMinDb);
    nfMinFb.push_back(row.nfMinWithFeedbackDb);
  }
  const double lo = f.empty() ? 0 : f.front(), hi = f.empty() ? 1 : f.back();

  Panel top;
  top.x = FixedAxis("", lo, hi > lo ? hi : lo + 1);
  top.curves.push_back(CurveOf("μ", kMuColour, Stroke::Solid, f, mu));
  if (feedback) top.curves.push_back(CurveOf("μ con " + feedback->name, kMuColour, Stroke::Dashed, f, muFb));
  top.curves.push_back({.name = "", .colour = kLimitColour, .stroke = Stroke::Dotted, .width = 1,
                        .pieces = {{{top.x.min, 1.0}, {top.x.max, 1.0}}}});
  top.y = FitAxis("μ", CurveValuesY(top), 4);

  Panel bottom;
  bottom.x = FixedAxis("Frequenza [MHz]", top.x.min, top.x.max);
  bottom.curves.push_back(CurveOf("MAG/MSG", kGainColour, Stroke::Solid, f, gain));
  if (feedback)
    bottom.curves.push_back(CurveOf("MAG/MSG con " + feedback->name, kGainColour, Stroke::Dashed, f, gainFb));
  bottom.y = FitAxis("dB", CurveValuesY(bottom), 4);
  // The layout gives the plots the same height whatever margins they have.

  Figure figure;
  figure.panels = {std::move(top), std::move(bottom)};
  if (!data.noise.empty()) {
    Panel noise;
    noise.x = FixedAxis("Frequenza [MHz]", top.x.min, top.x.max);
    figure.panels[1].x.title = "";
    noise.curves.push_back(CurveOf("NFmin", kNoiseColour, Stroke::Solid, f, nfMin));
    if (feedback)
      noise.curves.push_back(CurveOf("NFmin con " + feedback->name, kNoiseColour, Stroke::Dashed, f, nfMinFb));
    noise.y = FitAxis("NFmin [dB]", CurveValuesY(noise), 4);
    figure.panels.push_back(std::move(noise));
  }
  return figure;
}
