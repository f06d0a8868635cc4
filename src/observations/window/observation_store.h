#pragma once
// The observations the program holds: one table at a time, read whole from a
// file the user opens, shared read-only by the windows and by the fits that
// run on other threads (a fit keeps the table it started with even when
// another file is opened meanwhile).
#include <QObject>
#include <QString>
#include <memory>

#include "observations/observation_table.h"

class QLocale;
class QWidget;

namespace korvalen {

class SaveDialogs;

class ObservationStore : public QObject {
  Q_OBJECT
 public:
  explicit ObservationStore(QObject* parent = nullptr);

  std::shared_ptr<const ObservationTable> table() const { return table_; }
  // Reads the file, with a busy pointer. Read, it is held and the result is
  // empty; refused, the result is the reader's message and the table held
  // before stays.
  QString load(const QString& path);
  // "Открыть наблюдения": the dialog, the reading, and a file refused told in
  // a message box.
  void open(QWidget* parent, SaveDialogs& dialogs);
  // What is held, for a status line: "Наблюдения: moon.csv, 1 200 точек".
  QString status(const QLocale& locale) const;

 signals:
  void changed();

 private:
  std::shared_ptr<const ObservationTable> table_;
  QString fileName_;  // without its folder
};

// The filters of the dialog that opens observations.
QStringList observationFileFilters();

}  // namespace korvalen
