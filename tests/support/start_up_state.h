#pragma once
// The window's state after start-up and the set-ups of a shading run, as the
// tests of the shading start from it: Picture1 393 x 337 (centre 196, 168),
// radius 159, OX 90 / OY 0 / OZ 0, inclination 0, s 0.5, n 16, the visible
// half only, no smoothing, isolines 0.9 .. 0.3 with half-width 0.005.
#include "photometry/checked.h"
#include "photometry/geometry.h"
#include "shading/shading.h"

namespace korvalen::testing_support {

// Drawn nowhere by the shading (a grey has r = g = b, a tint adds to a grey),
// so a pixel of this colour is one the run did not touch.
constexpr Colour kUntouched = RGB(0, 255, 0);

struct ShadingState {
  ViewAndRotation view;
  LightAndModel lm;
  MapPicture picture{393, 337, 196, 168, 255, 255, 255, kFalse};
  Isolines isolines;
  MirrorSpot mirror;

  ShadingState() {
    rotate(90, 0, 0);
    view.visibleHalfOnly = kTrue;
    setRadius(159);
    lm.surfaceModel = kMatte;
    lm.specularShare = 0.5f;
    lm.peakSharpness = 16;
    setInclination(0);
    const float levels[8] = {0, 0.9f, 0.8f, 0.7f, 0.6f, 0.5f, 0.4f, 0.3f};
    for (int r = 1; r <= 7; ++r) {
      isolines.isolineLevel[r] = levels[r];
      isolines.isolineHalfWidth[r] = 0.005f;
    }
    isolines.noSmoothing = kTrue;
  }

  void rotate(double ox, double oy, double oz) { setUpRotation(view, ox, oy, oz); }
  void setRadius(double radius) {
    view.sphereRadius = radius;
    setUpRadius(view, radius);
  }
  void setInclination(double degrees) {
    lm.sourceInclination = toSingle(degrees * kPi / 180);
    setUpLight(lm);
    setUpParameters(lm);
  }
  void smooth(bool on) { isolines.noSmoothing = on ? kFalse : kTrue; }

  // A cleared picture and one run over it.
  Raster shade() {
    Raster picture1(picture.pictureWidth, picture.pictureHeight, kUntouched);
    shadeMap(view, lm, picture, isolines, mirror, picture1);
    return picture1;
  }
};

}  // namespace korvalen::testing_support
