#pragma once
// A window is data: one row per control, read by one builder (gui/) for the
// real widgets and by the in-memory forms (forms/headless) for tests. Positions
// are twips within the client area; 15 twips make one device-independent pixel.
// Rows later in a table lie above earlier ones where they overlap.
#include <cstdint>
#include <span>

#include "forms/services.h"

enum class ControlKind { Text, Label, Option, Button, Picture };
enum class FontRole { Standard, Large, Symbol };  // 8.25 pt bold, 9.75 pt bold, Symbol 9 pt bold
enum class Align { Left, Center, Right };
enum class Border { None, Single, Sunken };
enum class PictureId {
  None, BlockDiagram, Schematic2, Schematic3, Schematic4, Schematic5,
  FeedbackRf, FeedbackRfLf, FeedbackRfCf
};

// 0xRRGGBB; kSystemFace means the toolkit's standard face colour.
inline constexpr std::uint32_t kSystemFace = 0xFFFFFFFFu;

struct ControlSpec {
  const char* name;     // "Text1", "Label28", "Option2", "Command1", "Picture4" ...
  ControlKind kind;
  const char* caption;  // UTF-8; a text field's default text
  int left, top, width, height;  // twips
  std::uint32_t back = kSystemFace;
  bool visible = true;  // at start
  Align align = Align::Left;
  Border border = Border::None;
  FontRole font = FontRole::Standard;
  int tabIndex = -1;    // order among the controls that take the focus; -1: none
  PictureId picture = PictureId::None;
  bool wrap = false;    // label text wraps within its width
};

struct FormSpec {
  FormId id;
  const char* name;     // "Form1" ...
  const char* caption;  // window title
  int clientWidth, clientHeight;  // twips
  std::span<const ControlSpec> controls;
  const char* startFocus = nullptr;  // control with the focus at start
};

const FormSpec& FormSpecOf(FormId form);
const ControlSpec* FindControlSpec(const FormSpec& form, const char* name);
inline constexpr int TwipsToPixels(int twips) { return twips / 15; }
