#pragma once
// What bjt-design writes of a session: a readable Italian report with the
// windows' captions, units and number format; one JSON object; and, for a
// sweep, one CSV line per frequency.
#include <optional>
#include <string>
#include <vector>

#include "analysis/two_port.h"
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

// `file`, when the transistor came from one, adds the stability bands across
// it. Where the fields did not pass their check (the state's errorFlag), no
// figure computed from them appears: no stability line, "stability": null.
std::string SessionReport(const SessionResult& session, const TouchstoneData* file = nullptr);
std::string SessionJson(const SessionResult& session, const TouchstoneData* file = nullptr);

// One design of a sweep: the frequency and the session made there.
struct SweepDesign {
  double fMHz = 0;
  SessionResult session;
};
std::string SweepCsvHeader();
std::string SweepCsvLine(const SweepDesign& design);
