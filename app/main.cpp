#include <QApplication>

#include "model/design_state.h"
#include "ui/qt/qt_ui.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  NameApplication();
  static DesignState design;
  InstallQtUi(design);
  OpenStartWindow();
  return app.exec();
}
