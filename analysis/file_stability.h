#pragma once
// The design's stability judged over the whole transistor file, not only at
// the design frequency: a pair that is stable at f may oscillate elsewhere in
// the file, where the finished board still has gain. Information beside the
// design, never a reason to refuse it.
#include <optional>
#include <string>
#include <vector>

#include "analysis/amplifier.h"
#include "analysis/sweep.h"
#include "touchstone/touchstone.h"

struct FileStability {
  double fromMHz = 0, toMHz = 0;  // the file's range
  // The bands, at the file's own frequencies, where μ ≤ 1: of the
  // transistor alone, and of the transistor with the feedback element.
  std::vector<FrequencyBand> transistor, withFeedback;
};
// The file's transistor referred to ro (as the design uses it), its feedback
// admittance taken at each frequency. A frequency whose μ cannot be computed
// belongs to no band.
FileStability StabilityAcrossFile(const TouchstoneData& file, double ro, const FeedbackElement& feedback);

// The entered transistor of a state (EnteredTransistor, analysis/amplifier.h)
// with the state's feedback Gf + jBf; nullopt when the conversion overflows.
std::optional<SMatrix> EnteredPair(const DesignState& state);

// "stabile incondizionatamente in tutto il file (40–3000 MHz)", or the bands:
// "attenzione: μ ≤ 1, possibile oscillazione tra 40 e 800 MHz e a 1200 MHz".
std::string DescribeBands(const std::vector<FrequencyBand>& bands, double fromMHz, double toMHz);

// The line a result window shows under its layout and the report prints:
// the matched gain, μ of the pair at f, and the judgement over the file, or
// "(solo a f: nessun file Touchstone)" without one.
std::string DesignStabilityLine(const DesignState& state, const FileStability* file);
