#pragma once
// The low-noise design of a session, as bjt-design writes it: its JSON
// object, its part of the readable report and its columns of a sweep line.
#include <optional>
#include <string>
#include <variant>

#include "noise/low_noise_design.h"
#include "session/session.h"
#include "touchstone/touchstone.h"

using LowNoiseResult = std::variant<LowNoiseDesign, std::string>;  // the design or why not

// The design for the target from what the session's windows hold: the first
// completed result window's state, or the state after Calculate when no
// window completed (a pair with no conjugate match may still have stable
// low-noise terminations). The transistor's noise is `typed` when given
// (noise data typed by hand), else the file's noise block at f; without
// either the message says there are no noise data.
LowNoiseResult LowNoiseOfSession(const SessionResult& session, const TouchstoneData* file,
                                 const LowNoiseTarget& target,
                                 const std::optional<NoiseParameters>& typed = std::nullopt);

// {"target", "gammaS": {"mag", "deg"}, "gammaL": {...}, "input": {"kind",
// "elements": {name: value}, "units": {name: unit}}, "output": {...}, "gtDb",
// "nfDb", "nfMinDb", "nfAboveMinDb", "inputReturnLossDb", "inputVswr",
// "outputReturnLossDb", "mu", "zsOhm": {"re", "im"}, "zlOhm": {...}}, or
// {"refused": MESSAGE}.
std::string LowNoiseJson(const LowNoiseResult& result);
// A session's JSON object with "lowNoise" added as its last member.
std::string WithLowNoiseJson(const std::string& sessionJson, const LowNoiseResult& result);

// The report's section "Progetto a basso rumore".
std::string LowNoiseReport(const LowNoiseResult& result);

// The columns a sweep line gains, each name beginning with "bn_" (basso
// rumore), after the line's own; and a line with them added.
std::string LowNoiseCsvHeader();
std::string WithLowNoiseCsv(const std::string& line, const LowNoiseResult& result);
