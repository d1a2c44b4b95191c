#pragma once
// The frequency response of a finished amplifier as a figure, a table and
// CSV text: GT and the return losses in dB, K and μ of the amplifier and of
// the transistor with its feedback.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/sweep.h"
#include "figures/figure.h"
#include "noise/noise_cascade.h"

struct TouchstoneData;

// The transistor and the first sweep of a design's response: the file's data
// over the file's band when the design came from a file with more than one
// frequency; otherwise the entered S-parameters held constant from 0.5 to
// 1.5 times the design frequency.
struct SweepSource {
  TransistorSource transistor;
  SweepPlan plan;
  bool fromFile = false;
};
SweepSource DefaultSweepSource(const AmplifierDesign& design, std::shared_ptr<const TouchstoneData> data);

struct ResponseInput {
  const AmplifierDesign* design = nullptr;
  const SweepResult* sweep = nullptr;
  SweepScale scale = SweepScale::Linear;
  std::string caption{};                // which result window: "Form2 (ImZi < 0 ImZo < 0)"
  bool constantTransistor = false;      // no file: the entered S-parameters at every frequency
  const SweepResult* rounded = nullptr;  // the design with preferred values, or null
  std::string roundedSeries{};          // "E12"
  // The noise panel's points (NF of the amplifier, NFmin of the pair and of
  // the transistor) and where their data came from; no panel when null.
  const std::vector<NoisePanelPoint>* noise = nullptr;
  std::string noiseOrigin{};
};

// The notes under the plot: the −1 and −3 dB bandwidths, each band where
// μ ≤ 1, the points skipped.
std::vector<Note> ResponseNotes(const ResponseInput& input);
Figure BuildResponseFigure(const ResponseInput& input);

// The values at the sweep point nearest fMHz, one per line; empty without points.
// With noise points, the NF and NFmin at the nearest noise point too.
std::string ResponseReadout(const SweepResult& sweep, double fMHz,
                            const std::vector<NoisePanelPoint>* noise = nullptr);

// One row per sweep point: frequency, GT, input and output return loss, K
// and μ of the amplifier and of the transistor with feedback.
std::vector<std::string> ResponseColumnTitles();
std::vector<double> ResponseRow(const AmplifierPoint& point);
// C-locale CSV with one header line, every value with the digits that read
// back to the same double.
// With noise points, three more columns, empty where there are no noise data.
std::string ResponseCsv(const SweepResult& sweep, const std::vector<NoisePanelPoint>* noise = nullptr);
