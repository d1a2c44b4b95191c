#include "forms/accessible_names.h"

#include <cstring>

#include "forms/result_table.h"
#include "model/quantities.h"

namespace {

// The input window's controls and the result windows' pictures by a fixed
// name; the result windows' value boxes after the quantity they show.
struct NameRow {
  const char* control;
  const char* name;
};

constexpr NameRow Fixed(const char* control, const char* name) { return {control, name}; }

// The fields are named after their quantities (model/quantities.h).
constexpr NameRow kInputNames[] = {
    Fixed("Picture1", "schema a blocchi dell'amplificatore"),
};

std::string CaptionWithUnit(const std::string& caption, const std::string& unit) {
  return unit.empty() ? caption : caption + " [" + unit + "]";
}

constexpr NameRow kResultPictures[] = {
    Fixed("Picture1", "schema dell'amplificatore con le reti di adattamento"),
    Fixed("Picture2", "retroazione Yf: Rf in parallelo a Lf"),
    Fixed("Picture3", "retroazione Yf: Rf in parallelo a Cf"),
    Fixed("Picture4", "retroazione Yf: Rf"),
};

std::string ResultBoxName(FormId form, const char* box) {
  for (const ResultQuantity& q : ResultQuantities(form))
    if (std::strcmp(q.box, box) == 0) return CaptionWithUnit(q.caption, q.unit);
  return {};
}

}  // namespace

std::string AccessibleNameOf(FormId form, const ControlSpec& control) {
  auto find = [&](const auto& rows) -> std::string {
    for (const NameRow& row : rows)
      if (std::strcmp(row.control, control.name) == 0) return row.name;
    return {};
  };
  if (form == FormId::Form1) {
    if (const QuantitySpec* q = QuantityOfControl(control.name)) return CaptionWithUnit(q->caption, q->unit);
    return find(kInputNames);
  }
  const std::string picture = find(kResultPictures);
  return picture.empty() ? ResultBoxName(form, control.name) : picture;
}
