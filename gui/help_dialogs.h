#pragma once
// The Aiuto menu (a short guide, the program's version and licence) and the
// Italian texts of Qt's own dialogs and menus.
#include <QString>

class QWidget;

// "1.0.0"
QString ProgramVersion();

// Loads Qt's Italian translations whatever the system's language, since the
// whole interface is Italian; false when they are not installed. Call after
// the QApplication is made, before any window.
bool LoadItalianQtTexts();

// Registers "Aiuto/Guida" (F1) and "Aiuto/Informazioni" for every window.
void RegisterHelpMenus();
void ShowGuide(QWidget* parent);
void ShowAbout(QWidget* parent);
