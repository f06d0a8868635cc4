#include "export/output_files.h"

#include <QBuffer>
#include <QImageWriter>
#include <QSaveFile>
#include <cerrno>
#include <memory>

#include "export/command_line.h"

namespace korvalen {

QByteArray pngOf(const QImage& picture, const QString& command) {
  QImage image = picture;
  image.setDevicePixelRatio(1);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "png");
  writer.setText(QStringLiteral("Comment"), command);
  writer.setText(QStringLiteral("Software"), softwareName());
  if (!writer.write(image)) return {};
  return bytes;
}

QString saveFailureText(const QString& path, const QString& reason) {
  return QStringLiteral("Не удалось сохранить файл «%1»: %2").arg(path, reason);
}

QString reasonInRussian(const QString& reason) {
  for (const QChar c : reason)
    if (c.script() == QChar::Script_Cyrillic) return reason;
  // Qt words a file's failure as qt_error_string(errno) does, in the system's
  // language where it has no translation of its own.
  static const struct {
    int code;
    const char* words;
  } kCauses[] = {
      {ENOENT, "папка не существует"},
      {EACCES, "нет прав на запись"},
      {EPERM, "нет прав на запись"},
      {EROFS, "файловая система только для чтения"},
      {ENOSPC, "на диске нет места"},
      {EDQUOT, "на диске нет места: исчерпана квота"},
      {ENAMETOOLONG, "слишком длинное имя"},
      {EISDIR, "на месте файла папка"},
      {ENOTDIR, "на месте папки файл"},
  };
  for (const auto& c : kCauses)
    if (reason == qt_error_string(c.code)) return QString::fromUtf8(c.words);
  // QSaveFile's own words for a name that is a folder's.
  if (reason == QLatin1String("Filename refers to a directory")) return QStringLiteral("на месте файла папка");
  return reason;
}

QString saveFiles(const std::vector<std::pair<QString, QByteArray>>& files) {
  std::vector<std::unique_ptr<QSaveFile>> pending;
  for (const auto& [path, bytes] : files) {
    auto f = std::make_unique<QSaveFile>(path);
    if (bytes.isEmpty()) return saveFailureText(path, QStringLiteral("нечего записать"));
    if (!f->open(QIODevice::WriteOnly) || f->write(bytes) != bytes.size()) {
      const QString reason = reasonInRussian(f->errorString());
      f->cancelWriting();
      return saveFailureText(path, reason);  // the files opened so far are dropped unwritten
    }
    pending.push_back(std::move(f));
  }
  for (auto& f : pending)
    if (!f->commit()) return saveFailureText(f->fileName(), reasonInRussian(f->errorString()));
  return {};
}

}  // namespace korvalen
