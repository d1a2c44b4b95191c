#include "text/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "model/arithmetic.h"

static bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Where the parts of the leading number lie within the text.
struct NumberPrefix {
  std::size_t signLength = 0;  // 0 or 1
  std::size_t length = 0;      // the whole prefix; 0 when there is no number
  std::size_t exponentStart = 0;  // index of the exponent letter, or length
};

static NumberPrefix ScanNumberPrefix(std::u16string_view text) {
  NumberPrefix p;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
  p.signLength = i;
  std::size_t digits = 0;
  bool point = false;
  for (; i < text.size(); ++i) {
    if (IsDigit(text[i])) {
      ++digits;
    } else if (text[i] == u'.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return p;
  p.length = p.exponentStart = i;
  // An exponent letter counts only together with at least one digit.
  if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      p.length = j;
    }
  }
  return p;
}

// The decimal order of magnitude of a prefix whose mantissa is not zero
// (1.5e3 → 3, 0.02 → −2), saturated far beyond the double range so that any
// number of exponent digits is harmless.
static std::int64_t DecimalOrder(std::string_view number, std::size_t exponentStart) {
  constexpr std::int64_t kLimit = 1'000'000'000;
  std::int64_t exponent = 0;
  if (exponentStart < number.size()) {
    std::size_t j = exponentStart + 1;
    const bool negative = number[j] == '-';
    if (number[j] == '+' || number[j] == '-') ++j;
    for (; j < number.size(); ++j) exponent = std::min(exponent * 10 + (number[j] - '0'), kLimit);
    if (negative) exponent = -exponent;
  }
  // Position of the first non-zero digit relative to the decimal point.
  std::int64_t integerDigits = 0, leading = 0;
  bool seenPoint = false, seenNonZero = false;
  for (std::size_t j = 0; j < exponentStart; ++j) {
    const char c = number[j];
    if (c == '.') {
      seenPoint = true;
    } else if (c >= '0' && c <= '9') {
      if (!seenNonZero && c != '0') seenNonZero = true;
      if (!seenPoint) {
        if (seenNonZero) ++integerDigits;
      } else if (!seenNonZero) {
        ++leading;
      }
    }
  }
  return integerDigits > 0 ? exponent + (integerDigits - 1) : exponent - (leading + 1);
}

bool IsPlainNumber(std::u16string_view text) {
  return !text.empty() && ScanNumberPrefix(text).length == text.size();
}

double ParseNumber(std::u16string_view text) {
  const NumberPrefix p = ScanNumberPrefix(text);
  if (p.length == 0) return 0.0;
  // from_chars takes no leading "+"; the prefix is plain ASCII.
  const bool negative = p.signLength == 1 && text[0] == u'-';
  std::string number;
  number.reserve(p.length);
  if (negative) number.push_back('-');
  for (std::size_t i = p.signLength; i < p.length; ++i)
    number.push_back(static_cast<char>(text[i]));
  const std::size_t exponentStart = p.exponentStart - p.signLength + (negative ? 1 : 0);

  double value = 0.0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Either beyond the largest double or below half the smallest denormal;
    // the two lie hundreds of decimal orders apart.
    if (DecimalOrder(number, exponentStart) >= 0) RaiseFault("ParseNumber", FaultKind::Overflow);
    return negative ? -0.0 : 0.0;
  }
  if (ec != std::errc{} || end != number.data() + number.size() || !std::isfinite(value))
    RaiseFault("ParseNumber", FaultKind::InvalidOperation);  // the scan and from_chars disagree
  return value;
}

// True when the exact decimal value of x has the digit 5 right after its third
// significant digit and nothing but zeros after that.
static bool LiesOnHalf(double x) {
  // A double's exact decimal expansion has at most 767 significant digits.
  char buf[800];
  const auto r =
      std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific, 780);
  const std::string_view digits(buf, r.ptr - buf);  // "d.ddd…de±xx"
  const std::size_t e = digits.find('e');
  // Digits after the point: the second and third significant ones, then the rest.
  if (e < 5 || digits[4] != '5') return false;
  for (std::size_t i = 5; i < e; ++i)
    if (digits[i] != '0') return false;
  return true;
}

std::string FormatNumber(double x) {
  if (!std::isfinite(x))
    RaiseFault("FormatNumber", std::isnan(x) ? FaultKind::InvalidOperation : FaultKind::Overflow);
  if (x == 0.0) return "0.00E+00";
  // to_chars rounds a half to even; the format rounds it away from zero. A
  // value exactly on the half and moved one step outward rounds up the same
  // way, carry into the exponent included.
  if (LiesOnHalf(x)) x = std::nextafter(x, x > 0 ? HUGE_VAL : -HUGE_VAL);
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 2);
  std::string text(buf, r.ptr);
  text[text.find('e')] = 'E';
  return text;
}

std::string ShortestNumberText(double x) {
  if (!std::isfinite(x))
    RaiseFault("ShortestNumberText", std::isnan(x) ? FaultKind::InvalidOperation : FaultKind::Overflow);
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, x);
  return std::string(buf, r.ptr);
}

std::string FileNumberText(double x) { return std::isfinite(x) ? ShortestNumberText(x) : std::string(); }
