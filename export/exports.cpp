#include "export/exports.h"

#include "export/amplifier_touchstone.h"
#include "export/spice_netlist.h"
#include "project/atomic_file.h"

#include <filesystem>

std::optional<std::string> ExportAmplifierTouchstone(const AmplifierDesign& design,
                                                     const TouchstoneData* file,
                                                     const std::optional<SweepPlan>& plan,
                                                     const std::string& path,
                                                     const NoiseSource& noise) {
  SweepPlan grid = file && !file->records.empty() ? DefaultSweep(*file) : DefaultSweep(design);
  if (plan) grid = *plan;
  if (std::string error = CheckSweep(grid); !error.empty()) return error;
  const TransistorSource source = file ? FileTransistor(*file) : ConstantTransistor(design);
  const SweepResult sweep = RunSweep(design, source, grid);
  if (sweep.points.empty()) return std::string("Nessuna frequenza della scansione ha dati utilizzabili");
  std::vector<NoiseParameters> amplifierNoise;
  std::vector<double> noiseMHz;
  if (noise && design.RE == design.RL) {
    const NoiseNetworks networks = NoiseNetworksOf(design, design.losses);
    const bool renormalize = source.referenceOhm != design.Ro;
    for (const AmplifierPoint& p : sweep.points) {
      const std::optional<NoiseParameters> n = noise(p.fMHz);
      std::optional<SMatrix> s = n ? source.sAt(p.fMHz) : std::nullopt;
      if (s && renormalize) s = Renormalize(*s, source.referenceOhm, design.Ro);
      const auto whole = s ? AmplifierNoiseParameters(p.fMHz, *s, *n, networks) : std::nullopt;
      if (!whole) continue;
      amplifierNoise.push_back(*whole);
      noiseMHz.push_back(p.fMHz);
    }
  }
  return WriteFileAtomically(path, AmplifierTouchstoneText(design, sweep, file == nullptr, amplifierNoise, noiseMHz));
}

std::optional<std::string> ExportSpiceNetlist(const AmplifierDesign& design, const std::string& path) {
  if (auto error = WriteFileAtomically(path, SpiceNetlistText(design))) return error;
  return WriteFileAtomically(SpiceBenchPath(path), SpiceBenchText(design));
}

namespace {

std::string SafeForFileName(const std::string& text) {
  std::string out;
  for (const char c : text) {
    // Letters beyond ASCII (UTF-8 bytes from 0x80) are kept: "è" is safe.
    const bool safe = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' ||
                      c == '_' || c == '.' || static_cast<unsigned char>(c) >= 0x80;
    out += safe ? c : '_';
  }
  return out;
}

std::string KindLetters(NetworkKind kind) { return kind == NetworkKind::LCL ? "LCL" : "CLC"; }

}  // namespace

std::string DesignFileStem(const AmplifierDesign& design, const std::string& touchstonePath) {
  const std::string source = touchstonePath.empty()
                                 ? "reti_" + KindLetters(design.kinds.input) + "_" + KindLetters(design.kinds.output)
                                 : std::filesystem::path(touchstonePath).stem().string();
  return SafeForFileName(source + "_" + MHzText(design.fMHz) + "MHz");
}

std::string TransistorSourceText(const std::string& touchstonePath, const TouchstoneData* file) {
  if (touchstonePath.empty() || !file || file->records.empty()) return "parametri S inseriti a mano";
  return std::filesystem::path(touchstonePath).filename().string() + " (" + MHzText(file->records.front().fMHz) +
         "–" + MHzText(file->records.back().fMHz) + " MHz)";
}
