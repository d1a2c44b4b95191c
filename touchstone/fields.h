#pragma once
// The values a Touchstone file gives at any frequency: the input window's
// field values at a file frequency or between two, and the complex
// S-parameters interpolated for a sweep.
#include <cstddef>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "touchstone/touchstone.h"

// What the input window's fields get: S-parameters as magnitude and degrees,
// Ro in ohm, f in MHz.
struct SParamFields {
  double fMHz = 0, ro = 0;
  double s11Mag = 0, s11Deg = 0, s21Mag = 0, s21Deg = 0;
  double s12Mag = 0, s12Deg = 0, s22Mag = 0, s22Deg = 0;
};

// The values at the file's index-th frequency: for MA exactly the file's
// numbers, for DB and RI converted to magnitude and degrees.
SParamFields FieldsAtPoint(const TouchstoneData& data, std::size_t index);
// At a file frequency the same as FieldsAtPoint; between two file frequencies
// interpolated linearly in real and imaginary parts; outside the file's range
// an Italian message.
std::variant<SParamFields, std::string> FieldsAtFrequency(const TouchstoneData& data, double fMHz);

// The index-th record as complex values.
SParamPoint PointAt(const TouchstoneData& data, std::size_t index);
// Every record as complex values, for code that interpolates many times.
std::vector<SParamPoint> ComplexPoints(const TouchstoneData& data);

// The S-parameters at any frequency for a sweep, interpolated linearly in real
// and imaginary parts; outside the points' range the nearest end point's
// values (with the frequency asked for), and inRange false.
struct InterpolatedPoint {
  SParamPoint point;
  bool inRange = false;
};
InterpolatedPoint InterpolateAt(std::span<const SParamPoint> points, double fMHz);
