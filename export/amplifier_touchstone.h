#pragma once
// The finished amplifier's S-parameters across a sweep as a Touchstone file:
// RI pairs, frequencies in Hz, comment lines naming the design. Version 1.1
// with R = RE when RE = RL; version 2.0 with "[Reference] RE RL" otherwise.
#include <string>

#include "analysis/sweep.h"

// `heldConstant`: the sweep held the entered S-parameters at every
// frequency (no transistor file), which a comment line then says.
std::string AmplifierTouchstoneText(const AmplifierDesign& design, const SweepResult& sweep,
                                    bool heldConstant = false);
