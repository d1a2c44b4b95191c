#pragma once
// The source plane of a two-port (S referred to R0): constant-noise circles,
// the available gain and its circles, Γout for a source and Γin for a load.
#include <optional>

#include "analysis/two_port.h"
#include "noise/noise_parameters.h"

struct Circle {
  Cx centre;
  double radius = 0;
};

// The Γs where F = fi (a ratio, ≥ Fmin): with N = (fi − Fmin)·|1 + Γopt|² / (4·rn),
// centre Γopt/(1 + N), radius √(N·(N + 1 − |Γopt|²))/(1 + N). Nullopt for
// fi < Fmin or rn = 0 (F is then Fmin everywhere).
std::optional<Circle> NoiseCircle(const NoiseParameters& n, double fi);

// Γout = S22 + S12·S21·Γs/(1 − S11·Γs).
std::optional<Cx> GammaOut(const SMatrix& s, Cx gammaS);
// Γin = S11 + S12·S21·ΓL/(1 − S22·ΓL).
std::optional<Cx> GammaIn(const SMatrix& s, Cx gammaL);

// GA = |S21|²·(1 − |Γs|²) / (|1 − S11·Γs|²·(1 − |Γout|²)), with Γout. Nullopt
// for |Γs| ≥ 1 or |Γout| ≥ 1 (no available power to speak of: the output
// would oscillate with a passive load).
struct SourceGain {
  double ga = 0;  // a ratio
  Cx gammaOut;
};
std::optional<SourceGain> AvailableGain(const SMatrix& s, Cx gammaS);

// The Γs where GA = ga (a ratio): with g = ga/|S21|², C1 = S11 − Δ·conj(S22),
// centre g·conj(C1)/(1 + g·(|S11|² − |Δ|²)), radius
// √(1 − 2K·|S12·S21|·g + |S12·S21|²·g²)/|1 + g·(|S11|² − |Δ|²)|. Nullopt
// where no such circle exists (the root's argument is negative) or it
// degenerates into a line.
std::optional<Circle> AvailableGainCircle(const SMatrix& s, double ga);
