#pragma once
// The Qt windows behind the UI services: the five windows built from their
// tables, click dispatch to the commands, and the modal message box.
#include <QWidget>
#include <string>
#include <string_view>

#include "forms/services.h"
#include "model/design_state.h"

// The application's name (the message boxes' title) and its desktop entry, so
// that task bars tie the windows to the menu entry. Call after QApplication.
void NameApplication();

// Installs the Qt backend; every push-button and option click of every window
// runs HandleClick on this state.
void InstallQtUi(DesignState& design);
// Shows Form1 in its start state (a Form1 already open is replaced).
void OpenStartWindow();

// The client area of the open window (the controls' parent), or nullptr.
QWidget* FormWidget(FormId form);
// The open window itself, with its menu bar: close or raise this one.
QWidget* FormFrame(FormId form);
// A control of an open window by name, or nullptr.
QWidget* FindControl(FormId form, std::string_view name);

// nullptr (the default) shows the real modal message box; tests and the
// scenario runner record the text instead, and answer the dialogs from a
// queue (gui/dialogs.h), so nothing ever blocks.
using MessageHandler = void (*)(const std::string& text);
void SetMessageHandler(MessageHandler handler);
