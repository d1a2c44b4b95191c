#include "gui/menus.h"

#include "gui/analysis_windows.h"
#include "gui/copy_results.h"
#include "gui/export_menus.h"
#include "gui/feedback_explorer_window.h"
#include "gui/file_menus.h"
#include "gui/help_dialogs.h"
#include "gui/low_noise_window.h"
#include "gui/pdf_report.h"
#include "gui/status_lines.h"

// Every menu of every window is registered here and only here: each
// feature's entries, in the order they appear within their menus, and the
// listeners that keep them and the status lines up to date.
void RegisterProgramMenus() {
  RegisterFileMenus();
  RegisterHelpMenus();
  RegisterComfortMenus();
  RegisterAnalysisMenus();
  RegisterLowNoiseMenus();
  RegisterExportMenus();
  RegisterReportMenus();
  RegisterToolMenus();
  RegisterStatusLines();
}
