#include "forms/report_text.h"

#include <cmath>
#include <cstring>
#include <numbers>
#include <optional>

#include "figures/figure.h"
#include "forms/controls.h"
#include "forms/result_commands.h"
#include "forms/schematics.h"
#include "model/arithmetic.h"

namespace {

constexpr const char* kMissing = "—";

std::string Fixed(double value, int decimals) {
  return std::isfinite(value) ? FormatFixed(value, decimals) : kMissing;
}
std::string Significant(double value, int digits = 7) {
  return std::isfinite(value) ? FormatSignificant(value, digits) : kMissing;
}

std::string CaptionWithUnit(const ResultRow& row) {
  return row.unit.empty() ? row.caption : row.caption + " [" + row.unit + "]";
}

const char* FeedbackName(FeedbackKind kind) {
  switch (kind) {
    case FeedbackKind::R: return "Rf";
    case FeedbackKind::RParallelL: return "Rf // Lf";
    case FeedbackKind::RParallelC: return "Rf // Cf";
    case FeedbackKind::None: break;
  }
  return "nessuna";
}

// "Re(Zitot)" -> "Zitot"; empty when the caption is not of that form.
std::string InsideOf(const std::string& caption, const char* part) {
  const std::size_t open = std::strlen(part);
  if (caption.size() <= open + 1 || caption.compare(0, open, part) != 0 || caption.back() != ')') return {};
  return caption.substr(open, caption.size() - open - 1);
}

std::vector<std::string> StabilityColumn(const std::optional<StabilityFigures>& f) {
  if (!f) return {kMissing, kMissing, kMissing, kMissing, "non calcolabile"};
  std::string gain = kMissing;
  if (!f->gainFinite) gain = "illimitato";
  else gain = Fixed(f->gainDb, 2) + (f->gainIsMag ? " (MAG)" : " (MSG)");
  // A unilateral two-port's K has no bound; it is held at the ceiling.
  const std::string k = f->k >= kFigureCeiling ? "> 1e6" : Fixed(f->k, 3);
  return {k, Fixed(std::abs(f->delta), 3), Fixed(f->mu, 3), gain,
          f->unconditionallyStable ? "incondizionata" : "condizionata"};
}

// Where each element box's value belongs on the schematic: the side and the
// position within its T network (outer, shunt, inner).
struct ElementBox {
  const char* box;
  Side side;
  int position;
};
constexpr ElementBox kElementBoxes[] = {
    {"Label1", Side::Input, 0},   {"Label3", Side::Input, 1},   {"Label2", Side::Input, 2},
    {"Label19", Side::Output, 0}, {"Label18", Side::Output, 1}, {"Label20", Side::Output, 2},
};

const DrawOp* FindLettering(const PictureSpec& picture, const char* text) {
  for (const DrawOp& op : picture.ops)
    if (op.shape == Shape::Text && op.text && std::strcmp(op.text, text) == 0) return &op;
  return nullptr;
}

// The x of the upright element nearest to x: the shunt arm beside its name.
int ShuntX(const PictureSpec& picture, int x) {
  int best = x;
  for (const DrawOp& op : picture.ops) {
    const bool part = op.shape == Shape::Inductor || op.shape == Shape::Capacitor;
    if (part && op.x1 == op.x2 && (best == x || std::abs(op.x1 - x) < std::abs(best - x))) best = op.x1;
  }
  return best;
}

std::string UnitOfBox(FormId form, const char* box) {
  for (const ResultQuantity& q : ResultQuantities(form))
    if (std::strcmp(q.box, box) == 0) return q.unit;
  return {};
}

}  // namespace

ReportTable TransistorTable(const DesignState& s) {
  constexpr double kDegrees = 180 / kPi;
  ReportTable table{"Parametri S del transistor", {"", "modulo", "fase [°]"}, {}};
  const double values[4][2] = {
      {s.S11mag, s.S11ang}, {s.S12mag, s.S12ang}, {s.S21mag, s.S21ang}, {s.S22mag, s.S22ang}};
  const char* names[4] = {"S11", "S12", "S21", "S22"};
  for (int i = 0; i < 4; ++i)
    table.rows.push_back({names[i], Significant(values[i][0]), Significant(values[i][1] * kDegrees, 6)});
  return table;
}

ReportTable CircuitTable(const AmplifierDesign& design, const std::string& touchstonePath) {
  ReportTable table{"Dati del progetto", {}, {}};
  table.rows = {{"Ro [ohm]", Significant(design.Ro)},
                {"RE [ohm]", Significant(design.RE)},
                {"RL [ohm]", Significant(design.RL)},
                {"Frequenza di progetto [MHz]", Significant(design.fMHz)},
                {"Retroazione", FeedbackName(design.feedback.kind)}};
  table.rows.push_back({"Parametri S", touchstonePath.empty() ? "inseriti a mano" : "dal file Touchstone"});
  if (!touchstonePath.empty()) table.rows.push_back({"File", touchstonePath});
  return table;
}

ReportTable ValueTable(std::string title, const std::vector<ResultRow>& rows) {
  ReportTable table{std::move(title), {}, {}};
  for (const ResultRow& row : rows) table.rows.push_back({CaptionWithUnit(row), row.value});
  return table;
}

ReportTable GainTable(const std::vector<ResultRow>& rows, double poPi) {
  ReportTable table = ValueTable("Guadagni", rows);
  table.rows.push_back({"Po / Pi [dB]", poPi > 0 ? Fixed(10 * std::log10(poPi), 2) : kMissing});
  return table;
}

ReportTable VerificationTable(const std::vector<ResultRow>& rows) {
  ReportTable table{"Verifica", {"", "Re [ohm]", "Im [ohm]"}, {}};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::string name = InsideOf(rows[i].caption, "Re(");
    if (!name.empty() && i + 1 < rows.size() && InsideOf(rows[i + 1].caption, "Im(") == name) {
      table.rows.push_back({name, rows[i].value, rows[i + 1].value});
      ++i;
    } else {
      table.rows.push_back({CaptionWithUnit(rows[i]), rows[i].value, ""});
    }
  }
  return table;
}

ReportTable StabilityTable(const AmplifierDesign& design) {
  std::optional<StabilityFigures> alone = StabilityOf(design.transistor);
  std::optional<StabilityFigures> fed;
  if (const auto s = WithFeedback(design.transistor, design.Ro, FeedbackAdmittance(design.feedback, design.fMHz)))
    fed = StabilityOf(*s);
  const std::vector<std::string> a = StabilityColumn(alone), f = StabilityColumn(fed);
  const char* names[] = {"K", "|Δ|", "μ", "MAG o MSG [dB]", "Stabilità"};
  ReportTable table{"Stabilità a " + Significant(design.fMHz) + " MHz", {"", "transistor", "con retroazione"}, {}};
  for (std::size_t i = 0; i < std::size(names); ++i) table.rows.push_back({names[i], a[i], f[i]});
  return table;
}

std::vector<const char*> NetworkBoxes() { return {"Label1", "Label2", "Label3", "Label20", "Label19", "Label18"}; }
std::vector<const char*> GainBoxes() { return {"Label37", "Label38"}; }
std::vector<const char*> VerificationBoxes() {
  return {"Label10", "Label11", "Label26", "Label25", "Label48", "Label47",
          "Label41", "Label42", "Label56", "Label55", "Label49", "Label50"};
}

std::vector<const char*> FeedbackBoxes(const DesignState& state) {
  // The window's boxes of a feedback kind not in this design may still show
  // an earlier design's values, so the design says which ones count.
  if (state.Bf == 0 && !(state.Gf > 0)) return {};
  std::vector<const char*> boxes{"Label28"};
  if (state.Bf < 0) boxes.push_back("Label29");
  if (state.Bf > 0) boxes.push_back("Label31");
  return boxes;
}

PictureId SchematicOf(FormId form) {
  const ControlSpec* picture = FindControlSpec(FormSpecOf(form), "Picture1");
  return picture ? picture->picture : PictureId::None;
}

std::vector<SchematicValue> SchematicValues(FormId form, const ShownValue& shown) {
  const PictureSpec& picture = ResultPicture(SchematicOf(form));
  const NetworkKinds kinds = NetworkKindsOf(form);
  std::vector<SchematicValue> values;
  for (const ElementBox& e : kElementBoxes) {
    const std::optional<std::string> text = shown(e.box);
    if (!text || text->empty()) continue;
    const NetworkKind kind = e.side == Side::Input ? kinds.input : kinds.output;
    const DrawOp* name = FindLettering(picture, ElementName(e.side, kind, e.position));
    if (!name) continue;
    const std::string unit = UnitOfBox(form, e.box);
    const std::string value = unit.empty() ? *text : *text + " " + unit;
    // The series names sit above the top wire, with room above them. The
    // shunt's name is beside its element, with the port arrows below it, so
    // its value goes on the element's other side, mirrored.
    if (e.position == 1) {
      const int x = ShuntX(picture, name->x1);
      values.push_back({2 * x - name->x1, name->y1, Anchor::Right, value});
    } else {
      values.push_back({name->x1, name->y1 - (kLetteringPx + 3), name->anchor, value});
    }
  }
  return values;
}
