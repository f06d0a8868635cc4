// The observer arrows and light rays drawn before the half-disc is shaded.
// Only their parts outside the hemisphere stay visible.
#include <cmath>

#include "example_hemisphere/drawing_helpers.h"
#include "example_hemisphere/example_hemisphere.h"

namespace korvalen {

using example_detail::degreesAsSingle;
using example_detail::line;

namespace {

constexpr float kDeg29_5 = degreesAsSingle(29.5);
constexpr float kDeg39 = degreesAsSingle(39);
constexpr float kDeg45 = degreesAsSingle(45);
constexpr float kDeg90 = degreesAsSingle(90);
constexpr float kDeg135 = degreesAsSingle(135);

// The lines of one drawing, in its frame's thickness. Lengths are written in
// window pixels and scaled by `unit` (the frame's pixels per window pixel).
struct Pen {
  Raster& r;
  double unit;
  int width;

  // A vertical arrow at column x from y0 up to its tip y1: the shaft, then a
  // barb from the shaft's end to (x + o, y1 + 9), then the other barb.
  void arrow(double x, double y0, double y1, double o) const {
    const double barb = 9 * unit;
    line(r, x, y0, x, y1, kObserverArrowColour, width);
    line(r, x, y1, x + o, y1 + barb, kObserverArrowColour, width);
    line(r, x, y1, x - o, y1 + barb, kObserverArrowColour, width);
  }

  void ray(double x1, double y1, double x2, double y2) const {
    line(r, x1, y1, x2, y2, kLightRayColour, width);
  }
};

}  // namespace

void drawDirectionArrows(Raster& r, const ExampleFrame& f, float alpha,
                         const std::function<void(int)>& placeLabel16) {
  const int c = f.exampleCentreX;
  const int R = f.exampleRadius;
  const double k = f.exampleUnit;  // one window pixel
  const Pen pen{r, k, f.lineWidth};
  const double W = r.width();
  const double H = r.height();
  const double b = H - 1;               // the base row
  const double d = R / std::sqrt(2.0);  // offset of the 45-degree points of the outline
  const double T = std::tan(static_cast<double>(alpha));
  const double o = 2 * k;               // the barbs' half spread

  // The apex arrow, while the light is not below the horizon.
  if (alpha >= -kDeg90 && alpha <= kDeg90) pen.arrow(c, b - R, 0, +o);

  if (alpha >= 0) {
    // Light from the right: the caption goes to the left.
    placeLabel16(0);
    // Around 30-39 degrees the apex ray passes close beside this arrow's top,
    // so the arrow is cut short there.
    const double tip = (alpha >= kDeg29_5 && alpha <= kDeg39) ? 12 * k : 0;
    pen.arrow(c + d, b - d, tip, +o);
    pen.arrow(c + R, b - 1 * k, 0, +o);
    if (alpha <= kDeg45) {
      pen.arrow(c - d, b - 1 * k, 30 * k, -o);
      pen.ray(c - d, b - d, (H - d - 26 * k) * T + c - d, 26 * k);
    }
    if (alpha == kDeg90) {
      pen.ray(c, b - R, W, b - R);
      pen.ray(c + d, b - d, W, b - d);
      pen.ray(c + R, b - 2 * k, W, b - 2 * k);
    } else if (alpha < kDeg90) {
      pen.ray(c, b - R, (b - R) * T + c, 0);
      pen.ray(c + d, b - d, (b - d) * T + c + d, 0);
      pen.ray(c + R, b - 2 * k, b * T + (c + R), 0);
    } else if (alpha < kDeg135) {
      // Light below the horizon: only the right 45-degree point still sees it.
      pen.ray(c + d, b - d, std::tan(std::fabs(kPi - alpha)) * R / std::sqrt(2.0) + c + d, b);
    }
  } else {
    // Light from the left: the mirror image, with the caption on the right.
    placeLabel16(c + 2);
    const double tip = (alpha >= -kDeg39 && alpha <= -kDeg29_5) ? 12 * k : 0;
    pen.arrow(c - d, b - d, tip, +o);
    pen.arrow(c - R, b - 1 * k, 0, -o);
    if (alpha >= -kDeg45) {
      pen.arrow(c + d, b - d, 30 * k, +o);
      pen.ray(c + d, b - d, (H - d - 26 * k) * T + c + d, 26 * k);
    }
    if (alpha == -kDeg90) {
      pen.ray(c, b - R, 0, b - R);
      pen.ray(c - d, b - d, 0, b - d);
      pen.ray(c - R, b - 2 * k, 0, b - 2 * k);
    } else if (alpha > -kDeg90) {
      pen.ray(c, b - R, (b - R) * T + c, 0);
      pen.ray(c - d, b - d, (b - d) * T + c - d, 0);
      pen.ray(c - R, b - 2 * k, b * T + (c - R), 0);
    } else if (alpha > -kDeg135) {
      pen.ray(c - d, b - d, std::tan(std::fabs(kPi - alpha)) * R / std::sqrt(2.0) + c - d, b);
    }
  }
}

}  // namespace korvalen
