#pragma once
// The fifteen quantities typed into the input window and its four feedback
// options: the one table that names them. Every place that reads, writes,
// saves or shows one of them (the commands, projects, the command line, the
// session output, the file menus) goes through it.
#include <span>
#include <string_view>

// In the order of the input window's controls Text1 ... Text15.
enum class Quantity {
  S11Mag = 1, S11Deg, S21Mag, S21Deg, S12Mag, S12Deg, S22Mag, S22Deg,
  Ro, RE, RfKohm, RL, LfMicroH, FMHz, CfPicoF
};

struct QuantitySpec {
  Quantity quantity;
  const char* control;  // the input window's field, "Text1"
  const char* key;      // in project files and on the command line, "s11_mag"
  const char* caption;  // "modulo di S11"
  const char* unit;     // "", "°", "ohm", "kohm", "uH", "pF", "MHz"
};

// In the order projects and `bjt-design --help` list the keys.
inline constexpr QuantitySpec kQuantities[] = {
    {Quantity::S11Mag, "Text1", "s11_mag", "modulo di S11", ""},
    {Quantity::S11Deg, "Text2", "s11_deg", "fase di S11", "°"},
    {Quantity::S21Mag, "Text3", "s21_mag", "modulo di S21", ""},
    {Quantity::S21Deg, "Text4", "s21_deg", "fase di S21", "°"},
    {Quantity::S12Mag, "Text5", "s12_mag", "modulo di S12", ""},
    {Quantity::S12Deg, "Text6", "s12_deg", "fase di S12", "°"},
    {Quantity::S22Mag, "Text7", "s22_mag", "modulo di S22", ""},
    {Quantity::S22Deg, "Text8", "s22_deg", "fase di S22", "°"},
    {Quantity::Ro, "Text9", "ro", "Ro, resistenza di riferimento dei parametri S", "ohm"},
    {Quantity::RE, "Text10", "re", "RE", "ohm"},
    {Quantity::RL, "Text12", "rl", "RL", "ohm"},
    {Quantity::FMHz, "Text14", "f_mhz", "f", "MHz"},
    {Quantity::RfKohm, "Text11", "rf_kohm", "Rf", "kohm"},
    {Quantity::LfMicroH, "Text13", "lf_uh", "Lf", "uH"},
    {Quantity::CfPicoF, "Text15", "cf_pf", "Cf", "pF"},
};

constexpr const QuantitySpec& SpecOf(Quantity q) {
  for (const QuantitySpec& row : kQuantities)
    if (row.quantity == q) return row;
  return kQuantities[0];  // not reached: every quantity has a row
}
constexpr const char* ControlOf(Quantity q) { return SpecOf(q).control; }
// The ten a Touchstone file gives: the S-parameters, Ro and f. Typed over by
// hand, they no longer come from the file.
inline constexpr Quantity kTouchstoneQuantities[] = {
    Quantity::S11Mag, Quantity::S11Deg, Quantity::S21Mag, Quantity::S21Deg, Quantity::S12Mag,
    Quantity::S12Deg, Quantity::S22Mag, Quantity::S22Deg, Quantity::Ro,     Quantity::FMHz};
// The row of a project key or a control name; nullptr for an unknown one.
const QuantitySpec* QuantityOfKey(std::string_view key);
const QuantitySpec* QuantityOfControl(std::string_view control);

// The feedback element chosen in the input window, one option button each.
enum class FeedbackChoice { Rf = 1, RfLf, RfCf, None };

struct FeedbackOptionSpec {
  FeedbackChoice choice;
  const char* control;  // "Option2"
  const char* name;     // in project files and on the command line, "Rf//Lf"
};

inline constexpr FeedbackOptionSpec kFeedbackOptions[] = {
    {FeedbackChoice::Rf, "Option1", "Rf"},
    {FeedbackChoice::RfLf, "Option2", "Rf//Lf"},
    {FeedbackChoice::RfCf, "Option3", "Rf//Cf"},
    {FeedbackChoice::None, "Option4", "nessuna"},
};

constexpr const char* ControlOf(FeedbackChoice c) { return kFeedbackOptions[static_cast<int>(c) - 1].control; }
// The option's number 1 ... 4 ("Option2" -> 2), 0 for a control that is not one.
int FeedbackOptionNumber(std::string_view control);
// The row of a name ("Rf//Lf"); nullptr for an unknown one.
const FeedbackOptionSpec* FeedbackOptionOfName(std::string_view name);
