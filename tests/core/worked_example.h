#pragma once
// Shared by the core tests: the test transistor of the input window matched
// with a feedback conductance, and a check for an expected fault.
#include <gtest/gtest.h>

#include "model/arithmetic.h"
#include "model/s_to_y.h"
#include "model/solver.h"

// S11 0.51∠-44.8, S21 24.51∠142.5, S12 0.01∠74.5, S22 0.86∠-16.7 at 100 MHz,
// all resistances 50 ohm, Yf = Gf.
inline DesignState MatchedWorkedExample(double Gf) {
  DesignState s;
  s.S11mag = 0.51;  s.S11ang = DegreesToRadians(-44.8);
  s.S21mag = 24.51; s.S21ang = DegreesToRadians(142.5);
  s.S12mag = 0.01;  s.S12ang = DegreesToRadians(74.5);
  s.S22mag = 0.86;  s.S22ang = DegreesToRadians(-16.7);
  s.fMHz = 100;
  s.Ro = s.RE = s.RL = 50;
  s.Gf = Gf;
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
