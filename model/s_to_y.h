#pragma once
// The transistor's S-parameters (magnitude, phase in radians, referred to Ro)
// turned into its Y-parameters in siemens.
#include "model/design_state.h"

// Writes Y11, Y12, Y21, Y22 in this order, each real part before its
// imaginary part; a fault leaves the ones already written of this run.
void ConvertSToY(DesignState& state);

// deg × 3.14159265358979 ÷ 180, the product first: the program's own π.
double DegreesToRadians(double deg);
