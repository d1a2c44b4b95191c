#pragma once
// The noise data typed by hand (kept in the project, over any file's noise
// block) and the matching elements' Q (ideal unless given), program-wide like
// the input window's texts; the noise, response and Smith windows read them
// and are told when they change.
#include <functional>
#include <optional>

#include "noise/design_noise.h"

struct NoiseSettings {
  std::optional<NoiseEntry> typed;
  ElementLosses losses;
};
const NoiseSettings& CurrentNoiseSettings();
void SetTypedNoise(std::optional<NoiseEntry> typed);
void SetElementLosses(const ElementLosses& losses);
// Called after either changes; the returned id drops the listener.
int OnNoiseSettingsChanged(std::function<void()> listener);
void DropNoiseSettingsListener(int id);

// The noise source of a window's design: the typed entry, else its file's
// noise block.
struct WindowDesign;
NoiseSource NoiseSourceOf(const WindowDesign& source, double ro);
std::string NoiseOriginOf(const WindowDesign& source);
