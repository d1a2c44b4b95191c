#pragma once
// The program's fixed pictures as data: each is a list of drawing operations
// in picture pixels (origin top left, y down) that one renderer (gui/)
// paints. The block diagram is described in block_diagram.cpp, the schematics
// and the feedback pictures in schematics.cpp.
#include <span>

#include "forms/controls.h"

// The drawing vocabulary. Colours follow the shape: wires, components and
// open ends are green; boxes, dots, lettering and arrows are blue.
enum class Shape {
  Wire,         // straight wire from end 1 to end 2
  Resistor,     // zigzag centred between its ends, leads to both ends
  Inductor,     // row of loops centred between its ends
  Capacitor,    // two short plates across the line, centred between its ends
  Source,       // circle with a sine wave, centred between its ends
  Terminal,     // open end of a wire: a small ring at end 1
  Box,          // rectangle with corners end 1 and end 2, lettering centred inside
  Dot,          // junction dot at end 1
  Text,         // lettering at end 1, placed by the anchor
  Arrow,        // line from end 1 to a filled head at end 2
  DoubleArrow,  // line with filled heads at both ends
};

// Where lettering lies relative to its point: centred on it, beginning at it
// or ending at it; always centred vertically.
enum class Anchor { Center, Left, Right };

struct DrawOp {
  Shape shape;
  int x1, y1, x2 = 0, y2 = 0;
  const char* text = nullptr;  // Text and Box; '\n' breaks the lines
  Anchor anchor = Anchor::Center;
};

struct PictureSpec {
  int width = 0, height = 0;
  std::span<const DrawOp> ops;
};

// Lettering height in pixels; the layouts leave room for it.
inline constexpr int kLetteringPx = 13;
// Body lengths along the wire, so layouts can keep symbols and letters apart.
inline constexpr int kResistorBody = 44;
inline constexpr int kInductorBody = 48;
inline constexpr int kCapacitorGap = 8;
inline constexpr int kCapacitorPlate = 28;
inline constexpr int kSourceRadius = 16;

// Shorthands that keep the picture tables readable.
constexpr DrawOp WireOp(int x1, int y1, int x2, int y2) { return {Shape::Wire, x1, y1, x2, y2}; }
constexpr DrawOp PartOp(Shape part, int x1, int y1, int x2, int y2) { return {part, x1, y1, x2, y2}; }
constexpr DrawOp BoxOp(int x1, int y1, int x2, int y2, const char* text) {
  return {Shape::Box, x1, y1, x2, y2, text};
}
constexpr DrawOp DotOp(int x, int y) { return {Shape::Dot, x, y}; }
constexpr DrawOp TerminalOp(int x, int y) { return {Shape::Terminal, x, y}; }
constexpr DrawOp TextOp(int x, int y, const char* text, Anchor anchor = Anchor::Center) {
  return {Shape::Text, x, y, 0, 0, text, anchor};
}
constexpr DrawOp ArrowOp(int x1, int y1, int x2, int y2) { return {Shape::Arrow, x1, y1, x2, y2}; }

// The description of a picture; PictureId::None gives an empty 0 x 0 picture.
const PictureSpec& PictureSpecOf(PictureId id);
