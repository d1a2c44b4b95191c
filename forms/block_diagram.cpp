#include "forms/block_diagram.h"

namespace {

// Top and bottom wire; the tall boxes reach past both so the wires enter them.
constexpr int kTop = 115, kBottom = 315, kMid = (kTop + kBottom) / 2;
constexpr int kBoxTop = 90, kBoxBottom = 340;
constexpr int kSource = 70;                   // source branch
constexpr int kInputLeft = 200, kInputRight = 380;
constexpr int kCoreLeft = 530, kCoreRight = 730, kCoreMid = (kCoreLeft + kCoreRight) / 2;
constexpr int kOutputLeft = 880, kOutputRight = 1060;
constexpr int kLoad = 1165;                   // load resistor
constexpr int kFeedIn = 495, kFeedOut = 765;  // dots where Yf meets the top wire
constexpr int kYfY = 42, kYfHalf = 35;
constexpr int kUnder = kMid + 17;             // lettering under a mid-height arrow

constexpr DrawOp kOps[] = {
    // Source branch: RE above the source E, letters on the left.
    PartOp(Shape::Resistor, kSource, kTop, kSource, kMid),
    PartOp(Shape::Source, kSource, kMid, kSource, kBottom),
    TextOp(kSource - 14, (kTop + kMid) / 2, "RE", Anchor::Right),
    TextOp(kSource - kSourceRadius - 8, (kMid + kBottom) / 2, "E", Anchor::Right),
    WireOp(kSource, kTop, kInputLeft, kTop),
    WireOp(kSource, kBottom, kInputLeft, kBottom),
    ArrowOp(105, kMid, 175, kMid),
    TextOp(140, kUnder, "Zi tot"),
    BoxOp(kInputLeft, kBoxTop, kInputRight, kBoxBottom, "Rete di\nadattamento\ningresso"),
    // Input network to transistor.
    WireOp(kInputRight, kTop, kCoreLeft, kTop),
    WireOp(kInputRight, kBottom, kCoreLeft, kBottom),
    ArrowOp(400, kMid, 470, kMid),
    TextOp(435, kUnder, "Zi"),
    BoxOp(kCoreLeft, kBoxTop, kCoreRight, kBoxBottom, "Transistor\nrappresentato\ncon parametri S"),
    // Feedback across the transistor.
    BoxOp(kCoreMid - kYfHalf, kYfY - 20, kCoreMid + kYfHalf, kYfY + 20, "Yf"),
    WireOp(kCoreMid - kYfHalf, kYfY, kFeedIn, kYfY),
    WireOp(kFeedIn, kYfY, kFeedIn, kTop),
    WireOp(kCoreMid + kYfHalf, kYfY, kFeedOut, kYfY),
    WireOp(kFeedOut, kYfY, kFeedOut, kTop),
    DotOp(kFeedIn, kTop),
    DotOp(kFeedOut, kTop),
    // Transistor to output network.
    WireOp(kCoreRight, kTop, kOutputLeft, kTop),
    WireOp(kCoreRight, kBottom, kOutputLeft, kBottom),
    ArrowOp(855, kMid, 785, kMid),
    TextOp(820, kUnder, "Zo"),
    BoxOp(kOutputLeft, kBoxTop, kOutputRight, kBoxBottom, "Rete di\nadattamento\nuscita"),
    // Load.
    WireOp(kOutputRight, kTop, kLoad, kTop),
    WireOp(kOutputRight, kBottom, kLoad, kBottom),
    ArrowOp(1140, kMid, 1080, kMid),
    TextOp(1110, kUnder, "Zo tot"),
    PartOp(Shape::Resistor, kLoad, kTop, kLoad, kBottom),
    TextOp(kLoad + 14, kMid, "RL", Anchor::Left),
};

constexpr PictureSpec kBlockDiagram{1235, 365, kOps};

}  // namespace

const PictureSpec& BlockDiagramPicture() { return kBlockDiagram; }
