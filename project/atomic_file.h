#pragma once
// Writing a file so that a failure never leaves it half written.
#include <optional>
#include <string>
#include <string_view>

// Writes the bytes to a temporary file in the same folder, flushes it to the
// disk and renames it over `path`. On failure returns an Italian message and
// leaves any existing file at `path` as it was.
std::optional<std::string> WriteFileAtomically(const std::string& path, std::string_view bytes);
