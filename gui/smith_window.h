#pragma once
// The Smith chart of one design: RE, RL, conj(Zi), conj(Zo), the matching
// path of both networks element by element, optionally the amplifier's input
// reflection across the sweep and the transistor's stability circles; the
// pointer reads Z, Y and Γ.
#include <QWidget>

#include <optional>

#include "figures/smith_figure.h"
#include "gui/analysis_windows.h"

class QCheckBox;
class FigureView;

class SmithWindow : public QWidget {
  Q_OBJECT
 public:
  SmithWindow(AnalysedDesign design, SmithChart chart, QWidget* parent = nullptr);
  ~SmithWindow() override;
  const Figure& figure() const;
  const SmithChart& chart() const { return chart_; }

 private:
  void redraw();
  void updateSourcePlane();
  const SweepResult& inputSweep();

  AnalysedDesign design_;
  SmithChart chart_;
  std::optional<SweepResult> sweep_;  // made the first time it is asked for
  QCheckBox* reflection_;
  QCheckBox* circles_;
  QCheckBox* noiseCircles_;
  std::optional<SourcePlane> sourcePlane_;
  int listener_ = 0;
  FigureView* view_;
};
