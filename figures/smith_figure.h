#pragma once
// The Smith chart of a design as a figure: the Γ plane normalized to Ro with
// RE, RL, conj(Zi) and conj(Zo), the matching path of both networks element
// by element, and optionally the amplifier's input reflection across a sweep
// and the transistor's stability circles.
#include <string>

#include "analysis/smith_chart.h"
#include "analysis/sweep.h"
#include "figures/figure.h"
#include "noise/design_noise.h"

struct SmithFigureInput {
  const AmplifierDesign* design = nullptr;
  const SmithChart* chart = nullptr;
  std::string caption;                        // which result window
  const SweepResult* inputReflection = nullptr;  // null: not drawn
  bool stabilityCircles = false;
  // Γopt, the constant-noise and available-gain circles of the transistor with
  // its feedback in the source plane; null: not drawn.
  const SourcePlane* sourcePlane = nullptr;
};
Figure BuildSmithFigure(const SmithFigureInput& input);

// "Γ = 0.512 ∠ 34.2°", "Z = 61.3 + j 12.0 ohm", "Y = ..." at a point of the
// plane; empty outside the chart or where the point has no impedance.
std::string SmithReadoutText(FigPoint gamma, double r0);
