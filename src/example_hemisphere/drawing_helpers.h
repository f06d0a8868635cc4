#pragma once
// Small helpers shared by the example's drawing steps (not part of its API).
#include <cmath>

#include "photometry/checked.h"
#include "photometry/model_state.h"
#include "raster/raster.h"

namespace korvalen::example_detail {

// An angle given in degrees as the 32-bit float the inclination is compared
// with: k * 3.14159265 / 180 rounded to float, so that 90 degrees is the float
// nearest pi/2 both as a threshold and as a typed inclination.
constexpr float degreesAsSingle(double k) { return static_cast<float>(k * kPi / 180); }

// The picture takes 32-bit float coordinates; a coordinate that does not fit
// is an overflow error, never a silent infinity.
inline void line(Raster& r, double x1, double y1, double x2, double y2, Colour c) {
  r.line(toSingle(x1), toSingle(y1), toSingle(x2), toSingle(y2), c);
}

// A line `width` pixels thick: the one-pixel line and copies of it beside it,
// to its right for a steep line and below it for a flat one. The line itself
// is drawn last, so that the picture's current point is its end.
inline void line(Raster& r, double x1, double y1, double x2, double y2, Colour c, int width) {
  const bool steep = std::fabs(y2 - y1) >= std::fabs(x2 - x1);
  for (int k = 1; k < width; ++k) {
    const double ox = steep ? k : 0, oy = steep ? 0 : k;
    line(r, x1 + ox, y1 + oy, x2 + ox, y2 + oy, c);
  }
  line(r, x1, y1, x2, y2, c);
}
inline void setPoint(Raster& r, double x, double y, Colour c) {
  r.setPoint(toSingle(x), toSingle(y), c);
}

}  // namespace korvalen::example_detail
