// The two-port file reader on arbitrary bytes. Whatever the text, the reader
// ends with data or with one message; data holds only finite values, rising
// frequencies and field texts that read back to the same doubles. The same
// text with CR LF line ends, or behind a byte order mark, reads the same.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "forms/headless.h"
#include "fuzz/fuzz_checks.h"
#include "text/number_text.h"
#include "session/session_batch.h"
#include "touchstone/fields.h"

namespace {

bool Finite(std::complex<double> z) { return std::isfinite(z.real()) && std::isfinite(z.imag()); }

void CheckFields(const SParamFields& f) {
  const auto texts = FieldTexts(f);
  const double values[] = {f.s11Mag, f.s11Deg, f.s21Mag, f.s21Deg, f.s12Mag,
                           f.s12Deg, f.s22Mag, f.s22Deg, f.ro,     f.fMHz};
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const std::string& t = texts[i].text;
    Require(t.find_first_not_of("0123456789eE.+-") == std::string::npos, "field text has other characters", t);
    const double back = ParseNumber(Utf8ToUtf16(t));
    Require(std::memcmp(&back, &values[i], sizeof back) == 0, "field text does not read back", t);
  }
}

void CheckData(const TouchstoneData& d) {
  Require(!d.records.empty(), "data without records");
  Require(std::isfinite(d.referenceOhm) && d.referenceOhm > 0, "reference not positive");
  const std::vector<SParamPoint> points = ComplexPoints(d);
  for (std::size_t i = 0; i < points.size(); ++i) {
    const SParamPoint& p = points[i];
    Require(std::isfinite(p.fMHz) && p.fMHz >= 0, "frequency negative or not finite");
    Require(i == 0 || p.fMHz > points[i - 1].fMHz, "frequencies do not rise");
    Require(Finite(p.s11) && Finite(p.s21) && Finite(p.s12) && Finite(p.s22), "S not finite");
  }
  for (std::size_t i = 0; i < d.noise.size(); ++i)
    Require(i == 0 || d.noise[i].fMHz > d.noise[i - 1].fMHz, "noise frequencies do not rise");

  const std::size_t n = points.size();
  for (std::size_t i : {std::size_t{0}, n / 2, n - 1}) CheckFields(FieldsAtPoint(d, i));
  const double lo = points.front().fMHz, hi = points.back().fMHz;
  for (double f : {lo, hi, lo + (hi - lo) / 3, (lo + hi) / 2}) {
    const auto at = FieldsAtFrequency(d, f);
    Require(std::holds_alternative<SParamFields>(at), "a frequency inside the range refused");
    CheckFields(std::get<SParamFields>(at));
    const InterpolatedPoint ip = InterpolateAt(points, f);
    Require(ip.inRange && Finite(ip.point.s11) && Finite(ip.point.s21) && Finite(ip.point.s12) &&
                Finite(ip.point.s22),
            "interpolation inside the range not finite");
  }
  const auto above = FieldsAtFrequency(d, hi * 2 + 1);
  Require(std::holds_alternative<std::string>(above), "a frequency above the range accepted");
  Require(!InterpolateAt(points, hi * 2 + 1).inRange, "above the range reported in range");
}

bool SameResult(const TouchstoneResult& a, const TouchstoneResult& b) {
  if (a.index() != b.index()) return false;
  if (const auto* e = std::get_if<TouchstoneError>(&a))
    return e->message == std::get<TouchstoneError>(b).message && e->line == std::get<TouchstoneError>(b).line;
  const auto& x = std::get<TouchstoneData>(a);
  const auto& y = std::get<TouchstoneData>(b);
  if (x.records.size() != y.records.size() || x.noise.size() != y.noise.size()) return false;
  for (std::size_t i = 0; i < x.records.size(); ++i)
    if (std::memcmp(&x.records[i], &y.records[i], sizeof x.records[i]) != 0) return false;
  return x.referenceOhm == y.referenceOhm && x.version == y.version;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const TouchstoneResult result = ParseTouchstone(text);
  if (const auto* error = std::get_if<TouchstoneError>(&result)) {
    Require(!error->message.empty() && error->line >= 0, "an error without a message");
    if (error->line > 0)
      Require(error->message.find(std::to_string(error->line)) != std::string::npos,
              "an error does not name its line", error->message);
  } else {
    CheckData(std::get<TouchstoneData>(result));
  }

  if (text.find('\r') == std::string::npos && !text.starts_with("\xEF\xBB\xBF")) {
    std::string crlf;
    for (char c : text) {
      if (c == '\n') crlf += '\r';
      crlf += c;
    }
    Require(SameResult(result, ParseTouchstone(crlf)), "CR LF reads otherwise than LF");
    Require(SameResult(result, ParseTouchstone("\xEF\xBB\xBF" + text)), "a byte order mark changes the reading");
  }
  return 0;
}
