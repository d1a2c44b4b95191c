// The texts a file's values reach the input window as: the shortest that the
// program's own parse reads back to the same double, and that the field check
// accepts, so Calculate works on exactly the file's numbers.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

#include "forms/headless.h"
#include "model/arithmetic.h"
#include "tests/core/worked_example.h"
#include "text/number_text.h"
#include "session/session_batch.h"
#include "touchstone/fields.h"

namespace {

bool FieldCheckAccepts(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789eE.+-") == std::string::npos;
}

void ExpectRoundTrip(double x) {
  const std::string text = ShortestNumberText(x);
  ASSERT_TRUE(FieldCheckAccepts(text)) << text;
  const double back = ParseNumber(Utf8ToUtf16(text));
  EXPECT_EQ(std::memcmp(&back, &x, sizeof x), 0) << text;
}

}  // namespace

TEST(ShortestNumberText, ReadsBackToTheSameDouble) {
  EXPECT_EQ(ShortestNumberText(2140), "2140");
  EXPECT_EQ(ShortestNumberText(0.1), "0.1");
  EXPECT_EQ(ShortestNumberText(-23.4), "-23.4");
  EXPECT_EQ(ShortestNumberText(1e-7), "1e-07");
  EXPECT_EQ(ShortestNumberText(2140.0000000000005), "2140.0000000000005");
  for (double x : {0.0, -0.0, std::numeric_limits<double>::max(), std::numeric_limits<double>::min(),
                   std::numeric_limits<double>::denorm_min(), -std::numeric_limits<double>::denorm_min(),
                   1e21, 1e22, 123456789012345680.0, 0.30000000000000004, 5e-324})
    ExpectRoundTrip(x);
  std::mt19937_64 bits(20261209);
  for (int i = 0; i < 200000; ++i) {
    const std::uint64_t b = bits();
    double x;
    std::memcpy(&x, &b, sizeof x);
    if (std::isfinite(x)) ExpectRoundTrip(x);
  }
  ExpectFault(FaultKind::InvalidOperation, [] { ShortestNumberText(NAN); });
  ExpectFault(FaultKind::Overflow, [] { ShortestNumberText(-INFINITY); });
}

TEST(ShortestNumberText, FileValuesReachTheFieldsUnchanged) {
  const auto parsed = ParseTouchstone(
      "# GHz S MA R 50\n"
      "2.140 0.8123 -23.4 12.345 160.2 0.02 75.1 0.9507 -10.3\n");
  const auto texts = FieldTexts(FieldsAtPoint(std::get<TouchstoneData>(parsed), 0));
  const char* expected[] = {"0.8123", "-23.4", "12.345", "160.2", "0.02", "75.1", "0.9507", "-10.3", "50", "2140"};
  for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(texts[i].text, expected[i]) << texts[i].key;
  EXPECT_STREQ(texts[8].key, "ro");
  EXPECT_STREQ(texts[9].key, "f_mhz");
}
