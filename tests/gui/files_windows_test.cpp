// The input window's files as a user meets them: the chooser's table for
// each file format, the file a design came from, drops, recent files and a
// project that cannot be saved.
#include <QAbstractButton>
#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QHeaderView>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include "gui/design_store.h"
#include "gui/dialogs.h"
#include "gui/file_menus.h"
#include "gui/frequency_chooser.h"
#include "tests/gui/fresh_windows.h"
#include "touchstone/touchstone.h"

namespace {

QString Sample(const char* name) { return QStringLiteral(BJT_SCENARIO_DIR "/../data/") + name; }

TouchstoneData Read(const char* name) {
  auto read = ReadTouchstoneFile(Sample(name).toStdString());
  EXPECT_TRUE(std::holds_alternative<TouchstoneData>(read)) << name;
  return std::get<TouchstoneData>(std::move(read));
}

QString Cell(const QTableView* table, int row, int column) {
  return table->model()->index(row, column).data().toString();
}


class Files : public ::testing::Test {
 protected:
  void SetUp() override {
    OpenFreshWindows(design_);
  }
  DesignState design_;
};

TEST_F(Files, ChooserShowsEveryFormatInMegahertzMagnitudeAndDegrees) {
  // The same transistor at 500 MHz written as DB in GHz and as MA in MHz.
  const TouchstoneData db = Read("amp_db_ghz.s2p");
  const TouchstoneData ma = Read("bfr_maker_ma_mhz.s2p");
  FrequencyChooser dbChooser(db, QStringLiteral("amp_db_ghz.s2p"), std::nullopt);
  FrequencyChooser maChooser(ma, QStringLiteral("bfr_maker_ma_mhz.s2p"), std::nullopt);
  EXPECT_EQ(Cell(dbChooser.table(), 0, 0), QStringLiteral("500"));
  for (int column = 1; column <= 8; ++column)
    EXPECT_NEAR(Cell(dbChooser.table(), 0, column).toDouble(), Cell(maChooser.table(), 2, column).toDouble(),
                2e-3 * std::abs(Cell(maChooser.table(), 2, column).toDouble()))
        << column;
  // The maker's noise block is shown; the DB file has none.
  EXPECT_EQ(maChooser.findChild<QTableView*>(QStringLiteral("NoiseTable"))->model()->rowCount(), 3);
  EXPECT_EQ(dbChooser.findChild<QTableView*>(QStringLiteral("NoiseTable")), nullptr);

  // A feedback fills its own columns, and they differ from the transistor's;
  // without one they are there, empty.
  FrequencyChooser withRf(ma, QString(), FeedbackOfTexts(1, u"0.5", u"", u""));
  // 17 columns whatever the option, then NFmin of the transistor and with
  // the feedback, as the file has noise data.
  ASSERT_EQ(withRf.table()->model()->columnCount(), 19);
  ASSERT_EQ(maChooser.table()->model()->columnCount(), 19);
  EXPECT_NE(Cell(withRf.table(), 0, 11), Cell(withRf.table(), 0, 15));
  EXPECT_EQ(Cell(maChooser.table(), 0, 15), QStringLiteral("—"));
  // NFmin where the noise block has data (500 to 2000 MHz), none below it.
  const int nfMin = 17;
  EXPECT_EQ(maChooser.table()->model()->headerData(nfMin, Qt::Horizontal).toString(), QStringLiteral("NFmin [dB]"));
  EXPECT_EQ(Cell(maChooser.table(), 2, nfMin), QStringLiteral("1.10"));
  EXPECT_EQ(Cell(maChooser.table(), 0, nfMin), QStringLiteral("—"));
  EXPECT_EQ(Cell(maChooser.table(), 2, nfMin + 1), QStringLiteral("—"));
  EXPECT_GT(Cell(withRf.table(), 2, nfMin + 1).toDouble(), 1.10);
  EXPECT_EQ(dbChooser.table()->model()->columnCount(), nfMin);
  EXPECT_FALSE(FeedbackOfTexts(2, u"0.5", u"abc", u"").has_value());
}

// The plot keeps room to draw both panels, the table shows several rows
// and the maker's three noise rows show whole, all within the screen.
TEST_F(Files, ChooserSharesItsHeightBetweenPlotTableAndNoise) {
  const TouchstoneData ma = Read("bfr_maker_ma_mhz.s2p");
  FrequencyChooser chooser(ma, QStringLiteral("bfr_maker_ma_mhz.s2p"), std::nullopt);
  chooser.show();
  QApplication::processEvents();
  EXPECT_GE(chooser.findChild<QWidget*>(QStringLiteral("ChooserPlot"))->height(), 140);
  const QTableView* table = chooser.table();
  const int row = table->verticalHeader()->defaultSectionSize();
  EXPECT_GE(table->viewport()->height(), 6 * row);
  const QTableView* noise = chooser.findChild<QTableView*>(QStringLiteral("NoiseTable"));
  EXPECT_GE(noise->viewport()->height(), 3 * row);
  EXPECT_LE(chooser.frameGeometry().height(), chooser.screen()->availableGeometry().height());
}

TEST_F(Files, ResultWindowKnowsItsFileWhileTheFieldsHoldItsValues) {
  ASSERT_TRUE(OpenTouchstonePath(Sample("bfr_maker_ma_mhz.s2p"), 1000.0));
  EXPECT_EQ(ReadText(FormId::Form1, "Text1"), u"0.27");
  Click(FormId::Form1, "Option4");
  Click(FormId::Form1, "Command1");
  const std::optional<FormId> form = OpenResultForm();
  ASSERT_TRUE(form.has_value()) << (g_messages.empty() ? "" : g_messages.front());
  Click(*form, "Command1");
  ASSERT_NE(DesignOfWindow(*form), nullptr);
  EXPECT_NE(DesignOfWindow(*form)->touchstone, nullptr);
  EXPECT_TRUE(QString::fromStdString(DesignOfWindow(*form)->touchstonePath).endsWith("bfr_maker_ma_mhz.s2p"));

  // Typed over: the design is the user's, not the file's.
  SetText(FormId::Form1, "Text1", u"0.28");
  Click(FormId::Form1, "Command1");
  const std::optional<FormId> again = OpenResultForm();
  ASSERT_TRUE(again.has_value());
  Click(*again, "Command1");
  ASSERT_NE(DesignOfWindow(*again), nullptr);
  EXPECT_EQ(DesignOfWindow(*again)->touchstone, nullptr);
}

TEST_F(Files, ProjectDroppedOnATextFieldOpensItInsteadOfTypingItsAddress) {
  SetText(FormId::Form1, "Text1", u"9");
  QWidget* field = FindControl(FormId::Form1, "Text5");
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(Sample("rf_design.bjtp"))});
  const QPointF at = QRectF(field->rect()).center();
  QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(field, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(field, &drop);
  QApplication::processEvents();
  EXPECT_EQ(ReadText(FormId::Form1, "Text1"), u"0.51");
  EXPECT_EQ(ReadText(FormId::Form1, "Text5"), u"0.01");
  EXPECT_TRUE(g_messages.empty());
}

TEST_F(Files, RecentFilesKeepTheEightNewestOnceEachAcrossRuns) {
  QTemporaryDir dir;
  const QString ini = dir.filePath(QStringLiteral("settings.ini"));
  UseRecentFilesSettings(ini);
  for (int i = 0; i < 10; ++i) {
    PushScriptedAnswer(dir.filePath(QStringLiteral("p%1.bjtp").arg(i)).toStdString());
    ASSERT_TRUE(SaveProjectAs());
  }
  ASSERT_TRUE(OpenProjectPath(dir.filePath(QStringLiteral("p5.bjtp"))));
  const QStringList recent = RecentFiles();
  UseRecentFilesSettings(QString());
  ASSERT_EQ(recent.size(), 8);
  EXPECT_TRUE(recent[0].endsWith("p5.bjtp"));
  EXPECT_TRUE(recent[1].endsWith("p9.bjtp"));
  EXPECT_EQ(recent.filter(QStringLiteral("p5.bjtp")).size(), 1);
  EXPECT_TRUE(recent[7].endsWith("p2.bjtp"));
  EXPECT_EQ(QSettings(ini, QSettings::IniFormat).value(QStringLiteral("recentFiles")).toStringList(), recent);
}

TEST_F(Files, ProjectThatCannotBeSavedUnchangedIsRefusedAndNoFileAppears) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("lone.bjtp"));
  SetText(FormId::Form1, "Text13", std::u16string(1, char16_t(0xD800)));
  PushScriptedAnswer(path.toStdString());
  EXPECT_FALSE(SaveProjectAs());
  EXPECT_EQ(g_messages.size(), 1u);
  EXPECT_FALSE(QFile::exists(path));
}

}  // namespace
