// The UTF-8 conversion of the in-memory forms, through which the tests and
// the fuzzer type their texts.
#include <gtest/gtest.h>

#include <string>

#include "forms/headless.h"

TEST(Utf8Conversion, MalformedBytesBecomeReplacementCharacters) {
  EXPECT_EQ(Utf8ToUtf16("0.5\xC3\xA8\xF0\x9D\x9F\x93"), u"0.5\u00E8\U0001D7D3");
  // Overlong forms of "0" and "." must not turn into the characters they
  // spell, nor may encoded surrogates, stray continuation bytes or a cut
  // sequence.
  EXPECT_EQ(Utf8ToUtf16("\xC0\xB0"), u"\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xE0\x80\xAE"), u"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xF0\x80\x80\xB0"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("5\x80"), u"5\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("5\xE2\x82"), u"5\uFFFD\uFFFD");
  // Back to UTF-8: a lone surrogate becomes U+FFFD, a pair one character.
  EXPECT_EQ(Utf16ToUtf8(std::u16string(u"7") + u'\xD800'), "7\xEF\xBF\xBD");
  EXPECT_EQ(Utf16ToUtf8(u"\U0001D7D3"), "\xF0\x9D\x9F\x93");
}
