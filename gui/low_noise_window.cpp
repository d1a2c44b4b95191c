#include "gui/low_noise_window.h"

#include <QAction>
#include <QButtonGroup>
#include <QClipboard>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

#include "export/exports.h"
#include "figures/figure.h"
#include "forms/low_noise_rows.h"
#include "forms/report_text.h"
#include "gui/dialogs.h"
#include "gui/menus.h"
#include "gui/noise_settings.h"
#include "gui/pdf_report.h"
#include "gui/pictures.h"
#include "gui/program.h"
#include "gui/qt_ui.h"
#include "gui/smith_window.h"
#include "text/number_text.h"
#include "text/utf16.h"

namespace {

// The schematic is shown at this share of its own size: whole, with the
// tables beside the target, in a window that fits a 1280-pixel screen.
constexpr qreal kSchematicScale = 0.8;
// Element values on the schematic, in its own pixels, as the PDF report
// writes them.
constexpr int kValuePx = 14;
const QColor kValueInk(160, 0, 0);

std::optional<std::string>& ChosenTarget() { return Program().lowNoiseTarget; }

QString Text(const std::string& s) { return QString::fromStdString(s); }

QLineEdit* NumberField(const char* name, const QString& accessible, const QString& text) {
  auto* field = new QLineEdit(text);
  field->setObjectName(QString::fromLatin1(name));
  field->setAccessibleName(accessible);
  field->setMaximumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));
  return field;
}

// Quantity, value and unit: the name takes the room the value and the unit
// leave.
QTableWidget* Table(const char* name, int rows) {
  QTableWidget* table = ResultsTable(
      name, {QStringLiteral("Grandezza"), QStringLiteral("Valore"), QStringLiteral("Unità")}, rows, 6);
  table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  table->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
  return table;
}

void FillTable(QTableWidget* table, const std::vector<LowNoiseRow>& rows) {
  table->setRowCount(static_cast<int>(rows.size()));
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    const LowNoiseRow& r = rows[static_cast<size_t>(i)];
    const std::string cells[] = {r.caption, FormatNumber(r.value), r.unit};
    for (int c = 0; c < 3; ++c) {
      auto* item = new QTableWidgetItem(Text(cells[c]));
      item->setTextAlignment(c == 1 ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
      table->setItem(i, c, item);
    }
  }
}

// The schematic of the pair of networks with the six values written on it.
QPixmap SchematicPixmap(const LowNoiseDesign& d, qreal devicePixelRatio) {
  const FormId form = ResultWindowOfKinds(d.design.kinds);
  const PictureId id = SchematicOf(form);
  const QSize size = PictureSize(id);
  QPixmap pixmap(size * kSchematicScale * devicePixelRatio);
  pixmap.setDevicePixelRatio(devicePixelRatio);
  pixmap.fill(Qt::white);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.drawPixmap(QRectF(QPointF(0, 0), QSizeF(size) * kSchematicScale), RenderPicture(id, devicePixelRatio),
               QRectF());
  p.scale(kSchematicScale, kSchematicScale);
  QFont font = p.font();
  font.setPixelSize(kValuePx);
  font.setBold(true);
  p.setFont(font);
  p.setPen(kValueInk);
  PaintSchematicValues(p, SchematicValues(form, LowNoiseBoxTexts(d)), kValuePx);
  return pixmap;
}

std::string ReflectionText(Cx gamma) {
  return FormatSignificant(std::abs(gamma), 3) + " ∠ " + FormatFixed(AngleDegrees(gamma), 1) + "°";
}

}  // namespace

std::optional<std::string> ChosenLowNoiseTarget() { return ChosenTarget(); }
void SetChosenLowNoiseTarget(std::optional<std::string> words) { ChosenTarget() = std::move(words); }

LowNoiseWindow::LowNoiseWindow(FormId form, WindowDesign source, NoiseParameters noise, QString noiseSource,
                               QWidget* parent)
    : QWidget(parent, Qt::Window), form_(form), source_(std::move(source)), noise_(noise) {
  setObjectName(QStringLiteral("LowNoiseWindow"));
  // The result window by the caption its user sees, not its internal name.
  const QWidget* frame = FormFrame(form);
  const QString window = frame ? frame->windowTitle().simplified() : QString();
  setWindowTitle(
      QStringLiteral("Progetto a basso rumore — ") +
      (window.isEmpty() ? QString() : QStringLiteral("finestra «") + window + QStringLiteral("», ")) +
      QStringLiteral("f = ") + Text(FormatSignificant(source_.state.fMHz, 7)) + QStringLiteral(" MHz"));

  least_ = new QRadioButton(QStringLiteral("&minimo rumore (Γs = Γopt)"));
  above_ = new QRadioButton(QStringLiteral("rumore a +&Δ dB dal minimo, massimo guadagno"));
  gamma_ = new QRadioButton(QStringLiteral("punto scelto: &Γs"));
  impedance_ = new QRadioButton(QStringLiteral("punto scelto: &Zs"));
  auto* group = new QButtonGroup(this);
  for (QRadioButton* b : {least_, above_, gamma_, impedance_}) group->addButton(b);
  least_->setObjectName(QStringLiteral("least"));
  above_->setObjectName(QStringLiteral("above"));
  gamma_->setObjectName(QStringLiteral("gamma"));
  impedance_->setObjectName(QStringLiteral("impedance"));
  delta_ = NumberField("delta", QStringLiteral("Δ [dB]"), QStringLiteral("0.5"));
  gammaMag_ = NumberField("gammaMag", QStringLiteral("modulo di Γs"), QStringLiteral("0"));
  gammaDeg_ = NumberField("gammaDeg", QStringLiteral("angolo di Γs [°]"), QStringLiteral("0"));
  zsRe_ = NumberField("zsRe", QStringLiteral("Re(Zs) [ohm]"), QStringLiteral("50"));
  zsIm_ = NumberField("zsIm", QStringLiteral("Im(Zs) [ohm]"), QStringLiteral("0"));

  auto* targets = new QGroupBox(QStringLiteral("Obiettivo"));
  auto* grid = new QGridLayout(targets);
  grid->addWidget(least_, 0, 0, 1, 5);
  grid->addWidget(above_, 1, 0);
  grid->addWidget(new QLabel(QStringLiteral("Δ [dB]")), 1, 1, Qt::AlignRight);
  grid->addWidget(delta_, 1, 2);
  grid->addWidget(gamma_, 2, 0);
  grid->addWidget(new QLabel(QStringLiteral("modulo")), 2, 1, Qt::AlignRight);
  grid->addWidget(gammaMag_, 2, 2);
  grid->addWidget(new QLabel(QStringLiteral("angolo [°]")), 2, 3, Qt::AlignRight);
  grid->addWidget(gammaDeg_, 2, 4);
  grid->addWidget(impedance_, 3, 0);
  grid->addWidget(new QLabel(QStringLiteral("Re [ohm]")), 3, 1, Qt::AlignRight);
  grid->addWidget(zsRe_, 3, 2);
  grid->addWidget(new QLabel(QStringLiteral("Im [ohm]")), 3, 3, Qt::AlignRight);
  grid->addWidget(zsIm_, 3, 4);
  grid->setColumnStretch(5, 1);
  // Typing in a target's fields chooses that target.
  connect(delta_, &QLineEdit::textEdited, above_, [this] { above_->setChecked(true); });
  for (QLineEdit* f : {gammaMag_, gammaDeg_}) connect(f, &QLineEdit::textEdited, gamma_, [this] { gamma_->setChecked(true); });
  for (QLineEdit* f : {zsRe_, zsIm_}) connect(f, &QLineEdit::textEdited, impedance_, [this] { impedance_->setChecked(true); });

  auto* run = new QPushButton(QStringLiteral("&Progetta"));
  run->setObjectName(QStringLiteral("Progetta"));
  run->setDefault(true);
  connect(run, &QPushButton::clicked, this, [this] { design(); });
  for (QLineEdit* f : {delta_, gammaMag_, gammaDeg_, zsRe_, zsIm_})
    connect(f, &QLineEdit::returnPressed, this, [this] { design(); });

  pairNoise_ = new QLabel;
  pairNoise_->setObjectName(QStringLiteral("pairNoise"));
  pairNoise_->setWordWrap(true);
  pairNoise_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  pairNoise_->setText(QStringLiteral("Rumore del transistore (") + noiseSource + QStringLiteral("): NFmin = ") +
                      Text(FormatFixed(noise_.nfMinDb(), 2)) + QStringLiteral(" dB, Γopt = ") +
                      Text(ReflectionText(noise_.gammaOpt)) + QStringLiteral(", Rn = ") +
                      Text(FormatSignificant(noise_.rnOhm, 4)) + QStringLiteral(" ohm"));
  schematic_ = new QLabel;
  schematic_->setObjectName(QStringLiteral("schematic"));
  schematic_->setAlignment(Qt::AlignCenter);
  kinds_ = new QLabel;
  kinds_->setObjectName(QStringLiteral("kinds"));
  kinds_->setWordWrap(true);
  elements_ = Table("elements", 6);
  elements_->setAccessibleName(QStringLiteral("elementi delle reti"));
  figures_ = Table("figures", 16);
  figures_->setAccessibleName(QStringLiteral("figure dell'amplificatore a f"));

  // The button under the targets, where it stays in sight when a large
  // scale makes the window scroll sideways.
  auto* top = new QVBoxLayout;
  top->addWidget(targets);
  auto* runRow = new QHBoxLayout;
  runRow->addWidget(run);
  runRow->addStretch();
  top->addLayout(runRow);

  auto* tables = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  left->addWidget(new QLabel(QStringLiteral("Elementi delle reti di adattamento")));
  left->addWidget(elements_);
  left->addStretch();
  auto* right = new QVBoxLayout;
  right->addWidget(new QLabel(QStringLiteral("L'amplificatore finito alla frequenza di progetto")));
  right->addWidget(figures_);
  tables->addLayout(left, 1);
  tables->addLayout(right, 1);

  auto* content = new QWidget;
  auto* layout = new QVBoxLayout(content);
  layout->addWidget(pairNoise_);
  layout->addLayout(top);
  layout->addWidget(kinds_);
  layout->addWidget(schematic_);
  layout->addLayout(tables);
  auto* scroll = new QScrollArea;
  scroll->setWidget(content);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(scroll);
  buildMenus();

  LowNoiseTarget start;
  if (const auto words = ChosenLowNoiseTarget()) {
    const std::variant<LowNoiseTarget, std::string> kept = ParseLowNoiseTarget(*words);
    if (const auto* t = std::get_if<LowNoiseTarget>(&kept)) start = *t;
  }
  showTarget(start);
  resize(FittedSize(QSize(900, 1000)));
}

void LowNoiseWindow::buildMenus() {
  auto* bar = new QMenuBar(this);
  bar->setObjectName(QStringLiteral("MenuBar"));
  bar->setNativeMenuBar(false);
  layout()->setMenuBar(bar);
  const auto add = [this](QMenu* menu, const QString& text, auto run, QKeySequence key = {}) {
    QAction* a = menu->addAction(text);
    a->setShortcut(key);
    connect(a, &QAction::triggered, this, run);
    connect(menu, &QMenu::aboutToShow, a, [this, a] { a->setEnabled(design_.has_value()); });
    return a;
  };
  QMenu* edit = bar->addMenu(QStringLiteral("&Modifica"));
  add(edit, QStringLiteral("Copia risultati"), [this] { QGuiApplication::clipboard()->setText(resultsText()); },
      QKeySequence(QStringLiteral("Ctrl+Shift+C")));
  QMenu* analysis = bar->addMenu(QStringLiteral("&Analisi"));
  add(analysis, QStringLiteral("Risposta in frequenza…"), [this] { if (auto a = analysed()) OpenResponseWindow(std::move(*a)); },
      QKeySequence(Qt::CTRL | Qt::Key_R));
  // A source point picked on that chart redesigns this window, not a new
  // one, and the chart follows this window's designs.
  add(analysis, QStringLiteral("Carta di Smith…"), [this] {
    if (auto a = analysed())
      if (auto* smith = qobject_cast<SmithWindow*>(OpenSmithWindow(std::move(*a))))
        smith->followDesignsOf(this);
  });
  add(analysis, QStringLiteral("Valori commerciali…"),
      [this] { if (auto a = analysed()) OpenPreferredValuesWindow(std::move(*a)); });
  QMenu* exports = bar->addMenu(QStringLiteral("&Esporta"));
  add(exports, QStringLiteral("Touchstone dell'amplificatore…"), [this] { exportTouchstone(); });
  add(exports, QStringLiteral("Schema SPICE…"), [this] { exportSpice(); });
  add(exports, QStringLiteral("Relazione PDF…"), [this] { exportPdf(); });
}

void LowNoiseWindow::showTarget(const LowNoiseTarget& t) {
  switch (t.goal) {
    case LowNoiseGoal::MinimumNoise: least_->setChecked(true); break;
    case LowNoiseGoal::NoiseAboveMinimum: above_->setChecked(true); break;
    case LowNoiseGoal::GammaPoint: gamma_->setChecked(true); break;
    case LowNoiseGoal::ImpedancePoint: impedance_->setChecked(true); break;
  }
  if (t.goal == LowNoiseGoal::NoiseAboveMinimum) delta_->setText(Text(ShortestNumberText(t.deltaDb)));
  if (t.goal == LowNoiseGoal::GammaPoint) {
    gammaMag_->setText(Text(ShortestNumberText(t.gammaMag)));
    gammaDeg_->setText(Text(ShortestNumberText(t.gammaDeg)));
  }
  if (t.goal == LowNoiseGoal::ImpedancePoint) {
    zsRe_->setText(Text(ShortestNumberText(t.zsOhm.real())));
    zsIm_->setText(Text(ShortestNumberText(t.zsOhm.imag())));
  }
}

std::optional<LowNoiseTarget> LowNoiseWindow::readTarget() {
  // The fields' texts in the command line's words, so one reader checks both.
  const auto number = [](QLineEdit* f) { return f->text().trimmed().replace(QLatin1Char(','), QLatin1Char('.')); };
  QString words = QStringLiteral("min");
  QLineEdit* first = nullptr;
  if (above_->isChecked()) {
    words = QStringLiteral("+") + number(delta_);
    first = delta_;
  } else if (gamma_->isChecked()) {
    words = QStringLiteral("gamma:") + number(gammaMag_) + QLatin1Char(',') + number(gammaDeg_);
    first = gammaMag_;
  } else if (impedance_->isChecked()) {
    words = QStringLiteral("zs:") + number(zsRe_) + QLatin1Char(',') + number(zsIm_);
    first = zsRe_;
  }
  std::variant<LowNoiseTarget, std::string> target = ParseLowNoiseTarget(words.toStdString());
  if (const auto* message = std::get_if<std::string>(&target)) {
    const bool badWords = message->rfind("l'obiettivo", 0) == 0;
    ShowMessage(badWords ? std::string("Scrivere un numero in ogni campo dell'obiettivo scelto") : *message);
    if (first) {
      first->setFocus();
      first->selectAll();
    }
    return std::nullopt;
  }
  return std::get<LowNoiseTarget>(target);
}

bool LowNoiseWindow::design() {
  const std::optional<LowNoiseTarget> target = readTarget();
  if (!target) return false;
  std::variant<LowNoiseDesign, std::string> made = DesignLowNoise(source_.state, noise_, *target);
  if (const auto* message = std::get_if<std::string>(&made)) {
    ShowMessage(*message);
    return false;
  }
  design_ = std::get<LowNoiseDesign>(std::move(made));
  SetChosenLowNoiseTarget(LowNoiseTargetText(*target));
  showDesign();
  emit designed();
  return true;
}

bool LowNoiseWindow::designFor(const LowNoiseTarget& target) {
  showTarget(target);
  return design();
}

void LowNoiseWindow::showDesign() {
  const LowNoiseDesign& d = *design_;
  kinds_->setText(QStringLiteral("Obiettivo: ") + Text(LowNoiseTargetCaption(d.target)) +
                  QStringLiteral(". Rete d'ingresso ") + Text(NetworkKindName(d.design.input.kind)) +
                  QStringLiteral(" da RE a Zs, rete d'uscita ") + Text(NetworkKindName(d.design.output.kind)) +
                  QStringLiteral(" da RL a ZL = conj(Zout); Γs = ") + Text(ReflectionText(d.gammaS)) +
                  QStringLiteral(", ΓL = ") + Text(ReflectionText(d.gammaL)) + QStringLiteral(", NF a ") +
                  Text(FormatFixed(d.nfAboveMinDb, 2)) + QStringLiteral(" dB dal minimo."));
  schematic_->setPixmap(SchematicPixmap(d, devicePixelRatioF()));
  FillTable(elements_, LowNoiseElementRows(d));
  FillTable(figures_, LowNoiseFigureRows(d));
}

std::optional<AnalysedDesign> LowNoiseWindow::analysed() const {
  if (!design_) {
    ShowMessage("Premere prima \"Progetta\"");
    return std::nullopt;
  }
  WindowDesign source = source_;
  source.state = design_->design.state;
  const QString caption = QStringLiteral("Progetto a basso rumore (") + Text(LowNoiseTargetCaption(design_->target)) +
                          QStringLiteral("), f = ") + Text(FormatSignificant(design_->design.fMHz, 7)) +
                          QStringLiteral(" MHz");
  return AnalysedDesign{ResultWindowOfKinds(design_->design.kinds), std::move(source), design_->design, caption};
}

QString LowNoiseWindow::resultsText() const {
  return design_ ? Text(LowNoiseRowsText(*design_)) : QString();
}

void LowNoiseWindow::exportTouchstone() {
  if (!design_) return;
  const auto path = AskSaveFileName(this, QStringLiteral("Touchstone dell'amplificatore"),
                                    QStringLiteral("File Touchstone (*.s2p)"), QStringLiteral("basso_rumore.s2p"));
  if (!path) return;
  if (auto error = ExportAmplifierTouchstone(design_->design, source_.touchstone.get(), std::nullopt, path->toStdString()))
    ShowMessage(*error);
}

void LowNoiseWindow::exportSpice() {
  if (!design_) return;
  const auto path = AskSaveFileName(this, QStringLiteral("Schema SPICE"), QStringLiteral("Schemi ngspice (*.cir)"),
                                    QStringLiteral("basso_rumore.cir"));
  if (!path) return;
  if (auto error = ExportSpiceNetlist(design_->design, path->toStdString())) ShowMessage(*error);
}

void LowNoiseWindow::exportPdf() {
  const std::optional<AnalysedDesign> a = analysed();
  if (!a) return;
  const auto path = AskSaveFileName(this, QStringLiteral("Relazione PDF"), QStringLiteral("Documenti PDF (*.pdf)"),
                                    QStringLiteral("relazione_basso_rumore.pdf"));
  if (!path) return;
  if (auto error = WritePdfReport(*a, path->toStdString(), LowNoiseBoxTexts(*design_))) ShowMessage(*error);
}

namespace {

// Where the noise data came from, for the window's first line.
QString NoiseSourceCaption(const WindowDesign& source) {
  if (CurrentNoiseSettings().typed) return QStringLiteral("dati inseriti a mano");
  return QStringLiteral("file ") + QFileInfo(QString::fromStdString(source.touchstonePath)).fileName();
}

LowNoiseWindow* Present(FormId form, const WindowDesign& source, const NoiseParameters& noise,
                        const QString& caption, const std::optional<LowNoiseTarget>& target) {
  auto* window = new LowNoiseWindow(form, source, noise, caption);
  PresentWindow(window);
  // The chosen target at once: reopening a project and this window gives the
  // same design; a refusal is told and the window stays for another target.
  if (target)
    window->designFor(*target);
  else
    window->design();
  return window;
}

}  // namespace

std::optional<NoiseParameters> TransistorNoiseOf(const WindowDesign& source) {
  const NoiseSource noise = NoiseSourceOf(source, source.state.Ro);
  if (!noise) return std::nullopt;
  return noise(source.state.fMHz);
}

std::optional<LowNoiseTarget> PickedSourceTarget(Cx gamma) {
  if (!std::isfinite(gamma.real()) || !std::isfinite(gamma.imag())) return std::nullopt;
  LowNoiseTarget target;
  target.goal = LowNoiseGoal::GammaPoint;
  target.gammaMag = std::round(std::abs(gamma) * 1000) / 1000;
  target.gammaDeg = std::round(AngleDegrees(gamma) * 10) / 10;
  if (!(target.gammaMag < 1)) return std::nullopt;
  return target;
}

QWidget* OpenLowNoiseWindow(FormId form, std::optional<NoiseParameters> transistorNoise) {
  const WindowDesign* stored = DesignOfWindow(form);
  if (!stored) {
    ShowMessage("Calcolare prima le reti di adattamento in questa finestra");
    return nullptr;
  }
  if (!transistorNoise) return OpenLowNoiseWindow(form, *stored);
  return Present(form, *stored, *transistorNoise, QStringLiteral("dati inseriti"), std::nullopt);
}

LowNoiseWindow* OpenLowNoiseWindow(FormId form, const WindowDesign& source,
                                   std::optional<LowNoiseTarget> target) {
  const std::optional<NoiseParameters> noise = TransistorNoiseOf(source);
  if (!noise) {
    ShowMessage(std::string("Progetto a basso rumore: ") + kNoNoiseData);
    return nullptr;
  }
  return Present(form, source, *noise, NoiseSourceCaption(source), target);
}

void RegisterLowNoiseMenus() {
  AddMenuEntry({FormId::Form2, FormId::Form3, FormId::Form4, FormId::Form5},
               {QStringLiteral("Analisi/Progetto a basso rumore…"), QKeySequence(),
                [](FormId form) { OpenLowNoiseWindow(form); },
                [](FormId form) { return DesignOfWindow(form) != nullptr; }});
}
