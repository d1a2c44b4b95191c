#include "gui/response_window.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <charconv>

#include "export/exports.h"
#include "analysis/preferred_values.h"
#include "gui/figure_view.h"

// The sweep's numbers as the table shows them; the model reads the window's
// result, so 100001 points cost no widgets.
class SweepTableModel : public QAbstractTableModel {
 public:
  explicit SweepTableModel(QObject* parent) : QAbstractTableModel(parent) {}
  void setSweep(const SweepResult* sweep) {
    beginResetModel();
    sweep_ = sweep;
    endResetModel();
  }
  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() || !sweep_ ? 0 : static_cast<int>(sweep_->points.size());
  }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(ResponseColumnTitles().size());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!sweep_ || !index.isValid()) return {};
    if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    const std::vector<double> row = ResponseRow(sweep_->points[static_cast<std::size_t>(index.row())]);
    const double v = row[static_cast<std::size_t>(index.column())];
    return QString::fromStdString(index.column() == 0 ? FormatSignificant(v, 8) : FormatFixed(v, 3));
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    const auto titles = ResponseColumnTitles();
    // The unit on a line of its own, so a narrow window cuts no heading.
    return QString::fromStdString(titles[static_cast<std::size_t>(section)])
        .replace(QStringLiteral(" ["), QStringLiteral("\n["));
  }

 private:
  const SweepResult* sweep_ = nullptr;
};

namespace {

constexpr ESeries kSeries[] = {ESeries::E6, ESeries::E12, ESeries::E24, ESeries::E96};

// A number as typed, "." or "," as the separator; nullopt unless the whole
// text is one finite number.
std::optional<double> ReadNumber(const QLineEdit* edit) {
  std::string text = edit->text().trimmed().toStdString();
  for (char& c : text)
    if (c == ',') c = '.';
  if (text.empty()) return std::nullopt;
  double value = 0;
  const char* begin = text.data() + (text.front() == '+' ? 1 : 0);
  const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

QLineEdit* NumberEdit(const char* name, const QString& accessible) {
  auto* edit = new QLineEdit;
  edit->setObjectName(QString::fromLatin1(name));
  edit->setAccessibleName(accessible);
  edit->setMaximumWidth(110);
  return edit;
}

QPushButton* Button(const QString& text, const char* name) {
  auto* button = new QPushButton(text);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  return button;
}

}  // namespace

ResponseWindow::ResponseWindow(AnalysedDesign design, QWidget* parent)
    : QWidget(parent, Qt::Window), design_(std::move(design)) {
  setObjectName(QStringLiteral("ResponseWindow"));
  setWindowTitle(QStringLiteral("Risposta in frequenza — ") + design_.caption);
  SweepSource source = DefaultSweepSource(design_.design, design_.source.touchstone);
  fromFile_ = source.fromFile;
  transistor_ = std::move(source.transistor);
  plan_ = source.plan;

  from_ = NumberEdit("sweepFrom", QStringLiteral("frequenza iniziale [MHz]"));
  to_ = NumberEdit("sweepTo", QStringLiteral("frequenza finale [MHz]"));
  points_ = NumberEdit("sweepPoints", QStringLiteral("numero di punti"));
  scale_ = new QComboBox;
  scale_->setObjectName(QStringLiteral("sweepScale"));
  scale_->addItems({QStringLiteral("lineare"), QStringLiteral("logaritmica")});
  scale_->setAccessibleName(QStringLiteral("scala delle frequenze"));
  auto* apply = Button(QStringLiteral("Ricalcola"), "applySweep");
  overlay_ = new QCheckBox(QStringLiteral("Sovrapponi il progetto con valori commerciali"));
  overlay_->setObjectName(QStringLiteral("roundedOverlay"));
  series_ = new QComboBox;
  series_->setObjectName(QStringLiteral("roundedSeries"));
  for (ESeries s : kSeries) series_->addItem(QString::fromLatin1(SeriesName(s)));
  series_->setCurrentIndex(1);
  series_->setAccessibleName(QStringLiteral("serie dei valori commerciali"));
  auto* png = Button(QStringLiteral("PNG…"), "exportPng");
  auto* svg = Button(QStringLiteral("SVG…"), "exportSvg");
  auto* csv = Button(QStringLiteral("CSV…"), "exportCsv");

  auto* controls = new QHBoxLayout;
  controls->addWidget(new QLabel(QStringLiteral("Da [MHz]")));
  controls->addWidget(from_);
  controls->addWidget(new QLabel(QStringLiteral("a [MHz]")));
  controls->addWidget(to_);
  controls->addWidget(new QLabel(QStringLiteral("Punti")));
  controls->addWidget(points_);
  controls->addWidget(new QLabel(QStringLiteral("Scala")));
  controls->addWidget(scale_);
  controls->addWidget(apply);
  controls->addStretch();
  auto* extras = new QHBoxLayout;
  extras->addWidget(overlay_);
  extras->addWidget(series_);
  extras->addStretch();
  extras->addWidget(new QLabel(QStringLiteral("Esporta:")));
  extras->addWidget(png);
  extras->addWidget(svg);
  extras->addWidget(csv);

  view_ = new FigureView;
  view_->setObjectName(QStringLiteral("figure"));
  view_->setAccessibleName(QStringLiteral("grafico della risposta in frequenza"));
  view_->setHoverReadout([this](int panel, FigPoint at) { return readout(panel, at); });
  model_ = new SweepTableModel(this);
  table_ = new QTableView;
  table_->setObjectName(QStringLiteral("table"));
  table_->setModel(model_);
  // Fitting columns to their contents would read every row of a long sweep.
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->setAccessibleName(QStringLiteral("tabella della risposta in frequenza"));
  auto* tabs = new QTabWidget;
  tabs->setObjectName(QStringLiteral("tabs"));
  tabs->addTab(view_, QStringLiteral("Grafico"));
  tabs->addTab(table_, QStringLiteral("Tabella"));

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(controls);
  layout->addLayout(extras);
  layout->addWidget(tabs, 1);
  // No narrower than the controls' rows need, so no caption is cut; low
  // enough for a 1600 x 1000 screen at scale 2.
  setMinimumSize(minimumSizeHint().expandedTo(QSize(600, 440)));
  resize(FittedSize(QSize(980, 760)));

  connect(apply, &QPushButton::clicked, this, [this] { applySweep(); });
  for (QLineEdit* edit : {from_, to_, points_}) connect(edit, &QLineEdit::returnPressed, this, [this] { applySweep(); });
  connect(scale_, &QComboBox::activated, this, [this] { applySweep(); });
  connect(overlay_, &QCheckBox::toggled, this, [this] { applySweep(); });
  connect(series_, &QComboBox::activated, this, [this] { applySweep(); });
  connect(png, &QPushButton::clicked, this,
          [this] { ExportFigure(this, figure(), view_->size().expandedTo(QSize(900, 650)), ImageFormat::Png, fileBase()); });
  connect(svg, &QPushButton::clicked, this,
          [this] { ExportFigure(this, figure(), view_->size().expandedTo(QSize(900, 650)), ImageFormat::Svg, fileBase()); });
  connect(csv, &QPushButton::clicked, this, [this] {
    ExportText(this, QStringLiteral("Esporta i dati come CSV"), QStringLiteral("Testo CSV (*.csv)"),
               fileBase() + QStringLiteral(".csv"), ResponseCsv(sweep_));
  });

  showPlan(plan_);
  applySweep();
}

const Figure& ResponseWindow::figure() const { return view_->figure(); }

void ResponseWindow::showPlan(const SweepPlan& plan) {
  from_->setText(QString::fromStdString(FormatSignificant(plan.fromMHz, 10)));
  to_->setText(QString::fromStdString(FormatSignificant(plan.toMHz, 10)));
  points_->setText(QString::number(plan.points));
  scale_->setCurrentIndex(plan.scale == SweepScale::Logarithmic ? 1 : 0);
}

std::optional<SweepPlan> ResponseWindow::readPlan() {
  const auto from = ReadNumber(from_), to = ReadNumber(to_), points = ReadNumber(points_);
  if (!from) return ShowMessage("La frequenza iniziale non è un numero"), std::nullopt;
  if (!to) return ShowMessage("La frequenza finale non è un numero"), std::nullopt;
  if (!points || *points != std::floor(*points) || std::fabs(*points) > 1e9)
    return ShowMessage("Il numero di punti deve essere un numero intero"), std::nullopt;
  SweepPlan plan{*from, *to, static_cast<int>(*points),
                 scale_->currentIndex() == 1 ? SweepScale::Logarithmic : SweepScale::Linear};
  if (const std::string problem = CheckSweep(plan); !problem.empty()) return ShowMessage(problem), std::nullopt;
  return plan;
}

bool ResponseWindow::applySweep() {
  const std::optional<SweepPlan> plan = readPlan();
  if (!plan) return false;
  SweepResult sweep = RunSweep(design_.design, transistor_, *plan);
  if (sweep.points.empty()) {
    ShowMessage("Nessuna frequenza della scansione si può calcolare: scegliere un altro intervallo");
    return false;
  }
  std::optional<SweepResult> rounded;
  const ESeries series = kSeries[std::clamp(series_->currentIndex(), 0, 3)];
  if (overlay_->isChecked()) rounded = RunSweep(RoundDesign(design_.design, series).design, transistor_, *plan);
  plan_ = *plan;
  sweep_ = std::move(sweep);
  rounded_ = std::move(rounded);
  model_->setSweep(&sweep_);
  view_->setFigure(BuildResponseFigure({.design = &design_.design, .sweep = &sweep_, .scale = plan_.scale,
                                        .caption = design_.caption.toStdString(), .constantTransistor = !fromFile_,
                                        .rounded = rounded_ ? &*rounded_ : nullptr,
                                        .roundedSeries = SeriesName(series)}));
  return true;
}

std::string ResponseWindow::readout(int, FigPoint at) const { return ResponseReadout(sweep_, at.x); }

QString ResponseWindow::fileBase() const {
  return QStringLiteral("risposta_") +
         QString::fromStdString(DesignFileStem(design_.design, design_.source.touchstonePath));
}
