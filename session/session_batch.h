#pragma once
// Many sessions at once, one per worker thread at a time; the results come
// back in the order of the inputs whatever the number of threads.
#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "session/session.h"
#include "touchstone/fields.h"

// Called after each finished session with the count done so far, from the
// worker that finished it (one call at a time).
using BatchProgress = std::function<void(std::size_t done, std::size_t total)>;

// jobs < 1 means one thread per core.
std::vector<SessionResult> RunSessions(const std::vector<SessionInput>& inputs, int jobs,
                                       const BatchProgress& progress = {});

// The texts for the input window: each the shortest that ParseNumber reads
// back as exactly the value, keyed as in project files (s11_mag ... s22_deg,
// ro, f_mhz).
struct SParamFieldText {
  const char* key;
  std::string text;
};
std::array<SParamFieldText, 10> FieldTexts(const SParamFields& fields);

// The texts the Touchstone chooser writes into the S-parameter fields, Ro and
// f, by the input window's control names.
std::vector<TypedText> TouchstoneFieldTexts(const SParamFields& fields);
