#pragma once
// What the Smith chart shows of a design, in the Γ plane normalized to Ro.
#include <string>
#include <vector>

#include "analysis/amplifier.h"

// The arc one element moves the impedance along: series elements keep the
// resistance, shunt elements keep the conductance.
struct SmithPath {
  std::string label;  // Li1, Ci, Li2, ...
  std::vector<Cx> gamma;
};

struct SmithChart {
  double r0 = 50;
  Cx gammaRE, gammaRL, gammaZiConj, gammaZoConj;
  std::vector<SmithPath> inputPath;   // RE ... conj(Zi)
  std::vector<SmithPath> outputPath;  // RL ... conj(Zo)
  StabilityCircle source, load;       // transistor with feedback, at fMHz
};
// Nullopt when a point of the chart is not finite.
std::optional<SmithChart> SmithChartOf(const AmplifierDesign& design, int pointsPerArc = 64);

// Z, Y and Γ at a point of the chart (for hover); nullopt at Γ = 1 or
// outside what the arithmetic can hold.
struct SmithReadout {
  Cx gamma, z, y;
};
std::optional<SmithReadout> ReadoutAt(Cx gamma, double r0);
