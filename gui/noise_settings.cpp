#include "gui/noise_settings.h"

#include "gui/design_store.h"
#include "gui/program.h"

void NoiseSettingsStore::setTyped(std::optional<NoiseEntry> typed) {
  settings_.typed = typed;
  emit changed();
}

void NoiseSettingsStore::setLosses(const ElementLosses& losses) {
  settings_.losses = losses;
  emit changed();
}

const NoiseSettings& CurrentNoiseSettings() { return Program().noise.settings(); }

void SetTypedNoise(std::optional<NoiseEntry> typed) { Program().noise.setTyped(typed); }

void SetElementLosses(const ElementLosses& losses) { Program().noise.setLosses(losses); }

void OnNoiseSettingsChanged(QObject* receiver, std::function<void()> listener) {
  QObject::connect(&Program().noise, &NoiseSettingsStore::changed, receiver, std::move(listener));
}

NoiseSource NoiseSourceOf(const WindowDesign& source, double ro) {
  return DesignNoiseSource(CurrentNoiseSettings().typed, ro, source.touchstone.get());
}

std::string NoiseOriginOf(const WindowDesign& source) {
  return NoiseOriginText(CurrentNoiseSettings().typed, source.touchstone.get());
}
