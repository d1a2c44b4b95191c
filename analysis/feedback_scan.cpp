#include "analysis/feedback_scan.h"

BandStability PairStabilityOver(const TransistorSource& transistor, double ro,
                                const FeedbackElement& feedback, std::span<const double> frequencies) {
  BandStability result;
  result.stableEverywhere = !frequencies.empty();
  const bool renormalize = transistor.referenceOhm != ro;
  bool inside = false;
  for (double f : frequencies) {
    std::optional<SMatrix> s = transistor.sAt ? transistor.sAt(f) : std::nullopt;
    if (s && renormalize) s = Renormalize(*s, transistor.referenceOhm, ro);
    if (s) s = TransistorWithFeedback(feedback, ro, f, *s);
    const std::optional<KAndMu> figures = s ? KAndMuOf(*s) : std::nullopt;
    if (figures && (result.points == 0 || figures->mu < result.muMin)) {
      result.muMin = figures->mu;
      result.fMuMinMHz = f;
    }
    if (figures) ++result.points;
    // A point whose μ is unknown is not known to be stable.
    const bool unstable = !figures || !(figures->mu > 1);
    if (unstable && !inside) result.unstable.push_back({f, f});
    if (unstable) result.unstable.back().toMHz = f;
    inside = unstable;
  }
  result.stableEverywhere = result.stableEverywhere && result.unstable.empty();
  return result;
}
