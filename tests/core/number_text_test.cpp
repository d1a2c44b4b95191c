#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "forms/headless.h"
#include "tests/core/worked_example.h"
#include "text/number_text.h"

static const double kTiny = std::numeric_limits<double>::denorm_min();

TEST(ParseNumber, LongestNumericPrefix) {
  const struct { const char16_t* text; double value; } cases[] = {
      {u"1.5e3", 1500}, {u"-.5", -0.5}, {u"+2.5", 2.5}, {u"1-2", 1}, {u"1.2.3", 1.2},
      {u"5.", 5}, {u"1e", 1}, {u"1e+", 1}, {u"1E-5", 1e-5}, {u"1e5e5", 1e5}, {u"0.1", 0.1},
      {u"", 0}, {u"+", 0}, {u"-", 0}, {u".", 0}, {u"e5", 0}, {u".e5", 0}, {u"--3", 0},
      {u" 5", 0}, {u"inf", 0}, {u"nan", 0}, {u"0x10", 0}, {u"\uFF11", 0},
      // Below the double range: the correctly rounded denormal or a zero.
      {u"1e-400", 0}, {u"1e-99999999999999999999", 0}, {u"0e99999999999999999999", 0},
      {u"4.9e-324", kTiny}, {u"2.4703282292062328e-324", kTiny}, {u"2.4703282292062327e-324", 0},
      {u"1.7976931348623157e308", std::numeric_limits<double>::max()},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseNumber(c.text), c.value) << Utf16ToUtf8(c.text);
  EXPECT_TRUE(std::signbit(ParseNumber(u"-1e-400")));
  // Leading zeros count against the exponent.
  EXPECT_EQ(ParseNumber(u"0." + std::u16string(399, u'0') + u"1e409"), 1e9);
  EXPECT_EQ(ParseNumber(u"0." + std::u16string(500, u'0') + u"1e-5"), 0);
  const std::u16string buffer = u"1e5";  // only the given part is read
  EXPECT_EQ(ParseNumber(std::u16string_view(buffer).substr(0, 2)), 1);
}

TEST(ParseNumber, BeyondTheDoubleRangeIsAFault) {
  for (const std::u16string& text : {std::u16string(u"1e400"), std::u16string(u"-1e400"),
                                     std::u16string(u"1e99999999999999999999"),
                                     std::u16string(u"1.8e308"), u"1" + std::u16string(400, u'0')})
    ExpectFault(FaultKind::Overflow, [&] { ParseNumber(text); });
}

TEST(FormatNumber, PatternAndRounding) {
  const struct { double x; const char* text; } cases[] = {
      {24.51, "2.45E+01"}, {0.01, "1.00E-02"}, {0.0, "0.00E+00"}, {-0.0, "0.00E+00"},
      {-3.14159, "-3.14E+00"}, {1e100, "1.00E+100"}, {1e-100, "1.00E-100"},
      {std::numeric_limits<double>::max(), "1.80E+308"}, {kTiny, "4.94E-324"},
      // Exactly on a half: away from zero.
      {1.125, "1.13E+00"}, {-1.125, "-1.13E+00"}, {1.625, "1.63E+00"}, {999.5, "1.00E+03"},
      // Near a half: the exact binary value decides.
      {9.995, "9.99E+00"}, {1.135, "1.14E+00"}, {std::nextafter(1.125, 0.0), "1.12E+00"},
      {9.996, "1.00E+01"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatNumber(c.x), c.text) << c.x;
  ExpectFault(FaultKind::Overflow, [] { FormatNumber(-std::numeric_limits<double>::infinity()); });
  ExpectFault(FaultKind::InvalidOperation, [] { FormatNumber(std::nan("")); });
}
