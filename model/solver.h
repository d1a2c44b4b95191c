#pragma once
// Simultaneous conjugate match of the transistor with its feedback Yf across
// it: the two-port Y11 + Yf, Y12 − Yf, Y21 − Yf, Y22 + Yf.
#include "model/design_state.h"

// The solver runs exactly 100001 fixed-point passes from YS = −1e-7 − j1e-7,
// then stores Zi, Zo and the check impedances ZiCheck, ZoCheck. On a fault YS
// and YL hold the last complete update.
void SolveConjugateMatch(DesignState& state);

// Zi ← 1 ÷ YS, then Zo ← 1 ÷ YL.
void ImpedancesFromAdmittances(DesignState& state);
