#include <QApplication>

#include "main_window/form1.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Korvalen"));
  QApplication::setApplicationVersion(QStringLiteral(KORVALEN_VERSION));
  korvalen::installFontSubstitutions();
  korvalen::Form1 window;
  window.show();
  return app.exec();
}
