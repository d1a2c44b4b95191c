#include "touchstone/fields.h"

#include <algorithm>
#include <cmath>

#include "model/arithmetic.h"
#include "text/number_text.h"

namespace {

constexpr double kDegree = kPi / 180.0;

std::complex<double> ToComplex(PairFormat format, FilePair p) {
  switch (format) {
    case PairFormat::MA:
      return {p.a * std::cos(p.b * kDegree), p.a * std::sin(p.b * kDegree)};
    case PairFormat::DB: {
      const double m = std::pow(10.0, p.a / 20.0);
      return {m * std::cos(p.b * kDegree), m * std::sin(p.b * kDegree)};
    }
    case PairFormat::RI:
      break;
  }
  return {p.a, p.b};
}

double Degrees(std::complex<double> s) { return std::atan2(s.imag(), s.real()) * 180.0 / kPi; }

SParamFields FieldsFromComplex(double fMHz, double ro, const SParamPoint& p) {
  return {fMHz, ro, std::abs(p.s11), Degrees(p.s11), std::abs(p.s21), Degrees(p.s21),
          std::abs(p.s12), Degrees(p.s12), std::abs(p.s22), Degrees(p.s22)};
}

std::complex<double> Lerp(std::complex<double> a, std::complex<double> b, double t) {
  return {a.real() + (b.real() - a.real()) * t, a.imag() + (b.imag() - a.imag()) * t};
}

// The index of the first element at or above fMHz.
template <class Element>
std::size_t LowerBound(std::span<const Element> elements, double fMHz) {
  return static_cast<std::size_t>(
      std::lower_bound(elements.begin(), elements.end(), fMHz,
                       [](const Element& e, double f) { return e.fMHz < f; }) -
      elements.begin());
}

SParamPoint Between(const SParamPoint& a, const SParamPoint& b, double fMHz) {
  const double t = (fMHz - a.fMHz) / (b.fMHz - a.fMHz);
  return {fMHz, Lerp(a.s11, b.s11, t), Lerp(a.s21, b.s21, t), Lerp(a.s12, b.s12, t), Lerp(a.s22, b.s22, t)};
}

}  // namespace

SParamPoint PointAt(const TouchstoneData& data, std::size_t index) {
  const FileRecord& r = data.records.at(index);
  const auto s = [&](int i) { return ToComplex(data.format, r.pairs[i]); };
  return {r.fMHz, s(0), s(1), s(2), s(3)};
}

std::vector<SParamPoint> ComplexPoints(const TouchstoneData& data) {
  std::vector<SParamPoint> points;
  points.reserve(data.records.size());
  for (std::size_t i = 0; i < data.records.size(); ++i) points.push_back(PointAt(data, i));
  return points;
}

SParamFields FieldsAtPoint(const TouchstoneData& data, std::size_t index) {
  const FileRecord& r = data.records.at(index);
  if (data.format == PairFormat::RI) return FieldsFromComplex(r.fMHz, data.referenceOhm, PointAt(data, index));
  // MA keeps the file's numbers as they are; DB only changes the magnitude.
  const auto mag = [&](const FilePair& pair) {
    return data.format == PairFormat::MA ? pair.a : std::pow(10.0, pair.a / 20.0);
  };
  const auto& p = r.pairs;
  return {r.fMHz, data.referenceOhm, mag(p[0]), p[0].b, mag(p[1]), p[1].b, mag(p[2]), p[2].b, mag(p[3]), p[3].b};
}

std::variant<SParamFields, std::string> FieldsAtFrequency(const TouchstoneData& data, double fMHz) {
  if (data.records.empty()) return std::string("Il file non contiene dati di rete");
  if (!std::isfinite(fMHz)) return std::string("La frequenza non è un numero valido");
  const double lo = data.records.front().fMHz, hi = data.records.back().fMHz;
  if (fMHz < lo || fMHz > hi)
    return "La frequenza " + ShortestNumberText(fMHz) + " MHz è fuori dall'intervallo del file (" +
           ShortestNumberText(lo) + " – " + ShortestNumberText(hi) + " MHz)";
  const std::size_t i = LowerBound(std::span<const FileRecord>(data.records), fMHz);
  if (data.records[i].fMHz == fMHz) return FieldsAtPoint(data, i);
  return FieldsFromComplex(fMHz, data.referenceOhm, Between(PointAt(data, i - 1), PointAt(data, i), fMHz));
}

InterpolatedPoint InterpolateAt(std::span<const SParamPoint> points, double fMHz) {
  if (points.empty() || !std::isfinite(fMHz)) return {SParamPoint{}, false};
  const std::size_t i = LowerBound(points, fMHz);
  if (i == points.size()) {
    SParamPoint p = points.back();
    p.fMHz = fMHz;
    return {p, false};
  }
  if (points[i].fMHz == fMHz) return {points[i], true};
  if (i == 0) {
    SParamPoint p = points.front();
    p.fMHz = fMHz;
    return {p, false};
  }
  return {Between(points[i - 1], points[i], fMHz), true};
}
