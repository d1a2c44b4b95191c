#pragma once
// The PDF report of a result window's design: two A4 pages with the inputs,
// the schematic with the element values written on it, gains, feedback,
// verification and stability, then the frequency response and the Smith
// chart. Offered as Esporta/Relazione PDF… in the result windows.
#include <optional>
#include <string>

#include "forms/result_table.h"
#include "gui/analysis_windows.h"

// Writes the report of the window's design (its value boxes as they read
// now) to path, atomically; an Italian error text on failure.
std::optional<std::string> WritePdfReport(const AnalysedDesign& design, const std::string& path);
// The same with the boxes' texts given (a design no window shows, such as
// the low-noise design): `boxes` answers for design.form's value boxes.
std::optional<std::string> WritePdfReport(const AnalysedDesign& design, const std::string& path,
                                          const ShownValue& boxes);

// Registers Esporta/Relazione PDF… for the result windows; once, at start-up.
void RegisterReportMenus();
