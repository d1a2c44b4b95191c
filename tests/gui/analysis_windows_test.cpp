// The analysis windows opened from a computed result window's menu, as a
// user opens them: what they show against the analysis itself, the sweep
// controls' bad entries, and the exports.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "analysis/amplifier.h"
#include "analysis/sweep.h"
#include "figures/response_figure.h"
#include "forms/result_commands.h"
#include "gui/design_store.h"
#include "gui/dialogs.h"
#include "gui/figure_view.h"
#include "gui/file_menus.h"
#include "gui/menus.h"
#include "gui/preferred_values_window.h"
#include "gui/response_window.h"
#include "gui/smith_window.h"
#include "tests/gui/fresh_windows.h"
#include "touchstone/touchstone.h"

namespace {

const QString kResponse = QStringLiteral("Analisi/Risposta in frequenza...");
const QString kSmith = QStringLiteral("Analisi/Carta di Smith...");
const QString kPreferred = QStringLiteral("Analisi/Valori commerciali...");

template <typename Window>
Window* Newest(const char* name) {
  Window* found = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == QLatin1String(name) && w->isVisible()) found = static_cast<Window*>(w);
  return found;
}

void Click(QWidget* parent, const char* name) {
  auto* button = parent->findChild<QAbstractButton*>(QString::fromLatin1(name));
  ASSERT_NE(button, nullptr) << name;
  button->click();
}

class AnalysisWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    OpenFreshWindows(design_);
    SetTouchstoneSourceProvider({});
  }
  void TearDown() override {
    CloseAnalysisWindows();
  }
  // The stored test values with Rf feedback open Form2.
  static void Calculate() {
    for (const char* name : {"Command2", "Option1", "Command1"})
      static_cast<QAbstractButton*>(FindControl(FormId::Form1, name))->click();
    ASSERT_NE(FormFrame(FormId::Form2), nullptr);
  }
  static void Compute() { static_cast<QAbstractButton*>(FindControl(FormId::Form2, "Command1"))->click(); }
  static AmplifierDesign Captured() { return *CaptureDesign(FormId::Form2, DesignOfWindow(FormId::Form2)->state); }

  static DesignState design_;
};
DesignState AnalysisWindows::design_;

TEST_F(AnalysisWindows, EntriesWaitForTheWindowsComputedDesign) {
  Calculate();
  for (const QString& path : {kResponse, kSmith, kPreferred}) {
    EXPECT_NE(TriggerMenuEntry(FormId::Form2, path), "") << path.toStdString();
  }
  EXPECT_EQ(Newest<QWidget>("ResponseWindow"), nullptr);
  Compute();
  for (const QString& path : {kResponse, kSmith, kPreferred}) EXPECT_EQ(TriggerMenuEntry(FormId::Form2, path), "");
  EXPECT_NE(Newest<QWidget>("ResponseWindow"), nullptr);
  EXPECT_NE(Newest<QWidget>("SmithWindow"), nullptr);
  EXPECT_NE(Newest<QWidget>("PreferredValuesWindow"), nullptr);
}

TEST_F(AnalysisWindows, ResponseWithoutAFileHoldsTheEnteredTransistor) {
  Calculate();
  Compute();
  ASSERT_EQ(TriggerMenuEntry(FormId::Form2, kResponse), "");
  auto* window = Newest<ResponseWindow>("ResponseWindow");
  ASSERT_NE(window, nullptr);
  // The design by its networks and f, the window by its caption.
  EXPECT_TRUE(window->windowTitle().contains(QStringLiteral("reti L-C-L / L-C-L, 100 MHz")))
      << window->windowTitle().toStdString();
  EXPECT_FALSE(window->windowTitle().contains(QStringLiteral("Form2")));
  const Figure& figure = window->figure();
  EXPECT_NE(figure.title.find("parametri S costanti"), std::string::npos);

  // The sweep as the analysis runs it: 50 to 150 MHz around the 100 MHz design.
  const AmplifierDesign design = Captured();
  const SweepResult expected = RunSweep(design, ConstantTransistor(design), DefaultSweep(design));
  ASSERT_EQ(window->sweep().points.size(), 401u);
  ASSERT_EQ(figure.panels.size(), 2u);
  ASSERT_FALSE(figure.panels[0].lines.empty());
  EXPECT_EQ(figure.panels[0].lines[0].x, 100.0);
  ASSERT_EQ(figure.panels[0].markers.size(), 1u);
  EXPECT_NEAR(figure.panels[0].markers[0].at.y, 10 * std::log10(design.PoPi), 1e-6);
  EXPECT_EQ(figure.notes[0].text, DescribeBandwidth(BandwidthOf(expected, 100, 1), 1));
  EXPECT_EQ(figure.notes[1].text, DescribeBandwidth(BandwidthOf(expected, 100, 3), 3));

  auto* table = window->findChild<QTableView*>(QStringLiteral("table"));
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(table->model()->rowCount(), 401);
  const AmplifierPoint& first = expected.points.front();
  EXPECT_EQ(table->model()->index(0, 0).data().toString(), "50");
  EXPECT_EQ(table->model()->index(0, 1).data().toString().toStdString(), FormatFixed(first.gainDb, 3));
  EXPECT_EQ(table->model()->index(0, 5).data().toString().toStdString(), FormatFixed(first.muAmplifier, 3));

  // Pointing at the design frequency reads the sweep point there.
  auto* view = window->findChild<FigureView*>(QStringLiteral("figure"));
  const FigureLayout layout = LayoutFigure(figure, view->width(), view->height());
  const auto pixel = ToPixel(figure.panels[0], layout.frames[0], {100, figure.panels[0].y.min + 1});
  ASSERT_TRUE(pixel);
  EXPECT_EQ(view->readoutAt(QPointF(pixel->x, pixel->y)).section('\n', 0, 0), "f = 100 MHz");
}

TEST_F(AnalysisWindows, BadSweepEntriesKeepTheLastPlot) {
  Calculate();
  Compute();
  ASSERT_EQ(TriggerMenuEntry(FormId::Form2, kResponse), "");
  auto* window = Newest<ResponseWindow>("ResponseWindow");
  auto* points = window->findChild<QLineEdit*>(QStringLiteral("sweepPoints"));
  auto* to = window->findChild<QLineEdit*>(QStringLiteral("sweepTo"));
  for (const auto& [field, text] : {std::pair{points, "12x"}, {points, "1"}, {points, "2.5"}, {to, "40"}}) {
    const QString before = field->text();
    field->setText(QString::fromLatin1(text));
    g_messages.clear();
    EXPECT_FALSE(window->applySweep()) << text;
    EXPECT_EQ(g_messages.size(), 1u) << text;
    EXPECT_EQ(window->sweep().points.size(), 401u);
    field->setText(before);
  }
  points->setText(QStringLiteral("11"));
  window->findChild<QComboBox*>(QStringLiteral("sweepScale"))->setCurrentIndex(1);
  EXPECT_TRUE(window->applySweep());
  ASSERT_EQ(window->sweep().points.size(), 11u);
  EXPECT_TRUE(window->figure().panels[0].x.logarithmic);
  EXPECT_NEAR(window->sweep().points[5].fMHz, std::sqrt(50.0 * 150.0), 1e-9);
}

TEST_F(AnalysisWindows, ResponseExportsWriteTheFiles) {
  Calculate();
  Compute();
  ASSERT_EQ(TriggerMenuEntry(FormId::Form2, kResponse), "");
  auto* window = Newest<ResponseWindow>("ResponseWindow");
  window->findChild<QAbstractButton*>(QStringLiteral("roundedOverlay"))->setChecked(true);
  EXPECT_EQ(window->figure().panels[0].curves.size(), 6u);
  QTemporaryDir dir;
  const QString csv = dir.filePath("r.csv"), png = dir.filePath("r.png"), svg = dir.filePath("r.svg");
  for (const QString& path : {csv, png, svg}) PushScriptedAnswer(path.toStdString());
  Click(window, "exportCsv");
  Click(window, "exportPng");
  Click(window, "exportSvg");
  EXPECT_TRUE(g_messages.empty());

  QFile csvFile(csv);
  ASSERT_TRUE(csvFile.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = csvFile.readAll().split('\n');
  ASSERT_EQ(lines.size(), 403);  // header, 401 rows, the empty piece after the last line end
  EXPECT_TRUE(lines[0].startsWith("f_MHz,GT_dB,"));
  EXPECT_TRUE(lines[1].startsWith("50,"));
  EXPECT_EQ(lines[1].count(','), 7);
  QFile pngFile(png), svgFile(svg);
  ASSERT_TRUE(pngFile.open(QIODevice::ReadOnly));
  EXPECT_TRUE(pngFile.read(8).startsWith("\x89PNG"));
  ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
  EXPECT_TRUE(svgFile.readAll().contains("<svg"));
}

TEST_F(AnalysisWindows, ResponseFromAFileSweepsItsRange) {
  // The transistor at three frequencies; the design is made at 100 MHz.
  UseThreePointTransistorFile("bfr.s2p");
  Calculate();
  Compute();
  ASSERT_EQ(TriggerMenuEntry(FormId::Form2, kResponse), "");
  auto* window = Newest<ResponseWindow>("ResponseWindow");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->figure().title.find("costanti"), std::string::npos);
  EXPECT_EQ(window->plan().fromMHz, 80);
  EXPECT_EQ(window->plan().toMHz, 140);
  const SweepResult& sweep = window->sweep();
  ASSERT_EQ(sweep.points.size(), 401u);
  EXPECT_TRUE(sweep.skippedMHz.empty());
  // At the file's last frequency the analysis sees the file's values.
  const AmplifierDesign design = Captured();
  const SMatrix last{std::polar(0.45, -52 * M_PI / 180), std::polar(0.012, 72 * M_PI / 180),
                     std::polar(21.0, 137 * M_PI / 180), std::polar(0.84, -19 * M_PI / 180)};
  const auto expected = AnalyzeAt(design, 140, last);
  ASSERT_TRUE(expected);
  EXPECT_NEAR(sweep.points.back().kTransistor, expected->kTransistor, 1e-9);
  EXPECT_NEAR(sweep.points.back().gainDb, expected->gainDb, 1e-9);
}

TEST_F(AnalysisWindows, SmithChartShowsTheMatchAndReadsThePointer) {
  Calculate();
  Compute();
  ASSERT_EQ(TriggerMenuEntry(FormId::Form2, kSmith), "");
  auto* window = Newest<SmithWindow>("SmithWindow");
  ASSERT_NE(window, nullptr);
  const Panel& panel = window->figure().panels.at(0);
  std::set<std::string> marked, lettered;
  for (const Marker& m : panel.markers) marked.insert(m.label);
  for (const Lettering& l : panel.letters) lettered.insert(l.text);
  // RE and RL are both 50 ohm here: one marker names both.
  EXPECT_EQ(marked, (std::set<std::string>{"RE = RL", "Zi*", "Zo*"}));
  const AmplifierDesign design = Captured();
  for (int position = 0; position < 3; ++position) {
    EXPECT_TRUE(lettered.count(ElementName(Side::Input, design.input.kind, position))) << position;
    EXPECT_TRUE(lettered.count(ElementName(Side::Output, design.output.kind, position))) << position;
  }
  EXPECT_TRUE(panel.circles.empty());
  window->findChild<QAbstractButton*>(QStringLiteral("stabilityCircles"))->setChecked(true);
  window->findChild<QAbstractButton*>(QStringLiteral("inputReflection"))->setChecked(true);
  EXPECT_EQ(window->figure().panels[0].circles.size(), 2u);
  const auto& curves = window->figure().panels[0].curves;
  EXPECT_EQ(std::count_if(curves.begin(), curves.end(),
                          [](const Curve& c) { return c.name == "ingresso dell'amplificatore nella scansione"; }),
            1);

  // The chart's centre is Ro itself.
  auto* view = window->findChild<FigureView*>(QStringLiteral("figure"));
  const FigureLayout layout = LayoutFigure(view->figure(), view->width(), view->height());
  const PlotFrame& f = layout.frames[0];
  const QString readout = view->readoutAt(QPointF(f.left + f.width / 2, f.top + f.height / 2));
  EXPECT_TRUE(readout.contains(QStringLiteral("Z = 50.00 + j 0.00 ohm")) ||
              readout.contains(QStringLiteral("Z = 50.00 − j 0.00 ohm")))
      << readout.toStdString();
  EXPECT_TRUE(view->readoutAt(QPointF(f.left + 1, f.top + 1)).isEmpty());  // outside |Γ| = 1
}

TEST_F(AnalysisWindows, PreferredValuesRoundEachElementAndRecompute) {
  Calculate();
  Compute();
  ASSERT_EQ(TriggerMenuEntry(FormId::Form2, kPreferred), "");
  auto* window = Newest<PreferredValuesWindow>("PreferredValuesWindow");
  ASSERT_NE(window, nullptr);
  auto* elements = window->findChild<QTableWidget*>(QStringLiteral("elements"));
  auto* figures = window->findChild<QTableWidget*>(QStringLiteral("figures"));
  const AmplifierDesign design = Captured();
  window->selectSeries(ESeries::E6);
  const PreferredValue li1 = NearestPreferred(design.input.outer, ESeries::E6);
  EXPECT_TRUE(elements->item(0, 0)->text().startsWith(ElementName(Side::Input, design.input.kind, 0)));
  EXPECT_TRUE(elements->item(0, 2)->text().startsWith(QString::fromStdString(FormatSignificant(li1.rounded, 3))));
  EXPECT_EQ(elements->item(0, 3)->text().toStdString(), FormatFixed(li1.errorPercent, 2));
  // The exact design at its frequency has the matched gain.
  EXPECT_EQ(figures->item(4, 1)->text().toStdString(), FormatFixed(10 * std::log10(design.PoPi), 3));
  ASSERT_TRUE(window->rounded().rounded);
  EXPECT_EQ(figures->item(4, 2)->text().toStdString(), FormatFixed(window->rounded().rounded->gainDb, 3));
}

}  // namespace
