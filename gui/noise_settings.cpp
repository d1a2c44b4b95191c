#include "gui/noise_settings.h"

#include <map>

#include "gui/design_store.h"

namespace {

NoiseSettings g_settings;
std::map<int, std::function<void()>> g_listeners;
int g_nextId = 1;

void Tell() {
  // A listener may drop itself (a window closing), so walk a copy.
  const auto listeners = g_listeners;
  for (const auto& [id, listener] : listeners) listener();
}

}  // namespace

const NoiseSettings& CurrentNoiseSettings() { return g_settings; }

void SetTypedNoise(std::optional<NoiseEntry> typed) {
  g_settings.typed = typed;
  Tell();
}

void SetElementLosses(const ElementLosses& losses) {
  g_settings.losses = losses;
  Tell();
}

int OnNoiseSettingsChanged(std::function<void()> listener) {
  g_listeners[g_nextId] = std::move(listener);
  return g_nextId++;
}

void DropNoiseSettingsListener(int id) { g_listeners.erase(id); }

NoiseSource NoiseSourceOf(const WindowDesign& source, double ro) {
  return DesignNoiseSource(g_settings.typed, ro, source.touchstone.get());
}

std::string NoiseOriginOf(const WindowDesign& source) {
  return NoiseOriginText(g_settings.typed, source.touchstone.get());
}
