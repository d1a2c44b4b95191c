#include "ui/qt/menus.h"

#include "ui/qt/analysis_windows.h"
#include "ui/qt/copy_results.h"
#include "ui/qt/export_menus.h"
#include "ui/qt/file_menus.h"
#include "ui/qt/pdf_report.h"

// Each feature's entries, in the order they appear within their menus.
void RegisterProgramMenus() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFileMenus();
  RegisterComfortMenus();
  RegisterAnalysisMenus();
  RegisterExportMenus();
  RegisterReportMenus();
}
