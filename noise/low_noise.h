#pragma once
// Source points on the noise/gain trade of a two-port (the transistor with
// its feedback, S referred to the noise parameters' r0).
#include <optional>
#include <string>
#include <variant>

#include "noise/noise_circles.h"

struct SourcePoint {
  Cx gammaS;
  double ga = 0;  // available gain, a ratio; GT of the design with ΓL = conj(Γout)
  Cx gammaOut;
  double nfDb = 0;  // the two-port's NF fed from Γs
};
// GA, Γout and NF for a source Γs; nullopt for |Γs| ≥ 1 or |Γout| ≥ 1.
std::optional<SourcePoint> SourcePointAt(const SMatrix& s, const NoiseParameters& n, Cx gammaS);

// The point of the constant-noise circle NFmin + deltaDb where GA is largest
// (deltaDb = 0: Γopt). An Italian message where there is none: Δ not a number
// ≥ 0, no circle, or a circle that reaches sources where |Γout| ≥ 1 (GA has
// no maximum there).
std::variant<SourcePoint, std::string> MostGainOnNoiseCircle(const SMatrix& s,
                                                             const NoiseParameters& n,
                                                             double deltaDb);
