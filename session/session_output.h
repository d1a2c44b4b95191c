#pragma once
// What bjt-design writes of a session: a readable Italian report with the
// windows' captions, units and number format; one JSON object; and, for a
// sweep, one CSV line per frequency.
#include <optional>
#include <string>
#include <vector>

#include "analysis/amplifier.h"
#include "analysis/two_port.h"
#include "session/session.h"

// The transistor as entered, alone and with the feedback element Calculate
// applied; nullopt where a figure is not finite (e.g. S12·S21 = 0).
struct SessionStability {
  std::optional<StabilityFigures> transistor, withFeedback;
};
SessionStability StabilityOfSession(const DesignState& afterCalculate);

// "Rf", "Rf//Lf", "Rf//Cf", "nessuna" for options 1..4; empty for none.
std::string FeedbackName(int option);

std::string SessionReport(const SessionResult& session);
std::string SessionJson(const SessionResult& session);

// One design of a sweep: the frequency and the session made there.
struct SweepDesign {
  double fMHz = 0;
  SessionResult session;
};
std::string SweepCsvHeader();
std::string SweepCsvLine(const SweepDesign& design);

// Pieces of a sweep line, shared with the low-noise design's columns: a
// field quoted where it must be, and a network's kind then each element in
// the order outer arm, shunt arm, inner arm (name, value, unit).
std::string CsvField(const std::string& text);
void AppendElementsCsv(std::string& line, Side side, NetworkKind kind, const DesignState& state);
