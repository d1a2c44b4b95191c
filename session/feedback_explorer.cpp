#include "session/feedback_explorer.h"

#include <cmath>

#include "forms/result_commands.h"
#include "noise/noise_cascade.h"
#include "session/session_output.h"
#include "session/state_json.h"
#include "text/number_text.h"
#include "text/utf16.h"

namespace {

constexpr SweptField Swept(SweptElement element, Quantity q) {
  return {element, q, SpecOf(q).caption, SpecOf(q).unit};
}
constexpr SweptField kSweptFields[] = {
    Swept(SweptElement::Rf, Quantity::RfKohm),
    Swept(SweptElement::Lf, Quantity::LfMicroH),
    Swept(SweptElement::Cf, Quantity::CfPicoF),
};

// The options of the input window that use each field: Rf in all three
// feedback elements, Lf and Cf only in their own.
bool OptionUses(SweptElement element, int option) {
  const auto is = [option](FeedbackChoice c) { return option == static_cast<int>(c); };
  switch (element) {
    case SweptElement::Rf: return is(FeedbackChoice::Rf) || is(FeedbackChoice::RfLf) || is(FeedbackChoice::RfCf);
    case SweptElement::Lf: return is(FeedbackChoice::RfLf);
    case SweptElement::Cf: return is(FeedbackChoice::RfCf);
  }
  return false;
}

std::optional<double> GainDb(const std::optional<StabilityFigures>& f) {
  if (!f || !f->gainFinite) return std::nullopt;
  return f->gainDb;
}

// The −1 dB band of the finished amplifier over the explorer's grid, as the
// response window finds it.
void AddBandwidth(FeedbackScanRow& row, const AmplifierDesign& design, const TransistorSource& transistor,
                  const SweepPlan& plan) {
  const Bandwidth band = BandwidthOf(RunSweep(design, transistor, plan), design.fMHz, 1.0);
  if (!band.designInSweep) return;
  if (band.lowFound) row.bandLowMHz = band.lowMHz;
  if (band.highFound) row.bandHighMHz = band.highMHz;
}

std::string CsvNumber(const std::optional<double>& x) { return x ? FileNumberText(*x) : std::string(); }
std::string JsonValue(const std::optional<double>& x) { return x ? JsonNumber(*x) : std::string("null"); }

struct RowFields {
  std::optional<double> muMin, fMuMin, gainDb, poPiDb, low, high, nfMin, nf;
  const char* stable;
  const char* outcome;
};
RowFields FieldsOf(const FeedbackScanRow& r) {
  RowFields f;
  if (r.band && r.band->points > 0) {
    f.muMin = r.band->muMin;
    f.fMuMin = r.band->fMuMinMHz;
  }
  f.stable = r.band && r.band->stableEverywhere ? "si" : "no";
  f.gainDb = GainDb(r.atDesignFrequency);
  f.outcome = r.designed ? "progettato" : "rifiutato";
  f.poPiDb = r.poPiDb;
  f.low = r.bandLowMHz;
  f.high = r.bandHighMHz;
  f.nfMin = r.nfMinPairDb;
  f.nf = r.nfDb;
  return f;
}

}  // namespace

const SweptField& SweptFieldOf(SweptElement element) { return kSweptFields[static_cast<int>(element)]; }

std::optional<SweptElement> SweptElementNamed(std::string_view name) {
  for (const SweptField& f : kSweptFields)
    if (name == f.name) return f.element;
  return std::nullopt;
}

std::string SweptControl(SweptElement element) { return ControlOf(SweptFieldOf(element).quantity); }

std::string CheckExplorerRange(const ExplorerRange& r, SweptElement element) {
  const std::string unit = SweptFieldOf(element).unit;
  if (!std::isfinite(r.from) || !(r.from > 0))
    return "Il primo valore deve essere un numero maggiore di zero (in " + unit + ")";
  if (!std::isfinite(r.to) || !(r.to > r.from))
    return "L'ultimo valore deve essere maggiore del primo (in " + unit + ")";
  if (r.count < 2 || r.count > kMaxExplorerValues)
    return "Il numero di valori deve essere compreso tra 2 e " + std::to_string(kMaxExplorerValues);
  return {};
}

std::vector<double> ExplorerValues(const ExplorerRange& r) {
  // The logarithmic spacing of a sweep's frequencies, ends exactly as given.
  return SweepFrequencies({r.from, r.to, r.count, SweepScale::Logarithmic});
}

std::string CheckExplorerFeedback(SweptElement element, int option) {
  if (OptionUses(element, option)) return {};
  switch (element) {
    case SweptElement::Rf: return "Per esplorare Rf scegli prima la reazione Rf, Rf-Lf o Rf-Cf";
    case SweptElement::Lf: return "Per esplorare Lf scegli prima la reazione Rf-Lf";
    case SweptElement::Cf: return "Per esplorare Cf scegli prima la reazione Rf-Cf";
  }
  return {};
}

FeedbackExplorer::FeedbackExplorer(ExplorerInput input) : input_(std::move(input)) {
  // The response window's transistor and first band: the file's, or (with
  // no file) the entered S-parameters around each design's frequency.
  fileSource_ = DefaultSweepSource(AmplifierDesign{}, input_.touchstone);
  if (fileSource_.fromFile) fileGrid_ = SweepFrequencies(fileSource_.plan);
  if (input_.touchstone) noise_ = NoiseSamples(input_.touchstone->noise);
}

SessionInput FeedbackExplorer::SessionFor(double value) const {
  SessionInput session = input_.base;
  session.fields.push_back({SweptControl(input_.element), Utf8ToUtf16(ShortestNumberText(value))});
  return session;
}

FeedbackScanRow FeedbackExplorer::RowOf(double value, const SessionResult& session) const {
  FeedbackScanRow row;
  row.value = value;
  row.text = ShortestNumberText(value);
  row.messages = session.messages;
  for (const WindowDesignResult& w : session.designs)
    row.messages.insert(row.messages.end(), w.messages.begin(), w.messages.end());
  const DesignState& s = session.state;
  // The solver ran, so Calculate read every field and applied the feedback.
  if (s.iterationCount == 0) return row;

  AmplifierDesign entered;
  entered.transistor = EnteredTransistor(s);
  entered.Ro = s.Ro;
  entered.fMHz = s.fMHz;
  const SweepSource constant = fileSource_.fromFile ? SweepSource{} : DefaultSweepSource(entered, nullptr);
  const SweepSource& source = fileSource_.fromFile ? fileSource_ : constant;
  const std::vector<double> grid = fileSource_.fromFile ? std::vector<double>{} : SweepFrequencies(constant.plan);
  const FeedbackElement feedback = FeedbackOfState(s);
  row.fMHz = s.fMHz;
  row.band = PairStabilityOver(source.transistor, s.Ro, feedback, fileSource_.fromFile ? fileGrid_ : grid);
  row.atDesignFrequency = StabilityOfSession(s).withFeedback;

  const std::optional<NoiseParameters> noise =
      noise_.empty() ? std::nullopt : FileNoiseAt(noise_, input_.touchstone->referenceOhm, s.fMHz);
  if (noise) {
    const std::optional<PairNoise> pair =
        PairNoiseOf(entered.transistor, s.Ro, *noise, FeedbackAdmittance(feedback, s.fMHz));
    if (pair) row.nfMinPairDb = MinimumNoiseFigureDb(pair->noise);
  }

  const WindowDesignResult* made = session.firstDesign();
  if (!made) return row;
  row.designed = true;
  if (made->state.PoPi > 0) row.poPiDb = 10 * std::log10(made->state.PoPi);
  const std::optional<AmplifierDesign> design = CaptureDesign(made->window, made->state);
  if (!design) return row;
  AddBandwidth(row, *design, source.transistor, source.plan);
  if (noise)
    if (const auto amplifier = AmplifierNoiseAt(design->fMHz, design->transistor, *noise, NoiseNetworksOf(*design)))
      row.nfDb = amplifier->nfDb;
  return row;
}

std::vector<FeedbackScanRow> FeedbackExplorer::RunAll(std::span<const double> values, int jobs,
                                                      const BatchProgress& progress) const {
  std::vector<FeedbackScanRow> rows(values.size());
  RunInParallel(values.size(), jobs, [&](std::size_t i) { rows[i] = Run(values[i]); }, progress);
  return rows;
}

std::string ExplorerCsvHeader() {
  return "valore,mu_min_banda,f_mu_min_MHz,stabile_in_banda,guadagno_max_dB_Yf,esito,Po_Pi_dB,"
         "banda_1dB_da_MHz,banda_1dB_a_MHz,NFmin_Yf_dB,NF_dB\n";
}

std::string ExplorerCsvLine(const FeedbackScanRow& r) {
  const RowFields f = FieldsOf(r);
  return r.text + "," + CsvNumber(f.muMin) + "," + CsvNumber(f.fMuMin) + "," + f.stable + "," +
         CsvNumber(f.gainDb) + "," + f.outcome + "," + CsvNumber(f.poPiDb) + "," + CsvNumber(f.low) + "," +
         CsvNumber(f.high) + "," + CsvNumber(f.nfMin) + "," + CsvNumber(f.nf) + "\n";
}

std::string ExplorerJson(std::span<const FeedbackScanRow> rows) {
  std::string o = "[";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const RowFields f = FieldsOf(rows[i]);
    o += std::string(i ? ",\n" : "") + "{\"valore\":" + JsonString(rows[i].text) +
         ",\"mu_min_banda\":" + JsonValue(f.muMin) + ",\"f_mu_min_MHz\":" + JsonValue(f.fMuMin) +
         ",\"stabile_in_banda\":" + JsonString(f.stable) + ",\"guadagno_max_dB_Yf\":" + JsonValue(f.gainDb) +
         ",\"esito\":" + JsonString(f.outcome) + ",\"Po_Pi_dB\":" + JsonValue(f.poPiDb) +
         ",\"banda_1dB_da_MHz\":" + JsonValue(f.low) + ",\"banda_1dB_a_MHz\":" + JsonValue(f.high) +
         ",\"NFmin_Yf_dB\":" + JsonValue(f.nfMin) + ",\"NF_dB\":" + JsonValue(f.nf) + "}";
  }
  return o + "]\n";
}
