// Prints the colours of pixels of an X window, one "r g b" line per pixel:
//   screen_pixels WINDOW X Y [X Y ...]
// X and Y are the window's own screen pixels.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 4 || argc % 2 != 0) {
    std::fprintf(stderr, "usage: screen_pixels WINDOW X Y [X Y ...]\n");
    return 2;
  }
  // The window's pixels as the server holds them, whatever scale the program ran at.
  qputenv("QT_QPA_PLATFORM", "xcb");
  qunsetenv("QT_SCALE_FACTOR");
  QGuiApplication app(argc, argv);
  const auto window = static_cast<WId>(std::strtoull(argv[1], nullptr, 0));
  const QImage image = QGuiApplication::primaryScreen()->grabWindow(window).toImage();
  if (image.isNull()) return 1;
  for (int k = 2; k + 1 < argc; k += 2) {
    const int x = std::atoi(argv[k]), y = std::atoi(argv[k + 1]);
    if (!image.valid(x, y)) return 1;
    const QRgb c = image.pixel(x, y);
    std::printf("%d %d %d\n", qRed(c), qGreen(c), qBlue(c));
  }
  return 0;
}
