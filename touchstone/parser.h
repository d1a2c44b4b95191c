#pragma once
// The Touchstone reader's own parts (no caller outside touchstone/ includes
// this): what the lines of a file say, the option line, the version 2.0
// keywords, the network and noise records, read one line at a time.
#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "touchstone/touchstone.h"

namespace touchstone {

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

  TouchstoneError CountError(int line, std::size_t found) const;

  std::size_t RecordSize() const { return noiseRecord_ ? 5 : (matrix_ == MatrixFormat::Full ? 9 : 7); }

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

}  // namespace touchstone
