#include "touchstone/touchstone.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "touchstone/file_text.h"
#include "touchstone/parser.h"

// The public entry points: a text or a file fed in steps to the line
// splitter, which hands each line to the parser.
using touchstone::CountLines;
using touchstone::LineSplitter;
using touchstone::Parser;

namespace {

// How often, in bytes read, the progress callback is asked.
constexpr std::size_t kProgressStep = 1u << 20;

TouchstoneError CancelledError() { return {0, "Lettura annullata"}; }

TouchstoneError TooLargeError(std::uintmax_t bytes) {
  return {0, "Il file è troppo grande (" + std::to_string(bytes >> 20) + " MiB; al massimo " +
                 std::to_string(kTouchstoneMaxBytes >> 20) + " MiB)"};
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
  const std::uintmax_t size =
      std::filesystem::is_regular_file(status) ? std::filesystem::file_size(path, ec) : 0;
  if (!ec && size > kTouchstoneMaxBytes) return TooLargeError(size);

  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file)
    return TouchstoneError{
        0, errno == EACCES ? "Non ho il permesso di leggere il file" : "Impossibile aprire il file"};
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
      parser.Reserve(
          static_cast<std::size_t>(1.25 * lines * static_cast<double>(size) / static_cast<double>(n)) + 1);
    }
    if (auto error = splitter.Feed(std::string_view(chunk.data(), n))) return *error;
    if (progress &&
        !progress(size > 0 ? std::min(1.0, static_cast<double>(total) / static_cast<double>(size)) : 0.0))
      return CancelledError();
  }
  if (std::ferror(file.get())) return TouchstoneError{0, "Errore di lettura del file"};
  return splitter.Finish();
}

std::string DescribeError(const std::string& fileName, const TouchstoneError& error) {
  return fileName + ": " + error.message;
}
