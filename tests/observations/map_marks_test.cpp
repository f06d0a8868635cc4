// The marks of observations on the map: each stands where the map shows the
// observation's angles, only observations near the map's g are marked, and
// the map's visible half hides what it hides.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "observations/map_marks.h"
#include "photometry/geometry.h"

namespace korvalen {
namespace {

constexpr double kDeg = std::numbers::pi / 180;

struct MapSetUp {
  ViewAndRotation view;
  LightAndModel lm;
  MapPicture map;
};

MapSetUp mapOf(double ox, double oy, double oz, double inclination, bool visibleHalf) {
  MapSetUp s;
  setUpRotation(s.view, ox, oy, oz);
  setUpRadius(s.view, 150);
  s.view.visibleHalfOnly = visibleHalf ? kTrue : kFalse;
  s.map.pictureWidth = 393, s.map.pictureHeight = 337, s.map.centreX = 196, s.map.centreY = 168;
  s.lm.surfaceModel = kMatte;
  s.lm.sourceInclination = inclinationRadians(inclination);
  setUpLight(s.lm);
  return s;
}

// Observations at normals spread over the lit part of the observer's half,
// taken at the map's own g plus `gOffset` degrees (each row's i and e are
// those of the normal in the map's light).
ObservationTable observationsOf(const MapSetUp& s, size_t n, double gOffset) {
  ObservationTable t;
  std::mt19937 random(11);
  std::normal_distribution<double> normal;
  const double g = phaseAngleDegrees(s.lm.sourceInclination);
  while (t.size() < n) {
    double x = normal(random), y = normal(random), z = normal(random);
    const double r = std::sqrt(x * x + y * y + z * z);
    x /= r, y /= r, z /= r;
    const double mu0 = s.lm.lightY * y + s.lm.lightZ * z;
    if (mu0 < 0.05 || z < 0.05) continue;
    t.i.push_back(std::acos(mu0) / kDeg);
    t.e.push_back(std::acos(z) / kDeg);
    t.g.push_back(g + gOffset);
    t.line.push_back(static_cast<int32_t>(t.size() + 1));
  }
  return t;
}

TEST(MapMarks, EachMarkShowsItsObservationsAngles) {
  struct Case {
    double ox, oy, oz, inclination;
    bool visibleHalf;
    // The map meets the sphere through a 32-bit discriminant; the quarter
    // turn about OZ, whose fixed sine and cosine are not of unit length,
    // leaves its points a little off the unit sphere.
    double slack;
  } const cases[] = {
      {90, 0, 0, 60, true, 5e-5},     {90, 0, 0, 60, false, 5e-5},  {30, 20, 10, 60, true, 5e-5},
      {30, 20, 10, -40, false, 5e-5}, {0, 0, 0, 120, false, 5e-5},  {-90, 45, 0, 25, true, 5e-5},
      {45, 10, 90, 60, true, 1e-3},    {90, 0, 0, 0, true, 5e-5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.ox << ' ' << c.oy << ' ' << c.oz << " g " << c.inclination
                                    << (c.visibleHalf ? " visible half" : " whole sphere"));
    const MapSetUp s = mapOf(c.ox, c.oy, c.oz, c.inclination, c.visibleHalf);
    const ObservationTable t = observationsOf(s, 400, 0);
    const std::vector<MapMark> marks = placeMarks(t, s.view, s.lm, s.map, kDefaultMarkTolerance);
    ASSERT_FALSE(marks.empty());
    for (const MapMark& m : marks) {
      // The map's own evaluation at the mark's point of the picture.
      const double dx = m.x - s.map.centreX, dy = (s.map.pictureHeight - m.y) - s.map.centreY;
      const PointEvaluation e =
          evaluatePicturePoint(s.view, s.lm, dx, dy, 10 * s.view.unitsPerPixel, kShadingRules, false);
      ASSERT_TRUE(e.hit);
      EXPECT_NEAR(e.angles.cosI, std::cos(t.i[m.row] * kDeg), c.slack) << "row " << m.row;
      EXPECT_NEAR(e.angles.cosE, std::cos(t.e[m.row] * kDeg), c.slack) << "row " << m.row;
    }
    // Facing the observer on the visible half, every observation shows both
    // of its mirror points.
    if (c.ox == 90 && c.oy == 0 && c.oz == 0 && c.visibleHalf && c.inclination != 0) {
      EXPECT_EQ(marks.size(), 2 * t.size());
    }
  }
}

TEST(MapMarks, OnlyObservationsNearTheMapsPhaseAngle) {
  const MapSetUp s = mapOf(90, 0, 0, 60, true);
  struct Case {
    double gOffset, tolerance;
    bool marked;
  } const cases[] = {{0, 0, true}, {1.9, 2, true}, {-1.9, 2, true}, {2.1, 2, false}, {-2.1, 2, false},
                     {10, 12, true}, {0.5, std::nan(""), false}};
  for (const Case& c : cases) {
    const ObservationTable t = observationsOf(s, 50, c.gOffset);
    EXPECT_EQ(!placeMarks(t, s.view, s.lm, s.map, c.tolerance).empty(), c.marked)
        << c.gOffset << " within " << c.tolerance;
  }
}

}  // namespace
}  // namespace korvalen
