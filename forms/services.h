#pragma once
// The operations the commands need from the window toolkit: read and write
// field texts, label captions and visibilities, option states, show a result
// window, show a modal message. The commands call only these routines; the
// routines forward to the backend installed with SetUiBackend: the Qt windows
// in the program, the in-memory forms (forms/headless.h) in tests and fuzzing.
#include <span>
#include <string>
#include <string_view>

enum class FormId { Form1 = 1, Form2, Form3, Form4, Form5 };

struct UiBackend {
  // Field texts are UTF-16 code units, as the fields hold them.
  std::u16string (*readText)(FormId form, std::string_view control);
  void (*setText)(FormId form, std::string_view control, const std::u16string& text);
  // Captions and messages are UTF-8.
  void (*setCaption)(FormId form, std::string_view control, const std::string& caption);
  void (*setVisible)(FormId form, std::string_view control, bool visible);
  bool (*isVisible)(FormId form, std::string_view control);
  bool (*isSelected)(FormId form, std::string_view option);
  // Clearing an option by code runs no click action.
  void (*clearOption)(FormId form, std::string_view option);
  // Modeless: create in the start state on first use (or after the user
  // closed it), show, bring to the front.
  void (*showForm)(FormId form);
  bool (*isFormOpen)(FormId form);
  // Modal, one OK button, the application's title; returns after OK.
  void (*showMessage)(const std::string& text);
  // The keyboard focus to a text field, its text selected so that typing
  // replaces it: where a message sends the user to correct a value.
  void (*focusField)(FormId form, std::string_view control);
  // Modal, the application's title, one button for each choice; returns the
  // index of the one chosen. Closing the question without a choice (Escape,
  // the window's close button) chooses the last: list the choice that
  // changes nothing last.
  std::size_t (*askQuestion)(const std::string& text, std::span<const std::string> choices);
};

// Installs a backend; nullptr restores the in-memory default.
void SetUiBackend(const UiBackend* backend);
const UiBackend& CurrentUiBackend();

std::u16string ReadText(FormId form, std::string_view control);
void SetText(FormId form, std::string_view control, const std::u16string& text);
void SetCaption(FormId form, std::string_view control, const std::string& caption);
void ShowControl(FormId form, std::string_view control);
void HideControl(FormId form, std::string_view control);
bool IsControlVisible(FormId form, std::string_view control);
bool IsOptionSelected(FormId form, std::string_view option);
void ClearOption(FormId form, std::string_view option);
void ShowForm(FormId form);
bool IsFormOpen(FormId form);
void ShowMessage(const std::string& text);
void FocusField(FormId form, std::string_view control);
// The choice's index; at least one choice.
std::size_t AskQuestion(const std::string& text, std::span<const std::string> choices);

const char* FormName(FormId form);  // "Form1" ... "Form5"
