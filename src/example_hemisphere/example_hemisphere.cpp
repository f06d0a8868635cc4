#include "example_hemisphere/example_hemisphere.h"

#include <algorithm>
#include <cmath>

#include "example_hemisphere/drawing_helpers.h"
#include "photometry/checked.h"

namespace korvalen {

using example_detail::setPoint;

ExampleFrame exampleFrame(const Raster& picture2, double scale) {
  const double width = picture2.width();
  const double height = picture2.height();
  ExampleFrame f;
  // A scale that is no number leaves the picture as drawn at 100 %.
  if (!(scale > 0 && std::isfinite(scale))) scale = 1;
  f.exampleRadius = toInt16(kExampleRadius * scale);
  f.exampleUnit = f.exampleRadius / static_cast<double>(kExampleRadius);
  f.lineWidth = std::max(1, static_cast<int>(toInt16(scale)));
  f.exampleBottomRow = toInt16(height - 1);
  f.exampleCentreX = checkedInt16(toInt32(width) / 2);
  f.exampleFirstColumn = checkedInt16(f.exampleCentreX - f.exampleRadius);
  f.exampleLastColumn = checkedInt16(f.exampleCentreX + f.exampleRadius);
  f.exampleTopRow = toInt16(height - 1 - f.exampleRadius);
  return f;
}

SightLine exampleSightLine(double dx, double dy, int radius) {
  // Half the line's length along the depth axis, in sphere units.
  constexpr double kDepth = 0.303;
  SightLine s;
  s.p1 = {kDepth, dx / radius - kDepth * 0.00001, -dy / radius};
  s.p2 = {-kDepth, dx / radius, -dy / radius};
  return s;
}

int16_t exampleGrey(double phi) {
  if (!(phi >= 0)) return 0;
  const int16_t g = toInt16(phi * 255 + 0.5);
  return g > 255 ? int16_t{255} : g;
}

void shadeHalfDisc(Raster& picture2, const ExampleFrame& f, const LightAndModel& lm) {
  for (int32_t column = f.exampleFirstColumn; column <= f.exampleLastColumn; ++column) {
    for (int32_t row = f.exampleTopRow; row <= f.exampleBottomRow; ++row) {
      const double dx = column - f.exampleCentreX;
      const double dy = row - f.exampleBottomRow;
      // A miss lies outside the half-disc: the background and the arrows stay.
      const SightLine sight = exampleSightLine(dx, dy, f.exampleRadius);
      const ChosenPoint p = choosePoint(intersectUnitSphere(sight), kFalse, kExampleRules);
      if (!p.hit) continue;
      const Angles a = cosinesAt(p.h, lm, kExampleRules);
      const float phi = clampPhi(reflectance(lm, a, kExampleRules), kExampleRules);
      const int16_t g = exampleGrey(phi);
      setPoint(picture2, column, row, RGB(g, g, g));
    }
  }
}

void drawExample(Raster& picture2, const ExampleFrame& frame, const LightAndModel& lm,
                 const std::function<void(int)>& placeLabel16) {
  picture2.clear();
  drawDirectionArrows(picture2, frame, lm.sourceInclination, placeLabel16);
  // The shading paints over whatever the arrows drew inside the half-disc.
  shadeHalfDisc(picture2, frame, lm);
  if (lm.surfaceModel == kMirror) drawMirrorHighlight(picture2, frame, lm.sourceInclination);
}

}  // namespace korvalen
