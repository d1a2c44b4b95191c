// The GUI tests need a QApplication; they run headless unless the caller
// chose a platform. Headless, they have two screens: a large one where every
// window fits, and beside it the room a 1600 x 1000 screen leaves at scale 2
// (800 x 500), where none does.
#include <QApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "tests/gui/fresh_windows.h"
#include "gui/qt_ui.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  const QString screens = QDir::temp().filePath(
      QStringLiteral("bjt-gui-screens-%1.json").arg(QCoreApplication::applicationPid()));
  if (platform.isEmpty() || platform == "offscreen") {
    QFile file(screens);
    if (file.open(QIODevice::WriteOnly))
      file.write(R"({"screens":[
        {"name":"large","x":0,"y":0,"width":1920,"height":1200,"logicalDpi":96,"logicalBaseDpi":96,"dpr":1},
        {"name":"small","x":1920,"y":0,"width":800,"height":500,"logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})");
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.toUtf8());
  }
  int result = 0;
  {
    QApplication app(argc, argv);
    NameApplication();
    result = RUN_ALL_TESTS();
    EndLastProgram();
  }
  QFile::remove(screens);
  return result;
}
