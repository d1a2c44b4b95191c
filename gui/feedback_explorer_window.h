#pragma once
// "Strumenti/Scegli la reazione…": the feedback explorer of the input window.
// For each value of Rf (or of Lf or Cf with Rf held) the design the input
// window would make, computed on worker threads with progress and a cancel
// button, shown as curves against the value; a click or a typed value and
// "Usa questo valore" write that one field of the input window.
#include <QFutureWatcher>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

#include "analysis/feedback_scan.h"
#include "session/feedback_explorer.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class FigureView;

// Registers "Strumenti/Scegli la reazione…" for the input window.
void RegisterToolMenus();
// Opens the explorer on what the input window holds now; nullptr (and a
// message) when its feedback option leaves nothing to explore.
QWidget* OpenFeedbackExplorer();

class FeedbackExplorerWindow : public QWidget {
  Q_OBJECT
 public:
  explicit FeedbackExplorerWindow(ExplorerInput input, QWidget* parent = nullptr);
  ~FeedbackExplorerWindow() override;

  // Starts the values the controls describe; a bad entry is told in a
  // message and the last picture stays. True when the work started.
  bool start();
  void cancel();
  bool running() const;
  // Runs the event loop until the work ends (tests, scripted runs).
  void waitUntilDone();
  const std::vector<FeedbackScanRow>& rows() const { return rows_; }
  const Figure& figure() const;
  // The value picked (by a click or typed), as its shortest text.
  void choose(double value);
  // Writes the picked value into the input window's field; false (and a
  // message) when the value box does not hold a number above zero.
  bool useValue();

 private:
  // What the pool thread hands back: the rows, or why there are none.
  struct Outcome {
    std::shared_ptr<const FeedbackExplorer> explorer;
    std::vector<FeedbackScanRow> rows;
    std::string error;
  };
  SweptElement element() const;
  void restartFor(SweptElement element);
  void finish();
  void redraw();
  std::string readout(FigPoint at) const;
  QString title() const;

  ExplorerInput input_;
  std::shared_ptr<const FeedbackExplorer> explorer_;  // of the rows shown
  QFutureWatcher<Outcome>* watcher_;
  bool pending_ = false;  // started, and its end not yet shown
  std::vector<FeedbackScanRow> rows_;
  std::optional<double> chosen_;
  double fMHz_ = 0;  // the design frequency the rows were made at
  QComboBox* field_;
  QLineEdit* from_;
  QLineEdit* to_;
  QLineEdit* count_;
  QPushButton* apply_;
  QPushButton* stop_;
  QProgressBar* progress_;
  FigureView* view_;
  QLineEdit* value_;
  QPushButton* use_;
  QLabel* summary_;
};
