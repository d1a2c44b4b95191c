// The result windows' values as a table: each window's own captions and
// units beside its boxes, and only the values it shows.
#include <gtest/gtest.h>

#include <map>

#include "forms/result_table.h"

namespace {

TEST(ResultTable, EachWindowCaptionsItsOwnElements) {
  struct Expected {
    FormId form;
    const char* box;
    const char* caption;
    const char* unit;
  } cases[] = {
      {FormId::Form2, "Label1", "Li1", "nH"},   {FormId::Form4, "Label1", "Ci1", "pF"},
      {FormId::Form3, "Label20", "Coi1", "pF"}, {FormId::Form5, "Label18", "Co", "pF"},
      {FormId::Form2, "Label38", "Po / Pi", ""}, {FormId::Form3, "Label28", "Rf", "kohm"},
      {FormId::Form4, "Label25", "Im(Zotot)", "ohm"},
  };
  for (const Expected& e : cases) {
    bool found = false;
    for (const ResultQuantity& q : ResultQuantities(e.form))
      if (std::string(q.box) == e.box) {
        found = true;
        EXPECT_EQ(q.caption, e.caption) << FormName(e.form) << " " << e.box;
        EXPECT_EQ(q.unit, e.unit) << FormName(e.form) << " " << e.box;
      }
    EXPECT_TRUE(found) << e.box;
  }
  EXPECT_EQ(ResultQuantities(FormId::Form2).size(), 23u);
}

TEST(ResultTable, HiddenAndEmptyBoxesAreLeftOut) {
  const std::map<std::string, std::optional<std::string>> shown = {
      {"Label2", "9.22E+01"}, {"Label1", "5.54E+01"}, {"Label3", ""}, {"Label10", std::nullopt},
      {"Label28", "infinito"}};
  const auto rows = ResultRows(FormId::Form2, [&](const char* box) -> std::optional<std::string> {
    auto it = shown.find(box);
    return it == shown.end() ? std::nullopt : it->second;
  });
  EXPECT_EQ(ResultTableText(rows), "Li1\t5.54E+01\tnH\nLi2\t9.22E+01\tnH\nRf\tinfinito\tkohm\n");
}

}  // namespace
