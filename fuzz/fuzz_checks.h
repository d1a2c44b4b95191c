#pragma once
// What both fuzz targets assert. A failed check aborts with the reason, so
// libFuzzer saves the input that led to it.
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "fuzz/number_pattern.h"

[[noreturn]] inline void FailCheck(const char* what, std::string_view detail) {
  std::fprintf(stderr, "fuzz check failed: %s [%.*s]\n", what, static_cast<int>(detail.size()),
               detail.data());
  std::abort();
}

inline void Require(bool condition, const char* what, std::string_view detail = {}) {
  if (!condition) [[unlikely]]
    FailCheck(what, detail);
}
