#pragma once
// The feedback explorer's picture: for each value of the swept feedback
// field, on a logarithmic axis, the smallest μ of the transistor with that
// feedback over the band (values stable across the whole band shaded), the
// pair's MAG or MSG and the design's Po/Pi at f, the design's −1 dB
// bandwidth and, with noise data, NFmin of the pair and NF of the design.
#include <optional>
#include <span>
#include <string>

#include "analysis/feedback_scan.h"
#include "figures/figure.h"

struct ExplorerFigureInput {
  std::span<const FeedbackScanRow> rows;  // in rising order of value
  std::string field;                      // "Rf"
  std::string unit;                       // "kohm"
  double fMHz = 0;                        // the design frequency
  std::optional<double> chosen;           // the value picked, marked by a line
};

// "stabile incondizionatamente in tutta la banda"
inline constexpr const char* kStableEverywhereLabel = "stabile incondizionatamente in tutta la banda";

Figure BuildExplorerFigure(const ExplorerFigureInput& input);

// The row whose value is nearest `value` on the logarithmic axis; nullptr without rows.
const FeedbackScanRow* NearestRow(std::span<const FeedbackScanRow> rows, double value);
// What the explorer says of a row, one line each: the value, μ over the
// band, the gain at f, the design, its bandwidth, its noise.
std::string ExplorerReadout(const FeedbackScanRow& row, const std::string& field, const std::string& unit);
