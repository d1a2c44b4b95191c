#pragma once
// A result window's values on the clipboard, as a tab-separated table of
// caption, value and unit that a spreadsheet takes as it is.
#include <QString>

#include "forms/services.h"

// Every value the window shows, one "caption\tvalue\tunit" line each, as the
// window writes them; empty before anything is computed.
QString ResultsText(FormId form);
void CopyResults(FormId form);

// "Modifica/Copia risultati" (Ctrl+Shift+C) of the result windows.
void RegisterComfortMenus();
