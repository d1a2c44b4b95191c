#pragma once
// The names a screen reader announces for the text fields, value boxes and
// pictures: the quantity's caption and its unit, e.g. "modulo di S11",
// "Li1 [nH]", "Re(Zitot) [ohm]". The Qt builder sets them on the widgets.
#include <string>

#include "forms/controls.h"

// The accessible name of a control of the given window; empty for controls
// whose own caption already names them (labels, buttons, options).
std::string AccessibleNameOf(FormId form, const ControlSpec& control);
