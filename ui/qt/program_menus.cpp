#include "ui/qt/menus.h"

#include "ui/qt/analysis_windows.h"

// Each feature's entries, in the order they appear within their menus.
void RegisterProgramMenus() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterAnalysisMenus();
}
