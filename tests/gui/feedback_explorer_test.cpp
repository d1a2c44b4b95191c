// "Strumenti/Scegli la reazione…" as a user opens it from the input window:
// its rows against the explorer core, and "Usa questo valore", which writes
// the one field and nothing else.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include "figures/feedback_figure.h"
#include "gui/feedback_explorer_window.h"
#include "gui/figure_view.h"
#include "model/quantities.h"
#include "gui/file_menus.h"
#include "gui/menus.h"
#include "session/session.h"
#include "text/utf16.h"

#include <cstring>
#include "tests/gui/fresh_windows.h"

namespace {

const QString kExplorer = QStringLiteral("Strumenti/Scegli la reazione...");

class FeedbackExplorerWindows : public ::testing::Test {
 protected:
  void SetUp() override { OpenFreshWindows(design_); }
  void TearDown() override {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == QLatin1String("FeedbackExplorerWindow")) w->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  static FeedbackExplorerWindow* Open() {
    if (TriggerMenuEntry(FormId::Form1, kExplorer) != "") return nullptr;
    FeedbackExplorerWindow* found = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == QLatin1String("FeedbackExplorerWindow") && w->isVisible())
        found = static_cast<FeedbackExplorerWindow*>(w);
    if (found) found->waitUntilDone();
    return found;
  }
  static std::vector<std::u16string> Texts() {
    std::vector<std::u16string> texts;
    for (const std::string& control : InputFieldNames()) texts.push_back(ReadText(FormId::Form1, control));
    return texts;
  }
  static DesignState design_;
};
DesignState FeedbackExplorerWindows::design_;

TEST_F(FeedbackExplorerWindows, NeedsAFeedbackThatUsesTheField) {
  EXPECT_EQ(Open(), nullptr);
  ASSERT_EQ(g_messages.size(), 1u);
  EXPECT_NE(g_messages[0].find("scegli prima la reazione"), std::string::npos);
}

TEST_F(FeedbackExplorerWindows, RowsAreTheCoresAndUseWritesOnlyTheField) {
  UseThreePointTransistorFile("tre.s2p");
  static_cast<QAbstractButton*>(FindControl(FormId::Form1, ControlOf(FeedbackChoice::Rf)))->click();
  SetText(FormId::Form1, ControlOf(Quantity::RfKohm), u"5");
  FeedbackExplorerWindow* window = Open();
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(window->windowTitle().contains(QStringLiteral("costanti")));
  ASSERT_EQ(window->rows().size(), 201u);
  EXPECT_EQ(window->rows().front().value, 0.01);
  EXPECT_EQ(window->rows().back().value, 100);
  ASSERT_EQ(window->figure().panels.size(), 3u);  // no noise data in the file
  ASSERT_FALSE(window->figure().panels[0].lines.empty());
  EXPECT_EQ(window->figure().panels[0].lines[0].x, 5);  // the field's own value

  // A row of the window is the core's row for that value.
  ExplorerInput input;
  for (const std::string& control : InputFieldNames()) input.base.fields.push_back({control, ReadText(FormId::Form1, control)});
  input.base.feedbackOption = 1;
  const FeedbackScanRow& shown = window->rows()[100];
  const FeedbackScanRow alone = FeedbackExplorer(input).Run(shown.value);
  EXPECT_EQ(shown.text, alone.text);
  EXPECT_EQ(shown.designed, alone.designed);
  EXPECT_EQ(shown.atDesignFrequency->gainDb, alone.atDesignFrequency->gainDb);

  std::vector<std::u16string> before = Texts();
  const DesignState stateBefore = design_;
  auto* value = window->findChild<QLineEdit*>(QStringLiteral("chosenValue"));
  ASSERT_NE(value, nullptr);
  value->setText(QStringLiteral("0,25"));
  static_cast<QAbstractButton*>(window->findChild<QAbstractButton*>(QStringLiteral("useValue")))->click();
  before[10] = u"0.25";  // Text11 only
  EXPECT_EQ(Texts(), before);
  EXPECT_TRUE(IsOptionSelected(FormId::Form1, ControlOf(FeedbackChoice::Rf)));
  EXPECT_EQ(std::memcmp(&design_, &stateBefore, sizeof design_), 0);
  for (FormId form : kResultForms) EXPECT_FALSE(IsFormOpen(form));
  EXPECT_TRUE(g_messages.empty());

  // A click on the picture picks the value under it, as the readout reads it.
  auto* view = window->findChild<FigureView*>(QStringLiteral("figure"));
  ASSERT_NE(view, nullptr);
  const FigureLayout layout = LayoutFigure(view->figure(), view->width(), view->height());
  const PlotFrame& frame = layout.frames[0];
  const QPointF at(frame.left + frame.width * 0.3, frame.top + frame.height / 2);
  const auto data = FromPixel(view->figure().panels[0], frame, {at.x(), at.y()});
  ASSERT_TRUE(data);
  QMouseEvent press(QEvent::MouseButtonPress, at, view->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(view, &press);
  EXPECT_EQ(value->text().toStdString(), NearestRow(window->rows(), data->x)->text);
  EXPECT_EQ(view->readoutAt(at).toStdString().substr(0, 5), "Rf = ");

  // The shortest text of a picked value; a box without a number writes nothing.
  window->choose(window->rows()[37].value);
  EXPECT_TRUE(window->useValue());
  EXPECT_EQ(ReadText(FormId::Form1, ControlOf(Quantity::RfKohm)), Utf8ToUtf16(window->rows()[37].text));
  value->setText(QStringLiteral("abc"));
  EXPECT_FALSE(window->useValue());
  EXPECT_EQ(ReadText(FormId::Form1, ControlOf(Quantity::RfKohm)), Utf8ToUtf16(window->rows()[37].text));
  EXPECT_EQ(g_messages.size(), 1u);
}

// Rf // Lf: the second mode sweeps Lf with Rf held and writes only Lf.
TEST_F(FeedbackExplorerWindows, SweepsLfWithRfHeld) {
  UseThreePointTransistorFile("tre.s2p");
  static_cast<QAbstractButton*>(FindControl(FormId::Form1, ControlOf(FeedbackChoice::RfLf)))->click();
  FeedbackExplorerWindow* window = Open();
  ASSERT_NE(window, nullptr);
  auto* field = window->findChild<QComboBox*>(QStringLiteral("sweptField"));
  ASSERT_EQ(field->count(), 2);
  field->setCurrentIndex(1);
  emit field->activated(1);
  window->waitUntilDone();
  ASSERT_EQ(window->rows().size(), 201u);
  EXPECT_EQ(window->rows().front().value, 0.001);
  EXPECT_EQ(window->figure().panels.back().x.title, "Lf [uH]");
  std::vector<std::u16string> texts = Texts();
  window->choose(window->rows()[120].value);
  ASSERT_TRUE(window->useValue());
  texts[12] = Utf8ToUtf16(window->rows()[120].text);  // Text13 only
  EXPECT_EQ(Texts(), texts);
}

TEST_F(FeedbackExplorerWindows, WithoutAFileTheTitleSaysSoAndCancelKeepsThePicture) {
  SetTouchstoneSourceProvider({});
  static_cast<QAbstractButton*>(FindControl(FormId::Form1, ControlOf(FeedbackChoice::Rf)))->click();
  FeedbackExplorerWindow* window = Open();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->windowTitle().contains(QStringLiteral("parametri S costanti")));
  const std::size_t shown = window->rows().size();
  auto* count = window->findChild<QLineEdit*>(QStringLiteral("exploreCount"));
  count->setText(QStringLiteral("2001"));
  ASSERT_TRUE(window->start());
  window->cancel();
  window->waitUntilDone();
  EXPECT_EQ(window->rows().size(), shown);
  count->setText(QStringLiteral("1"));
  EXPECT_FALSE(window->start());
  EXPECT_EQ(g_messages.size(), 1u);
}

}  // namespace
