#pragma once
// The save dialogs of the program's windows, its dialog to open a file and
// the message of a failed save, shared by the form's pictures menus, the
// charts of the curves and the observations.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace korvalen {

// Where one session's save dialogs open: the folder of its last save; the
// first time, the pictures folder, or the home folder on an account that has
// none (Qt names one even then).
class SaveDialogs {
 public:
  // Qt's own dialog, in the program's language whatever dialogs the desktop
  // offers, proposing `name` with the first of `filters`. Its list and name
  // completer tell files apart by name and never open one. A name typed without
  // a suffix takes the suffix of the filter in effect. Then save(path, filter)
  // writes the file; when it succeeds its folder is the next dialog's.
  void askAndSave(QWidget* parent, const QString& title, const QStringList& filters,
                  const QString& name,
                  const std::function<bool(const QString& path, const QString& filter)>& save);
  // Qt's own dialog to pick one existing file to read, with `filters`; then
  // open(path) reads it, and when it succeeds its folder is the next dialog's
  // (the first time: the documents folder, or the home folder).
  void askAndOpen(QWidget* parent, const QString& title, const QStringList& filters,
                  const std::function<bool(const QString& path)>& open);

 private:
  QString folder_;
};

// Writes the file whole or not at all (saveFiles); a failure is told in the
// program's message box and gives false.
bool writeFileOrTell(QWidget* parent, const QString& path, const QByteArray& bytes);

// The message box of a save that failed, with its text (saveFailureText).
void tellSaveFailure(QWidget* parent, const QString& failure);

}  // namespace korvalen
