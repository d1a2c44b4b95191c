#pragma once
// The T matching networks (series arm, shunt arm, series arm). All three arms
// have reactances of magnitude √(R · Re Z), alternating in sign; the arm at
// the transistor adds −Im Z. Inductors in nH, capacitors in pF. Each value is
// stored as soon as it is computed, so a fault keeps the ones before it.
#include "model/design_state.h"

enum class NetworkKind { LCL, CLC };

// The kinds of a design's input and output networks.
struct NetworkKinds {
  NetworkKind input, output;
};

// Source RE to the transistor input Zi.
void DesignInputLCL(DesignState& state);  // Ci, Li1, Li2
void DesignInputCLC(DesignState& state);  // Li, Ci1, Ci2
// Transistor output Zo to the load RL.
void DesignOutputLCL(DesignState& state);  // Co, Lo2, Lo1
void DesignOutputCLC(DesignState& state);  // Lo, Co2, Co1
