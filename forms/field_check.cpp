#include "forms/field_check.h"

#include <algorithm>

#include "forms/services.h"
#include "model/arithmetic.h"
#include "text/number_text.h"

static bool IsAcceptedCharacter(char16_t c) {
  return (c >= u'0' && c <= u'9') || c == u'e' || c == u'.' || c == u'E' || c == u'-' || c == u'+';
}

void ValidateNumberText(DesignState& state, std::u16string_view text,
                        const std::string& messageEmpty, const std::string& messageInvalid) {
  state.errorFlag = 0;
  if (text.empty()) {
    ShowMessage(messageEmpty);
    state.errorFlag = 1;
    return;
  }
  // Any length is scanned whole; the field itself holds at most 32767 units.
  if (!std::all_of(text.begin(), text.end(), IsAcceptedCharacter)) {
    ShowMessage(messageInvalid);
    state.errorFlag = 1;
  }
}

std::optional<double> NonPlainReading(std::u16string_view text) {
  if (text.empty() || !std::all_of(text.begin(), text.end(), IsAcceptedCharacter) || IsPlainNumber(text))
    return std::nullopt;
  try {
    return ParseNumber(text);
  } catch (const ArithmeticFault&) {
    return std::nullopt;
  }
}
