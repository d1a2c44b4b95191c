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


#include "export/exports.h"
#include "analysis/preferred_values.h"
#include "gui/figure_view.h"
#include "gui/noise_settings.h"

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

QLineEdit* NumberEdit(const char* name, const QString& accessible) {
  auto* edit = new QLineEdit;
  edit->setObjectName(QString::fromLatin1(name));
  edit->setAccessibleName(accessible);
  edit->setMaximumWidth(110);
  return edit;
}

// Q as the field shows it: empty for an ideal element.
QString QText(double q) { return std::isinf(q) ? QString() : QString::fromStdString(FormatSignificant(q, 10)); }

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
  auto* apply = WindowButton(QStringLiteral("Ricalcola"), "applySweep");
  overlay_ = new QCheckBox(QStringLiteral("Sovrapponi il progetto con valori commerciali"));
  overlay_->setObjectName(QStringLiteral("roundedOverlay"));
  series_ = new QComboBox;
  series_->setObjectName(QStringLiteral("roundedSeries"));
  for (ESeries s : kSeries) series_->addItem(QString::fromLatin1(SeriesName(s)));
  series_->setCurrentIndex(1);
  series_->setAccessibleName(QStringLiteral("serie dei valori commerciali"));
  qInductors_ = NumberEdit("qInductors", QStringLiteral("Q degli induttori"));
  qCapacitors_ = NumberEdit("qCapacitors", QStringLiteral("Q dei condensatori"));
  qInductors_->setMaximumWidth(80);
  qCapacitors_->setMaximumWidth(80);
  qInductors_->setPlaceholderText(QStringLiteral("ideale"));
  qCapacitors_->setPlaceholderText(QStringLiteral("ideale"));
  const QString qTip = QStringLiteral("Fattore di merito costante, perdita in serie; vuoto: elemento ideale");
  qInductors_->setToolTip(qTip);
  qCapacitors_->setToolTip(qTip);
  qInductors_->setText(QText(CurrentNoiseSettings().losses.inductorQ));
  qCapacitors_->setText(QText(CurrentNoiseSettings().losses.capacitorQ));
  auto* png = WindowButton(QStringLiteral("PNG…"), "exportPng");
  auto* svg = WindowButton(QStringLiteral("SVG…"), "exportSvg");
  auto* csv = WindowButton(QStringLiteral("CSV…"), "exportCsv");

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

  auto* losses = new QHBoxLayout;
  losses->addWidget(new QLabel(QStringLiteral("Perdite delle reti:  Q induttori")));
  losses->addWidget(qInductors_);
  losses->addWidget(new QLabel(QStringLiteral("Q condensatori")));
  losses->addWidget(qCapacitors_);
  losses->addWidget(new QLabel(QStringLiteral("(vuoto: ideali)")));
  losses->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(controls);
  layout->addLayout(extras);
  layout->addLayout(losses);
  layout->addWidget(tabs, 1);
  // No narrower than the controls' rows need, so no caption is cut; wide
  // and high enough for three panels whose legends fit inside their plots in
  // one or two rows; low enough for a 1600 x 1000 screen at scale 2 with its
  // window frame.
  setMinimumSize(minimumSizeHint().expandedTo(QSize(780, 470)));
  resize(FittedSize(QSize(980, 760)));

  connect(apply, &QPushButton::clicked, this, [this] { applySweep(); });
  for (QLineEdit* edit : {from_, to_, points_, qInductors_, qCapacitors_}) connect(edit, &QLineEdit::returnPressed, this, [this] { applySweep(); });
  connect(scale_, &QComboBox::activated, this, [this] { applySweep(); });
  connect(overlay_, &QCheckBox::toggled, this, [this] { applySweep(); });
  connect(series_, &QComboBox::activated, this, [this] { applySweep(); });
  connect(png, &QPushButton::clicked, this,
          [this] { ExportFigure(this, figure(), view_->size().expandedTo(QSize(900, 650)), ImageFormat::Png, fileBase()); });
  connect(svg, &QPushButton::clicked, this,
          [this] { ExportFigure(this, figure(), view_->size().expandedTo(QSize(900, 650)), ImageFormat::Svg, fileBase()); });
  connect(csv, &QPushButton::clicked, this, [this] {
    ExportText(this, QStringLiteral("Esporta i dati come CSV"), QStringLiteral("Testo CSV (*.csv)"),
               fileBase() + QStringLiteral(".csv"), ResponseCsv(sweep_, noiseSource_ ? &noise_ : nullptr));
  });
  // Noise data typed in a noise window, or a Q given in another response
  // window, change this one's curves too.
  OnNoiseSettingsChanged(this, [this] {
    if (applying_) return;
    qInductors_->setText(QText(CurrentNoiseSettings().losses.inductorQ));
    qCapacitors_->setText(QText(CurrentNoiseSettings().losses.capacitorQ));
    applySweep();
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
  const auto from = ReadNumberText(from_), to = ReadNumberText(to_), points = ReadNumberText(points_);
  if (!from) return ShowMessage("La frequenza iniziale non è un numero"), std::nullopt;
  if (!to) return ShowMessage("La frequenza finale non è un numero"), std::nullopt;
  if (!points || *points != std::floor(*points) || std::fabs(*points) > 1e9)
    return ShowMessage("Il numero di punti deve essere un numero intero"), std::nullopt;
  SweepPlan plan{*from, *to, static_cast<int>(*points),
                 scale_->currentIndex() == 1 ? SweepScale::Logarithmic : SweepScale::Linear};
  if (const std::string problem = CheckSweep(plan); !problem.empty()) return ShowMessage(problem), std::nullopt;
  return plan;
}

std::optional<ElementLosses> ResponseWindow::readLosses() {
  ElementLosses losses;
  double* const targets[2] = {&losses.inductorQ, &losses.capacitorQ};
  QLineEdit* const edits[2] = {qInductors_, qCapacitors_};
  for (int i = 0; i < 2; ++i) {
    if (edits[i]->text().trimmed().isEmpty()) continue;
    const std::optional<double> q = ReadNumberText(edits[i]);
    const std::string problem = q ? CheckQ(*q) : CheckQ(NAN);
    if (!problem.empty()) {
      ShowMessage(problem);
      edits[i]->setFocus();
      edits[i]->selectAll();
      return std::nullopt;
    }
    *targets[i] = *q;
  }
  return losses;
}

bool ResponseWindow::applySweep() {
  const std::optional<SweepPlan> plan = readPlan();
  if (!plan) return false;
  const std::optional<ElementLosses> losses = readLosses();
  if (!losses) return false;
  const ElementLosses& now = CurrentNoiseSettings().losses;
  if (now.inductorQ != losses->inductorQ || now.capacitorQ != losses->capacitorQ) {
    applying_ = true;
    SetElementLosses(*losses);
    applying_ = false;
  }
  design_.design.losses = *losses;
  const NoiseSource noise = NoiseSourceOf(design_.source, design_.design.Ro);
  NoisySweep noisy = RunNoisySweep(design_.design, transistor_, noise, *plan);
  SweepResult sweep = std::move(noisy.sweep);
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
  noise_ = std::move(noisy.noise);
  noiseSource_ = static_cast<bool>(noise);
  std::string origin = NoiseOriginOf(design_.source);
  if (!losses->ideal()) origin += ", con le perdite degli elementi (Q)";
  model_->setSweep(&sweep_);
  view_->setFigure(BuildResponseFigure({.design = &design_.design, .sweep = &sweep_, .scale = plan_.scale,
                                        .caption = design_.caption.toStdString(), .constantTransistor = !fromFile_,
                                        .rounded = rounded_ ? &*rounded_ : nullptr,
                                        .roundedSeries = SeriesName(series),
                                        .noise = noiseSource_ ? &noise_ : nullptr, .noiseOrigin = origin}));
  return true;
}

std::string ResponseWindow::readout(int, FigPoint at) const {
  return ResponseReadout(sweep_, at.x, noiseSource_ ? &noise_ : nullptr);
}

QString ResponseWindow::fileBase() const {
  return QStringLiteral("risposta_") +
         QString::fromStdString(DesignFileStem(design_.design, design_.source.touchstonePath));
}
