#include "toolkit/appearance.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <cmath>

namespace korvalen {

void useWindowStyle() {
  if (QApplication::style()->name().compare(QLatin1String(kWindowStyle), Qt::CaseInsensitive) == 0)
    return;
  // Every colour of the desktop's palette, set explicitly: Fusion would
  // bring its own light palette in place of one that came from the style
  // replaced here (adwaita-dark brings its dark one).
  const QPalette desktop = QApplication::palette();
  QPalette kept;
  for (int g = 0; g < QPalette::NColorGroups; ++g) {
    for (int r = 0; r < QPalette::NColorRoles; ++r) {
      const auto group = static_cast<QPalette::ColorGroup>(g);
      const auto role = static_cast<QPalette::ColorRole>(r);
      kept.setBrush(group, role, desktop.brush(group, role));
    }
  }
  QApplication::setStyle(newWindowStyle());
  QApplication::setPalette(kept);
}

QStyle* newWindowStyle() { return QStyleFactory::create(QLatin1String(kWindowStyle)); }

namespace {

double channel(double v) {
  v /= 255;
  return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& c) {
  const QColor rgb = c.toRgb();
  return 0.2126 * channel(rgb.red()) + 0.7152 * channel(rgb.green()) + 0.0722 * channel(rgb.blue());
}

QColor mix(const QColor& from, const QColor& to, double t) {
  const auto m = [t](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
  const QColor f = from.toRgb(), g = to.toRgb();
  return QColor(m(f.red(), g.red()), m(f.green(), g.green()), m(f.blue(), g.blue()));
}

}  // namespace

double contrastRatio(const QColor& a, const QColor& b) {
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor& preferred, const QColor& background, double minRatio) {
  if (contrastRatio(preferred, background) >= minRatio) return preferred;
  const QColor black(0, 0, 0), white(255, 255, 255);
  const QColor target = contrastRatio(black, background) >= contrastRatio(white, background) ? black : white;
  // The first step towards the target that reads; the target itself at the latest.
  for (int step = 1; step < 20; ++step) {
    const QColor c = mix(preferred, target, step / 20.0);
    if (contrastRatio(c, background) >= minRatio) return c;
  }
  return target;
}

void makeCaptionsReadable(QPalette& palette, QPalette::ColorRole surface) {
  for (auto group : {QPalette::Active, QPalette::Inactive})
    palette.setColor(group, QPalette::WindowText,
                     readableOn(palette.color(group, QPalette::WindowText), palette.color(group, surface)));
}

}  // namespace korvalen
