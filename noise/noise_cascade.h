#pragma once
// Noise through chains of two-ports: lossy matching elements of constant Q,
// the transistor with its feedback element, and the finished amplifier
// (source RE, input T network, transistor with feedback, output T network).
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/amplifier.h"
#include "noise/noise_parameters.h"

// A two-port's chain (ABCD) matrix with its chain correlation matrix C_A.
struct NoisyChain {
  Matrix2 abcd{{1.0, 0.0}, {}, {}, {1.0, 0.0}};
  Matrix2 ca{};
};
// first then second: A = A1·A2, C_A = C_A1 + A1·C_A2·A1ᴴ.
NoisyChain Cascade(const NoisyChain& first, const NoisyChain& second);
// A series impedance and a shunt admittance at T0; their thermal noise is a
// voltage 4kT0·Re Z in series, a current 4kT0·Re Y across (zero when lossless).
NoisyChain SeriesImpedance(Cx z);
NoisyChain ShuntAdmittance(Cx y);

// The T network from its outer arm (the input network, seen from RE) or from
// its inner arm (the output network, seen from the transistor).
NoisyChain TeeNoisyChain(const TeeNetwork& net, double fMHz, const ElementLosses& losses,
                         bool outerFirst);

// The transistor with its feedback admittance yf across it: Y adds, and C_Y
// adds, the feedback's C_Y = 4kT0·Re(yf)·[[1, −1], [−1, 1]].
struct PairNoise {
  Matrix2 ca;             // the pair's chain correlation matrix
  NoiseParameters noise;  // Γopt referred to ro
  YMatrix y;              // the pair's Y, siemens
};
std::optional<PairNoise> PairNoiseOf(const SMatrix& transistorAtRo, double ro,
                                     const NoiseParameters& transistor, Cx yf);
// The same from the transistor's Y in siemens.
std::optional<PairNoise> PairNoiseOf(const YMatrix& transistor, double ro,
                                     const NoiseParameters& transistorNoise, Cx yf);
// The pair as a chain, for a cascade: made only where a cascade needs it
// (a lossless output network does not), which a long sweep feels.
NoisyChain ChainOf(const PairNoise& pair);

// What the amplifier's noise figure depends on. RL does not enter: F of a
// two-port does not depend on its load.
struct NoiseNetworks {
  TeeNetwork input, output;
  double RE = 50, Ro = 50;
  FeedbackElement feedback;
  ElementLosses losses;
};
NoiseNetworks NoiseNetworksOf(const AmplifierDesign& design, const ElementLosses& losses = {});

struct AmplifierNoise {
  double fMHz = 0;
  NoiseParameters pair;  // the transistor with its feedback, Γopt referred to Ro
  double nfMinPairDb = 0;
  double nfDb = 0;  // the finished amplifier fed from RE
};
// The whole chain A_in·A_pair·A_out with its C_A, F evaluated for Zs = RE:
// a lossy output network adds its noise through the cascade, divided by the
// gain in front of it.
std::optional<AmplifierNoise> AmplifierNoiseAt(double fMHz, const SMatrix& transistorAtRo,
                                               const NoiseParameters& transistorNoise,
                                               const NoiseNetworks& networks);
// The same from what a sweep point of the response already formed: the
// elements at its frequency (of these networks) and the transistor's Y
// normalised to 1/Ro (NormalizedAdmittanceOf).
std::optional<AmplifierNoise> AmplifierNoiseAt(const ElementsAt& elements,
                                               const YMatrix& transistorNormalizedY,
                                               const NoiseParameters& transistorNoise,
                                               const NoiseNetworks& networks);
// The two figures a sweep's noise panel shows, the pair's NFmin and the
// amplifier's NF, to the bit those of AmplifierNoiseAt (nullopt where it
// gives none).
struct PanelNoise {
  double nfMinPairDb = 0, nfDb = 0;
};
std::optional<PanelNoise> PanelNoiseAt(const ElementsAt& elements, const YMatrix& transistorNormalizedY,
                                       const NoiseParameters& transistorNoise, const NoiseNetworks& networks);

// The whole amplifier's noise parameters (NFmin, Γopt, Rn of the chain from
// the input network to the output network), Γopt referred to RE: what the
// amplifier's own Touchstone noise block gives.
std::optional<NoiseParameters> AmplifierNoiseParameters(double fMHz, const SMatrix& transistorAtRo,
                                                        const NoiseParameters& transistorNoise,
                                                        const NoiseNetworks& networks);

// Noise data at a frequency, nothing where there are none.
using NoiseSource = std::function<std::optional<NoiseParameters>(double fMHz)>;
// A file's noise block, interpolated (a copy of the block is kept): the
// source holds a FileNoiseBlock, which a sweep can read with a
// NoiseBlockReader.
NoiseSource FileNoise(const TouchstoneData& file);
struct FileNoiseBlock {
  std::shared_ptr<const std::vector<NoiseSample>> samples;
  double referenceOhm = 50;
  std::optional<NoiseParameters> operator()(double fMHz) const {
    return FileNoiseAt(*samples, referenceOhm, fMHz);
  }
};

// The noise panel of a sweep: one point per frequency that has both
// S-parameters and noise data.
struct NoisePanelPoint {
  double fMHz = 0;
  double nfMinTransistorDb = 0, nfMinPairDb = 0, nfDb = 0;
};
std::vector<NoisePanelPoint> NoisePanel(const NoiseNetworks& networks,
                                        const TransistorSource& transistor,
                                        const NoiseSource& noise,
                                        std::span<const double> frequencies);
