#include "model/quantities.h"

const QuantitySpec* QuantityOfKey(std::string_view key) {
  for (const QuantitySpec& row : kQuantities)
    if (row.key == key) return &row;
  return nullptr;
}

const QuantitySpec* QuantityOfControl(std::string_view control) {
  for (const QuantitySpec& row : kQuantities)
    if (row.control == control) return &row;
  return nullptr;
}

int FeedbackOptionNumber(std::string_view control) {
  for (const FeedbackOptionSpec& option : kFeedbackOptions)
    if (option.control == control) return static_cast<int>(option.choice);
  return 0;
}

const FeedbackOptionSpec* FeedbackOptionOfName(std::string_view name) {
  for (const FeedbackOptionSpec& option : kFeedbackOptions)
    if (option.name == name) return &option;
  return nullptr;
}
