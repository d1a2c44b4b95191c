// The report's content: element values placed clear of the schematic's
// lettering, the stability of the transistor with and without feedback, and
// the verification's impedances read as pairs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "forms/report_text.h"
#include "forms/schematics.h"

namespace {

struct Extent {
  double left, top, right, bottom;
  bool overlaps(const Extent& o) const {
    return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
  }
};

// Generous widths for bold lettering: 0.62 of the height per character.
Extent TextExtent(int x, int y, Anchor anchor, std::size_t chars, double height) {
  const double width = 0.62 * height * static_cast<double>(chars);
  const double left = anchor == Anchor::Left ? x : anchor == Anchor::Right ? x - width : x - width / 2;
  return {left, y - height / 2, left + width, y + height / 2};
}

// A symbol or arrow along its ends, widened across them.
Extent Around(const DrawOp& op, double half) {
  return {std::min(op.x1, op.x2) - half, std::min(op.y1, op.y2) - half, std::max(op.x1, op.x2) + half,
          std::max(op.y1, op.y2) + half};
}

TEST(ReportText, SchematicValuesSitInsideTheirPictureClearOfItsLettering) {
  for (FormId form : {FormId::Form2, FormId::Form3, FormId::Form4, FormId::Form5}) {
    const PictureSpec& picture = ResultPicture(SchematicOf(form));
    const auto values = SchematicValues(form, [](const char*) { return std::optional<std::string>("-1.23E+04"); });
    ASSERT_EQ(values.size(), 6u) << FormName(form);
    std::vector<Extent> placed;
    for (const SchematicValue& v : values) {
      EXPECT_NE(v.text.find(" nH"), v.text.find(" pF")) << v.text;  // one unit each
      const Extent e = TextExtent(v.x, v.y, v.anchor, v.text.size(), 14);
      EXPECT_GE(e.left, 0);
      EXPECT_LE(e.right, picture.width);
      EXPECT_GE(e.top, 0);
      for (const DrawOp& op : picture.ops) {
        Extent other{};
        if (op.shape == Shape::Text) other = TextExtent(op.x1, op.y1, op.anchor, std::strlen(op.text), kLetteringPx);
        else if (op.shape == Shape::Box) other = {double(op.x1), double(op.y1), double(op.x2), double(op.y2)};
        else if (op.shape == Shape::Inductor || op.shape == Shape::Capacitor || op.shape == Shape::Resistor ||
                 op.shape == Shape::Arrow)
          other = Around(op, op.shape == Shape::Arrow ? 5 : 14);
        else continue;
        EXPECT_FALSE(e.overlaps(other)) << FormName(form) << " " << v.text << " over " << op.text;
      }
      for (const Extent& p : placed) EXPECT_FALSE(e.overlaps(p)) << FormName(form);
      placed.push_back(e);
    }
  }
}

TEST(ReportText, FeedbackChangesTheStabilityOfAUnilateralTransistor) {
  AmplifierDesign design;
  design.Ro = 50;
  design.fMHz = 100;
  design.transistor = {Cx(1.1, -0.2), Cx(0, 0), Cx(4, 1), Cx(0.6, 0.1)};  // |S11| > 1
  design.feedback = MakeFeedback(FeedbackKind::R, 1, 0, 0);
  const ReportTable table = StabilityTable(design);
  ASSERT_EQ(table.rows.size(), 5u);
  const auto& gain = table.rows[3];
  EXPECT_EQ(gain[1], "illimitato");  // MSG with S12 = 0 has no bound
  EXPECT_TRUE(gain[2].find("(MSG)") != std::string::npos || gain[2].find("(MAG)") != std::string::npos) << gain[2];
  EXPECT_NE(table.rows[0][1], table.rows[0][2]);  // K
  for (const auto& row : table.rows)
    for (const std::string& cell : row) EXPECT_EQ(cell.find("nan"), std::string::npos) << cell;
}

TEST(ReportText, VerificationPairsRealAndImaginaryParts) {
  const std::vector<ResultRow> rows = {{"Re(Zitot)", "5.00E+01", "ohm"}, {"Im(Zitot)", "1.00E-03", "ohm"},
                                       {"Re(Ze)", "2.00E+01", "ohm"},    {"Re(ZL)", "7.00E+01", "ohm"},
                                       {"Im(ZL)", "-3.00E+00", "ohm"}};
  const ReportTable table = VerificationTable(rows);
  ASSERT_EQ(table.rows.size(), 3u);
  EXPECT_EQ(table.rows[0], (std::vector<std::string>{"Zitot", "5.00E+01", "1.00E-03"}));
  EXPECT_EQ(table.rows[1], (std::vector<std::string>{"Re(Ze) [ohm]", "2.00E+01", ""}));  // its partner missing
  EXPECT_EQ(table.rows[2], (std::vector<std::string>{"ZL", "7.00E+01", "-3.00E+00"}));
}

}  // namespace
