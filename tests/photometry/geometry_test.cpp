// The sphere geometry and the reflectance models against worked numbers and
// edge cases of the geometry.
#include "photometry/geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "photometry/checked.h"
#include "photometry/reflectance.h"

namespace korvalen {
namespace {

constexpr float kHalfPi = 1.5707964f;
// "Not stated": the worked example gives no value for this column.
constexpr double kAny = std::numeric_limits<double>::quiet_NaN();

// An expected value: exact when tol is 0, else to within tol; skipped when NaN.
void expectValue(const char* what, double actual, double expected, double tol) {
  if (std::isnan(expected)) return;
  if (tol == 0)
    EXPECT_EQ(actual, expected) << what;
  else
    EXPECT_NEAR(actual, expected, tol) << what;
}

struct Scene {
  double ox = 90, oy = 0, oz = 0;  // typed rotation, degrees
  double inclination = 0;          // degrees
  VbBool visibleHalfOnly = kTrue;
  double radius = 159;
  float s = 0.5f, n = 16;
};

struct Prepared {
  ViewAndRotation view;
  LightAndModel lm;
  double halfLength = 0;
};

// The set-ups of a shading run for the scene.
Prepared setUp(const Scene& sc, int32_t model = kMatte) {
  Prepared s;
  setUpRotation(s.view, sc.ox, sc.oy, sc.oz);
  s.view.visibleHalfOnly = sc.visibleHalfOnly;
  setUpRadius(s.view, sc.radius);
  s.lm.surfaceModel = model;
  s.lm.sourceInclination = toSingle(sc.inclination * kPi / 180);
  setUpLight(s.lm);
  s.lm.specularShare = sc.s;
  s.lm.peakSharpness = sc.n;
  setUpParameters(s.lm);
  s.halfLength = 10 * s.view.unitsPerPixel;
  return s;
}

PointEvaluation evaluate(const Prepared& s, double dx, double dy,
                         const ConsumerRules& rules = kShadingRules) {
  return evaluatePicturePoint(s.view, s.lm, dx, dy, s.halfLength, rules, true);
}

// ---------------------------------------------------------------------------
// Points of the map: the chosen sphere point and its angles.

struct PointCase {
  const char* name;
  Scene scene;
  double dx, dy;
  Vec3 h;
  double hTol;
  double cosI, cosITol, angleI, angleITol, cosE, cosETol, angleE, angleETol;
};

TEST(PointEvaluation, WorkedNumbers) {
  const PointCase cases[] = {
      // OX 90 is 89.98 degrees: the centre is not quite the pole.
      {"start-up centre", {}, 0, 0, {0, 0.000349, 0.99999995}, 5e-7,
       0.99999994f, 0, 0.000345, 5e-7, 0.99999994f, 0, 0.000317, 5e-7},
      {"inclination 30, centre", {90, 0, 0, 30}, 0, 0, {kAny, kAny, kAny}, 0,
       0.86620, 5e-6, kAny, 0, kAny, 0, kAny, 0},
      // A positive inclination lights the lower part of the map more.
      {"inclination 30, 100 px above", {90, 0, 0, 30}, 0, 100, {0, -0.62866, 0.77768}, 5e-6,
       0.35916, 5e-6, kAny, 0, kAny, 0, kAny, 0},
      {"inclination 30, 100 px below", {90, 0, 0, 30}, 0, -100, {kAny, kAny, kAny}, 0,
       0.98771, 5e-6, kAny, 0, kAny, 0, kAny, 0},
      {"rotated OX 90 OY 30, inclination 20", {90, 30, 0, 20}, 50, 50,
       {0.720224, -0.314153, 0.618534}, 5e-7,
       0.473786, 5e-7, 1.077212, 5e-7, 0.618534, 5e-7, 0.903920, 5e-7},
      // Light behind the surface: a negative cosI gives a negative angleI, not
      // an arc cosine; the lower half shown as A has angleE = pi/2.
      {"no rotation, whole sphere, (0, -60)", {0, 0, 0, 20, kFalse}, 0, -60,
       {0, 0.926067, -0.377358}, 5e-7,
       -0.037867, 5e-7, -1.532920, 5e-7, -0.377358, 5e-7, kHalfPi, 0},
  };
  for (const PointCase& c : cases) {
    SCOPED_TRACE(c.name);
    const PointEvaluation e = evaluate(setUp(c.scene), c.dx, c.dy);
    ASSERT_TRUE(e.hit);
    expectValue("H.x", e.h.x, c.h.x, c.hTol);
    expectValue("H.y", e.h.y, c.h.y, c.hTol);
    expectValue("H.z", e.h.z, c.h.z, c.hTol);
    expectValue("cosI", e.angles.cosI, c.cosI, c.cosITol);
    expectValue("angleI", e.angles.angleI, c.angleI, c.angleITol);
    expectValue("cosE", e.angles.cosE, c.cosE, c.cosETol);
    expectValue("angleE", e.angles.angleE, c.angleE, c.angleETol);
  }
}

// ---------------------------------------------------------------------------
// The four models at the worked example.

TEST(Reflectance, ModelsAtTheWorkedExample) {
  struct Case {
    int32_t model;
    const ConsumerRules* rules;
    double phi, tol;
  } const cases[] = {
      // Glossy: t = 2 cosI cosE - cos g is about -0.353587 < 0, so only the
      // diffuse share remains.
      {kGlossy, &kShadingRules, 0.236893, 5e-7},
      {kRocky, &kShadingRules, 0.293053, 5e-7},
      {kMatte, &kShadingRules, 0.473786, 5e-7},
      {kMirror, &kShadingRules, 0.008f, 0},
      {kMirror, &kProbeRules, 0.0f, 0},
  };
  const Prepared base = setUp({90, 30, 0, 20});
  const PointEvaluation e = evaluate(base, 50, 50);
  ASSERT_TRUE(e.hit);
  EXPECT_NEAR(toSingle(2.0 * e.angles.cosI * e.angles.cosE - base.lm.cosG), -0.353587, 5e-7);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    LightAndModel lm = base.lm;
    lm.surfaceModel = c.model;
    expectValue("phi", reflectance(lm, e.angles, *c.rules), c.phi, c.tol);
  }
}

TEST(Reflectance, GlossyTExactlyZeroTakesThePowerBranch) {
  // cosI 0.5, cosE 1 and cos g 1 give t = 0 exactly; with n = 0 the power
  // branch adds specularGain * 0^0 = specularGain, the other branch would not.
  LightAndModel lm;
  lm.surfaceModel = kGlossy;
  lm.cosG = 1;
  lm.specularShare = 0.5f;
  Angles a;
  a.cosI = 0.5f;

  struct Case {
    float n, cosE, phi;
  } const cases[] = {
      {0, 1.0f, 0.25f + 0.25f},        // t = 0: 0.5 * 0.5 + (0 + 1) * 0.5 / 2 * 1
      {0, 0.99999994f, 0.25f},         // t just below 0: the diffuse share alone
      {16, 1.0f, 0.25f},               // t = 0, n > 0: 0^16 = 0
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "n " << c.n << " cosE " << c.cosE);
    lm.peakSharpness = c.n;
    setUpParameters(lm);
    a.cosE = c.cosE;
    EXPECT_EQ(reflectance(lm, a, kShadingRules), c.phi);
  }
}

TEST(Reflectance, ShadingKeepsNegativePhiAndLimitsItAboveOne) {
  EXPECT_EQ(clampPhi(4.75f, kShadingRules), 1.0f);
  EXPECT_EQ(clampPhi(-0.25f, kShadingRules), -0.25f);
  EXPECT_EQ(clampPhi(-0.25f, kProbeRules), 0.0f);
  EXPECT_EQ(clampPhi(1.0f, kShadingRules), 1.0f);
  // The glossy peak at the start-up view: (1 - s) + s (n + 1) / 2 = 4.75 at most.
  const Prepared s = setUp({}, kGlossy);
  const PointEvaluation e = evaluate(s, 0, 0);
  const float phi = reflectance(s.lm, e.angles, kShadingRules);
  EXPECT_GT(phi, 4.7f);
  EXPECT_LE(phi, 4.75f);
}

// ---------------------------------------------------------------------------
// Rotation set-up: the special values of +-90.

TEST(RotationSetUp, SpecialValuesOfNinety) {
  struct Case {
    const char* name;
    double ox, oy, oz;
    double rotAngleOX, sinRotOX;  // expected; NaN: through sin()
    double rotAngleOZ, cosRotOZ, sinRotOZ;
  } const cases[] = {
      // OX is tested as a 64-bit float: 90 exactly is 89.98 degrees with sine 1.
      {"OX 90", 90, 0, 0, 282.680506647 / 180, 1.0, 0, 1, 0},
      {"OX -90", -90, 0, 0, -282.680506647 / 180, -1.0, 0, 1, 0},
      {"OX 89.99", 89.99, 0, 0, 89.99 * kPi / 180, kAny, 0, 1, 0},
      {"OX 90.000001", 90.000001, 0, 0, 90.000001 * kPi / 180, kAny, 0, 1, 0},
      // OZ is tested as a 32-bit float: 90.000001 is 90 there. The pair
      // (0.0005, 0.9999) is not of unit length and stays so.
      {"OZ 90", 0, 0, 90, 0, 0, 1.570796325, 0.0005, 0.9999},
      {"OZ -90", 0, 0, -90, 0, 0, -1.570796325, 0.0005, -0.9999},
      {"OZ 90.000001", 0, 0, 90.000001, 0, 0, 1.570796325, 0.0005, 0.9999},
      {"OZ 89.99", 0, 0, 89.99, 0, 0, 89.99 * kPi / 180, kAny, kAny},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ViewAndRotation v;
    setUpRotation(v, c.ox, c.oy, c.oz);
    EXPECT_EQ(v.rotAngleOX, c.rotAngleOX);
    if (std::isnan(c.sinRotOX)) {
      EXPECT_EQ(v.sinRotOX, std::sin(v.rotAngleOX));
      EXPECT_NE(v.sinRotOX, 1.0);
    } else {
      EXPECT_EQ(v.sinRotOX, c.sinRotOX);
    }
    EXPECT_EQ(v.cosRotOX, std::cos(v.rotAngleOX));
    EXPECT_EQ(v.rotAngleOZ, c.rotAngleOZ);
    if (std::isnan(c.cosRotOZ)) {
      EXPECT_EQ(v.cosRotOZ, std::cos(v.rotAngleOZ));
      EXPECT_EQ(v.sinRotOZ, std::sin(v.rotAngleOZ));
    } else {
      EXPECT_EQ(v.cosRotOZ, c.cosRotOZ);
      EXPECT_EQ(v.sinRotOZ, c.sinRotOZ);
    }
  }
  // About 0.000349 for the 89.98 degrees of a typed 90.
  ViewAndRotation v;
  setUpRotation(v, 90, 90, 0);
  EXPECT_NEAR(v.cosRotOX, 0.000349, 5e-7);
  // OY has no special case: 90 goes through cos() and sin().
  EXPECT_EQ(v.cosRotOY, std::cos(90 * kPi / 180));
  EXPECT_NE(v.cosRotOY, 0.0005);
}

// ---------------------------------------------------------------------------
// The choice between A and B, and the misses.

TEST(ChoiceOfPoint, VisibleHalfDecidesBetweenAAndB) {
  const Vec3 aUp{0.1, 0.9, 0.2}, aZero{0.1, 0.9, 0.0}, aDown{0.1, 0.9, -0.2};
  const Vec3 bUp{0.1, -0.5, 0.3}, bDown{0.1, -0.5, -0.1};
  struct Case {
    const char* name;
    Vec3 a, b;
    VbBool visibleHalfOnly;
    bool hit;
    bool chooseA;
  } const cases[] = {
      {"whole sphere: A even below", aDown, bUp, kFalse, true, true},
      {"visible half: A above", aUp, bUp, kTrue, true, true},
      {"visible half: A at z = 0", aZero, bDown, kTrue, true, true},
      {"visible half: B when A is below", aDown, bUp, kTrue, true, false},
      {"visible half: both below, a miss", aDown, bDown, kTrue, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Intersection in;
    in.hit = true;
    in.a = c.a;
    in.b = c.b;
    const ChosenPoint p = choosePoint(in, c.visibleHalfOnly, kShadingRules);
    ASSERT_EQ(p.hit, c.hit);
    if (!c.hit) continue;
    const Vec3 want = c.chooseA ? c.a : c.b;
    EXPECT_EQ(p.h.z, want.z);
    EXPECT_EQ(p.h.y, want.y);
  }
  // The example hemisphere always takes A.
  Intersection in{true, aDown, bUp};
  EXPECT_EQ(choosePoint(in, kTrue, kExampleRules).h.z, aDown.z);
}

TEST(ChoiceOfPoint, RotatedViewShowsTheFarPointOfTheHiddenHalf) {
  // Turned 120 degrees about OX, the sight line at (-150, -40) meets the sphere
  // below z = 0 first (A) and above it at B.
  Prepared s = setUp({120, 0, 0});
  const Intersection in = intersectUnitSphere(sightLineThrough(s.view, -150, -40, s.halfLength));
  ASSERT_TRUE(in.hit);
  EXPECT_LT(in.a.z, 0);
  EXPECT_NEAR(in.b.x, -0.943396, 5e-7);  // -150 / 159: OX keeps x
  EXPECT_NEAR(in.b.y, 0.109800, 5e-7);
  EXPECT_NEAR(in.b.z, 0.312966, 5e-7);
  const PointEvaluation seen = evaluate(s, -150, -40);
  ASSERT_TRUE(seen.hit);
  EXPECT_EQ(seen.h.z, in.b.z);
  EXPECT_EQ(seen.angles.cosE, static_cast<float>(in.b.z));

  s.view.visibleHalfOnly = kFalse;
  const PointEvaluation whole = evaluate(s, -150, -40);
  EXPECT_EQ(whole.h.z, in.a.z);
  EXPECT_EQ(whole.angles.angleE, kHalfPi);

  // At (-150, 50) both points lie below z = 0.
  s.view.visibleHalfOnly = kTrue;
  EXPECT_FALSE(evaluate(s, -150, 50).hit);
}

TEST(ChoiceOfPoint, Misses) {
  struct Case {
    const char* name;
    Scene scene;
    double dx, dy;
    bool hit;
  } const cases[] = {
      // Unrotated, A and B share their z: the lower half of the disc is hidden.
      {"no rotation, visible half, below the centre", {0, 0, 0, 0, kTrue}, 0, -60, false},
      {"no rotation, visible half, above the centre", {0, 0, 0, 0, kTrue}, 0, 60, true},
      {"no rotation, whole sphere, below the centre", {0, 0, 0, 0, kFalse}, 0, -60, true},
      // Outside the sphere's outline the discriminant is negative.
      {"beyond the rim", {}, 160, 0, false},
      {"just inside the rim", {}, 158, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(evaluate(setUp(c.scene), c.dx, c.dy).hit, c.hit);
  }
  // A sight line with rayDY exactly 0 (both points at the same depth) is a miss.
  SightLine flat{{0.1, 0.2, 0.3}, {0.4, 0.2, -0.3}};
  EXPECT_FALSE(intersectUnitSphere(flat).hit);
  const Prepared s = setUp({});
  EXPECT_FALSE(evaluatePicturePoint(s.view, s.lm, 0, 0, 0.0, kShadingRules, true).hit);
}

// ---------------------------------------------------------------------------
// The angles at their limits.

TEST(Angles, Limits) {
  struct Case {
    const char* name;
    float cosI;
    Vec3 h;
    float angleI, angleE;
    double tolI;
  } const cases[] = {
      {"cosI exactly 0", 0.0f, {0, 0.5, 0.5}, kHalfPi, kAny, 0},
      // -0 equals 0: +pi/2, where the arctangent of -infinity would give -pi/2.
      {"cosI -0", -0.0f, {0, 0.5, 0.5}, kHalfPi, kAny, 0},
      {"cosI negative", -0.5f, {0, 0.5, 0.5}, static_cast<float>(-std::acos(-1.0) / 3), kAny, 1e-7},
      {"z exactly 1", 1.0f, {0, 0, 1}, 0.0f, 0.0f, 0},
      {"z above 1 by rounding", 1.0f, {0, 0, 1.0000000000000002}, 0.0f, 0.0f, 0},
      {"z exactly 0", 0.5f, {1, 0, 0}, kAny, kHalfPi, 1e-7},
      {"z below 0", 0.5f, {0.9, 0, -0.1}, kAny, kHalfPi, 1e-7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Angles a;
    a.cosI = c.cosI;
    anglesAt(a, c.h);
    expectValue("angleI", a.angleI, c.angleI, c.tolI);
    expectValue("angleE", a.angleE, c.angleE, 0);
  }
  // A pole point reached as B gives angleE = 0 just as it does as A.
  Intersection in{true, {0, 0.5, -0.5}, {0, 0, 1}};
  const ChosenPoint p = choosePoint(in, kTrue, kShadingRules);
  ASSERT_TRUE(p.hit);
  Angles a;
  anglesAt(a, p.h);
  EXPECT_EQ(a.angleE, 0.0f);
}

// ---------------------------------------------------------------------------
// Overflows are run-time errors, never an infinity passed on.

TEST(Overflow, IsARuntimeError) {
  auto expectOverflow = [](const char* name, auto&& f) {
    SCOPED_TRACE(name);
    try {
      f();
      ADD_FAILURE() << "no error";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.kind(), ErrorKind::Overflow);
    }
  };
  LightAndModel glossy;
  glossy.surfaceModel = kGlossy;
  glossy.cosG = 0;
  glossy.specularShare = 0.5f;
  Angles bright;  // t = 2 * 0.9 * 0.9 - 0 = 1.62
  bright.cosI = 0.9f;
  bright.cosE = 0.9f;

  expectOverflow("t^n beyond the 64-bit range", [&] {
    LightAndModel lm = glossy;
    lm.peakSharpness = 3000;
    setUpParameters(lm);
    reflectance(lm, bright, kShadingRules);
  });
  expectOverflow("phi beyond the 32-bit range", [&] {
    LightAndModel lm = glossy;
    lm.peakSharpness = 300;  // 1.62^300 is about 1e63: finite, but no float
    setUpParameters(lm);
    reflectance(lm, bright, kShadingRules);
  });
  expectOverflow("0 to a negative power", [&] {
    LightAndModel lm = glossy;
    lm.cosG = 1;
    lm.peakSharpness = -1;
    setUpParameters(lm);
    Angles a;  // t = 2 * 0.5 * 1 - 1 = 0
    a.cosI = 0.5f;
    a.cosE = 1;
    reflectance(lm, a, kShadingRules);
  });
  expectOverflow("specular gain beyond the 32-bit range", [&] {
    LightAndModel lm;
    lm.specularShare = 3e38f;
    lm.peakSharpness = 3e38f;
    setUpParameters(lm);
  });
  expectOverflow("OZ that is no 32-bit float", [&] {
    ViewAndRotation v;
    setUpRotation(v, 0, 0, 1e39);
  });
  expectOverflow("discriminant beyond the 32-bit range", [&] {
    Prepared s = setUp({0, 0, 0});
    s.view.unitsPerPixel = 1e30;
    evaluatePicturePoint(s.view, s.lm, 1, 1, 10 * s.view.unitsPerPixel, kShadingRules, true);
  });
}

}  // namespace
}  // namespace korvalen

namespace korvalen {
namespace {

// The fast shading marks a sample with MarkFault and hands it to the checked
// path, which must then raise: both policies must fault at exactly the same
// samples, and give the same values bit for bit everywhere else.
TEST(FaultPolicies, MarkExactlyWhereRaisingRaises) {
  struct Case {
    const char* what;
    int32_t model;
    float cosI, cosE, cosG, diffuseShare, specularGain, peakSharpness;
    bool faults;
  };
  const Case cases[] = {
      {"matte", kMatte, 0.25f, 0.5f, 1, 0.5f, 8.5f, 16, false},
      {"glossy, t below 0", kGlossy, 0.1f, 0.2f, 1, 0.5f, 8.5f, 16, false},
      {"glossy, peak", kGlossy, 1, 1, 1, 0.5f, 8.5f, 16, false},
      {"glossy, t 2 to a power beyond the double range", kGlossy, 1, 1, 0, 0.5f, 1, 2000, true},
      {"glossy, phi beyond the float range", kGlossy, 1, 1, 0, 0.5f, 1, 200, true},
      {"glossy, the largest phi a float holds", kGlossy, 1, 1, 0, 0.5f, 1, 127, false},
      {"rocky", kRocky, 0.75f, 0.5f, 1, 0, 0, 0, false},
      {"mirror", kMirror, 0.75f, 0.5f, 1, 0, 0, 0, false},
  };
  for (const Case& c : cases) {
    LightAndModel lm;
    lm.cosG = c.cosG;
    lm.diffuseShare = c.diffuseShare;
    lm.specularGain = c.specularGain;
    lm.peakSharpness = c.peakSharpness;
    MarkFault mark;
    const float marked = phiOf(c.model, lm, c.cosI, c.cosE, 0.008f, mark);
    RaiseAtFault raise;
    bool raised = false;
    float raisedPhi = 0;
    try {
      raisedPhi = phiOf(c.model, lm, c.cosI, c.cosE, 0.008f, raise);
    } catch (const RuntimeError&) {
      raised = true;
    }
    EXPECT_EQ(raised, c.faults) << c.what;
    EXPECT_EQ(mark.faulted, c.faults) << c.what;
    if (!raised) {
      EXPECT_EQ(std::memcmp(&marked, &raisedPhi, sizeof(float)), 0) << c.what;
    }
  }

  // The mirror score: a finite sum that no float holds faults, the rest not.
  for (double g : {0.5, 1e300}) {
    MarkFault mark;
    const float marked = mirrorScore(g, 0.25, 0.25, mark);
    RaiseAtFault raise;
    bool raised = false;
    try {
      EXPECT_EQ(mirrorScore(g, 0.25, 0.25, raise), marked) << g;
    } catch (const RuntimeError& e) {
      raised = true;
      EXPECT_EQ(e.kind(), ErrorKind::Overflow);
    }
    EXPECT_EQ(raised, g > 1) << g;
    EXPECT_EQ(mark.faulted, raised) << g;
  }
}

}  // namespace
}  // namespace korvalen
