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

QtMessageHandler qtHandler = nullptr;

void withoutRuntimeDirNotice(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  // Qt falls back to a runtime folder of its own and goes on; the window-less
  // run never uses that folder, so the notice tells its user nothing.
  if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
    return;
  qtHandler(type, context, message);
}

}  // namespace

void dropMissingRuntimeDirNotice() {
  // Qt hands back its default handler when none was installed before.
  if (!qtHandler) qtHandler = qInstallMessageHandler(withoutRuntimeDirNotice);
}

}  // namespace korvalen
