#pragma once
// The Italian message that tells the user where and why a calculation stopped.
#include <string>

#include "model/arithmetic.h"

std::string FaultMessage(const ArithmeticFault& fault);
