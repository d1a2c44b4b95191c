#include <gtest/gtest.h>

#include <set>
#include <string>

#include "forms/accessible_names.h"

namespace {

constexpr FormId kForms[] = {FormId::Form1, FormId::Form2, FormId::Form3, FormId::Form4,
                             FormId::Form5};

bool IsValueBox(const ControlSpec& c) {
  return c.kind == ControlKind::Label && c.border == Border::Single;
}

std::string NameIn(FormId form, const char* control) {
  const ControlSpec* c = FindControlSpec(FormSpecOf(form), control);
  return c ? AccessibleNameOf(form, *c) : "<no such control>";
}

}  // namespace

// A screen reader must be able to tell every field and box apart.
TEST(AccessibleNames, EveryFieldBoxAndPictureHasItsOwnName) {
  for (FormId form : kForms) {
    std::set<std::string> seen;
    for (const ControlSpec& c : FormSpecOf(form).controls) {
      std::string name = AccessibleNameOf(form, c);
      bool needsName =
          c.kind == ControlKind::Text || c.kind == ControlKind::Picture || IsValueBox(c);
      if (!needsName) {
        EXPECT_EQ(name, "") << FormName(form) << "." << c.name;
        continue;
      }
      EXPECT_NE(name, "") << FormName(form) << "." << c.name;
      EXPECT_TRUE(seen.insert(name).second) << FormName(form) << "." << c.name << ": " << name;
    }
  }
}

TEST(AccessibleNames, NamesCarryCaptionAndUnitOfTheirWindow) {
  EXPECT_EQ(NameIn(FormId::Form1, "Text1"), "modulo di S11");
  EXPECT_EQ(NameIn(FormId::Form1, "Text2"), "fase di S11 [°]");
  EXPECT_EQ(NameIn(FormId::Form1, "Text13"), "Lf [uH]");
  EXPECT_EQ(NameIn(FormId::Form2, "Label1"), "Li1 [nH]");
  EXPECT_EQ(NameIn(FormId::Form2, "Label18"), "Co [pF]");
  EXPECT_EQ(NameIn(FormId::Form3, "Label20"), "Coi1 [pF]");
  EXPECT_EQ(NameIn(FormId::Form4, "Label1"), "Ci1 [pF]");
  EXPECT_EQ(NameIn(FormId::Form5, "Label20"), "Loi1 [nH]");
  EXPECT_EQ(NameIn(FormId::Form5, "Label3"), "Li [nH]");
  EXPECT_EQ(NameIn(FormId::Form3, "Label38"), "Po / Pi");
  EXPECT_EQ(NameIn(FormId::Form4, "Label37"), "|Vo/Vi|");
  EXPECT_EQ(NameIn(FormId::Form4, "Label28"), "Rf [kohm]");
  EXPECT_EQ(NameIn(FormId::Form2, "Label25"), "Im(Zotot) [ohm]");
}
