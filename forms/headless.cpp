#include "forms/headless.h"

#include <algorithm>
#include <array>
#include <deque>
#include <stdexcept>
#include <unordered_map>

#include "forms/controls.h"

namespace {

struct HeadlessControl {
  const ControlSpec* row;
  std::u16string text;   // text fields
  std::string caption;   // labels, buttons, options
  bool visible;
  bool checked = false;
};

struct HeadlessForm {
  bool open = false;
  bool loaded = false;  // controls hold a start state or what was done since
  std::vector<HeadlessControl> controls;
};

constexpr size_t kFormSlots = 6;  // indexed by FormId, 1..5

// Per thread: each worker thread of a sweep has its own forms and messages.
thread_local std::array<HeadlessForm, kFormSlots> g_forms;
thread_local std::vector<std::string> g_messages;
thread_local std::string g_focused;
thread_local std::vector<std::string> g_questions;
thread_local std::deque<std::string> g_answers;

HeadlessForm& FormOf(FormId form) { return g_forms[static_cast<int>(form)]; }

// What never changes for a window, built once for all threads: its controls
// in their start state, and each control's row found by name. A sweep session
// looks controls up by name some 2000 times; comparing the name with every row
// (strlen + memcmp) was 44% of a one-thread sweep's instructions.
struct FormTemplate {
  std::vector<HeadlessControl> start;
  std::unordered_map<std::string_view, size_t> rowOf;
};

FormTemplate BuildTemplate(FormId id) {
  FormTemplate t;
  for (const ControlSpec& row : FormSpecOf(id).controls) {
    HeadlessControl c{&row, {}, {}, row.visible};
    if (row.kind == ControlKind::Text)
      c.text = Utf8ToUtf16(row.caption);
    else
      c.caption = row.caption;
    t.rowOf.emplace(row.name, t.start.size());  // the first row of a name wins, as before
    t.start.push_back(std::move(c));
  }
  return t;
}

const FormTemplate& TemplateOf(FormId id) {
  static const std::array<FormTemplate, kFormSlots> templates = [] {
    std::array<FormTemplate, kFormSlots> all;
    for (FormId id : {FormId::Form1, FormId::Form2, FormId::Form3, FormId::Form4, FormId::Form5})
      all[static_cast<int>(id)] = BuildTemplate(id);
    return all;
  }();
  return templates[static_cast<int>(id)];
}

// Copying over the controls of the last session keeps their strings' storage.
void LoadStartState(FormId id) {
  HeadlessForm& form = FormOf(id);
  form.controls = TemplateOf(id).start;
  form.loaded = true;
  form.open = true;
}

// A closed window keeps its last contents, so a command that reads it still
// sees what the user left there; it is rebuilt when shown again.
HeadlessControl& ControlOf(FormId id, std::string_view name) {
  HeadlessForm& form = FormOf(id);
  if (!form.loaded) LoadStartState(id), form.open = false;
  const auto& rowOf = TemplateOf(id).rowOf;
  if (auto found = rowOf.find(name); found != rowOf.end()) return form.controls[found->second];
  throw std::out_of_range(std::string(FormName(id)) + " has no control " + std::string(name));
}

std::u16string ReadTextImpl(FormId form, std::string_view control) {
  return ControlOf(form, control).text;
}
void SetTextImpl(FormId form, std::string_view control, const std::u16string& text) {
  ControlOf(form, control).text = text;
}
void SetCaptionImpl(FormId form, std::string_view control, const std::string& caption) {
  ControlOf(form, control).caption = caption;
}
void SetVisibleImpl(FormId form, std::string_view control, bool visible) {
  ControlOf(form, control).visible = visible;
}
bool IsVisibleImpl(FormId form, std::string_view control) {
  return ControlOf(form, control).visible;
}
bool IsSelectedImpl(FormId form, std::string_view option) {
  return ControlOf(form, option).checked;
}
void ClearOptionImpl(FormId form, std::string_view option) {
  ControlOf(form, option).checked = false;
}
void ShowFormImpl(FormId form) {
  if (!FormOf(form).open) LoadStartState(form);
}
bool IsFormOpenImpl(FormId form) { return FormOf(form).open; }
void ShowMessageImpl(const std::string& text) { g_messages.push_back(text); }
void FocusFieldImpl(FormId form, std::string_view control) {
  ControlOf(form, control);  // a misspelt name fails as anywhere else
  g_focused = std::string(FormName(form)) + "." + std::string(control);
}

// The next queued answer names the choice; none queued, or one that is not
// a choice, closes the question (the last choice).
std::size_t AskQuestionImpl(const std::string& text, std::span<const std::string> choices) {
  g_questions.push_back(text);
  std::string answer;
  if (!g_answers.empty()) {
    answer = std::move(g_answers.front());
    g_answers.pop_front();
  }
  const auto found = std::find(choices.begin(), choices.end(), answer);
  return found != choices.end() ? static_cast<std::size_t>(found - choices.begin()) : choices.size() - 1;
}

const UiBackend kHeadless{ReadTextImpl,  SetTextImpl,     SetCaptionImpl,
                          SetVisibleImpl, IsVisibleImpl,  IsSelectedImpl,
                          ClearOptionImpl, ShowFormImpl,  IsFormOpenImpl,
                          ShowMessageImpl, FocusFieldImpl, AskQuestionImpl};

}  // namespace

const UiBackend& HeadlessBackend() { return kHeadless; }

void ResetHeadlessForms() {
  // The controls stay allocated for the next session; unloaded, they are
  // never read before LoadStartState copies the start state over them.
  for (HeadlessForm& form : g_forms) form.open = form.loaded = false;
  g_messages.clear();
  g_focused.clear();
  g_questions.clear();
  g_answers.clear();
  LoadStartState(FormId::Form1);
}

std::vector<std::string>& HeadlessMessages() { return g_messages; }
const std::string& HeadlessFocusedField() { return g_focused; }
std::vector<std::string>& HeadlessQuestions() { return g_questions; }
void HeadlessAnswerNextQuestion(std::string choice) { g_answers.push_back(std::move(choice)); }

void HeadlessCloseForm(FormId form) { FormOf(form).open = false; }

void HeadlessSelectOption(FormId form, std::string_view option) {
  for (HeadlessControl& c : FormOf(form).controls)
    if (c.row->kind == ControlKind::Option) c.checked = false;
  ControlOf(form, option).checked = true;
}

std::string HeadlessContent(FormId form, std::string_view control) {
  const HeadlessControl& c = ControlOf(form, control);
  return c.row->kind == ControlKind::Text ? Utf16ToUtf8(c.text) : c.caption;
}
