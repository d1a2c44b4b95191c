#pragma once
// Two-port S-parameter files (Touchstone .s2p, versions 1 and 2.0): the
// reader and what it makes of a file. The field values at a file frequency
// and the interpolation between frequencies are in touchstone/fields.h.
// The reader's own parts, which no caller includes: file_text.h cuts the text
// into lines, parser.h reads them, number_reader.h reads their numbers.
// Frequencies are kept in MHz throughout.
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
