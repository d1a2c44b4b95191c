#include "cli/file_roles.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

namespace {

namespace fs = std::filesystem;

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0)
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  // One does not exist yet: the same path once "." "..", and the links of the
  // folders that exist, are taken out.
  std::error_code ea, eb;
  const fs::path ca = fs::weakly_canonical(fs::absolute(a, ea), ea);
  const fs::path cb = fs::weakly_canonical(fs::absolute(b, eb), eb);
  return !ea && !eb && ca == cb;
}

std::string Clash(const FileRole& output, const FileRole& other, const char* what) {
  return output.option + " \"" + output.path + "\" è lo stesso file " + what + " " + other.option + " \"" +
         other.path + "\": nessun file è stato scritto";
}

}  // namespace

std::optional<std::string> FindFileClash(const std::vector<FileRole>& inputs, const std::vector<FileRole>& outputs) {
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    for (const FileRole& input : inputs)
      if (SameFile(outputs[i].path, input.path)) return Clash(outputs[i], input, "letto da");
    for (std::size_t j = 0; j < i; ++j)
      if (SameFile(outputs[i].path, outputs[j].path)) return Clash(outputs[i], outputs[j], "scritto da");
  }
  return std::nullopt;
}
