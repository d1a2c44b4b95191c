#include "touchstone/touchstone.h"

TouchstoneResult ParseTouchstone(std::string_view, const ProgressFn&) {
  return TouchstoneError{0, "Lettura dei file Touchstone non ancora disponibile"};
}
TouchstoneResult ReadTouchstoneFile(const std::string&, const ProgressFn&) {
  return TouchstoneError{0, "Lettura dei file Touchstone non ancora disponibile"};
}
std::string DescribeError(const std::string& fileName, const TouchstoneError& error) {
  return fileName + ": " + error.message;
}
SParamFields FieldsAtPoint(const TouchstoneData&, std::size_t) { return {}; }
std::variant<SParamFields, std::string> FieldsAtFrequency(const TouchstoneData&, double) {
  return std::string("non disponibile");
}
InterpolatedPoint InterpolateAt(const TouchstoneData&, double) { return {}; }
