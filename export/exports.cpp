#include "export/exports.h"

#include "export/amplifier_touchstone.h"
#include "export/spice_netlist.h"
#include "project/atomic_file.h"

std::optional<std::string> ExportAmplifierTouchstone(const AmplifierDesign& design,
                                                     const TouchstoneData* file,
                                                     const std::optional<SweepPlan>& plan,
                                                     const std::string& path) {
  SweepPlan grid = file && !file->records.empty() ? DefaultSweep(*file) : DefaultSweep(design);
  if (plan) grid = *plan;
  if (std::string error = CheckSweep(grid); !error.empty()) return error;
  const TransistorSource source = file ? FileTransistor(*file) : ConstantTransistor(design);
  const SweepResult sweep = RunSweep(design, source, grid);
  if (sweep.points.empty()) return std::string("Nessuna frequenza della scansione ha dati utilizzabili");
  return WriteFileAtomically(path, AmplifierTouchstoneText(design, sweep));
}

std::optional<std::string> ExportSpiceNetlist(const AmplifierDesign& design, const std::string& path) {
  if (auto error = WriteFileAtomically(path, SpiceNetlistText(design))) return error;
  return WriteFileAtomically(SpiceBenchPath(path), SpiceBenchText(design));
}
