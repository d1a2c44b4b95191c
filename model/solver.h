#pragma once
// Simultaneous conjugate match of the transistor with its feedback Yf across
// it: the two-port Y11 + Yf, Y12 − Yf, Y21 − Yf, Y22 + Yf.
#include <cstdint>

#include "model/design_state.h"

// The solver runs exactly 100001 fixed-point passes from YS = −1e-7 − j1e-7,
// then stores Zi, Zo and the check impedances ZiCheck, ZoCheck. On a fault YS
// and YL hold the last complete update. When the passes' state repeats, the
// rest are not run but their result is set, the same to the last bit.
void SolveConjugateMatch(DesignState& state);
// The same passes with the counter ending at lastPass + 1 (≥ 1 pass) instead
// of at 100001: the program always runs all; the tests set the early finish
// against the plain loop at many pass counts, which is quick and tries every
// phase a cycle can end on.
void SolveConjugateMatchUpTo(DesignState& state, std::int32_t lastPass);

// Zi ← 1 ÷ YS, then Zo ← 1 ÷ YL.
void ImpedancesFromAdmittances(DesignState& state);
