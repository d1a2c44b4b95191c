// The field check, the number parse and the number format on arbitrary
// texts: the input is read once as UTF-8 (converted to UTF-16 as a paste
// would be) and once as raw UTF-16 code units, lone surrogates included; its
// first eight bytes are also formatted as a double.
//
// Each text is copied into a heap block of exactly its length, so that
// AddressSanitizer reports any read past its end.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "forms/field_check.h"
#include "forms/headless.h"
#include "fuzz/fuzz_checks.h"
#include "model/arithmetic.h"
#include "text/number_text.h"

namespace {

const std::string kEmpty = "vuoto";
const std::string kInvalid = "non valido";

bool IsAccepted(char16_t c) {
  return (c >= u'0' && c <= u'9') || c == u'e' || c == u'.' || c == u'E' || c == u'-' || c == u'+';
}

void CheckValidation(std::u16string_view text) {
  HeadlessMessages().clear();
  DesignState state;
  state.errorFlag = 1;  // a call starts afresh whatever the last one left
  ValidateNumberText(state, text, kEmpty, kInvalid);
  bool accepted = !text.empty();
  for (char16_t c : text) accepted = accepted && IsAccepted(c);
  const auto& messages = HeadlessMessages();
  if (accepted) {
    Require(state.errorFlag == 0 && messages.empty(), "accepted text left a message or the flag");
  } else {
    Require(state.errorFlag == 1, "rejected text left errorFlag 0");
    Require(messages.size() == 1, "a rejected text must give exactly one message");
    Require(messages[0] == (text.empty() ? kEmpty : kInvalid), "wrong message", messages[0]);
  }
}

// The formatted text must read back as the value to three significant digits.
void CheckFormat(double x) {
  const std::string text = FormatNumber(x);
  Require(IsFormattedNumber(text), "format outside d.ddE±dd[d]", text);
  Require((text[0] == '-') == (x < 0), "format lost the sign", text);
  if (x == 0) {
    Require(text == "0.00E+00", "zero formatted otherwise", text);
    return;
  }
  const double back = std::strtod(text.c_str(), nullptr);
  const double ax = std::fabs(x);
  if (ax >= std::numeric_limits<double>::min()) {
    // 1.795e308 and above may round up to 1.80E+308, beyond the double range.
    if (std::isinf(back)) {
      Require(ax > 1.795e308, "format rounded a value far from the maximum to overflow", text);
      return;
    }
    Require(std::fabs(back - x) <= 0.0050001 * std::fabs(back), "format is not x to 3 digits", text);
  }
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The length of the leading number, written down afresh from the grammar:
// an optional sign, digits with at most one ".", then an exponent letter with
// an optional sign, which counts only with at least one digit after it.
std::size_t LeadingNumberLength(std::u16string_view t) {
  std::size_t i = 0, digits = 0;
  if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) ++i;
  for (bool point = false; i < t.size(); ++i) {
    if (IsDigit(t[i])) ++digits;
    else if (t[i] == u'.' && !point) point = true;
    else break;
  }
  if (digits == 0) return 0;
  if (i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
    std::size_t j = i + 1;
    if (j < t.size() && (t[j] == u'+' || t[j] == u'-')) ++j;
    if (j < t.size() && IsDigit(t[j])) {
      while (j < t.size() && IsDigit(t[j])) ++j;
      i = j;
    }
  }
  return i;
}

void CheckParse(std::u16string_view text) {
  const std::size_t prefix = LeadingNumberLength(text);
  // The same prefix read by the C library (the prefix is plain ASCII).
  std::string ascii;
  ascii.reserve(prefix);
  for (std::size_t i = 0; i < prefix; ++i) ascii.push_back(static_cast<char>(text[i]));
  char* end = nullptr;
  errno = 0;
  const double reference = prefix == 0 ? 0.0 : std::strtod(ascii.c_str(), &end);
  Require(prefix == 0 || end == ascii.c_str() + ascii.size(), "strtod stops inside the prefix", ascii);

  double value;
  try {
    value = ParseNumber(text);
  } catch (const ArithmeticFault& fault) {
    Require(std::isinf(reference), "parse faulted on a value in range", ascii);
    Require(fault.kind() == FaultKind::Overflow, "parse fault is not an overflow", ascii);
    return;
  }
  Require(std::isfinite(value), "parse gave a non-finite value", ascii);
  Require(!std::isinf(reference), "parse did not fault beyond the double range", ascii);
  if (prefix == 0) Require(value == 0 && !std::signbit(value), "no prefix must give +0");
  // Both are correctly rounded, so they agree to the bit; an underflow to
  // zero keeps its sign.
  Require(std::memcmp(&value, &reference, sizeof value) == 0, "parse differs from strtod", ascii);
  CheckFormat(value);
}

void CheckText(std::u16string_view source) {
  std::unique_ptr<char16_t[]> exact(new char16_t[source.size()]);
  std::copy(source.begin(), source.end(), exact.get());
  const std::u16string_view text(exact.get(), source.size());
  CheckValidation(text);
  CheckParse(text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SetUiBackend(nullptr);  // the in-memory forms collect the messages
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckText(Utf8ToUtf16(bytes));

  std::u16string units(size / 2, u'\0');
  std::memcpy(units.data(), data, units.size() * sizeof(char16_t));
  CheckText(units);

  if (size >= sizeof(double)) {
    double x;
    std::memcpy(&x, data, sizeof x);
    if (std::isfinite(x)) CheckFormat(x);
  }
  return 0;
}
