#include "session/session_output.h"

#include <cmath>
#include <complex>

#include "analysis/amplifier.h"
#include "analysis/file_stability.h"
#include "forms/accessible_names.h"
#include "forms/controls.h"
#include "forms/field_check.h"
#include "forms/result_commands.h"
#include "model/quantities.h"
#include "project/project.h"
#include "session/state_json.h"
#include "text/number_text.h"
#include "text/utf16.h"

namespace {

// The windows' number format; a value that cannot be shown as a number is
// left out rather than shown as one.
std::string Shown(double x) { return std::isfinite(x) ? FormatNumber(x) : "—"; }


const char* GainKind(const StabilityFigures& f) { return f.gainIsMag ? "MAG" : "MSG"; }

std::string KJson(const StabilityFigures& f) { return f.kDefined ? JsonNumber(f.k) : std::string("null"); }
std::string KText(const StabilityFigures& f) { return f.kDefined ? Shown(f.k) : std::string("non definito"); }

// [[from, to], ...] in MHz; null without a file.
std::string BandsJson(const std::vector<FrequencyBand>* bands) {
  if (!bands) return "null";
  std::string o = "[";
  for (std::size_t i = 0; i < bands->size(); ++i)
    o += (i ? ",[" : "[") + JsonNumber((*bands)[i].fromMHz) + "," + JsonNumber((*bands)[i].toMHz) + "]";
  return o + "]";
}

std::string StabilityJson(const std::optional<StabilityFigures>& f, const std::vector<FrequencyBand>* bands) {
  if (!f) return "null";
  return "{\"K\":" + KJson(*f) + ",\"delta\":" + JsonNumber(std::abs(f->delta)) +
         ",\"mu\":" + JsonNumber(f->mu) + ",\"unconditionallyStable\":" +
         (f->unconditionallyStable ? "true" : "false") + ",\"gain\":\"" + GainKind(*f) +
         "\",\"gainDb\":" + (f->gainFinite ? JsonNumber(f->gainDb) : std::string("null")) +
         ",\"unstableBandsMHz\":" + BandsJson(bands) + "}";
}

std::string StabilityLine(const std::optional<StabilityFigures>& f) {
  if (!f) return "non calcolabile (K non è finito)";
  std::string line = "K = " + KText(*f) + ", |Δ| = " + Shown(std::abs(f->delta)) +
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

// The input window's texts by project key ("s11_mag"), the names a script
// gives after --field, so it reads back what it wrote.
std::string InputTextsJson(const std::vector<FieldText>& texts) {
  std::string o = "{";
  for (size_t i = 0; i < texts.size(); ++i) {
    const QuantitySpec* q = QuantityOfControl(texts[i].control);
    // Appended piece by piece: "," + a temporary string makes GCC 12 at -O3
    // warn (-Wrestrict), which stops a Release build.
    if (i) o += ',';
    o += JsonString(q ? q->key : texts[i].control);
    o += ':';
    o += JsonString(texts[i].text);
  }
  return o + "}";
}

std::string OptionalJson(const std::optional<double>& x) { return x ? JsonNumber(*x) : "null"; }

std::string NoiseParametersJson(const NoiseParameters& n) {
  return "{\"nfMinDb\":" + JsonNumber(n.nfMinDb()) + ",\"gammaOptMag\":" + JsonNumber(MagnitudeOf(n.gammaOpt)) +
         ",\"gammaOptDeg\":" + JsonNumber(DegreesOf(n.gammaOpt)) + ",\"rnOhm\":" + JsonNumber(n.rnOhm) + "}";
}

std::string NoiseJson(const std::optional<NoiseAtDesign>& n) {
  if (!n) return "null";
  return "{\"fMHz\":" + JsonNumber(n->fMHz) + ",\"transistor\":" + NoiseParametersJson(n->transistor) +
         ",\"withFeedback\":" + NoiseParametersJson(n->withFeedback) + "}";
}

std::string CsvNumber(const std::optional<double>& x) { return x ? FileNumberText(*x) : std::string(); }

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

// Each network element by name with its value in full precision and its
// unit; null before the window's compute ran to its end.
std::string ElementsJson(const WindowDesignResult& d) {
  if (!d.computed) return "null";
  const NetworkKinds kinds = NetworkKindsOf(d.window);
  std::string o = "{";
  for (const auto& [side, kind] : {std::pair{Side::Input, kinds.input}, std::pair{Side::Output, kinds.output}}) {
    const TeeNetwork n = NetworkOf(side, d.state, kind);
    const double values[] = {n.outer, n.shunt, n.inner};
    for (int i = 0; i < 3; ++i)
      o += std::string(o.size() > 1 ? "," : "") + JsonString(ElementName(side, kind, i)) +
           ":{\"value\":" + JsonNumber(values[i]) + ",\"unit\":" + JsonString(ElementUnit(kind, i)) + "}";
  }
  return o + "}";
}

std::string DesignJson(const WindowDesignResult& d, const std::optional<double>& nfDb) {
  return std::string("{\"window\":") + JsonString(FormName(d.window)) +
         ",\"computed\":" + (d.computed ? "true" : "false") +
         ",\"messages\":" + MessagesJson(d.messages) + ",\"values\":" + TextsJson(d.values) +
         ",\"elements\":" + ElementsJson(d) + ",\"state\":" + StateJson(d.state) +
         ",\"noiseFigureDb\":" + OptionalJson(nfDb) + "}";
}

// " (letto come 0.2)" for a text read as its numeric prefix, else nothing.
std::string ReadingNote(const std::string& utf8) {
  const std::optional<double> read = NonPlainReading(Utf8ToUtf16(utf8));
  return read ? " (letto come " + ShortestNumberText(*read) + ")" : std::string();
}

std::string FieldsReadAsJson(const std::vector<FieldText>& fields) {
  std::string o = "{";
  for (const FieldText& f : fields) {
    const std::optional<double> read = NonPlainReading(Utf8ToUtf16(f.text));
    if (!read) continue;
    for (const ProjectFieldKey& k : ProjectFieldKeys())
      if (f.control == k.control) o += std::string(o.size() > 1 ? "," : "") + JsonString(k.key) + ":" + JsonNumber(*read);
  }
  return o + "}";
}

// Where the fields did not pass their check nothing was computed from them.
bool InputRefused(const SessionResult& r) { return r.state.errorFlag != 0; }

std::string NameOf(FormId form, const std::string& control) {
  const ControlSpec* row = FindControlSpec(FormSpecOf(form), control.c_str());
  return row ? AccessibleNameOf(form, *row) : control;
}

void AppendWindowReport(std::string& out, const WindowDesignResult& d) {
  out += "\nFinestra \"" + std::string(FormSpecOf(d.window).caption) + "\": " +
         DesignTitle(NetworkKindsOf(d.window), d.state.fMHz);
  out += d.computed ? "\n" : ": il calcolo delle reti non è stato completato\n";
  for (const std::string& m : d.messages) out += "  Messaggio: " + m + "\n";
  for (const FieldText& v : d.values)
    if (!v.text.empty()) out += "  " + NameOf(d.window, v.control) + ": " + v.text + "\n";
}

// The frequency, stability, outcome and window of a sweep line, then the
// first completed design's figures and networks.
void AppendStabilityCsv(std::string& line, const std::optional<StabilityFigures>& f) {
  if (!f) {
    line += ",,,,,";  // the five columns, empty
    return;
  }
  for (const std::string& field : {f->kDefined ? FileNumberText(f->k) : std::string(), FileNumberText(std::abs(f->delta)), FileNumberText(f->mu),
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
  SessionStability result;
  result.transistor = StabilityOf(EnteredTransistor(s));
  if (std::optional<SMatrix> fed = EnteredPair(s)) result.withFeedback = StabilityOf(*fed);
  return result;
}

// A sweep asks about the same file, Ro and feedback element at every
// frequency: each thread judges the file once for them, not once a design.
std::optional<FileStability> FileStabilityOfSession(const SessionResult& r, const TouchstoneData* file) {
  if (!file || file->records.empty() || InputRefused(r)) return std::nullopt;
  const DesignState& s = r.state;
  struct Key {
    const TouchstoneData* file;
    std::size_t records;
    double ro, gf, lf, cf;
    bool operator==(const Key&) const = default;
  };
  const Key key{file, file->records.size(), s.Ro, s.Gf, s.Bf < 0 ? s.Lf : 0.0, s.Bf > 0 ? s.Cf : 0.0};
  thread_local std::optional<std::pair<Key, FileStability>> last;
  if (!last || !(last->first == key)) last.emplace(key, StabilityAcrossFile(*file, s.Ro, FeedbackOfState(s)));
  return last->second;
}

std::string FeedbackName(int option) {
  for (const FeedbackOptionSpec& f : kFeedbackOptions)
    if (static_cast<int>(f.choice) == option) return f.name;
  return "";
}

SessionNoise NoiseOfSession(const SessionResult& r, const SessionNoiseData& data) {
  SessionNoise out;
  const NoiseSource source = DesignNoiseSource(data.typed, r.state.Ro, data.file.get());
  out.atDesign = NoiseAtState(r.state, source);
  for (const WindowDesignResult& d : r.designs) {
    std::optional<AmplifierDesign> design = d.computed ? CaptureDesign(d.window, d.state) : std::nullopt;
    if (design) design->losses = data.losses;
    const std::optional<AmplifierNoise> a = design ? NoiseOfDesign(*design, source) : std::nullopt;
    out.nfDb.push_back(a ? std::optional<double>(a->nfDb) : std::nullopt);
  }
  return out;
}

std::string SessionJson(const SessionResult& r, const SessionNoiseData& noiseData, const TouchstoneData* file) {
  const std::string feedback = FeedbackName(r.feedbackOption);
  std::string o = "{\"fields\":" + InputTextsJson(r.fields);
  o += ",\"fieldsReadAs\":" + FieldsReadAsJson(r.fields);
  o += ",\"feedback\":" + (feedback.empty() ? std::string("null") : JsonString(feedback));
  o += ",\"messages\":" + MessagesJson(r.messages);
  o += ",\"windows\":" + JsonArray(r.windows, [](FormId f) { return JsonString(FormName(f)); });
  o += ",\"state\":" + StateJson(r.state);
  // Where the fields were refused, no figure computed from them: no noise
  // and no stability, as no design.
  const bool refused = InputRefused(r);
  const SessionNoise noise = refused ? SessionNoise{{}, std::vector<std::optional<double>>(r.designs.size())}
                                     : NoiseOfSession(r, noiseData);
  std::string designs = "[";
  for (size_t i = 0; i < r.designs.size(); ++i) {
    if (i) designs += ',';
    designs += DesignJson(r.designs[i], noise.nfDb[i]);
  }
  o += ",\"designs\":" + designs + "]";
  o += ",\"noise\":" + NoiseJson(noise.atDesign);
  if (refused) return o + ",\"stability\":null}";
  const SessionStability stability = StabilityOfSession(r.state);
  const std::optional<FileStability> across = FileStabilityOfSession(r, file);
  o += ",\"stability\":{\"transistor\":" + StabilityJson(stability.transistor, across ? &across->transistor : nullptr) +
       ",\"withFeedback\":" + StabilityJson(stability.withFeedback, across ? &across->withFeedback : nullptr) + "}}";
  return o;
}

std::string SessionReport(const SessionResult& r, const TouchstoneData* file) {
  std::string out = std::string(FormSpecOf(FormId::Form1).caption) + "\n\nDati:\n";
  for (const FieldText& f : r.fields)
    out += "  " + NameOf(FormId::Form1, f.control) + ": " + f.text + ReadingNote(f.text) + "\n";
  const std::string feedback = FeedbackName(r.feedbackOption);
  out += "  Reazione Yf: " + (feedback.empty() ? std::string("nessuna scelta") : feedback) + "\n";

  if (!InputRefused(r)) {
    const SessionStability stability = StabilityOfSession(r.state);
    out += "\nStabilità del transistore: " + StabilityLine(stability.transistor) + "\n";
    out += "Con la reazione: " + StabilityLine(stability.withFeedback) + "\n";
  }
  if (r.designed) {
    const std::optional<FileStability> across = FileStabilityOfSession(r, file);
    out += "Progetto: " + DesignStabilityLine(r.state, across ? &*across : nullptr) + "\n";
  }

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
  return h + ",NFmin_dB,NFmin_Yf_dB,NF_dB,messaggi\n";
}

std::string SweepCsvLine(const SweepDesign& d, const SessionNoiseData& noiseData) {
  const SessionResult& r = d.session;
  const bool refused = InputRefused(r);
  const SessionNoise noise = refused ? SessionNoise{} : NoiseOfSession(r, noiseData);
  SessionStability stability;
  if (!refused) stability = StabilityOfSession(r.state);
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
  const std::optional<NoiseAtDesign>& at = noise.atDesign;
  std::optional<double> nf;
  for (size_t i = 0; i < noise.nfDb.size(); ++i)
    if (&r.designs[i] == design) nf = noise.nfDb[i];
  line += "," + CsvNumber(at ? std::optional<double>(at->transistor.nfMinDb()) : std::nullopt) + "," +
          CsvNumber(at ? std::optional<double>(at->withFeedback.nfMinDb()) : std::nullopt) + "," + CsvNumber(nf);
  std::string messages;
  for (size_t i = 0; i < r.messages.size(); ++i) messages += (i ? " | " : "") + r.messages[i];
  return line + "," + CsvField(messages) + "\n";
}
