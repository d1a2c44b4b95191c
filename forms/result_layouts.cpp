#include "forms/result_layouts.h"

#include <array>
#include <stdexcept>
#include <vector>

namespace {

// One column per window: Form2, Form3, Form4, Form5.
template <typename T>
using PerForm = std::array<T, 4>;

struct At {
  int left, top;
};

enum class Role {
  Schematic,     // Picture1, shown
  Compute,       // Command1
  ShowCheck,     // Command2
  Caption,       // static caption or unit, shown
  Box,           // component or gain value, shown
  CheckCaption,  // verification panel caption, hidden at start
  CheckBox,      // verification panel value, hidden at start
  Feedback,      // feedback caption or unit, hidden at start
  FeedbackBox,   // feedback value, hidden at start
  FeedbackPicture,
};

struct Row {
  const char* name;
  Role role;
  PerForm<const char*> caption;
  PerForm<int> width;
  int height;
  PerForm<At> at;
  PictureId picture = PictureId::None;
};

constexpr PerForm<const char*> Same(const char* caption) { return {caption, caption, caption, caption}; }
constexpr PerForm<int> Same(int width) { return {width, width, width, width}; }
constexpr PerForm<const char*> kNone = Same("");

constexpr int kBoxWidth = 1935, kBoxHeight = 375;
constexpr int kNH = 495, kPF = 375;  // unit label widths for "[nH]" and "[pF]"
constexpr int kUnitHeight = 255;

// Rows later in the table lie over earlier ones: Picture4 over Picture2 and Picture3.
const Row kRows[] = {
    {"Picture1", Role::Schematic, kNone, {15615, 15495, 15375, 15495}, 0,
     {{{240, 120}, {120, 120}, {240, 120}, {240, 240}}}},
    {"Command1", Role::Compute, Same("Calcolo reti di adattamento e verifica"),
     {1335, 1335, 1335, 1455}, 1335, {{{16320, 2400}, {16080, 2280}, {15840, 2280}, {15840, 2280}}}},

    // Input network: caption, box and unit of its three elements.
    {"Label4", Role::Caption, {"Li1", "Li1", "Ci1", "Ci1"}, Same(375), 255,
     {{{360, 5400}, {240, 5400}, {360, 5520}, {360, 5760}}}},
    {"Label1", Role::Box, kNone, Same(kBoxWidth), kBoxHeight,
     {{{840, 5280}, {720, 5280}, {840, 5400}, {840, 5640}}}},
    {"Label7", Role::Caption, {"[nH]", "[nH]", "[pF]", "[pF]"}, {kNH, kNH, kPF, kPF}, kUnitHeight,
     {{{2880, 5400}, {2760, 5400}, {2880, 5520}, {2880, 5760}}}},
    {"Label5", Role::Caption, {"Li2", "Li2", "Ci2", "Ci2"}, Same(375), 255,
     {{{360, 6000}, {240, 5880}, {360, 6000}, {360, 6360}}}},
    {"Label2", Role::Box, kNone, Same(kBoxWidth), kBoxHeight,
     {{{840, 5880}, {720, 5760}, {840, 5880}, {840, 6240}}}},
    {"Label8", Role::Caption, {"[nH]", "[nH]", "[pF]", "[pF]"}, {kNH, kNH, kPF, kPF}, kUnitHeight,
     {{{2880, 6000}, {2760, 5880}, {2880, 6000}, {2880, 6360}}}},
    {"Label6", Role::Caption, {"Ci", "Ci", "Li", "Li"}, Same(255), 255,
     {{{360, 6480}, {240, 6360}, {360, 6480}, {360, 6840}}}},
    {"Label3", Role::Box, kNone, Same(kBoxWidth), kBoxHeight,
     {{{840, 6480}, {720, 6240}, {840, 6360}, {840, 6840}}}},
    {"Label9", Role::Caption, {"[pF]", "[pF]", "[nH]", "[nH]"}, {kPF, kPF, kNH, kNH}, kUnitHeight,
     {{{2880, 6600}, {2760, 6360}, {2880, 6480}, {2880, 6960}}}},

    // Output network.
    {"Label17", Role::Caption, {"Lo1", "Coi1", "Co1", "Loi1"}, Same(375), 255,
     {{{3960, 5400}, {3840, 5400}, {3960, 5520}, {3960, 5760}}}},
    {"Label20", Role::Box, kNone, Same(kBoxWidth), kBoxHeight,
     {{{4440, 5280}, {4320, 5280}, {4440, 5400}, {4440, 5640}}}},
    {"Label12", Role::Caption, {"[nH]", "[pF]", "[pF]", "[nH]"}, {kNH, kPF, kPF, kNH}, kUnitHeight,
     {{{6480, 5400}, {6360, 5400}, {6480, 5520}, {6480, 5760}}}},
    {"Label16", Role::Caption, {"Lo2", "Co2", "Co2", "Lo2"}, Same(375), 255,
     {{{3960, 6000}, {3840, 5880}, {3960, 6000}, {3960, 6360}}}},
    {"Label19", Role::Box, kNone, Same(kBoxWidth), kBoxHeight,
     {{{4440, 5880}, {4320, 5760}, {4440, 5880}, {4440, 6240}}}},
    {"Label13", Role::Caption, {"[nH]", "[pF]", "[pF]", "[nH]"}, {kNH, kPF, kPF, kNH}, kUnitHeight,
     {{{6480, 6000}, {6360, 5880}, {6480, 6000}, {6480, 6360}}}},
    {"Label15", Role::Caption, {"Co", "Lo", "Lo", "Co"}, Same(255), 255,
     {{{3960, 6480}, {3840, 6360}, {4080, 6480}, {3960, 6840}}}},
    {"Label18", Role::Box, kNone, Same(kBoxWidth), kBoxHeight,
     {{{4440, 6480}, {4320, 6240}, {4440, 6360}, {4440, 6840}}}},
    {"Label14", Role::Caption, {"[pF]", "[nH]", "[nH]", "[pF]"}, {kPF, kNH, kNH, kPF}, kUnitHeight,
     {{{6480, 6600}, {6360, 6360}, {6480, 6480}, {6480, 6960}}}},

    // Gains.
    {"Label39", Role::Caption, Same("|Vo/Vi|"), Same(615), 255,
     {{{7560, 5400}, {7680, 5400}, {7200, 6000}, {7320, 5760}}}},
    {"Label37", Role::Box, kNone, Same(kBoxWidth), kBoxHeight,
     {{{8280, 5280}, {8400, 5280}, {7920, 5880}, {8040, 5640}}}},
    {"Label40", Role::Caption, Same(" Po / Pi"), Same(735), 255,
     {{{7440, 6000}, {7560, 6000}, {7080, 6480}, {7200, 6240}}}},
    {"Label38", Role::Box, kNone, Same(kBoxWidth), kBoxHeight,
     {{{8280, 5880}, {8400, 5880}, {7920, 6360}, {8040, 6120}}}},

    {"Command2", Role::ShowCheck, Same("Mostra i risultati della verifica"), Same(1815), 735,
     {{{7560, 7320}, {7440, 7560}, {7320, 7560}, {7440, 7800}}}},

    // Verification panel.
    {"Label27", Role::CheckCaption,
     {"Verifica:  (tutte le impedenze in ohm)", "Verifica: (tutte le impedenze in ohm)",
      "Verifica: (tutte le impedenze in ohm)", "Verifica:  (tutte le impedenze in ohm)"},
     {3255, 3135, 3375, 3255}, 255, {{{4320, 6960}, {5040, 7200}, {5280, 7200}, {3960, 7320}}}},
    {"Label21", Role::CheckCaption, Same("Re(Zitot)"), Same(735), 255,
     {{{360, 7440}, {240, 7680}, {120, 7680}, {240, 7800}}}},
    {"Label10", Role::CheckBox, kNone, Same(kBoxWidth), kBoxHeight,
     {{{1200, 7320}, {1080, 7560}, {1080, 7560}, {1200, 7680}}}},
    {"Label22", Role::CheckCaption, Same("Im(Zitot)"), Same(855), 255,
     {{{3480, 7440}, {3360, 7680}, {3240, 7680}, {3360, 7800}}}},
    {"Label11", Role::CheckBox, kNone, Same(kBoxWidth), kBoxHeight,
     {{{4440, 7320}, {4320, 7560}, {4200, 7560}, {4320, 7680}}}},
    {"Label24", Role::CheckCaption, Same("Re(Zotot)"), Same(855), 255,
     {{{240, 7920}, {120, 8160}, {120, 8160}, {240, 8280}}}},
    {"Label26", Role::CheckBox, kNone, Same(kBoxWidth), kBoxHeight,
     {{{1200, 7800}, {1080, 8040}, {1080, 8040}, {1200, 8160}}}},
    {"Label23", Role::CheckCaption, Same("ImZotot)"), Same(855), 255,
     {{{3480, 7920}, {3360, 8160}, {3240, 8160}, {3360, 8280}}}},
    {"Label25", Role::CheckBox, kNone, Same(kBoxWidth), kBoxHeight,
     {{{4440, 7800}, {4320, 8040}, {4200, 8040}, {4320, 8160}}}},
    {"Label46", Role::CheckCaption, Same("Re(Ze)"), Same(735), 255,
     {{{360, 9000}, {240, 8880}, {240, 8880}, {360, 8880}}}},
    {"Label48", Role::CheckBox, kNone, Same(kBoxWidth), kBoxHeight,
     {{{1200, 8880}, {1080, 8760}, {1080, 8760}, {1200, 8760}}}},
    {"Label45", Role::CheckCaption, Same("Im(Ze)"), Same(855), 255,
     {{{3480, 9000}, {3360, 8880}, {3360, 8880}, {3480, 8880}}}},
    {"Label47", Role::CheckBox, kNone, Same(kBoxWidth), kBoxHeight,
     {{{4440, 8880}, {4320, 8760}, {4200, 8760}, {4320, 8760}}}},
    {"Label43", Role::CheckCaption, Same("Re(ZL)"), {855, 735, 735, 735}, 255,
     {{{240, 9360}, {240, 9360}, {240, 9360}, {360, 9360}}}},
    {"Label41", Role::CheckBox, kNone, Same(kBoxWidth), kBoxHeight,
     {{{1200, 9360}, {1080, 9240}, {1080, 9240}, {1200, 9240}}}},
    {"Label44", Role::CheckCaption, Same("ImZL)"), Same(855), 255,
     {{{3480, 9360}, {3360, 9360}, {3360, 9360}, {3480, 9360}}}},
    {"Label42", Role::CheckBox, kNone, Same(kBoxWidth), kBoxHeight,
     {{{4440, 9360}, {4320, 9240}, {4200, 9240}, {4320, 9240}}}},
    {"Label54", Role::CheckCaption, Same("Re(Zi)"), {735, 735, 615, 615}, 255,
     {{{6720, 8880}, {6600, 8760}, {6600, 8880}, {6720, 8880}}}},
    {"Label56", Role::CheckBox, kNone, Same(kBoxWidth), kBoxHeight,
     {{{7560, 8760}, {7440, 8640}, {7320, 8760}, {7440, 8760}}}},
    {"Label53", Role::CheckCaption, Same("Im(Zi)"), {855, 855, 615, 615}, 255,
     {{{9840, 8880}, {9720, 8760}, {9840, 8760}, {9720, 8880}}}},
    {"Label55", Role::CheckBox, kNone, Same(kBoxWidth), kBoxHeight,
     {{{10800, 8760}, {10560, 8640}, {10560, 8640}, {10560, 8760}}}},
    {"Label51", Role::CheckCaption, Same("Re(Zo)"), {855, 855, 615, 615}, 255,
     {{{6600, 9360}, {6480, 9240}, {6600, 9360}, {6720, 9360}}}},
    {"Label49", Role::CheckBox, kNone, Same(kBoxWidth), kBoxHeight,
     {{{7560, 9240}, {7440, 9120}, {7320, 9240}, {7440, 9240}}}},
    {"Label52", Role::CheckCaption, {"ImZo)", "ImZo)", "Im(Zo)", "ImZo)"}, {855, 855, 615, 615}, 255,
     {{{9840, 9360}, {9720, 9240}, {9840, 9240}, {9720, 9360}}}},
    {"Label50", Role::CheckBox, kNone, Same(kBoxWidth), kBoxHeight,
     {{{10800, 9240}, {10560, 9120}, {10560, 9120}, {10560, 9240}}}},

    // Feedback display.
    {"Picture2", Role::FeedbackPicture, kNone, Same(3375), 2535,
     {{{10800, 5280}, {10680, 5160}, {10320, 5400}, {10080, 5400}}}, PictureId::FeedbackRfLf},
    {"Picture3", Role::FeedbackPicture, kNone, Same(3375), 2415,
     {{{14520, 5280}, {14280, 5160}, {13920, 5520}, {13920, 5400}}}, PictureId::FeedbackRfCf},
    {"Picture4", Role::FeedbackPicture, kNone, Same(3135), 2175,
     {{{13080, 5520}, {12720, 5280}, {12240, 5640}, {12240, 5520}}}, PictureId::FeedbackRf},
    {"Label32", Role::Feedback, Same("Rf"), Same(255), 255,
     {{{13560, 8040}, {13080, 8040}, {12960, 8280}, {13080, 8160}}}},
    {"Label28", Role::FeedbackBox, kNone, Same(kBoxWidth), kBoxHeight,
     {{{13920, 7920}, {13440, 7920}, {13320, 8160}, {13440, 8040}}}},
    {"Label34", Role::Feedback, Same("[kohm]"), Same(735), 255,
     {{{15960, 8040}, {15480, 8040}, {15360, 8280}, {15480, 8160}}}},
    {"Label33", Role::Feedback, Same("Lf"), Same(255), 255,
     {{{13560, 8520}, {13080, 8520}, {12960, 8760}, {13080, 8640}}}},
    {"Label29", Role::FeedbackBox, kNone, Same(kBoxWidth), kBoxHeight,
     {{{13920, 8400}, {13440, 8400}, {13320, 8640}, {13440, 8520}}}},
    {"Label35", Role::Feedback, Same("[uH]"), Same(855), 255,
     {{{16080, 8520}, {15480, 8520}, {15360, 8760}, {15480, 8640}}}},
    {"Label30", Role::Feedback, Same("Cf"), Same(255), 255,
     {{{13560, 9000}, {13080, 9000}, {12960, 9240}, {13080, 9120}}}},
    {"Label31", Role::FeedbackBox, kNone, Same(kBoxWidth), kBoxHeight,
     {{{13920, 8880}, {13440, 8880}, {13320, 9120}, {13440, 9000}}}},
    {"Label36", Role::Feedback, Same("[pF]"), Same(375), 255,
     {{{16080, 8880}, {15480, 9000}, {15360, 9240}, {15480, 9120}}}},
};

struct Window {
  const char* name;
  const char* caption;
  int clientWidth, clientHeight;
  int schematicHeight;
  PictureId schematic;
};

const Window kWindows[] = {
    {"Form2", "ImZi < 0    ImZo < 0", 18450, 10545, 4815, PictureId::Schematic2},
    {"Form3", "ImZi < 0  ImZo > 0", 17880, 9825, 4575, PictureId::Schematic3},
    {"Form4", "ImZi > 0  ImZo > 0", 17625, 9840, 5055, PictureId::Schematic4},
    {"Form5", "ImZi > 0  ImZo < 0", 17400, 9735, 4935, PictureId::Schematic5},
};

ControlSpec ControlOf(const Row& row, int column) {
  const Window& window = kWindows[column];
  ControlSpec c{row.name, ControlKind::Label, row.caption[column], row.at[column].left,
                row.at[column].top, row.width[column], row.height};
  switch (row.role) {
    case Role::Schematic:
      c.kind = ControlKind::Picture;
      c.height = window.schematicHeight;
      c.border = Border::Sunken;
      c.picture = window.schematic;
      break;
    case Role::Compute:
    case Role::ShowCheck:
      c.kind = ControlKind::Button;
      c.back = row.role == Role::Compute ? 0xC0C0FF : 0xFFC080;
      c.tabIndex = row.role == Role::Compute ? 0 : 1;
      break;
    case Role::FeedbackPicture:
      c.kind = ControlKind::Picture;
      c.border = Border::Sunken;
      c.picture = row.picture;
      c.visible = false;
      break;
    case Role::Box:
    case Role::FeedbackBox:
    case Role::CheckBox:
      c.border = Border::Single;
      c.align = Align::Right;
      c.back = row.role == Role::CheckBox ? 0xFFC080 : 0xC0C0FF;
      c.visible = row.role == Role::Box;
      break;
    case Role::Caption: break;
    case Role::CheckCaption:
    case Role::Feedback: c.visible = false; break;
  }
  return c;
}

std::vector<ControlSpec> ControlsOf(int column) {
  std::vector<ControlSpec> controls;
  for (const Row& row : kRows) controls.push_back(ControlOf(row, column));
  return controls;
}

}  // namespace

const FormSpec& ResultFormSpec(FormId form) {
  static const std::array<std::vector<ControlSpec>, 4> controls{ControlsOf(0), ControlsOf(1),
                                                                ControlsOf(2), ControlsOf(3)};
  static const std::array<FormSpec, 4> specs = [] {
    std::array<FormSpec, 4> built{};
    for (int column = 0; column < 4; ++column) {
      const Window& w = kWindows[column];
      built[column] = FormSpec{static_cast<FormId>(static_cast<int>(FormId::Form2) + column),
                               w.name, w.caption, w.clientWidth, w.clientHeight,
                               controls[column], "Command1"};
    }
    return built;
  }();
  int column = static_cast<int>(form) - static_cast<int>(FormId::Form2);
  if (column < 0 || column > 3) throw std::invalid_argument("not a result window");
  return specs[column];
}
