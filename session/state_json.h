#pragma once
// JSON text written by hand, so that a number appears as the shortest text
// that reads back as the same double and a design state is written the same
// way by every program that dumps one (the scenario runner, bjt-design).
#include <string>
#include <string_view>

#include "model/design_state.h"

// A JSON string of UTF-8 text: quotes, backslashes and control characters
// escaped, everything else as it is.
std::string JsonString(std::string_view utf8);
// The shortest round-trip text; "nan" and "inf" as strings.
std::string JsonNumber(double x);
// Every field of the state by name, then iterationCount and errorFlag.
std::string StateJson(const DesignState& state);
