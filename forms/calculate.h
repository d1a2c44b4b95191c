#pragma once
// The input window's Calculate command: check the fifteen fields, store the
// entered quantities, run the model and open the result window of the case.
#include "model/design_state.h"

// True when it opened a result window.
bool RunCalculate(DesignState& state);
// Sets Gf and Bf from the selected feedback option; false when the command
// must end ("Lf non può essere zero!" was shown).
bool ApplyFeedbackOption(DesignState& state);
