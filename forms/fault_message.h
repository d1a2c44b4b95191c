#pragma once
// The Italian message that tells the user where and why a calculation stopped.
#include <string>
#include <string_view>

#include "forms/services.h"
#include "model/arithmetic.h"

std::string FaultMessage(const ArithmeticFault& fault);

// A fault met while reading the number in a window's field: its message
// names the field, and the focus goes there for the correction.
class FieldFault : public ArithmeticFault {
 public:
  FieldFault(const ArithmeticFault& cause, FormId form, std::string_view field);
  FormId form() const noexcept { return form_; }
  const std::string& field() const noexcept { return field_; }

 private:
  FormId form_;
  std::string field_;
};

// The number a field holds (the number parse of its text); a fault of the
// parse is thrown as a FieldFault.
double ReadFieldNumber(FormId form, std::string_view field);

// Shows the fault's message; after a fault in a field the focus goes there.
void ReportFault(const ArithmeticFault& fault);
