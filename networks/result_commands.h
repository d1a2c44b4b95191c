#pragma once
// The two commands of the result windows Form2 to Form5.
#include "model/design_state.h"
#include "ui/services.h"

// Command1: sign test, feedback display, gains, both T networks, verification.
void RunCompute(FormId form, DesignState& state);
// Command2: makes the verification panel visible.
void ShowVerificationPanel(FormId form);
// The feedback display of a result window, the same in all four.
void ShowFeedbackElement(FormId form, DesignState& state);
