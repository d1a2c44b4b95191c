#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/field_check.h"
#include "forms/headless.h"

using Messages = std::vector<std::string>;

// The messages that one check of `text` shows.
static Messages Check(DesignState& state, std::u16string_view text) {
  SetUiBackend(nullptr);
  HeadlessMessages().clear();
  ValidateNumberText(state, text, "empty", "invalid");
  return HeadlessMessages();
}

TEST(FieldCheck, AcceptsAnyArrangementOfTheNumberCharacters) {
  DesignState state;
  for (const char16_t* text : {u"1.23", u"1E-5", u"5E3", u"-146.3", u".", u"e", u"+-", u"1e5e5",
                               u"--3", u"0123456789eE.+-"}) {
    EXPECT_EQ(Check(state, text), Messages{}) << Utf16ToUtf8(text);
    EXPECT_EQ(state.errorFlag, 0);
  }
}

TEST(FieldCheck, RejectsWithOneMessage) {
  DesignState state;
  EXPECT_EQ(Check(state, u""), Messages{"empty"});
  EXPECT_EQ(state.errorFlag, 1);
  for (const char16_t* text :
       {u" ", u"1,5", u"1D5", u"0x10", u"\t1", u"1\n", u"\uFF11", u"\u0661"}) {
    EXPECT_EQ(Check(state, text), Messages{"invalid"}) << Utf16ToUtf8(text);
    EXPECT_EQ(state.errorFlag, 1);
  }
  // The whole text is scanned, also beyond the field's 32767 units.
  EXPECT_EQ(Check(state, std::u16string(40000, u'1') + u"x"), Messages{"invalid"});
  EXPECT_EQ(Check(state, u"50"), Messages{});  // a later accepted field clears the flag
  EXPECT_EQ(state.errorFlag, 0);
}
