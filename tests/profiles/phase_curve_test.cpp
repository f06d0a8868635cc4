// The disc's phase curve: the Lambert sphere's law for the matte model, the
// disc's brightness in pixels, g = 0 and g = 180, the same values on any
// number of threads.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "profiles/phase_curve.h"
#include "start_up_state.h"

namespace korvalen {
namespace {

using testing_support::ShadingState;

LightAndModel modelOf(int32_t model) {
  ShadingState s;
  s.lm.surfaceModel = model;
  if (model == kHapke) s.lm.planetary.hapke = kHapkePresets[1].p;
  return s.lm;
}

// The matte sphere follows (sin g + (pi - g) cos g) / pi to a small part of
// its value at g = 0: here well inside the 1 % asked of it.
TEST(PhaseCurve, MatteSphereFollowsLambertsLaw) {
  const PhaseCurve curve = phaseCurve(modelOf(kMatte));
  ASSERT_TRUE(curve.defined);
  ASSERT_EQ(curve.points.size(), 181u);
  double worst = 0;
  for (const PhasePoint& p : curve.points) {
    const double law = lambertPhaseLaw(p.g * std::numbers::pi / 180);
    worst = std::max(worst, std::fabs(p.relative - law));
  }
  RecordProperty("largest_deviation", std::to_string(worst));
  EXPECT_LT(worst, 0.01);
  EXPECT_LT(worst, 0.0005);  // what a disc of radius 100 gives
  EXPECT_NEAR(lambertPhaseLaw(std::numbers::pi / 2), 1 / std::numbers::pi, 1e-15);
}

// At g = 0 the matte disc sums cos e over its pixels: 2/3 pi R^2.
TEST(PhaseCurve, BrightnessCountsPixels) {
  for (int radius : {100, 150}) {
    LightAndModel lm = modelOf(kMatte);
    setUpParameters(lm);
    setUpLight(lm);
    bool faulted = false;
    const double sum = discBrightness(lm, radius, faulted);
    EXPECT_FALSE(faulted);
    const double want = 2.0 / 3 * std::numbers::pi * radius * radius;
    EXPECT_NEAR(sum / want, 1, 2e-4) << radius;
  }
}

// g = 0 is 1, g = 180 lights nothing the observer sees; every relative value
// lies in 0..1 for these models, and a magnitude exists only for a lit disc.
TEST(PhaseCurve, EndsOfTheRange) {
  for (int32_t model : std::initializer_list<int32_t>{kMatte, kGlossy, kRocky, kMirror, kLommelSeeliger, kMinnaert, kLunarLambert, kAkimov, kHapke}) {
    SCOPED_TRACE(model);
    const PhaseCurve curve = phaseCurve(modelOf(model));
    ASSERT_TRUE(curve.defined);
    EXPECT_EQ(curve.points.front().g, 0);
    EXPECT_EQ(curve.points.front().relative, 1);
    EXPECT_EQ(curve.points.back().g, 180);
    EXPECT_EQ(curve.points.back().relative, 0);
    for (const PhasePoint& p : curve.points) {
      EXPECT_GE(p.relative, 0);
      EXPECT_LE(p.relative, 1.0 + 1e-12) << p.g;
      if (model == kMirror && p.g < 180) {
        EXPECT_EQ(p.relative, 1) << p.g;
      }
    }
  }
  EXPECT_FALSE(magnitudeOf(0));
  EXPECT_EQ(*magnitudeOf(1), 0);
  EXPECT_DOUBLE_EQ(*magnitudeOf(0.01), 5);
}

// A disc dark at g = 0 gives no curve; a set-up that overflows is the run's error.
TEST(PhaseCurve, DarkDiscAndSetUpError) {
  LightAndModel lm = modelOf(kGlossy);
  lm.specularShare = 2;  // 1 - s below 0: only the peak's tip could light, and it is too narrow
  lm.peakSharpness = 1e6f;
  const PhaseCurve dark = phaseCurve(lm);
  EXPECT_FALSE(dark.defined);
  for (const PhasePoint& p : dark.points) EXPECT_EQ(p.relative, 0);
  lm.specularShare = 3e38f;
  lm.peakSharpness = 16;
  EXPECT_THROW(phaseCurve(lm), RuntimeError);
}

// The phase angles shared over threads give what one thread gives.
TEST(PhaseCurve, SameOnAnyNumberOfThreads) {
  for (int32_t model : std::initializer_list<int32_t>{kGlossy, kAkimov}) {
    const PhaseCurve one = phaseCurve(modelOf(model), kPhaseDiscRadius, 1);
    for (int workers : {2, 5}) {
      const PhaseCurve many = phaseCurve(modelOf(model), kPhaseDiscRadius, workers);
      ASSERT_EQ(many.points.size(), one.points.size());
      for (size_t d = 0; d < one.points.size(); ++d)
        EXPECT_EQ(many.points[d].brightness, one.points[d].brightness) << d;
    }
  }
}

}  // namespace
}  // namespace korvalen
