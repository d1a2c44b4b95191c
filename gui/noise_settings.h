#pragma once
// The noise data typed by hand (kept in the project, over any file's noise
// block) and the matching elements' Q (ideal unless given), program-wide like
// the input window's texts; the noise, response and Smith windows read them
// and are told when they change.
#include <QObject>

#include <functional>
#include <optional>

#include "noise/design_noise.h"

struct NoiseSettings {
  std::optional<NoiseEntry> typed;
  ElementLosses losses;
};
// The running program's settings (gui/program.h), with a signal after each change.
class NoiseSettingsStore : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  const NoiseSettings& settings() const { return settings_; }
  void setTyped(std::optional<NoiseEntry> typed);
  void setLosses(const ElementLosses& losses);

 signals:
  void changed();

 private:
  NoiseSettings settings_;
};

const NoiseSettings& CurrentNoiseSettings();
void SetTypedNoise(std::optional<NoiseEntry> typed);
void SetElementLosses(const ElementLosses& losses);
// Called after either changes, as long as receiver lives.
void OnNoiseSettingsChanged(QObject* receiver, std::function<void()> listener);

// The noise source of a window's design: the typed entry, else its file's
// noise block.
struct WindowDesign;
NoiseSource NoiseSourceOf(const WindowDesign& source, double ro);
std::string NoiseOriginOf(const WindowDesign& source);
