#pragma once
// "Rumore…": the noise parameters of the transistor and of the transistor
// with its feedback at the design frequency, the NF of the designed
// amplifier fed from RE and its distance from the pair's minimum; below, the
// four fields for noise data typed by hand, which override a file's; and
// "Progetta per basso rumore…" with the noise data shown.
#include <QWidget>

#include "gui/analysis_windows.h"

class QLabel;
class QLineEdit;
class QPushButton;

class NoiseWindow : public QWidget {
  Q_OBJECT
 public:
  explicit NoiseWindow(AnalysedDesign design, QWidget* parent = nullptr);
  // Reads the four fields and makes them the noise data; a bad field is told
  // in a message, with the focus on it, and nothing changes. True when applied.
  bool applyTyped();
  void useFileData();
  QString summary() const;
  // Opens "Progetto a basso rumore" on this window's design with the noise
  // data it shows; nullptr (and a message) without them.
  QWidget* openLowNoiseDesign();

 private:
  void refresh();
  void showTyped();

  AnalysedDesign design_;
  QLabel* origin_;
  QLabel* summary_;
  QPushButton* lowNoise_;
  QLineEdit* nfMin_;
  QLineEdit* gammaMag_;
  QLineEdit* gammaDeg_;
  QLineEdit* rn_;
};
