#pragma once
// The input window's files: its File menu (Touchstone files, projects,
// recent files), files dropped onto it and files named on the command line.
#include <QString>
#include <QStringList>

#include <array>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

#include "model/quantities.h"

struct TouchstoneData;

// What the input window's files leave behind: the Touchstone file its
// S-parameter fields were last written from, the project last opened or
// saved, and where the recent files are kept. The running program's
// (gui/program.h).
struct InputFiles {
  // The file's data and, in the order of kTouchstoneQuantities, the texts
  // written into the fields it fills.
  struct Source {
    std::shared_ptr<const TouchstoneData> data;
    QString path;
    double fMHz = 0;
    std::array<std::u16string, std::size(kTouchstoneQuantities)> written;
  };
  std::optional<Source> source;
  QString projectPath;
  QString recentIni;           // a test's own settings file
  QStringList recentInMemory;  // scripted mode without one
  bool reading = false;        // a file is being read
};

// Registers the File entries of the input window, the drop of files onto it
// and the source of its S-parameters for the result windows.
void RegisterFileMenus();
// Tells the design store that the input window's S-parameters come from the
// file last read while its fields still hold what was written (done by
// RegisterFileMenus).
void ProvideTouchstoneSource();

// Reads a Touchstone file (on a pool thread, with a progress dialog that
// can cancel) and writes the frequency chosen in the chooser, or fMHz when
// given, into the input window. A refusal is told in one message and changes
// nothing. True when the fields were written.
bool OpenTouchstonePath(const QString& path, std::optional<double> fMHz = std::nullopt);
// A project file by its .bjtp extension, anything else as a Touchstone file.
bool OpenAnyPath(const QString& path, std::optional<double> fMHz = std::nullopt);
bool OpenProjectPath(const QString& path);
// "Salva progetto": under the current project's name, asked for when there is none.
bool SaveProject();
bool SaveProjectAs();
// The project file last opened or saved, empty when none.
QString CurrentProjectPath();

// The last eight files opened or saved, newest first. They are kept with
// QSettings, except in scripted mode, where a test gives its own file.
QStringList RecentFiles();
void UseRecentFilesSettings(const QString& iniPath);
