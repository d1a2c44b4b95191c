#include "analysis/amplifier.h"

const char* ElementName(Side side, NetworkKind kind, int position) {
  static const char* const kNames[2][2][3] = {
      {{"Li1", "Ci", "Li2"}, {"Ci1", "Li", "Ci2"}},
      {{"Lo2", "Co", "Lo1"}, {"Co2", "Lo", "Co1"}}};
  return kNames[side == Side::Output][kind == NetworkKind::CLC][position];
}

std::optional<AmplifierDesign> CaptureDesign(FormId, const DesignState&) { return std::nullopt; }

TransistorSource ConstantTransistor(const AmplifierDesign& design) {
  const SMatrix s = design.transistor;
  return {[s](double) -> std::optional<SMatrix> { return s; }, design.Ro};
}

std::optional<SMatrix> AmplifierS(const AmplifierDesign&, double, const SMatrix&) {
  return std::nullopt;
}
std::optional<AmplifierPoint> AnalyzeAt(const AmplifierDesign&, double, const SMatrix&) {
  return std::nullopt;
}
