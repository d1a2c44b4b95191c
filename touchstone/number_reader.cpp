#include "touchstone/number_reader.h"

#include <algorithm>

namespace touchstone {

std::optional<double> ParseToken(std::string_view token) {
  // from_chars takes a "-" but no "+".
  if (!token.empty() && token.front() == '+') {
    token.remove_prefix(1);
    if (!token.empty() && token.front() == '-') return std::nullopt;
  }
  double value = 0;
  const auto [end, ec] =
      std::from_chars(token.data(), token.data() + token.size(), value, std::chars_format::general);
  if (ec != std::errc{} || end != token.data() + token.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<double> ParseScaled(std::string_view token, int shift, std::string& scratch) {
  if (shift == 0) return ParseToken(token);
  const std::size_t e = token.find_first_of("eE");
  long long exponent = 0;
  if (e != std::string_view::npos) {
    std::string_view digits = token.substr(e + 1);
    bool negative = false;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
      negative = digits.front() == '-';
      digits.remove_prefix(1);
    }
    if (digits.empty()) return std::nullopt;
    for (char c : digits) {
      if (c < '0' || c > '9') return std::nullopt;
      // Far beyond the double range either way; the sum below stays exact.
      exponent = std::min(exponent * 10 + (c - '0'), 1'000'000'000LL);
    }
    if (negative) exponent = -exponent;
  }
  const std::string_view mantissa = token.substr(0, e);
  if (mantissa.find_first_not_of("+-.0123456789") != std::string_view::npos) return std::nullopt;
  scratch.assign(mantissa);
  scratch += 'e';
  scratch += std::to_string(exponent + shift);
  return ParseToken(scratch);
}

std::optional<long long> KeywordCount(std::string_view rest) {
  const std::string_view token = NextToken(rest);
  if (token.empty() || !NextToken(rest).empty()) return std::nullopt;
  long long n = 0;
  const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), n);
  if (ec != std::errc{} || end != token.data() + token.size() || n < 0) return std::nullopt;
  return n;
}

}  // namespace touchstone
