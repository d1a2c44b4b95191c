#include "analysis/file_stability.h"

#include <cmath>
#include <complex>
#include <cstdio>

namespace {

// μ with three decimals where that reads well, else in the windows' way.
std::string MuText(double mu) {
  char buffer[48];
  if (std::fabs(mu) < 1e4)
    std::snprintf(buffer, sizeof buffer, "%.3f", mu);
  else
    std::snprintf(buffer, sizeof buffer, "%.2E", mu);
  return buffer;
}

std::string BandText(const FrequencyBand& band) {
  if (band.fromMHz == band.toMHz) return "a " + MHzText(band.fromMHz) + " MHz";
  return "tra " + MHzText(band.fromMHz) + " e " + MHzText(band.toMHz) + " MHz";
}

}  // namespace

FileStability StabilityAcrossFile(const TouchstoneData& file, double ro, const FeedbackElement& feedback) {
  FileStability result;
  const std::vector<SParamPoint> points = ComplexPoints(file);
  if (points.empty()) return result;
  result.fromMHz = points.front().fMHz;
  result.toMHz = points.back().fMHz;
  std::vector<double> fAlone, muAlone, fPair, muPair;
  for (const SParamPoint& p : points) {
    std::optional<SMatrix> s = Renormalize({p.s11, p.s12, p.s21, p.s22}, file.referenceOhm, ro);
    if (!s) continue;
    if (const std::optional<KAndMu> alone = KAndMuOf(*s)) {
      fAlone.push_back(p.fMHz);
      muAlone.push_back(alone->mu);
    }
    const std::optional<SMatrix> pair = feedback.kind == FeedbackKind::None
                                            ? s
                                            : WithFeedback(*s, ro, FeedbackAdmittance(feedback, p.fMHz));
    if (const std::optional<KAndMu> fed = pair ? KAndMuOf(*pair) : std::nullopt) {
      fPair.push_back(p.fMHz);
      muPair.push_back(fed->mu);
    }
  }
  result.transistor = BandsAtOrBelowOne(fAlone, muAlone);
  result.withFeedback = BandsAtOrBelowOne(fPair, muPair);
  return result;
}

std::optional<SMatrix> EnteredPair(const DesignState& s) {
  return WithFeedback(EnteredTransistor(s), s.Ro, Cx{s.Gf, s.Bf});
}

std::string DescribeBands(const std::vector<FrequencyBand>& bands, double fromMHz, double toMHz) {
  if (bands.empty())
    return "stabile incondizionatamente in tutto il file (" + MHzText(fromMHz) + "–" + MHzText(toMHz) + " MHz)";
  std::string text = "attenzione: μ ≤ 1, possibile oscillazione ";
  for (std::size_t i = 0; i < bands.size(); ++i)
    text += (i == 0 ? "" : i + 1 == bands.size() ? " e " : ", ") + BandText(bands[i]);
  return text;
}

std::string DesignStabilityLine(const DesignState& s, const FileStability* file) {
  std::string line;
  if (s.PoPi > 0 && std::isfinite(s.PoPi)) {
    char gain[48];
    std::snprintf(gain, sizeof gain, "%.2f", 10 * std::log10(s.PoPi));
    line = "Guadagno adattato " + std::string(gain) + " dB · ";
  }
  const std::optional<SMatrix> pair = EnteredPair(s);
  const std::optional<KAndMu> figures = pair ? KAndMuOf(*pair) : std::nullopt;
  line += "μ a " + MHzText(s.fMHz) + " MHz = " + (figures ? MuText(figures->mu) : std::string("non calcolabile"));
  if (!file) return line + " (solo a f: nessun file Touchstone)";
  return line + " · " + DescribeBands(file->withFeedback, file->fromMHz, file->toMHz);
}
