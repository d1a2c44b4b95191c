#pragma once
// What each result window shows, kept with the window: the design state as
// its compute command left it and the Touchstone data its S-parameters came
// from. Another window's compute or a new Calculate changes the shared state
// but not this, so what a window's menus do never mixes two designs.
#include <QObject>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "forms/services.h"
#include "model/design_state.h"

struct TouchstoneData;

struct TouchstoneSource {
  std::shared_ptr<const TouchstoneData> data;
  std::string path;
};

struct WindowDesign {
  DesignState state;
  std::shared_ptr<const TouchstoneData> touchstone;  // null: entered by hand
  std::string touchstonePath;
};

// The designs of the four result windows and the source their S-parameters
// had at the last Calculate. The running program's (gui/program.h); the
// functions below are its short forms.
class DesignStore : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  const WindowDesign* designOf(FormId form) const;
  void setSourceProvider(std::function<TouchstoneSource()> provider);
  TouchstoneSource currentSource() const { return provider_ ? provider_() : TouchstoneSource{}; }
  void noteCalculateDone();
  void noteComputeDone(FormId form, const DesignState& state);
  void forget(FormId form);

 signals:
  // After a window's design was kept or dropped.
  void designChanged(FormId form);

 private:
  std::array<std::optional<WindowDesign>, 6> designs_;
  TouchstoneSource sourceAtCalculate_;
  std::function<TouchstoneSource()> provider_;
};

// nullptr until the window's compute command has run to its end; dropped
// when the window closes.
const WindowDesign* DesignOfWindow(FormId form);
// What the entries that act on a window's design say while it has none.
inline constexpr const char* kWaitsForCompute = "Premi prima «Calcolo reti di adattamento e verifica»";

// The file the input window's S-parameter fields hold now (empty when they
// were typed); asked at each Calculate that opens a window.
void SetTouchstoneSourceProvider(std::function<TouchstoneSource()> provider);
// The file the input window's S-parameter fields hold now (empty when they
// were typed or changed since).
TouchstoneSource CurrentTouchstoneSource();
// Called after a window's design is kept or dropped, as long as the program runs.
void OnWindowDesignChanged(std::function<void(FormId)> listener);

// For the window layer: after each completed command of a window.
void NoteCalculateDone();
void NoteComputeDone(FormId form, const DesignState& state);
void ForgetWindowDesign(FormId form);
