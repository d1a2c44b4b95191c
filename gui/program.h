#pragma once
// The Qt layer's state while its windows run, in one object owned by whoever
// runs them: the program's main, the scenario runner, the GUI benchmark and
// each GUI test, which so starts from nothing. It holds the design the
// windows' commands work on, the open windows, what each result window shows,
// the input window's files, the noise settings, the project as last saved,
// the dialogs' script and the menus; they go when it goes.
#include <QObject>

#include <optional>
#include <string>

#include "gui/design_store.h"
#include "gui/dialogs.h"
#include "gui/file_menus.h"
#include "gui/menus.h"
#include "gui/noise_settings.h"
#include "gui/qt_ui.h"
#include "gui/unsaved_project.h"
#include "model/design_state.h"

class QtProgram : public QObject {
 public:
  // Installs the Qt windows behind the UI services and registers every menu.
  // One program runs at a time.
  explicit QtProgram(DesignState& design);
  // Its windows go with it, and the UI services go back to the in-memory forms.
  ~QtProgram() override;
  QtProgram(const QtProgram&) = delete;
  QtProgram& operator=(const QtProgram&) = delete;

  DesignState& design;
  OpenWindows windows;
  DesignStore store;
  InputFiles files;
  NoiseSettingsStore noise;
  std::optional<SavedProject> saved;
  std::optional<std::string> lowNoiseTarget;  // as the project keeps it, once chosen
  DialogScript dialogs;
  MenuRegistry menus;
};

// The program whose windows run now: the Qt layer's functions reach their
// state through it. Throws std::logic_error while none runs.
QtProgram& Program();
