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

bool hasLatinLetter(const QString& text) {
  for (const QChar c : text)
    if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))) return true;
  return false;
}

// Qt words a failed file as qt_error_string(errno) does, in the system's
// language (English here, under C.UTF-8) where it has no translation.
TEST(SaveFailureReason, CommonCausesInRussian) {
  const struct {
    int code;
    const char* words;
  } causes[] = {
      {ENOENT, "папка не существует"},        {EACCES, "нет прав на запись"},
      {EROFS, "файловая система только для чтения"}, {ENOSPC, "на диске нет места"},
      {ENAMETOOLONG, "слишком длинное имя"},  {EISDIR, "на месте файла папка"},
      {ENOTDIR, "на месте папки файл"},
  };
  for (const auto& c : causes) {
    SCOPED_TRACE(qt_error_string(c.code).toStdString());
    EXPECT_EQ(reasonInRussian(qt_error_string(c.code)), QString::fromUtf8(c.words));
  }
  // Russian already (Qt's translation, the system's own): kept; a cause the
  // program has no words for keeps the system's.
  EXPECT_EQ(reasonInRussian(QStringLiteral("Доступ запрещён")), QStringLiteral("Доступ запрещён"));
  EXPECT_EQ(reasonInRussian(qt_error_string(EIO)), qt_error_string(EIO));
}

// Real failures on the disk, one per cause a test can bring about whoever
// runs it: the text names the file and a Russian reason, and nothing is made.
TEST(SaveFailureReason, RealFailuresWriteNothing) {
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("file")), folder = dir.filePath(QStringLiteral("folder"));
  ASSERT_TRUE(saveFiles({{file, "old"}}).isEmpty());
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
  const struct {
    const char* cause;
    QString path;
    const char* words;
  } cases[] = {
      {"no such folder", dir.filePath(QStringLiteral("no/such/map.png")), "папка не существует"},
      {"a file where a folder should be", file + QStringLiteral("/map.png"), "на месте папки файл"},
      {"a folder where the file should be", folder, "на месте файла папка"},
      {"a name too long", dir.filePath(QString(300, QLatin1Char('n')) + QStringLiteral(".png")),
       "слишком длинное имя"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cause);
    const QString failure = saveFiles({{c.path, "new"}});
    EXPECT_EQ(failure, saveFailureText(c.path, QString::fromUtf8(c.words)));
    EXPECT_FALSE(hasLatinLetter(failure.section(QStringLiteral("»: "), -1))) << failure.toStdString();
  }
  EXPECT_EQ(contentOf(file), "old");
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), (QStringList{"file", "folder"}));
  EXPECT_TRUE(QDir(folder).isEmpty());
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
