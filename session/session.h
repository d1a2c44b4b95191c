#pragma once
// One user session on the in-memory forms: type the input window's texts,
// click a feedback option, Calculate, then in every result window that opens
// its compute button and its verification button, collecting what the
// windows show. The numbers are those of the real windows bit for bit, since
// the same commands run in the same order. Each thread runs its own session.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "forms/services.h"
#include "model/design_state.h"

// A text typed into a field of the input window, by control name ("Text1").
struct FieldText {
  std::string control;
  std::string text;  // UTF-8
};

// What is typed into a field: UTF-16 code units, as the field holds them.
struct TypedText {
  std::string control;
  std::u16string text;
};

struct SessionInput {
  std::vector<TypedText> fields;  // typed in this order; a later one wins
  int feedbackOption = 0;         // 1..4 clicks Option1..Option4; 0 clicks none
};

// What one result window shows after its two buttons.
struct WindowDesignResult {
  FormId window = FormId::Form2;
  bool computed = false;                   // its compute command ran to the end
  std::vector<std::string> messages;       // shown by its two buttons
  std::vector<FieldText> values;           // every value box by control name
  DesignState state;                       // after its compute and verification
};

struct SessionResult {
  std::vector<FieldText> fields;  // the fifteen texts Calculate read, Text1..Text15
  int feedbackOption = 0;
  std::vector<std::string> messages;  // every message, in the order shown
  std::vector<FormId> windows;        // the result windows Calculate opened
  bool designed = false;              // Calculate opened a window
  DesignState state;                  // after Calculate
  std::vector<WindowDesignResult> designs;
  // The first window whose compute command ran to the end, or nullptr.
  const WindowDesignResult* firstDesign() const;
};

SessionResult RunSession(const SessionInput& input);

// The fifteen fields of the input window, Text1..Text15.
std::vector<std::string> InputFieldNames();
