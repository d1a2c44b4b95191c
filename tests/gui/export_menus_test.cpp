// The result windows' Esporta entries write the design the window shows.
#include <QAbstractButton>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <variant>

#include "gui/dialogs.h"
#include "gui/menus.h"
#include "tests/gui/fresh_windows.h"
#include "touchstone/touchstone.h"

namespace {


std::string Slurp(const QString& path) {
  std::ifstream in(path.toStdString());
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(ExportMenus, WriteTheWindowsOwnDesign) {
  static DesignState design;
  OpenFreshWindows(design);
  QTemporaryDir dir;
  const QString netlist = dir.filePath("amp.cir"), s2p = dir.filePath("amp.s2p");

  for (const char* name : {"Command2", "Option1", "Command1"}) Click(FormId::Form1, name);
  ASSERT_NE(FormFrame(FormId::Form2), nullptr);
  // Before its compute the window has no design to export.
  EXPECT_NE(TriggerMenuEntry(FormId::Form2, "Esporta/Schema SPICE..."), "");
  Click(FormId::Form2, "Command1");

  // A new Calculate at 150 MHz changes the shared state, not the window's design.
  static_cast<QLineEdit*>(FindControl(FormId::Form1, "Text14"))->setText("150");
  Click(FormId::Form1, "Command1");
  PushScriptedAnswer(netlist.toStdString());
  EXPECT_EQ(TriggerMenuEntry(FormId::Form2, "Esporta/Schema SPICE..."), "");
  PushScriptedAnswer(s2p.toStdString());
  EXPECT_EQ(TriggerMenuEntry(FormId::Form2, "Esporta/Touchstone dell'amplificatore..."), "");
  EXPECT_TRUE(g_messages.empty()) << g_messages.front();

  EXPECT_NE(Slurp(netlist).find("f = 100 MHz"), std::string::npos);
  EXPECT_NE(Slurp(dir.filePath("amp_banco.cir")).find(".subckt transistore_lineare"), std::string::npos);
  const TouchstoneResult read = ReadTouchstoneFile(s2p.toStdString());
  ASSERT_TRUE(std::holds_alternative<TouchstoneData>(read));
  const TouchstoneData& data = std::get<TouchstoneData>(read);
  ASSERT_EQ(data.records.size(), 401u);
  EXPECT_EQ(data.records.front().fMHz, 50);
  EXPECT_EQ(data.records.back().fMHz, 150);

  // Cancelling the save dialog writes nothing.
  PushScriptedAnswer("cancel");
  EXPECT_EQ(TriggerMenuEntry(FormId::Form2, "Esporta/Schema SPICE..."), "");
  EXPECT_FALSE(QFile::exists(dir.filePath("amplificatore.cir")));
}

}  // namespace
