#pragma once
// What the program asks of Qt before it shows or prints anything: Qt's own
// texts in Russian, and no noise on the error stream of a run without a window.
#include <QStringList>

namespace korvalen {

// The arguments without the options Qt takes for itself (-style Fusion,
// -reverse, -qwindowtitle X, -geometry ..., with one dash or two, and the
// -style=Fusion forms), which the program's own reading would take for
// mistakes. arguments[0], the program, stays.
QStringList withoutQtOptions(const QStringList& arguments);

// Qt's own texts in Russian whatever the session's language: the file dialogs
// and their overwrite question, the text boxes' menus, the message boxes'
// buttons and Qt's reasons for a file that cannot be written. Only the texts:
// the default QLocale, and with it the numbers' decimal separator, stays the
// user's. Needs the application object; false, and Qt speaks as before, where
// the translations are not installed.
bool installQtTranslations();

// A run without a window (help, version, files, a mistake in the options)
// prints only its own messages: Qt's notice that the session has no
// XDG_RUNTIME_DIR (as under ssh or in a container) is dropped. Every other
// message of Qt still goes out. Call before the application object is made.
void dropMissingRuntimeDirNotice();

}  // namespace korvalen
