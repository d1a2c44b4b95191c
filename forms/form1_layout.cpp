#include "forms/form1_layout.h"
#include "model/quantities.h"

namespace {

constexpr std::uint32_t kFieldBack = 0xFFC0C0;

constexpr ControlSpec Text(const char* name, const char* text, int l, int t, int w, int h,
                           int tab, bool visible = true) {
  ControlSpec c{name, ControlKind::Text, text, l, t, w, h};
  c.back = kFieldBack;
  c.tabIndex = tab;
  c.visible = visible;
  return c;
}

constexpr ControlSpec Label(const char* name, const char* caption, int l, int t, int w, int h,
                            bool visible = true) {
  ControlSpec c{name, ControlKind::Label, caption, l, t, w, h};
  c.visible = visible;
  return c;
}

constexpr ControlSpec Centred(ControlSpec c) {
  c.align = Align::Center;
  return c;
}

constexpr ControlSpec Wrapping(ControlSpec c) {
  c.wrap = true;
  return c;
}

constexpr ControlSpec InFont(FontRole font, ControlSpec c) {
  c.font = font;
  return c;
}

// "[W]" in the Symbol typeface reads as an ohm sign in brackets.
constexpr ControlSpec OhmLabel(const char* name, int l, int t) {
  return InFont(FontRole::Symbol, Label(name, "[W]", l, t, 375, 255));
}

constexpr ControlSpec Option(const char* name, const char* caption, int top, std::uint32_t back,
                             int tab) {
  ControlSpec c{name, ControlKind::Option, caption, 15960, top, 2055, 375};
  c.back = back;
  c.tabIndex = tab;
  return c;
}

constexpr ControlSpec Button(const char* name, const char* caption, int l, int t, int w, int h,
                             std::uint32_t back, int tab) {
  ControlSpec c{name, ControlKind::Button, caption, l, t, w, h};
  c.back = back;
  c.tabIndex = tab;
  return c;
}

constexpr ControlSpec BlockDiagram() {
  ControlSpec c{"Picture1", ControlKind::Picture, "", 120, 3120, 18495, 5415};
  c.border = Border::Sunken;
  c.picture = PictureId::BlockDiagram;
  c.tabIndex = 13;
  return c;
}

// Labels come first: they are drawn on the window's ground, beneath the
// fields and buttons that they touch (Label1 reaches into Text1 by a pixel).
// Tab order: Text14, Text12, Text10, Text1 ... Text9, Command1, Picture1,
// Text11, Text13, Command2, Option1, Option2, Option3, Text15, Option4.
constexpr ControlSpec kControls[] = {
    Centred(Label("Label3", "Modulo", 1200, 120, 855, 255)),
    Label("Label4", "Fase [°]", 3120, 120, 855, 255),
    Centred(Label("Label5", "Modulo", 5760, 120, 855, 255)),
    Label("Label14", "Fase [°]", 7680, 120, 855, 255),
    Label("Label1", "S11", 480, 600, 375, 255),
    Label("Label2", "S21", 480, 1080, 375, 255),
    Label("Label7", "S12", 4920, 600, 375, 255),
    Label("Label8", "S22", 4920, 1080, 375, 255),
    Wrapping(Label("Label9", "Ro = 50 ohm (resistenza di riferimento caratteristica per i parametri S)", 1200,
                   1440, 2655, 615)),
    OhmLabel("Label10", 6000, 1560),
    Label("Label27", "R", 9600, 480, 375, 255),
    Label("Label12", "E", 9720, 600, 255, 255),
    OhmLabel("Label6", 11760, 600),
    Label("Label29", "R", 9600, 960, 255, 255),
    Label("Label13", "L", 9720, 1080, 255, 375),
    OhmLabel("Label11", 11760, 1080),
    InFont(FontRole::Large, Label("Label15", "f", 12720, 600, 135, 255)),
    Label("Label16", "[MHz]", 14640, 600, 615, 255),
    Label("Label17", "Rf", 9720, 1680, 255, 255, false),
    Label("Label23", "[kohm]", 11760, 1680, 615, 255, false),
    Label("Label18", "Lf", 9720, 2160, 255, 255, false),
    Label("Label25", "[uH]", 11760, 2160, 375, 255, false),
    Label("Label22", "Cf", 9720, 2160, 255, 255, false),
    Label("Label26", "[pF]", 11760, 2160, 375, 255, false),

    Text(ControlOf(Quantity::S11Mag), "0.06", 840, 480, 1575, 375, 3),
    Text(ControlOf(Quantity::S11Deg), "-146.3", 2760, 480, 1575, 375, 4),
    Text(ControlOf(Quantity::S21Mag), "6.02", 840, 960, 1575, 375, 5),
    Text(ControlOf(Quantity::S21Deg), "84", 2760, 960, 1575, 375, 6),
    Text(ControlOf(Quantity::S12Mag), "0.06", 5400, 480, 1575, 375, 7),
    Text(ControlOf(Quantity::S12Deg), "70.7", 7320, 480, 1575, 375, 8),
    Text(ControlOf(Quantity::S22Mag), "0.57", 5400, 960, 1575, 375, 9),
    Text(ControlOf(Quantity::S22Deg), "-19.2", 7320, 960, 1575, 375, 10),
    Text(ControlOf(Quantity::Ro), "50", 4080, 1560, 1695, 375, 11),
    Text(ControlOf(Quantity::RE), "50", 10080, 480, 1575, 375, 2),
    Text(ControlOf(Quantity::RL), "50", 10080, 960, 1575, 375, 1),
    Text(ControlOf(Quantity::FMHz), "500", 12960, 480, 1575, 405, 0),
    Text(ControlOf(Quantity::RfKohm), "5", 10080, 1560, 1575, 375, 14, false),
    Text(ControlOf(Quantity::LfMicroH), "1", 10080, 2040, 1575, 375, 15, false),
    Text(ControlOf(Quantity::CfPicoF), "1", 10080, 2040, 1575, 375, 20, false),

    Option(ControlOf(FeedbackChoice::Rf), "Yf -> Rf", 480, 0x00FF00, 17),
    Option(ControlOf(FeedbackChoice::None), "Yf = 0 ; non esiste", 960, 0xFF8000, 21),
    Option(ControlOf(FeedbackChoice::RfLf), "Yf -> Rf // Lf", 1440, 0xFF0000, 18),
    Option(ControlOf(FeedbackChoice::RfCf), "Yf -> Rf // Cf", 1920, 0x0000FF, 19),

    Button("Command1", "Trova le reti di adattamento ", 12960, 1080, 1575, 735, 0xFFC0C0, 12),
    Button("Command2", "Valori di |Sij| di prova", 12480, 2040, 2655, 435, kSystemFace, 16),

    BlockDiagram(),
};

constexpr FormSpec kForm1{FormId::Form1,
                          "Form1",
                          "Adattamento BJT rappresentato con parametri S",
                          18795,
                          9165,
                          kControls,
                          ControlOf(Quantity::FMHz)};

}  // namespace

const FormSpec& Form1Spec() { return kForm1; }
