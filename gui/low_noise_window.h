#pragma once
// "Progetto a basso rumore": the low-noise design of a result window's
// transistor with its feedback. The user chooses the target (least noise,
// +Δ dB for the most gain, or a Γs or Zs typed), presses "Progetta", and
// sees the schematic of the pair of networks with the element values, Γs,
// ΓL and the figures. Its menus are a result window's: Analisi (response,
// Smith chart, standard values) on the low-noise design, Esporta
// (Touchstone, SPICE, PDF) of it, Modifica/Copia risultati.
#include <QWidget>

#include <optional>
#include <string>

#include "gui/analysis_windows.h"
#include "gui/design_store.h"
#include "noise/low_noise_design.h"

class QLabel;
class QLineEdit;
class QRadioButton;
class QTableWidget;

class LowNoiseWindow : public QWidget {
  Q_OBJECT
 public:
  // `noise`: the transistor's noise at f (from the file or typed by hand).
  LowNoiseWindow(FormId form, WindowDesign source, NoiseParameters noise, QString noiseSource,
                 QWidget* parent = nullptr);

  // Reads the target and designs; a refusal or a bad entry is told in a
  // message and what was shown stays. True when a design is shown.
  bool design();
  // Shows the target in the window's own controls, where the user can
  // refine it, and designs for it.
  bool designFor(const LowNoiseTarget& target);
  const std::optional<LowNoiseDesign>& shown() const { return design_; }
  // The low-noise design for the analysis windows and the exports.
  std::optional<AnalysedDesign> analysed() const;
  // Every value shown, as a tab-separated table.
  QString resultsText() const;

 signals:
  // After each new design is shown.
  void designed();

 private:
  std::optional<LowNoiseTarget> readTarget();
  void showTarget(const LowNoiseTarget& target);
  void showDesign();
  void buildMenus();
  void exportTouchstone();
  void exportSpice();
  void exportPdf();

  FormId form_;
  WindowDesign source_;
  NoiseParameters noise_;
  std::optional<LowNoiseDesign> design_;
  QRadioButton* least_;
  QRadioButton* above_;
  QRadioButton* gamma_;
  QRadioButton* impedance_;
  QLineEdit* delta_;
  QLineEdit* gammaMag_;
  QLineEdit* gammaDeg_;
  QLineEdit* zsRe_;
  QLineEdit* zsIm_;
  QLabel* pairNoise_;
  QLabel* schematic_;
  QLabel* kinds_;
  QTableWidget* elements_;
  QTableWidget* figures_;
};

// Opens the window on the design a result window shows, with the given
// noise of the transistor at f, or else the noise data the noise window
// uses (those typed by hand, or the window's Touchstone file's); nullptr
// (and a message) when there is no design or no noise data.
QWidget* OpenLowNoiseWindow(FormId form, std::optional<NoiseParameters> transistorNoise = std::nullopt);
// The same on the copy of the design an analysis window keeps (so a later
// compute of the result window does not change what it designs), with the
// noise data that window uses; designs for `target` when given, else for
// the last chosen one. The noise window's "Progetta per basso rumore…" and
// a click on the Smith chart's source plane come here.
LowNoiseWindow* OpenLowNoiseWindow(FormId form, const WindowDesign& source,
                                   std::optional<LowNoiseTarget> target = std::nullopt);
// The noise of the transistor at f that the window would be opened with:
// typed by hand, else the design's file's; nullopt where there are none.
std::optional<NoiseParameters> TransistorNoiseOf(const WindowDesign& source);

// The typed-Γ target for a point picked on the Smith chart, to the
// precision the chart's readout shows it (|Γ| to 0.001, the angle to 0.1°),
// so the fields read what the user saw under the pointer; nullopt off the
// chart (|Γ| not below 1 once rounded).
std::optional<LowNoiseTarget> PickedSourceTarget(Cx gamma);

// The target the last design used, in bjt-design's words, kept in projects.
std::optional<std::string> ChosenLowNoiseTarget();
void SetChosenLowNoiseTarget(std::optional<std::string> words);

// "Analisi/Progetto a basso rumore…" in the four result windows; once.
void RegisterLowNoiseMenus();
