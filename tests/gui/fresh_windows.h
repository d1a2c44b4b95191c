#pragma once
// The real windows back in their start state before each GUI test, with the
// message boxes recorded instead of shown.
#include <QWidget>

#include <string>
#include <vector>

#include "ui/qt/qt_ui.h"

inline constexpr FormId kResultForms[] = {FormId::Form2, FormId::Form3, FormId::Form4,
                                          FormId::Form5};

inline std::vector<std::string> g_messages;
inline void RecordMessage(const std::string& text) { g_messages.push_back(text); }

inline void OpenFreshWindows(DesignState& design) {
  design = DesignState{};
  InstallQtUi(design);
  SetMessageHandler(RecordMessage);
  g_messages.clear();
  for (FormId form : kResultForms)
    if (QWidget* w = FormFrame(form)) w->close();
  OpenStartWindow();
}
