// The whole command path on the in-memory forms: the fifteen texts of the
// input window, a feedback option and a few clicks, run through HandleClick
// exactly as the windows run them, with the program's invariants checked
// after every click.
//
// The input is read as lines:
//   lines 1-15  the texts of Text1 ... Text15, each one of
//                 "*"        the field's default text, unchanged
//                 "=N"       good number N (modulo the list below)
//                 "~bytes"   raw UTF-16 code units (little-endian pairs)
//                 anything else, as UTF-8
//               (a missing line keeps the default text)
//   line 16     the feedback option: "1" to "4" selects OptionN, else none
//   then        one action a line, by its first character:
//                 C  Calculate            T  test values
//                 1-4  select OptionN     a-d  Command1 of Form2-Form5
//                 A-D  Command2 of Form2-Form5
//                 w-z  close Form2-Form5
//                 r, l, f  type the rest of the line (decoded as above) into
//                          Text10, Text12 or Text14, the fields Form3 re-reads
//                 eK  type the rest into field (K mod 15) + 1
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "forms/commands.h"
#include "forms/controls.h"
#include "forms/headless.h"
#include "fuzz/fuzz_checks.h"

namespace {

// Default texts, the test values and values at the edges of the double range,
// so that many runs pass the field check and reach the solver and networks.
constexpr const char* kGoodNumbers[] = {
    "0.06", "-146.3", "6.02", "84", "70.7", "0.57", "-19.2", "50", "500", "5", "1",
    "0.51", "-44.8", "24.51", "142.5", "0.01", "74.5", "0.86", "-16.7", "100",
    "0", "-1", "10", "0.5", "-0.5", "2", "75", "1000", "180", "-180", "360", "1e-3",
    "1e6", "1e-6", "1e308", "-1e308", "1e-320", "1e-308", "1e154", "1e-154", "4.9e-324",
    "1.7976931348623157e308", "1e400", "1e-400", ".", "-.5", "1-2", "1.2.3", "e5",
    "1e5e5", "--3", "+-", "1E-5", "5E3", "1.23", "-0", "0.0", "1,5", " ", "",
    // Phases that turn the default transistor into the other sign cases.
    "170", "-90", "45", "146",
};
constexpr std::size_t kGoodCount = std::size(kGoodNumbers);

constexpr const char* kFields[15] = {"Text1",  "Text2",  "Text3",  "Text4",  "Text5",
                                     "Text6",  "Text7",  "Text8",  "Text9",  "Text10",
                                     "Text11", "Text12", "Text13", "Text14", "Text15"};
constexpr FormId kResultForms[4] = {FormId::Form2, FormId::Form3, FormId::Form4, FormId::Form5};
constexpr std::size_t kMaxActions = 24;
constexpr int kMaxCalculates = 3;  // each runs the solver's 100001 passes

// The messages a click may show; a fault message starts with its own head.
constexpr std::string_view kFaultHead = "Errore di calcolo: ";
constexpr std::string_view kNoFeedback = "Yf non esiste! E' un circuito aperto!";
constexpr std::string_view kCalculateHeads[] = {
    "Hai dimenticato di scrivere ", "Errore di inserimento dati per ",
    "Con questi valori non esiste adattamento coniugato", "ReZi o ReZo risultano negativi!",
    "Lf non può essere zero!"};

std::vector<std::string_view> SplitLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    lines.push_back(bytes.substr(0, end));
    if (end == std::string_view::npos) break;
    bytes.remove_prefix(end + 1);
  }
  return lines;
}

std::u16string DecodeText(std::string_view line) {
  if (!line.empty() && line[0] == '=') {
    std::size_t n = 0;
    for (char c : line.substr(1)) n = (n * 10 + static_cast<unsigned char>(c)) % 1000003;
    return Utf8ToUtf16(kGoodNumbers[n % kGoodCount]);
  }
  if (!line.empty() && line[0] == '~') {
    line.remove_prefix(1);
    std::u16string units(line.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
      units[i] = static_cast<char16_t>(static_cast<unsigned char>(line[2 * i]) |
                                       (static_cast<unsigned char>(line[2 * i + 1]) << 8));
    return units;
  }
  return Utf8ToUtf16(line);
}

struct Snapshot {
  DesignState state;
  std::array<std::u16string, 15> texts;
  std::array<bool, 4> open;
  std::size_t messages;
};

Snapshot Take(const DesignState& state) {
  Snapshot s{state, {}, {}, HeadlessMessages().size()};
  for (int i = 0; i < 15; ++i) s.texts[i] = ReadText(FormId::Form1, kFields[i]);
  for (int i = 0; i < 4; ++i) s.open[i] = IsFormOpen(kResultForms[i]);
  return s;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool SameState(const DesignState& a, const DesignState& b) {
  for (const RealField& f : RealFields())
    if (!SameBits(a.*f.member, b.*f.member)) return false;
  for (const ComplexField& f : ComplexFields())
    if (!SameBits((a.*f.member).re, (b.*f.member).re) || !SameBits((a.*f.member).im, (b.*f.member).im))
      return false;
  return a.errorFlag == b.errorFlag && a.iterationCount == b.iterationCount;
}

void CheckStateFinite(const DesignState& state) {
  for (const RealField& f : RealFields())
    Require(std::isfinite(state.*f.member), "non-finite field stored", f.name);
  for (const ComplexField& f : ComplexFields())
    Require(std::isfinite((state.*f.member).re) && std::isfinite((state.*f.member).im),
            "non-finite field stored", f.name);
  Require(AllFieldsFinite(state), "AllFieldsFinite disagrees with the field list");
}

// Static captions never change; value boxes (empty in the table) hold a
// formatted number, "infinito" (the Rf box only) or nothing.
void CheckLabels() {
  for (FormId form : kResultForms) {
    if (!IsFormOpen(form)) continue;
    for (const ControlSpec& c : FormSpecOf(form).controls) {
      if (c.kind != ControlKind::Label) continue;
      const std::string text = HeadlessContent(form, c.name);
      if (*c.caption != '\0') {
        Require(text == c.caption, "a static caption changed", c.name);
      } else if (!text.empty() && !IsFormattedNumber(text)) {
        Require(text == "infinito" && std::string_view(c.name) == "Label28",
                "a value box holds something else than a number", text);
      }
    }
  }
}

bool StartsWith(std::string_view text, std::string_view head) {
  return text.substr(0, head.size()) == head;
}

// The form that the signs of the stored Zi and Zo call for.
FormId CaseForm(const DesignState& s) {
  if (s.ImZi <= 0 && s.ImZo < 0) return FormId::Form2;
  if (s.ImZi < 0) return FormId::Form3;
  return s.ImZo >= 0 ? FormId::Form4 : FormId::Form5;
}

void CheckClick(const DesignState& state, const Snapshot& before, FormId form,
                std::string_view control) {
  CheckStateFinite(state);
  CheckLabels();
  const Snapshot after = Take(state);
  const auto& all = HeadlessMessages();
  const std::vector<std::string> shown(all.begin() + before.messages, all.end());

  bool opened = false;
  for (int i = 0; i < 4; ++i) opened = opened || (after.open[i] && !before.open[i]);
  int faults = 0;
  for (const std::string& m : shown) faults += StartsWith(m, kFaultHead);
  Require(faults <= 1, "one fault told in more than one message");
  Require(faults == 0 || !opened, "a window opened although the command faulted");

  const bool writesTexts = form == FormId::Form1 && control == "Command2";
  if (!writesTexts)
    for (int i = 0; i < 15; ++i)
      Require(after.texts[i] == before.texts[i], "a command changed a field text", kFields[i]);

  const bool calculate = form == FormId::Form1 && control == "Command1";
  const bool compute = form != FormId::Form1 && control == "Command1";
  if (calculate) {
    Require(shown.size() <= 1, "Calculate showed more than one message");
    if (shown.empty()) {
      Require(IsFormOpen(CaseForm(state)), "Calculate ended without showing its window");
    } else {
      Require(!opened, "Calculate opened a window although it showed a message", shown[0]);
      bool known = faults == 1;
      for (std::string_view head : kCalculateHeads) known = known || StartsWith(shown[0], head);
      // A negative quantity is refused before any computation, named first.
      known = known || shown[0].ends_with(" deve essere positiva: il valore scritto è negativo");
      Require(known, "Calculate showed an unknown message", shown[0]);
    }
  } else if (compute) {
    Require(!opened, "a result window's command opened a window");
    std::size_t i = 0;
    if (i < shown.size() && shown[i] == kNoFeedback) ++i;
    if (i < shown.size() && (faults == 1 || StartsWith(shown[i], "ReZi o ReZo risultano negativi!")))
      ++i;
    Require(i == shown.size(), "the compute command showed an unexpected message",
            shown.empty() ? std::string_view{} : std::string_view(shown.back()));
  } else {
    // Options, test values, the verification panel: no message, no
    // calculation, no window.
    Require(shown.empty(), "a click without calculation showed a message", shown.empty() ? "" : shown[0]);
    Require(!opened, "a click without calculation opened a window");
    Require(SameState(state, before.state), "a click without calculation changed the design state");
  }
}

void Click(DesignState& state, FormId form, std::string_view control) {
  const Snapshot before = Take(state);
  HandleClick(state, form, control);
  CheckClick(state, before, form, control);
}

void SelectOption(DesignState& state, int n) {
  const std::string option = "Option" + std::to_string(n);
  HeadlessSelectOption(FormId::Form1, option);
  Click(state, FormId::Form1, option);
}

void RunAction(DesignState& state, std::string_view line, int& calculates) {
  if (line.empty()) return;
  const char op = line[0];
  const std::string_view rest = line.substr(1);
  if (op == 'C') {
    if (++calculates <= kMaxCalculates) Click(state, FormId::Form1, "Command1");
  } else if (op == 'T') {
    Click(state, FormId::Form1, "Command2");
  } else if (op >= '1' && op <= '4') {
    SelectOption(state, op - '0');
  } else if ((op >= 'a' && op <= 'd') || (op >= 'A' && op <= 'D')) {
    const bool compute = op >= 'a';
    const FormId form = kResultForms[op - (compute ? 'a' : 'A')];
    // Only an open window's buttons can be pressed.
    if (IsFormOpen(form)) Click(state, form, compute ? "Command1" : "Command2");
  } else if (op >= 'w' && op <= 'z') {
    HeadlessCloseForm(kResultForms[op - 'w']);
  } else if (op == 'r' || op == 'l' || op == 'f') {
    SetText(FormId::Form1, op == 'r' ? "Text10" : op == 'l' ? "Text12" : "Text14", DecodeText(rest));
  } else if (op == 'e' && !rest.empty()) {
    SetText(FormId::Form1, kFields[static_cast<unsigned char>(rest[0]) % 15], DecodeText(rest.substr(1)));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SetUiBackend(nullptr);
  ResetHeadlessForms();
  DesignState state;
  const std::vector<std::string_view> lines =
      SplitLines(std::string_view(reinterpret_cast<const char*>(data), size));

  for (std::size_t i = 0; i < 15 && i < lines.size(); ++i)
    if (lines[i] != "*") SetText(FormId::Form1, kFields[i], DecodeText(lines[i]));
  if (lines.size() > 15 && !lines[15].empty() && lines[15][0] >= '1' && lines[15][0] <= '4')
    SelectOption(state, lines[15][0] - '0');

  int calculates = 0;
  for (std::size_t i = 16; i < lines.size() && i < 16 + kMaxActions; ++i)
    RunAction(state, lines[i], calculates);
  return 0;
}
