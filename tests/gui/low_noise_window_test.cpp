// The low-noise window opened from a computed result window: its targets,
// refusals that keep what is shown, the shared design left alone, its
// analysis and export menus on the low-noise design, the target kept in
// projects, and the source point picked with a click on the Smith chart.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "forms/result_commands.h"
#include "model/arithmetic.h"
#include "model/quantities.h"
#include "gui/dialogs.h"
#include "figures/figure.h"
#include "gui/figure_view.h"
#include "gui/file_menus.h"
#include "gui/low_noise_window.h"
#include "gui/smith_window.h"
#include "gui/menus.h"
#include "gui/noise_settings.h"
#include "gui/project_io.h"
#include "gui/unsaved_project.h"
#include "tests/gui/fresh_windows.h"

namespace {


QWidget* Newest(const char* name) {
  QWidget* found = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == QLatin1String(name) && w->isVisible()) found = w;
  return found;
}

int VisibleCount(const char* name) {
  int count = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) count += w->objectName() == QLatin1String(name) && w->isVisible();
  return count;
}

// A left click on the Smith chart of the newest Smith window at the pixel
// where Γ lies, as the painter lays the chart out at the view's size.
void ClickChartAt(Cx gamma) {
  QWidget* smith = Newest("SmithWindow");
  ASSERT_NE(smith, nullptr);
  auto* view = smith->findChild<FigureView*>(QStringLiteral("figure"));
  ASSERT_NE(view, nullptr);
  const Figure& figure = view->figure();
  const FigureLayout layout = LayoutFigure(figure, view->width(), view->height());
  ASSERT_EQ(figure.panels.size(), 1u);
  const std::optional<FigPoint> pixel = ToPixel(figure.panels[0], layout.frames[0], {gamma.real(), gamma.imag()});
  ASSERT_TRUE(pixel);
  const QPointF at(pixel->x, pixel->y);
  QMouseEvent press(QEvent::MouseButtonPress, at, view->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(view, &press);
}

void ShowNoiseCircles() {
  QWidget* smith = Newest("SmithWindow");
  ASSERT_NE(smith, nullptr);
  auto* circles = smith->findChild<QCheckBox*>(QStringLiteral("noiseCircles"));
  ASSERT_TRUE(circles->isEnabled());
  circles->setChecked(true);
  EXPECT_TRUE(smith->findChild<QLabel*>(QStringLiteral("pickHint"))->isVisible());
}

void Trigger(QWidget* window, const QString& menu, const QString& entry) {
  auto* bar = window->findChild<QMenuBar*>(QStringLiteral("MenuBar"));
  ASSERT_NE(bar, nullptr);
  for (QAction* top : bar->actions()) {
    if (top->text().remove(QLatin1Char('&')) != menu) continue;
    for (QAction* a : top->menu()->actions())
      if (a->text() == entry) {
        a->trigger();
        return;
      }
  }
  FAIL() << entry.toStdString();
}

class LowNoiseWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OpenFreshWindows(design_);
    SetTouchstoneSourceProvider({});
    for (const char* name : {"Command2", ControlOf(FeedbackChoice::Rf), "Command1"})
      static_cast<QAbstractButton*>(FindControl(FormId::Form1, name))->click();
    ASSERT_NE(FormFrame(FormId::Form2), nullptr);
    static_cast<QAbstractButton*>(FindControl(FormId::Form2, "Command1"))->click();
  }
  void TearDown() override {
    CloseAnalysisWindows();
  }
  static LowNoiseWindow* Open() {
    return static_cast<LowNoiseWindow*>(OpenLowNoiseWindow(FormId::Form2, kNoise));
  }
  static inline const NoiseParameters kNoise = *NoiseFromDb(1.0, std::polar(0.3, 40 * kPi / 180), 10, 50);
  static inline DesignState design_;
};

TEST_F(LowNoiseWindowTest, WithoutNoiseDataItSaysSo) {
  EXPECT_EQ(TriggerMenuEntry(FormId::Form2, QStringLiteral("Analisi/Progetto a basso rumore...")), "");
  EXPECT_EQ(Newest("LowNoiseWindow"), nullptr);
  ASSERT_FALSE(g_messages.empty());
  EXPECT_EQ(g_messages.back(), "Progetto a basso rumore: nessun dato di rumore a questa frequenza");
  // Data typed in the noise window serve the menu entry as they serve every
  // noise figure.
  SetTypedNoise(NoiseEntry{1.0, 0.3, 40, 10});
  EXPECT_EQ(TriggerMenuEntry(FormId::Form2, QStringLiteral("Analisi/Progetto a basso rumore...")), "");
  auto* window = static_cast<LowNoiseWindow*>(Newest("LowNoiseWindow"));
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->shown());
  EXPECT_TRUE(window->findChild<QLabel*>(QStringLiteral("pairNoise"))->text().contains(QStringLiteral("a mano")));
}

TEST_F(LowNoiseWindowTest, TargetsDesignAndRefusalsKeepWhatIsShown) {
  const DesignState shared = DesignOfWindow(FormId::Form2)->state;
  LowNoiseWindow* window = Open();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(window->shown()) << (g_messages.empty() ? "" : g_messages.back());
  EXPECT_NEAR(window->shown()->nfAboveMinDb, 0, 1e-9);
  EXPECT_EQ(window->findChild<QTableWidget*>(QStringLiteral("elements"))->rowCount(), 6);
  EXPECT_EQ(window->findChild<QTableWidget*>(QStringLiteral("figures"))->item(0, 0)->text(), QStringLiteral("|Γs|"));
  // The result window keeps its own design.
  const DesignState& after = DesignOfWindow(FormId::Form2)->state;
  EXPECT_EQ(after.Li1, shared.Li1);
  EXPECT_EQ(after.ReZi, shared.ReZi);
  EXPECT_EQ(after.ImZo, shared.ImZo);

  // Typing Δ chooses that target.
  auto* delta = window->findChild<QLineEdit*>(QStringLiteral("delta"));
  delta->setText(QStringLiteral("0,5"));  // a decimal comma reads as a point
  emit delta->textEdited(delta->text());
  EXPECT_TRUE(window->findChild<QRadioButton*>(QStringLiteral("above"))->isChecked());
  ASSERT_TRUE(window->design());
  EXPECT_NEAR(window->shown()->nfAboveMinDb, 0.5, 1e-7);
  EXPECT_EQ(ChosenLowNoiseTarget(), "+0.5");

  // A point off the chart and an empty field: a message, the design stays.
  window->findChild<QRadioButton*>(QStringLiteral("gamma"))->setChecked(true);
  window->findChild<QLineEdit*>(QStringLiteral("gammaMag"))->setText(QStringLiteral("1.5"));
  g_messages.clear();
  EXPECT_FALSE(window->design());
  ASSERT_EQ(g_messages.size(), 1u);
  EXPECT_NE(g_messages[0].find("Γs"), std::string::npos) << g_messages[0];
  window->findChild<QLineEdit*>(QStringLiteral("gammaMag"))->setText(QString());
  EXPECT_FALSE(window->design());
  EXPECT_EQ(g_messages.back(), "Scrivere un numero in ogni campo dell'obiettivo scelto");
  EXPECT_NEAR(window->shown()->nfAboveMinDb, 0.5, 1e-7);
  EXPECT_EQ(ChosenLowNoiseTarget(), "+0.5");
  EXPECT_NE(window->resultsText().indexOf(QStringLiteral("rumore a +0.5 dB dal minimo")), -1);
}

TEST_F(LowNoiseWindowTest, MenusActOnTheLowNoiseDesign) {
  LowNoiseWindow* window = Open();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(window->shown());
  Trigger(window, QStringLiteral("Analisi"), QStringLiteral("Risposta in frequenza…"));
  QWidget* response = Newest("ResponseWindow");
  ASSERT_NE(response, nullptr);
  EXPECT_TRUE(response->windowTitle().contains(QStringLiteral("basso rumore"))) << response->windowTitle().toStdString();
  Trigger(window, QStringLiteral("Analisi"), QStringLiteral("Carta di Smith…"));
  EXPECT_NE(Newest("SmithWindow"), nullptr);

  QTemporaryDir dir;
  const QString netlist = dir.filePath(QStringLiteral("ln.cir")), pdf = dir.filePath(QStringLiteral("ln.pdf"));
  PushScriptedAnswer(netlist.toStdString());
  Trigger(window, QStringLiteral("Esporta"), QStringLiteral("Schema SPICE…"));
  QFile spice(netlist);
  ASSERT_TRUE(spice.open(QIODevice::ReadOnly));
  EXPECT_TRUE(spice.readAll().contains("progetto a basso rumore (minimo rumore)"));
  PushScriptedAnswer(pdf.toStdString());
  Trigger(window, QStringLiteral("Esporta"), QStringLiteral("Relazione PDF…"));
  QFile report(pdf);
  ASSERT_TRUE(report.open(QIODevice::ReadOnly));
  EXPECT_TRUE(report.read(5).startsWith("%PDF"));
  EXPECT_TRUE(g_messages.empty()) << g_messages.back();
}

TEST_F(LowNoiseWindowTest, ProjectsKeepTheTarget) {
  SetChosenLowNoiseTarget("gamma:0.2,30");
  const Project project = ProjectOfInputWindow(std::nullopt);
  EXPECT_EQ(project.lowNoiseTarget, "gamma:0.2,30");
  SetChosenLowNoiseTarget(std::nullopt);
  ApplyProjectToInputWindow(project);
  LowNoiseWindow* window = Open();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->findChild<QRadioButton*>(QStringLiteral("gamma"))->isChecked());
  ASSERT_TRUE(window->shown());
  EXPECT_NEAR(std::abs(window->shown()->gammaS - std::polar(0.2, 30 * kPi / 180)), 0, 1e-12);
}

TEST_F(LowNoiseWindowTest, ANewTargetOrTypedNoiseIsAnUnsavedEdit) {
  // Both go into the project file, so closing without a question would lose them.
  QTemporaryDir dir;
  PushScriptedAnswer(dir.filePath(QStringLiteral("progetto.bjtp")).toStdString());
  ASSERT_TRUE(SaveProjectAs());
  EXPECT_FALSE(ProjectHasUnsavedEdits());
  SetChosenLowNoiseTarget("gamma:0.2,30");
  EXPECT_TRUE(ProjectHasUnsavedEdits());
  // The default target, recorded by a look at the window, changes nothing.
  SetChosenLowNoiseTarget("min");
  EXPECT_FALSE(ProjectHasUnsavedEdits());
  SetTypedNoise(NoiseEntry{1.0, 0.3, 40, 10});
  EXPECT_TRUE(ProjectHasUnsavedEdits());
}

TEST_F(LowNoiseWindowTest, AClickOnTheSmithChartPicksTheSource) {
  SetTypedNoise(NoiseEntry{1.0, 0.3, 40, 10});
  ASSERT_EQ(TriggerMenuEntry(FormId::Form2, QStringLiteral("Analisi/Carta di Smith...")), "");
  QWidget* smith = Newest("SmithWindow");
  ASSERT_NE(smith, nullptr);
  // Without the noise circles the chart only reads the pointer.
  EXPECT_FALSE(smith->findChild<QLabel*>(QStringLiteral("pickHint"))->isVisible());
  ClickChartAt(std::polar(0.2, 30 * kPi / 180));
  EXPECT_EQ(VisibleCount("LowNoiseWindow"), 0);

  ShowNoiseCircles();
  g_messages.clear();
  ClickChartAt(std::polar(0.2, 30 * kPi / 180));
  auto* window = static_cast<LowNoiseWindow*>(Newest("LowNoiseWindow"));
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(window->shown()) << (g_messages.empty() ? "" : g_messages.back());
  // The window's own target controls show the picked Γ, and the design is for it.
  EXPECT_TRUE(window->findChild<QRadioButton*>(QStringLiteral("gamma"))->isChecked());
  EXPECT_EQ(window->findChild<QLineEdit*>(QStringLiteral("gammaMag"))->text(), QStringLiteral("0.2"));
  EXPECT_EQ(window->findChild<QLineEdit*>(QStringLiteral("gammaDeg"))->text(), QStringLiteral("30"));
  EXPECT_NEAR(std::abs(window->shown()->gammaS - std::polar(0.2, 30 * kPi / 180)), 0, 1e-12);
  EXPECT_EQ(ChosenLowNoiseTarget(), "gamma:0.2,30");

  // A second click moves the same window's design.
  ClickChartAt(std::polar(0.15, -60 * kPi / 180));
  EXPECT_EQ(VisibleCount("LowNoiseWindow"), 1);
  EXPECT_NEAR(std::abs(window->shown()->gammaS - std::polar(0.15, -60 * kPi / 180)), 0, 1e-12);
  // Off the chart, even where the frame still reaches or where the readout
  // would show |Γ| = 1.000, a click changes nothing and says nothing.
  ClickChartAt(Cx(1.05, 0.02));
  ClickChartAt(Cx(0.0, 0.9996));
  EXPECT_NEAR(std::abs(window->shown()->gammaS - std::polar(0.15, -60 * kPi / 180)), 0, 1e-12);
  EXPECT_TRUE(g_messages.empty()) << g_messages.back();

  // The low-noise design's own chart sends its clicks back to that window.
  smith->close();
  Trigger(window, QStringLiteral("Analisi"), QStringLiteral("Carta di Smith…"));
  ASSERT_EQ(VisibleCount("SmithWindow"), 1);
  ShowNoiseCircles();
  ClickChartAt(std::polar(0.25, 10 * kPi / 180));
  EXPECT_EQ(VisibleCount("LowNoiseWindow"), 1);
  EXPECT_NEAR(std::abs(window->shown()->gammaS - std::polar(0.25, 10 * kPi / 180)), 0, 1e-12);
  EXPECT_EQ(window->findChild<QLineEdit*>(QStringLiteral("gammaDeg"))->text(), QStringLiteral("10"));
  // That chart now draws the new design: its source point is the one picked.
  auto* own = static_cast<SmithWindow*>(Newest("SmithWindow"));
  EXPECT_NEAR(std::abs(own->chart().gammaZiConj - std::polar(0.25, 10 * kPi / 180)), 0, 1e-9);
  // So does a target typed in the low-noise window.
  window->findChild<QRadioButton*>(QStringLiteral("least"))->setChecked(true);
  ASSERT_TRUE(window->design());
  EXPECT_NEAR(std::abs(own->chart().gammaZiConj - window->shown()->gammaS), 0, 1e-9);
}

}  // namespace
