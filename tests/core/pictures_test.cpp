#include "forms/pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

struct Rect {
  double left, top, right, bottom;
};

bool Overlap(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Inside(const Rect& r, int width, int height) {
  return r.left >= 1 && r.top >= 1 && r.right <= width - 1 && r.bottom <= height - 1;
}

// A generous estimate of bold sans lettering, wider than the real glyphs.
Rect LetteringExtent(const DrawOp& op) {
  std::vector<std::string> lines(1);
  for (const char* c = op.text; *c != '\0'; ++c) {
    if (*c == '\n') lines.emplace_back();
    else lines.back() += *c;
  }
  std::size_t longest = 0;
  for (const std::string& line : lines) longest = std::max(longest, line.size());
  const double width = 0.72 * kLetteringPx * longest, height = 1.2 * kLetteringPx * lines.size();
  const double left = op.anchor == Anchor::Left    ? op.x1
                      : op.anchor == Anchor::Right ? op.x1 - width
                                                   : op.x1 - width / 2;
  return {left, op.y1 - height / 2, left + width, op.y1 + height / 2};
}

bool IsPart(Shape s) {
  return s == Shape::Resistor || s == Shape::Inductor || s == Shape::Capacitor || s == Shape::Source;
}

bool IsStroke(Shape s) { return s == Shape::Wire || s == Shape::Arrow || s == Shape::DoubleArrow; }

// How far a part's symbol reaches across its line, pen included.
double PartReach(Shape s) {
  switch (s) {
    case Shape::Resistor: return 8;
    case Shape::Inductor: return 15;
    case Shape::Capacitor: return kCapacitorPlate / 2 + 1;
    default: return kSourceRadius + 1;
  }
}

// What a shape covers, including the bulge of a part across its line.
Rect Extent(const DrawOp& op) {
  const double reach = IsPart(op.shape) ? PartReach(op.shape) : IsStroke(op.shape) ? 5 : 4;
  switch (op.shape) {
    case Shape::Text: return LetteringExtent(op);
    case Shape::Dot:
    case Shape::Terminal: return {op.x1 - reach, op.y1 - reach, op.x1 + reach + 0.0, op.y1 + reach + 0.0};
    default:
      return {std::min(op.x1, op.x2) - reach, std::min(op.y1, op.y2) - reach,
              std::max(op.x1, op.x2) + reach, std::max(op.y1, op.y2) + reach};
  }
}

// Strokes as drawn (no arrow-head allowance), for checking lettering stays off them.
Rect StrokeExtent(const DrawOp& op) {
  const double reach = op.shape == Shape::Wire ? 1 : 4;
  return {std::min(op.x1, op.x2) - reach, std::min(op.y1, op.y2) - reach,
          std::max(op.x1, op.x2) + reach, std::max(op.y1, op.y2) + reach};
}

double BodyLength(Shape s) {
  switch (s) {
    case Shape::Resistor: return kResistorBody;
    case Shape::Inductor: return kInductorBody;
    case Shape::Capacitor: return kCapacitorGap;
    default: return 2 * kSourceRadius;
  }
}

constexpr PictureId kAllPictures[] = {
    PictureId::BlockDiagram, PictureId::Schematic2,  PictureId::Schematic3,   PictureId::Schematic4,
    PictureId::Schematic5,   PictureId::FeedbackRf, PictureId::FeedbackRfLf, PictureId::FeedbackRfCf,
};

std::multiset<std::string> Lettering(const PictureSpec& picture) {
  std::multiset<std::string> letters;
  for (const DrawOp& op : picture.ops)
    if (op.text != nullptr) letters.insert(op.text);
  return letters;
}

// The part whose middle lies nearest to a lettering point.
Shape NearestPart(const PictureSpec& picture, const DrawOp& letter) {
  double best = 1e9;
  Shape shape = Shape::Wire;
  for (const DrawOp& op : picture.ops) {
    if (!IsPart(op.shape)) continue;
    const double dx = (op.x1 + op.x2) / 2.0 - letter.x1, dy = (op.y1 + op.y2) / 2.0 - letter.y1;
    if (std::hypot(dx, dy) < best) best = std::hypot(dx, dy), shape = op.shape;
  }
  return shape;
}

TEST(Pictures, SizesOfEveryPicture) {
  const std::map<PictureId, std::pair<int, int>> sizes = {
      {PictureId::BlockDiagram, {1235, 365}}, {PictureId::Schematic2, {1051, 325}},
      {PictureId::Schematic3, {1037, 309}},   {PictureId::Schematic4, {1032, 339}},
      {PictureId::Schematic5, {1042, 330}},   {PictureId::FeedbackRf, {222, 168}},
      {PictureId::FeedbackRfLf, {240, 211}},  {PictureId::FeedbackRfCf, {224, 162}},
  };
  for (const auto& [id, size] : sizes) {
    EXPECT_EQ(PictureSpecOf(id).width, size.first) << static_cast<int>(id);
    EXPECT_EQ(PictureSpecOf(id).height, size.second) << static_cast<int>(id);
    EXPECT_FALSE(PictureSpecOf(id).ops.empty());
  }
  EXPECT_EQ(PictureSpecOf(PictureId::None).width, 0);
  EXPECT_TRUE(PictureSpecOf(PictureId::None).ops.empty());
}

TEST(Pictures, EveryOpLiesInsideTheFrameAndPartsRunAlongTheirWire) {
  for (PictureId id : kAllPictures) {
    const PictureSpec& picture = PictureSpecOf(id);
    for (const DrawOp& op : picture.ops) {
      const Rect r = Extent(op);
      EXPECT_TRUE(Inside(r, picture.width, picture.height)) << static_cast<int>(id) << " shape " << static_cast<int>(op.shape)
                                   << " at " << op.x1 << "," << op.y1;
      if (IsPart(op.shape) || IsStroke(op.shape)) {
        EXPECT_TRUE(op.x1 == op.x2 || op.y1 == op.y2) << "slanted at " << op.x1 << "," << op.y1;
      }
      if (IsPart(op.shape)) {
        EXPECT_GE(std::abs(op.x2 - op.x1) + std::abs(op.y2 - op.y1), BodyLength(op.shape))
            << "part too short at " << op.x1 << "," << op.y1;
      }
      if (op.shape == Shape::Text || op.shape == Shape::Box) {
        ASSERT_NE(op.text, nullptr);
        EXPECT_GT(std::strlen(op.text), 0u);
      }
      if (op.shape == Shape::Box) {
        DrawOp inner = op;
        inner.x1 = (op.x1 + op.x2) / 2, inner.y1 = (op.y1 + op.y2) / 2, inner.anchor = Anchor::Center;
        const Rect text = LetteringExtent(inner);
        EXPECT_TRUE(text.left > op.x1 && text.right < op.x2 && text.top > op.y1 && text.bottom < op.y2)
            << "lettering overflows the box " << op.text;
      }
    }
  }
}

// A picture area shows the top-left part of its bitmap inside a 2 px sunken
// border; nothing of the drawing may fall outside what it shows.
TEST(Pictures, EachPictureAreaShowsAllOfItsDrawing) {
  int areas = 0;
  for (FormId form : {FormId::Form1, FormId::Form2, FormId::Form3, FormId::Form4, FormId::Form5}) {
    for (const ControlSpec& control : FormSpecOf(form).controls) {
      if (control.kind != ControlKind::Picture) continue;
      ++areas;
      const int shownWidth = TwipsToPixels(control.width) - 4, shownHeight = TwipsToPixels(control.height) - 4;
      for (const DrawOp& op : PictureSpecOf(control.picture).ops)
        EXPECT_TRUE(Inside(Extent(op), shownWidth, shownHeight))
            << control.name << " of form " << static_cast<int>(form) << " cuts off shape "
            << static_cast<int>(op.shape) << " at " << op.x1 << "," << op.y1;
    }
  }
  EXPECT_EQ(areas, 1 + 4 * 4);
}

TEST(Pictures, LetteringKeepsClearOfOtherLetteringWiresAndArrows) {
  for (PictureId id : kAllPictures) {
    const PictureSpec& picture = PictureSpecOf(id);
    for (const DrawOp& letter : picture.ops) {
      if (letter.shape != Shape::Text) continue;
      const Rect r = LetteringExtent(letter);
      for (const DrawOp& other : picture.ops) {
        if (&other == &letter) continue;
        if (other.shape == Shape::Text || other.shape == Shape::Box) {
          EXPECT_FALSE(Overlap(r, Extent(other))) << letter.text << " touches " << other.text;
        } else if (IsStroke(other.shape) || IsPart(other.shape)) {
          const Rect body = IsPart(other.shape) ? Extent(other) : StrokeExtent(other);
          EXPECT_FALSE(Overlap(r, body)) << letter.text << " lies on a line at " << other.x1 << ","
                                         << other.y1 << " in picture " << static_cast<int>(id);
        }
      }
    }
  }
}

TEST(Pictures, EachSchematicLettersExactlyItsWindowsElements) {
  const std::multiset<std::string> common = {"RE", "E",  "Vi", "Zi tot", "Zi", "Ze", "Transistor\nparametri S",
                                             "Yf", "Zo", "ZL", "Zo tot", "Vo", "RL"};
  const std::map<PictureId, std::multiset<std::string>> elements = {
      {PictureId::Schematic2, {"Li1", "Li2", "Ci", "Lo1", "Lo2", "Co"}},
      {PictureId::Schematic3, {"Li1", "Li2", "Ci", "Co1", "Co2", "Lo"}},
      {PictureId::Schematic4, {"Ci1", "Ci2", "Li", "Co1", "Co2", "Lo"}},
      {PictureId::Schematic5, {"Ci1", "Ci2", "Li", "Lo1", "Lo2", "Co"}},
  };
  for (const auto& [id, own] : elements) {
    const PictureSpec& picture = PictureSpecOf(id);
    std::multiset<std::string> expected = common;
    expected.insert(own.begin(), own.end());
    EXPECT_EQ(Lettering(picture), expected) << static_cast<int>(id);
    // Every element letter sits beside a symbol of its kind; the input side lies left of the transistor.
    for (const DrawOp& op : picture.ops) {
      if (op.shape != Shape::Text || own.count(op.text) == 0) continue;
      EXPECT_EQ(NearestPart(picture, op), op.text[0] == 'L' ? Shape::Inductor : Shape::Capacitor) << op.text;
      EXPECT_EQ(op.text[1] == 'i', op.x1 < picture.width / 2) << op.text;
    }
  }
}

TEST(Pictures, FeedbackPicturesAndBlockDiagramCarryTheirLettering) {
  EXPECT_EQ(Lettering(PictureSpecOf(PictureId::FeedbackRf)), (std::multiset<std::string>{"Rf", "Yf"}));
  EXPECT_EQ(Lettering(PictureSpecOf(PictureId::FeedbackRfLf)), (std::multiset<std::string>{"Lf", "Rf", "Yf"}));
  EXPECT_EQ(Lettering(PictureSpecOf(PictureId::FeedbackRfCf)), (std::multiset<std::string>{"Cf", "Rf", "Yf"}));
  const std::pair<PictureId, Shape> upper[] = {{PictureId::FeedbackRfLf, Shape::Inductor},
                                               {PictureId::FeedbackRfCf, Shape::Capacitor}};
  for (const auto& [id, shape] : upper) {
    const PictureSpec& picture = PictureSpecOf(id);
    for (const DrawOp& op : picture.ops) {
      if (op.shape != Shape::Text || op.text == std::string("Yf")) continue;
      EXPECT_EQ(NearestPart(picture, op), op.text[0] == 'R' ? Shape::Resistor : shape) << op.text;
    }
  }
  const std::multiset<std::string> block = {
      "RE", "E", "Zi tot", "Rete di\nadattamento\ningresso", "Zi", "Transistor\nrappresentato\ncon parametri S",
      "Yf", "Zo", "Rete di\nadattamento\nuscita", "Zo tot", "RL"};
  EXPECT_EQ(Lettering(PictureSpecOf(PictureId::BlockDiagram)), block);
}

}  // namespace
