#include "session/session_batch.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>

#include "forms/headless.h"
#include "model/quantities.h"
#include "project/project.h"
#include "text/number_text.h"

std::vector<SessionResult> RunSessions(const std::vector<SessionInput>& inputs, int jobs,
                                       const BatchProgress& progress) {
  std::vector<SessionResult> results(inputs.size());
  if (jobs < 1) jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const size_t workers = std::min(inputs.size(), static_cast<size_t>(jobs));

  std::atomic<size_t> next{0};
  size_t done = 0;
  std::mutex lock;  // guards done, progress and failure
  std::exception_ptr failure;
  auto work = [&] {
    // A failure (out of memory) stops every worker and reaches the caller.
    try {
      for (size_t i; (i = next.fetch_add(1)) < inputs.size();) {
        results[i] = RunSession(inputs[i]);
        std::lock_guard<std::mutex> guard(lock);
        if (progress) progress(++done, inputs.size());
      }
    } catch (...) {
      next = inputs.size();
      std::lock_guard<std::mutex> guard(lock);
      if (!failure) failure = std::current_exception();
    }
  };
  std::vector<std::thread> threads;
  for (size_t t = 1; t < workers; ++t) threads.emplace_back(work);
  work();  // the calling thread is one of the workers
  for (std::thread& t : threads) t.join();
  if (failure) std::rethrow_exception(failure);
  return results;
}

namespace {
constexpr const char* KeyOf(Quantity q) { return SpecOf(q).key; }
}  // namespace

std::array<SParamFieldText, 10> FieldTexts(const SParamFields& f) {
  return {{{KeyOf(Quantity::S11Mag), ShortestNumberText(f.s11Mag)},
           {KeyOf(Quantity::S11Deg), ShortestNumberText(f.s11Deg)},
           {KeyOf(Quantity::S21Mag), ShortestNumberText(f.s21Mag)},
           {KeyOf(Quantity::S21Deg), ShortestNumberText(f.s21Deg)},
           {KeyOf(Quantity::S12Mag), ShortestNumberText(f.s12Mag)},
           {KeyOf(Quantity::S12Deg), ShortestNumberText(f.s12Deg)},
           {KeyOf(Quantity::S22Mag), ShortestNumberText(f.s22Mag)},
           {KeyOf(Quantity::S22Deg), ShortestNumberText(f.s22Deg)},
           {KeyOf(Quantity::Ro), ShortestNumberText(f.ro)},
           {KeyOf(Quantity::FMHz), ShortestNumberText(f.fMHz)}}};
}

std::vector<TypedText> TouchstoneFieldTexts(const SParamFields& f) {
  std::vector<TypedText> out;
  for (const SParamFieldText& t : FieldTexts(f)) out.push_back({ControlOfFieldKey(t.key), Utf8ToUtf16(t.text)});
  return out;
}
