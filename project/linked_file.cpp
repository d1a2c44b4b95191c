#include "project/linked_file.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Absolute, with "." and ".." taken out and the links that exist followed, so
// that two spellings of one folder compare equal.
fs::path Normal(const fs::path& p) {
  std::error_code ec;
  fs::path n = fs::weakly_canonical(fs::absolute(p, ec), ec);
  if (ec) n = fs::absolute(p, ec).lexically_normal();
  return n;
}

fs::path FolderOf(const std::string& projectPath) { return Normal(projectPath).parent_path(); }

}  // namespace

std::string StoredLinkedPath(const std::string& projectPath, const std::string& filePath) {
  const fs::path file = Normal(filePath);
  const fs::path relative = file.lexically_relative(FolderOf(projectPath));
  const bool below = !relative.empty() && *relative.begin() != "..";
  return (below ? relative : file).generic_string();
}

std::string ResolvedLinkedPath(const std::string& projectPath, const std::string& stored) {
  const fs::path p(stored);
  if (p.is_absolute()) return stored;
  return (FolderOf(projectPath) / p).lexically_normal().string();
}
