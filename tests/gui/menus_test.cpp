// Menu bars above the client areas: the client keeps its size and every
// control its place, entries run on their window, and the scripted dialogs
// never wait for a person.
#include <QDialog>
#include <QMenuBar>

#include <gtest/gtest.h>

#include "gui/dialogs.h"
#include "gui/menus.h"
#include "tests/gui/fresh_windows.h"

namespace {

int g_runs = 0;
FormId g_ranOn = FormId::Form1;
bool g_enabled = true;

class Menus : public ::testing::Test {
 protected:
  // Two entries of the test's own, in this test's program only; the input
  // window is built again to show them.
  void SetUp() override {
    g_runs = 0;
    g_enabled = true;
    OpenFreshWindows(design_);
    AddMenuEntry({FormId::Form1, FormId::Form2}, {QStringLiteral("File/Prova…"), QKeySequence(),
                                                  [](FormId f) { ++g_runs; g_ranOn = f; },
                                                  [](FormId) { return g_enabled; }});
    AddDynamicMenu({FormId::Form1}, QStringLiteral("File/Recenti"), [](FormId) {
      return std::vector<MenuItem>{{QStringLiteral("a.s2p"), [] { g_runs += 10; }}};
    });
    OpenStartWindow();
  }
  DesignState design_;
};

TEST_F(Menus, BarSitsAboveAnUnchangedClientArea) {
  QWidget* frame = FormFrame(FormId::Form1);
  QWidget* client = FormWidget(FormId::Form1);
  auto* bar = frame->findChild<QMenuBar*>(QStringLiteral("MenuBar"));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(client->size(), QSize(1253, 611));
  EXPECT_EQ(client->geometry().top(), bar->geometry().bottom() + 1);
  EXPECT_EQ(frame->size(), QSize(1253, 611 + bar->height()));
  EXPECT_EQ(FindControl(FormId::Form1, "Text1")->geometry(), QRect(56, 32, 105, 25));
}

TEST_F(Menus, EntriesRunOnTheirWindowByPath) {
  EXPECT_EQ(TriggerMenuEntry(FormId::Form1, QStringLiteral("File/Prova...")), "");
  EXPECT_EQ(g_runs, 1);
  ShowForm(FormId::Form2);
  EXPECT_EQ(TriggerMenuEntry(FormId::Form2, QStringLiteral("File/Prova…")), "");
  EXPECT_EQ(g_ranOn, FormId::Form2);
  EXPECT_EQ(TriggerMenuEntry(FormId::Form1, QStringLiteral("File/Recenti/a.s2p")), "");
  EXPECT_EQ(g_runs, 12);
  g_enabled = false;
  EXPECT_NE(TriggerMenuEntry(FormId::Form1, QStringLiteral("File/Prova...")), "");
  EXPECT_NE(TriggerMenuEntry(FormId::Form1, QStringLiteral("File/Nulla")), "");
  EXPECT_EQ(g_runs, 12);
}

TEST_F(Menus, ScriptedDialogsTakeQueuedAnswersAndNeverWait) {
  ASSERT_TRUE(DialogsScripted());
  PushScriptedAnswer("/tmp/x.s2p");
  PushScriptedAnswer("cancel");
  EXPECT_EQ(AskOpenFileName(nullptr, {}, {}).value_or(QString()), QStringLiteral("/tmp/x.s2p"));
  EXPECT_FALSE(AskOpenFileName(nullptr, {}, {}).has_value());
  EXPECT_FALSE(AskSaveFileName(nullptr, {}, {}, {}).has_value());  // none queued
  QDialog dialog;
  std::string seen;
  PushScriptedAnswer("row 3");
  EXPECT_TRUE(ExecDialog(dialog, [&](const std::string& a) { seen = a; return true; }));
  EXPECT_EQ(seen, "row 3");
  PushScriptedAnswer("nonsense");
  EXPECT_FALSE(ExecDialog(dialog, [](const std::string&) { return false; }));
}

}  // namespace
