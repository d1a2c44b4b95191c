#pragma once
// Turns a window table into widgets: every control a direct child of the
// window, found by its name (objectName), at its fixed place.
#include <QFont>
#include <QString>
#include <QWidget>

#include "forms/controls.h"

// Fills an empty top-level widget with the controls of the table, in their
// start state, and sets its caption, client size, icon and start focus.
void BuildFormWidgets(const FormSpec& form, QWidget* window);

// The program's text font in a role, sized in pixels so that it renders the
// same at any reported DPI.
QFont ControlFont(FontRole role);
// The text a control shows for its table caption (Symbol-font letters become
// the Greek letters they stand for).
QString DisplayedCaption(const ControlSpec& control);
