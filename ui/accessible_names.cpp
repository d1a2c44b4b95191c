#include "ui/accessible_names.h"

#include <cstring>

#include "results/result_table.h"

namespace {

// A control is named either by a fixed text or by the captions of the labels
// beside it in its window (the element captions differ from window to window,
// so the result windows' element boxes borrow them from the window table).
struct NameRow {
  const char* control;
  const char* fixed;       // used when not null
  const char* captionFrom; // label whose caption names the quantity
  const char* unitFrom;    // label whose caption is the unit, or null
};

constexpr NameRow Fixed(const char* control, const char* name) {
  return {control, name, nullptr, nullptr};
}
constexpr NameRow Borrowed(const char* control, const char* caption, const char* unit = nullptr) {
  return {control, nullptr, caption, unit};
}

constexpr NameRow kInputNames[] = {
    Fixed("Text1", "modulo di S11"),   Fixed("Text2", "fase di S11 [°]"),
    Fixed("Text3", "modulo di S21"),   Fixed("Text4", "fase di S21 [°]"),
    Fixed("Text5", "modulo di S12"),   Fixed("Text6", "fase di S12 [°]"),
    Fixed("Text7", "modulo di S22"),   Fixed("Text8", "fase di S22 [°]"),
    Fixed("Text9", "Ro, resistenza di riferimento dei parametri S [ohm]"),
    Fixed("Text10", "RE [ohm]"),       Fixed("Text12", "RL [ohm]"),
    Fixed("Text14", "f [MHz]"),        Fixed("Text11", "Rf [kohm]"),
    Fixed("Text13", "Lf [uH]"),        Fixed("Text15", "Cf [pF]"),
    Fixed("Picture1", "schema a blocchi dell'amplificatore"),
};

// The result windows' value boxes are named after the quantity they show
// (results/result_table.h); the pictures here.
constexpr NameRow kResultPictures[] = {
    Fixed("Picture1", "schema dell'amplificatore con le reti di adattamento"),
    Fixed("Picture2", "retroazione Yf: Rf in parallelo a Lf"),
    Fixed("Picture3", "retroazione Yf: Rf in parallelo a Cf"),
    Fixed("Picture4", "retroazione Yf: Rf"),
};

std::string ResultBoxName(FormId form, const char* box) {
  for (const ResultQuantity& q : ResultQuantities(form))
    if (std::strcmp(q.box, box) == 0) return q.unit.empty() ? q.caption : q.caption + " [" + q.unit + "]";
  return {};
}

std::string Trimmed(const char* text) {
  std::string s = text;
  s.erase(0, s.find_first_not_of(' '));
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

std::string CaptionOf(FormId form, const char* control) {
  const ControlSpec* label = FindControlSpec(FormSpecOf(form), control);
  return label ? Trimmed(label->caption) : std::string();
}

std::string NameFrom(FormId form, const NameRow& row) {
  if (row.fixed) return row.fixed;
  std::string name = CaptionOf(form, row.captionFrom);
  if (name.empty() || !row.unitFrom) return name;
  std::string unit = CaptionOf(form, row.unitFrom);
  return unit.empty() ? name : name + " " + unit;
}

}  // namespace

std::string AccessibleNameOf(FormId form, const ControlSpec& control) {
  auto find = [&](const auto& rows) -> std::string {
    for (const NameRow& row : rows)
      if (std::strcmp(row.control, control.name) == 0) return NameFrom(form, row);
    return {};
  };
  if (form == FormId::Form1) return find(kInputNames);
  const std::string picture = find(kResultPictures);
  return picture.empty() ? ResultBoxName(form, control.name) : picture;
}
