#pragma once
// Shared by the core tests: the test transistor of the input window matched
// with a feedback conductance, and a check for an expected fault.
#include <gtest/gtest.h>

#include "model/arithmetic.h"
#include "model/s_to_y.h"
#include "model/solver.h"
#include "tests/core/worked_example_state.h"

// The test transistor matched with a feedback conductance.
inline DesignState MatchedWorkedExample(double Gf) {
  DesignState s = EnteredWorkedExample(Gf);
  ConvertSToY(s);
  SolveConjugateMatch(s);
  return s;
}

inline constexpr double kRf5kohm = 0.001 / 5;  // Gf of Rf = 5 kohm

template <class Step>
void ExpectFault(FaultKind kind, Step&& step) {
  try {
    step();
    ADD_FAILURE() << "no ArithmeticFault";
  } catch (const ArithmeticFault& fault) {
    EXPECT_EQ(fault.kind(), kind) << fault.what();
  }
}
