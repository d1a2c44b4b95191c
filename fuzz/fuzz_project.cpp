// Project files on arbitrary bytes: a file is refused with a message or read
// into a project that saves back to a file reading the same. The bytes are
// also taken as UTF-16 field texts: a project of them saves and reads back
// unchanged, or is refused exactly when a text holds a lone surrogate.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_checks.h"
#include "project/project.h"

namespace {

bool SameProject(const Project& a, const Project& b) {
  if (a.fields != b.fields || a.feedback != b.feedback || a.touchstone.has_value() != b.touchstone.has_value())
    return false;
  return !a.touchstone || (a.touchstone->path == b.touchstone->path && a.touchstone->fMHz == b.touchstone->fMHz);
}

void CheckSavedReadsBack(const Project& p) {
  const auto json = SerializeProject(p);
  Require(std::holds_alternative<std::string>(json), "a project read from a file does not save",
          std::holds_alternative<ProjectError>(json) ? std::get<ProjectError>(json).message : "");
  const auto back = ParseProject(std::get<std::string>(json));
  Require(std::holds_alternative<Project>(back), "a saved project is refused",
          std::holds_alternative<std::string>(back) ? std::get<std::string>(back) : "");
  Require(SameProject(p, std::get<Project>(back)), "a saved project reads back otherwise");
}

bool HasLoneSurrogate(const std::u16string& t) {
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] >= 0xD800 && t[i] <= 0xDBFF && i + 1 < t.size() && t[i + 1] >= 0xDC00 && t[i + 1] <= 0xDFFF) ++i;
    else if (t[i] >= 0xD800 && t[i] <= 0xDFFF) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto parsed = ParseProject(bytes);
  if (const auto* p = std::get_if<Project>(&parsed)) CheckSavedReadsBack(*p);
  else Require(!std::get<std::string>(parsed).empty(), "a refusal without a message");

  // The units dealt round the fifteen fields, a field per 0xFFFF unit.
  std::u16string units(size / 2, u'\0');
  std::memcpy(units.data(), data, units.size() * sizeof(char16_t));
  Project typed;
  bool lone = false;
  std::size_t field = 0, start = 0;
  const auto keys = ProjectFieldKeys();
  for (std::size_t i = 0; i <= units.size() && field < keys.size(); ++i) {
    if (i == units.size() || units[i] == u'\xFFFF') {
      const std::u16string text = units.substr(start, i - start);
      lone = lone || HasLoneSurrogate(text);
      typed.fields[keys[field++].key] = text;
      start = i + 1;
    }
  }
  const auto json = SerializeProject(typed);
  Require(std::holds_alternative<ProjectError>(json) == lone, "refused exactly when a text has a lone surrogate");
  if (!lone) CheckSavedReadsBack(typed);
  return 0;
}
