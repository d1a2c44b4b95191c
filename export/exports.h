#pragma once
// The two exports of a finished amplifier as files, shared by the result
// windows' Esporta menu and bjt-design. Each returns an Italian message on
// failure and leaves any existing file as it was.
#include <optional>
#include <string>

#include "analysis/sweep.h"
#include "noise/noise_cascade.h"
#include "touchstone/touchstone.h"

// Across `plan`, or by default the file's range (0.5 to 1.5 × f without a
// file), 401 points; the file's transistor where there is one, else the
// entered S-parameters held at every frequency. With noise data, a file of
// version 1.1 (RE = RL) carries the whole amplifier's noise block.
std::optional<std::string> ExportAmplifierTouchstone(const AmplifierDesign& design,
                                                     const TouchstoneData* file,
                                                     const std::optional<SweepPlan>& plan,
                                                     const std::string& path,
                                                     const NoiseSource& noise = {});
// The netlist at `path` and its test bench beside it (SpiceBenchPath).
std::optional<std::string> ExportSpiceNetlist(const AmplifierDesign& design, const std::string& path);
