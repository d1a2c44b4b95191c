#pragma once
// The feedback explorer: the input window's design made again for each value
// of one feedback field (Rf, or Lf or Cf with Rf held), each value a whole
// session as Calculate and the result window's buttons run it, and for each
// the transistor's stability with that feedback across the response window's
// default band, the design's gain, −1 dB bandwidth and noise. Rows come back
// in the order of the values whatever the number of threads.
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/feedback_scan.h"
#include "model/quantities.h"
#include "figures/response_figure.h"
#include "noise/noise_parameters.h"
#include "session/session.h"
#include "session/session_batch.h"

enum class SweptElement { Rf, Lf, Cf };
struct SweptField {
  SweptElement element;
  Quantity quantity;  // its field of the input window
  const char* name;   // "Rf", the field's caption
  const char* unit;   // "kohm", the field's unit
};
const SweptField& SweptFieldOf(SweptElement element);
std::optional<SweptElement> SweptElementNamed(std::string_view name);  // "Rf", "Lf", "Cf"
// The input window's control of the field ("Text11").
std::string SweptControl(SweptElement element);

// N values from `from` to `to` spaced logarithmically, both ends included.
struct ExplorerRange {
  double from = 0, to = 0;
  int count = 0;
};
inline constexpr int kMaxExplorerValues = 10001;
// An Italian message for a range that cannot run, empty when it can.
std::string CheckExplorerRange(const ExplorerRange& range, SweptElement element);
std::vector<double> ExplorerValues(const ExplorerRange& range);
// An Italian message when the feedback option (1..4, 0 none) does not use
// the swept field, so that writing a value would not make that design.
std::string CheckExplorerFeedback(SweptElement element, int feedbackOption);

struct ExplorerInput {
  SessionInput base;  // the input window's texts and feedback option
  SweptElement element = SweptElement::Rf;
  std::shared_ptr<const TouchstoneData> touchstone;  // null: the entered S-parameters held constant
};

class FeedbackExplorer {
 public:
  // The file's transistor and noise block are converted here, once for all values.
  explicit FeedbackExplorer(ExplorerInput input);

  // The base session with the swept field typed as the value's shortest text.
  SessionInput SessionFor(double value) const;
  FeedbackScanRow RowOf(double value, const SessionResult& session) const;
  FeedbackScanRow Run(double value) const { return RowOf(value, RunSession(SessionFor(value))); }
  // Every value on `jobs` threads (< 1: one per core); see RunInParallel for
  // the progress and how to stop.
  std::vector<FeedbackScanRow> RunAll(std::span<const double> values, int jobs,
                                      const BatchProgress& progress = {}) const;

  // No file with more than one frequency: the entered S-parameters are held
  // constant from 0.5 to 1.5 f.
  bool constantTransistor() const { return !fileSource_.fromFile; }
  const ExplorerInput& input() const { return input_; }

 private:
  ExplorerInput input_;
  SweepSource fileSource_;  // used when fromFile
  std::vector<double> fileGrid_;
  std::vector<NoiseSample> noise_;
};

// CSV in the C locale with one header line; JSON: an array of objects with
// the same keys, null where the CSV field is empty.
std::string ExplorerCsvHeader();
std::string ExplorerCsvLine(const FeedbackScanRow& row);
std::string ExplorerJson(std::span<const FeedbackScanRow> rows);
