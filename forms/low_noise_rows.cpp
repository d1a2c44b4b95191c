#include "forms/low_noise_rows.h"

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
