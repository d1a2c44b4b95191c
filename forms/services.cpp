#include "forms/services.h"

#include "forms/headless.h"

// One per thread, so each worker thread of a sweep runs its own session on
// its own in-memory forms while the windows keep theirs.
static thread_local const UiBackend* g_backend = nullptr;

void SetUiBackend(const UiBackend* backend) { g_backend = backend; }
const UiBackend& CurrentUiBackend() { return g_backend ? *g_backend : HeadlessBackend(); }

std::u16string ReadText(FormId form, std::string_view control) {
  return CurrentUiBackend().readText(form, control);
}
void SetText(FormId form, std::string_view control, const std::u16string& text) {
  CurrentUiBackend().setText(form, control, text);
}
void SetCaption(FormId form, std::string_view control, const std::string& caption) {
  CurrentUiBackend().setCaption(form, control, caption);
}
void ShowControl(FormId form, std::string_view control) {
  CurrentUiBackend().setVisible(form, control, true);
}
void HideControl(FormId form, std::string_view control) {
  CurrentUiBackend().setVisible(form, control, false);
}
bool IsControlVisible(FormId form, std::string_view control) {
  return CurrentUiBackend().isVisible(form, control);
}
bool IsOptionSelected(FormId form, std::string_view option) {
  return CurrentUiBackend().isSelected(form, option);
}
void ClearOption(FormId form, std::string_view option) {
  CurrentUiBackend().clearOption(form, option);
}
void ShowForm(FormId form) { CurrentUiBackend().showForm(form); }
bool IsFormOpen(FormId form) { return CurrentUiBackend().isFormOpen(form); }
void ShowMessage(const std::string& text) { CurrentUiBackend().showMessage(text); }
void FocusField(FormId form, std::string_view control) {
  CurrentUiBackend().focusField(form, control);
}
std::size_t AskQuestion(const std::string& text, std::span<const std::string> choices) {
  if (choices.empty()) return 0;
  const std::size_t chosen = CurrentUiBackend().askQuestion(text, choices);
  return chosen < choices.size() ? chosen : choices.size() - 1;
}

const char* FormName(FormId form) {
  switch (form) {
    case FormId::Form1: return "Form1";
    case FormId::Form2: return "Form2";
    case FormId::Form3: return "Form3";
    case FormId::Form4: return "Form4";
    case FormId::Form5: return "Form5";
  }
  return "?";
}
