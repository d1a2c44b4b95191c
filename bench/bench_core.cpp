// The solver's 100001 checked passes beside the same loop in plain doubles,
// so that the cost of the fault tests shows as a ratio in one run.
#include <benchmark/benchmark.h>

#include <cmath>

#include "model/gain.h"
#include "model/s_to_y.h"
#include "model/solver.h"
#include "networks/t_networks.h"
#include "tests/core/worked_example_state.h"
#include "verification/verify.h"

static DesignState WorkedExample() { return EnteredWorkedExample(0.001 / 5); }

static void BM_SolveConjugateMatch(benchmark::State& bench) {
  DesignState s = WorkedExample();
  ConvertSToY(s);
  for (auto _ : bench) {
    SolveConjugateMatch(s);
    benchmark::DoNotOptimize(s.YS);
  }
}
BENCHMARK(BM_SolveConjugateMatch)->Unit(benchmark::kMicrosecond);

static void BM_WholeDesign(benchmark::State& bench) {
  DesignState s = WorkedExample();
  for (auto _ : bench) {
    ConvertSToY(s);
    SolveConjugateMatch(s);
    ComputeMatchedGain(s);
    DesignInputLCL(s);
    DesignOutputLCL(s);
    VerifyNetworks(s, NetworkKind::LCL, NetworkKind::LCL);
    benchmark::DoNotOptimize(s.ReZitot);
  }
}
BENCHMARK(BM_WholeDesign)->Unit(benchmark::kMicrosecond);

// The passes with no fault test: the same operations in the same order.
struct Plain {
  double re, im;
};
static Plain PlainDiv(Plain a, Plain b) {
  const double d = b.re * b.re + b.im * b.im;
  return {(a.re * b.re + a.im * b.im) / d, (a.im * b.re - a.re * b.im) / d};
}

static void BM_UncheckedPasses(benchmark::State& bench) {
  DesignState s = WorkedExample();
  ConvertSToY(s);
  const double Gf = s.Gf, Bf = s.Bf;
  const Plain Y11{s.Y11.re, s.Y11.im}, Y12{s.Y12.re, s.Y12.im};
  const Plain Y21{s.Y21.re, s.Y21.im}, Y22{s.Y22.re, s.Y22.im};
  Plain YS{}, YL{};
  for (auto _ : bench) {
    const Plain a{Y21.re - Gf, Y21.im - Bf}, b{Gf - Y12.re, Bf - Y12.im};
    const Plain P{a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
    YS = {-1e-7, -1e-7};
    for (int i = 0; i <= 100000; ++i) {
      const Plain q = PlainDiv(P, {(Gf + YS.re) + Y11.re, ((-YS.im) + Bf) + Y11.im});
      YL = {(Y22.re + Gf) + q.re, (Y22.im + Bf) + q.im};
      const Plain r = PlainDiv(P, {(YL.re + Y22.re) + Gf, ((-YL.im) + Y22.im) + Bf});
      YS = {(Y11.re + Gf) + r.re, (Y11.im + Bf) + r.im};
    }
    benchmark::DoNotOptimize(YS);
    benchmark::DoNotOptimize(YL);
  }
  SolveConjugateMatch(s);
  if (YS.re != s.YS.re || YS.im != s.YS.im || YL.re != s.YL.re || YL.im != s.YL.im)
    bench.SkipWithError("the plain passes differ from the solver's");
}
BENCHMARK(BM_UncheckedPasses)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
