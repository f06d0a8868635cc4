#include "export/output_files.h"

#include <QBuffer>
#include <QImageWriter>
#include <QSaveFile>
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

QString saveFiles(const std::vector<std::pair<QString, QByteArray>>& files) {
  std::vector<std::unique_ptr<QSaveFile>> pending;
  for (const auto& [path, bytes] : files) {
    auto f = std::make_unique<QSaveFile>(path);
    if (bytes.isEmpty()) return saveFailureText(path, QStringLiteral("нечего записать"));
    if (!f->open(QIODevice::WriteOnly) || f->write(bytes) != bytes.size()) {
      const QString reason = f->errorString();
      f->cancelWriting();
      return saveFailureText(path, reason);  // the files opened so far are dropped unwritten
    }
    pending.push_back(std::move(f));
  }
  for (auto& f : pending)
    if (!f->commit()) return saveFailureText(f->fileName(), f->errorString());
  return {};
}

}  // namespace korvalen
