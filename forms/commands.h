#pragma once
// The click actions of every window's push buttons and option buttons.
// Each runs to completion on the caller's thread; faults are told to the user
// through the message service and stop only the command.
#include <string_view>

#include "forms/services.h"
#include "model/design_state.h"

// True when the command ran to its end (Calculate opened a window, a compute
// command designed both networks); false when a message or a fault ended it.
bool HandleClick(DesignState& state, FormId form, std::string_view control);
