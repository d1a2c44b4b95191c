#include <QApplication>

#include "model/design_state.h"
#include "ui/qt/qt_ui.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // Only the name: a display name of its own would be appended to every
  // window caption on some platforms. The message boxes take it as title
  // (applicationDisplayName falls back to it).
  QApplication::setApplicationName(QStringLiteral("Adattamento BJT"));
  static DesignState design;
  InstallQtUi(design);
  OpenStartWindow();
  return app.exec();
}
