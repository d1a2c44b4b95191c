#include "model/quantities.h"

const QuantitySpec* QuantityOfKey(std::string_view key) {
  for (const QuantitySpec& spec : kQuantities)
    if (spec.key == key) return &spec;
  return nullptr;
}

const QuantitySpec* QuantityOfControl(std::string_view control) {
  for (const QuantitySpec& spec : kQuantities)
    if (spec.control == control) return &spec;
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
