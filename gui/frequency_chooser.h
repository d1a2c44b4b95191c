#pragma once
// "Scegli la frequenza": every frequency of a Touchstone file with its
// S-parameters and stability figures, a small plot of μ and MAG/MSG, and a
// frequency field for points between the file's.
#include <QAbstractTableModel>
#include <QDialog>

#include <optional>
#include <string>

#include "figures/frequency_rows.h"
#include "touchstone/fields.h"

class QLabel;
class QLineEdit;
class QTableView;
class FigureView;

// The table of the file's frequencies; figures are worked out for the rows
// on screen only, so a million rows open at once.
class FrequencyTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  FrequencyTableModel(const TouchstoneData& data, std::optional<ChooserFeedback> feedback,
                      QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  const RowFigures& Figures(int row) const;
  const TouchstoneData& data_;
  std::optional<ChooserFeedback> feedback_;
  mutable int cachedRow_ = -1;
  mutable RowFigures cached_;
};

class FrequencyChooser : public QDialog {
  Q_OBJECT
 public:
  FrequencyChooser(const TouchstoneData& data, const QString& fileName,
                   std::optional<ChooserFeedback> feedback, QWidget* parent = nullptr);

  // The fields for a 0-based row, or for a frequency in MHz (interpolated
  // between file frequencies); a frequency outside the file is told in a
  // message and gives nullopt.
  std::optional<SParamFields> PickRow(long long row);
  std::optional<SParamFields> PickFrequency(double fMHz);
  // A scripted answer: "row N" (1-based), "freq MHZ".
  std::optional<SParamFields> PickAnswer(const std::string& answer);
  const std::optional<SParamFields>& chosen() const { return chosen_; }
  QTableView* table() const { return table_; }

  void accept() override;

 private:
  void ShowRowFrequency();
  const TouchstoneData& data_;
  FrequencyTableModel* model_;
  QTableView* table_;
  QLineEdit* frequency_;
  FigureView* plot_;
  std::optional<SParamFields> chosen_;
};

// Runs the chooser (scripted in tests); nullopt when cancelled.
std::optional<SParamFields> ChooseFrequency(QWidget* parent, const TouchstoneData& data, const QString& fileName,
                                            const std::optional<ChooserFeedback>& feedback);
