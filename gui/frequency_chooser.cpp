#include "gui/frequency_chooser.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QRadioButton>
#include <QStyle>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QGuiApplication>
#include <QTableView>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "figures/figure.h"
#include "forms/services.h"
#include "gui/dialogs.h"
#include "gui/figure_view.h"
#include "gui/qt_ui.h"
#include "model/quantities.h"
#include "text/number_text.h"

namespace {

enum Column { kFreq, kS11Mag, kS11Deg, kS21Mag, kS21Deg, kS12Mag, kS12Deg, kS22Mag, kS22Deg,
              kK, kDelta, kMu, kGain, kAloneColumns };
constexpr int kFeedbackColumns = 4;  // K, |Δ|, μ, MAG/MSG with the feedback
// Two panels of μ and MAG/MSG with room for a few tick values each.
constexpr int kPlotLeastHeight = 220, kPlotLeastWidth = 260, kPlotThreePanelsHeight = 300;

const char* const kHeaders[kAloneColumns] = {
    "f [MHz]", "|S11|", "∠S11 [°]", "|S21|", "∠S21 [°]", "|S12|", "∠S12 [°]", "|S22|", "∠S22 [°]",
    "K", "|Δ|", "μ", "MAG/MSG [dB]"};

const QColor kMatchable(200, 240, 200);

// The chooser's own buttons for the input window's four feedback options,
// in the order of FeedbackChoice, and the fields their values are typed in.
const char* const kOptionTexts[] = {"Rf", "Rf // Lf", "Rf // Cf", "nessuna"};
constexpr Quantity kFeedbackFields[] = {Quantity::RfKohm, Quantity::LfMicroH, Quantity::CfPicoF};

// The input window's option: 1 to 4, 0 when none is selected.
int InputWindowOption() {
  for (const FeedbackOptionSpec& o : kFeedbackOptions)
    if (IsOptionSelected(FormId::Form1, o.control)) return static_cast<int>(o.choice);
  return 0;
}

QString Text(const std::string& s) { return QString::fromStdString(s); }
QString Significant(double v) { return Text(FormatSignificant(v, 6)); }

QString FrequencyText(double fMHz) {
  try {
    return Text(ShortestNumberText(fMHz));
  } catch (const std::exception&) {
    return {};
  }
}

QString FigureText(const std::optional<StabilityFigures>& s, int column) {
  if (!s) return QStringLiteral("—");
  switch (column) {
    case 0: return s->kDefined ? Significant(s->k) : QStringLiteral("non definito");
    case 1: return Significant(std::abs(s->delta));
    case 2: return Significant(s->mu);
    default: return Text(GainText(s));
  }
}

double FieldOf(const SParamFields& f, int column) {
  const double values[] = {f.fMHz,   f.s11Mag, f.s11Deg, f.s21Mag, f.s21Deg,
                           f.s12Mag, f.s12Deg, f.s22Mag, f.s22Deg};
  return values[column];
}

// The noise block as the file gives it.
class NoiseTableModel : public QAbstractTableModel {
 public:
  NoiseTableModel(const std::vector<NoisePoint>& noise, QObject* parent)
      : QAbstractTableModel(parent), noise_(noise) {}
  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(noise_.size());
  }
  int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 5; }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    const NoisePoint& n = noise_[static_cast<std::size_t>(index.row())];
    const double values[] = {n.fMHz, n.nfMinDb, n.gammaOptMag, n.gammaOptDeg, n.rnNormalized};
    return index.column() == 0 ? FrequencyText(values[0]) : Significant(values[index.column()]);
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    static const char* const headers[] = {"f [MHz]", "NFmin [dB]", "|Γopt|", "∠Γopt [°]", "Rn/Ro"};
    return QString::fromUtf8(headers[section]);
  }

 private:
  const std::vector<NoisePoint>& noise_;
};

QTableView* MakeTable(QAbstractItemModel* model, QWidget* parent) {
  auto* table = new QTableView(parent);
  table->setModel(model);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Fixed row heights: no row is measured, whatever the count.
  table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  table->horizontalHeader()->setDefaultSectionSize(table->fontMetrics().horizontalAdvance(QStringLiteral("-0.0000000")) + 12);
  return table;
}

QString SummaryOf(const TouchstoneData& data, const QString& fileName) {
  const auto& p = data.records;
  return QStringLiteral("%1: %2 frequenze da %3 a %4 MHz, Ro = %5 ohm, formato %6, Touchstone %7")
      .arg(fileName)
      .arg(p.size())
      .arg(FrequencyText(p.front().fMHz), FrequencyText(p.back().fMHz), FrequencyText(data.referenceOhm),
           QString::fromLatin1(PairFormatName(data.format)),
           data.version == 2 ? QStringLiteral("2.0") : QStringLiteral("1"));
}

}  // namespace

FrequencyTableModel::FrequencyTableModel(const TouchstoneData& data, std::optional<ChooserFeedback> feedback,
                                         QObject* parent)
    : QAbstractTableModel(parent), data_(data), feedback_(std::move(feedback)) {}

int FrequencyTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(data_.records.size());
}

int FrequencyTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : NoiseColumn() + NoiseColumns();
}

void FrequencyTableModel::setFeedback(std::optional<ChooserFeedback> feedback) {
  feedback_ = std::move(feedback);
  cachedRow_ = -1;
  emit headerDataChanged(Qt::Horizontal, kAloneColumns, columnCount() - 1);
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

// NFmin of the transistor, and with the feedback, after every other column
// when the file has a noise block. The feedback's columns are always there
// ("—" without a feedback), so the table keeps its shape when the option changes.
int FrequencyTableModel::NoiseColumn() const { return kAloneColumns + kFeedbackColumns; }
int FrequencyTableModel::NoiseColumns() const { return data_.noise.empty() ? 0 : 2; }

const RowFigures& FrequencyTableModel::Figures(int row) const {
  if (row != cachedRow_) {
    cached_ = FiguresOfRow(data_, static_cast<std::size_t>(row), feedback_);
    cachedRow_ = row;
  }
  return cached_;
}

QVariant FrequencyTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int column = index.column();
  if (role == Qt::BackgroundRole)
    return Figures(index.row()).matchable ? QVariant(kMatchable) : QVariant();
  if (role == Qt::TextAlignmentRole) return int(Qt::AlignRight | Qt::AlignVCenter);
  if (role != Qt::DisplayRole) return {};
  if (column < kK) {
    const SParamFields fields = FieldsAtPoint(data_, static_cast<std::size_t>(index.row()));
    return column == kFreq ? FrequencyText(fields.fMHz) : Significant(FieldOf(fields, column));
  }
  const RowFigures& figures = Figures(index.row());
  if (column >= NoiseColumn()) {
    const std::optional<double>& nf = column == NoiseColumn() ? figures.nfMinDb : figures.nfMinWithFeedbackDb;
    return nf ? Text(FormatFixed(*nf, 2)) : QStringLiteral("—");
  }
  if (column < kAloneColumns) return FigureText(figures.alone, column - kK);
  return FigureText(figures.withFeedback, column - kAloneColumns);
}

QVariant FrequencyTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section < kAloneColumns) return QString::fromUtf8(kHeaders[section]);
  const QString withFeedback =
      feedback_ ? QStringLiteral("\ncon ") + Text(feedback_->name) : QStringLiteral("\ncon retroazione");
  if (section == NoiseColumn()) return QStringLiteral("NFmin [dB]");
  if (section > NoiseColumn()) return QStringLiteral("NFmin [dB]") + withFeedback;
  return QString::fromUtf8(kHeaders[kK + section - kAloneColumns]) + withFeedback;
}

FrequencyChooser::FrequencyChooser(const TouchstoneData& data, const QString& fileName,
                                   std::optional<ChooserFeedback> feedback, QWidget* parent)
    : QDialog(parent), data_(data), feedback_(feedback) {
  setObjectName(QStringLiteral("FrequencyChooser"));
  setWindowTitle(QStringLiteral("Scegli la frequenza"));
  // As large as the table wants, within the screen at any scale factor. On
  // a screen with little height (a small one, or any at scale 2) the plot
  // stands beside the table instead of above it, so that both keep a
  // readable height, and the noise block gives up room to the table.
  const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
  const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 1180, 760);
  const bool small = room.height() < 700;
  auto* layout = new QVBoxLayout(this);
  auto* summary = new QLabel(SummaryOf(data, fileName), this);
  summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
  summary->setWordWrap(true);
  layout->addWidget(summary);

  plot_ = new FigureView(this);
  plot_->setObjectName(QStringLiteral("ChooserPlot"));
  plot_->setMinimumHeight(kPlotLeastHeight);
  plot_->setMinimumWidth(kPlotLeastWidth);
  // The plot, the table and the noise block share what room there is, and
  // the user can move the handles between them.
  auto* splitter = new QSplitter(small ? Qt::Horizontal : Qt::Vertical, this);
  splitter->setObjectName(QStringLiteral("ChooserSplitter"));
  splitter->setChildrenCollapsible(false);
  splitter->addWidget(plot_);
  layout->addWidget(splitter, 1);
  QSplitter* lists = splitter;  // the table and the noise block
  if (small) {
    lists = new QSplitter(Qt::Vertical, splitter);
    lists->setObjectName(QStringLiteral("ChooserListSplitter"));
    lists->setChildrenCollapsible(false);
    splitter->addWidget(lists);
  }

  auto* tableBlock = new QWidget(lists);
  tableLayout_ = new QVBoxLayout(tableBlock);
  auto* tableLayout = tableLayout_;
  tableLayout->setContentsMargins(0, 0, 0, 0);
  legend_ = new QLabel(tableBlock);
  legend_->setObjectName(QStringLiteral("ChooserLegend"));
  legend_->setWordWrap(true);
  tableLayout->addWidget(legend_);

  model_ = new FrequencyTableModel(data, std::move(feedback), this);
  table_ = MakeTable(model_, this);
  table_->setObjectName(QStringLiteral("FrequencyTable"));
  table_->setAccessibleName(QStringLiteral("frequenze del file"));
  FitColumns();
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->setMinimumHeight(table_->horizontalHeader()->sizeHint().height() +
                           2 * table_->verticalHeader()->defaultSectionSize() + 2 * table_->frameWidth());
  tableLayout->addWidget(table_, 1);
  lists->addWidget(tableBlock);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 5);
  if (lists != splitter) lists->setStretchFactor(0, 1);

  int noiseHeight = 0;
  if (!data.noise.empty()) {
    auto* noiseBlock = new QWidget(lists);
    auto* noiseLayout = new QVBoxLayout(noiseBlock);
    noiseLayout->setContentsMargins(0, 0, 0, 0);
    noiseLayout->addWidget(new QLabel(QStringLiteral("Parametri di rumore del file:"), noiseBlock));
    QTableView* noise = MakeTable(new NoiseTableModel(data.noise, noiseBlock), noiseBlock);
    noise->setObjectName(QStringLiteral("NoiseTable"));
    noise->setAccessibleName(QStringLiteral("parametri di rumore"));
    noise->setSelectionMode(QAbstractItemView::NoSelection);
    // Up to four rows without scrolling at first; a long block scrolls, and
    // the handle above gives it more.
    const auto height = [&](int rows) {
      return noise->horizontalHeader()->sizeHint().height() + rows * noise->verticalHeader()->defaultSectionSize() +
             2 * noise->frameWidth() + 2;
    };
    noise->setMinimumHeight(height(1));
    noise->setMaximumHeight(height(static_cast<int>(data.noise.size())));
    noiseHeight = height(std::min<int>(static_cast<int>(data.noise.size()), small ? 1 : 4)) +
                  noiseBlock->layout()->itemAt(0)->sizeHint().height() + noiseLayout->spacing();
    noiseLayout->addWidget(noise);
    lists->addWidget(noiseBlock);
  }

  auto* note = new QLabel(
      QStringLiteral("Scegliere una riga, oppure scrivere una frequenza compresa nel file: tra due "
                     "frequenze del file i parametri S sono interpolati linearmente nelle parti reale e "
                     "immaginaria."),
      this);
  note->setWordWrap(true);
  layout->addWidget(note);
  auto* row = new QHBoxLayout;
  auto* label = new QLabel(QStringLiteral("Frequenza [MHz]:"), this);
  frequency_ = new QLineEdit(this);
  frequency_->setObjectName(QStringLiteral("ChooserFrequency"));
  frequency_->setAccessibleName(QStringLiteral("frequenza scelta [MHz]"));
  label->setBuddy(frequency_);
  row->addWidget(label);
  row->addWidget(frequency_, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  row->addWidget(buttons);
  layout->addLayout(row);

  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this] { ShowRowFrequency(); });
  connect(table_, &QTableView::doubleClicked, this, [this] { accept(); });
  connect(frequency_, &QLineEdit::textEdited, this, [this] { chosen_.reset(); });

  table_->selectRow(0);
  SetFeedback(feedback_);
  resize(std::min(1180, room.width() - 40), std::min(760, room.height() - 60));
  // The noise block as tall as its first rows need, the rest two parts plot
  // to three parts table (in width, with the plot beside the table).
  layout->activate();
  const auto share = [](int whole) { return QList<int>{2 * whole / 5, whole - 2 * whole / 5}; };
  if (small) {
    splitter->setSizes(share(splitter->width() - splitter->handleWidth()));
    const int table = lists->height() - noiseHeight - (lists->count() - 1) * lists->handleWidth();
    lists->setSizes(noiseHeight > 0 ? QList<int>{table, noiseHeight} : QList<int>{table});
  } else {
    QList<int> sizes =
        share(splitter->height() - noiseHeight - (splitter->count() - 1) * splitter->handleWidth());
    // With noise data the plot has three panels: room for each to keep 60
    // pixels of plot (in 2/5 of a 760-pixel window they had 40).
    if (noiseHeight > 0 && sizes[0] < kPlotThreePanelsHeight) {
      sizes[1] -= kPlotThreePanelsHeight - sizes[0];
      sizes[0] = kPlotThreePanelsHeight;
    }
    if (noiseHeight > 0) sizes.append(noiseHeight);
    splitter->setSizes(sizes);
  }
}

void FrequencyChooser::ShowRowFrequency() {
  chosen_.reset();
  const int row = table_->currentIndex().row();
  if (row < 0) return;
  frequency_->setText(FrequencyText(data_.records[static_cast<std::size_t>(row)].fMHz));
  RedrawPlot();
}

// The plot of the feedback shown, with a line at the selected row.
void FrequencyChooser::RedrawPlot() {
  Figure figure = ChooserFigure(data_, feedback_);
  if (const int row = table_->currentIndex().row(); row >= 0) {
    const double f = data_.records[static_cast<std::size_t>(row)].fMHz;
    for (Panel& panel : figure.panels) panel.lines = {{.x = f, .label = "", .colour = {80, 80, 80}}};
  }
  plot_->setFigure(std::move(figure));
}

void FrequencyChooser::SetFeedback(std::optional<ChooserFeedback> feedback) {
  feedback_ = std::move(feedback);
  model_->setFeedback(feedback_);
  QString legend = QStringLiteral("Righe in verde: esiste l'adattamento coniugato simultaneo (μ > 1)");
  if (feedback_) legend += QStringLiteral(" con la retroazione ") + Text(feedback_->name);
  else legend += QStringLiteral(" senza retroazione");
  legend_->setText(legend + QStringLiteral("."));
  FitColumns();
  RedrawPlot();
}

// Each column as wide as its heading's longest line and the widest value of
// its first rows (and of a long negative number), so nothing is cut.
void FrequencyChooser::FitColumns() {
  QHeaderView* header = table_->horizontalHeader();
  const QFontMetrics headerMetrics(header->font()), cellMetrics(table_->font());
  const int padding = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 12;
  const int rows = std::min(model_->rowCount(), 64);
  for (int column = 0; column < model_->columnCount(); ++column) {
    int width = cellMetrics.horizontalAdvance(QStringLiteral("-0.0000000"));
    for (const QString& line :
         model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString().split(u'\n'))
      width = std::max(width, headerMetrics.horizontalAdvance(line));
    for (int row = 0; row < rows; ++row)
      width = std::max(width, cellMetrics.horizontalAdvance(model_->index(row, column).data().toString()));
    header->resizeSection(column, std::max(header->sectionSize(column), width + padding));
  }
}

void FrequencyChooser::SyncWithInputWindow() {
  if (!FormWidget(FormId::Form1)) return;
  const int option = InputWindowOption();
  for (QAbstractButton* button : options_->buttons()) {
    const QSignalBlocker quiet(button);
    button->setChecked(options_->id(button) == option);
  }
  SetFeedback(InputWindowFeedback());
}

void FrequencyChooser::FollowInputWindow() {
  if (options_ || !FormWidget(FormId::Form1)) return;
  auto* row = new QHBoxLayout;
  auto* label = new QLabel(QStringLiteral("Retroazione:"), this);
  label->setToolTip(QStringLiteral("La stessa scelta della finestra dei dati"));
  row->addWidget(label);
  options_ = new QButtonGroup(this);
  for (const FeedbackOptionSpec& o : kFeedbackOptions) {
    const int i = static_cast<int>(o.choice);
    auto* option = new QRadioButton(QString::fromUtf8(kOptionTexts[i - 1]), this);
    option->setObjectName(QStringLiteral("ChooserOption%1").arg(i));
    options_->addButton(option, i);
    row->addWidget(option);
  }
  row->addStretch();
  tableLayout_->insertLayout(1, row);
  // A choice here is the user's click on the input window's option, its
  // display action included.
  connect(options_, &QButtonGroup::idClicked, this, [](int id) {
    const char* control = ControlOf(static_cast<FeedbackChoice>(id));
    if (auto* option = qobject_cast<QAbstractButton*>(FindControl(FormId::Form1, control))) option->click();
  });
  for (const FeedbackOptionSpec& o : kFeedbackOptions)
    if (auto* option = qobject_cast<QAbstractButton*>(FindControl(FormId::Form1, o.control)))
      connect(option, &QAbstractButton::toggled, this, [this] { SyncWithInputWindow(); });
  for (Quantity q : kFeedbackFields)
    if (auto* field = qobject_cast<QLineEdit*>(FindControl(FormId::Form1, ControlOf(q))))
      connect(field, &QLineEdit::textChanged, this, [this] { SyncWithInputWindow(); });
  SyncWithInputWindow();
}

std::optional<SParamFields> FrequencyChooser::PickRow(long long row) {
  if (row < 0 || row >= static_cast<long long>(data_.records.size())) {
    ShowMessage("Il file ha " + std::to_string(data_.records.size()) + " frequenze: la riga " +
                std::to_string(row + 1) + " non esiste");
    return std::nullopt;
  }
  table_->selectRow(static_cast<int>(row));
  chosen_ = FieldsAtPoint(data_, static_cast<std::size_t>(row));
  return chosen_;
}

std::optional<SParamFields> FrequencyChooser::PickFrequency(double fMHz) {
  auto fields = FieldsAtFrequency(data_, fMHz);
  if (const auto* message = std::get_if<std::string>(&fields)) {
    ShowMessage(*message);
    return std::nullopt;
  }
  frequency_->setText(FrequencyText(fMHz));
  chosen_ = std::get<SParamFields>(fields);
  return chosen_;
}

std::optional<SParamFields> FrequencyChooser::PickAnswer(const std::string& answer) {
  const QString text = QString::fromStdString(answer).trimmed();
  const QString word = text.section(u' ', 0, 0);
  const QString value = text.section(u' ', 1).trimmed();
  bool ok = false;
  if (word == QLatin1String("row")) {
    const long long row = value.toLongLong(&ok);
    if (ok) return PickRow(row - 1);
  } else if (word == QLatin1String("freq")) {
    const double f = QLocale::c().toDouble(value, &ok);
    if (ok && std::isfinite(f)) return PickFrequency(f);
  }
  return std::nullopt;
}

void FrequencyChooser::accept() {
  if (!chosen_) {
    const QString text = frequency_->text().trimmed();
    const int row = table_->currentIndex().row();
    bool ok = false;
    const double f = QLocale::c().toDouble(text, &ok);
    if (row >= 0 && text == FrequencyText(data_.records[static_cast<std::size_t>(row)].fMHz))
      PickRow(row);
    else if (ok && std::isfinite(f))
      PickFrequency(f);
    else
      ShowMessage(text.isEmpty() ? "Scegliere una riga o scrivere una frequenza in MHz"
                                 : "La frequenza \"" + text.toStdString() + "\" non è un numero valido");
  }
  if (chosen_) QDialog::accept();
}

std::optional<ChooserFeedback> InputWindowFeedback() {
  return FeedbackOfTexts(InputWindowOption(), ReadText(FormId::Form1, ControlOf(Quantity::RfKohm)),
                         ReadText(FormId::Form1, ControlOf(Quantity::LfMicroH)),
                         ReadText(FormId::Form1, ControlOf(Quantity::CfPicoF)));
}

std::optional<SParamFields> ChooseFrequency(QWidget* parent, const TouchstoneData& data, const QString& fileName,
                                            const std::optional<ChooserFeedback>& feedback) {
  FrequencyChooser dialog(data, fileName, feedback, parent);
  dialog.FollowInputWindow();
  const bool accepted =
      ExecDialog(dialog, [&](const std::string& answer) { return dialog.PickAnswer(answer).has_value(); });
  return accepted ? dialog.chosen() : std::nullopt;
}
