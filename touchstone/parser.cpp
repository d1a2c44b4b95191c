#include "touchstone/parser.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "text/number_text.h"
#include "touchstone/file_text.h"
#include "touchstone/number_reader.h"

namespace touchstone {
namespace {

// No transistor comes near this magnitude; see StoreNetworkRecord.
constexpr double kMaxMagnitude = 1e100;

std::string LineText(int line) { return "Riga " + std::to_string(line) + ": "; }

TouchstoneError LineError(int line, const std::string& what) {
  return {line, LineText(line) + Printable(what)};
}

// The messages raised from more than one place, built here once. Appended,
// not "literal" + std::string&&: GCC 12 warns falsely (-Wrestrict) on that.
TouchstoneError ReferenceCountError(int line, int ports, std::size_t found) {
  std::string message = "[Reference] vuole ";
  message.append(std::to_string(ports ? ports : 2))
      .append(" resistenze, trovate ")
      .append(std::to_string(found));
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

// "\"token\" what", for a token that is not what the place wants.
TouchstoneError TokenError(int line, std::string_view token, const char* what) {
  std::string message = "\"";
  message.append(token).append("\" ").append(what);
  return LineError(line, message);
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string NumberText(double x) { return std::isfinite(x) ? ShortestNumberText(x) : "?"; }

bool StartsNumber(char c) { return (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+'; }

// |S| of a pair as the file writes it.
double Magnitude(PairFormat format, FilePair p) {
  switch (format) {
    case PairFormat::MA: return std::abs(p.a);
    case PairFormat::DB: return std::pow(10.0, p.a / 20.0);
    case PairFormat::RI: break;
  }
  return std::sqrt(p.a * p.a + p.b * p.b);
}

}  // namespace

TouchstoneError Parser::CountError(int line, std::size_t found) const {
  return LineError(line,
                   "attesi " + std::to_string(RecordSize()) + " numeri, trovati " + std::to_string(found));
}

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
    if (t == "hz")
      shift_ = -6;
    else if (t == "khz")
      shift_ = -3;
    else if (t == "mhz")
      shift_ = 0;
    else if (t == "ghz")
      shift_ = 3;
    else if (t == "ma")
      data_.format = PairFormat::MA;
    else if (t == "db")
      data_.format = PairFormat::DB;
    else if (t == "ri")
      data_.format = PairFormat::RI;
    else if (t == "s")
      continue;
    else if (t == "y" || t == "z" || t == "h" || t == "g")
      return TouchstoneError{line, "Il file contiene parametri " +
                                       std::string(1, static_cast<char>(t[0] - 'a' + 'A')) +
                                       "; servono parametri S (riga " + std::to_string(line) + ")"};
    else if (t == "r") {
      const std::string_view value = NextToken(rest);
      const auto r = ParseToken(value);
      if (!r || !(*r > 0)) return LineError(line, "dopo R serve una resistenza di riferimento positiva");
      optionR_ = *r;
    } else {
      return LineError(line, "opzione sconosciuta \"" + std::string(token) + "\"");
    }
  }
  return std::nullopt;
}

std::optional<TouchstoneError> Parser::StartSection(Section section, int line) {
  if (count_ != 0) return CountError(recordLine_, count_);
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

std::optional<TouchstoneError> Parser::ReadKeyword(std::string_view text, int line) {
  if (referenceLine_ != 0) return ReferenceCountError(referenceLine_, ports_, references_.size());
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
                                       " porte; servono file a due porte (riga " + std::to_string(line) +
                                       ")"};
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
    if (format == "full")
      matrix_ = MatrixFormat::Full;
    else if (format == "lower")
      matrix_ = MatrixFormat::Lower;
    else if (format == "upper")
      matrix_ = MatrixFormat::Upper;
    else
      return LineError(line, "[Matrix Format] vuole Full, Lower o Upper");
  } else if (name == "begin information") {
    if (count_ != 0) return CountError(recordLine_, count_);
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
    if (!r || !(*r > 0)) return TokenError(line, token, "non è una resistenza di riferimento positiva");
    if (references_.size() == wanted) {
      std::string message = "[Reference] vuole ";
      message.append(std::to_string(wanted)).append(" resistenze, trovate di più");
      return LineError(referenceLine_, message);
    }
    references_.push_back(*r);
  }
  if (references_.size() < wanted) return std::nullopt;
  referenceLine_ = 0;
  if (!perPort_ &&
      std::any_of(references_.begin(), references_.end(), [&](double r) { return r != references_[0]; }))
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
      if (!v) return TokenError(line, token, "non è una frequenza");
      if (*v < 0) return LineError(line, "frequenza negativa");
      // In version 1 the noise block begins where the frequencies stop rising.
      if (data_.version == 1 && !noiseRecord_ && !data_.records.empty() &&
          !(*v > data_.records.back().fMHz)) {
        noiseRecord_ = true;
        firstNoiseRecord_ = true;
        size = RecordSize();
      }
    } else if (!v) {
      return TokenError(line, token, "non è un numero");
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
    return TouchstoneError{
        recordLine_, "Le frequenze dei dati di rumore devono crescere: riga " + std::to_string(recordLine_)};
  if (data_.noise.size() == kTouchstoneMaxFrequencies)
    return TooManyFrequenciesError(recordLine_, "frequenze di rumore");
  data_.noise.push_back(n);
  firstNoiseRecord_ = false;
  return std::nullopt;
}

TouchstoneResult Parser::Finish(int lastLine) {
  if (referenceLine_ != 0) return ReferenceCountError(referenceLine_, ports_, references_.size());
  if (count_ != 0) return CountError(recordLine_, count_);
  if (section_ == Section::Information) return LineError(lastLine, "manca [End Information]");
  if (data_.version == 2 && !networkSeen_)
    return TouchstoneError{0, "Il file non ha la sezione [Network Data]"};
  if (data_.records.empty()) return TouchstoneError{0, "Il file non contiene dati di rete"};
  if (declaredFrequencies_ >= 0 && static_cast<std::size_t>(declaredFrequencies_) != data_.records.size())
    return TouchstoneError{0, "Il file dichiara " + std::to_string(declaredFrequencies_) +
                                  " frequenze ma ne contiene " + std::to_string(data_.records.size())};
  if (declaredNoise_ >= 0 && static_cast<std::size_t>(declaredNoise_) != data_.noise.size())
    return TouchstoneError{0, "Il file dichiara " + std::to_string(declaredNoise_) +
                                  " frequenze di rumore ma ne contiene " +
                                  std::to_string(data_.noise.size())};
  data_.referenceOhm = referenceGiven_ ? references_[0] : optionR_;
  data_.referenceOhm2 = referenceGiven_ ? references_.back() : optionR_;
  return std::move(data_);
}

}  // namespace touchstone
