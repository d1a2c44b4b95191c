// The low-noise window opened from a computed result window: its targets,
// refusals that keep what is shown, the shared design left alone, its
// analysis and export menus on the low-noise design, and the target kept in
// projects.
#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "forms/result_commands.h"
#include "model/arithmetic.h"
#include "model/quantities.h"
#include "gui/dialogs.h"
#include "gui/file_menus.h"
#include "gui/low_noise_window.h"
#include "gui/menus.h"
#include "gui/project_io.h"
#include "tests/gui/fresh_windows.h"

namespace {


QWidget* Newest(const char* name) {
  QWidget* found = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == QLatin1String(name) && w->isVisible()) found = w;
  return found;
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
    SetTouchstoneSourceProvider({});
    OpenFreshWindows(design_);
    ClearScriptedAnswers();
    SetChosenLowNoiseTarget(std::nullopt);
    for (const char* name : {"Command2", ControlOf(FeedbackChoice::Rf), "Command1"})
      static_cast<QAbstractButton*>(FindControl(FormId::Form1, name))->click();
    ASSERT_NE(FormFrame(FormId::Form2), nullptr);
    static_cast<QAbstractButton*>(FindControl(FormId::Form2, "Command1"))->click();
  }
  void TearDown() override {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName().endsWith(QLatin1String("Window")) && w->isVisible()) w->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ProvideTouchstoneSource();
    SetChosenLowNoiseTarget(std::nullopt);
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

}  // namespace
