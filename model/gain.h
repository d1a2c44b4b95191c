#pragma once
#include "model/design_state.h"

// PoPi: the power gain with both ports conjugately matched, the power in the
// load conj(YL) over the power into the input (a ratio, not decibels).
void ComputeMatchedGain(DesignState& state);
