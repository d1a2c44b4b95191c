#pragma once
// Numbers to and from text, independent of the C locale: the separator is
// always ".".
#include <string>
#include <string_view>

// The value of the longest leading part of `text` that forms a number: an
// optional sign, digits with at most one ".", and an optional exponent letter
// e/E with an optional sign and at least one digit. The rest is ignored; a
// text without such a part gives 0. A value beyond the double range raises
// ArithmeticFault ("ParseNumber", Overflow); one too small gives signed zero.
double ParseNumber(std::u16string_view text);
// True when that leading part is the whole text: the text is one plain
// number and ParseNumber ignores nothing of it ("0.2.07", "2-", "1E+" are not).
bool IsPlainNumber(std::u16string_view text);

// Pattern "0.00E+00": one digit, ".", two digits, "E", the exponent's sign and
// at least two exponent digits; a leading "-" for negative values, zero (also
// negative zero) as "0.00E+00". A mantissa exactly on a half rounds away from
// zero. A non-finite value raises ArithmeticFault ("FormatNumber").
std::string FormatNumber(double x);

// The shortest decimal text that ParseNumber reads back as exactly x, made
// only of the characters ValidateNumberText accepts (digits, ".", "e", "-"):
// 2140 -> "2140", 0.1 -> "0.1", 1e-7 -> "1e-07". A non-finite value raises
// ArithmeticFault ("ShortestNumberText").
std::string ShortestNumberText(double x);
// The same for files written out (CSV, netlists), empty for a value that
// is not finite, so no file ever carries "inf" or "nan".
std::string FileNumberText(double x);
