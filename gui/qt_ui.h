#pragma once
// The Qt windows behind the UI services: the five windows built from their
// tables, click dispatch to the commands, and the modal message box.
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/services.h"
#include "model/design_state.h"

// The application's name (the message boxes' title) and its desktop entry, so
// that task bars tie the windows to the menu entry. Call after QApplication.
void NameApplication();

class QtProgram;

// nullptr (the default) shows the real modal message box; tests and the
// scenario runner record the text instead, and answer the dialogs from a
// queue (gui/dialogs.h), so nothing ever blocks.
using MessageHandler = void (*)(const std::string& text);

// The five windows of a program. The input window the user closed is kept,
// hidden, so that a result window's command can still read its fields.
struct OpenWindows {
  std::array<QPointer<QWidget>, 6> frames;  // by FormId
  QPointer<QWidget> closedInput;
  std::vector<QPointer<QWidget>> others;  // the analysis windows
  MessageHandler messageHandler = nullptr;
  std::function<bool()> inputCloseGuard;
};

// Puts the Qt windows behind the UI services: every push-button and option
// click of every window runs HandleClick on the program's design. Done by
// QtProgram, which removes them (its windows deleted) when it goes.
void InstallQtWindows(QtProgram& program);
void RemoveQtWindows(QtProgram& program);
// Shows Form1 in its start state (a Form1 already open is replaced).
void OpenStartWindow();

// Shows an analysis window as a top-level window of its own, at the front;
// freed when closed, or when the program goes.
void PresentWindow(QWidget* window);

// The client area of the open window (the controls' parent), or nullptr.
QWidget* FormWidget(FormId form);
// The open window itself, with its menu bar: close or raise this one.
QWidget* FormFrame(FormId form);
// The line under an open window's controls (shown when not empty, in red as
// a warning), and its text.
void SetStatusLine(FormId form, const QString& text, bool warning = false);
QString StatusLine(FormId form);
// A control of an open window by name, or nullptr.
QWidget* FindControl(FormId form, std::string_view name);

// Asked before the input window closes (the user's close, not the program
// replacing it); false keeps it open.
void SetInputCloseGuard(std::function<bool()> guard);

// See MessageHandler.
void SetMessageHandler(MessageHandler handler);
