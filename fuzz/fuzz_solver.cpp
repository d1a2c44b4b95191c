// The solver's early finish against the plain loop of every pass, on
// arbitrary doubles for the four Y-parameters and Yf: the same bits in every
// field and the same fault. Input: ten doubles (Y11, Y12, Y21, Y22 as real
// and imaginary parts, then Gf, Bf), then two bytes for the last pass (up to
// 4095: a few thousand passes keep the runs quick and try every phase of a
// short cycle); missing bytes are zeros. Non-finite values are left out: the
// program never stores one.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz/fuzz_checks.h"
#include "tests/core/solver_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  unsigned char bytes[10 * sizeof(double) + 2] = {};
  std::memcpy(bytes, data, size < sizeof bytes ? size : sizeof bytes);
  double v[10];
  std::memcpy(v, bytes, sizeof v);
  for (double x : v)
    if (!std::isfinite(x)) return -1;
  const std::int32_t lastPass = (bytes[80] | bytes[81] << 8) & 4095;

  DesignState s;
  s.Y11 = {v[0], v[1]}, s.Y12 = {v[2], v[3]}, s.Y21 = {v[4], v[5]}, s.Y22 = {v[6], v[7]};
  s.Gf = v[8], s.Bf = v[9];
  const SolveOutcome fast =
      RunSolve([&](DesignState& d) { SolveConjugateMatchUpTo(d, lastPass); }, s);
  const SolveOutcome plain =
      RunSolve([&](DesignState& d) { ReferenceSolveConjugateMatchUpTo(d, lastPass); }, s);
  const std::string difference = FirstDifference(fast, plain);
  Require(difference.empty(), "early finish differs from all passes", difference);
  return 0;
}
