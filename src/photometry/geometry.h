#pragma once
// The geometry of the Gaussian sphere and the four reflectance functions.
//
// A point of a drawing becomes a sight line, the sight line meets the unit
// sphere, one of the two intersections is chosen, and the angles of incidence
// i and reflection e at that point give phi(i, e, g). Three consumers use this:
// the cursor probe, the shading of the map and the example hemisphere; what
// differs between them is named in ConsumerRules, never copied.
#include <cstdint>

#include "photometry/model_state.h"

namespace korvalen {

struct Vec3 {
  double x = 0, y = 0, z = 0;
};

// Rotation set-up from the typed angles in degrees (as 64-bit floats).
// Exactly +-90 about OX uses 89.98 degrees with a sine of exactly +-1; exactly
// +-90 about OZ (tested as 32-bit floats) uses the pair cos 0.0005, sin +-0.9999,
// which is not of unit length and is kept as it is.
void setUpRotation(ViewAndRotation& view, double degOX, double degOY, double degOZ);
// The same, one axis at a time, for callers that read each angle just before using it.
void setUpRotationOX(ViewAndRotation& view, double degOX);
void setUpRotationOY(ViewAndRotation& view, double degOY);
void setUpRotationOZ(ViewAndRotation& view, double degOZ);

// The radius R of the sphere's disc, in pixels: unitsPerPixel k = 1 / R and
// discLimitSq = R^2 + R, found from k. The shading and the start-up find the
// latter as (k + 1) / k / k; the radius box divides by k^2 at once, which can
// differ in the last bit, so each keeps its own rounding. Both values are
// found before either is stored: a radius whose reciprocal overflows (1e-311)
// raises and leaves the radius last set in effect.
enum class DiscLimitRounding { TwoDivisions, DivisionBySquare };
void setUpRadius(ViewAndRotation& view, double radius,
                 DiscLimitRounding rounding = DiscLimitRounding::TwoDivisions);

// The light's inclination in radians from the degrees typed: the degrees as
// a 32-bit float, then radians with the program's pi, stored as a 32-bit
// float. The inclination box and the shading run both take it from here, so
// a curve reads the same inclination whether or not a map was shaded. A value
// beyond the float range raises.
float inclinationRadians(double degrees);

// Light set-up: the light lies in the y-z plane at sourceInclination from the
// observer direction (0, 0, 1).
void setUpLight(LightAndModel& lm);

// The phase angle of a light inclined by `inclination` radians (the 32-bit
// sourceInclination widened), whatever turn it was typed with: the angle
// between the light and the observer, acos(cos inclination), in [0, pi].
// Every added model, the fitted factor and the curves take g from here.
double phaseAngle(double inclination);
// The same in degrees, converted with the program's pi, as the user reads it.
double phaseAngleDegrees(double inclination);
// Where the light stands on the photometric equator (the observer at 0), in
// degrees: the phase angle, negative for a light inclined the other way.
double lightLongitudeDegrees(double inclination);

// cos e at the map's outermost pixel of the visible disc as the observer sees
// it (the start-up view): the pixel centre farthest from the disc's centre
// that still lies inside the disc of radius 1 / unitsPerPixel. The smallest
// cos e the map shows other than the limb's own 0; 1 for a disc of one pixel.
double outermostPixelCosE(double unitsPerPixel);

// Parameter set-up from s and n (already stored in specularShare, peakSharpness).
void setUpParameters(LightAndModel& lm);

// The two points of a sight line.
struct SightLine {
  Vec3 p1, p2;
};

// A point turned as the sight lines are: about OX, then OY, then OZ, with the
// cosines and sines the view holds.
Vec3 rotateView(const ViewAndRotation& view, const Vec3& p);

// The sight line through a picture point (pixel offsets from the centre, dy
// upward), depth +-halfLength, rotated about OX, OY, OZ unless all three
// rotation angles are exactly 0.
SightLine sightLineThrough(const ViewAndRotation& view, double pixelDX, double pixelDY,
                           double halfLength);

// The two intersections of a sight line with the unit sphere: A has the larger y.
struct Intersection {
  bool hit = false;  // false: rayDY exactly 0, or a negative 32-bit discriminant
  Vec3 a, b;
};
Intersection intersectUnitSphere(const SightLine& line);

// What differs between the consumers of the point evaluation.
struct ConsumerRules {
  bool alwaysHitA;         // the example never tests the visible half
  bool normYFirst;         // the example sums |H|^2 as y^2 + x^2 + z^2
  bool negativePhiToZero;  // probe and example show no negative phi
  float mirrorPhi;         // phi of the mirror model at every point (probe: replaced by the spot test)
};
inline constexpr ConsumerRules kProbeRules{false, false, true, 0.0f};
inline constexpr ConsumerRules kShadingRules{false, false, false, 0.008f};
inline constexpr ConsumerRules kExampleRules{true, true, true, 0.0f};

// The chosen point: A, or under visibleHalfOnly the first of A, B with z >= 0.
struct ChosenPoint {
  bool hit = false;
  Vec3 h;
};
ChosenPoint choosePoint(const Intersection& in, VbBool visibleHalfOnly, const ConsumerRules& rules);

// The angles at the chosen point H for the light (lightX, lightY, lightZ).
struct Angles {
  float cosI = 0, angleI = 0, cosE = 0, angleE = 0;
};
// cosI and cosE only; the arctangents are costly and only the mirror score reads them.
Angles cosinesAt(const Vec3& h, const LightAndModel& lm, const ConsumerRules& rules);
// Fills angleI and angleE of a (from its cosI and from h.z).
void anglesAt(Angles& a, const Vec3& h);

// phi of models 1 to 3 (matte, glossy, rocky); the mirror model gives rules.mirrorPhi.
// No clamping here: see clampPhi.
float reflectance(const LightAndModel& lm, const Angles& a, const ConsumerRules& rules);

// The consumer's range of phi: above 1 becomes 1; below 0 becomes 0 where the
// rules say so. phi is a float, or floats held in double lanes (internal, as
// the lanes' code must be: see photometry/reflectance.h).
namespace {
template <class V>
inline V clampPhi(V phi, const ConsumerRules& rules) {
  phi = phi > 1 ? 1 : phi;
  if (rules.negativePhiToZero) phi = phi < 0 ? 0 : phi;
  return phi;
}
}  // namespace

// The whole evaluation of a picture point for the probe and the shading.
struct PointEvaluation {
  bool hit = false;
  Vec3 h;
  Angles angles;
};
PointEvaluation evaluatePicturePoint(const ViewAndRotation& view, const LightAndModel& lm,
                                     double pixelDX, double pixelDY, double halfLength,
                                     const ConsumerRules& rules, bool withAngles);

}  // namespace korvalen
