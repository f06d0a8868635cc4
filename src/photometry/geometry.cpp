#include "photometry/geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "photometry/checked.h"
#include "photometry/reflectance.h"

namespace korvalen {

namespace {
// pi/2 as the 32-bit float nearest to it.
constexpr float kHalfPiSingle = 1.5707964f;
// The true pi, and a half turn of the inclination: the 32-bit float nearest
// pi, which is what 180 degrees typed becomes (a little above the true pi).
constexpr double kTruePi = std::numbers::pi;
constexpr double kHalfTurn = static_cast<float>(std::numbers::pi);
}  // namespace

double phaseAngle(double inclination) {
  // Folding about the half turn keeps every inclination in [0, pi] as it is,
  // bit for bit, and takes 180 and 360 degrees to pi and 0. fmod and the
  // difference below are exact.
  double a = std::fabs(inclination);
  if (!std::isfinite(a)) return 0;
  a = std::fmod(a, 2 * kHalfTurn);
  if (a > kHalfTurn) a = 2 * kHalfTurn - a;
  return a < kTruePi ? a : kTruePi;
}

double phaseAngleDegrees(double inclination) { return phaseAngle(inclination) * 180 / kPi; }

double lightLongitudeDegrees(double inclination) {
  const double degrees = phaseAngleDegrees(inclination);
  return std::remainder(inclination, 2 * kHalfTurn) < 0 ? -degrees : degrees;
}

void setUpRotationOX(ViewAndRotation& v, double degOX) {
  if (degOX == 90.0) {
    v.rotAngleOX = 282.680506647 / 180;  // 89.98 degrees
    v.sinRotOX = 1.0;
  } else if (degOX == -90.0) {
    v.rotAngleOX = -282.680506647 / 180;
    v.sinRotOX = -1.0;
  } else {
    v.rotAngleOX = finite(degOX * kPi / 180);
    v.sinRotOX = std::sin(v.rotAngleOX);
  }
  v.cosRotOX = std::cos(v.rotAngleOX);
}

void setUpRotationOY(ViewAndRotation& v, double degOY) {
  v.rotAngleOY = finite(degOY * kPi / 180);
  v.cosRotOY = std::cos(v.rotAngleOY);
  v.sinRotOY = std::sin(v.rotAngleOY);
}

void setUpRotationOZ(ViewAndRotation& v, double degOZ) {
  const float w = toSingle(degOZ);
  if (w == 90.0f) {
    v.rotAngleOZ = 1.570796325;
    v.cosRotOZ = 0.0005;
    v.sinRotOZ = 0.9999;
  } else if (w == -90.0f) {
    v.rotAngleOZ = -1.570796325;
    v.cosRotOZ = 0.0005;
    v.sinRotOZ = -0.9999;
  } else {
    v.rotAngleOZ = finite(degOZ * kPi / 180);
    v.cosRotOZ = std::cos(v.rotAngleOZ);
    v.sinRotOZ = std::sin(v.rotAngleOZ);
  }
}

void setUpRotation(ViewAndRotation& v, double degOX, double degOY, double degOZ) {
  setUpRotationOX(v, degOX);
  setUpRotationOY(v, degOY);
  setUpRotationOZ(v, degOZ);
}

void setUpRadius(ViewAndRotation& v, double radius, DiscLimitRounding rounding) {
  const double k = divide(1, radius);
  const double limit = finite(rounding == DiscLimitRounding::TwoDivisions ? (k + 1) / k / k
                                                                          : (k + 1) / (k * k));
  v.unitsPerPixel = k;
  v.discLimitSq = limit;
}

float inclinationRadians(double degrees) {
  return toSingle(static_cast<double>(toSingle(degrees)) * kPi / 180);
}

void setUpLight(LightAndModel& lm) {
  const double a = lm.sourceInclination;
  lm.lightX = 0;
  lm.lightY = std::sin(a);
  lm.lightZ = std::cos(a);
  lm.cosG = toSingle(std::cos(a));
  // The added models' values at this phase, with their parameters as they stand.
  lm.planetaryRun = planetaryConstantsOf(lm.surfaceModel, lm.planetary, lm.sourceInclination, lm.cosG);
}

double outermostPixelCosE(double unitsPerPixel) {
  const double u = unitsPerPixel;
  if (!(u > 0 && u < 1)) return 1;
  // Over the columns of a quarter of the disc, the highest pixel row whose
  // centre is inside: dx^2 + dy^2 < R^2, as (dx u)^2 + (dy u)^2 < 1. A centre
  // on the rim to within rounding is on the limb, as the map finds it.
  constexpr double kInside = 1 - 1e-9;
  double largest = 0;
  for (double dx = 0; dx * u < 1; ++dx) {
    const double x = dx * u;
    double dy = std::floor(std::sqrt(1 - x * x) / u);
    while (dy >= 0 && !(x * x + (dy * u) * (dy * u) < kInside)) --dy;
    if (dy >= 0) largest = std::max(largest, x * x + (dy * u) * (dy * u));
  }
  return std::sqrt(1 - largest);
}

void setUpParameters(LightAndModel& lm) {
  const double s = lm.specularShare;
  const double n = lm.peakSharpness;
  lm.peakSharpnessPlus1 = toSingle(n + 1);
  lm.diffuseShare = toSingle(1 - s);
  lm.specularGain = toSingle(static_cast<double>(lm.peakSharpnessPlus1) * s / 2);
}

Vec3 rotateView(const ViewAndRotation& v, const Vec3& p) {
  const double y1 = v.cosRotOX * p.y - v.sinRotOX * p.z;
  const double z1 = v.sinRotOX * p.y + v.cosRotOX * p.z;
  const double x2 = v.cosRotOY * p.x + v.sinRotOY * z1;
  const double z2 = -v.sinRotOY * p.x + v.cosRotOY * z1;
  const double x3 = v.cosRotOZ * x2 - v.sinRotOZ * y1;
  const double y3 = v.sinRotOZ * x2 + v.cosRotOZ * y1;
  return {x3, y3, z2};
}

SightLine sightLineThrough(const ViewAndRotation& v, double pixelDX, double pixelDY,
                           double halfLength) {
  const double u = v.unitsPerPixel;
  SightLine s{{pixelDX * u, halfLength, pixelDY * u}, {pixelDX * u, -halfLength, pixelDY * u}};
  if (!(v.rotAngleOX == 0 && v.rotAngleOY == 0 && v.rotAngleOZ == 0)) {
    s.p1 = rotateView(v, s.p1);
    s.p2 = rotateView(v, s.p2);
  }
  return s;
}

Intersection intersectUnitSphere(const SightLine& line) {
  Intersection r;
  const Vec3& p1 = line.p1;
  const double rayDX = line.p2.x - p1.x;
  const double rayDY = line.p2.y - p1.y;
  const double rayDZ = line.p2.z - p1.z;
  if (rayDY == 0) return r;
  const double lineX0 = p1.x - rayDX * p1.y / rayDY;
  const double lineZ0 = p1.z - rayDZ * p1.y / rayDY;
  const double a = (rayDZ * rayDZ + rayDX * rayDX) / (rayDY * rayDY) + 1;
  const double b = 2 * (rayDZ * lineZ0 + rayDX * lineX0) / rayDY;
  const double c = lineX0 * lineX0 + lineZ0 * lineZ0 - 1;
  const float discr = toSingle(b * b - 4 * a * c);
  if (discr < 0) return r;
  const double sqrtDiscr = std::sqrt(static_cast<double>(discr));
  const double yA = ((-b + sqrtDiscr) / a) / 2;
  const double yB = ((-b - sqrtDiscr) / a) / 2;
  r.a = {(yA - p1.y) / rayDY * rayDX + p1.x, yA, (yA - p1.y) / rayDY * rayDZ + p1.z};
  r.b = {(yB - p1.y) / rayDY * rayDX + p1.x, yB, (yB - p1.y) / rayDY * rayDZ + p1.z};
  finite(r.a.x + r.a.y + r.a.z + r.b.x + r.b.y + r.b.z);
  r.hit = true;
  return r;
}

ChosenPoint choosePoint(const Intersection& in, VbBool visibleHalfOnly, const ConsumerRules& rules) {
  if (!in.hit) return {};
  if (rules.alwaysHitA || visibleHalfOnly != kTrue) return {true, in.a};
  if (in.a.z >= 0) return {true, in.a};
  if (in.b.z >= 0) return {true, in.b};
  return {};
}

Angles cosinesAt(const Vec3& h, const LightAndModel& lm, const ConsumerRules& rules) {
  Angles a;
  const double lDotH = lm.lightX * h.x + lm.lightY * h.y + lm.lightZ * h.z;
  const double hh = rules.normYFirst ? h.y * h.y + h.x * h.x + h.z * h.z
                                     : h.x * h.x + h.y * h.y + h.z * h.z;
  const double ll = lm.lightX * lm.lightX + lm.lightY * lm.lightY + lm.lightZ * lm.lightZ;
  a.cosI = toSingle(divide(lDotH, std::sqrt(ll * hh)));
  a.cosE = toSingle(h.z);
  return a;
}

void anglesAt(Angles& a, const Vec3& h) {
  if (a.cosI == 0) {
    a.angleI = kHalfPiSingle;
  } else {
    const double c = a.cosI;
    a.angleI = static_cast<float>(std::atan(std::sqrt(1 - c * c) / c));
  }
  if (h.z <= 0) {
    a.angleE = kHalfPiSingle;
  } else if (h.z >= 1) {
    a.angleE = 0;
  } else {
    a.angleE = static_cast<float>(std::atan(std::sqrt(1 - h.z * h.z) / h.z));
  }
}

float reflectance(const LightAndModel& lm, const Angles& a, const ConsumerRules& rules) {
  RaiseAtFault raise;
  return phiOf(lm.surfaceModel, lm, a.cosI, a.cosE, rules.mirrorPhi, raise);
}


// Flattened: the shading calls this for every sample, and the steps inlined
// into one body let neighbouring samples overlap. Inlining changes no result.
[[gnu::flatten]] PointEvaluation evaluatePicturePoint(const ViewAndRotation& view,
                                                      const LightAndModel& lm, double pixelDX,
                                                      double pixelDY, double halfLength,
                                                      const ConsumerRules& rules,
                                                      bool withAngles) {
  PointEvaluation e;
  const ChosenPoint p = choosePoint(
      intersectUnitSphere(sightLineThrough(view, pixelDX, pixelDY, halfLength)),
      view.visibleHalfOnly, rules);
  if (!p.hit) return e;
  e.hit = true;
  e.h = p.h;
  e.angles = cosinesAt(p.h, lm, rules);
  if (withAngles) anglesAt(e.angles, p.h);
  return e;
}

}  // namespace korvalen
