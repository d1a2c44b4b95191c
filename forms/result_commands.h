#pragma once
// The two commands of the result windows Form2 to Form5.
#include <optional>

#include "analysis/amplifier.h"
#include "forms/services.h"
#include "model/design_state.h"
#include "networks/t_networks.h"
#include "verification/verify.h"

// Command1: sign test, feedback display, gains, both T networks, verification.
// True when it ran to the end, so the window shows a whole design.
bool RunCompute(FormId form, DesignState& state);
// Command2: makes the verification panel visible.
void ShowVerificationPanel(FormId form);
// The feedback display of a result window, the same in all four.
void ShowFeedbackElement(FormId form, DesignState& state);

// The networks a result window designs: Form2 L-C-L/L-C-L, Form3 L-C-L/C-L-C,
// Form4 C-L-C/C-L-C, Form5 C-L-C/L-C-L.
NetworkKinds NetworkKindsOf(FormId form);

// The design a result window shows, for analysis and export; nullopt for
// Form1 or when the window has not computed a usable design.
std::optional<AmplifierDesign> CaptureDesign(FormId window, const DesignState& state);
