// The GUI tests need a QApplication; they run headless unless the caller
// chose a platform.
#include <QApplication>

#include <gtest/gtest.h>

#include "ui/qt/qt_ui.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  NameApplication();
  return RUN_ALL_TESTS();
}
