#include <QApplication>
#include <cstdio>

#include "app/batch.h"
#include "app/main_frame.h"
#include "export/command_line.h"
#include "main_window/form1.h"
#include "toolkit/appearance.h"

namespace {

void print(FILE* stream, const QString& text) {
  std::fputs(text.toLocal8Bit().constData(), stream);
  std::fflush(stream);
}

int usageError(const QString& message) {
  print(stderr, QStringLiteral("korvalen: %1\nСправка: korvalen --help\n").arg(message));
  return korvalen::kExitUsage;
}

}  // namespace

int main(int argc, char* argv[]) {
  // A first reading, before Qt takes its own options out: files to write,
  // help, version or a mistake need no display, and get Qt's offscreen
  // platform whatever the session has.
  {
    QStringList raw;
    for (int i = 0; i < argc; ++i) raw << QString::fromLocal8Bit(argv[i]);
    const korvalen::ParsedCommandLine first = korvalen::parseCommandLine(raw);
    if (!first.error.isEmpty() || first.options.withoutWindow()) qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Korvalen"));
  QApplication::setApplicationVersion(QStringLiteral(KORVALEN_VERSION));
  // Lets the desktop match the window to its menu entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral(KORVALEN_APP_ID));
  korvalen::installFontSubstitutions();

  const korvalen::ParsedCommandLine parsed = korvalen::parseCommandLine(QApplication::arguments());
  if (!parsed.error.isEmpty()) return usageError(parsed.error);
  const korvalen::CommandLine& c = parsed.options;
  if (c.help) {
    print(stdout, korvalen::helpText());
    return korvalen::kExitSuccess;
  }
  if (c.version) {
    print(stdout, korvalen::versionText());
    return korvalen::kExitSuccess;
  }
  if (c.withoutWindow()) {
    const korvalen::BatchResult r = korvalen::runWithoutWindow(c);
    if (r.status == korvalen::kExitUsage) return usageError(r.message);
    if (r.status != korvalen::kExitSuccess) print(stderr, QStringLiteral("korvalen: %1\n").arg(r.message));
    return r.status;
  }
  if (c.scale) korvalen::PictureBox::setScaleOverride(c.scaleValue);
  korvalen::useWindowStyle();
  korvalen::MainFrame window;
  korvalen::PictureBox::setScaleOverride(0);
  if (const QString error = korvalen::typeIn(window.form(), c); !error.isEmpty()) return usageError(error);
  window.show();
  return app.exec();
}
