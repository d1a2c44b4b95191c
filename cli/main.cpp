// bjt-design: the program's computation on the command line, without windows.
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "analysis/sweep.h"
#include "cli/file_roles.h"
#include "cli/options.h"
#include "export/exports.h"
#include "export/spice_netlist.h"
#include "forms/fault_message.h"
#include "forms/headless.h"
#include "forms/result_commands.h"
#include "model/arithmetic.h"
#include "model/quantities.h"
#include "project/atomic_file.h"
#include "project/project.h"
#include "session/feedback_explorer.h"
#include "session/low_noise_output.h"
#include "session/session_batch.h"
#include "session/session_output.h"
#include "text/number_text.h"
#include "touchstone/touchstone.h"

namespace {

constexpr int kDesigned = 0, kRefused = 1, kUsage = 2;

// Ends the run with a message on standard error and status 2.
struct Failure {
  std::string message;
};

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

int OptionNumber(const std::string& feedbackName) {
  const FeedbackOptionSpec* option = FeedbackOptionOfName(feedbackName);
  return option ? static_cast<int>(option->choice) : 0;
}

struct Inputs {
  std::vector<TypedText> project, fields;  // before and after the Touchstone texts
  int feedbackOption = 0;
  std::shared_ptr<const TouchstoneData> touchstone;
  SessionNoiseData noise;  // its file is the Touchstone file
  std::optional<TouchstoneRef> projectSource;  // as the project names it, resolved
};

// --noise over the project's noise data over the file's noise block; an entry
// the noise window would refuse ends the run with its message.
std::optional<NoiseEntry> TypedNoise(const CliOptions& o, const std::optional<ProjectNoise>& project) {
  std::optional<NoiseEntry> typed;
  if (project) typed = NoiseEntry{project->nfMinDb, project->gammaOptMag, project->gammaOptDeg, project->rnOhm};
  if (o.noise) typed = NoiseEntry{(*o.noise)[0], (*o.noise)[1], (*o.noise)[2], (*o.noise)[3]};
  // Ro does not enter the checks of the four numbers themselves.
  if (typed)
    if (const auto refused = NoiseOfEntry(*typed, 50.0); std::holds_alternative<std::string>(refused))
      throw Failure{std::get<std::string>(refused)};
  return typed;
}

void Warn(const std::string& message) { std::cerr << "bjt-design: attenzione: " << message << "\n"; }

constexpr const char* kHeldConstant = "i parametri S restano quelli scritti nei campi, costanti in frequenza";

// The project's Touchstone file, when it still reads and still gives the
// project's texts at its frequency; otherwise a warning and no file.
std::shared_ptr<const TouchstoneData> ProjectTouchstone(const TouchstoneRef& ref, const std::vector<TypedText>& texts,
                                                        bool atOtherFrequency) {
  TouchstoneResult read = ReadTouchstoneFile(ref.path);
  if (auto* error = std::get_if<TouchstoneError>(&read)) {
    Warn("il file Touchstone del progetto \"" + ref.path + "\" non si può leggere (" +
         DescribeError(BaseName(ref.path), *error) + "): " + kHeldConstant);
    return nullptr;
  }
  auto data = std::make_shared<const TouchstoneData>(std::get<TouchstoneData>(std::move(read)));
  if (atOtherFrequency) return data;
  std::variant<SParamFields, std::string> at = FieldsAtFrequency(*data, ref.fMHz);
  bool same = std::holds_alternative<SParamFields>(at);
  if (same)
    for (const TypedText& fromFile : TouchstoneFieldTexts(std::get<SParamFields>(at)))
      for (const TypedText& t : texts)
        if (t.control == fromFile.control && t.text != fromFile.text) same = false;
  if (!same) {
    Warn("il file Touchstone \"" + ref.path + "\" non dà più i valori del progetto a " + ShortestNumberText(ref.fMHz) +
         " MHz: " + kHeldConstant);
    return nullptr;
  }
  return data;
}

Inputs GatherInputs(const CliOptions& o) {
  Inputs in;
  std::optional<ProjectNoise> projectNoise;
  if (o.project) {
    std::variant<Project, std::string> read = ReadProjectFile(*o.project);
    if (auto* error = std::get_if<std::string>(&read)) throw Failure{*error};
    const Project& p = std::get<Project>(read);
    for (const auto& [key, text] : p.fields) in.project.push_back({ControlOfFieldKey(key), text});
    if (p.feedback) in.feedbackOption = OptionNumber(*p.feedback);
    projectNoise = p.noise;
    in.projectSource = p.touchstone;
  }
  if (o.touchstone) {
    TouchstoneResult read = ReadTouchstoneFile(*o.touchstone);
    if (auto* error = std::get_if<TouchstoneError>(&read))
      throw Failure{DescribeError(BaseName(*o.touchstone), *error)};
    in.touchstone = std::make_shared<const TouchstoneData>(std::get<TouchstoneData>(std::move(read)));
  } else if (in.projectSource) {
    in.touchstone = ProjectTouchstone(*in.projectSource, in.project, o.freqMHz.has_value());
  }
  for (const auto& [key, text] : o.fields) in.fields.push_back({ControlOfFieldKey(key), Utf8ToUtf16(text)});
  if (o.feedback) in.feedbackOption = OptionNumber(*o.feedback);
  in.noise.typed = TypedNoise(o, projectNoise);
  in.noise.file = in.touchstone;
  if (o.inductorQ) in.noise.losses.inductorQ = *o.inductorQ;
  if (o.capacitorQ) in.noise.losses.capacitorQ = *o.capacitorQ;
  return in;
}

// A Touchstone file gives the S-parameters, Ro and f: a --field for one of
// them would design the file's data at another frequency or reference.
void CheckSources(const CliOptions& o, const Inputs& in) {
  if (!in.touchstone) {
    if (o.freqMHz)
      throw Failure{"--freq vuole un file Touchstone (--touchstone, o un progetto che ne abbia uno): "
                    "per progettare a un'altra frequenza con i parametri S scritti usa --field f_mhz=MHZ"};
    if (o.sweep && !o.fromMHz)
      throw Failure{"--sweep vuole un file Touchstone o un intervallo --from --to"};
    return;
  }
  for (const auto& [key, text] : o.fields)
    for (Quantity fromFile : kTouchstoneQuantities)
      if (key == SpecOf(fromFile).key)
        throw Failure{"--field " + key + " non vale con un file Touchstone, che dà parametri S, Ro e f: "
                      "per un'altra frequenza usa --freq"};
  if (o.sweep && !o.freqMHz && (o.exportS2p || o.exportSpice))
    throw Failure{"con --sweep le esportazioni descrivono il progetto a --freq: indicala"};
}

// Every file the run writes differs from every file it reads and from the
// others it writes; checked before the first is written.
void CheckFiles(const CliOptions& o, const Inputs& in) {
  std::vector<FileRole> inputs, outputs;
  if (o.project) inputs.push_back({"il progetto", *o.project});
  if (o.touchstone) inputs.push_back({"--touchstone", *o.touchstone});
  // The project's own file counts even where --touchstone replaces it: it is
  // the project's, not an output's.
  if (in.projectSource) inputs.push_back({"il file Touchstone del progetto", in.projectSource->path});
  if (o.out && *o.out != "-") outputs.push_back({"--out", *o.out});
  if (o.exportS2p) outputs.push_back({"--export-s2p", *o.exportS2p});
  if (o.exportSpice) {
    outputs.push_back({"--export-spice", *o.exportSpice});
    outputs.push_back({"il banco di prova di --export-spice", SpiceBenchPath(*o.exportSpice)});
  }
  if (std::optional<std::string> clash = FindFileClash(inputs, outputs)) throw Failure{*clash};
}

SessionInput SessionAt(const Inputs& in, const std::vector<TypedText>& touchstoneTexts) {
  SessionInput s;
  s.fields = in.project;
  s.fields.insert(s.fields.end(), touchstoneTexts.begin(), touchstoneTexts.end());
  s.fields.insert(s.fields.end(), in.fields.begin(), in.fields.end());
  s.feedbackOption = in.feedbackOption;
  return s;
}

std::vector<TypedText> TextsAtFrequency(const Inputs& in, double fMHz) {
  if (!in.touchstone) return {{ControlOf(Quantity::FMHz), Utf8ToUtf16(ShortestNumberText(fMHz))}};
  std::variant<SParamFields, std::string> at = FieldsAtFrequency(*in.touchstone, fMHz);
  if (auto* error = std::get_if<std::string>(&at)) throw Failure{*error};
  return TouchstoneFieldTexts(std::get<SParamFields>(at));
}

SessionInput SingleSession(const CliOptions& o, const Inputs& in) {
  return SessionAt(in, o.freqMHz ? TextsAtFrequency(in, *o.freqMHz) : std::vector<TypedText>{});
}

std::optional<SweepPlan> RequestedRange(const CliOptions& o) {
  if (!o.fromMHz) return std::nullopt;
  SweepPlan plan;
  plan.fromMHz = *o.fromMHz;
  plan.toMHz = *o.toMHz;
  if (o.points) plan.points = *o.points;
  if (std::string error = CheckSweep(plan); !error.empty()) throw Failure{error};
  return plan;
}

std::vector<SessionInput> SweepSessions(const CliOptions& o, const Inputs& in,
                                        std::vector<double>& frequencies) {
  std::vector<SessionInput> sessions;
  if (std::optional<SweepPlan> plan = RequestedRange(o)) {
    frequencies = SweepFrequencies(*plan);
    for (double f : frequencies) sessions.push_back(SessionAt(in, TextsAtFrequency(in, f)));
    return sessions;
  }
  for (size_t i = 0; i < in.touchstone->records.size(); ++i) {
    const SParamFields fields = FieldsAtPoint(*in.touchstone, i);
    frequencies.push_back(fields.fMHz);
    sessions.push_back(SessionAt(in, TouchstoneFieldTexts(fields)));
  }
  return sessions;
}

void WriteOutput(const CliOptions& o, const std::string& text) {
  if (o.out && *o.out != "-") {
    if (std::optional<std::string> error = WriteFileAtomically(*o.out, text)) throw Failure{*error};
    return;
  }
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

// A progress line on standard error, only when that is a terminal.
BatchProgress ProgressLine() {
  if (!isatty(STDERR_FILENO)) return {};
  return [](size_t done, size_t total) {
    std::fprintf(stderr, "\rProgetti: %zu di %zu", done, total);
    if (done == total) std::fputs("\n", stderr);
  };
}

// With --low-noise each row and object gains the low-noise design at its
// frequency.
LowNoiseResult LowNoiseOf(const CliOptions& o, const Inputs& in, const SessionResult& session) {
  // Noise typed by hand (--noise, the project's) wins over the file's block,
  // as it does for the conjugate-match design's NF.
  std::optional<NoiseParameters> typed;
  if (in.noise.typed) {
    const std::variant<NoiseParameters, std::string> entry = NoiseOfEntry(*in.noise.typed, session.state.Ro);
    if (const auto* n = std::get_if<NoiseParameters>(&entry)) typed = *n;
  }
  return LowNoiseOfSession(session, in.touchstone.get(), *o.lowNoise, typed);
}
std::string SweepHeader(const CliOptions& o) {
  std::string header = SweepCsvHeader();
  if (!o.lowNoise) return header;
  header.pop_back();
  return header + LowNoiseCsvHeader() + "\n";
}
std::string SweepLine(const CliOptions& o, const Inputs& in, const SweepDesign& row) {
  const std::string line = SweepCsvLine(row, in.noise);
  return o.lowNoise ? WithLowNoiseCsv(line, LowNoiseOf(o, in, row.session)) : line;
}
std::string SweepJson(const CliOptions& o, const Inputs& in, const SessionResult& session) {
  const std::string json = SessionJson(session, in.noise, in.touchstone.get());
  return o.lowNoise ? WithLowNoiseJson(json, LowNoiseOf(o, in, session)) : json;
}

int RunSweepCommand(const CliOptions& o, const Inputs& in) {
  std::vector<double> frequencies;
  const std::vector<SessionInput> inputs = SweepSessions(o, in, frequencies);
  const std::vector<SessionResult> results = RunSessions(inputs, o.jobs, ProgressLine());
  std::string text = o.json ? "[" : SweepHeader(o);
  bool anyDesign = false;
  for (size_t i = 0; i < results.size(); ++i) {
    anyDesign = anyDesign || results[i].firstDesign();
    if (o.json)
      text += (i ? ",\n" : "") + SweepJson(o, in, results[i]);
    else
      text += SweepLine(o, in, {frequencies[i], results[i]});
  }
  if (o.json) text += "]\n";
  WriteOutput(o, text);
  return anyDesign ? kDesigned : kRefused;
}

// One design per value of the feedback field, CSV or JSON.
int RunExploreCommand(const CliOptions& o, const Inputs& in) {
  const SweptElement element = *SweptElementNamed(o.exploreField);
  const ExplorerRange range{o.explore->from, o.explore->to, o.explore->count};
  if (std::string error = CheckExplorerRange(range, element); !error.empty()) throw Failure{error};
  if (std::string error = CheckExplorerFeedback(element, in.feedbackOption); !error.empty()) throw Failure{error};
  const FeedbackExplorer explorer({SingleSession(o, in), element, in.touchstone});
  const std::vector<double> values = ExplorerValues(range);
  const std::vector<FeedbackScanRow> rows = explorer.RunAll(values, o.jobs, ProgressLine());
  std::string text = o.json ? std::string() : ExplorerCsvHeader();
  bool anyDesign = false;
  for (const FeedbackScanRow& row : rows) {
    anyDesign = anyDesign || row.designed;
    if (!o.json) text += ExplorerCsvLine(row);
  }
  if (o.json) text = ExplorerJson(rows);
  WriteOutput(o, text);
  return anyDesign ? kDesigned : kRefused;
}

// The exports describe the first result window whose compute ran to the end.
int RunExports(const CliOptions& o, const Inputs& in, const SessionResult& session) {
  const WindowDesignResult* made = session.firstDesign();
  std::optional<AmplifierDesign> design;
  if (o.lowNoise) {
    const LowNoiseResult low = LowNoiseOf(o, in, session);
    if (const auto* refused = std::get_if<std::string>(&low)) {
      std::cerr << "bjt-design: progetto a basso rumore non eseguito: " << *refused << "\n";
      return kRefused;
    }
    design = std::get<LowNoiseDesign>(low).design;
  } else if (made) {
    design = CaptureDesign(made->window, made->state);
  }
  if (design) design->losses = in.noise.losses;
  if (!design) {
    std::cerr << "bjt-design: nessun progetto completo da esportare: nessun file è stato scritto\n";
    return kRefused;
  }
  if (o.exportS2p && !in.touchstone) Warn("senza file Touchstone, " + std::string(kHeldConstant) + " nel file .s2p");
  if (o.exportS2p)
    if (auto error = ExportAmplifierTouchstone(
            *design, in.touchstone.get(), RequestedRange(o), *o.exportS2p,
            DesignNoiseSource(in.noise.typed, design->Ro, in.touchstone.get())))
      throw Failure{*error};
  if (o.exportSpice)
    if (auto error = ExportSpiceNetlist(*design, *o.exportSpice)) throw Failure{*error};
  return kDesigned;
}

// The session's output with the low-noise design added; a design is made
// when the low-noise design is.
int RunLowNoise(const CliOptions& o, const Inputs& in, const SessionResult& session) {
  const LowNoiseResult low = LowNoiseOf(o, in, session);
  WriteOutput(o, o.json ? WithLowNoiseJson(SessionJson(session, in.noise, in.touchstone.get()), low) + "\n"
                        : SessionReport(session, in.touchstone.get()) + LowNoiseReport(low));
  if (std::holds_alternative<std::string>(low)) return kRefused;
  return o.exportS2p || o.exportSpice ? RunExports(o, in, session) : kDesigned;
}

int Run(const CliOptions& o) {
  const Inputs in = GatherInputs(o);
  CheckSources(o, in);
  CheckFiles(o, in);
  const bool exports = o.exportS2p || o.exportSpice;
  if (o.explore) return RunExploreCommand(o, in);
  if (o.sweep && !in.touchstone) Warn("senza file Touchstone, " + std::string(kHeldConstant) + " in tutta la scansione");
  if (o.sweep) {
    const int status = RunSweepCommand(o, in);
    if (!exports) return status;
    const int exported = RunExports(o, in, RunSession(SingleSession(o, in)));
    return status == kDesigned ? exported : status;
  }
  const SessionResult session = RunSession(SingleSession(o, in));
  if (o.lowNoise) return RunLowNoise(o, in, session);
  WriteOutput(o, o.json ? SessionJson(session, in.noise, in.touchstone.get()) + "\n"
                        : SessionReport(session, in.touchstone.get()));
  // A design is made when a result window's compute ran to its end.
  if (!session.firstDesign()) {
    if (exports) std::cerr << "bjt-design: progetto rifiutato: nessun file è stato esportato\n";
    return kRefused;
  }
  return exports ? RunExports(o, in, session) : kDesigned;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::variant<CliOptions, UsageError> parsed = ParseArguments(args);
  if (auto* error = std::get_if<UsageError>(&parsed)) {
    std::cerr << "bjt-design: " << error->message << "\nbjt-design --help per l'uso\n";
    return kUsage;
  }
  const CliOptions& options = std::get<CliOptions>(parsed);
  if (options.help) {
    std::cout << HelpText();
    return 0;
  }
  try {
    return Run(options);
  } catch (const Failure& f) {
    std::cerr << "bjt-design: " << f.message << "\n";
  } catch (const ArithmeticFault& f) {
    std::cerr << "bjt-design: " << FaultMessage(f) << "\n";
  } catch (const std::exception& e) {
    std::cerr << "bjt-design: " << e.what() << "\n";
  }
  return kUsage;
}
