#include "noise/low_noise_design.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "model/arithmetic.h"
#include "networks/t_networks.h"
#include "noise/low_noise.h"
#include "noise/noise_cascade.h"
#include "noise/noise_circles.h"
#include "verification/verify.h"

namespace {

// A VSWR beyond this is shown as this: only a reflection within rounding of
// |Γ| = 1 gets there.
constexpr double kVswrCeiling = 1e6;

constexpr const char* kTargetWords =
    "l'obiettivo del basso rumore è \"min\", \"+DB\" (per esempio \"+0.5\"), \"gamma:MODULO,GRADI\" "
    "o \"zs:RE,IM\" (ohm)";

// A whole text as one finite number, or nothing.
std::optional<double> NumberOf(std::string_view text) {
  double x = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, x);
  if (ec != std::errc() || ptr != end || !std::isfinite(x)) return std::nullopt;
  return x;
}

// "A,B" as two numbers.
std::optional<std::pair<double, double>> PairOf(std::string_view text) {
  const size_t comma = text.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  const auto a = NumberOf(text.substr(0, comma)), b = NumberOf(text.substr(comma + 1));
  if (!a || !b) return std::nullopt;
  return std::pair{*a, *b};
}

// Numbers in the words and captions: as short as reads back the same.
std::string Shortest(double x) {
  char buffer[32];
  const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, x);
  return ec == std::errc() ? std::string(buffer, ptr) : std::string("0");
}

std::string Magnitude(double x) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.3f", x);
  return buffer;
}

std::variant<Cx, std::string> SourceReflection(const SMatrix& pairS, const NoiseParameters& pair,
                                               const LowNoiseTarget& t, double ro) {
  switch (t.goal) {
    case LowNoiseGoal::MinimumNoise:
      return pair.gammaOpt;
    case LowNoiseGoal::NoiseAboveMinimum: {
      auto best = MostGainOnNoiseCircle(pairS, pair, t.deltaDb);
      if (auto* message = std::get_if<std::string>(&best)) return *message;
      return std::get<SourcePoint>(best).gammaS;
    }
    case LowNoiseGoal::GammaPoint: {
      if (!std::isfinite(t.gammaMag) || !std::isfinite(t.gammaDeg) || t.gammaMag < 0 || t.gammaMag >= 1)
        return std::string("Il modulo di Γs deve essere un numero tra 0 e 1 (escluso)");
      return std::polar(t.gammaMag, t.gammaDeg * kPi / 180.0);
    }
    case LowNoiseGoal::ImpedancePoint: {
      if (!(t.zsOhm.real() > 0) || !std::isfinite(t.zsOhm.real()) || !std::isfinite(t.zsOhm.imag()))
        return std::string("La parte reale di Zs deve essere un numero maggiore di zero (ohm)");
      const std::optional<Cx> g = GammaOf(t.zsOhm, ro);
      if (!g) return std::string("Zs non si può riferire a Ro");
      return *g;
    }
  }
  return std::string("Obiettivo sconosciuto");
}

// The pair must be stable with Γs at its input and ΓL = conj(Γout) at its
// output; the message says which termination is not.
std::optional<std::string> StabilityRefusal(const SMatrix& pairS, std::optional<Cx> gammaOut) {
  if (!gammaOut || std::abs(*gammaOut) >= 1)
    return "Progetto rifiutato: Γs cade nella regione instabile della sorgente (|Γout| " +
           (gammaOut ? "= " + Magnitude(std::abs(*gammaOut)) : std::string("non finito")) +
           " ≥ 1), l'uscita del transistore con la retroazione oscillerebbe";
  const std::optional<Cx> gammaIn = GammaIn(pairS, std::conj(*gammaOut));
  if (!gammaIn || std::abs(*gammaIn) >= 1)
    return "Progetto rifiutato: ΓL = conj(Γout) cade nella regione instabile del carico (|Γin| " +
           (gammaIn ? "= " + Magnitude(std::abs(*gammaIn)) : std::string("non finito")) +
           " ≥ 1), l'ingresso del transistore con la retroazione oscillerebbe";
  return std::nullopt;
}

// The result windows' routines on the copy, Zi and Zo replaced by the
// targets, then their verification.
void DesignNetworks(DesignState& copy, NetworkKinds kinds) {
  if (kinds.input == NetworkKind::LCL)
    DesignInputLCL(copy);
  else
    DesignInputCLC(copy);
  if (kinds.output == NetworkKind::LCL)
    DesignOutputLCL(copy);
  else
    DesignOutputCLC(copy);
  VerifyNetworks(copy, kinds.input, kinds.output);
}

double VswrOf(Cx gamma) {
  const double m = std::abs(gamma);
  if (!(m < 1)) return kVswrCeiling;
  return std::min((1 + m) / (1 - m), kVswrCeiling);
}

}  // namespace

std::variant<LowNoiseTarget, std::string> ParseLowNoiseTarget(std::string_view text) {
  LowNoiseTarget t;
  if (text == "min") return t;
  if (!text.empty() && text.front() == '+') {
    const auto delta = NumberOf(text.substr(1));
    if (!delta || *delta < 0) return std::string(kTargetWords);
    t.goal = LowNoiseGoal::NoiseAboveMinimum;
    t.deltaDb = *delta;
    return t;
  }
  for (const auto& [prefix, goal] : {std::pair{std::string_view("gamma:"), LowNoiseGoal::GammaPoint},
                                     std::pair{std::string_view("zs:"), LowNoiseGoal::ImpedancePoint}}) {
    if (text.substr(0, prefix.size()) != prefix) continue;
    const auto pair = PairOf(text.substr(prefix.size()));
    if (!pair) return std::string(kTargetWords);
    t.goal = goal;
    if (goal == LowNoiseGoal::GammaPoint) {
      if (pair->first < 0 || pair->first >= 1) return std::string("Il modulo di Γs deve essere tra 0 e 1 (escluso)");
      t.gammaMag = pair->first;
      t.gammaDeg = pair->second;
    } else {
      if (!(pair->first > 0)) return std::string("La parte reale di Zs deve essere maggiore di zero (ohm)");
      t.zsOhm = {pair->first, pair->second};
    }
    return t;
  }
  return std::string(kTargetWords);
}

std::string LowNoiseTargetText(const LowNoiseTarget& t) {
  switch (t.goal) {
    case LowNoiseGoal::MinimumNoise: return "min";
    case LowNoiseGoal::NoiseAboveMinimum: {
      // Appended, not "+" + string: GCC 12 at -O3 warns (-Wrestrict) on the
      // one-character literal before a temporary, which stops a Release build.
      std::string words = "+";
      words += Shortest(t.deltaDb);
      return words;
    }
    case LowNoiseGoal::GammaPoint: return "gamma:" + Shortest(t.gammaMag) + "," + Shortest(t.gammaDeg);
    case LowNoiseGoal::ImpedancePoint:
      return "zs:" + Shortest(t.zsOhm.real()) + "," + Shortest(t.zsOhm.imag());
  }
  return "min";
}

std::string LowNoiseTargetCaption(const LowNoiseTarget& t) {
  switch (t.goal) {
    case LowNoiseGoal::MinimumNoise: return "minimo rumore";
    case LowNoiseGoal::NoiseAboveMinimum:
      return "rumore a +" + Shortest(t.deltaDb) + " dB dal minimo, massimo guadagno";
    case LowNoiseGoal::GammaPoint:
      return "punto scelto: Γs = " + Shortest(t.gammaMag) + " ∠ " + Shortest(t.gammaDeg) + "°";
    case LowNoiseGoal::ImpedancePoint: {
      const double x = t.zsOhm.imag();
      return "punto scelto: Zs = " + Shortest(t.zsOhm.real()) + (x < 0 ? " − j" : " + j") +
             Shortest(std::fabs(x)) + " ohm";
    }
  }
  return {};
}

NetworkKinds LowNoiseNetworkKinds(Cx zs, Cx zout) {
  return {-zs.imag() <= 0 ? NetworkKind::LCL : NetworkKind::CLC,
          zout.imag() < 0 ? NetworkKind::LCL : NetworkKind::CLC};
}

std::variant<LowNoiseDesign, std::string> DesignLowNoise(const DesignState& state,
                                                        const NoiseParameters& transistorNoise,
                                                        const LowNoiseTarget& target) {
  const double ro = state.Ro, f = state.fMHz;
  if (!(ro > 0) || !(state.RE > 0) || !(state.RL > 0) || !(f > 0) || !AllFieldsFinite(state))
    return std::string("Nessun progetto da cui partire: premere prima \"Trova le reti di adattamento\"");
  const SMatrix s{std::polar(state.S11mag, state.S11ang), std::polar(state.S12mag, state.S12ang),
                  std::polar(state.S21mag, state.S21ang), std::polar(state.S22mag, state.S22ang)};
  const Cx yf{state.Gf, state.Bf};
  const std::optional<SMatrix> pairS = yf == Cx{} ? std::optional<SMatrix>(s) : WithFeedback(s, ro, yf);
  const std::optional<PairNoise> pair = PairNoiseOf(s, ro, transistorNoise, yf);
  if (!pairS || !pair)
    return std::string("Il rumore del transistore con la retroazione non si può calcolare a questa frequenza");

  const std::variant<Cx, std::string> source = SourceReflection(*pairS, pair->noise, target, ro);
  if (auto* message = std::get_if<std::string>(&source)) return *message;
  const Cx gammaS = std::get<Cx>(source);
  const std::optional<Cx> gammaOut = GammaOut(*pairS, gammaS);
  if (auto refusal = StabilityRefusal(*pairS, gammaOut)) return *refusal;
  const std::optional<SourceGain> ga = AvailableGain(*pairS, gammaS);
  const std::optional<Cx> zs = ImpedanceOf(gammaS, ro), zout = ImpedanceOf(*gammaOut, ro);
  if (!ga || !(ga->ga > 0) || !zs || !zout)
    return std::string("Il guadagno disponibile per questa sorgente non si può calcolare");

  // The targets in place of the transistor's port impedances: the input
  // network presents conj(Zi) = Zs, the output network conj(Zo) = conj(Zout).
  DesignState copy = state;
  copy.ReZi = copy.ReZiCheck = zs->real();
  copy.ImZi = copy.ImZiCheck = -zs->imag();
  copy.ReZo = copy.ReZoCheck = zout->real();
  copy.ImZo = copy.ImZoCheck = zout->imag();
  copy.PoPi = ga->ga;
  const NetworkKinds kinds = LowNoiseNetworkKinds(*zs, *zout);
  try {
    DesignNetworks(copy, kinds);
  } catch (const ArithmeticFault& fault) {
    return "Le reti di adattamento non si possono calcolare per questo punto (" + std::string(fault.routine()) + ")";
  }
  std::optional<AmplifierDesign> design = DesignOfState(kinds, copy);
  if (!design) return std::string("Le reti di adattamento per questo punto non sono utilizzabili");
  design->origin = "progetto a basso rumore (" + LowNoiseTargetCaption(target) + ")";
  // The targets in place of the port impedances here too (the state keeps
  // the verified ones): the Smith chart marks conj(Zi) = Zs and conj(Zo) = ZL,
  // the ends of the networks' paths.
  design->zi = std::conj(*zs);
  design->zo = *zout;

  const std::optional<AmplifierPoint> point = AnalyzeAt(*design, f, s);
  const std::optional<AmplifierNoise> noise = AmplifierNoiseAt(f, s, transistorNoise, NoiseNetworksOf(*design));
  if (!point || !noise) return std::string("L'amplificatore finito non si può analizzare a questa frequenza");

  LowNoiseDesign r;
  r.target = target;
  r.pair = pair->noise;
  r.nfMinPairDb = noise->nfMinPairDb;
  r.gammaS = gammaS;
  r.gammaL = std::conj(*gammaOut);
  r.zs = *zs;
  r.zl = std::conj(*zout);
  r.gaDb = 10.0 * std::log10(ga->ga);
  r.gtDb = point->gainDb;
  r.nfDb = noise->nfDb;
  r.nfAboveMinDb = std::max(0.0, noise->nfDb - noise->nfMinPairDb);
  r.inputReturnLossDb = point->inputReturnLossDb;
  r.inputVswr = VswrOf(point->s.s11);
  r.outputReturnLossDb = point->outputReturnLossDb;
  r.mu = point->muAmplifier;
  r.design = std::move(*design);
  return r;
}

double AngleDegrees(Cx z) {
  const double deg = std::arg(z) * 180.0 / kPi;
  return deg <= -180.0 ? deg + 360.0 : deg;
}
