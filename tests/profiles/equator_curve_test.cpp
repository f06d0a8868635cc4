// phi along the photometric equator: the map's own value where both evaluate,
// the models' formulas, the mirror's one bright point, the present light.
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

double rad(double degrees) { return degrees * kPi / 180; }

ShadingState stateOf(int32_t model, double inclination) {
  ShadingState s;
  s.lm.surfaceModel = model;
  if (model == kHapke) s.lm.planetary.hapke = kHapkePresets[0].p;
  if (model == kMinnaert) s.lm.planetary.minnaertK = 0.5;
  if (model == kLunarLambert) s.lm.planetary.lunarLOfPhase = true;
  s.setInclination(inclination);
  return s;
}

// The start-up view's centre column lies on the equator: there phiAtNormal gives
// the probe's 32-bit phi and, where lit, the map's colour; the curve there pins its gamma and sign.
TEST(EquatorCurve, IsTheMapsValueWhereBothEvaluate) {
  for (int32_t model : std::initializer_list<int32_t>{kMatte, kGlossy, kRocky, kLommelSeeliger, kMinnaert, kLunarLambert, kAkimov, kHapke}) {
    for (double inclination : {0.0, 60.0, -40.0, 150.0}) {
      SCOPED_TRACE(std::to_string(model) + " at " + std::to_string(inclination));
      ShadingState s = stateOf(model, inclination);
      const Raster map = s.shade();
      const MapPicture& pic = s.picture;
      const EquatorCurve curve = equatorCurve(s.lm);
      int compared = 0, coloured = 0;
      for (int row = 0; row <= pic.pictureHeight; ++row) {
        const double dy = row - pic.centreY;
        const PointEvaluation e =
            evaluatePicturePoint(s.view, s.lm, 0, dy, 10 * s.view.unitsPerPixel, kShadingRules, false);
        if (!e.hit || dy * dy > s.view.discLimitSq) continue;
        ASSERT_EQ(e.h.x, 0.0);
        const float phi = phiAtNormal(s.lm, e.h);
        const ProbeReading probe =
            probeAt(s.view, s.lm, pic, s.mirror, pic.centreX, static_cast<float>(pic.pictureHeight - row), false);
        ASSERT_TRUE(probe.shown);
        EXPECT_EQ(phi, probe.phi) << "row " << row;
        ++compared;
        // Where phi is smooth, the curve between its points around this pixel's gamma: nearly the same phi.
        const double k = (std::atan2(e.h.y, e.h.z) * 180 / kPi + 90) / kEquatorStepDegrees;
        const size_t k0 = std::min(static_cast<size_t>(k), curve.points.size() - 2);
        const double t = k - static_cast<double>(k0), near = (1 - t) * curve.points[k0].phi + t * curve.points[k0 + 1].phi;
        if (model == kMatte || model == kRocky || model == kLommelSeeliger) { EXPECT_NEAR(near, phi, 0.01) << row; }
        if (e.angles.cosI <= 0 || row == 0) continue;  // zone colours; row 0 is off the grid
        ShadingRun run = prepareShadingRun(s.view, pic, s.isolines, s.mirror);
        run.scanColumn = pic.centreX;
        run.scanRow = row;
        Raster expected(pic.pictureWidth, pic.pictureHeight, testing_support::kUntouched);
        colourSample(run, pic, true, phi, expected);
        const int y = pic.pictureHeight - row;
        EXPECT_EQ(map.point(pic.centreX, y), expected.point(pic.centreX, y)) << "row " << row << ", phi " << phi;
        ++coloured;
      }
      EXPECT_GT(compared, 300);
      EXPECT_GT(coloured, 15);  // at 150 degrees a sliver is lit
    }
  }
}

TEST(EquatorCurve, ModelsFollowTheirFormulas) {
  const struct {
    int32_t model;
    double g;
    double (*phi)(double mu0, double mu);  // before the clip to 0..1
  } cases[] = {
      {kMatte, 60, [](double mu0, double) { return mu0; }},
      {kRocky, -35, [](double mu0, double mu) { return mu0 * mu; }},
      {kLunarLambert, 60, [](double mu0, double mu) { return mu0 <= 0 ? mu0 : 0.5 * mu0 + mu0 / (mu0 + mu); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.model);
    ShadingState s;
    s.lm.surfaceModel = c.model;
    s.lm.sourceInclination = static_cast<float>(rad(c.g));  // the curve sets the light up itself
    const EquatorCurve curve = equatorCurve(s.lm);
    EXPECT_NEAR(curve.g, std::fabs(c.g), 1e-5);  // the phase angle, whichever side the light is on
    EXPECT_NEAR(curve.lightGamma, c.g, 1e-5);
    ASSERT_EQ(curve.points.size(), 361u);
    for (size_t k = 0; k < curve.points.size(); ++k) {
      const EquatorPoint& p = curve.points[k];
      EXPECT_EQ(p.gamma, -90 + 0.5 * static_cast<double>(k));
      EXPECT_EQ(p.e, std::fabs(p.gamma));
      EXPECT_NEAR(p.i, std::fabs(p.gamma - c.g), 1e-5);
      const double want = std::clamp(c.phi(std::cos(rad(p.i)), std::cos(rad(p.e))), 0.0, 1.0);
      EXPECT_NEAR(p.phi, want, 2e-6) << "gamma " << p.gamma;
    }
  }
}

// The mirror: 1 at the one point halfway to the light, 0 elsewhere.
TEST(EquatorCurve, MirrorHasOneBrightPointHalfwayToTheLight) {
  for (double g : {0.0, 60.0, -50.0})
    for (const EquatorPoint& p : equatorCurve(stateOf(kMirror, g).lm).points)
      EXPECT_EQ(p.phi, p.gamma == g / 2 ? 1.0f : 0.0f) << "g " << g << ", gamma " << p.gamma;
}

// s and n as they stand, not as set up earlier (the formulas' test does the inclination); an overflow is an error.
TEST(EquatorCurve, PresentParametersAndSetUpError) {
  ShadingState s = stateOf(kGlossy, 70), fresh = s;
  s.lm.specularShare = fresh.lm.specularShare = 0.9f;  // typed, not yet set up
  fresh.setInclination(70);
  const EquatorCurve got = equatorCurve(s.lm), want = equatorCurve(fresh.lm);
  ASSERT_EQ(got.points.size(), want.points.size());
  for (size_t k = 0; k < want.points.size(); ++k) EXPECT_EQ(got.points[k].phi, want.points[k].phi);
  s.lm.specularShare = 3e38f;
  EXPECT_THROW(equatorCurve(s.lm), RuntimeError);
}

}  // namespace
}  // namespace korvalen
