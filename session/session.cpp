#include "session/session.h"

#include "forms/commands.h"
#include "forms/controls.h"
#include "forms/headless.h"
#include "model/quantities.h"

namespace {

// A text field holds at most this many UTF-16 code units; typing more keeps
// the start, as the window's field does.
constexpr size_t kFieldLimit = 32767;

constexpr FormId kResultWindows[] = {FormId::Form2, FormId::Form3, FormId::Form4, FormId::Form5};

// Restores the thread's backend when the session ends, also by an exception.
class HeadlessScope {
 public:
  HeadlessScope() : previous_(&CurrentUiBackend()) {
    SetUiBackend(&HeadlessBackend());
    ResetHeadlessForms();
  }
  ~HeadlessScope() { SetUiBackend(previous_); }
  HeadlessScope(const HeadlessScope&) = delete;
  HeadlessScope& operator=(const HeadlessScope&) = delete;

 private:
  const UiBackend* previous_;
};

void TypeField(const TypedText& field) {
  std::u16string text = field.text;
  if (text.size() > kFieldLimit) text.resize(kFieldLimit);
  SetText(FormId::Form1, field.control, text);
}

// The messages shown since `from`, moved out of the forms' record.
std::vector<std::string> MessagesSince(size_t from) {
  const std::vector<std::string>& all = HeadlessMessages();
  return {all.begin() + static_cast<std::ptrdiff_t>(from), all.end()};
}

std::vector<FieldText> ValueBoxes(FormId form) {
  std::vector<FieldText> values;
  for (const ControlSpec& row : FormSpecOf(form).controls)
    if (row.kind == ControlKind::Label && row.border == Border::Single)
      values.push_back({row.name, HeadlessContent(form, row.name)});
  return values;
}

WindowDesignResult RunResultWindow(DesignState& state, FormId form) {
  WindowDesignResult result;
  result.window = form;
  const size_t before = HeadlessMessages().size();
  result.computed = HandleClick(state, form, "Command1");
  HandleClick(state, form, "Command2");
  result.messages = MessagesSince(before);
  result.values = ValueBoxes(form);
  result.state = state;
  return result;
}

}  // namespace

std::vector<std::string> InputFieldNames() {
  std::vector<std::string> names;
  // In control order, Text1 ... Text15.
  for (int i = 1; i <= 15; ++i) names.push_back(ControlOf(static_cast<Quantity>(i)));
  return names;
}

const WindowDesignResult* SessionResult::firstDesign() const {
  for (const WindowDesignResult& d : designs)
    if (d.computed) return &d;
  return nullptr;
}

SessionResult RunSession(const SessionInput& input) {
  HeadlessScope scope;
  SessionResult result;
  DesignState state;
  for (const TypedText& field : input.fields) TypeField(field);
  result.feedbackOption = input.feedbackOption;
  if (input.feedbackOption >= 1 && input.feedbackOption <= 4) {
    const char* option = ControlOf(static_cast<FeedbackChoice>(input.feedbackOption));
    HeadlessSelectOption(FormId::Form1, option);
    HandleClick(state, FormId::Form1, option);
  }
  for (const std::string& name : InputFieldNames())
    result.fields.push_back({name, HeadlessContent(FormId::Form1, name)});

  result.designed = HandleClick(state, FormId::Form1, "Command1");
  result.state = state;
  for (FormId form : kResultWindows)
    if (IsFormOpen(form)) result.windows.push_back(form);
  for (FormId form : result.windows) result.designs.push_back(RunResultWindow(state, form));
  result.messages = HeadlessMessages();
  return result;
}
