#pragma once
// The PDF report of a result window's design: two A4 pages with the inputs,
// the schematic with the element values written on it, gains, feedback,
// verification and stability, then the frequency response and the Smith
// chart. Offered as Esporta/Relazione PDF… in the result windows.
#include <optional>
#include <string>

#include "gui/analysis_windows.h"

// Writes the report of the window's design (its value boxes as they read
// now) to path, atomically; an Italian error text on failure.
std::optional<std::string> WritePdfReport(const AnalysedDesign& design, const std::string& path);

// Registers Esporta/Relazione PDF… for the result windows; once, at start-up.
void RegisterReportMenus();
