#pragma once
// What bjt-design writes of a session: a readable Italian report with the
// windows' captions, units and number format; one JSON object; and, for a
// sweep, one CSV line per frequency.
#include <optional>
#include <string>
#include <vector>

#include <memory>

#include "analysis/amplifier.h"
#include "analysis/two_port.h"
#include "noise/design_noise.h"
#include "touchstone/touchstone.h"
#include "session/session.h"

// The transistor as entered, alone and with the feedback element Calculate
// applied; nullopt where a figure is not finite (e.g. S12·S21 = 0).
struct SessionStability {
  std::optional<StabilityFigures> transistor, withFeedback;
};
SessionStability StabilityOfSession(const DesignState& afterCalculate);

// "Rf", "Rf//Lf", "Rf//Cf", "nessuna" for options 1..4; empty for none.
std::string FeedbackName(int option);

// The noise data a session's designs are judged with: typed by hand (over
// the file), or the Touchstone file's noise block; and the networks' losses.
struct SessionNoiseData {
  std::optional<NoiseEntry> typed;
  std::shared_ptr<const TouchstoneData> file;
  ElementLosses losses;
};
// The transistor's and the pair's noise at f (nullopt without data) and each
// design's NF fed from RE (nullopt likewise, or where nothing was designed).
struct SessionNoise {
  std::optional<NoiseAtDesign> atDesign;
  std::vector<std::optional<double>> nfDb;  // one per design of the session
};
SessionNoise NoiseOfSession(const SessionResult& session, const SessionNoiseData& data);

// `file`, when the transistor came from one, adds the stability bands across
// it. Where the fields did not pass their check (the state's errorFlag), no
// figure computed from them appears: no stability line, "stability": null,
// "noise": null.
std::string SessionReport(const SessionResult& session, const TouchstoneData* file = nullptr);
std::string SessionJson(const SessionResult& session, const SessionNoiseData& noise = {},
                        const TouchstoneData* file = nullptr);

// One design of a sweep: the frequency and the session made there.
struct SweepDesign {
  double fMHz = 0;
  SessionResult session;
};
std::string SweepCsvHeader();
std::string SweepCsvLine(const SweepDesign& design, const SessionNoiseData& noise = {});

// Pieces of a sweep line, shared with the low-noise design's columns: a
// field quoted where it must be, and a network's kind then each element in
// the order outer arm, shunt arm, inner arm (name, value, unit).
std::string CsvField(const std::string& text);
void AppendElementsCsv(std::string& line, Side side, NetworkKind kind, const DesignState& state);
