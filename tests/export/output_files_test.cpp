// Files are written whole or not at all.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

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
