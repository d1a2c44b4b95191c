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

// The stem of a design's default file names: the transistor file's name
// without its extension and the design frequency
// ("Spar_BFR520_commonemitter6V10mA_900MHz"), or the networks for
// S-parameters typed by hand ("reti_LCL_CLC_900MHz"). Spaces and characters
// unsafe in a file name become "_".
std::string DesignFileStem(const AmplifierDesign& design, const std::string& touchstonePath);
// How the files and the report name the transistor: the file's name in full
// with its frequency range, "Spar_BFR520.s2p (40–3000 MHz)", or "parametri S
// inseriti a mano".
std::string TransistorSourceText(const std::string& touchstonePath, const TouchstoneData* file);
