#pragma once
// The input window as data: every control with its rectangle, colours, start
// visibility and tab index.
#include "forms/controls.h"

const FormSpec& Form1Spec();
