// The one element of a mirror hemisphere that sends the light to the
// observer: its normal halves the angle between them, so it lies on the
// outline at alpha/2 from the vertical.
#include <cmath>

#include "example_hemisphere/drawing_helpers.h"
#include "example_hemisphere/example_hemisphere.h"
#include "photometry/checked.h"

namespace korvalen {

using example_detail::degreesAsSingle;
using example_detail::setPoint;

namespace {

// Inclinations (by absolute value) at which the point is drawn one row below
// the outline, at y = H - R cos(alpha/2). Ranges "from-to" include both ends.
bool sitsOneRowLower(float a) {
  const auto from = [a](double lo, double hi) {
    return a >= degreesAsSingle(lo) && a <= degreesAsSingle(hi);
  };
  return a < degreesAsSingle(20) || (a > degreesAsSingle(29) && a < degreesAsSingle(35)) ||
         from(41, 44) || from(49, 53) ||                  //
         from(57, 60) || from(65, 67) || from(69, 73) ||  //
         from(77, 78) || from(82, 84) || from(91, 94);
}

}  // namespace

void drawMirrorHighlight(Raster& r, const ExampleFrame& f, float alpha) {
  // A light from behind the hemisphere (|alpha| of pi or more) has no mirror point.
  constexpr float kPiSingle = static_cast<float>(kPi);
  if (alpha >= kPiSingle || alpha <= -kPiSingle) return;
  const double c = f.exampleCentreX;
  const int R = f.exampleRadius;
  const double H = r.height();
  if (alpha == 0) {
    setPoint(r, c, H - R, kMirrorHighlightAtZeroColour);
    return;
  }
  const int16_t sign = alpha < 0 ? -1 : 1;
  const double tanSq = std::pow(std::tan(static_cast<double>(alpha) / 2), 2);
  // R sin(alpha/2) and R cos(alpha/2), from tan(alpha/2).
  const double x = (sign * R) / std::sqrt(divide(1, tanSq) + 1) + c;
  const double rise = R / std::sqrt(tanSq + 1);
  const double y = sitsOneRowLower(std::fabs(alpha)) ? H - rise : H - 1 - rise;
  setPoint(r, x, y, kMirrorHighlightColour);
}

}  // namespace korvalen
