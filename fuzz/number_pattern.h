#pragma once
// The shape of every number a window shows.
#include <cstddef>
#include <string_view>

// "0.00E+00": an optional "-", one digit, ".", two digits, "E", a sign and two
// or three exponent digits.
inline bool IsFormattedNumber(std::string_view t) {
  auto digit = [&](std::size_t i) { return i < t.size() && t[i] >= '0' && t[i] <= '9'; };
  std::size_t i = (!t.empty() && t[0] == '-') ? 1 : 0;
  if (!digit(i) || i + 1 >= t.size() || t[i + 1] != '.' || !digit(i + 2) || !digit(i + 3))
    return false;
  i += 4;
  if (i + 1 >= t.size() || t[i] != 'E' || (t[i + 1] != '+' && t[i + 1] != '-')) return false;
  const std::size_t exponentDigits = t.size() - (i + 2);
  if (exponentDigits < 2 || exponentDigits > 3) return false;
  for (std::size_t k = i + 2; k < t.size(); ++k)
    if (!digit(k)) return false;
  return true;
}
