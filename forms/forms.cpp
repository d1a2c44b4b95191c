#include <cstring>

#include "forms/controls.h"
#include "forms/form1_layout.h"
#include "forms/result_layouts.h"

const FormSpec& FormSpecOf(FormId form) {
  return form == FormId::Form1 ? Form1Spec() : ResultFormSpec(form);
}

const ControlSpec* FindControlSpec(const FormSpec& form, const char* name) {
  for (const ControlSpec& c : form.controls)
    if (std::strcmp(c.name, name) == 0) return &c;
  return nullptr;
}
