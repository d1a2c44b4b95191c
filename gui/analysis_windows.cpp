#include "gui/analysis_windows.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QWidget>

#include <charconv>
#include <cmath>

#include "figures/figure.h"
#include "gui/dialogs.h"
#include "gui/figure_view.h"
#include "gui/menus.h"
#include "gui/noise_settings.h"
#include "gui/noise_window.h"
#include "gui/preferred_values_window.h"
#include "gui/qt_ui.h"
#include "gui/response_window.h"
#include "gui/smith_window.h"
#include "project/atomic_file.h"

namespace {

bool HasDesign(FormId form) { return DesignOfWindow(form) != nullptr; }

// The design as a person names it, its networks and f, then the result
// window's caption with its runs of spaces made one.
QString DesignCaption(FormId form, const AmplifierDesign& design) {
  const QWidget* frame = FormFrame(form);
  const QString title = frame ? frame->windowTitle().simplified() : QString();
  const QString name = QString::fromStdString(DesignTitle(design.kinds, design.fMHz));
  return title.isEmpty() ? name : name + QStringLiteral(" (finestra «") + title + QStringLiteral("»)");
}

QWidget* Present(QWidget* window) {
  PresentWindow(window);
  return window;
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
  if (bytes.isEmpty()) {
    ShowMessage("Impossibile preparare il file da salvare");
    return false;
  }
  const auto error = WriteFileAtomically(path.toStdString(), std::string_view(bytes.constData(), bytes.size()));
  if (error) {
    ShowMessage(*error);
    return false;
  }
  return true;
}

}  // namespace

std::optional<AnalysedDesign> AnalyseWindowDesign(FormId form) {
  const WindowDesign* stored = DesignOfWindow(form);
  if (!stored) {
    ShowMessage("Calcolare prima le reti di adattamento in questa finestra");
    return std::nullopt;
  }
  std::optional<AmplifierDesign> design = CaptureDesign(form, stored->state);
  if (!design) {
    ShowMessage("Il progetto di questa finestra non si può analizzare: ricalcolare le reti di adattamento");
    return std::nullopt;
  }
  design->losses = CurrentNoiseSettings().losses;
  const QString caption = DesignCaption(form, *design);
  return AnalysedDesign{form, *stored, std::move(*design), caption};
}

std::optional<double> ReadNumberText(const QLineEdit* edit) {
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

QSize FittedSize(QSize wanted) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return wanted;
  const QSize room = screen->availableSize() * 0.9;
  return wanted.boundedTo(room);
}

QPushButton* WindowButton(const QString& text, const char* name) {
  auto* button = new QPushButton(text);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  return button;
}

QTableWidget* ResultsTable(const char* name, const QStringList& headers, int rows, int rowPadding) {
  auto* table = new QTableWidget(rows, static_cast<int>(headers.size()));
  table->setObjectName(QString::fromLatin1(name));
  table->setHorizontalHeaderLabels(headers);
  table->verticalHeader()->hide();
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + rowPadding);
  table->setMinimumHeight(table->horizontalHeader()->sizeHint().height() +
                          rows * table->verticalHeader()->defaultSectionSize() + 2 * table->frameWidth() + 2);
  return table;
}

QWidget* OpenResponseWindow(FormId form) {
  auto analysed = AnalyseWindowDesign(form);
  if (!analysed) return nullptr;
  return OpenResponseWindow(std::move(*analysed));
}

QWidget* OpenSmithWindow(FormId form) {
  auto analysed = AnalyseWindowDesign(form);
  if (!analysed) return nullptr;
  return OpenSmithWindow(std::move(*analysed));
}

QWidget* OpenPreferredValuesWindow(FormId form) {
  auto analysed = AnalyseWindowDesign(form);
  if (!analysed) return nullptr;
  return OpenPreferredValuesWindow(std::move(*analysed));
}

QWidget* OpenResponseWindow(AnalysedDesign design) { return Present(new ResponseWindow(std::move(design))); }

QWidget* OpenSmithWindow(AnalysedDesign design) {
  std::optional<SmithChart> chart = SmithChartOf(design.design);
  if (!chart) {
    ShowMessage("La carta di Smith di questo progetto non si può disegnare: un punto non è finito");
    return nullptr;
  }
  return Present(new SmithWindow(std::move(design), std::move(*chart)));
}

QWidget* OpenPreferredValuesWindow(AnalysedDesign design) {
  return Present(new PreferredValuesWindow(std::move(design)));
}

QWidget* OpenNoiseWindow(FormId form) {
  auto analysed = AnalyseWindowDesign(form);
  if (!analysed) return nullptr;
  return Present(new NoiseWindow(std::move(*analysed)));
}

bool ExportFigure(QWidget* parent, const Figure& figure, QSize size, ImageFormat format,
                  const QString& suggestedBase) {
  const bool png = format == ImageFormat::Png;
  const auto path = AskSaveFileName(parent, png ? QStringLiteral("Esporta il grafico come PNG")
                                                : QStringLiteral("Esporta il grafico come SVG"),
                                    png ? QStringLiteral("Immagini PNG (*.png)") : QStringLiteral("Disegni SVG (*.svg)"),
                                    suggestedBase + (png ? QStringLiteral(".png") : QStringLiteral(".svg")));
  if (!path) return false;
  const QByteArray bytes = png ? FigurePng(figure, size) : FigureSvg(figure, size, QString::fromStdString(figure.title));
  return WriteBytes(*path, bytes);
}

bool ExportText(QWidget* parent, const QString& title, const QString& filter, const QString& suggested,
                const std::string& text) {
  const auto path = AskSaveFileName(parent, title, filter, suggested);
  if (!path) return false;
  const auto error = WriteFileAtomically(path->toStdString(), text);
  if (error) {
    ShowMessage(*error);
    return false;
  }
  return true;
}

void RegisterAnalysisMenus() {
  const auto forms = {FormId::Form2, FormId::Form3, FormId::Form4, FormId::Form5};
  AddMenuEntry(forms, {QStringLiteral("Analisi/Risposta in frequenza…"), QKeySequence(Qt::CTRL | Qt::Key_R),
                       [](FormId form) { OpenResponseWindow(form); }, HasDesign,
                       QString::fromUtf8(kWaitsForCompute)});
  AddMenuEntry(forms, {QStringLiteral("Analisi/Carta di Smith…"), QKeySequence(),
                       [](FormId form) { OpenSmithWindow(form); }, HasDesign,
                       QString::fromUtf8(kWaitsForCompute)});
  AddMenuEntry(forms, {QStringLiteral("Analisi/Valori commerciali…"), QKeySequence(),
                       [](FormId form) { OpenPreferredValuesWindow(form); }, HasDesign,
                       QString::fromUtf8(kWaitsForCompute)});
  AddMenuEntry(forms, {QStringLiteral("Analisi/Rumore…"), QKeySequence(),
                       [](FormId form) { OpenNoiseWindow(form); }, HasDesign,
                       QString::fromUtf8(kWaitsForCompute)});
  // A completed compute enables the entries at once, not only when a menu opens.
  OnWindowDesignChanged([](FormId form) { RefreshMenus(form); });
}
