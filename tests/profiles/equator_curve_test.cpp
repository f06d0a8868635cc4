// phi along the photometric equator: the map's own value at every orientation
// both evaluate, the models' formulas, the mirror's one bright point.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "photometry/probe.h"
#include "profiles/equator_curve.h"
#include "shading/shading.h"
#include "start_up_state.h"

namespace korvalen {
namespace {

using testing_support::ShadingState;

struct ModelCase {
  const char* name;
  int32_t model;
  void (*set)(PlanetaryParameters&);
};
void none(PlanetaryParameters&) {}
void ceres(PlanetaryParameters& p) { p.hapke = kHapkePresets[0].p; }
void minnaertHalf(PlanetaryParameters& p) { p.minnaertK = 0.5; }
void lunarFit(PlanetaryParameters& p) { p.lunarLOfPhase = true; }

const ModelCase kModels[] = {
    {"matte", kMatte, none},          {"glossy", kGlossy, none},
    {"rocky", kRocky, none},          {"Lommel-Seeliger", kLommelSeeliger, none},
    {"Minnaert 0.5", kMinnaert, minnaertHalf}, {"lunar-Lambert L(g)", kLunarLambert, lunarFit},
    {"Akimov", kAkimov, none},        {"Hapke, Ceres", kHapke, ceres},
};

ShadingState stateOf(const ModelCase& m, double inclination) {
  ShadingState s;
  s.lm.surfaceModel = m.model;
  m.set(s.lm.planetary);
  s.setInclination(inclination);
  return s;
}

// The pixels of the map's centre column lie on the photometric equator in the
// start-up view (OX 90: the sight lines keep x = 0). At each of them the curve's
// evaluation of the map's own sphere point gives the probe's 32-bit phi, and,
// where the point is lit, the colour the map drew there.
TEST(EquatorCurve, IsTheMapsValueWhereBothEvaluate) {
  for (const ModelCase& m : kModels) {
    for (double inclination : {0.0, 30.0, 60.0, -40.0, 150.0}) {
      SCOPED_TRACE(std::string(m.name) + " at " + std::to_string(inclination));
      ShadingState s = stateOf(m, inclination);
      const Raster map = s.shade();
      const MapPicture& pic = s.picture;
      int compared = 0, coloured = 0;
      for (int row = 0; row <= pic.pictureHeight; ++row) {
        const double dy = row - pic.centreY;
        const PointEvaluation e =
            evaluatePicturePoint(s.view, s.lm, 0, dy, 10 * s.view.unitsPerPixel, kShadingRules, false);
        if (!e.hit || dy * dy > s.view.discLimitSq) continue;
        ASSERT_EQ(e.h.x, 0.0);
        const float phi = phiAtNormal(s.lm, e.h);
        const float y = static_cast<float>(pic.pictureHeight - row);
        const ProbeReading probe = probeAt(s.view, s.lm, pic, s.mirror, pic.centreX, y, false);
        ASSERT_TRUE(probe.shown);
        EXPECT_EQ(phi, probe.phi) << "row " << row;
        ++compared;
        if (e.angles.cosI <= 0 || row == 0) continue;  // the map's own zone colours; row 0 is off the grid
        ShadingRun run = prepareShadingRun(s.view, pic, s.isolines, s.mirror);
        run.scanColumn = pic.centreX;
        run.scanRow = row;
        Raster expected(pic.pictureWidth, pic.pictureHeight, testing_support::kUntouched);
        colourSample(run, pic, true, phi, expected);
        EXPECT_EQ(map.point(pic.centreX, pic.pictureHeight - row), expected.point(pic.centreX, pic.pictureHeight - row))
            << "row " << row << ", phi " << phi;
        ++coloured;
      }
      EXPECT_GT(compared, 300);
      EXPECT_GT(coloured, 15);  // at 150 degrees a sliver is lit
    }
  }
}

// The curve's own points against the map's nearest equator pixel (of a map
// of radius 600, within 60 degrees of the observer): the same orientation
// within a fifth of a degree, so the same phi within a little.
// This pins the curve's gamma and its sign to the map's geometry.
TEST(EquatorCurve, PointsFollowTheMapsEquator) {
  for (const ModelCase& m : {kModels[0], kModels[2], kModels[3]}) {
    SCOPED_TRACE(m.name);
    ShadingState s = stateOf(m, 50);
    s.setRadius(600);
    s.picture = {1201, 1201, 600, 600, 255, 255, 255, kFalse};
    struct MapPoint {
      double gamma;
      float phi;
    };
    std::vector<MapPoint> equator;
    for (int dy = -600; dy <= 600; ++dy) {
      const PointEvaluation e =
          evaluatePicturePoint(s.view, s.lm, 0, dy, 10 * s.view.unitsPerPixel, kShadingRules, false);
      if (e.hit) equator.push_back({std::atan2(e.h.y, e.h.z) * 180 / kPi, phiAtNormal(s.lm, e.h)});
    }
    const EquatorCurve curve = equatorCurve(s.lm);
    int near = 0;
    for (const EquatorPoint& p : curve.points) {
      if (std::fabs(p.gamma) > 60) continue;
      const MapPoint* best = &equator.front();
      for (const MapPoint& q : equator)
        if (std::fabs(q.gamma - p.gamma) < std::fabs(best->gamma - p.gamma)) best = &q;
      ASSERT_LT(std::fabs(best->gamma - p.gamma), 0.2);
      EXPECT_NEAR(p.phi, best->phi, 0.01) << "gamma " << p.gamma;
      ++near;
    }
    EXPECT_EQ(near, 241);
  }
}

double rad(double degrees) { return degrees * kPi / 180; }

TEST(EquatorCurve, ModelsFollowTheirFormulas) {
  struct Case {
    const char* name;
    int32_t model;
    void (*set)(PlanetaryParameters&);
    double g;
    double (*phi)(double i, double e);  // i, e in radians; before the clip to 0..1
  } const cases[] = {
      {"matte", kMatte, none, 60, [](double i, double) { return std::cos(i); }},
      {"matte at 0", kMatte, none, 0, [](double i, double) { return std::cos(i); }},
      {"rocky", kRocky, none, 60, [](double i, double e) { return std::cos(i) * std::cos(e); }},
      {"rocky at -35", kRocky, none, -35, [](double i, double e) { return std::cos(i) * std::cos(e); }},
      {"lunar-Lambert L = 0.5", kLunarLambert, none, 60,
       [](double i, double e) {
         const double mu0 = std::cos(i), mu = std::cos(e);
         return mu0 <= 0 ? mu0 : 0.5 * mu0 + 2 * 0.5 * mu0 / (mu0 + mu);
       }},
      {"Lommel-Seeliger", kLommelSeeliger, none, 60,
       [](double i, double e) {
         const double mu0 = std::cos(i), mu = std::cos(e);
         return mu0 <= 0 ? mu0 : 2 * mu0 / (mu0 + mu);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShadingState s;
    s.lm.surfaceModel = c.model;
    c.set(s.lm.planetary);
    s.lm.sourceInclination = static_cast<float>(rad(c.g));
    const EquatorCurve curve = equatorCurve(s.lm);  // the light is set up from the inclination
    EXPECT_NEAR(curve.g, c.g, 1e-5);
    ASSERT_EQ(curve.points.size(), 361u);
    for (size_t k = 0; k < curve.points.size(); ++k) {
      const EquatorPoint& p = curve.points[k];
      EXPECT_EQ(p.gamma, -90 + 0.5 * static_cast<double>(k));
      EXPECT_EQ(p.e, std::fabs(p.gamma));
      EXPECT_NEAR(p.i, std::fabs(p.gamma - c.g), 1e-5);
      const double want = std::clamp(c.phi(rad(p.i), rad(p.e)), 0.0, 1.0);
      EXPECT_NEAR(p.phi, want, 2e-6) << "gamma " << p.gamma;
    }
  }
}

// The mirror shows 1 where the mirror condition is best met, halfway to the
// light, and 0 everywhere else, as the probe shows its spot.
TEST(EquatorCurve, MirrorHasOneBrightPointHalfwayToTheLight) {
  for (double g : {0.0, 30.0, 60.0, -50.0}) {
    ShadingState s;
    s.lm.surfaceModel = kMirror;
    s.setInclination(g);
    const EquatorCurve curve = equatorCurve(s.lm);
    int ones = 0;
    for (const EquatorPoint& p : curve.points) {
      if (p.phi == 1) {
        ++ones;
        EXPECT_NEAR(p.gamma, g / 2, 0.25);
      } else {
        EXPECT_EQ(p.phi, 0);
      }
    }
    EXPECT_EQ(ones, 1) << g;
  }
}

// The curve reads the inclination and s, n as they stand, not a light left
// from an earlier set-up; a set-up that overflows is the run's error.
TEST(EquatorCurve, PresentLightAndSetUpErrors) {
  ShadingState s;
  s.lm.surfaceModel = kGlossy;
  s.setInclination(20);
  const EquatorCurve at20 = equatorCurve(s.lm);
  s.lm.sourceInclination = static_cast<float>(rad(70));  // typed, the light not yet set up
  s.lm.specularShare = 0.9f;
  const EquatorCurve at70 = equatorCurve(s.lm);
  ShadingState fresh;
  fresh.lm.surfaceModel = kGlossy;
  fresh.lm.specularShare = 0.9f;
  fresh.setInclination(70);
  const EquatorCurve want = equatorCurve(fresh.lm);
  ASSERT_EQ(at70.points.size(), want.points.size());
  for (size_t k = 0; k < want.points.size(); ++k) EXPECT_EQ(at70.points[k].phi, want.points[k].phi);
  EXPECT_NE(at20.points[200].phi, at70.points[200].phi);
  s.lm.specularShare = 3e38f;
  EXPECT_THROW(equatorCurve(s.lm), RuntimeError);
}

}  // namespace
}  // namespace korvalen
