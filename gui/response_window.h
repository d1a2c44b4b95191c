#pragma once
// The frequency response of one design: GT, return losses, K and μ against
// frequency, with the sweep's controls, a table of the same numbers, the
// overlay of the design rounded to preferred values, and the exports.
#include <QWidget>

#include <optional>

#include "figures/response_figure.h"
#include "gui/analysis_windows.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTableView;
class FigureView;
class SweepTableModel;

class ResponseWindow : public QWidget {
  Q_OBJECT
 public:
  explicit ResponseWindow(AnalysedDesign design, QWidget* parent = nullptr);

  // Runs the sweep the controls describe; a bad entry is told in a message
  // and the last good plot stays. True when the plot was replaced.
  bool applySweep();
  const SweepResult& sweep() const { return sweep_; }
  const std::vector<NoisePanelPoint>& noise() const { return noise_; }
  const SweepPlan& plan() const { return plan_; }
  const Figure& figure() const;

 private:
  std::optional<SweepPlan> readPlan();
  std::optional<ElementLosses> readLosses();
  void showPlan(const SweepPlan& plan);
  std::string readout(int panel, FigPoint at) const;
  QString fileBase() const;

  AnalysedDesign design_;
  bool fromFile_ = false;
  TransistorSource transistor_;
  SweepPlan plan_;
  SweepResult sweep_;
  std::vector<NoisePanelPoint> noise_;
  bool noiseSource_ = false;  // the design has noise data
  bool applying_ = false;
  QLineEdit* qInductors_;
  QLineEdit* qCapacitors_;
  std::optional<SweepResult> rounded_;
  QLineEdit* from_;
  QLineEdit* to_;
  QLineEdit* points_;
  QComboBox* scale_;
  QCheckBox* overlay_;
  QComboBox* series_;
  FigureView* view_;
  QTableView* table_;
  SweepTableModel* model_;
};
