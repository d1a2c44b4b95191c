#pragma once
// The check of one numeric field's text before it is parsed: a character
// filter, not a grammar.
#include <optional>
#include <string>
#include <string_view>

#include "model/design_state.h"

// Accepts a non-empty text made only of the digits 0-9 and "e", ".", "E",
// "-", "+", however arranged. Otherwise shows messageEmpty (empty text) or
// messageInvalid (any other character) and sets errorFlag to 1; an accepted
// text leaves errorFlag 0. At most one message per call.
void ValidateNumberText(DesignState& state, std::u16string_view text,
                        const std::string& messageEmpty, const std::string& messageInvalid);

// The number a text is read as when the check above accepts it but it is not
// one plain number ("0.2.07" is read as 0.2, "2-" as 2, "--3" as 0): the
// reading stands, and the windows and reports say it. Nullopt for a plain
// number, a refused text or one beyond the double range.
std::optional<double> NonPlainReading(std::u16string_view text);
