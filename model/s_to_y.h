#pragma once
// The transistor's S-parameters (magnitude, phase in radians, referred to Ro)
// turned into its Y-parameters in siemens.
#include "model/design_state.h"

// Writes Y11, Y12, Y21, Y22 in this order, each real part before its
// imaginary part; a fault leaves the ones already written of this run.
void ConvertSToY(DesignState& state);

// deg × π ÷ 180, the product first, with the program's own π (kTwoPi / 2,
// 3.14159265358979).
double DegreesToRadians(double deg);
