#include "gui/unsaved_project.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <optional>
#include <string>

#include "forms/services.h"
#include "gui/file_menus.h"
#include "gui/program.h"
#include "gui/project_io.h"
#include "gui/qt_ui.h"
#include "noise/low_noise_design.h"

namespace {

std::optional<SavedProject>& Saved() { return Program().saved; }

bool SameNoise(const std::optional<ProjectNoise>& a, const std::optional<ProjectNoise>& b) {
  if (!a || !b) return a.has_value() == b.has_value();
  return a->nfMinDb == b->nfMinDb && a->gammaOptMag == b->gammaOptMag && a->gammaOptDeg == b->gammaOptDeg &&
         a->rnOhm == b->rnOhm;
}

// No target chosen yet designs the default one: looking at the low-noise
// window, which then records it, is not an edit.
std::string TargetWords(const std::optional<std::string>& words) {
  return words.value_or(LowNoiseTargetText(LowNoiseTarget{}));
}

// What a save keeps: the window's fields and feedback (the Touchstone
// reference follows the fields, so comparing them is enough), the noise data
// typed by hand and the low-noise target, which a save keeps as well and a
// close without asking would lose.
bool SameContents(const Project& a, const Project& b) {
  return a.fields == b.fields && a.feedback == b.feedback && SameNoise(a.noise, b.noise) &&
         TargetWords(a.lowNoiseTarget) == TargetWords(b.lowNoiseTarget);
}

}  // namespace

void NoteProjectSaved() {
  QWidget* window = FormWidget(FormId::Form1);
  if (!window) return Saved().reset();
  Saved() = SavedProject{window, ProjectOfInputWindow(std::nullopt)};
}

bool ProjectHasUnsavedEdits() {
  const std::optional<SavedProject>& saved = Saved();
  if (!saved || !saved->window || saved->window != FormWidget(FormId::Form1)) return false;
  return !SameContents(saved->project, ProjectOfInputWindow(std::nullopt));
}

bool ConfirmUnsavedProject() {
  if (!ProjectHasUnsavedEdits()) return true;
  static const std::array<std::string, 3> kChoices{"Salva", "Non salvare", "Annulla"};
  switch (AskQuestion("Salvare le modifiche al progetto?", kChoices)) {
    case 0: return SaveProject();
    case 1: Saved().reset(); return true;
    default: return false;
  }
}
