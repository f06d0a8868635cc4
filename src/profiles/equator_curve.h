#pragma once
// phi along the photometric equator: the great circle through the observer
// and the light. A point of it at photometric longitude gamma (the observer at
// gamma = 0, the light at gamma = g) has e = |gamma| and i = |gamma - g|.
//
// Every point is evaluated as the map evaluates the same orientation (its
// 32-bit cosines, the model's own code) and clipped as the probe clips it, so
// a point of the curve is the value the map gives that orientation.
#include <vector>

#include "photometry/geometry.h"
#include "photometry/model_state.h"

namespace korvalen {

// The light and the model's constants as a run sets them up from the present
// inclination, s and n. Raises RuntimeError where the run's set-up would.
LightAndModel presentLight(LightAndModel lm);

// The normal of the equator's point at photometric longitude gamma, degrees
// converted with the program's pi.
Vec3 equatorNormal(double gammaDegrees);

// phi at the normal h, as the map finds it and the probe clips it (0..1). The
// mirror model gives 0: its one bright point is the curve's (equatorCurve).
// lm has its light set up. Raises RuntimeError where the map's evaluation would.
float phiAtNormal(const LightAndModel& lm, const Vec3& h);

struct EquatorPoint {
  double gamma;  // photometric longitude, degrees
  double i, e;   // degrees: the angle from the light, |gamma - g|, and |gamma|
  float phi;
};

struct EquatorCurve {
  double g = 0;           // the phase angle in degrees, as the user reads it: 0 to 180
  double lightGamma = 0;  // the light's longitude, degrees: g, or -g for a light inclined the other way
  bool radianceFactor = false;  // phi is the added models' I/F
  std::vector<EquatorPoint> points;
};

// gamma from -90 to +90 degrees in these steps.
inline constexpr double kEquatorStepDegrees = 0.5;

// The curve for the present model, inclination and parameters. The mirror
// model shows 1 at the one point that meets the mirror condition best (the
// first of equals from gamma = -90), 0 elsewhere, as the probe shows its spot.
// Raises RuntimeError at the first point whose evaluation faults.
EquatorCurve equatorCurve(const LightAndModel& lm);

}  // namespace korvalen
