#pragma once
// The Touchstone reader's own parts (no caller outside touchstone/ includes
// this): a file as text, cut into lines at LF, CR LF or a lone CR, which the
// parser reads one by one.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "touchstone/parser.h"
#include "touchstone/touchstone.h"

namespace touchstone {

// A message that quotes the file shows a "?" for each byte that is not
// printable text, so a message never carries what a screen cannot show.
std::string Printable(std::string_view text);

// The lines of the text, ended by LF, CR LF or, in old Macintosh files, a lone CR.
std::size_t CountLines(std::string_view text);

// Cuts text into lines at LF, CR LF or a lone CR, also across the chunks of
// a file, and hands each to the parser; skips a UTF-8 byte order mark at the
// very start, and refuses a start that is not text.
class LineSplitter {
 public:
  explicit LineSplitter(Parser& parser) : parser_(parser) {}

  // nullopt to go on, an error to stop.
  std::optional<TouchstoneError> Feed(std::string_view chunk);
  // The last line, which may have no line end, and the parser's result.
  TouchstoneResult Finish();

 private:
  std::optional<TouchstoneError> Split(std::string_view s);

  Parser& parser_;
  std::string pending_;  // a line not yet ended
  int line_ = 0;
  bool atStart_ = true;
  bool checked_ = false;  // the start was looked at as text
  bool afterCr_ = false;
};

}  // namespace touchstone
