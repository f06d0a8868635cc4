// The observer arrows and light rays drawn before the half-disc is shaded.
// Only their parts outside the hemisphere stay visible.
#include <cmath>

#include "example_hemisphere/drawing_helpers.h"
#include "example_hemisphere/example_hemisphere.h"

namespace korvalen {

using example_detail::degreesAsSingle;
using example_detail::line;
using example_detail::lineTo;

namespace {

constexpr float kDeg29_5 = degreesAsSingle(29.5);
constexpr float kDeg39 = degreesAsSingle(39);
constexpr float kDeg45 = degreesAsSingle(45);
constexpr float kDeg90 = degreesAsSingle(90);
constexpr float kDeg135 = degreesAsSingle(135);

// A vertical arrow at column x from y0 up to its tip y1: the shaft, then a barb
// continued from the shaft's end to (x + o, y1 + 9), then the other barb.
void arrow(Raster& r, double x, double y0, double y1, double o) {
  line(r, x, y0, x, y1, kObserverArrowColour);
  lineTo(r, x + o, y1 + 9, kObserverArrowColour);
  line(r, x, y1, x - o, y1 + 9, kObserverArrowColour);
}

void ray(Raster& r, double x1, double y1, double x2, double y2) {
  line(r, x1, y1, x2, y2, kLightRayColour);
}

}  // namespace

void drawDirectionArrows(Raster& r, const ExampleFrame& f, float alpha,
                         const std::function<void(int)>& placeLabel16) {
  const int c = f.exampleCentreX;
  const double W = r.width();
  const double H = r.height();
  const double b = H - 1;                // the base row
  const double d = 33 / std::sqrt(2.0);  // offset of the 45-degree points of the outline
  const double T = std::tan(static_cast<double>(alpha));

  // The apex arrow, while the light is not below the horizon.
  if (alpha >= -kDeg90 && alpha <= kDeg90) arrow(r, c, b - 33, 0, +2);

  if (alpha >= 0) {
    // Light from the right: the caption goes to the left.
    placeLabel16(0);
    // Around 30-39 degrees the apex ray passes close beside this arrow's top,
    // so the arrow is cut short there.
    const double tip = (alpha >= kDeg29_5 && alpha <= kDeg39) ? 12 : 0;
    arrow(r, c + d, b - d, tip, +2);
    arrow(r, c + 33, b - 1, 0, +2);
    if (alpha <= kDeg45) {
      arrow(r, c - d, b - 1, 30, -2);
      ray(r, c - d, b - d, (H - d - 26) * T + c - d, 26);
    }
    if (alpha == kDeg90) {
      ray(r, c, b - 33, W, b - 33);
      ray(r, c + d, b - d, W, b - d);
      ray(r, c + 33, b - 2, W, b - 2);
    } else if (alpha < kDeg90) {
      ray(r, c, b - 33, (b - 33) * T + c, 0);
      ray(r, c + d, b - d, (b - d) * T + c + d, 0);
      ray(r, c + 33, b - 2, b * T + (c + 33), 0);
    } else if (alpha < kDeg135) {
      // Light below the horizon: only the right 45-degree point still sees it.
      ray(r, c + d, b - d, std::tan(std::fabs(kPi - alpha)) * 33 / std::sqrt(2.0) + c + d, b);
    }
  } else {
    // Light from the left: the mirror image, with the caption on the right.
    placeLabel16(c + 2);
    const double tip = (alpha >= -kDeg39 && alpha <= -kDeg29_5) ? 12 : 0;
    arrow(r, c - d, b - d, tip, +2);
    arrow(r, c - 33, b - 1, 0, -2);
    if (alpha >= -kDeg45) {
      arrow(r, c + d, b - d, 30, +2);
      ray(r, c + d, b - d, (H - d - 26) * T + c + d, 26);
    }
    if (alpha == -kDeg90) {
      ray(r, c, b - 33, 0, b - 33);
      ray(r, c - d, b - d, 0, b - d);
      ray(r, c - 33, b - 2, 0, b - 2);
    } else if (alpha > -kDeg90) {
      ray(r, c, b - 33, (b - 33) * T + c, 0);
      ray(r, c - d, b - d, (b - d) * T + c - d, 0);
      ray(r, c - 33, b - 2, b * T + (c - 33), 0);
    } else if (alpha > -kDeg135) {
      ray(r, c - d, b - d, std::tan(std::fabs(kPi - alpha)) * 33 / std::sqrt(2.0) + c - d, b);
    }
  }
}

}  // namespace korvalen
