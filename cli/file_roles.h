#pragma once
// The files one bjt-design run reads and writes, checked before anything is
// written: no output may be an input or another output, whatever the
// spelling of its path (a link, "./", "..": the same file by device and
// inode, or by canonical path when it does not exist yet).
#include <optional>
#include <string>
#include <vector>

struct FileRole {
  std::string option;  // "--export-s2p", "progetto", ...
  std::string path;
};

// An Italian message naming both files of the first clash, or nullopt.
std::optional<std::string> FindFileClash(const std::vector<FileRole>& inputs, const std::vector<FileRole>& outputs);
