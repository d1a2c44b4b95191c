#pragma once
// What the low-noise design shows, as rows of caption, value and unit: the
// six elements and the figures. The window, its copy to the clipboard and
// bjt-design's report all write these rows.
#include <string>
#include <vector>

#include "noise/low_noise_design.h"

struct LowNoiseRow {
  std::string caption;  // "Li1", "GT"
  double value = 0;
  std::string unit;     // "nH", "dB", "" for a ratio
};

// Input network outer, shunt, inner arm, then the output network's, with
// the names and units the result windows give them.
std::vector<LowNoiseRow> LowNoiseElementRows(const LowNoiseDesign& design);
// Γs, Zs, ΓL, ZL, GT, NF, NFmin, the distance, return losses, VSWR, μ.
std::vector<LowNoiseRow> LowNoiseFigureRows(const LowNoiseDesign& design);
// "caption\tvalue\tunit" lines of both, the values in the windows' number
// format, with the target first.
std::string LowNoiseRowsText(const LowNoiseDesign& design);
