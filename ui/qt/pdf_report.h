#pragma once
// The PDF report of a result window's design: one or two A4 pages with the
// inputs, the schematic with its values, gains, feedback, verification,
// stability and the analysis figures, offered as Esporta/Relazione PDF….
#include <optional>
#include <string>

#include "ui/services.h"

// Writes the report of the window's design to path; an Italian error text on
// failure.
std::optional<std::string> WritePdfReport(FormId form, const std::string& path);

// Registers Esporta/Relazione PDF… for the result windows; once, at start-up.
void RegisterReportMenus();
