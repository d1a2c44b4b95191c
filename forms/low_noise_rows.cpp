#include "forms/low_noise_rows.h"

#include <cmath>
#include <cstring>

#include "text/number_text.h"

namespace {

void AddNetwork(std::vector<LowNoiseRow>& rows, Side side, const TeeNetwork& n) {
  const double values[] = {n.outer, n.shunt, n.inner};
  for (int i = 0; i < 3; ++i) rows.push_back({ElementName(side, n.kind, i), values[i], ElementUnit(n.kind, i)});
}

}  // namespace

std::vector<LowNoiseRow> LowNoiseElementRows(const LowNoiseDesign& d) {
  std::vector<LowNoiseRow> rows;
  AddNetwork(rows, Side::Input, d.design.input);
  AddNetwork(rows, Side::Output, d.design.output);
  return rows;
}

std::vector<LowNoiseRow> LowNoiseFigureRows(const LowNoiseDesign& d) {
  return {
      {"|Γs|", std::abs(d.gammaS), ""},
      {"Angolo di Γs", AngleDegrees(d.gammaS), "°"},
      {"Re(Zs)", d.zs.real(), "ohm"},
      {"Im(Zs)", d.zs.imag(), "ohm"},
      {"|ΓL|", std::abs(d.gammaL), ""},
      {"Angolo di ΓL", AngleDegrees(d.gammaL), "°"},
      {"Re(ZL)", d.zl.real(), "ohm"},
      {"Im(ZL)", d.zl.imag(), "ohm"},
      {"GT (= GA)", d.gtDb, "dB"},
      {"NF dell'amplificatore", d.nfDb, "dB"},
      {"NFmin con la retroazione", d.nfMinPairDb, "dB"},
      {"Distanza da NFmin", d.nfAboveMinDb, "dB"},
      {"Perdita di ritorno in ingresso", d.inputReturnLossDb, "dB"},
      {"ROS in ingresso", d.inputVswr, ""},
      {"Perdita di ritorno in uscita", d.outputReturnLossDb, "dB"},
      {"μ dell'amplificatore", d.mu, ""},
  };
}

std::string LowNoiseRowsText(const LowNoiseDesign& d) {
  std::string text = "Obiettivo\t" + LowNoiseTargetCaption(d.target) + "\t\n";
  for (const auto& rows : {LowNoiseElementRows(d), LowNoiseFigureRows(d)})
    for (const LowNoiseRow& r : rows) text += r.caption + "\t" + FormatNumber(r.value) + "\t" + r.unit + "\n";
  return text;
}

FormId ResultWindowOfKinds(NetworkKinds k) {
  if (k.input == NetworkKind::LCL) return k.output == NetworkKind::LCL ? FormId::Form2 : FormId::Form3;
  return k.output == NetworkKind::CLC ? FormId::Form4 : FormId::Form5;
}

ShownValue LowNoiseBoxTexts(const LowNoiseDesign& d) {
  const FormId form = ResultWindowOfKinds(d.design.kinds);
  const DesignState state = d.design.state;
  const TeeNetwork in = d.design.input, out = d.design.output;
  // The element boxes by their place in the networks: a caption may differ
  // from the element's name (Form5 captions Lo1 "Loi1").
  const std::pair<const char*, double> elements[] = {
      {"Label1", in.outer},   {"Label2", in.inner},   {"Label3", in.shunt},
      {"Label19", out.outer}, {"Label20", out.inner}, {"Label18", out.shunt}};
  return [form, state, elements](const char* box) -> std::optional<std::string> {
    for (const auto& [name, value] : elements)
      if (std::strcmp(name, box) == 0) return FormatNumber(value);
    for (const ResultQuantity& q : ResultQuantities(form)) {
      if (std::strcmp(q.box, box) != 0) continue;
      // A box's caption without blanks, brackets and bars names its field of
      // the state: "Re(Zitot)" ReZitot, "Po / Pi" PoPi, "Rf" Rf.
      std::string field;
      for (char c : q.caption)
        if (!std::strchr(" ()/|", c)) field += c;
      if (field == "VoVi") return FormatNumber(std::sqrt(state.RL * state.PoPi / state.RE));
      for (const RealField& f : RealFields())
        if (field == f.name) return FormatNumber(state.*f.member);
    }
    return std::nullopt;
  };
}
