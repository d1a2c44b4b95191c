// The Qt layer's state belongs to the one QtProgram that runs: a new program
// starts from nothing, the windows of the last one go with it, and two never
// run at once.
#include <QAction>
#include <QPointer>

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "gui/analysis_windows.h"
#include "gui/low_noise_window.h"
#include "tests/gui/fresh_windows.h"

namespace {

QString Sample(const char* name) { return QStringLiteral(BJT_SCENARIO_DIR "/../data/") + name; }

TEST(QtProgramState, ANewProgramStartsFromNothingAndTakesTheLastOnesWindows) {
  EndLastProgram();
  EXPECT_THROW(Program(), std::logic_error);
  DesignState design;
  QPointer<QWidget> input, result, response;
  {
    QtProgram first(design);
    SetMessageHandler(RecordMessage);
    OpenStartWindow();
    ASSERT_TRUE(OpenTouchstonePath(Sample("bfr_maker_ma_mhz.s2p"), 1000.0));
    ASSERT_NE(CurrentTouchstoneSource().data, nullptr);
    for (const char* name : {"Command2", "Option1", "Command1"}) Click(FormId::Form1, name);
    ASSERT_NE(FormFrame(FormId::Form2), nullptr);
    Click(FormId::Form2, "Command1");
    ASSERT_NE(DesignOfWindow(FormId::Form2), nullptr);
    input = FormFrame(FormId::Form1);
    result = FormFrame(FormId::Form2);
    response = OpenResponseWindow(FormId::Form2);
    ASSERT_FALSE(response.isNull());
    SetTypedNoise(NoiseEntry{1.2, 0.3, 40, 10});
    SetElementLosses({50, 200});
    SetChosenLowNoiseTarget("minimo rumore");
    PushScriptedAnswer("never taken");
    EXPECT_FALSE(RecentFiles().isEmpty());
    EXPECT_THROW(QtProgram second(design), std::logic_error);
  }
  EXPECT_THROW(Program(), std::logic_error);
  EXPECT_TRUE(input.isNull());
  EXPECT_TRUE(result.isNull());
  EXPECT_TRUE(response.isNull());

  QtProgram second(design);
  SetMessageHandler(RecordMessage);
  EXPECT_EQ(FormFrame(FormId::Form1), nullptr);
  EXPECT_EQ(DesignOfWindow(FormId::Form2), nullptr);
  EXPECT_EQ(CurrentTouchstoneSource().data, nullptr);
  EXPECT_FALSE(CurrentNoiseSettings().typed.has_value());
  EXPECT_TRUE(std::isinf(CurrentNoiseSettings().losses.inductorQ));
  EXPECT_FALSE(ChosenLowNoiseTarget().has_value());
  EXPECT_FALSE(TakeScriptedAnswer().has_value());
  EXPECT_TRUE(RecentFiles().isEmpty());
  EXPECT_TRUE(CurrentProjectPath().isEmpty());
  // Its menus were registered once, for it alone: each entry shows once.
  OpenStartWindow();
  int entries = 0;
  for (QAction* a : FormFrame(FormId::Form1)->findChildren<QAction*>())
    if (a->text().remove(QLatin1Char('&')) == QStringLiteral("Esci")) ++entries;
  EXPECT_EQ(entries, 1);
}

}  // namespace
