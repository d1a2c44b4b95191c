#pragma once
// The real windows back in their start state before each GUI test, with the
// message boxes recorded instead of shown.
#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "gui/design_store.h"
#include "touchstone/touchstone.h"

#include "gui/program.h"
#include "gui/qt_ui.h"

inline constexpr FormId kResultForms[] = {FormId::Form2, FormId::Form3, FormId::Form4,
                                          FormId::Form5};

inline std::vector<std::string> g_messages;
inline void RecordMessage(const std::string& text) { g_messages.push_back(text); }

// Each test runs a program of its own: the last one's windows, files, noise
// settings, saved project, dialog answers and menus go with it.
inline std::unique_ptr<QtProgram> g_program;

inline void OpenFreshWindows(DesignState& design) {
  g_program.reset();
  design = DesignState{};
  g_program = std::make_unique<QtProgram>(design);
  SetMessageHandler(RecordMessage);
  g_messages.clear();
  OpenStartWindow();
}

// Before the application goes (gui_main.cpp).
inline void EndLastProgram() { g_program.reset(); }

// A maker's transistor at three frequencies around the 100 MHz of the test
// values, given as the file the input window's S-parameters came from.
inline void UseThreePointTransistorFile(const std::string& path) {
  auto parsed = ParseTouchstone(
      "# MHz S MA R 50\n"
      "80 0.55 -40 26.0 145 0.009 76 0.87 -15\n"
      "100 0.51 -44.8 24.51 142.5 0.01 74.5 0.86 -16.7\n"
      "140 0.45 -52 21.0 137 0.012 72 0.84 -19\n");
  auto data = std::make_shared<const TouchstoneData>(std::get<TouchstoneData>(parsed));
  SetTouchstoneSourceProvider([data, path] { return TouchstoneSource{data, path}; });
}

// Clicks a button of one of the five windows.
inline void Click(FormId form, const char* name) {
  qobject_cast<QAbstractButton*>(FindControl(form, name))->click();
}

// The result window that Calculate opened, if any.
inline std::optional<FormId> OpenResultForm() {
  for (FormId form : kResultForms)
    if (FormWidget(form)) return form;
  return std::nullopt;
}

// Closes the analysis windows a test left open ("…Window") and lets Qt
// delete them, so the next test starts without them.
inline void CloseAnalysisWindows() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName().endsWith(QLatin1String("Window")) && w->isVisible()) w->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
