#include "gui/preferred_values_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "figures/figure.h"

namespace {

constexpr double kMatchedReturnLossDb = 80;
constexpr ESeries kSeries[] = {ESeries::E6, ESeries::E12, ESeries::E24, ESeries::E96};

// Every row in sight at any scale: compact rows, and room for all of them.
QTableWidget* Table(const char* name, const QStringList& headers, int rows) {
  QTableWidget* table = ResultsTable(name, headers, rows, 8);
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  return table;
}

// Each column as wide as its heading and its widest cell, the last taking
// what room is left: no name or value is cut short.
void FitColumns(QTableWidget* table) {
  QHeaderView* header = table->horizontalHeader();
  header->setSectionResizeMode(QHeaderView::Interactive);
  int total = 0;
  for (int column = 0; column < table->columnCount(); ++column) {
    int width = header->fontMetrics().horizontalAdvance(table->horizontalHeaderItem(column)->text());
    for (int row = 0; row < table->rowCount(); ++row)
      if (const QTableWidgetItem* item = table->item(row, column))
        width = std::max(width, table->fontMetrics().horizontalAdvance(item->text()));
    width += 24;  // the cell's and the heading's margins
    header->resizeSection(column, width);
    total += width;
  }
  header->setStretchLastSection(true);
  table->setMinimumWidth(total + 2 * table->frameWidth());
}

void SetCell(QTableWidget* table, int row, int column, const std::string& text) {
  auto* item = new QTableWidgetItem(QString::fromStdString(text));
  item->setTextAlignment(column == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
  table->setItem(row, column, item);
}

std::string ImpedanceText(Cx z) {
  return FormatFixed(z.real(), 3) + (z.imag() < 0 ? " − j " : " + j ") + FormatFixed(std::fabs(z.imag()), 3);
}

// A matched port reflects nothing: its return loss is a rounding residue
// of hundreds of dB, which reads better as a bound.
std::string ReturnLossText(double db) { return db >= kMatchedReturnLossDb ? "> " + FormatFixed(kMatchedReturnLossDb, 0) : FormatFixed(db, 2); }

// The rows of the comparison: a name and the text of each design's value.
struct FigureRow {
  const char* name;
  std::string (*text)(const DesignFigures&);
};
const FigureRow kFigureRows[] = {
    {"Zitot [ohm]", [](const DesignFigures& f) { return ImpedanceText(f.zitot); }},
    {"Zotot [ohm]", [](const DesignFigures& f) { return ImpedanceText(f.zotot); }},
    {"Perdita di ritorno in ingresso [dB]", [](const DesignFigures& f) { return ReturnLossText(f.inputReturnLossDb); }},
    {"Perdita di ritorno in uscita [dB]", [](const DesignFigures& f) { return ReturnLossText(f.outputReturnLossDb); }},
    {"GT [dB]", [](const DesignFigures& f) { return FormatFixed(f.gainDb, 3); }},
};

}  // namespace

PreferredValuesWindow::PreferredValuesWindow(AnalysedDesign design, QWidget* parent)
    : QWidget(parent, Qt::Window), design_(std::move(design)) {
  setObjectName(QStringLiteral("PreferredValuesWindow"));
  setWindowTitle(QStringLiteral("Valori commerciali — ") + design_.caption);
  series_ = new QComboBox;
  series_->setObjectName(QStringLiteral("series"));
  series_->setAccessibleName(QStringLiteral("serie dei valori commerciali"));
  for (ESeries s : kSeries) series_->addItem(QString::fromLatin1(SeriesName(s)));
  series_->setCurrentIndex(1);
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("Serie")));
  top->addWidget(series_);
  top->addStretch();
  elements_ = Table("elements", {QStringLiteral("Elemento"), QStringLiteral("Progetto"),
                                 QStringLiteral("Valore commerciale"), QStringLiteral("Errore [%]")}, 6);
  figures_ = Table("figures", {QStringLiteral("Alla frequenza di progetto"), QStringLiteral("Progetto esatto"),
                               QStringLiteral("Valori commerciali")},
                   static_cast<int>(std::size(kFigureRows)));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(new QLabel(QStringLiteral("Elementi delle reti di adattamento")));
  layout->addWidget(elements_, 3);
  layout->addWidget(new QLabel(QStringLiteral("L'amplificatore finito, ricalcolato con i valori commerciali")));
  layout->addWidget(figures_, 3);
  setMinimumWidth(520);
  resize(FittedSize(QSize(680, 520)));
  connect(series_, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
  refresh();
}

void PreferredValuesWindow::selectSeries(ESeries series) { series_->setCurrentIndex(static_cast<int>(series)); }

void PreferredValuesWindow::refresh() {
  const ESeries series = kSeries[std::clamp(series_->currentIndex(), 0, 3)];
  rounded_ = RoundDesign(design_.design, series);
  const AmplifierDesign& d = design_.design;
  for (int i = 0; i < 6; ++i) {
    const Side side = i < 3 ? Side::Input : Side::Output;
    const NetworkKind kind = i < 3 ? d.input.kind : d.output.kind;
    const std::string unit = std::string(" ") + ElementUnit(kind, i % 3);
    const PreferredValue& v = rounded_.values[static_cast<std::size_t>(i)];
    SetCell(elements_, i, 0, ElementName(side, kind, i % 3) + (" [" + unit.substr(1) + "]"));
    SetCell(elements_, i, 1, FormatSignificant(v.exact, 5) + unit);
    SetCell(elements_, i, 2, FormatSignificant(v.rounded, 3) + unit);
    SetCell(elements_, i, 3, FormatFixed(v.errorPercent, 2));
  }
  for (int row = 0; row < static_cast<int>(std::size(kFigureRows)); ++row) {
    SetCell(figures_, row, 0, kFigureRows[row].name);
    SetCell(figures_, row, 1, rounded_.exact ? kFigureRows[row].text(*rounded_.exact) : "non calcolabile");
    SetCell(figures_, row, 2, rounded_.rounded ? kFigureRows[row].text(*rounded_.rounded) : "non calcolabile");
  }
  FitColumns(elements_);
  FitColumns(figures_);
}
