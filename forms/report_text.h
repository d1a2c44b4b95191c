#pragma once
// What the PDF report of a result window says, as text: its tables and the
// values written on the schematic. The Qt side only lays them out, so the
// report's content is checked without a page.
#include <string>
#include <vector>

#include "analysis/amplifier.h"
#include "forms/pictures.h"
#include "forms/result_table.h"

// Non-finite values read "—", so nothing the page shows is ever "nan".
struct ReportTable {
  std::string title;
  std::vector<std::string> header;  // column titles; empty: none
  std::vector<std::vector<std::string>> rows;
};

// The entered S-parameters: modulus and phase in degrees.
ReportTable TransistorTable(const DesignState& state);
// Ro, RE, RL, the design frequency, the feedback element chosen and, when the
// S-parameters came from one, the Touchstone file.
ReportTable CircuitTable(const AmplifierDesign& design, const std::string& touchstonePath);
// "Li1 [nH]" and the text the window's box shows.
ReportTable ValueTable(std::string title, const std::vector<ResultRow>& rows);
// The boxes' gains with Po/Pi in dB beside them.
ReportTable GainTable(const std::vector<ResultRow>& rows, double poPi);
// The verification's impedances, real and imaginary part on one line.
ReportTable VerificationTable(const std::vector<ResultRow>& rows);
// K, |Δ|, μ and MAG or MSG of the transistor alone and with its feedback at
// the design frequency.
ReportTable StabilityTable(const AmplifierDesign& design);

// The value boxes of each part of a result window.
std::vector<const char*> NetworkBoxes();
std::vector<const char*> GainBoxes();
std::vector<const char*> VerificationBoxes();
// The feedback boxes the design fills: Rf whenever there is feedback, Lf or
// Cf for a reactive element; none without feedback.
std::vector<const char*> FeedbackBoxes(const DesignState& state);

// An element's value as written on the schematic, in picture pixels: above a
// series element's name, across the shunt element from its name.
struct SchematicValue {
  int x = 0, y = 0;
  Anchor anchor = Anchor::Center;
  std::string text;  // "12.5 nH"
};
// The schematic of the window (Form2 ... Form5) and its six element values
// from the boxes' shown texts; an element whose box is empty is left out.
PictureId SchematicOf(FormId form);
std::vector<SchematicValue> SchematicValues(FormId form, const ShownValue& shown);
