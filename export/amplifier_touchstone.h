#pragma once
// The finished amplifier's S-parameters across a sweep as a Touchstone file:
// RI pairs, frequencies in Hz, comment lines naming the design. Version 1.1
// with R = RE when RE = RL; version 2.0 with "[Reference] RE RL" otherwise.
#include <string>

#include <vector>

#include "analysis/sweep.h"
#include "noise/noise_parameters.h"

// `heldConstant`: the sweep held the entered S-parameters at every
// frequency (no transistor file), which a comment line then says.
// The whole amplifier's noise at the sweep frequencies that have noise data,
// Γopt referred to RE: written as the file's noise block (NFmin in dB, |Γopt|,
// its angle, Rn/RE) when the file is version 1.1, the only version where a
// two-port's noise block has one port reference.
std::string AmplifierTouchstoneText(const AmplifierDesign& design, const SweepResult& sweep,
                                    bool heldConstant = false, const std::vector<NoiseParameters>& noise = {},
                                    const std::vector<double>& noiseMHz = {});
