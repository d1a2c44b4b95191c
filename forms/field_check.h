#pragma once
// The check of one numeric field's text before it is parsed: a character
// filter, not a grammar.
#include <string>
#include <string_view>

#include "model/design_state.h"

// Accepts a non-empty text made only of the digits 0-9 and "e", ".", "E",
// "-", "+", however arranged. Otherwise shows messageEmpty (empty text) or
// messageInvalid (any other character) and sets errorFlag to 1; an accepted
// text leaves errorFlag 0. At most one message per call.
void ValidateNumberText(DesignState& state, std::u16string_view text,
                        const std::string& messageEmpty, const std::string& messageInvalid);
