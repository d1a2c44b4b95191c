// The windows tell the truth about the design: a reopened project designs
// from its transistor file again, the result window's status line judges
// stability across the file, the titles and file names use the user's words,
// and a text read as its numeric prefix is said on its field.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "gui/design_store.h"
#include "gui/dialogs.h"
#include "gui/file_menus.h"
#include "gui/menus.h"
#include "project/project.h"
#include "session/state_json.h"
#include "text/utf16.h"
#include "tests/gui/fresh_windows.h"

namespace {

const QString kExportS2p = QStringLiteral("Esporta/Touchstone dell'amplificatore...");
const QRegularExpression kInternalName(QStringLiteral("Form[2-5]"));

QString Sample(const char* name) { return QStringLiteral(BJT_SCENARIO_DIR "/../data/") + name; }

std::string Slurp(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}


QWidget* Newest(const char* name) {
  QWidget* found = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && w->objectName() == QLatin1String(name)) found = w;
  return found;
}

class DesignTruth : public ::testing::Test {
 protected:
  void SetUp() override {
    OpenFreshWindows(design_);
  }
  void TearDown() override {
    for (const char* name : {"ResponseWindow", "SmithWindow"})
      while (QWidget* w = Newest(name)) w->close();
  }

  // Calculate with Rf, then the compute of the window that opened.
  FormId Design(const char* rfKohm) {
    SetText(FormId::Form1, "Text11", Utf8ToUtf16(rfKohm));
    Click(FormId::Form1, "Option1");
    Click(FormId::Form1, "Command1");
    for (FormId form : kResultForms)
      if (FormWidget(form)) {
        Click(form, "Command1");
        return form;
      }
    ADD_FAILURE() << "no result window: " << (g_messages.empty() ? "" : g_messages.front());
    return FormId::Form1;
  }

  std::string Exported(FormId form, const QString& path) {
    PushScriptedAnswer(path.toStdString());
    EXPECT_EQ(TriggerMenuEntry(form, kExportS2p), "");
    return Slurp(path);
  }

  DesignState design_;
};

TEST_F(DesignTruth, AReopenedProjectDesignsFromItsFileWhereverTheFolderGoes) {
  QTemporaryDir dir;
  ASSERT_TRUE(QDir().mkpath(dir.filePath("a/dati")));
  const QString s2p = dir.filePath("a/dati/bfr.s2p"), project = dir.filePath("a/p.bjtp");
  ASSERT_TRUE(QFile::copy(Sample("bfr_maker_ma_mhz.s2p"), s2p));
  ASSERT_TRUE(OpenTouchstonePath(s2p, 1000.0));
  const FormId form = Design("5");
  ASSERT_NE(DesignOfWindow(form), nullptr);
  const std::string state = StateJson(DesignOfWindow(form)->state);
  const std::string before = Exported(form, dir.filePath("before.s2p"));
  EXPECT_NE(before.find("\n1e8 "), std::string::npos);  // from the file's first frequency
  PushScriptedAnswer(project.toStdString());
  ASSERT_TRUE(SaveProjectAs());
  EXPECT_NE(Slurp(project).find("\"path\": \"dati/bfr.s2p\""), std::string::npos) << Slurp(project);

  const auto reopen = [&](const QString& path) {
    SetUp();
    EXPECT_TRUE(OpenProjectPath(path));
    return Design("5");
  };
  const FormId again = reopen(project);
  EXPECT_TRUE(g_messages.empty()) << g_messages.front();
  ASSERT_NE(DesignOfWindow(again), nullptr);
  EXPECT_EQ(StateJson(DesignOfWindow(again)->state), state);
  EXPECT_EQ(Exported(again, dir.filePath("after.s2p")), before);

  // The project and its file moved together.
  ASSERT_TRUE(QDir(dir.path()).rename(QStringLiteral("a"), QStringLiteral("b")));
  const FormId moved = reopen(dir.filePath("b/p.bjtp"));
  EXPECT_TRUE(g_messages.empty()) << g_messages.front();
  EXPECT_EQ(Exported(moved, dir.filePath("moved.s2p")), before);

  // The file gone: the fields are there, one message says why, and every
  // later window holds the S-parameters constant.
  ASSERT_TRUE(QFile::remove(dir.filePath("b/dati/bfr.s2p")));
  SetUp();
  EXPECT_TRUE(OpenProjectPath(dir.filePath("b/p.bjtp")));
  ASSERT_EQ(g_messages.size(), 1u);
  EXPECT_NE(g_messages[0].find("dati/bfr.s2p"), std::string::npos) << g_messages[0];
  EXPECT_NE(g_messages[0].find("costanti"), std::string::npos) << g_messages[0];
  EXPECT_EQ(ReadText(FormId::Form1, "Text1"), u"0.27");
  g_messages.clear();
  const FormId alone = Design("5");
  ASSERT_NE(DesignOfWindow(alone), nullptr);
  EXPECT_EQ(DesignOfWindow(alone)->touchstone, nullptr);
  EXPECT_TRUE(StatusLine(alone).contains(QStringLiteral("(solo a f: nessun file Touchstone)")));
}

TEST_F(DesignTruth, EditingAFileFieldDetachesTheFileAndTheProjectStoresNoSource) {
  QTemporaryDir dir;
  ASSERT_TRUE(OpenTouchstonePath(Sample("bfr_maker_ma_mhz.s2p"), 1000.0));
  SetText(FormId::Form1, "Text14", u"1100");  // f by hand: the file's 1000 MHz data at 1100
  const FormId form = Design("5");
  ASSERT_NE(DesignOfWindow(form), nullptr);
  EXPECT_EQ(DesignOfWindow(form)->touchstone, nullptr);
  const QString project = dir.filePath("p.bjtp");
  PushScriptedAnswer(project.toStdString());
  ASSERT_TRUE(SaveProjectAs());
  const auto read = ReadProjectFile(project.toStdString());
  ASSERT_TRUE(std::holds_alternative<Project>(read));
  EXPECT_FALSE(std::get<Project>(read).touchstone.has_value());
}

TEST_F(DesignTruth, TheStatusLineJudgesStabilityAcrossTheFile) {
  ASSERT_TRUE(OpenTouchstonePath(Sample("bfr_maker_ma_mhz.s2p"), 1000.0));
  const FormId stable = Design("1");
  const QString line = StatusLine(stable);
  EXPECT_TRUE(line.startsWith(QStringLiteral("Guadagno adattato "))) << line.toStdString();
  EXPECT_TRUE(line.contains(QStringLiteral("μ a 1000 MHz = ")));
  EXPECT_TRUE(line.contains(QStringLiteral("stabile incondizionatamente in tutto il file (100–2000 MHz)")))
      << line.toStdString();
  // The specified layout is untouched: the line lives outside the client area.
  auto* status = FormFrame(stable)->findChild<QWidget*>(QStringLiteral("StatusLine"));
  ASSERT_NE(status, nullptr);
  EXPECT_NE(status->parentWidget(), FormWidget(stable));
  EXPECT_GE(status->geometry().top(), FormWidget(stable)->geometry().bottom());

  const FormId unstable = Design("50");
  EXPECT_TRUE(StatusLine(unstable).contains(QStringLiteral("possibile oscillazione tra 100 e 200 MHz")))
      << StatusLine(unstable).toStdString();
}

TEST_F(DesignTruth, TitlesAndDefaultFileNamesUseThePersonsWords) {
  ASSERT_TRUE(OpenTouchstonePath(Sample("bfr_maker_ma_mhz.s2p"), 1000.0));
  const FormId form = Design("5");
  ASSERT_EQ(TriggerMenuEntry(form, QStringLiteral("Analisi/Risposta in frequenza...")), "");
  ASSERT_EQ(TriggerMenuEntry(form, QStringLiteral("Analisi/Carta di Smith...")), "");
  for (const char* name : {"ResponseWindow", "SmithWindow"}) {
    QWidget* window = Newest(name);
    ASSERT_NE(window, nullptr) << name;
    EXPECT_FALSE(window->windowTitle().contains(kInternalName)) << window->windowTitle().toStdString();
    EXPECT_TRUE(window->windowTitle().contains(QStringLiteral(", 1000 MHz"))) << window->windowTitle().toStdString();
    PushScriptedAnswer("cancel");
    window->findChild<QAbstractButton*>(QStringLiteral("exportPng"))->click();
    EXPECT_TRUE(LastSuggestedSaveName().contains(QStringLiteral("bfr_maker_ma_mhz_1000MHz")))
        << LastSuggestedSaveName().toStdString();
    EXPECT_FALSE(LastSuggestedSaveName().contains(kInternalName));
  }
  PushScriptedAnswer("cancel");
  EXPECT_EQ(TriggerMenuEntry(form, QStringLiteral("Esporta/Relazione PDF...")), "");
  EXPECT_EQ(LastSuggestedSaveName(), QStringLiteral("relazione_bfr_maker_ma_mhz_1000MHz.pdf"));
}

TEST_F(DesignTruth, AFieldReadAsItsNumericPrefixSaysSoWithoutChangingTheText) {
  auto* field = qobject_cast<QLineEdit*>(FindControl(FormId::Form1, "Text12"));
  ASSERT_NE(field, nullptr);
  const QString own = field->toolTip();
  field->setText(QStringLiteral("50.0.7"));
  EXPECT_EQ(field->text(), QStringLiteral("50.0.7"));
  EXPECT_TRUE(field->toolTip().contains(QStringLiteral("letto come 50"))) << field->toolTip().toStdString();
  field->setText(QStringLiteral("50"));
  EXPECT_EQ(field->toolTip(), own);
}

}  // namespace
