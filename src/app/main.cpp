#include <QApplication>
#include <cstdio>
#include <cstring>

#include "app/batch.h"
#include "app/main_frame.h"
#include "observation_window/observation_store.h"
#include "app/qt_setup.h"
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

// Whether the window has no display to open on: neither an X display nor a
// Wayland one is named (as under ssh without forwarding). Qt would abort there
// with advice to reinstall the program. A platform or display the user chose,
// with QT_QPA_PLATFORM, -platform or -display, is Qt's to open or refuse.
bool noDisplayForWindow(int argc, char* argv[]) {
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return false;
  for (int i = 1; i < argc; ++i)
    for (const char* chosen : {"-platform", "--platform", "-display", "--display"})
      if (std::strcmp(argv[i], chosen) == 0) return false;
  return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char* argv[]) {
  // A first reading, before Qt takes its own options out (so they are passed
  // over here): files to write, help, version or a mistake need no display,
  // and get Qt's offscreen platform whatever the session has.
  {
    QStringList raw;
    for (int i = 0; i < argc; ++i) raw << QString::fromLocal8Bit(argv[i]);
    const korvalen::ParsedCommandLine first = korvalen::parseCommandLine(korvalen::withoutQtOptions(raw));
    if (!first.error.isEmpty() || first.options.withoutWindow()) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
      korvalen::dropMissingRuntimeDirNotice();
    } else if (noDisplayForWindow(argc, argv)) {
      print(stderr, QStringLiteral("korvalen: нет дисплея, на котором можно открыть окно "
                                   "(не задана ни DISPLAY, ни WAYLAND_DISPLAY).\n"
                                   "Без дисплея работают --render, --values, --example, --profile, "
                                   "--phase-curve, --fit, --fit-all и --evaluate: они пишут файлы без "
                                   "окна. Справка: korvalen --help\n"));
      return korvalen::kExitRunFailed;
    }
  }
  QApplication app(argc, argv);
  // Before anything is shown or printed: Qt's own texts in Russian too.
  korvalen::installQtTranslations();
  QApplication::setApplicationName(QStringLiteral("Korvalen"));
  QApplication::setApplicationVersion(QStringLiteral(KORVALEN_VERSION));
  // Lets the desktop match the window to its menu entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral(KORVALEN_APP_ID));
  korvalen::installFontSubstitutions();

  // Qt keeps the options its platform of this run does not read (-geometry
  // off X11): they are still not the program's.
  const korvalen::ParsedCommandLine parsed =
      korvalen::parseCommandLine(korvalen::withoutQtOptions(QApplication::arguments()));
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
    if (!r.output.isEmpty()) print(stdout, r.output);
    if (r.status == korvalen::kExitUsage) return usageError(r.message);
    if (r.status != korvalen::kExitSuccess) print(stderr, QStringLiteral("korvalen: %1\n").arg(r.message));
    return r.status;
  }
  if (c.scale) korvalen::PictureBox::setScaleOverride(c.scaleValue);
  korvalen::useWindowStyle();
  korvalen::MainFrame window;
  korvalen::PictureBox::setScaleOverride(0);
  if (const QString error = korvalen::typeIn(window.form(), c); !error.isEmpty()) return usageError(error);
  // Observations given without a fit: held by the window, as if opened from its File menu.
  if (!c.data.isEmpty())
    if (const QString error = window.observations().load(c.data); !error.isEmpty()) return usageError(error);
  if (c.dataTolerance) window.form().setMarkTolerance(*korvalen::readCommandLineNumber(*c.dataTolerance));
  // After the values are typed in: the first live run shades them.
  window.form().setLiveShading(c.live);
  window.show();
  if (c.levelsAuto) window.form().setLevelsFromMap();
  return app.exec();
}
