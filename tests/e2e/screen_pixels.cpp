// Prints the colours of pixels of an X window, one "r g b" line per pixel:
//   screen_pixels WINDOW X Y [X Y ...]
// or a digest of a rectangle of them, equal for equal pixels:
//   screen_pixels WINDOW --region X Y WIDTH HEIGHT
// X and Y are the window's own screen pixels.
#include <QCryptographicHash>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  const bool region = argc == 7 && std::strcmp(argv[2], "--region") == 0;
  if (!region && (argc < 4 || argc % 2 != 0)) {
    std::fprintf(stderr, "usage: screen_pixels WINDOW X Y [X Y ...] | WINDOW --region X Y W H\n");
    return 2;
  }
  // The window's pixels as the server holds them, whatever scale the program ran at.
  qputenv("QT_QPA_PLATFORM", "xcb");
  qunsetenv("QT_SCALE_FACTOR");
  QGuiApplication app(argc, argv);
  const auto window = static_cast<WId>(std::strtoull(argv[1], nullptr, 0));
  const QImage image = QGuiApplication::primaryScreen()->grabWindow(window).toImage();
  if (image.isNull()) return 1;
  if (region) {
    const QRect r(std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]));
    if (r.isEmpty() || !image.rect().contains(r)) return 1;
    const QImage part = image.copy(r).convertToFormat(QImage::Format_RGB32);
    QCryptographicHash digest(QCryptographicHash::Sha256);
    for (int y = 0; y < part.height(); ++y)
      digest.addData(QByteArrayView(reinterpret_cast<const char*>(part.constScanLine(y)), part.width() * 4));
    std::printf("%s\n", digest.result().toHex().constData());
    return 0;
  }
  for (int k = 2; k + 1 < argc; k += 2) {
    const int x = std::atoi(argv[k]), y = std::atoi(argv[k + 1]);
    if (!image.valid(x, y)) return 1;
    const QRgb c = image.pixel(x, y);
    std::printf("%d %d %d\n", qRed(c), qGreen(c), qBlue(c));
  }
  return 0;
}
