#include "analysis/preferred_values.h"

std::span<const double> SeriesMantissas(ESeries) { return {}; }
const char* SeriesName(ESeries) { return ""; }
PreferredValue NearestPreferred(double value, ESeries) { return {value, value, 0}; }
std::optional<DesignFigures> FiguresAt(const AmplifierDesign&, double, const SMatrix&) {
  return std::nullopt;
}
RoundedDesign RoundDesign(const AmplifierDesign& design, ESeries) { return {design, {}, {}, {}}; }
