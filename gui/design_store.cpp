#include "gui/design_store.h"

#include <array>
#include <optional>
#include <vector>

namespace {

std::array<std::optional<WindowDesign>, 6> g_designs;
TouchstoneSource g_sourceAtCalculate;
std::function<TouchstoneSource()> g_provider;
std::vector<std::function<void(FormId)>> g_listeners;

void Tell(FormId form) {
  for (const auto& listener : g_listeners) listener(form);
}

}  // namespace

const WindowDesign* DesignOfWindow(FormId form) {
  const auto& slot = g_designs[static_cast<int>(form)];
  return slot ? &*slot : nullptr;
}

void SetTouchstoneSourceProvider(std::function<TouchstoneSource()> provider) {
  g_provider = std::move(provider);
}

TouchstoneSource CurrentTouchstoneSource() { return g_provider ? g_provider() : TouchstoneSource{}; }

void OnWindowDesignChanged(std::function<void(FormId)> listener) {
  g_listeners.push_back(std::move(listener));
}

void NoteCalculateDone() { g_sourceAtCalculate = g_provider ? g_provider() : TouchstoneSource{}; }

void NoteComputeDone(FormId form, const DesignState& state) {
  g_designs[static_cast<int>(form)] =
      WindowDesign{state, g_sourceAtCalculate.data, g_sourceAtCalculate.path};
  Tell(form);
}

void ForgetWindowDesign(FormId form) {
  auto& slot = g_designs[static_cast<int>(form)];
  if (!slot) return;
  slot.reset();
  Tell(form);
}
