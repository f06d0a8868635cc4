#include "main_window/comparison_legend.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "raster/diverging_scale.h"

namespace korvalen {

namespace {

// The legend's measures in logical pixels.
constexpr double kFontPixels = 11, kMargin = 3, kGap = 3, kBarWidth = 10, kBarHeight = 50, kInset = 2;
constexpr Colour kPanelColour = RGB(255, 255, 255), kFrameColour = RGB(128, 128, 128),
                 kPanelTextColour = RGB(0, 0, 0);

QColor qColour(Colour c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }

// The panel's picture put on the map with its top left corner at (left, top).
void put(Raster& picture, const QImage& panel, int left, int top) {
  Raster::PixelWriter pixels(picture);
  for (int y = 0; y < panel.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(panel.constScanLine(y));
    for (int x = 0; x < panel.width(); ++x) pixels.put(left + x, top + y, toArgb(fromArgb(row[x])));
  }
  pixels.commit();
}

QImage blankPanel(int width, int height) {
  QImage panel(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
  panel.fill(qColour(kPanelColour));
  return panel;
}

void frame(QPainter& p, const QImage& panel) {
  p.setPen(qColour(kFrameColour));
  p.drawRect(0, 0, panel.width() - 1, panel.height() - 1);
  p.setPen(qColour(kPanelTextColour));
}

}  // namespace

QString scaleNumberText(double v, const QLocale& locale) {
  // Three significant digits tell the scale's ends apart from its middle
  // (1,001 against 1 needs four); no exponent below a million.
  for (int digits = 3; digits <= 8; ++digits) {
    const QString text = locale.toString(v, 'g', digits);
    if (std::fabs(locale.toDouble(text) - v) <= 1e-9 * std::max(1.0, std::fabs(v)) || digits == 8) return text;
  }
  return locale.toString(v, 'g', 8);
}

void drawComparisonLegend(Raster& picture, ComparisonKind kind, double limit, double scale,
                          const QLocale& locale) {
  auto px = [scale](double logical) { return static_cast<int>(std::lround(logical * scale)); };
  QFont font = QGuiApplication::font();
  font.setPixelSize(std::max(1, px(kFontPixels)));
  const QFontMetrics metrics(font);
  const bool ratio = kind == ComparisonKind::Ratio;
  const QString caption = ratio ? QStringLiteral("φA / φB") : QStringLiteral("φA − φB");
  // Top to bottom: the upper end (red), the middle, the lower end (blue).
  const QString ticks[3] = {scaleNumberText(limit, locale), ratio ? QStringLiteral("1") : QStringLiteral("0"),
                            ratio ? locale.toString(1 / limit, 'g', 3) : scaleNumberText(-limit, locale)};
  int tickWidth = 0;
  for (const QString& t : ticks) tickWidth = std::max(tickWidth, metrics.horizontalAdvance(t));
  const int margin = px(kMargin), gap = px(kGap), barW = px(kBarWidth), barH = px(kBarHeight);
  const int lineH = metrics.height();
  const int width = std::max(metrics.horizontalAdvance(caption), tickWidth + gap + barW) + 2 * margin;
  const int barTop = margin + lineH + lineH / 2;
  const int height = barTop + barH + lineH / 2 + margin;

  QImage panel = blankPanel(width, height);
  {
    QPainter p(&panel);
    p.setFont(font);
    frame(p, panel);
    p.drawText(QRect(margin, margin, width - 2 * margin, lineH), Qt::AlignHCenter | Qt::AlignVCenter, caption);
    const int barLeft = width - margin - barW;
    for (int j = 0; j < barH; ++j) {
      const double t = 1 - 2 * (j + 0.5) / barH;
      p.fillRect(barLeft, barTop + j, barW, 1, qColour(divergingColour(t)));
    }
    for (int k = 0; k < 3; ++k) {
      const int y = barTop + (barH - 1) * k / 2;
      p.drawText(QRect(margin, y - lineH / 2, tickWidth, lineH), Qt::AlignRight | Qt::AlignVCenter, ticks[k]);
    }
  }
  const int inset = px(kInset);
  put(picture, panel, picture.widthPixels() - inset - width, inset);

  if (!ratio) return;
  const QString none = QStringLiteral("нет отношения");
  const int swatch = metrics.ascent();
  const int noneW = margin + swatch + gap + metrics.horizontalAdvance(none) + margin;
  const int noneH = margin + lineH + margin;
  QImage key = blankPanel(noneW, noneH);
  {
    QPainter p(&key);
    p.setFont(font);
    frame(p, key);
    p.fillRect(margin, margin + (lineH - swatch) / 2, swatch, swatch, qColour(kNoRatioColour));
    p.drawText(QRect(margin + swatch + gap, margin, noneW, lineH), Qt::AlignLeft | Qt::AlignVCenter, none);
  }
  put(picture, key, picture.widthPixels() - inset - noneW, picture.heightPixels() - inset - noneH);
}

}  // namespace korvalen
