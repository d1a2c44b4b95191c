#include "touchstone/file_text.h"

#include <algorithm>
#include <cstring>

namespace touchstone {
namespace {

// The length of the valid UTF-8 sequence at s[i] (overlong forms, surrogates
// and values beyond U+10FFFF are not valid), 0 when there is none.
std::size_t Utf8SequenceAt(std::string_view s, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char b = byte(i);
  if (b < 0x80) return 1;
  std::size_t n = 0;
  unsigned char low = 0x80, high = 0xBF;  // the second byte's range
  if (b >= 0xC2 && b <= 0xDF)
    n = 2;
  else if (b >= 0xE0 && b <= 0xEF)
    n = 3, low = b == 0xE0 ? 0xA0 : 0x80, high = b == 0xED ? 0x9F : 0xBF;
  else if (b >= 0xF0 && b <= 0xF4)
    n = 4, low = b == 0xF0 ? 0x90 : 0x80, high = b == 0xF4 ? 0x8F : 0xBF;
  if (n == 0 || i + n > s.size() || byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < n; ++k)
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  return n;
}

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

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

std::size_t Count(std::string_view text, char c) {
  std::size_t n = 0;
  for (const char *p = text.data(), *end = p + text.size();
       (p = static_cast<const char*>(std::memchr(p, c, static_cast<std::size_t>(end - p)))); ++p)
    ++n;
  return n;
}

std::string_view WithoutMark(std::string_view s) {
  if (s.starts_with("\xEF\xBB\xBF")) s.remove_prefix(3);
  return s;
}

// The first c at or after `from`, or npos.
std::size_t Find(std::string_view s, char c, std::size_t from) {
  const void* at = std::memchr(s.data() + from, c, s.size() - from);
  return at ? static_cast<std::size_t>(static_cast<const char*>(at) - s.data()) : std::string_view::npos;
}

}  // namespace

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

std::size_t CountLines(std::string_view text) {
  const std::size_t lf = Count(text, '\n');
  return 1 + (lf > 1 ? lf : std::max(lf, Count(text, '\r')));
}

std::optional<TouchstoneError> LineSplitter::Feed(std::string_view chunk) {
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

TouchstoneResult LineSplitter::Finish() {
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

std::optional<TouchstoneError> LineSplitter::Split(std::string_view s) {
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
      if (start < s.size() && s[start] == '\n')
        ++start;
      else if (start == s.size())
        afterCr_ = true;
    }
  }
  pending_.append(s.substr(start));
  return std::nullopt;
}

}  // namespace touchstone
