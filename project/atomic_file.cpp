#include "project/atomic_file.h"

std::optional<std::string> WriteFileAtomically(const std::string&, std::string_view) { return "-"; }
