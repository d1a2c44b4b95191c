#pragma once
// Two-port S-parameter files (Touchstone .s2p, versions 1 and 2.0): the
// reader, the field values at a file frequency and the interpolation between
// file frequencies. Frequencies are kept in MHz throughout.
#include <array>
#include <complex>
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The reader refuses texts above these sizes rather than exhaust memory: a
// real transistor file holds a few hundred frequencies and a few kB, while
// 2,000,000 frequencies take about 280 MB once read. A file is read in
// chunks, so its text is never held whole.
inline constexpr std::size_t kTouchstoneMaxBytes = 256u * 1024u * 1024u;  // 256 MiB
inline constexpr std::size_t kTouchstoneMaxFrequencies = 2'000'000;

// One pair as the file writes it: magnitude and angle in degrees for MA,
// 20·log10 magnitude and degrees for DB, real and imaginary part for RI.
struct FilePair {
  double a = 0, b = 0;
};

// One frequency of the network data as complex values, for analysis.
// Frequencies are at least 0 and strictly rising; every magnitude is at most
// 1e100 (the reader refuses larger values, so no later sum or product of them
// overflows).
struct SParamPoint {
  double fMHz = 0;
  std::complex<double> s11, s21, s12, s22;
};

// One frequency as the file writes it, in MHz, with its pairs in the order
// S11 S21 S12 S22 whatever the file's order was.
struct FileRecord {
  double fMHz = 0;
  std::array<FilePair, 4> pairs;
};

// Noise data as the file gives it: |Γopt| and its angle in degrees whatever
// the file's format, Rn divided by the reference resistance.
struct NoisePoint {
  double fMHz = 0, nfMinDb = 0, gammaOptMag = 0, gammaOptDeg = 0, rnNormalized = 0;
};

enum class PairFormat { MA, DB, RI };
const char* PairFormatName(PairFormat format);  // "MA", "DB", "RI"

struct TouchstoneData {
  int version = 1;  // 1 or 2
  double referenceOhm = 50;   // port 1's, and port 2's unless the next differs
  double referenceOhm2 = 50;  // port 2's
  PairFormat format = PairFormat::MA;
  // The file's numbers exactly as read. The complex values are made from them
  // when asked for (PointAt, ComplexPoints): converting every record on
  // reading would cost the reader more than reading the numbers does.
  std::vector<FileRecord> records;
  std::vector<NoisePoint> noise;
};

// `message` is complete and names the line where there is one ("Riga 14:
// attesi 9 numeri, trovati 7"); line 0 means the file as a whole (too large,
// unreadable, no data).
struct TouchstoneError {
  int line = 0;
  std::string message;
};

// Called now and then with the fraction of the text read (0 to 1); returning
// false cancels the read, which then ends with an error.
using ProgressFn = std::function<bool(double fraction)>;

using TouchstoneResult = std::variant<TouchstoneData, TouchstoneError>;

// A transistor's data must use one reference at both ports (the design takes
// one Ro); a finished amplifier's file may give each port its own.
enum class PortReferences { Same, PerPort };

TouchstoneResult ParseTouchstone(std::string_view text, const ProgressFn& progress = {},
                                 PortReferences references = PortReferences::Same);
// Reads the file in chunks; refuses it before reading when it is above
// kTouchstoneMaxBytes.
TouchstoneResult ReadTouchstoneFile(const std::string& path, const ProgressFn& progress = {},
                                    PortReferences references = PortReferences::Same);

// "name: Riga 14: attesi 9 numeri, trovati 7", or "name: message" for line 0.
std::string DescribeError(const std::string& fileName, const TouchstoneError& error);

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

// The texts for the input window: each the shortest that ParseNumber reads
// back as exactly the value, keyed as in project files (s11_mag ... s22_deg,
// ro, f_mhz).
struct SParamFieldText {
  const char* key;
  std::string text;
};
std::array<SParamFieldText, 10> FieldTexts(const SParamFields& fields);

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
