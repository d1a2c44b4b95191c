// Build-time tool: writes the program's window icon as the PNGs of the
// desktop icon theme, so the menu shows the very target the windows show.
// Usage: bjt-export-icons OUTPUT_DIR ICON_NAME
// writes OUTPUT_DIR/<n>x<n>/ICON_NAME.png for every theme size.
#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>

#include <cstdio>

#include "gui/pictures.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR ICON_NAME\n", argv[0]);
    return 2;
  }
  // Runs during the build, where there may be no display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString outputDir = QString::fromLocal8Bit(argv[1]);
  const QString iconName = QString::fromLocal8Bit(argv[2]);
  const QIcon icon = AppIcon();
  for (int size : {16, 32, 48, 64, 128, 256}) {
    const QPixmap pixmap = icon.pixmap(QSize(size, size), 1.0);
    if (pixmap.size() != QSize(size, size)) {
      std::fprintf(stderr, "the icon has no %dx%d picture\n", size, size);
      return 1;
    }
    const QString dir = QStringLiteral("%1/%2x%2").arg(outputDir).arg(size);
    const QString file = QStringLiteral("%1/%2.png").arg(dir, iconName);
    if (!QDir().mkpath(dir) || !pixmap.save(file, "PNG")) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
