#include "forms/result_table.h"

#include "forms/controls.h"

namespace {

// The element captions and units differ from window to window, so most
// boxes borrow them from the labels beside them; the verification captions
// on screen lack a bracket here and there ("ImZotot)"), so they are written
// out, with the unit of the panel's heading.
struct BoxRow {
  const char* box;
  const char* captionFrom;  // label captioning the box, or null
  const char* unitFrom;     // label holding the unit, or null
  const char* caption;      // when captionFrom is null
  const char* unit;
};

constexpr BoxRow Borrowed(const char* box, const char* caption, const char* unit = nullptr) {
  return {box, caption, unit, nullptr, nullptr};
}
constexpr BoxRow Impedance(const char* box, const char* caption) {
  return {box, nullptr, nullptr, caption, "ohm"};
}

constexpr BoxRow kBoxes[] = {
    Borrowed("Label1", "Label4", "Label7"),    Borrowed("Label2", "Label5", "Label8"),
    Borrowed("Label3", "Label6", "Label9"),    Borrowed("Label20", "Label17", "Label12"),
    Borrowed("Label19", "Label16", "Label13"), Borrowed("Label18", "Label15", "Label14"),
    Borrowed("Label37", "Label39"),            Borrowed("Label38", "Label40"),
    Borrowed("Label28", "Label32", "Label34"), Borrowed("Label29", "Label33", "Label35"),
    Borrowed("Label31", "Label30", "Label36"),
    Impedance("Label10", "Re(Zitot)"),         Impedance("Label11", "Im(Zitot)"),
    Impedance("Label26", "Re(Zotot)"),         Impedance("Label25", "Im(Zotot)"),
    Impedance("Label48", "Re(Ze)"),            Impedance("Label47", "Im(Ze)"),
    Impedance("Label41", "Re(ZL)"),            Impedance("Label42", "Im(ZL)"),
    Impedance("Label56", "Re(Zi)"),            Impedance("Label55", "Im(Zi)"),
    Impedance("Label49", "Re(Zo)"),            Impedance("Label50", "Im(Zo)"),
};

std::string Trimmed(std::string s) {
  s.erase(0, s.find_first_not_of(' '));
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

// A label's caption without its blanks, and a unit without its brackets.
std::string CaptionOf(const FormSpec& form, const char* label) {
  const ControlSpec* c = label ? FindControlSpec(form, label) : nullptr;
  return c ? Trimmed(c->caption) : std::string();
}
std::string UnitOf(const FormSpec& form, const char* label) {
  std::string unit = CaptionOf(form, label);
  if (unit.size() >= 2 && unit.front() == '[' && unit.back() == ']') unit = unit.substr(1, unit.size() - 2);
  return unit;
}

}  // namespace

std::vector<ResultQuantity> ResultQuantities(FormId form) {
  const FormSpec& table = FormSpecOf(form);
  std::vector<ResultQuantity> quantities;
  for (const BoxRow& row : kBoxes) {
    if (row.captionFrom)
      quantities.push_back({row.box, CaptionOf(table, row.captionFrom), UnitOf(table, row.unitFrom)});
    else
      quantities.push_back({row.box, row.caption, row.unit});
  }
  return quantities;
}

std::vector<ResultRow> ResultRows(FormId form, const ShownValue& shown) {
  std::vector<ResultRow> rows;
  for (const ResultQuantity& q : ResultQuantities(form)) {
    const std::optional<std::string> value = shown(q.box);
    if (value && !value->empty()) rows.push_back({q.caption, *value, q.unit});
  }
  return rows;
}

std::string ResultTableText(const std::vector<ResultRow>& rows) {
  std::string text;
  for (const ResultRow& row : rows) text += row.caption + '\t' + row.value + '\t' + row.unit + '\n';
  return text;
}
