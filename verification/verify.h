#pragma once
// The impedances that the finished amplifier presents at every port, computed
// in one pass from the element values of the two T networks.
#include "model/design_state.h"
#include "networks/t_networks.h"

// Writes, in this order: Ze, YL, Zo, Zotot, ZL, YS, Zi, Zitot. Zi and Zo
// replace the solver's values. Each is stored before the next is computed.
void VerifyNetworks(DesignState& state, NetworkKind input, NetworkKind output);
