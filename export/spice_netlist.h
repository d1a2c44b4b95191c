#pragma once
// The finished amplifier as an ngspice netlist. Values in nH, pF and ohm.
// The reusable subcircuits:
//   rete_ingresso sorgente transistore   the input T network
//   rete_uscita transistore carico       the output T network
//   reazione ingresso uscita             the feedback element (empty for none)
// The netlist's top level puts the source RE, the networks, the feedback and
// the load RL around an instance of "transistore" (collettore base emettitore),
// the user's own small-signal model: the networks carry no DC blocks or bias
// feeds (adding them would change the designed networks), so a model with its
// own bias would see its base and collector tied to RE and RL in DC. The test bench is self-contained: the transistor is
// its linear equivalent at the design frequency (the entered S-parameters as
// Y-parameters, realised with controlled sources and capacitors), and an .ac
// analysis at that frequency prints the input impedance and |Vo/Vi|.
#include <string>

#include "analysis/amplifier.h"

std::string SpiceNetlistText(const AmplifierDesign& design);
std::string SpiceBenchText(const AmplifierDesign& design);
// Where the bench goes beside a netlist: "amp.cir" -> "amp_banco.cir".
std::string SpiceBenchPath(const std::string& netlistPath);
// One line naming the design, for the files' comments.
std::string DescribeDesign(const AmplifierDesign& design);
