#include "photometry/probe.h"

namespace korvalen {

ProbeReading probeAt(const ViewAndRotation& view, const LightAndModel& lm, const MapPicture& map,
                     const MirrorSpot& mirror, float x, float y, bool withAngles) {
  ProbeReading r;
  const double pixelDX = static_cast<double>(x) - map.centreX;
  const double pixelDY = (map.pictureHeight - static_cast<double>(y)) - map.centreY;
  if (pixelDX * pixelDX + pixelDY * pixelDY > view.discLimitSq) return r;
  const PointEvaluation e =
      evaluatePicturePoint(view, lm, pixelDX, pixelDY, 10 * view.unitsPerPixel, kProbeRules, withAngles);
  if (!e.hit) return r;
  r.shown = true;
  r.phi = probePhi(lm, map, mirror, x, y, e.angles);
  r.angles = e.angles;
  return r;
}

float probePhi(const LightAndModel& lm, const MapPicture& map, const MirrorSpot& mirror, float x, float y,
               const Angles& a) {
  float phi;
  if (lm.surfaceModel == kMirror) {
    // Only the pixel the last mirror shading remembered shows the value 1.
    phi = (x == mirror.mirrorSpotColumn && y == map.pictureHeight - mirror.mirrorSpotRow) ? 1.0f : 0.0f;
  } else {
    phi = reflectance(lm, a, kProbeRules);
  }
  return clampPhi(phi, kProbeRules);
}

}  // namespace korvalen
