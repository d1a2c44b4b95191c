#include "gui/feedback_explorer_window.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPromise>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <charconv>
#include <cmath>

#include "figures/feedback_figure.h"
#include "gui/analysis_windows.h"
#include "gui/design_store.h"
#include "gui/dialogs.h"
#include "gui/figure_view.h"
#include "gui/menus.h"
#include "gui/qt_ui.h"
#include "model/arithmetic.h"
#include "session/session_output.h"
#include "model/quantities.h"
#include "text/number_text.h"
#include "text/utf16.h"

namespace {

// Thrown from the progress callback to stop every worker.
struct Cancelled {};

// The ranges a window opens with: Rf from 10 ohm to 100 kohm, Lf and Cf
// over four decades around what feedback of a UHF transistor uses.
ExplorerRange DefaultRange(SweptElement element) {
  switch (element) {
    case SweptElement::Rf: return {0.01, 100, 201};
    case SweptElement::Lf: return {0.001, 10, 201};
    case SweptElement::Cf: return {0.01, 100, 201};
  }
  return {};
}

// Wide enough for `sample` whatever the font and scale, no wider than needed.
QLineEdit* NumberEdit(const char* name, const QString& accessible, const QString& sample) {
  auto* edit = new QLineEdit;
  edit->setObjectName(QString::fromLatin1(name));
  edit->setAccessibleName(accessible);
  const int width = edit->fontMetrics().horizontalAdvance(sample) + 16;
  edit->setMinimumWidth(width);
  edit->setMaximumWidth(width + width / 2);
  return edit;
}

int InputWindowOption() {
  for (const FeedbackOptionSpec& f : kFeedbackOptions)
    if (IsOptionSelected(FormId::Form1, f.control)) return FeedbackOptionNumber(f.control);
  return 0;
}

// The number an input window field holds, nullopt when it holds none.
std::optional<double> FieldValue(const std::string& control) {
  try {
    return ParseNumber(ReadText(FormId::Form1, control));
  } catch (const ArithmeticFault&) {
    return std::nullopt;
  }
}

QString Text(const std::string& utf8) { return QString::fromUtf8(utf8.data(), static_cast<int>(utf8.size())); }

}  // namespace

FeedbackExplorerWindow::FeedbackExplorerWindow(ExplorerInput input, QWidget* parent)
    : QWidget(parent, Qt::Window), input_(std::move(input)) {
  setObjectName(QStringLiteral("FeedbackExplorerWindow"));
  field_ = new QComboBox;
  field_->setObjectName(QStringLiteral("sweptField"));
  field_->setAccessibleName(QStringLiteral("campo esplorato"));
  const auto chosen = static_cast<FeedbackChoice>(input_.base.feedbackOption);
  field_->addItem(chosen == FeedbackChoice::Rf     ? QStringLiteral("Rf")
                  : chosen == FeedbackChoice::RfLf ? QStringLiteral("Rf (Lf fisso)")
                                                   : QStringLiteral("Rf (Cf fisso)"),
                  static_cast<int>(SweptElement::Rf));
  if (chosen == FeedbackChoice::RfLf) field_->addItem(QStringLiteral("Lf (Rf fisso)"), static_cast<int>(SweptElement::Lf));
  if (chosen == FeedbackChoice::RfCf) field_->addItem(QStringLiteral("Cf (Rf fisso)"), static_cast<int>(SweptElement::Cf));
  from_ = NumberEdit("exploreFrom", QStringLiteral("primo valore"), QStringLiteral("0.0001"));
  to_ = NumberEdit("exploreTo", QStringLiteral("ultimo valore"), QStringLiteral("0.0001"));
  count_ = NumberEdit("exploreCount", QStringLiteral("numero di valori"), QStringLiteral("10001"));
  apply_ = WindowButton(QStringLiteral("Calcola"), "exploreApply");
  stop_ = WindowButton(QStringLiteral("Annulla"), "exploreCancel");
  progress_ = new QProgressBar;
  progress_->setObjectName(QStringLiteral("exploreProgress"));
  progress_->setMaximumWidth(160);
  auto* fromLabel = new QLabel;
  auto* toLabel = new QLabel;

  view_ = new FigureView;
  view_->setObjectName(QStringLiteral("figure"));
  view_->setAccessibleName(QStringLiteral("grafico della scelta della reazione"));
  view_->setHoverReadout([this](int, FigPoint at) { return readout(at); });
  value_ = NumberEdit("chosenValue", QStringLiteral("valore scelto"), QStringLiteral("0.00012345678"));
  use_ = WindowButton(QStringLiteral("Usa questo valore"), "useValue");
  summary_ = new QLabel;
  summary_->setObjectName(QStringLiteral("chosenSummary"));
  summary_->setWordWrap(true);
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* valueLabel = new QLabel(QStringLiteral("Valore"));

  auto* controls = new QHBoxLayout;
  controls->addWidget(new QLabel(QStringLiteral("Esplora")));
  controls->addWidget(field_);
  controls->addWidget(fromLabel);
  controls->addWidget(from_);
  controls->addWidget(toLabel);
  controls->addWidget(to_);
  controls->addWidget(new QLabel(QStringLiteral("Valori")));
  controls->addWidget(count_);
  controls->addWidget(apply_);
  controls->addWidget(progress_);
  controls->addWidget(stop_);
  controls->addStretch();
  auto* choice = new QHBoxLayout;
  choice->addWidget(valueLabel);
  choice->addWidget(value_);
  choice->addWidget(use_);
  choice->addStretch();

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(controls);
  layout->addWidget(view_, 1);
  layout->addLayout(choice);
  layout->addWidget(summary_);
  setMinimumHeight(460);  // the width is what the controls need
  resize(FittedSize(QSize(980, 820)));

  watcher_ = new QFutureWatcher<Outcome>(this);
  connect(watcher_, &QFutureWatcherBase::progressValueChanged, progress_, &QProgressBar::setValue);
  connect(watcher_, &QFutureWatcherBase::finished, this, [this] { finish(); });
  connect(field_, &QComboBox::activated, this, [this, fromLabel, toLabel] {
    const QString unit = QString::fromLatin1(SweptFieldOf(element()).unit);
    fromLabel->setText(QStringLiteral("da [%1]").arg(unit));
    toLabel->setText(QStringLiteral("a [%1]").arg(unit));
    restartFor(element());
  });
  connect(apply_, &QPushButton::clicked, this, [this] { start(); });
  for (QLineEdit* edit : {from_, to_, count_}) connect(edit, &QLineEdit::returnPressed, this, [this] { start(); });
  connect(stop_, &QPushButton::clicked, this, [this] { cancel(); });
  connect(view_, &FigureView::clickedAt, this, [this](int, double x, double) {
    if (const FeedbackScanRow* row = NearestRow(rows_, x)) choose(row->value);
  });
  connect(value_, &QLineEdit::returnPressed, this, [this] {
    if (auto v = ReadNumberText(value_); v && *v > 0) choose(*v);
  });
  connect(use_, &QPushButton::clicked, this, [this] { useValue(); });

  const QString unit = QString::fromLatin1(SweptFieldOf(element()).unit);
  fromLabel->setText(QStringLiteral("da [%1]").arg(unit));
  toLabel->setText(QStringLiteral("a [%1]").arg(unit));
  restartFor(element());
}

FeedbackExplorerWindow::~FeedbackExplorerWindow() {
  watcher_->cancel();
  watcher_->waitForFinished();
}

SweptElement FeedbackExplorerWindow::element() const {
  return static_cast<SweptElement>(field_->currentData().toInt());
}

QString FeedbackExplorerWindow::title() const {
  QString t = QStringLiteral("Scegli la reazione — ") + Text(FeedbackName(input_.base.feedbackOption));
  if (fMHz_ > 0) t += QStringLiteral(", f = %1 MHz").arg(Text(FormatSignificant(fMHz_, 8)));
  if (explorer_ && explorer_->constantTransistor())
    t += QStringLiteral(" — parametri S costanti (nessun file Touchstone)");
  return t;
}

void FeedbackExplorerWindow::restartFor(SweptElement element) {
  const ExplorerRange r = DefaultRange(element);
  from_->setText(Text(ShortestNumberText(r.from)));
  to_->setText(Text(ShortestNumberText(r.to)));
  count_->setText(QString::number(r.count));
  // The field's own value is marked until another is picked.
  chosen_.reset();
  const std::optional<double> typed = FieldValue(SweptControl(element));
  if (typed && *typed > 0) chosen_ = *typed;
  value_->setText(chosen_ ? Text(ShortestNumberText(*chosen_)) : QString());
  start();
}

bool FeedbackExplorerWindow::running() const { return pending_; }

bool FeedbackExplorerWindow::start() {
  const auto from = ReadNumberText(from_), to = ReadNumberText(to_), count = ReadNumberText(count_);
  if (!from || !to) return ShowMessage("Il primo e l'ultimo valore devono essere numeri"), false;
  if (!count || *count != std::floor(*count) || std::fabs(*count) > 1e9)
    return ShowMessage("Il numero di valori deve essere un numero intero"), false;
  const ExplorerRange range{*from, *to, static_cast<int>(*count)};
  if (std::string problem = CheckExplorerRange(range, element()); !problem.empty())
    return ShowMessage(problem), false;
  watcher_->cancel();
  watcher_->waitForFinished();
  ExplorerInput input = input_;
  input.element = element();
  std::vector<double> values = ExplorerValues(range);
  progress_->setRange(0, static_cast<int>(values.size()));
  progress_->setValue(0);
  stop_->setEnabled(true);
  setWindowTitle(title());
  pending_ = true;
  // On a pool thread, which converts the file once and runs the values on
  // every core; the user's Annulla cancels the future, and the next value's
  // progress stops them all.
  watcher_->setFuture(QtConcurrent::run(
      [](QPromise<Outcome>& promise, ExplorerInput input, std::vector<double> values) {
        promise.setProgressRange(0, static_cast<int>(values.size()));
        Outcome outcome;
        try {
          outcome.explorer = std::make_shared<const FeedbackExplorer>(std::move(input));
          outcome.rows = outcome.explorer->RunAll(values, 0, [&promise](std::size_t done, std::size_t) {
            promise.setProgressValue(static_cast<int>(done));
            if (promise.isCanceled()) throw Cancelled{};
          });
        } catch (const Cancelled&) {
          return;
        } catch (const std::exception& e) {
          outcome.error = e.what();
        }
        promise.addResult(std::move(outcome));
      },
      std::move(input), std::move(values)));
  return true;
}

void FeedbackExplorerWindow::cancel() {
  if (running()) watcher_->cancel();
}

void FeedbackExplorerWindow::finish() {
  // The end of a run that a newer start replaced says nothing.
  if (!pending_ || watcher_->isRunning()) return;
  pending_ = false;
  stop_->setEnabled(false);
  if (watcher_->isCanceled() || watcher_->future().resultCount() == 0) {
    summary_->setText(QStringLiteral("Calcolo annullato: il grafico mostra i valori precedenti"));
    return;
  }
  Outcome outcome = watcher_->result();
  if (!outcome.error.empty()) {
    ShowMessage("Il calcolo non si è potuto completare: " + outcome.error);
    return;
  }
  rows_ = std::move(outcome.rows);
  explorer_ = std::move(outcome.explorer);
  for (const FeedbackScanRow& r : rows_)
    if (r.band) fMHz_ = r.fMHz;
  setWindowTitle(title());
  progress_->setValue(progress_->maximum());
  if (chosen_) choose(*chosen_);
  redraw();
}

void FeedbackExplorerWindow::waitUntilDone() {
  // The finished signal comes through the event queue.
  while (running()) {
    watcher_->waitForFinished();
    QCoreApplication::processEvents();
  }
}

void FeedbackExplorerWindow::redraw() {
  const SweptField& f = SweptFieldOf(element());
  ExplorerFigureInput in{rows_, f.name, f.unit, fMHz_, chosen_};
  Figure figure = BuildExplorerFigure(in);
  figure.title = title().toStdString();
  view_->setFigure(std::move(figure));
}

const Figure& FeedbackExplorerWindow::figure() const { return view_->figure(); }

void FeedbackExplorerWindow::choose(double value) {
  chosen_ = value;
  value_->setText(Text(ShortestNumberText(value)));
  const SweptField& f = SweptFieldOf(element());
  // A value of the picture reads its row; a typed one is designed now.
  const FeedbackScanRow* row = NearestRow(rows_, value);
  FeedbackScanRow made;
  if (!row || row->value != value) {
    if (!explorer_) return;
    made = explorer_->Run(value);
    row = &made;
  }
  QString text = Text(ExplorerReadout(*row, f.name, f.unit));
  text.replace(QLatin1Char('\n'), QStringLiteral("; "));
  summary_->setText(text);
  redraw();
}

bool FeedbackExplorerWindow::useValue() {
  const std::optional<double> value = ReadNumberText(value_);
  if (!value || !(*value > 0)) {
    ShowMessage(std::string("Il valore di ") + SweptFieldOf(element()).name + " deve essere un numero maggiore di zero");
    value_->setFocus();
    value_->selectAll();
    return false;
  }
  SetText(FormId::Form1, SweptControl(element()), Utf8ToUtf16(ShortestNumberText(*value)));
  if (!chosen_ || *chosen_ != *value) choose(*value);
  return true;
}

std::string FeedbackExplorerWindow::readout(FigPoint at) const {
  const FeedbackScanRow* row = NearestRow(rows_, at.x);
  if (!row) return {};
  const SweptField& f = SweptFieldOf(element());
  return ExplorerReadout(*row, f.name, f.unit);
}

QWidget* OpenFeedbackExplorer() {
  const int option = InputWindowOption();
  if (std::string problem = CheckExplorerFeedback(SweptElement::Rf, option); !problem.empty()) {
    ShowMessage(problem);
    return nullptr;
  }
  ExplorerInput input;
  for (const std::string& control : InputFieldNames())
    input.base.fields.push_back({control, ReadText(FormId::Form1, control)});
  input.base.feedbackOption = option;
  input.touchstone = CurrentTouchstoneSource().data;
  auto* window = new FeedbackExplorerWindow(std::move(input));
  PresentWindow(window);
  // A script looks at the finished picture.
  if (DialogsScripted()) window->waitUntilDone();
  return window;
}

void RegisterToolMenus() {
  AddMenuEntry({FormId::Form1}, {QStringLiteral("Strumenti/Scegli la reazione…"), QKeySequence(),
                                 [](FormId) { OpenFeedbackExplorer(); }, {}});
}
