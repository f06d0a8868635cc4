#include "profiles/equator_curve.h"

#include <cmath>

#include "photometry/checked.h"
#include "photometry/reflectance.h"

namespace korvalen {

LightAndModel presentLight(LightAndModel lm) {
  setUpParameters(lm);
  setUpLight(lm);
  return lm;
}

Vec3 equatorNormal(double gammaDegrees) {
  const double gamma = gammaDegrees * kPi / 180;
  return {0, std::sin(gamma), std::cos(gamma)};
}

float phiAtNormal(const LightAndModel& lm, const Vec3& h) {
  // The map's own cosines and model; only the mirror's value is the probe's.
  const Angles a = cosinesAt(h, lm, kShadingRules);
  return clampPhi(reflectance(lm, a, kProbeRules), kProbeRules);
}

EquatorCurve equatorCurve(const LightAndModel& state) {
  const LightAndModel lm = presentLight(state);
  EquatorCurve curve;
  curve.g = phaseAngleDegrees(lm.sourceInclination);
  curve.lightGamma = lightLongitudeDegrees(lm.sourceInclination);
  curve.radianceFactor = isPlanetaryModel(lm.surfaceModel);
  const int steps = static_cast<int>(std::lround(180 / kEquatorStepDegrees));
  curve.points.reserve(static_cast<size_t>(steps) + 1);
  const bool mirror = lm.surfaceModel == kMirror;
  float bestScore = 0;
  size_t best = 0;
  for (int k = 0; k <= steps; ++k) {
    const double gamma = -90 + k * kEquatorStepDegrees;
    const Vec3 h = equatorNormal(gamma);
    // The angle between the normal and the light.
    const double i = std::fabs(std::remainder(gamma - curve.lightGamma, 360.0));
    curve.points.push_back({gamma, i, std::fabs(gamma), phiAtNormal(lm, h)});
    if (mirror) {
      Angles a = cosinesAt(h, lm, kShadingRules);
      anglesAt(a, h);
      RaiseAtFault raise;
      const float score = mirrorScore(lm.sourceInclination, a.angleI, a.angleE, raise);
      if (k == 0 || score < bestScore) {
        bestScore = score;
        best = curve.points.size() - 1;
      }
    }
  }
  if (mirror) curve.points[best].phi = 1;
  return curve;
}

}  // namespace korvalen
