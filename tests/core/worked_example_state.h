#pragma once
// The test transistor of the input window as entered, before any routine
// has run: S11 0.51∠-44.8, S21 24.51∠142.5, S12 0.01∠74.5, S22 0.86∠-16.7
// at 100 MHz, all resistances 50 ohm, Yf = Gf. Shared by the core tests and
// the benchmarks.
#include "model/design_state.h"
#include "model/s_to_y.h"

inline DesignState EnteredWorkedExample(double Gf) {
  DesignState s;
  s.S11mag = 0.51;  s.S11ang = DegreesToRadians(-44.8);
  s.S21mag = 24.51; s.S21ang = DegreesToRadians(142.5);
  s.S12mag = 0.01;  s.S12ang = DegreesToRadians(74.5);
  s.S22mag = 0.86;  s.S22ang = DegreesToRadians(-16.7);
  s.fMHz = 100;
  s.Ro = s.RE = s.RL = 50;
  s.Gf = Gf;
  s.Bf = 0;
  return s;
}
