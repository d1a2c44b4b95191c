#include "touchstone/touchstone.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>

#include "text/number_text.h"

namespace {

// Standard π here: these conversions are the file's own, not the design's.

constexpr double kMaxMagnitude = 1e100;

// How often, in bytes read, the progress callback is asked.
constexpr std::size_t kProgressStep = 1u << 20;

std::string LineText(int line) { return "Riga " + std::to_string(line) + ": "; }

// The length of the valid UTF-8 sequence at s[i] (overlong forms, surrogates
// and values beyond U+10FFFF are not valid), 0 when there is none.
std::size_t Utf8SequenceAt(std::string_view s, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char b = byte(i);
  if (b < 0x80) return 1;
  std::size_t n = 0;
  unsigned char low = 0x80, high = 0xBF;  // the second byte's range
  if (b >= 0xC2 && b <= 0xDF) n = 2;
  else if (b >= 0xE0 && b <= 0xEF) n = 3, low = b == 0xE0 ? 0xA0 : 0x80, high = b == 0xED ? 0x9F : 0xBF;
  else if (b >= 0xF0 && b <= 0xF4) n = 4, low = b == 0xF0 ? 0x90 : 0x80, high = b == 0xF4 ? 0x8F : 0xBF;
  if (n == 0 || i + n > s.size() || byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < n; ++k)
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  return n;
}

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// A message that quotes the file shows a "?" for each byte that is not
// printable text, so a message never carries what a screen cannot show.
std::string Printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = Utf8SequenceAt(text, i);
    if (n == 0 || (n == 1 && IsControl(static_cast<unsigned char>(text[i])))) {
      out += '?';
      ++i;
      continue;
    }
    out.append(text.substr(i, n));
    i += n;
  }
  return out;
}

TouchstoneError LineError(int line, const std::string& what) {
  return {line, LineText(line) + Printable(what)};
}

// A file's start, read as text: a file with a NUL, a control character other
// than the white space a text file holds (or the DOS end-of-file mark), or
// more than one byte in eight outside UTF-8 is not text. Checked on the first
// 4096 bytes only, so a large file costs nothing more to read, and with CR
// left out, so that CR LF line ends decide nothing. A stray Latin-1 degree
// sign in a maker's comment is still text.
constexpr std::size_t kTextCheckBytes = 4096;

bool LooksLikeText(std::string_view start) {
  std::size_t seen = 0, foreign = 0;
  for (std::size_t i = 0; i < start.size() && seen < kTextCheckBytes;) {
    const unsigned char c = static_cast<unsigned char>(start[i]);
    if (c == '\r') {
      ++i;
      continue;
    }
    if (IsControl(c) && c != '\t' && c != '\n' && c != '\v' && c != '\f' && c != 0x1A) return false;
    const std::size_t n = Utf8SequenceAt(start, i);
    if (n == 0) ++foreign;
    const std::size_t step = n == 0 ? 1 : n;
    i += step;
    seen += step;
  }
  return foreign * 8 <= seen;
}

TouchstoneError NotTextError() {
  return {0,
          "non è un file di testo (contiene byte che non sono caratteri), quindi non è un file Touchstone"};
}

// The messages raised from more than one place, built here once. Appended,
// not "literal" + std::string&&: GCC 12 warns falsely (-Wrestrict) on that.
TouchstoneError ReferenceCountError(int line, int ports, std::size_t found) {
  std::string message = "[Reference] vuole ";
  message.append(std::to_string(ports ? ports : 2)).append(" resistenze, trovate ").append(std::to_string(found));
  return LineError(line, message);
}
TouchstoneError FrequenciesNotRisingError(int line) {
  std::string message = "Le frequenze devono crescere: riga ";
  return {line, message.append(std::to_string(line))};
}
// `what` is "frequenze" or "frequenze di rumore".
TouchstoneError TooManyFrequenciesError(int line, const char* what) {
  std::string message = "più di ";
  message.append(std::to_string(kTouchstoneMaxFrequencies)).append(" ").append(what);
  return LineError(line, message.append(", oltre il limite del programma"));
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The next blank-separated token of `rest`, which it removes; empty at the end
// or at a comment.
std::string_view NextToken(std::string_view& rest) {
  std::size_t i = 0;
  while (i < rest.size() && IsBlank(rest[i])) ++i;
  std::size_t j = i;
  while (j < rest.size() && !IsBlank(rest[j]) && rest[j] != '!') ++j;
  const std::string_view token = rest.substr(i, j - i);
  rest.remove_prefix(j);
  return token;
}

std::size_t CountTokens(std::string_view rest) {
  std::size_t n = 0;
  while (!NextToken(rest).empty()) ++n;
  return n;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// A plain decimal split into its digits, as an integer, and its decimal
// exponent: "-12.5e3" is 125 and 2, negative. At most 19 digits, so that the
// integer cannot overflow, and at most 4 exponent digits; anything else is
// left to the general conversion, which also decides what is not a number.
struct PlainDecimal {
  const char* end = nullptr;
  bool negative = false;
  std::uint64_t digits = 0;
  int exponent = 0;
};

std::optional<PlainDecimal> SplitPlainDecimal(const char* p, const char* end) {
  PlainDecimal d;
  d.negative = p != end && *p == '-';
  if (d.negative) ++p;
  const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  int count = 0;
  for (; p != end && isDigit(*p); ++p, ++count) {
    if (count == 19) return std::nullopt;
    d.digits = d.digits * 10 + static_cast<unsigned>(*p - '0');
  }
  if (p != end && *p == '.') {
    for (++p; p != end && isDigit(*p); ++p, ++count, --d.exponent) {
      if (count == 19) return std::nullopt;
      d.digits = d.digits * 10 + static_cast<unsigned>(*p - '0');
    }
  }
  if (count == 0) return std::nullopt;
  if (p != end && (*p == 'e' || *p == 'E')) {
    ++p;
    const bool below = p != end && *p == '-';
    if (p != end && (*p == '-' || *p == '+')) ++p;
    int e = 0, n = 0;
    for (; p != end && isDigit(*p); ++p, ++n) {
      if (n == 4) return std::nullopt;
      e = e * 10 + (*p - '0');
    }
    if (n == 0) return std::nullopt;
    d.exponent += below ? -e : e;
  }
  d.end = p;
  return d;
}

// The nearest double to the decimal times 10^shift, where exact arithmetic
// gives it: when the digits are below 2^53 and the exponent within ±22, both
// they and the power of ten are exact doubles, so the one multiplication or
// division, rounded once, is the nearest double (Clinger's fast path).
std::optional<double> ExactValue(const PlainDecimal& d, int shift) {
  static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                      1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  const int exponent = d.exponent + shift;
  if (d.digits > (std::uint64_t{1} << 53) || exponent < -22 || exponent > 22) return std::nullopt;
  const double value = exponent < 0 ? static_cast<double>(d.digits) / kPow10[-exponent]
                                    : static_cast<double>(d.digits) * kPow10[exponent];
  return d.negative ? -value : value;
}

// Reads the number at the start of `rest`, times 10^shift, and removes it,
// in one pass. Nothing, and `rest` untouched, for anything but a finite
// number ended by a blank, a comment or the line's end, and for a scaled
// number beyond the exact quick path.
std::optional<double> TakeNumber(std::string_view& rest, int shift) {
  const char* end = rest.data() + rest.size();
  const char* p = rest.data() + (rest.front() == '+' ? 1 : 0);
  if (p != rest.data() && p != end && *p == '-') return std::nullopt;  // "+-"
  std::optional<double> v;
  const char* stop = nullptr;
  if (const std::optional<PlainDecimal> d = SplitPlainDecimal(p, end)) {
    v = ExactValue(*d, shift);
    stop = d->end;
  }
  if (!v) {
    if (shift != 0) return std::nullopt;
    double x = 0;
    const auto [last, ec] = std::from_chars(p, end, x, std::chars_format::general);
    if (ec != std::errc{} || !std::isfinite(x)) return std::nullopt;
    v = x;
    stop = last;
  }
  if (!(stop == end || IsBlank(*stop) || *stop == '!')) return std::nullopt;
  rest.remove_prefix(static_cast<std::size_t>(stop - rest.data()));
  return v;
}

// The token's value, the nearest double, whatever the locale; nothing for a
// token that is not wholly a finite number.
std::optional<double> ParseToken(std::string_view token) {
  // from_chars takes a "-" but no "+".
  if (!token.empty() && token.front() == '+') {
    token.remove_prefix(1);
    if (!token.empty() && token.front() == '-') return std::nullopt;
  }
  double value = 0;
  const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), value,
                                         std::chars_format::general);
  if (ec != std::errc{} || end != token.data() + token.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

// A frequency scaled to MHz by moving the decimal point of its text before it
// is converted, so "2.140" GHz becomes exactly 2140 rather than 2140 × 1000
// rounded twice.
std::optional<double> ParseScaled(std::string_view token, int shift, std::string& scratch) {
  if (shift == 0) return ParseToken(token);
  const std::size_t e = token.find_first_of("eE");
  long long exponent = 0;
  if (e != std::string_view::npos) {
    std::string_view digits = token.substr(e + 1);
    bool negative = false;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
      negative = digits.front() == '-';
      digits.remove_prefix(1);
    }
    if (digits.empty()) return std::nullopt;
    for (char c : digits) {
      if (c < '0' || c > '9') return std::nullopt;
      // Far beyond the double range either way; the sum below stays exact.
      exponent = std::min(exponent * 10 + (c - '0'), 1'000'000'000LL);
    }
    if (negative) exponent = -exponent;
  }
  const std::string_view mantissa = token.substr(0, e);
  if (mantissa.find_first_not_of("+-.0123456789") != std::string_view::npos) return std::nullopt;
  scratch.assign(mantissa);
  scratch += 'e';
  scratch += std::to_string(exponent + shift);
  return ParseToken(scratch);
}

std::string NumberText(double x) { return std::isfinite(x) ? ShortestNumberText(x) : "?"; }

enum class Section { Header, Network, Noise, Information, End };
enum class MatrixFormat { Full, Lower, Upper };

// Reads the file line by line, so that the whole text need never be in memory.
class Parser {
 public:
  explicit Parser(PortReferences references) : perPort_(references == PortReferences::PerPort) {}
  // nullopt to go on, an error to stop.
  std::optional<TouchstoneError> ReadLine(std::string_view raw, int line);
  TouchstoneResult Finish(int lastLine);
  // Room for about this many frequencies, guessed from the lines of the text:
  // growing the vectors step by step costs more than reading the numbers.
  void Reserve(std::size_t lines) {
    const std::size_t n = std::min(lines, kTouchstoneMaxFrequencies);
    data_.records.reserve(n);
  }

 private:
  std::optional<TouchstoneError> ReadOptions(std::string_view rest, int line);
  std::optional<TouchstoneError> ReadKeyword(std::string_view text, int line);
  std::optional<TouchstoneError> ReadReference(std::string_view rest, int line);
  std::optional<TouchstoneError> ReadNumbers(std::string_view rest, int line);
  std::optional<TouchstoneError> CheckRecordDone();
  std::optional<TouchstoneError> StoreNetworkRecord();
  std::optional<TouchstoneError> StoreNoiseRecord();
  std::optional<TouchstoneError> StartSection(Section section, int line);

  TouchstoneError CountError(int line, std::size_t found) const {
    return LineError(line, "attesi " + std::to_string(RecordSize()) + " numeri, trovati " + std::to_string(found));
  }

  std::size_t RecordSize() const {
    return noiseRecord_ ? 5 : (matrix_ == MatrixFormat::Full ? 9 : 7);
  }

  TouchstoneData data_;
  Section section_ = Section::Header;
  Section beforeInformation_ = Section::Header;
  bool seenContent_ = false;
  bool seenOptions_ = false;
  bool seenData_ = false;
  int shift_ = 3;  // GHz
  double optionR_ = 50;

  // Version 2.0 keywords.
  int ports_ = 0;
  int orderLine_ = 0;
  bool order12_21_ = false;
  MatrixFormat matrix_ = MatrixFormat::Full;
  long long declaredFrequencies_ = -1, declaredNoise_ = -1;
  std::vector<double> references_;
  int referenceLine_ = 0;  // while [Reference] still wants values
  bool referenceGiven_ = false;
  bool perPort_ = false;
  bool networkSeen_ = false;

  // The record being read, which may span lines.
  double record_[9] = {};
  std::size_t count_ = 0;
  std::size_t countAtLineStart_ = 0;
  int recordLine_ = 0;
  bool noiseRecord_ = false;
  bool firstNoiseRecord_ = false;
  std::string scratch_;
};

bool StartsNumber(char c) { return (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+'; }

std::optional<TouchstoneError> Parser::ReadLine(std::string_view raw, int line) {
  if (section_ == Section::End) return std::nullopt;
  // Data lines, nearly all of a file, go straight to the numbers, which stop
  // at a comment themselves.
  if (section_ != Section::Information && referenceLine_ == 0 &&
      !(data_.version == 2 && section_ == Section::Header)) {
    std::size_t i = 0;
    while (i < raw.size() && IsBlank(raw[i])) ++i;
    if (i < raw.size() && StartsNumber(raw[i])) {
      seenContent_ = true;
      return ReadNumbers(raw.substr(i), line);
    }
  }
  std::string_view text = Trim(raw.substr(0, raw.find('!')));
  if (text.empty()) return std::nullopt;
  if (section_ == Section::Information) {
    if (text.front() == '[' && Lower(text).starts_with("[end information]")) section_ = beforeInformation_;
    return std::nullopt;
  }
  const bool first = !seenContent_;
  seenContent_ = true;
  if (referenceLine_ != 0 && text.front() != '[') return ReadReference(text, line);
  if (text.front() == '#') return seenOptions_ ? std::nullopt : ReadOptions(text.substr(1), line);
  if (text.front() == '[') {
    if (Lower(text).starts_with("[version]")) {
      if (!first) return LineError(line, "[Version] deve essere la prima riga del file");
      const std::string_view version = Trim(text.substr(9));
      if (version != "2.0" && version != "2" && version != "2.1")
        return LineError(line, "versione " + std::string(version) + " non gestita (servono 1 o 2.0)");
      data_.version = 2;
      return std::nullopt;
    }
    if (data_.version != 2) {
      const std::size_t close = text.find(']');
      const std::string_view shown = close == std::string_view::npos ? text : text.substr(0, close + 1);
      return LineError(line, "parola chiave " + std::string(shown) + " in un file senza [Version] 2.0");
    }
    return ReadKeyword(text, line);
  }
  if (data_.version == 2 && section_ == Section::Header)
    return LineError(line, "dati prima di [Network Data]");
  return ReadNumbers(text, line);
}

std::optional<TouchstoneError> Parser::ReadOptions(std::string_view rest, int line) {
  if (seenData_) return LineError(line, "la riga delle opzioni (#) deve precedere i dati");
  seenOptions_ = true;
  for (std::string_view token = NextToken(rest); !token.empty(); token = NextToken(rest)) {
    const std::string t = Lower(token);
    if (t == "hz") shift_ = -6;
    else if (t == "khz") shift_ = -3;
    else if (t == "mhz") shift_ = 0;
    else if (t == "ghz") shift_ = 3;
    else if (t == "ma") data_.format = PairFormat::MA;
    else if (t == "db") data_.format = PairFormat::DB;
    else if (t == "ri") data_.format = PairFormat::RI;
    else if (t == "s") continue;
    else if (t == "y" || t == "z" || t == "h" || t == "g")
      return TouchstoneError{line, "Il file contiene parametri " + std::string(1, static_cast<char>(t[0] - 'a' + 'A')) +
                                       "; servono parametri S (riga " + std::to_string(line) + ")"};
    else if (t == "r") {
      const std::string_view value = NextToken(rest);
      const auto r = ParseToken(value);
      if (!r || !(*r > 0))
        return LineError(line, "dopo R serve una resistenza di riferimento positiva");
      optionR_ = *r;
    } else {
      return LineError(line, "opzione sconosciuta \"" + std::string(token) + "\"");
    }
  }
  return std::nullopt;
}

std::optional<TouchstoneError> Parser::StartSection(Section section, int line) {
  if (count_ != 0)
    return CountError(recordLine_, count_);
  if (section == Section::Network) {
    if (ports_ == 0) return LineError(line, "manca [Number of Ports] prima di [Network Data]");
    if (orderLine_ == 0) return LineError(line, "manca [Two-Port Data Order] prima di [Network Data]");
    if (declaredFrequencies_ < 0)
      return LineError(line, "manca [Number of Frequencies] prima di [Network Data]");
    networkSeen_ = true;
  }
  if (section == Section::Noise) {
    if (!networkSeen_) return LineError(line, "[Noise Data] prima di [Network Data]");
    noiseRecord_ = true;
  }
  section_ = section;
  return std::nullopt;
}

// The integer after a keyword such as [Number of Ports].
std::optional<long long> KeywordCount(std::string_view rest) {
  const std::string_view token = NextToken(rest);
  if (token.empty() || !NextToken(rest).empty()) return std::nullopt;
  long long n = 0;
  const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), n);
  if (ec != std::errc{} || end != token.data() + token.size() || n < 0) return std::nullopt;
  return n;
}

std::optional<TouchstoneError> Parser::ReadKeyword(std::string_view text, int line) {
  if (referenceLine_ != 0)
    return ReferenceCountError(referenceLine_, ports_, references_.size());
  const std::size_t close = text.find(']');
  if (close == std::string_view::npos) return LineError(line, "manca \"]\" dopo la parola chiave");
  // Case and the blanks between words do not matter.
  std::string name;
  for (std::string_view inner = text.substr(1, close - 1), w = NextToken(inner); !w.empty();
       w = NextToken(inner)) {
    if (!name.empty()) name += ' ';
    name += Lower(w);
  }
  const std::string_view rest = Trim(text.substr(close + 1));
  std::string shown = "[";  // appended: GCC 12 warns falsely (-Wrestrict) on "[" + std::string&&
  shown.append(text.substr(1, close - 1)).append("]");

  if (name == "number of ports") {
    const auto n = KeywordCount(rest);
    if (!n) return LineError(line, "dopo [Number of Ports] serve un numero intero");
    if (*n != 2)
      return TouchstoneError{line, "Il file descrive " + std::to_string(*n) +
                                       " porte; servono file a due porte (riga " + std::to_string(line) + ")"};
    ports_ = 2;
  } else if (name == "two-port data order") {
    const std::string order = Lower(rest);
    if (order != "12_21" && order != "21_12")
      return LineError(line, "[Two-Port Data Order] vuole 12_21 o 21_12");
    order12_21_ = order == "12_21";
    orderLine_ = line;
  } else if (name == "number of frequencies" || name == "number of noise frequencies") {
    const auto n = KeywordCount(rest);
    if (!n) return LineError(line, "dopo " + shown + " serve un numero intero");
    if (static_cast<unsigned long long>(*n) > kTouchstoneMaxFrequencies)
      return LineError(line, "il file dichiara più di " + std::to_string(kTouchstoneMaxFrequencies) +
                                 " frequenze, oltre il limite del programma");
    (name == "number of frequencies" ? declaredFrequencies_ : declaredNoise_) = *n;
  } else if (name == "reference") {
    references_.clear();
    referenceLine_ = line;
    referenceGiven_ = true;
    if (!rest.empty()) return ReadReference(rest, line);
  } else if (name == "matrix format") {
    const std::string format = Lower(rest);
    if (format == "full") matrix_ = MatrixFormat::Full;
    else if (format == "lower") matrix_ = MatrixFormat::Lower;
    else if (format == "upper") matrix_ = MatrixFormat::Upper;
    else return LineError(line, "[Matrix Format] vuole Full, Lower o Upper");
  } else if (name == "begin information") {
    if (count_ != 0)
      return CountError(recordLine_, count_);
    beforeInformation_ = section_;
    section_ = Section::Information;
  } else if (name == "network data") {
    return StartSection(Section::Network, line);
  } else if (name == "noise data") {
    return StartSection(Section::Noise, line);
  } else if (name == "end") {
    if (auto error = StartSection(Section::End, line)) return error;
  } else {
    return LineError(line, "parola chiave " + shown + " non gestita");
  }
  return std::nullopt;
}

std::optional<TouchstoneError> Parser::ReadReference(std::string_view rest, int line) {
  const std::size_t wanted = ports_ ? static_cast<std::size_t>(ports_) : 2;
  for (std::string_view token = NextToken(rest); !token.empty(); token = NextToken(rest)) {
    const auto r = ParseToken(token);
    // Appended, not "literal" + std::string&&: GCC 12 warns falsely (-Wrestrict) on that.
    if (!r || !(*r > 0)) {
      std::string message = "\"";
      message.append(token).append("\" non è una resistenza di riferimento positiva");
      return LineError(line, message);
    }
    if (references_.size() == wanted) {
      std::string message = "[Reference] vuole ";
      message.append(std::to_string(wanted)).append(" resistenze, trovate di più");
      return LineError(referenceLine_, message);
    }
    references_.push_back(*r);
  }
  if (references_.size() < wanted) return std::nullopt;
  referenceLine_ = 0;
  if (!perPort_ && std::any_of(references_.begin(), references_.end(), [&](double r) { return r != references_[0]; }))
    return LineError(line, "le porte hanno riferimenti diversi (" + NumberText(references_[0]) + " e " +
                               NumberText(references_[1]) + " ohm); servono riferimenti uguali");
  return std::nullopt;
}

// `rest` may end in a comment, where the numbers stop.
std::optional<TouchstoneError> Parser::ReadNumbers(std::string_view rest, int line) {
  seenData_ = true;
  countAtLineStart_ = count_;
  // Kept in locals: members would be read again after every conversion.
  std::size_t count = count_, size = RecordSize();
  while (true) {
    std::size_t i = 0;
    while (i < rest.size() && IsBlank(rest[i])) ++i;
    rest.remove_prefix(i);
    if (rest.empty() || rest.front() == '!') break;
    if (count == size) {
      const std::size_t onLine = countAtLineStart_ == 0 ? count + CountTokens(rest) : countAtLineStart_;
      if (firstNoiseRecord_ && countAtLineStart_ == 0 && onLine == (matrix_ == MatrixFormat::Full ? 9u : 7u))
        return FrequenciesNotRisingError(line);
      return CountError(recordLine_, onLine);
    }
    const bool frequency = count == 0;
    std::optional<double> v = TakeNumber(rest, frequency ? shift_ : 0);
    std::string_view token;
    if (!v) {
      token = NextToken(rest);
      // Only a scaled frequency beyond the quick path can still be a number.
      if (frequency && shift_ != 0) v = ParseScaled(token, shift_, scratch_);
    }
    if (frequency) {
      recordLine_ = line;
      if (!v) return LineError(line, "\"" + std::string(token) + "\" non è una frequenza");
      if (*v < 0) return LineError(line, "frequenza negativa");
      // In version 1 the noise block begins where the frequencies stop rising.
      if (data_.version == 1 && !noiseRecord_ && !data_.records.empty() && !(*v > data_.records.back().fMHz)) {
        noiseRecord_ = true;
        firstNoiseRecord_ = true;
        size = RecordSize();
      }
    } else if (!v) {
      return LineError(line, "\"" + std::string(token) + "\" non è un numero");
    }
    record_[count++] = *v;
  }
  count_ = count;
  return CheckRecordDone();
}

std::optional<TouchstoneError> Parser::CheckRecordDone() {
  if (count_ != RecordSize()) return std::nullopt;
  auto error = noiseRecord_ ? StoreNoiseRecord() : StoreNetworkRecord();
  count_ = 0;
  return error;
}

// |S| of a pair as the file writes it.
double Magnitude(PairFormat format, FilePair p) {
  switch (format) {
    case PairFormat::MA: return std::abs(p.a);
    case PairFormat::DB: return std::pow(10.0, p.a / 20.0);
    case PairFormat::RI: break;
  }
  return std::sqrt(p.a * p.a + p.b * p.b);
}

std::optional<TouchstoneError> Parser::StoreNetworkRecord() {
  const double f = record_[0];
  if (!data_.records.empty() && !(f > data_.records.back().fMHz))
    return FrequenciesNotRisingError(recordLine_);
  if (data_.records.size() == kTouchstoneMaxFrequencies)
    return TooManyFrequenciesError(recordLine_, "frequenze");
  // Where each of S11 S21 S12 S22 starts in the record: a triangle's one
  // off-diagonal pair stands for both.
  static constexpr std::size_t kFull21_12[4] = {1, 3, 5, 7}, kFull12_21[4] = {1, 5, 3, 7},
                               kTriangle[4] = {1, 3, 3, 5};
  const std::size_t* at = matrix_ != MatrixFormat::Full ? kTriangle : order12_21_ ? kFull12_21 : kFull21_12;
  // No transistor comes near this, and below it no sum or product of the
  // interpolation or the conversions to magnitude can overflow.
  for (int i = 0; i < 4; ++i)
    if (!(Magnitude(data_.format, {record_[at[i]], record_[at[i] + 1]}) <= kMaxMagnitude))
      return LineError(recordLine_, "valore fuori misura");
  // Element by element: a copy of a whole record built on the stack was the
  // reader's slowest step.
  FileRecord& r = data_.records.emplace_back();
  r.fMHz = f;
  for (int i = 0; i < 4; ++i) {
    r.pairs[i].a = record_[at[i]];
    r.pairs[i].b = record_[at[i] + 1];
  }
  return std::nullopt;
}

std::optional<TouchstoneError> Parser::StoreNoiseRecord() {
  const NoisePoint n{record_[0], record_[1], record_[2], record_[3], record_[4]};
  if (!data_.noise.empty() && !(n.fMHz > data_.noise.back().fMHz))
    return TouchstoneError{recordLine_, "Le frequenze dei dati di rumore devono crescere: riga " +
                                            std::to_string(recordLine_)};
  if (data_.noise.size() == kTouchstoneMaxFrequencies)
    return TooManyFrequenciesError(recordLine_, "frequenze di rumore");
  data_.noise.push_back(n);
  firstNoiseRecord_ = false;
  return std::nullopt;
}

TouchstoneResult Parser::Finish(int lastLine) {
  if (referenceLine_ != 0)
    return ReferenceCountError(referenceLine_, ports_, references_.size());
  if (count_ != 0)
    return CountError(recordLine_, count_);
  if (section_ == Section::Information)
    return LineError(lastLine, "manca [End Information]");
  if (data_.version == 2 && !networkSeen_) return TouchstoneError{0, "Il file non ha la sezione [Network Data]"};
  if (data_.records.empty()) return TouchstoneError{0, "Il file non contiene dati di rete"};
  if (declaredFrequencies_ >= 0 && static_cast<std::size_t>(declaredFrequencies_) != data_.records.size())
    return TouchstoneError{0, "Il file dichiara " + std::to_string(declaredFrequencies_) +
                                  " frequenze ma ne contiene " + std::to_string(data_.records.size())};
  if (declaredNoise_ >= 0 && static_cast<std::size_t>(declaredNoise_) != data_.noise.size())
    return TouchstoneError{0, "Il file dichiara " + std::to_string(declaredNoise_) +
                                  " frequenze di rumore ma ne contiene " + std::to_string(data_.noise.size())};
  data_.referenceOhm = referenceGiven_ ? references_[0] : optionR_;
  data_.referenceOhm2 = referenceGiven_ ? references_.back() : optionR_;
  return std::move(data_);
}

TouchstoneError CancelledError() { return {0, "Lettura annullata"}; }

TouchstoneError TooLargeError(std::uintmax_t bytes) {
  return {0, "Il file è troppo grande (" + std::to_string(bytes >> 20) + " MiB; al massimo " +
                 std::to_string(kTouchstoneMaxBytes >> 20) + " MiB)"};
}

// Cuts text into lines at LF, CR LF or a lone CR, also across the chunks of
// a file; skips a UTF-8 byte order mark at the very start.
class LineSplitter {
 public:
  explicit LineSplitter(Parser& parser) : parser_(parser) {}

  std::optional<TouchstoneError> Feed(std::string_view chunk) {
    if (!atStart_) return Split(chunk);
    if (!checked_ && pending_.size() + chunk.size() >= 3) {
      checked_ = true;
      std::string start = pending_;
      start.append(chunk.substr(0, 2 * kTextCheckBytes));
      if (!LooksLikeText(WithoutMark(start))) return NotTextError();
    }
    // The mark may in principle arrive split over tiny chunks.
    if (pending_.size() + chunk.size() < 3) {
      pending_.append(chunk);
      return std::nullopt;
    }
    atStart_ = false;
    if (pending_.empty()) return Split(WithoutMark(chunk));
    std::string start = std::move(pending_);
    pending_.clear();
    start.append(chunk);
    return Split(WithoutMark(start));
  }

  TouchstoneResult Finish() {
    if (atStart_) {
      atStart_ = false;
      if (!checked_ && !LooksLikeText(WithoutMark(pending_))) return NotTextError();
      std::string start = std::move(pending_);
      pending_.clear();
      if (auto error = Split(WithoutMark(start))) return *error;
    }
    if (!pending_.empty()) {
      if (auto error = parser_.ReadLine(pending_, ++line_)) return *error;
    }
    return parser_.Finish(line_);
  }

 private:
  static std::string_view WithoutMark(std::string_view s) {
    if (s.starts_with("\xEF\xBB\xBF")) s.remove_prefix(3);
    return s;
  }

  // The first c at or after `from`, or npos.
  static std::size_t Find(std::string_view s, char c, std::size_t from) {
    const void* at = std::memchr(s.data() + from, c, s.size() - from);
    return at ? static_cast<std::size_t>(static_cast<const char*>(at) - s.data()) : std::string_view::npos;
  }

  std::optional<TouchstoneError> Split(std::string_view s) {
    std::size_t start = 0;
    if (afterCr_ && !s.empty() && s.front() == '\n') start = 1;
    afterCr_ = false;
    // Each character is searched for again only once passed, so that a file
    // with only one of them is still read in one pass: memchr for each beats
    // one byte-by-byte pass for both.
    std::size_t lf = Find(s, '\n', start), cr = Find(s, '\r', start);
    while (true) {
      if (lf < start) lf = Find(s, '\n', start);
      if (cr < start) cr = Find(s, '\r', start);
      const std::size_t end = std::min(lf, cr);
      if (end == std::string_view::npos) break;
      std::string_view line = s.substr(start, end - start);
      if (!pending_.empty()) {
        pending_.append(line);
        line = pending_;
      }
      if (auto error = parser_.ReadLine(line, ++line_)) return error;
      pending_.clear();
      start = end + 1;
      if (s[end] == '\r') {
        if (start < s.size() && s[start] == '\n') ++start;
        else if (start == s.size()) afterCr_ = true;
      }
    }
    pending_.append(s.substr(start));
    return std::nullopt;
  }

  Parser& parser_;
  std::string pending_;  // a line not yet ended
  int line_ = 0;
  bool atStart_ = true;
  bool checked_ = false;  // the start was looked at as text
  bool afterCr_ = false;
};

std::size_t Count(std::string_view text, char c) {
  std::size_t n = 0;
  for (const char* p = text.data(), *end = p + text.size();
       (p = static_cast<const char*>(std::memchr(p, c, static_cast<std::size_t>(end - p)))); ++p)
    ++n;
  return n;
}

// The lines of the text, ended by LF, CR LF or, in old Macintosh files, a lone CR.
std::size_t CountLines(std::string_view text) {
  const std::size_t lf = Count(text, '\n');
  return 1 + (lf > 1 ? lf : std::max(lf, Count(text, '\r')));
}

}  // namespace

const char* PairFormatName(PairFormat format) {
  switch (format) {
    case PairFormat::MA: return "MA";
    case PairFormat::DB: return "DB";
    case PairFormat::RI: return "RI";
  }
  return "MA";
}

TouchstoneResult ParseTouchstone(std::string_view text, const ProgressFn& progress,
                                 PortReferences references) {
  if (text.size() > kTouchstoneMaxBytes) return TooLargeError(text.size());
  Parser parser(references);
  parser.Reserve(CountLines(text));
  LineSplitter splitter(parser);
  // Whole lines per step, so that a step never splits CR LF or the mark.
  for (std::size_t done = 0; done < text.size();) {
    std::size_t end = std::min(text.size(), done + kProgressStep);
    const std::size_t nl = text.find('\n', end);
    end = nl == std::string_view::npos ? text.size() : nl + 1;
    if (auto error = splitter.Feed(text.substr(done, end - done))) return *error;
    done = end;
    if (progress && !progress(static_cast<double>(done) / static_cast<double>(text.size())))
      return CancelledError();
  }
  return splitter.Finish();
}

TouchstoneResult ReadTouchstoneFile(const std::string& path, const ProgressFn& progress,
                                    PortReferences references) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (ec || !std::filesystem::exists(status)) return TouchstoneError{0, "Il file non esiste"};
  if (std::filesystem::is_directory(status)) return TouchstoneError{0, "È una cartella, non un file"};
  const std::uintmax_t size = std::filesystem::is_regular_file(status) ? std::filesystem::file_size(path, ec) : 0;
  if (!ec && size > kTouchstoneMaxBytes) return TooLargeError(size);

  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file)
    return TouchstoneError{0, errno == EACCES ? "Non ho il permesso di leggere il file"
                                              : "Impossibile aprire il file"};
  Parser parser(references);
  LineSplitter splitter(parser);
  std::string chunk(kProgressStep, '\0');
  std::size_t total = 0;
  while (true) {
    const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), file.get());
    if (n == 0) break;
    total += n;
    // The file may have grown since its size was taken.
    if (total > kTouchstoneMaxBytes) return TooLargeError(total);
    if (total == n && size > 0) {
      // A quarter more than the first chunk suggests: room never touched
      // costs no memory, while too little means a copy of everything read,
      // twice the memory at its peak.
      const auto lines = static_cast<double>(CountLines(std::string_view(chunk.data(), n)));
      parser.Reserve(static_cast<std::size_t>(1.25 * lines * static_cast<double>(size) / static_cast<double>(n)) + 1);
    }
    if (auto error = splitter.Feed(std::string_view(chunk.data(), n))) return *error;
    if (progress && !progress(size > 0 ? std::min(1.0, static_cast<double>(total) / static_cast<double>(size)) : 0.0))
      return CancelledError();
  }
  if (std::ferror(file.get())) return TouchstoneError{0, "Errore di lettura del file"};
  return splitter.Finish();
}

std::string DescribeError(const std::string& fileName, const TouchstoneError& error) {
  return fileName + ": " + error.message;
}
