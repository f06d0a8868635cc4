// Files are written whole or not at all.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <cerrno>

#include "export/command_line.h"
#include "export/output_files.h"

namespace korvalen {
namespace {

QByteArray contentOf(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
}

TEST(SaveFiles, AllOrNone) {
  QTemporaryDir dir;
  const QString a = dir.filePath(QStringLiteral("a.csv")), b = dir.filePath(QStringLiteral("b.csv"));
  ASSERT_TRUE(saveFiles({{a, "old a"}}).isEmpty());
  // The second cannot be written: the first keeps its old content.
  const QString missing = dir.filePath(QStringLiteral("no/c.csv"));
  const QString failure = saveFiles({{a, "new a"}, {missing, "c"}});
  EXPECT_TRUE(failure.startsWith(QStringLiteral("Не удалось сохранить файл «") + missing + QStringLiteral("»: ")))
      << failure.toStdString();
  EXPECT_EQ(contentOf(a), "old a");
  ASSERT_TRUE(saveFiles({{a, "new a"}, {b, "b"}}).isEmpty());
  EXPECT_EQ(contentOf(a), "new a");
  EXPECT_EQ(contentOf(b), "b");
  // Nothing but the two files: no scratch file is left behind.
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"a.csv", "b.csv"}));
}

// Qt words a failed file as qt_error_string(errno) does, in the system's
// language (English under C.UTF-8) where no translation is installed.
TEST(SaveFailureReason, CommonCausesInRussian) {
  const std::pair<int, const char*> causes[] = {
      {ENOENT, "папка не существует"}, {EACCES, "нет прав на запись"},
      {EROFS, "файловая система только для чтения"}, {ENOSPC, "на диске нет места"},
      {ENAMETOOLONG, "слишком длинное имя"}, {EISDIR, "на месте файла папка"}, {ENOTDIR, "на месте папки файл"}};
  for (const auto& [code, words] : causes)
    EXPECT_EQ(reasonInRussian(qt_error_string(code)).toStdString(), words) << code;
  // Already Russian (Qt's translation): kept; no words of the program's own: the system's.
  EXPECT_EQ(reasonInRussian(QStringLiteral("Доступ запрещён")), QStringLiteral("Доступ запрещён"));
  EXPECT_EQ(reasonInRussian(qt_error_string(EIO)), qt_error_string(EIO));
  // QSaveFile's own words for a folder in the file's place, untranslated.
  EXPECT_EQ(saveFiles({{QDir::tempPath(), "x"}}), saveFailureText(QDir::tempPath(), QStringLiteral("на месте файла папка")));
}

TEST(PngOf, ScreenPixelsAndTexts) {
  QImage picture(6, 4, QImage::Format_RGB32);
  picture.fill(Qt::white);
  picture.setPixel(5, 3, qRgb(1, 2, 3));
  picture.setDevicePixelRatio(2);  // as a picture box at screen scale 2 holds it
  const QString command = QStringLiteral("korvalen --render 'карта 1.png'");
  QByteArray png = pngOf(picture, command);
  QBuffer in(&png);
  QImageReader reader(&in, "png");
  EXPECT_EQ(reader.text(QStringLiteral("Comment")), command);
  EXPECT_EQ(reader.text(QStringLiteral("Software")), softwareName());
  const QImage back = reader.read();
  EXPECT_EQ(back.size(), QSize(6, 4));
  EXPECT_EQ(back.pixel(5, 3), qRgb(1, 2, 3));
}

}  // namespace
}  // namespace korvalen
