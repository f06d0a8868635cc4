#include "raster/raster.h"

#include <algorithm>
#include <cstddef>
#include <cmath>

namespace korvalen {

Raster::Raster(int width, int height, Colour background)
    : width_(std::max(width, 1)),
      height_(std::max(height, 1)),
      bits_(static_cast<size_t>(width_) * height_, toArgb(background)),
      back_(background) {}

void Raster::clear() {
  std::fill(bits_.begin(), bits_.end(),
            toArgb(back_ == kSystemWindowBackground ? RGB(255, 255, 255) : back_));
  currentX_ = currentY_ = 0;
  dirty_ = false;
  touched();
}

void Raster::setPoint(float x, float y, Colour c) {
  const double rx = std::nearbyint(static_cast<double>(x));
  const double ry = std::nearbyint(static_cast<double>(y));
  if (rx >= 0 && ry >= 0 && rx < width_ && ry < height_) {
    bits_[static_cast<size_t>(ry) * width_ + static_cast<size_t>(rx)] = toArgb(c);
    touched();
  }
  currentX_ = x;
  currentY_ = y;
}

Raster::SavedRows Raster::saveRows(int y0, int y1) const {
  SavedRows saved;
  y0 = std::max(y0, 0);
  y1 = std::min(y1, height_ - 1);
  saved.firstRow = y0;
  if (y0 <= y1)
    saved.words.assign(bits_.begin() + static_cast<ptrdiff_t>(y0) * width_,
                       bits_.begin() + static_cast<ptrdiff_t>(y1 + 1) * width_);
  return saved;
}

void Raster::restoreRows(const SavedRows& saved) {
  std::copy(saved.words.begin(), saved.words.end(),
            bits_.begin() + static_cast<ptrdiff_t>(saved.firstRow) * width_);
}

Colour Raster::point(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return back_;
  return fromArgb(bits_[static_cast<size_t>(y) * width_ + x]);
}

void Raster::lineTo(float x2, float y2, Colour c) { line(currentX_, currentY_, x2, y2, c); }

void Raster::line(float x1, float y1, float x2, float y2, Colour c) {
  currentX_ = x2;
  currentY_ = y2;
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return;
  // Whole-pixel end points, as the pixels the line joins.
  const double ax = std::nearbyint(static_cast<double>(x1));
  const double ay = std::nearbyint(static_cast<double>(y1));
  const double bx = std::nearbyint(static_cast<double>(x2));
  const double by = std::nearbyint(static_cast<double>(y2));
  const double dx = bx - ax, dy = by - ay;
  const double steps = std::max(std::fabs(dx), std::fabs(dy));
  if (steps == 0) return;  // a line to its own start draws nothing
  // The pixels are those at parameter k / steps for k = 0 .. steps - 1 (the end
  // excluded). Clip the parameter range to the grid (with a pixel's margin) so
  // that a line from far outside only walks its visible part.
  double t0 = 0, t1 = steps - 1;
  const double lo[2] = {-1.0, -1.0};
  const double hi[2] = {static_cast<double>(width_), static_cast<double>(height_)};
  const double p0[2] = {ax, ay};
  const double d[2] = {dx / steps, dy / steps};
  for (int k = 0; k < 2; ++k) {
    if (d[k] == 0) {
      if (p0[k] < lo[k] || p0[k] > hi[k]) return;
      continue;
    }
    double ta = (lo[k] - p0[k]) / d[k];
    double tb = (hi[k] - p0[k]) / d[k];
    if (ta > tb) std::swap(ta, tb);
    t0 = std::max(t0, std::floor(ta));
    t1 = std::min(t1, std::ceil(tb));
  }
  if (t0 > t1) return;
  const uint32_t argb = toArgb(c);
  bool any = false;
  // The clipped walk takes at most the grid's longer side and three more
  // steps. A line whose ends both lie astronomically far off starts at a t so
  // large that adding 1 is lost in its rounding (2^53 and beyond): there the
  // walk is counted from its clipped start, and bounded, instead of never
  // ending.
  const double longest = static_cast<double>(std::max(width_, height_) + 3);
  const bool huge = t0 + 1 == t0;
  const double n = huge ? longest : std::min(t1 - t0, longest);
  const double sx = ax + d[0] * t0, sy = ay + d[1] * t0;
  for (double k = 0; k <= n; k += 1.0) {
    const double t = t0 + k;
    const double px = std::nearbyint(huge ? sx + d[0] * k : ax + d[0] * t);
    const double py = std::nearbyint(huge ? sy + d[1] * k : ay + d[1] * t);
    if (px >= 0 && py >= 0 && px < width_ && py < height_) {
      bits_[static_cast<size_t>(py) * width_ + static_cast<size_t>(px)] = argb;
      any = true;
    }
  }
  if (any) touched();
}

}  // namespace korvalen
