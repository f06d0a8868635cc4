#include <QApplication>

#include "main_window/form1.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Korvalen"));
  QApplication::setApplicationVersion(QStringLiteral(KORVALEN_VERSION));
  // Lets the desktop match the window to its menu entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral(KORVALEN_APP_ID));
  korvalen::installFontSubstitutions();
  korvalen::Form1 window;
  window.show();
  return app.exec();
}
