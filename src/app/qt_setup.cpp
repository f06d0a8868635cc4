#include "app/qt_setup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace korvalen {

bool installQtTranslations() {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return false;
  // Owned by the application, so it lives exactly as long as the texts it gives.
  auto* qtbase = new QTranslator(app);
  if (!qtbase->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete qtbase;
    return false;
  }
  return QCoreApplication::installTranslator(qtbase);
}

namespace {

// Qt's options as its application objects and the X11 platform read them:
// those followed by a value, those that may carry it after "=", and the flags.
const char* const kQtOptionsWithValue[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon",
    "qwindowtitle", "session", "display", "geometry", "title", "icon", "name", "visual", "style",
    "stylesheet"};
const char* const kQtOptionsWithJoinedValue[] = {"style=", "stylesheet=", "qmljsdebugger="};
const char* const kQtFlags[] = {"reverse", "widgetcount", "testability", "nograb", "dograb", "sync"};

QtMessageHandler qtHandler = nullptr;

void withoutRuntimeDirNotice(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  // Qt falls back to a runtime folder of its own and goes on; the window-less
  // run never uses that folder, so the notice tells its user nothing.
  if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
    return;
  qtHandler(type, context, message);
}

}  // namespace

QStringList withoutQtOptions(const QStringList& arguments) {
  QStringList kept;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& a = arguments[i];
    // Qt reads "--style" as "-style".
    const QString name = a.startsWith(QLatin1String("--")) ? a.mid(2) : a.startsWith(QLatin1Char('-')) ? a.mid(1) : QString();
    bool qts = false;
    if (i > 0 && !name.isEmpty()) {
      for (const char* f : kQtFlags) qts = qts || name == QLatin1String(f);
      for (const char* j : kQtOptionsWithJoinedValue) qts = qts || name.startsWith(QLatin1String(j));
      // As Qt does, one of these is its own only where a value follows.
      for (const char* v : kQtOptionsWithValue) {
        if (name != QLatin1String(v) || i + 1 == arguments.size()) continue;
        qts = true;
        ++i;  // its value
      }
    }
    if (!qts) kept << a;
  }
  return kept;
}

void dropMissingRuntimeDirNotice() {
  // Qt hands back its default handler when none was installed before.
  if (!qtHandler) qtHandler = qInstallMessageHandler(withoutRuntimeDirNotice);
}

}  // namespace korvalen
