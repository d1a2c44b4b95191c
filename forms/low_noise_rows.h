#pragma once
// What the low-noise design shows, as rows of caption, value and unit: the
// six elements and the figures. The window, its copy to the clipboard and
// bjt-design's report all write these rows.
#include <string>
#include <vector>

#include "forms/result_table.h"
#include "forms/services.h"
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

// The result window that designs this pair of network kinds (Form2
// L-C-L/L-C-L, Form3 L-C-L/C-L-C, Form4 C-L-C/C-L-C, Form5 C-L-C/L-C-L):
// its schematic and its box captions serve the low-noise design too.
FormId ResultWindowOfKinds(NetworkKinds kinds);
// What that window's value boxes would show for the low-noise design, in the
// windows' number format: elements, gains (Po/Pi = GT), feedback and the
// verification's impedances, from the design's state.
ShownValue LowNoiseBoxTexts(const LowNoiseDesign& design);
