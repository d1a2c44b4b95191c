#pragma once
// The input window to and from project files: the fifteen texts as typed
// and the feedback option.
#include <QString>

#include <optional>

#include "project/project.h"

// The fifteen texts and the selected option of the input window, with the
// Touchstone file its S-parameters came from when given.
Project ProjectOfInputWindow(std::optional<TouchstoneRef> touchstone);
// Puts the project's texts in the input window and selects its option as a
// click does (its display action runs); no option clears the four.
// Everything else stays as it is.
void ApplyProjectToInputWindow(const Project& project);

// Reads the file and applies it; a refusal is told in one message naming
// the file and changes nothing. The project when applied (its Touchstone
// path resolved against its folder).
std::optional<Project> LoadProjectFile(const QString& path);
// Writes atomically; a failure is told in a message. True when written.
bool StoreProjectFile(const QString& path, std::optional<TouchstoneRef> touchstone);
