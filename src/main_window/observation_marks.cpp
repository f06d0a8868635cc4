#include "main_window/observation_marks.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>

#include "observations/model_values.h"
#include "photometry/geometry.h"
#include "raster/diverging_scale.h"

namespace korvalen {

namespace {

// The grey of a mark whose miss is not known.
constexpr Colour kUnknownMiss = RGB(160, 160, 160);
// The mark's rim, dark so that a pale mark reads on the light parts of the map.
constexpr uint32_t kRim = 0xFF141414u;

// Premultiplied opaque pixel of a colour.
uint32_t opaque(Colour c) { return toArgb(c); }

QString signedText(double v, const QLocale& l, int digits) {
  const QString t = l.toString(v, 'g', digits);
  return v > 0 ? QStringLiteral("+") + t : t;
}

}  // namespace

void ObservationMarks::setTable(std::shared_ptr<const ObservationTable> table) {
  table_ = std::move(table);
  residualTable_ = nullptr;
  clear();
}

void ObservationMarks::clear() { marks_.clear(); }

Colour ObservationMarks::colourOf(uint32_t row) const {
  const int level = row < level_.size() ? level_[row] : kUnknownLevel;
  return level == kUnknownLevel ? kUnknownMiss : divergingColour(static_cast<double>(level) / kMiddleLevel - 1);
}

double ObservationMarks::shadeOf(uint32_t row) const {
  const double t = residuals_.empty() ? 0.0 : residuals_[row] / limit_;
  return std::isfinite(t) ? std::clamp(t, -1.0, 1.0) : 0.0;
}

int ObservationMarks::markRadius() const { return std::max(2, static_cast<int>(std::lround(2.5 * scale_))); }

void ObservationMarks::findResiduals(const LightAndModel& lm) {
  if (residualTable_ == table_.get() && residualModel_ == lm.surfaceModel &&
      residualParameters_ == lm.planetary)
    return;
  if (residualTable_ != table_.get()) cosines_ = markCosinesOf(*table_);
  residualTable_ = table_.get();
  residualModel_ = lm.surfaceModel;
  residualParameters_ = lm.planetary;
  model_.clear();
  if (canEvaluate(lm.surfaceModel)) model_ = modelValues(lm.surfaceModel, lm.planetary, *table_);
  residuals_ = residualsOf(lm.surfaceModel, lm.planetary, *table_);
  limit_ = residuals_.empty() ? 0 : symmetricScaleLimit(residuals_);
  level_.assign(table_->size(), kUnknownLevel);
  for (size_t r = 0; r < residuals_.size(); ++r)
    if (std::isfinite(residuals_[r]))
      level_[r] = static_cast<uint8_t>(std::lround((shadeOf(static_cast<uint32_t>(r)) + 1) * kMiddleLevel));
}

QImage ObservationMarks::draw(const ViewAndRotation& view, const LightAndModel& lm,
                              const MapPicture& map, double toleranceDegrees, const Canvas& canvas) {
  marks_.clear();
  scale_ = canvas.scale;
  if (!table_ || canvas.width <= 0 || canvas.height <= 0) return {};
  findResiduals(lm);
  std::vector<MapMark> placed = placeMarks(*table_, cosines_, view, lm, map, toleranceDegrees);

  // The colour of each mark's miss on the scale, -1..1; the larger misses
  // are drawn last, so that none hides under a good fit. Their order is found
  // by counting in bins of the miss, which keeps the table's order within a bin.
  constexpr int kBins = kMiddleLevel + 2;
  auto bin = [&](const MapMark& m) {
    const int level = level_[m.row];
    return level == kUnknownLevel ? 0 : std::abs(level - kMiddleLevel) + 1;
  };
  std::vector<size_t> start(kBins + 1, 0);
  for (const MapMark& m : placed) ++start[static_cast<size_t>(bin(m)) + 1];
  for (int b = 0; b < kBins; ++b) start[b + 1] += start[b];
  marks_.resize(placed.size());
  for (const MapMark& m : placed) marks_[start[static_cast<size_t>(bin(m))]++] = m;

  QImage layer(canvas.width, canvas.height, QImage::Format_ARGB32_Premultiplied);
  layer.fill(Qt::transparent);
  size_t rows = 0;
  for (size_t k = 0; k < placed.size(); ++k)
    if (k == 0 || placed[k].row != placed[k - 1].row) ++rows;
  drawLegend(layer, lm, toleranceDegrees, rows, canvas);
  drawMarks(layer);
  return layer;
}

// The legend in two of the picture's corners, where the disc leaves room at
// the start-up radius: the scale of the misses at the lower left, which
// observations the map shows at the upper right (the upper left holds the
// start-up view's note). The marks go over it.
void ObservationMarks::drawLegend(QImage& layer, const LightAndModel& lm, double toleranceDegrees,
                                  size_t rows, const Canvas& canvas) const {
  const QLocale locale;
  QPainter p(&layer);
  QFont font = canvas.font;
  font.setPixelSize(std::max(6, static_cast<int>(std::lround(11 * scale_))));
  p.setFont(font);
  const QFontMetrics fm(font);
  const int pad = static_cast<int>(std::lround(3 * scale_));
  QColor paper = canvas.paper;
  paper.setAlpha(200);
  auto box = [&](QRect r, const QStringList& lines, int textTop) {
    p.fillRect(r, paper);
    p.setPen(canvas.ink);
    for (const QString& line : lines) {
      p.drawText(QRect(r.left() + pad, textTop, r.width(), fm.height()), Qt::AlignLeft | Qt::AlignVCenter, line);
      textTop += fm.height();
    }
  };
  auto widest = [&](const QStringList& lines) {
    int w = 0;
    for (const QString& line : lines) w = std::max(w, fm.horizontalAdvance(line));
    return w;
  };

  const QStringList which{QStringLiteral("g = %1 ± %2°")
                              .arg(locale.toString(phaseAngleDegrees(lm.sourceInclination), 'f', 0),
                                   locale.toString(toleranceDegrees, 'g', 3)),
                          QStringLiteral("%1 из %2 набл.")
                              .arg(locale.toString(static_cast<qulonglong>(rows)),
                                   locale.toString(static_cast<qulonglong>(table_->size())))};
  const int whichWidth = widest(which) + 2 * pad;
  box(QRect(canvas.width - pad - whichWidth, pad, whichWidth, 2 * fm.height() + 2 * pad), which, 2 * pad);

  if (residuals_.empty()) {
    const QStringList why = table_->hasValue()
                                ? QStringList{QStringLiteral("модель не даёт"), QStringLiteral("значений")}
                                : QStringList{QStringLiteral("нет измеренных"), QStringLiteral("значений")};
    const int h = 2 * fm.height() + 2 * pad;
    box(QRect(pad, canvas.height - pad - h, widest(why) + 2 * pad, h), why, canvas.height - h);
    return;
  }
  // A vertical bar, the largest miss above, with its three values beside it.
  const int barWidth = static_cast<int>(std::lround(8 * scale_));
  const int barHeight = static_cast<int>(std::lround(44 * scale_));
  const QStringList values{signedText(limit_, locale, 3), locale.toString(0), signedText(-limit_, locale, 3)};
  const QString caption = QStringLiteral("невязка");
  const int width = std::max(fm.horizontalAdvance(caption), barWidth + pad + widest(values)) + 2 * pad;
  const int height = fm.height() + barHeight + fm.height() / 2 + 2 * pad;
  const QRect r(pad, canvas.height - pad - height, width, height);
  box(r, {caption}, r.top() + pad);
  const int barTop = r.top() + pad + fm.height() + fm.height() / 4;
  for (int k = 0; k < barHeight; ++k) {
    const Colour c = divergingColour(1 - 2.0 * (k + 0.5) / barHeight);
    p.fillRect(QRect(r.left() + pad, barTop + k, barWidth, 1), QColor(redOf(c), greenOf(c), blueOf(c)));
  }
  const int labelLeft = r.left() + 2 * pad + barWidth;
  for (int k = 0; k < 3; ++k) {
    const int centre = barTop + barHeight * k / 2;
    p.drawText(QRect(labelLeft, centre - fm.height() / 2, width, fm.height()), Qt::AlignLeft | Qt::AlignVCenter,
               values[k]);
  }
}

// Each mark a disc of its miss's colour in a dark rim, the larger misses
// drawn last so that none hides under a good fit. A mark is written as rows
// of pixels straight into the layer; one that the picture's edge cuts is
// clipped pixel by pixel.
void ObservationMarks::drawMarks(QImage& layer) const {
  const int r = markRadius();
  const int rim = std::max(1, static_cast<int>(std::lround(scale_)));
  // Per row of the stamp: the disc's half-width and the fill's.
  std::vector<int> outer(static_cast<size_t>(2 * r + 1)), inner(outer.size());
  for (int dy = -r; dy <= r; ++dy) {
    auto halfWidth = [dy](double radius) {
      const double w = radius * radius - dy * dy;
      return w < 0 ? -1 : static_cast<int>(std::floor(std::sqrt(w)));
    };
    outer[static_cast<size_t>(dy + r)] = halfWidth(r + 0.5);
    inner[static_cast<size_t>(dy + r)] = halfWidth(r - rim + 0.5);
  }
  std::array<uint32_t, kUnknownLevel + 1> palette;
  for (int k = 0; k < kUnknownLevel; ++k)
    palette[static_cast<size_t>(k)] = opaque(divergingColour(static_cast<double>(k) / kMiddleLevel - 1));
  palette[kUnknownLevel] = opaque(kUnknownMiss);

  uchar* bits = layer.bits();
  const qsizetype stride = layer.bytesPerLine();
  const int width = layer.width(), height = layer.height();
  for (const MapMark& m : marks_) {
    const int x = static_cast<int>(std::lround(m.x)), y = static_cast<int>(std::lround(m.y));
    const uint32_t fill = palette[level_[m.row]];
    const bool whole = x - r >= 0 && x + r < width && y - r >= 0 && y + r < height;
    for (int dy = -r; dy <= r; ++dy) {
      const int py = y + dy;
      if (!whole && static_cast<unsigned>(py) >= static_cast<unsigned>(height)) continue;
      auto* line = reinterpret_cast<uint32_t*>(bits + py * stride);
      const int o = outer[static_cast<size_t>(dy + r)], i = inner[static_cast<size_t>(dy + r)];
      for (int dx = -o; dx <= o; ++dx) {
        const int px = x + dx;
        if (!whole && static_cast<unsigned>(px) >= static_cast<unsigned>(width)) continue;
        line[px] = (dx < -i || dx > i) ? kRim : fill;
      }
    }
  }
}

std::optional<QString> ObservationMarks::probeText(float x, float y, const QLocale& l) const {
  if (!table_) return std::nullopt;
  const double reach = markRadius() + 0.5;
  // The topmost mark under the point: the last drawn.
  for (auto m = marks_.rbegin(); m != marks_.rend(); ++m) {
    const double dx = m->x - x, dy = m->y - y;
    if (dx * dx + dy * dy > reach * reach) continue;
    const ObservationTable& t = *table_;
    const uint32_t r = m->row;
    QStringList lines;
    lines << QStringLiteral("наблюдение, строка %1").arg(t.line[r])
          << QStringLiteral("i = %1°, e = %2°, g = %3°")
                 .arg(l.toString(t.i[r], 'g', 5), l.toString(t.e[r], 'g', 5), l.toString(t.g[r], 'g', 5));
    if (t.hasValue()) lines << QStringLiteral("измерено %1").arg(l.toString(t.value[r], 'g', 4));
    if (model_.empty() || !std::isfinite(model_[r])) {
      lines << QStringLiteral("модель не даёт значения");
    } else {
      lines << QStringLiteral("модель %1").arg(l.toString(model_[r], 'g', 4));
      if (!residuals_.empty()) lines << QStringLiteral("разность %1").arg(signedText(residuals_[r], l, 3));
    }
    return lines.join(QLatin1Char('\n'));
  }
  return std::nullopt;
}

}  // namespace korvalen
