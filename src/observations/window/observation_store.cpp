#include "observation_window/observation_store.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QMessageBox>

#include "main_window/save_dialogs.h"
#include "export/report_text.h"

namespace korvalen {

QStringList observationFileFilters() {
  return {QStringLiteral("Таблицы наблюдений (*.csv *.txt *.tsv *.dat)"), QStringLiteral("Все файлы (*)")};
}

ObservationStore::ObservationStore(QObject* parent) : QObject(parent) {}

QString ObservationStore::load(const QString& path) {
  ObservationRead read;
  {
    // A million rows take a noticeable fraction of a second.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    struct Restore {
      ~Restore() { QGuiApplication::restoreOverrideCursor(); }
    } restore;
    read = readObservations(QFile::encodeName(path).toStdString());
  }
  if (!read.table) {
    const QString message = QString::fromStdString(read.error);
    return message.isEmpty() ? QStringLiteral("Файл «%1» не прочитан.").arg(path) : message;
  }
  read.table->source = path.toStdString();
  table_ = std::make_shared<const ObservationTable>(std::move(*read.table));
  fileName_ = QFileInfo(path).fileName();
  emit changed();
  return {};
}

void ObservationStore::open(QWidget* parent, SaveDialogs& dialogs) {
  dialogs.askAndOpen(parent, QStringLiteral("Открыть наблюдения"), observationFileFilters(),
                     [this, parent](const QString& path) {
                       const QString failure = load(path);
                       if (failure.isEmpty()) return true;
                       QMessageBox::warning(parent, QStringLiteral("Korvalen"), failure);
                       return false;
                     });
}

QString ObservationStore::status(const QLocale& locale) const {
  if (!table_) return QStringLiteral("Наблюдения не открыты (Файл → Открыть наблюдения…).");
  QString s = QStringLiteral("Наблюдения: %1, %2").arg(fileName_, pointsText(table_->size(), locale));
  if (!table_->hasValue()) s += QStringLiteral(", без измеренных I/F: подбирать не по чему");
  else if (table_->hasSigma()) s += QStringLiteral(", с погрешностями σ");
  return s + QLatin1Char('.');
}

}  // namespace korvalen
