#pragma once
// The Touchstone reader's own parts (no caller outside touchstone/ includes
// this): the blank-separated tokens of a line and the numbers in them.
// TakeNumber runs once for each number of a file, nearly all the reader's
// time, so it and the helpers it calls must be inlined into the parser's
// loop: called out of line they make the reader 70 % slower (0.86 to 1.42 ms
// for 10001 frequencies, bench/bench_touchstone.cpp). Being defined here is
// not enough: GCC 12 inlined them while they were file-local functions called
// once, but left them out of line as header inline functions, hence
// always_inline.
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace touchstone {

inline bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// The next blank-separated token of `rest`, which it removes; empty at the end
// or at a comment.
inline std::string_view NextToken(std::string_view& rest) {
  std::size_t i = 0;
  while (i < rest.size() && IsBlank(rest[i])) ++i;
  std::size_t j = i;
  while (j < rest.size() && !IsBlank(rest[j]) && rest[j] != '!') ++j;
  const std::string_view token = rest.substr(i, j - i);
  rest.remove_prefix(j);
  return token;
}

inline std::size_t CountTokens(std::string_view rest) {
  std::size_t n = 0;
  while (!NextToken(rest).empty()) ++n;
  return n;
}

// A plain decimal split into its digits, as an integer, and its decimal
// exponent: "-12.5e3" is 125 and 2, negative. At most 19 digits, so that the
// integer cannot overflow, and at most 4 exponent digits; anything else is
// left to the general conversion, which also decides what is not a number.
struct PlainDecimal {
  const char* end = nullptr;
  bool negative = false;
  std::uint64_t digits = 0;
  int exponent = 0;
};

[[gnu::always_inline]] inline std::optional<PlainDecimal> SplitPlainDecimal(const char* p, const char* end) {
  PlainDecimal d;
  d.negative = p != end && *p == '-';
  if (d.negative) ++p;
  const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  int count = 0;
  for (; p != end && isDigit(*p); ++p, ++count) {
    if (count == 19) return std::nullopt;
    d.digits = d.digits * 10 + static_cast<unsigned>(*p - '0');
  }
  if (p != end && *p == '.') {
    for (++p; p != end && isDigit(*p); ++p, ++count, --d.exponent) {
      if (count == 19) return std::nullopt;
      d.digits = d.digits * 10 + static_cast<unsigned>(*p - '0');
    }
  }
  if (count == 0) return std::nullopt;
  if (p != end && (*p == 'e' || *p == 'E')) {
    ++p;
    const bool below = p != end && *p == '-';
    if (p != end && (*p == '-' || *p == '+')) ++p;
    int e = 0, n = 0;
    for (; p != end && isDigit(*p); ++p, ++n) {
      if (n == 4) return std::nullopt;
      e = e * 10 + (*p - '0');
    }
    if (n == 0) return std::nullopt;
    d.exponent += below ? -e : e;
  }
  d.end = p;
  return d;
}

// The nearest double to the decimal times 10^shift, where exact arithmetic
// gives it: when the digits are below 2^53 and the exponent within ±22, both
// they and the power of ten are exact doubles, so the one multiplication or
// division, rounded once, is the nearest double (Clinger's fast path).
[[gnu::always_inline]] inline std::optional<double> ExactValue(const PlainDecimal& d, int shift) {
  static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                      1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  const int exponent = d.exponent + shift;
  if (d.digits > (std::uint64_t{1} << 53) || exponent < -22 || exponent > 22) return std::nullopt;
  const double value = exponent < 0 ? static_cast<double>(d.digits) / kPow10[-exponent]
                                    : static_cast<double>(d.digits) * kPow10[exponent];
  return d.negative ? -value : value;
}

// Reads the number at the start of `rest`, times 10^shift, and removes it,
// in one pass. Nothing, and `rest` untouched, for anything but a finite
// number ended by a blank, a comment or the line's end, and for a scaled
// number beyond the exact quick path.
[[gnu::always_inline]] inline std::optional<double> TakeNumber(std::string_view& rest, int shift) {
  const char* end = rest.data() + rest.size();
  const char* p = rest.data() + (rest.front() == '+' ? 1 : 0);
  if (p != rest.data() && p != end && *p == '-') return std::nullopt;  // "+-"
  std::optional<double> v;
  const char* stop = nullptr;
  if (const std::optional<PlainDecimal> d = SplitPlainDecimal(p, end)) {
    v = ExactValue(*d, shift);
    stop = d->end;
  }
  if (!v) {
    if (shift != 0) return std::nullopt;
    double x = 0;
    const auto [last, ec] = std::from_chars(p, end, x, std::chars_format::general);
    if (ec != std::errc{} || !std::isfinite(x)) return std::nullopt;
    v = x;
    stop = last;
  }
  if (!(stop == end || IsBlank(*stop) || *stop == '!')) return std::nullopt;
  rest.remove_prefix(static_cast<std::size_t>(stop - rest.data()));
  return v;
}

// The token's value, the nearest double, whatever the locale; nothing for a
// token that is not wholly a finite number.
std::optional<double> ParseToken(std::string_view token);

// A frequency scaled to MHz by moving the decimal point of its text before it
// is converted, so "2.140" GHz becomes exactly 2140 rather than 2140 × 1000
// rounded twice. For the tokens TakeNumber leaves; `scratch` is reused
// storage.
std::optional<double> ParseScaled(std::string_view token, int shift, std::string& scratch);

// The integer after a keyword such as [Number of Ports].
std::optional<long long> KeywordCount(std::string_view rest);

}  // namespace touchstone
