#pragma once
// A result window's values as a table of caption, value and unit, in the
// order the window reads (networks, gains, feedback, verification): what
// "Copia risultati" puts on the clipboard for a spreadsheet.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "forms/services.h"

// A value box of a result window and the quantity it shows.
struct ResultQuantity {
  const char* box;      // "Label1"
  std::string caption;  // "Li1", as the window captions it (brackets completed)
  std::string unit;     // "nH", empty for a ratio
};

// Every value box of the window (Form2 ... Form5), in reading order.
std::vector<ResultQuantity> ResultQuantities(FormId form);

struct ResultRow {
  std::string caption, value, unit;
};

// The boxes that show a value: `shown` gives a box's text, or nullopt while
// the box is hidden. Empty boxes are left out.
using ShownValue = std::function<std::optional<std::string>(const char* box)>;
std::vector<ResultRow> ResultRows(FormId form, const ShownValue& shown);

// One line per row, caption, value and unit separated by tabs.
std::string ResultTableText(const std::vector<ResultRow>& rows);
