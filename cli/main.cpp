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
#include "cli/options.h"
#include "export/exports.h"
#include "forms/fault_message.h"
#include "forms/headless.h"
#include "forms/result_commands.h"
#include "model/arithmetic.h"
#include "model/quantities.h"
#include "project/atomic_file.h"
#include "project/project.h"
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
};

Inputs GatherInputs(const CliOptions& o) {
  Inputs in;
  if (o.project) {
    std::variant<Project, std::string> read = ReadProjectFile(*o.project);
    if (auto* error = std::get_if<std::string>(&read)) throw Failure{*error};
    const Project& p = std::get<Project>(read);
    for (const auto& [key, text] : p.fields) in.project.push_back({ControlOfFieldKey(key), text});
    if (p.feedback) in.feedbackOption = OptionNumber(*p.feedback);
  }
  if (o.touchstone) {
    TouchstoneResult read = ReadTouchstoneFile(*o.touchstone);
    if (auto* error = std::get_if<TouchstoneError>(&read))
      throw Failure{DescribeError(BaseName(*o.touchstone), *error)};
    in.touchstone = std::make_shared<const TouchstoneData>(std::get<TouchstoneData>(std::move(read)));
  }
  for (const auto& [key, text] : o.fields) in.fields.push_back({ControlOfFieldKey(key), Utf8ToUtf16(text)});
  if (o.feedback) in.feedbackOption = OptionNumber(*o.feedback);
  return in;
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
  if (o.out) {
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
  return LowNoiseOfSession(session, in.touchstone.get(), *o.lowNoise);
}
std::string SweepHeader(const CliOptions& o) {
  std::string header = SweepCsvHeader();
  if (!o.lowNoise) return header;
  header.pop_back();
  return header + LowNoiseCsvHeader() + "\n";
}
std::string SweepLine(const CliOptions& o, const Inputs& in, const SweepDesign& row) {
  const std::string line = SweepCsvLine(row);
  return o.lowNoise ? WithLowNoiseCsv(line, LowNoiseOf(o, in, row.session)) : line;
}
std::string SweepJson(const CliOptions& o, const Inputs& in, const SessionResult& session) {
  const std::string json = SessionJson(session);
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
  if (!design) {
    std::cerr << "bjt-design: nessun progetto completo da esportare\n";
    return kRefused;
  }
  if (o.exportS2p)
    if (auto error = ExportAmplifierTouchstone(*design, in.touchstone.get(), RequestedRange(o), *o.exportS2p))
      throw Failure{*error};
  if (o.exportSpice)
    if (auto error = ExportSpiceNetlist(*design, *o.exportSpice)) throw Failure{*error};
  return kDesigned;
}

// The session's output with the low-noise design added; a design is made
// when the low-noise design is.
int RunLowNoise(const CliOptions& o, const Inputs& in, const SessionResult& session) {
  const LowNoiseResult low = LowNoiseOf(o, in, session);
  WriteOutput(o, o.json ? WithLowNoiseJson(SessionJson(session), low) + "\n"
                        : SessionReport(session) + LowNoiseReport(low));
  if (std::holds_alternative<std::string>(low)) return kRefused;
  return o.exportS2p || o.exportSpice ? RunExports(o, in, session) : kDesigned;
}

int Run(const CliOptions& o) {
  const Inputs in = GatherInputs(o);
  const bool exports = o.exportS2p || o.exportSpice;
  if (o.sweep) {
    const int status = RunSweepCommand(o, in);
    if (!exports) return status;
    const int exported = RunExports(o, in, RunSession(SingleSession(o, in)));
    return status == kDesigned ? exported : status;
  }
  const SessionResult session = RunSession(SingleSession(o, in));
  if (o.lowNoise) return RunLowNoise(o, in, session);
  WriteOutput(o, o.json ? SessionJson(session) + "\n" : SessionReport(session));
  // A design is made when a result window's compute ran to its end.
  if (!session.firstDesign()) return kRefused;
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
