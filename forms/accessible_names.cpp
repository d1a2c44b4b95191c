#include "forms/accessible_names.h"

#include <cstring>

#include "forms/result_table.h"

namespace {

// The input window's controls and the result windows' pictures by a fixed
// name; the result windows' value boxes after the quantity they show.
struct NameRow {
  const char* control;
  const char* name;
};

constexpr NameRow Fixed(const char* control, const char* name) { return {control, name}; }

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

}  // namespace

std::string AccessibleNameOf(FormId form, const ControlSpec& control) {
  auto find = [&](const auto& rows) -> std::string {
    for (const NameRow& row : rows)
      if (std::strcmp(row.control, control.name) == 0) return row.name;
    return {};
  };
  if (form == FormId::Form1) return find(kInputNames);
  const std::string picture = find(kResultPictures);
  return picture.empty() ? ResultBoxName(form, control.name) : picture;
}
