// The PDF report written through a result window's menu, read back by
// poppler's tools as a user's viewer would read it.
#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "gui/design_store.h"
#include "gui/dialogs.h"
#include "gui/menus.h"
#include "tests/gui/fresh_windows.h"
#include "touchstone/touchstone.h"

namespace {

const QString kReport = QStringLiteral("Esporta/Relazione PDF...");

QString Output(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(30000) || process.exitCode() != 0) return {};
  return QString::fromUtf8(process.readAllStandardOutput());
}

QString BoxText(const char* box) { return static_cast<QLabel*>(FindControl(FormId::Form2, box))->text().trimmed(); }

class PdfReport : public ::testing::Test {
 protected:
  void SetUp() override {
    OpenFreshWindows(design_);
    SetTouchstoneSourceProvider({});
  }
  // The stored test values with Rf feedback open Form2.
  static void Calculate() {
    for (const char* name : {"Command2", "Option1", "Command1"})
      static_cast<QAbstractButton*>(FindControl(FormId::Form1, name))->click();
    ASSERT_NE(FormFrame(FormId::Form2), nullptr);
  }
  static void Compute() { static_cast<QAbstractButton*>(FindControl(FormId::Form2, "Command1"))->click(); }

  static DesignState design_;
};
DesignState PdfReport::design_;

TEST_F(PdfReport, TwoA4PagesWithTheWindowsValuesAndItsFile) {
  const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
  const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  if (pdfinfo.isEmpty() || pdftotext.isEmpty()) GTEST_SKIP() << "poppler-utils missing";
  UseThreePointTransistorFile("/dati/bfr.s2p");
  Calculate();
  Compute();
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("relazione.pdf"));
  PushScriptedAnswer(path.toStdString());
  ASSERT_EQ(TriggerMenuEntry(FormId::Form2, kReport), "");
  EXPECT_TRUE(g_messages.empty()) << g_messages.front();

  const QString info = Output(pdfinfo, {path});
  EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n")))) << info.toStdString();
  EXPECT_TRUE(info.contains(QStringLiteral("(A4)"))) << info.toStdString();
  const QString text = Output(pdftotext, {path, QStringLiteral("-")});
  // The element values on the schematic and in the table, the feedback, a
  // verification box the window has not shown yet, the file and the figures.
  EXPECT_GE(text.count(BoxText("Label1") + QStringLiteral(" nH")), 1) << text.toStdString();
  EXPECT_GE(text.count(BoxText("Label1")), 2);
  for (const char* box : {"Label38", "Label28", "Label10"}) {
    ASSERT_FALSE(BoxText(box).isEmpty()) << box;
    EXPECT_TRUE(text.contains(BoxText(box))) << box;
  }
  for (const char* word : {"Li1 [nH]", "bfr.s2p", "Stabilità", "con retroazione", "Frequenza [MHz]"})
    EXPECT_TRUE(text.contains(QString::fromUtf8(word))) << word;
  EXPECT_FALSE(text.contains(QStringLiteral("nan"), Qt::CaseInsensitive));
}

TEST_F(PdfReport, FeedbackOfAnEarlierDesignIsLeftOut) {
  const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  if (pdftotext.isEmpty()) GTEST_SKIP() << "poppler-utils missing";
  // Rf // Cf first, then no feedback: the window's Cf box keeps its old text.
  static_cast<QLineEdit*>(FindControl(FormId::Form1, "Text8"))->setText(QStringLiteral("40"));
  for (const char* option : {"Option3", "Option4"}) {
    static_cast<QAbstractButton*>(FindControl(FormId::Form1, option))->click();
    static_cast<QAbstractButton*>(FindControl(FormId::Form1, "Command1"))->click();
    ASSERT_NE(FormFrame(FormId::Form4), nullptr);
    static_cast<QAbstractButton*>(FindControl(FormId::Form4, "Command1"))->click();
  }
  ASSERT_FALSE(static_cast<QLabel*>(FindControl(FormId::Form4, "Label31"))->text().isEmpty());
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("relazione.pdf"));
  PushScriptedAnswer(path.toStdString());
  ASSERT_EQ(TriggerMenuEntry(FormId::Form4, kReport), "");
  const QString text = Output(pdftotext, {path, QStringLiteral("-")});
  EXPECT_TRUE(text.contains(QStringLiteral("Elemento Yf"))) << text.toStdString();
  EXPECT_FALSE(text.contains(QStringLiteral("Cf [pF]")));
  EXPECT_FALSE(text.contains(QStringLiteral("Rf [kohm]")));
}

TEST_F(PdfReport, NeedsAComputedDesignAndTellsAFailedWrite) {
  Calculate();
  EXPECT_NE(TriggerMenuEntry(FormId::Form2, kReport), "");  // disabled before the compute
  Compute();
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("manca/relazione.pdf"));
  PushScriptedAnswer(path.toStdString());
  ASSERT_EQ(TriggerMenuEntry(FormId::Form2, kReport), "");
  EXPECT_EQ(g_messages.size(), 1u);
  EXPECT_FALSE(QFile::exists(path));
}

}  // namespace
