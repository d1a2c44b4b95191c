#pragma once
// Each designed L and C beside its nearest preferred value in the chosen
// series, with the error, and the finished amplifier recomputed with the
// rounded values next to the exact design, at the design frequency.
#include <QWidget>

#include "analysis/preferred_values.h"
#include "gui/analysis_windows.h"

class QComboBox;
class QTableWidget;

class PreferredValuesWindow : public QWidget {
  Q_OBJECT
 public:
  explicit PreferredValuesWindow(AnalysedDesign design, QWidget* parent = nullptr);
  void selectSeries(ESeries series);
  const RoundedDesign& rounded() const { return rounded_; }

 private:
  void refresh();

  AnalysedDesign design_;
  RoundedDesign rounded_;
  QComboBox* series_;
  QTableWidget* elements_;
  QTableWidget* figures_;
};
