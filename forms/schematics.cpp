#include "forms/schematics.h"

#include <array>

namespace {

// One side of the amplifier as seen from the picture's edge: the series
// element next to the edge, the one next to the transistor, and the shunt.
struct SideElements {
  Shape series;
  const char* outer;
  const char* inner;
  const char* shunt;
};

constexpr SideElements kInputLCL{Shape::Inductor, "Li1", "Li2", "Ci"};
constexpr SideElements kInputCLC{Shape::Capacitor, "Ci1", "Ci2", "Li"};
constexpr SideElements kOutputLCL{Shape::Inductor, "Lo2", "Lo1", "Co"};
constexpr SideElements kOutputCLC{Shape::Capacitor, "Co2", "Co1", "Lo"};

// The lettering that differs between the two sides.
struct SideLetters {
  const char* voltage;  // tall arrow next to the edge branch
  const char* total;    // impedance looking from the edge into the network
  const char* toward;   // looking from the network into the transistor's port
  const char* away;     // looking from the transistor's port into the network
};

constexpr SideLetters kInputLetters{"Vi", "Zi tot", "Zi", "Ze"};
constexpr SideLetters kOutputLetters{"Vo", "Zo tot", "Zo", "ZL"};

// The windows' picture areas are a little smaller than the bitmaps and show
// their top-left part, so each picture is laid out within the part shown.
struct SchematicCase {
  int width, height;            // the bitmap
  int shownWidth, shownHeight;  // what the window's picture area shows of it
  SideElements input, output;
};

// Room for every op of one schematic.
constexpr int kMaxOps = 80;

struct OpList {
  int width = 0, height = 0;
  std::array<DrawOp, kMaxOps> ops{};
  int count = 0;
};

constexpr void AddOp(OpList& list, DrawOp op) { list.ops[list.count++] = op; }

// Distances from the picture's edge, the same on both sides, so the output
// half mirrors the input half about the transistor.
constexpr int kEdgeBranch = 42;
constexpr int kVoltageArrow = 80;
constexpr int kTotalArrowFrom = 100, kTotalArrowTo = 150;
constexpr int kOuterMid = 210;
constexpr int kShunt = 280;
constexpr int kInnerMid = 345;
constexpr int kPortArrowFrom = 385, kPortArrowTo = 432;
constexpr int kPortDot = 445;
constexpr int kCoreHalf = 55;   // half width of the transistor box
constexpr int kPartHalf = 35;   // half length of a series element's segment
constexpr int kTop = 90;        // top wire
constexpr int kBottomMargin = 28;
constexpr int kYfY = 30, kYfHalf = 34;

struct SideFrame {
  int width;
  bool mirrored;  // the output side, measured from the right edge
  int top, bottom, mid;
  int coreSide, yfSide;  // the transistor box's and the Yf box's side facing this half
};

constexpr int PlaceX(const SideFrame& f, int fromEdge) { return f.mirrored ? f.width - fromEdge : fromEdge; }

// Arrows point inward on the input side; the mirror reverses them.
constexpr DrawOp InwardArrowOp(const SideFrame& f, int fromEdge, int toEdge, int y) {
  return ArrowOp(PlaceX(f, fromEdge), y, PlaceX(f, toEdge), y);
}

constexpr void AddSide(OpList& list, const SideFrame& f, const SideElements& parts,
                       const SideLetters& letters) {
  const int top = f.top, bottom = f.bottom, mid = f.mid;
  const int edge = PlaceX(f, kEdgeBranch), core = f.coreSide;
  const int shunt = PlaceX(f, kShunt), dot = PlaceX(f, kPortDot);
  const int outerFrom = PlaceX(f, kOuterMid - kPartHalf), outerTo = PlaceX(f, kOuterMid + kPartHalf);
  const int innerFrom = PlaceX(f, kInnerMid - kPartHalf), innerTo = PlaceX(f, kInnerMid + kPartHalf);
  // Top wire: edge, outer element, junction, inner element, port dot, transistor.
  AddOp(list, WireOp(edge, top, outerFrom, top));
  AddOp(list, PartOp(parts.series, outerFrom, top, outerTo, top));
  AddOp(list, WireOp(outerTo, top, innerFrom, top));
  AddOp(list, PartOp(parts.series, innerFrom, top, innerTo, top));
  AddOp(list, WireOp(innerTo, top, core, top));
  AddOp(list, WireOp(edge, bottom, core, bottom));
  const Shape shuntPart = parts.series == Shape::Inductor ? Shape::Capacitor : Shape::Inductor;
  AddOp(list, PartOp(shuntPart, shunt, top, shunt, bottom));
  AddOp(list, DotOp(shunt, top));
  AddOp(list, DotOp(shunt, bottom));
  AddOp(list, DotOp(dot, top));
  AddOp(list, TextOp(PlaceX(f, kOuterMid), top - 25, parts.outer));
  AddOp(list, TextOp(PlaceX(f, kInnerMid), top - 25, parts.inner));
  AddOp(list, TextOp(shunt + 20, mid, parts.shunt, Anchor::Left));
  // Voltage and impedance arrows.
  const int voltage = PlaceX(f, kVoltageArrow);
  AddOp(list, ArrowOp(voltage, bottom - 12, voltage, top + 12));
  AddOp(list, TextOp(voltage + (f.mirrored ? -8 : 8), mid + 40, letters.voltage,
                     f.mirrored ? Anchor::Right : Anchor::Left));
  AddOp(list, InwardArrowOp(f, kTotalArrowFrom, kTotalArrowTo, mid - 20));
  AddOp(list, TextOp(PlaceX(f, (kTotalArrowFrom + kTotalArrowTo) / 2), mid - 4, letters.total));
  AddOp(list, InwardArrowOp(f, kPortArrowFrom, kPortArrowTo, mid - 22));
  AddOp(list, TextOp(PlaceX(f, (kPortArrowFrom + kPortArrowTo) / 2), mid - 37, letters.toward));
  AddOp(list, InwardArrowOp(f, kPortArrowTo, kPortArrowFrom, mid + 22));
  AddOp(list, TextOp(PlaceX(f, (kPortArrowFrom + kPortArrowTo) / 2), mid + 37, letters.away));
  // Feedback wire from the Yf box down to the port dot.
  AddOp(list, WireOp(f.yfSide, kYfY, dot, kYfY));
  AddOp(list, WireOp(dot, kYfY, dot, top));
}

constexpr OpList DescribeSchematic(const SchematicCase& c) {
  OpList list{c.width, c.height};
  const int width = c.shownWidth;
  const int top = kTop, bottom = c.shownHeight - kBottomMargin, mid = (top + bottom) / 2;
  const int core = width / 2;
  const SideFrame left{width, false, top, bottom, mid, core - kCoreHalf, core - kYfHalf};
  const SideFrame right{width, true, top, bottom, mid, core + kCoreHalf, core + kYfHalf};
  // Source branch: RE above the source E, letters on the outside.
  AddOp(list, PartOp(Shape::Resistor, kEdgeBranch, top, kEdgeBranch, mid));
  AddOp(list, PartOp(Shape::Source, kEdgeBranch, mid, kEdgeBranch, bottom));
  AddOp(list, TextOp(kEdgeBranch - 14, (top + mid) / 2, "RE", Anchor::Right));
  AddOp(list, TextOp(kEdgeBranch - kSourceRadius - 6, (mid + bottom) / 2, "E", Anchor::Right));
  AddSide(list, left, c.input, kInputLetters);
  // The transistor with the feedback box above it.
  AddOp(list, BoxOp(core - kCoreHalf, top - 18, core + kCoreHalf, bottom + 14, "Transistor\nparametri S"));
  AddOp(list, BoxOp(core - kYfHalf, kYfY - 16, core + kYfHalf, kYfY + 16, "Yf"));
  AddSide(list, right, c.output, kOutputLetters);
  // Load.
  AddOp(list, PartOp(Shape::Resistor, width - kEdgeBranch, top, width - kEdgeBranch, bottom));
  AddOp(list, TextOp(width - kEdgeBranch + 14, mid, "RL", Anchor::Left));
  return list;
}

constexpr OpList kSchematic2 = DescribeSchematic({1051, 325, 1037, 317, kInputLCL, kOutputLCL});
constexpr OpList kSchematic3 = DescribeSchematic({1037, 309, 1029, 301, kInputLCL, kOutputCLC});
constexpr OpList kSchematic4 = DescribeSchematic({1032, 339, 1021, 333, kInputCLC, kOutputCLC});
constexpr OpList kSchematic5 = DescribeSchematic({1042, 330, 1029, 325, kInputCLC, kOutputLCL});

constexpr PictureSpec SpecOf(const OpList& list) {
  return {list.width, list.height, std::span<const DrawOp>(list.ops.data(), list.count)};
}

// The feedback pictures: Yf between two open ends, within the shown
// 205 x 141 (Rf), 221 x 165 (Rf // Lf) and 221 x 157 (Rf // Cf).
constexpr DrawOp kFeedbackRf[] = {
    PartOp(Shape::Resistor, 35, 42, 170, 42),
    TextOp(102, 20, "Rf"),
    WireOp(35, 42, 35, 122),
    WireOp(170, 42, 170, 122),
    TerminalOp(35, 122),
    TerminalOp(170, 122),
    {Shape::DoubleArrow, 51, 98, 154, 98},
    TextOp(102, 83, "Yf"),
};

constexpr DrawOp kFeedbackRfLf[] = {
    PartOp(Shape::Inductor, 35, 40, 186, 40),
    TextOp(110, 15, "Lf"),
    WireOp(35, 40, 35, 94),
    WireOp(186, 40, 186, 94),
    PartOp(Shape::Resistor, 35, 94, 186, 94),
    TextOp(110, 73, "Rf"),
    WireOp(35, 94, 35, 148),
    WireOp(186, 94, 186, 148),
    DotOp(35, 94),
    DotOp(186, 94),
    TerminalOp(35, 148),
    TerminalOp(186, 148),
    {Shape::DoubleArrow, 51, 128, 170, 128},
    TextOp(110, 113, "Yf"),
};

constexpr DrawOp kFeedbackRfCf[] = {
    PartOp(Shape::Capacitor, 35, 36, 186, 36),
    TextOp(110, 13, "Cf"),
    WireOp(35, 36, 35, 80),
    WireOp(186, 36, 186, 80),
    PartOp(Shape::Resistor, 35, 80, 186, 80),
    TextOp(110, 61, "Rf"),
    WireOp(35, 80, 35, 144),
    WireOp(186, 80, 186, 144),
    DotOp(35, 80),
    DotOp(186, 80),
    TerminalOp(35, 144),
    TerminalOp(186, 144),
    {Shape::DoubleArrow, 51, 122, 170, 122},
    TextOp(110, 107, "Yf"),
};

constexpr PictureSpec kResultPictures[] = {
    SpecOf(kSchematic2),
    SpecOf(kSchematic3),
    SpecOf(kSchematic4),
    SpecOf(kSchematic5),
    {222, 168, kFeedbackRf},
    {240, 211, kFeedbackRfLf},
    {224, 162, kFeedbackRfCf},
};

}  // namespace

const PictureSpec& ResultPicture(PictureId id) {
  static constexpr PictureSpec kNone{};
  const int index = static_cast<int>(id) - static_cast<int>(PictureId::Schematic2);
  if (index < 0 || index >= static_cast<int>(std::size(kResultPictures))) return kNone;
  return kResultPictures[index];
}
