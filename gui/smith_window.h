#pragma once
// The Smith chart of one design: RE, RL, conj(Zi), conj(Zo), the matching
// path of both networks element by element, optionally the amplifier's input
// reflection across the sweep and the transistor's stability circles; the
// pointer reads Z, Y and Γ. With the noise circles shown, a click inside the
// chart picks the source point of a low-noise design.
#include <QPointer>
#include <QWidget>

#include <optional>

#include "figures/smith_figure.h"
#include "gui/analysis_windows.h"

class QCheckBox;
class QLabel;
class FigureView;
class LowNoiseWindow;

class SmithWindow : public QWidget {
  Q_OBJECT
 public:
  SmithWindow(AnalysedDesign design, SmithChart chart, QWidget* parent = nullptr);
  const Figure& figure() const;
  const SmithChart& chart() const { return chart_; }
  // For a chart opened from this low-noise window: picked source points
  // redesign it instead of opening a new one, and the chart draws each
  // design it shows, so the design's source point is the point picked.
  void followDesignsOf(LowNoiseWindow* window);
  // A click at Γ = x + jy: with the noise circles shown and |Γ| < 1, the
  // low-noise window designs for that Γs; otherwise nothing happens.
  void pickSource(double x, double y);

 private:
  void showDesign(AnalysedDesign design, SmithChart chart);
  QString fileBase() const;
  void redraw();
  void updateSourcePlane();
  void updatePicking();
  bool picking() const;
  const SweepResult& inputSweep();

  AnalysedDesign design_;
  SmithChart chart_;
  std::optional<SweepResult> sweep_;  // made the first time it is asked for
  QCheckBox* reflection_;
  QCheckBox* circles_;
  QCheckBox* noiseCircles_;
  QLabel* pickHint_;
  QPointer<LowNoiseWindow> lowNoise_;  // the window picked points go to
  std::optional<SourcePlane> sourcePlane_;
  FigureView* view_;
};
