#pragma once
// Preferred component values and the design recomputed with them.
#include <array>
#include <span>

#include "analysis/amplifier.h"

enum class ESeries { E6, E12, E24, E96 };
// One decade of mantissas, from 1.00 up.
std::span<const double> SeriesMantissas(ESeries series);
const char* SeriesName(ESeries series);

struct PreferredValue {
  double exact = 0, rounded = 0;
  double errorPercent = 0;  // (rounded − exact) / exact × 100
};
// Nearest on a logarithmic scale; the sign is kept, 0 stays 0.
PreferredValue NearestPreferred(double value, ESeries series);

// What the windows show of a design at its frequency.
struct DesignFigures {
  Cx zitot, zotot;
  double inputReturnLossDb = 0, outputReturnLossDb = 0, gainDb = 0;
};
std::optional<DesignFigures> FiguresAt(const AmplifierDesign& design, double fMHz,
                                       const SMatrix& transistorAtRo);

struct RoundedDesign {
  // The six element values replaced by preferred ones; its `state` stays the
  // record of the exact design.
  AmplifierDesign design;
  std::array<PreferredValue, 6> values;  // input outer, shunt, inner; output outer, shunt, inner
  std::optional<DesignFigures> exact, rounded;  // at the design frequency
};
RoundedDesign RoundDesign(const AmplifierDesign& design, ESeries series);
