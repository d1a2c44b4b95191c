#include "session/low_noise_output.h"

#include "forms/low_noise_rows.h"
#include "noise/noise_parameters.h"
#include "session/session_output.h"
#include "session/state_json.h"
#include "text/number_text.h"

namespace {

std::string ReflectionJson(Cx gamma) {
  return "{\"mag\":" + JsonNumber(std::abs(gamma)) + ",\"deg\":" + JsonNumber(AngleDegrees(gamma)) + "}";
}

std::string ImpedanceJson(Cx z) {
  return "{\"re\":" + JsonNumber(z.real()) + ",\"im\":" + JsonNumber(z.imag()) + "}";
}

std::string NetworkJson(Side side, const TeeNetwork& n) {
  const double values[] = {n.outer, n.shunt, n.inner};
  std::string elements, units;
  for (int i = 0; i < 3; ++i) {
    const std::string name = JsonString(ElementName(side, n.kind, i));
    elements += (i ? "," : "") + name + ":" + JsonNumber(values[i]);
    units += (i ? "," : "") + name + ":" + JsonString(ElementUnit(n.kind, i));
  }
  return "{\"kind\":" + JsonString(NetworkKindName(n.kind)) + ",\"elements\":{" + elements + "},\"units\":{" +
         units + "}}";
}

// The figures of a sweep line, in the header's order.
constexpr const char* kFigureColumns[] = {
    "bn_Gs_mod", "bn_Gs_gradi", "bn_GL_mod", "bn_GL_gradi", "bn_GT_dB", "bn_NF_dB", "bn_NFmin_Yf_dB",
    "bn_NF_sopra_min_dB", "bn_RL_ingresso_dB", "bn_ROS_ingresso", "bn_RL_uscita_dB", "bn_mu"};

std::vector<double> FigureColumns(const LowNoiseDesign& d) {
  return {std::abs(d.gammaS), AngleDegrees(d.gammaS), std::abs(d.gammaL), AngleDegrees(d.gammaL),
          d.gtDb, d.nfDb, d.nfMinPairDb, d.nfAboveMinDb, d.inputReturnLossDb, d.inputVswr,
          d.outputReturnLossDb, d.mu};
}

}  // namespace

LowNoiseResult LowNoiseOfSession(const SessionResult& session, const TouchstoneData* file,
                                 const LowNoiseTarget& target, const std::optional<NoiseParameters>& typed) {
  const WindowDesignResult* made = session.firstDesign();
  const DesignState& state = made ? made->state : session.state;
  std::optional<NoiseParameters> noise = typed;
  if (!noise && file) noise = FileNoiseAt(*file, state.fMHz);
  if (!noise) return std::string(kNoNoiseData);
  return DesignLowNoise(state, *noise, target);
}

std::string LowNoiseJson(const LowNoiseResult& result) {
  if (const auto* refused = std::get_if<std::string>(&result)) return "{\"refused\":" + JsonString(*refused) + "}";
  const LowNoiseDesign& d = std::get<LowNoiseDesign>(result);
  return "{\"target\":" + JsonString(LowNoiseTargetText(d.target)) + ",\"gammaS\":" + ReflectionJson(d.gammaS) +
         ",\"gammaL\":" + ReflectionJson(d.gammaL) + ",\"input\":" + NetworkJson(Side::Input, d.design.input) +
         ",\"output\":" + NetworkJson(Side::Output, d.design.output) + ",\"gtDb\":" + JsonNumber(d.gtDb) +
         ",\"nfDb\":" + JsonNumber(d.nfDb) + ",\"nfMinDb\":" + JsonNumber(d.nfMinPairDb) +
         ",\"nfAboveMinDb\":" + JsonNumber(d.nfAboveMinDb) +
         ",\"inputReturnLossDb\":" + JsonNumber(d.inputReturnLossDb) + ",\"inputVswr\":" + JsonNumber(d.inputVswr) +
         ",\"outputReturnLossDb\":" + JsonNumber(d.outputReturnLossDb) + ",\"mu\":" + JsonNumber(d.mu) +
         ",\"zsOhm\":" + ImpedanceJson(d.zs) + ",\"zlOhm\":" + ImpedanceJson(d.zl) + "}";
}

std::string WithLowNoiseJson(const std::string& sessionJson, const LowNoiseResult& result) {
  const size_t close = sessionJson.find_last_of('}');
  if (close == std::string::npos) return sessionJson;
  return sessionJson.substr(0, close) + ",\"lowNoise\":" + LowNoiseJson(result) + sessionJson.substr(close);
}

std::string LowNoiseReport(const LowNoiseResult& result) {
  std::string out = "\nProgetto a basso rumore";
  if (const auto* refused = std::get_if<std::string>(&result)) return out + ": non eseguito\n  Messaggio: " + *refused + "\n";
  const LowNoiseDesign& d = std::get<LowNoiseDesign>(result);
  out += " (" + LowNoiseTargetCaption(d.target) + ")\n";
  out += "  Rete d'ingresso " + std::string(NetworkKindName(d.design.input.kind)) + ", rete d'uscita " +
         NetworkKindName(d.design.output.kind) + "\n";
  for (const auto& rows : {LowNoiseElementRows(d), LowNoiseFigureRows(d)})
    for (const LowNoiseRow& r : rows)
      out += "  " + r.caption + (r.unit.empty() ? "" : " [" + r.unit + "]") + ": " + FormatNumber(r.value) + "\n";
  return out;
}

std::string LowNoiseCsvHeader() {
  std::string h = ",bn_esito";
  for (const char* c : kFigureColumns) h += std::string(",") + c;
  h += ",bn_rete_ingresso";
  for (const char* side : {"in", "out"}) {
    if (side[0] == 'o') h += ",bn_rete_uscita";
    for (int i = 1; i <= 3; ++i)
      for (const char* part : {"", "_valore", "_unita"}) h += std::string(",bn_") + side + std::to_string(i) + part;
  }
  return h + ",bn_messaggio";
}

std::string WithLowNoiseCsv(const std::string& line, const LowNoiseResult& result) {
  std::string out = line;
  const bool newline = !out.empty() && out.back() == '\n';
  if (newline) out.pop_back();
  if (const auto* refused = std::get_if<std::string>(&result)) {
    out += ",rifiutato" + std::string(std::size(kFigureColumns) + 20, ',') + "," + CsvField(*refused);
  } else {
    const LowNoiseDesign& d = std::get<LowNoiseDesign>(result);
    out += ",progettato";
    for (double x : FigureColumns(d)) {
      out += ',';  // not "," + a temporary: GCC 12 at -O3 warns (-Wrestrict)
      out += FileNumberText(x);
    }
    AppendElementsCsv(out, Side::Input, d.design.kinds.input, d.design.state);
    AppendElementsCsv(out, Side::Output, d.design.kinds.output, d.design.state);
    out += ",";
  }
  return newline ? out + "\n" : out;
}
