#pragma once
// The four result windows as data. The control names are the same in all four;
// positions, some widths and some captions differ per window.
#include "forms/controls.h"

// form: Form2 ... Form5.
const FormSpec& ResultFormSpec(FormId form);
