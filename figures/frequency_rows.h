#pragma once
// What the frequency chooser shows for each frequency of a Touchstone file:
// the stability figures of the transistor alone and with the feedback chosen
// in the input window, and the small plot of μ and MAG/MSG against frequency.
#include <cstddef>
#include <optional>
#include <string>

#include "analysis/two_port.h"
#include "figures/figure.h"

struct TouchstoneData;

// The feedback of the input window, when an element is chosen and its
// fields hold valid numbers.
struct ChooserFeedback {
  FeedbackElement element;
  std::string name;  // "Rf", "Rf // Lf", "Rf // Cf"
};

// The input window's option and field texts to a feedback element; nullopt
// for no option, "Yf = 0" or a field that is not a valid number.
std::optional<ChooserFeedback> FeedbackOfTexts(int option, std::u16string_view rfKohm,
                                               std::u16string_view lfMicroH, std::u16string_view cfPicoF);

struct RowFigures {
  std::optional<StabilityFigures> alone;
  std::optional<StabilityFigures> withFeedback;  // set only when a feedback is given
  // A simultaneous conjugate match exists (μ > 1) for the design Calculate
  // would make: with the feedback when one is given.
  bool matchable = false;
  // NFmin of the transistor from the file's noise block interpolated onto the
  // row's frequency, and of the transistor with the feedback (with its
  // resistor's noise); nullopt where the block has no data.
  std::optional<double> nfMinDb, nfMinWithFeedbackDb;
};

RowFigures FiguresOfRow(const TouchstoneData& data, std::size_t index,
                        const std::optional<ChooserFeedback>& feedback);

// "MAG 12.3" / "MSG 15.1"; "" when there is no figure or the gain is unbounded.
std::string GainText(const std::optional<StabilityFigures>& figures);

// μ (top) and MAG/MSG (bottom) against frequency, and NFmin below them
// when the file has a noise block, from at most `samples`
// frequencies spread evenly over the file, so a million rows plot at once.
Figure ChooserFigure(const TouchstoneData& data, const std::optional<ChooserFeedback>& feedback,
                     std::size_t samples = 1500);
