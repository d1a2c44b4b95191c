// The netlist's T networks: each arm between the right nodes, the series arm
// at the source or load on the outside.
#include <gtest/gtest.h>

#include "export/spice_netlist.h"

TEST(SpiceNetlist, NetworksRunFromSourceToTransistorToLoad) {
  AmplifierDesign d;
  d.input = {NetworkKind::LCL, 10, 20, 30};
  d.output = {NetworkKind::CLC, 1, 2, 3};
  d.RE = d.RL = d.Ro = 50;
  d.fMHz = 100;
  const std::string text = SpiceNetlistText(d);
  EXPECT_NE(text.find("* rete d'ingresso L-C-L: braccio verso RE, braccio in parallelo, braccio verso il "
                      "transistore\n.subckt rete_ingresso sorgente transistore\nL1 sorgente m 10n\nC2 m 0 20p\n"
                      "L3 m transistore 30n\n.ends rete_ingresso\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("* rete d'uscita C-L-C: braccio verso il transistore, braccio in parallelo, braccio verso "
                      "RL\n.subckt rete_uscita transistore carico\nC1 transistore m 3p\nL2 m 0 2n\n"
                      "C3 m carico 1p\n.ends rete_uscita\n"),
            std::string::npos)
      << text;
}
