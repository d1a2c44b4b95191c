#include "session/session_output.h"

#include <cmath>
#include <complex>

#include "analysis/amplifier.h"
#include "forms/accessible_names.h"
#include "forms/controls.h"
#include "forms/result_commands.h"
#include "project/project.h"
#include "session/state_json.h"
#include "text/number_text.h"

namespace {

// The windows' number format; a value that cannot be shown as a number is
// left out rather than shown as one.
std::string Shown(double x) { return std::isfinite(x) ? FormatNumber(x) : "—"; }


const char* GainKind(const StabilityFigures& f) { return f.gainIsMag ? "MAG" : "MSG"; }

std::string StabilityJson(const std::optional<StabilityFigures>& f) {
  if (!f) return "null";
  return "{\"K\":" + JsonNumber(f->k) + ",\"delta\":" + JsonNumber(std::abs(f->delta)) +
         ",\"mu\":" + JsonNumber(f->mu) + ",\"unconditionallyStable\":" +
         (f->unconditionallyStable ? "true" : "false") + ",\"gain\":\"" + GainKind(*f) +
         "\",\"gainDb\":" + (f->gainFinite ? JsonNumber(f->gainDb) : std::string("null")) + "}";
}

std::string StabilityLine(const std::optional<StabilityFigures>& f) {
  if (!f) return "non calcolabile (K non è finito)";
  std::string line = "K = " + Shown(f->k) + ", |Δ| = " + Shown(std::abs(f->delta)) +
                     ", μ = " + Shown(f->mu) + ", ";
  line += f->unconditionallyStable ? "incondizionatamente stabile" : "potenzialmente instabile";
  if (f->gainFinite)
    line += std::string(", ") + GainKind(*f) + " = " + Shown(f->gainDb) + " dB";
  else
    line += ", guadagno senza limite (S12 = 0)";
  return line;
}

template <class T, class F>
std::string JsonArray(const std::vector<T>& items, F&& write) {
  std::string o = "[";
  // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on
  // "literal" + std::string&& at -O3.
  for (size_t i = 0; i < items.size(); ++i) {
    if (i) o += ',';
    o += write(items[i]);
  }
  return o + "]";
}

std::string MessagesJson(const std::vector<std::string>& messages) {
  return JsonArray(messages, [](const std::string& m) { return JsonString(m); });
}

std::string TextsJson(const std::vector<FieldText>& texts) {
  std::string o = "{";
  for (size_t i = 0; i < texts.size(); ++i) {
    if (i) o += ',';
    o += JsonString(texts[i].control);
    o += ':';
    o += JsonString(texts[i].text);
  }
  return o + "}";
}

std::string DesignJson(const WindowDesignResult& d) {
  return std::string("{\"window\":") + JsonString(FormName(d.window)) +
         ",\"computed\":" + (d.computed ? "true" : "false") +
         ",\"messages\":" + MessagesJson(d.messages) + ",\"values\":" + TextsJson(d.values) +
         ",\"state\":" + StateJson(d.state) + "}";
}

std::string NameOf(FormId form, const std::string& control) {
  const ControlSpec* row = FindControlSpec(FormSpecOf(form), control.c_str());
  return row ? AccessibleNameOf(form, *row) : control;
}

void AppendWindowReport(std::string& out, const WindowDesignResult& d) {
  out += "\nFinestra \"" + std::string(FormSpecOf(d.window).caption) + "\" (" + FormName(d.window) + ")";
  out += d.computed ? "\n" : ": il calcolo delle reti non è stato completato\n";
  for (const std::string& m : d.messages) out += "  Messaggio: " + m + "\n";
  for (const FieldText& v : d.values)
    if (!v.text.empty()) out += "  " + NameOf(d.window, v.control) + ": " + v.text + "\n";
}

// The frequency, stability, outcome and window of a sweep line, then the
// first completed design's figures and networks.
void AppendStabilityCsv(std::string& line, const std::optional<StabilityFigures>& f) {
  if (!f) {
    line += ",,,,";
    return;
  }
  for (const std::string& field : {FileNumberText(f->k), FileNumberText(std::abs(f->delta)), FileNumberText(f->mu),
                                   std::string(GainKind(*f)),
                                   f->gainFinite ? FileNumberText(f->gainDb) : std::string()}) {
    line += ',';
    line += field;
  }
}

}  // namespace

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\n\r") == std::string::npos) return text;
  std::string out = "\"";
  for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

void AppendElementsCsv(std::string& line, Side side, NetworkKind kind, const DesignState& s) {
  const TeeNetwork n = NetworkOf(side, s, kind);
  const double values[] = {n.outer, n.shunt, n.inner};
  line += std::string(",") + NetworkKindName(kind);
  for (int i = 0; i < 3; ++i)
    line += std::string(",") + ElementName(side, kind, i) + "," + FileNumberText(values[i]) + "," +
            ElementUnit(kind, i);
}

SessionStability StabilityOfSession(const DesignState& s) {
  const SMatrix transistor{std::polar(s.S11mag, s.S11ang), std::polar(s.S12mag, s.S12ang),
                           std::polar(s.S21mag, s.S21ang), std::polar(s.S22mag, s.S22ang)};
  SessionStability result;
  result.transistor = StabilityOf(transistor);
  if (std::optional<SMatrix> fed = WithFeedback(transistor, s.Ro, Cx{s.Gf, s.Bf}))
    result.withFeedback = StabilityOf(*fed);
  return result;
}

std::string FeedbackName(int option) {
  for (const FeedbackOptionSpec& f : kFeedbackOptions)
    if (static_cast<int>(f.choice) == option) return f.name;
  return "";
}

std::string SessionJson(const SessionResult& r) {
  const SessionStability stability = StabilityOfSession(r.state);
  const std::string feedback = FeedbackName(r.feedbackOption);
  std::string o = "{\"fields\":" + TextsJson(r.fields);
  o += ",\"feedback\":" + (feedback.empty() ? std::string("null") : JsonString(feedback));
  o += ",\"messages\":" + MessagesJson(r.messages);
  o += ",\"windows\":" + JsonArray(r.windows, [](FormId f) { return JsonString(FormName(f)); });
  o += ",\"state\":" + StateJson(r.state);
  o += ",\"designs\":" + JsonArray(r.designs, DesignJson);
  o += ",\"stability\":{\"transistor\":" + StabilityJson(stability.transistor) +
       ",\"withFeedback\":" + StabilityJson(stability.withFeedback) + "}}";
  return o;
}

std::string SessionReport(const SessionResult& r) {
  std::string out = std::string(FormSpecOf(FormId::Form1).caption) + "\n\nDati:\n";
  for (const FieldText& f : r.fields) out += "  " + NameOf(FormId::Form1, f.control) + ": " + f.text + "\n";
  const std::string feedback = FeedbackName(r.feedbackOption);
  out += "  Reazione Yf: " + (feedback.empty() ? std::string("nessuna scelta") : feedback) + "\n";

  const SessionStability stability = StabilityOfSession(r.state);
  out += "\nStabilità del transistore: " + StabilityLine(stability.transistor) + "\n";
  out += "Con la reazione: " + StabilityLine(stability.withFeedback) + "\n";

  if (!r.designed) {
    out += "\nProgetto non eseguito.\n";
    for (const std::string& m : r.messages) out += "  Messaggio: " + m + "\n";
    return out;
  }
  for (const WindowDesignResult& d : r.designs) AppendWindowReport(out, d);
  return out;
}

std::string SweepCsvHeader() {
  std::string h = "f_MHz";
  for (const char* suffix : {"", "_Yf"})
    for (const char* name : {"K", "mod_delta", "mu", "guadagno_max", "guadagno_max_dB"})
      h += std::string(",") + name + suffix;
  h += ",esito,finestra,ReZi_ohm,ImZi_ohm,ReZo_ohm,ImZo_ohm,Po_Pi_dB,rete_ingresso";
  for (const char* side : {"in", "out"}) {
    if (side[0] == 'o') h += ",rete_uscita";
    for (int i = 1; i <= 3; ++i)
      for (const char* part : {"", "_valore", "_unita"})
        h += std::string(",") + side + std::to_string(i) + part;
  }
  return h + ",messaggi\n";
}

std::string SweepCsvLine(const SweepDesign& d) {
  const SessionResult& r = d.session;
  const SessionStability stability = StabilityOfSession(r.state);
  std::string line = FileNumberText(d.fMHz);
  AppendStabilityCsv(line, stability.transistor);
  AppendStabilityCsv(line, stability.withFeedback);
  const WindowDesignResult* design = r.firstDesign();
  if (!design) {
    line += ",rifiutato,,,,,,";
    line += std::string(20, ',');
  } else {
    const DesignState& s = design->state;
    const NetworkKinds kinds = NetworkKindsOf(design->window);
    line += std::string(",progettato,") + FormName(design->window) + "," + FileNumberText(s.ReZi) + "," +
            FileNumberText(s.ImZi) + "," + FileNumberText(s.ReZo) + "," + FileNumberText(s.ImZo) + "," +
            (s.PoPi > 0 ? FileNumberText(10 * std::log10(s.PoPi)) : std::string());
    AppendElementsCsv(line, Side::Input, kinds.input, s);
    AppendElementsCsv(line, Side::Output, kinds.output, s);
  }
  std::string messages;
  for (size_t i = 0; i < r.messages.size(); ++i) messages += (i ? " | " : "") + r.messages[i];
  return line + "," + CsvField(messages) + "\n";
}
