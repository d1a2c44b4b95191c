#include "gui/program.h"

#include <stdexcept>

namespace {

// Set only while a QtProgram lives, as qApp is while the application does.
QtProgram* g_running = nullptr;

}  // namespace

QtProgram::QtProgram(DesignState& state) : design(state) {
  if (g_running) throw std::logic_error("a QtProgram runs already");
  g_running = this;
  InstallQtWindows(*this);
  RegisterProgramMenus();
}

QtProgram::~QtProgram() {
  RemoveQtWindows(*this);
  g_running = nullptr;
}

QtProgram& Program() {
  if (!g_running) throw std::logic_error("no QtProgram runs");
  return *g_running;
}
