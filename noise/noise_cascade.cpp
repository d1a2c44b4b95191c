#include "noise/noise_cascade.h"

#include <cmath>
#include <memory>

namespace {

// The series resistance of an element of reactance x and quality q: |x|/q,
// which is ωL/Q for an inductor and 1/(ωC·Q) for a capacitor.
double LossResistance(double x, double q) { return std::isinf(q) ? 0.0 : std::abs(x) / q; }

bool ArmIsInductor(NetworkKind kind, bool seriesArm) { return (kind == NetworkKind::LCL) == seriesArm; }

double QOf(const ElementLosses& losses, bool inductor) {
  return inductor ? losses.inductorQ : losses.capacitorQ;
}

NoisyChain ChainOfY(const YMatrix& y, const Matrix2& ca) {
  const Cx b = -Inverse(y.y21);
  return {{y.y22 * b, b, (y.y11 * y.y22 - y.y12 * y.y21) * b, y.y11 * b}, ca};
}

}  // namespace

NoisyChain Cascade(const NoisyChain& first, const NoisyChain& second) {
  return {Product(first.abcd, second.abcd), Sum(first.ca, Congruence(first.abcd, second.ca))};
}

NoisyChain SeriesImpedance(Cx z) {
  return {{{1.0, 0.0}, z, {}, {1.0, 0.0}}, {{kFourKT0 * z.real(), 0.0}, {}, {}, {}}};
}
NoisyChain ShuntAdmittance(Cx y) {
  return {{{1.0, 0.0}, {}, y, {1.0, 0.0}}, {{}, {}, {}, {kFourKT0 * y.real(), 0.0}}};
}

std::string CheckQ(double q) {
  if (std::isnan(q) || !(q > 0)) return "Il fattore di merito Q deve essere un numero maggiore di zero";
  return {};
}

Cx SeriesArmImpedance(NetworkKind kind, double value, double fMHz, const ElementLosses& losses) {
  const double x = SeriesArmReactance(kind, value, fMHz);
  return {LossResistance(x, QOf(losses, ArmIsInductor(kind, true))), x};
}

Cx ShuntArmAdmittance(NetworkKind kind, double value, double fMHz, const ElementLosses& losses) {
  const double b = ShuntArmSusceptance(kind, value, fMHz);
  const double q = QOf(losses, ArmIsInductor(kind, false));
  if (std::isinf(q)) return {0.0, b};
  const double x = -1.0 / b;
  return Inverse({LossResistance(x, q), x});
}

NoisyChain TeeNoisyChain(const TeeNetwork& net, double fMHz, const ElementLosses& losses,
                         bool outerFirst) {
  const NoisyChain outer = SeriesImpedance(SeriesArmImpedance(net.kind, net.outer, fMHz, losses));
  const NoisyChain inner = SeriesImpedance(SeriesArmImpedance(net.kind, net.inner, fMHz, losses));
  const NoisyChain shunt = ShuntAdmittance(ShuntArmAdmittance(net.kind, net.shunt, fMHz, losses));
  return Cascade(Cascade(outerFirst ? outer : inner, shunt), outerFirst ? inner : outer);
}

std::optional<PairNoise> PairNoiseOf(const SMatrix& transistorAtRo, double ro,
                                     const NoiseParameters& transistor, Cx yf) {
  const std::optional<NoiseParameters> atRo = ReferredTo(transistor, ro);
  const std::optional<YMatrix> y = AdmittanceOf(transistorAtRo, ro);
  if (!atRo || !y || y->y21 == yf) return std::nullopt;
  const std::optional<Matrix2> ca = ChainCorrelation(*atRo);
  if (!ca) return std::nullopt;
  PairNoise pair;
  if (yf == Cx{}) {
    pair.chain = ChainOfY(*y, *ca);
    pair.noise = *atRo;
  } else {
    const std::optional<Matrix2> cyTransistor = AdmittanceCorrelation(*ca, *y);
    if (!cyTransistor) return std::nullopt;
    const double g = kFourKT0 * yf.real();
    const Matrix2 cy = Sum(*cyTransistor, {{g, 0.0}, {-g, 0.0}, {-g, 0.0}, {g, 0.0}});
    const YMatrix yPair{y->y11 + yf, y->y12 - yf, y->y21 - yf, y->y22 + yf};
    const std::optional<Matrix2> caPair = ChainCorrelationOfAdmittance(cy, yPair);
    if (!caPair) return std::nullopt;
    const std::optional<NoiseParameters> noise = NoiseOfChainCorrelation(*caPair, ro);
    if (!noise) return std::nullopt;
    pair.chain = ChainOfY(yPair, *caPair);
    pair.noise = *noise;
  }
  if (!IsFinite(pair.chain.abcd)) return std::nullopt;
  return pair;
}

NoiseNetworks NoiseNetworksOf(const AmplifierDesign& d, const ElementLosses& losses) {
  return {d.input, d.output, d.RE, d.Ro, d.feedback, losses};
}

std::optional<AmplifierNoise> AmplifierNoiseAt(double fMHz, const SMatrix& transistorAtRo,
                                               const NoiseParameters& transistorNoise,
                                               const NoiseNetworks& n) {
  if (!(fMHz > 0)) return std::nullopt;
  const std::optional<PairNoise> pair =
      PairNoiseOf(transistorAtRo, n.Ro, transistorNoise, FeedbackAdmittance(n.feedback, fMHz));
  if (!pair) return std::nullopt;
  const NoisyChain chain =
      Cascade(Cascade(TeeNoisyChain(n.input, fMHz, n.losses, true), pair->chain),
              TeeNoisyChain(n.output, fMHz, n.losses, false));
  if (!IsFinite(chain.ca)) return std::nullopt;
  const std::optional<double> f = NoiseFactorOfChain(chain.ca, {n.RE, 0.0});
  const std::optional<double> nf = f ? NoiseFigureDb(*f) : std::nullopt;
  const std::optional<double> nfMin = NoiseFigureDb(pair->noise.fMin);
  if (!nf || !nfMin) return std::nullopt;
  return AmplifierNoise{fMHz, pair->noise, *nfMin, *nf};
}

NoiseSource FileNoise(const TouchstoneData& file) {
  auto block = std::make_shared<const std::vector<NoisePoint>>(file.noise);
  const double reference = file.referenceOhm;
  return [block, reference](double fMHz) { return FileNoiseAt(*block, reference, fMHz); };
}

std::vector<NoisePanelPoint> NoisePanel(const NoiseNetworks& networks,
                                        const TransistorSource& transistor,
                                        const NoiseSource& noise,
                                        std::span<const double> frequencies) {
  std::vector<NoisePanelPoint> panel;
  if (!transistor.sAt || !noise) return panel;
  const bool renormalize = transistor.referenceOhm != networks.Ro;
  for (double f : frequencies) {
    // The noise first: most sweeps run well past a noise block's few
    // frequencies, and there the S-parameters are not needed.
    const std::optional<NoiseParameters> n = noise(f);
    if (!n) continue;
    std::optional<SMatrix> s = transistor.sAt(f);
    if (s && renormalize) s = Renormalize(*s, transistor.referenceOhm, networks.Ro);
    const std::optional<AmplifierNoise> a = s ? AmplifierNoiseAt(f, *s, *n, networks) : std::nullopt;
    if (a) panel.push_back({f, n->nfMinDb(), a->nfMinPairDb, a->nfDb});
  }
  return panel;
}
