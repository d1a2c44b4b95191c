#pragma once
// Every dialog of the program opens through here, so that tests and the
// scenario runner answer it from a queue instead of a person, and nothing
// ever blocks on a modal dialog there.
#include <QString>

#include <deque>
#include <functional>
#include <optional>
#include <string>

class QDialog;
class QWidget;

// The running program's script (gui/program.h).
struct DialogScript {
  bool scripted = false;
  std::deque<std::string> answers;
  QString lastSuggested;  // by the last save dialog
};

// Scripted mode is on while the message boxes are recorded (SetMessageHandler).
void SetDialogsScripted(bool scripted);
bool DialogsScripted();
// Answers for the next dialogs, in order ("cancel" cancels one).
void PushScriptedAnswer(std::string answer);
void ClearScriptedAnswers();
// The next queued answer, taken from the queue; nullopt when none is queued
// or it is "cancel".
std::optional<std::string> TakeScriptedAnswer();

// A file to open or a name to save under; nullopt when cancelled. Scripted,
// the answer is the path.
std::optional<QString> AskOpenFileName(QWidget* parent, const QString& title, const QString& filter);
std::optional<QString> AskSaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                       const QString& suggested);
// The name the last save dialog suggested, for tests.
QString LastSuggestedSaveName();

// Runs a modal dialog; scripted, hands the next answer to apply instead (in
// the dialog's own answer format), and a missing answer, "cancel" or one
// that apply does not understand rejects it. True when accepted.
bool ExecDialog(QDialog& dialog, const std::function<bool(const std::string& answer)>& apply);
