#pragma once
// Whether the input window holds edits to its project that are not saved,
// and the question asked before they would be lost ("Esci", closing the
// input window).
#include <QPointer>
#include <QWidget>

#include "project/project.h"

// The project as last opened or saved, with the input window it belongs to:
// a new input window (the old one closed and shown again) starts without.
// The running program's (gui/program.h).
struct SavedProject {
  QPointer<QWidget> window;
  Project project;
};

// After a project is opened or saved: what the input window holds now is
// the project as saved.
void NoteProjectSaved();
// A project was opened or saved in the input window that is open now, and
// its texts, feedback option, typed noise data or low-noise target have
// changed since. Without a project, no.
bool ProjectHasUnsavedEdits();
// Asks "Salvare le modifiche al progetto?" (Salva / Non salvare / Annulla)
// when there are unsaved edits. True when the caller may go on: nothing to
// ask, saved, or not to be saved (the edits are then let go); false when
// the user cancelled or the save failed.
bool ConfirmUnsavedProject();
