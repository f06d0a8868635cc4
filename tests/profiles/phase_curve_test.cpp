// The disc's phase curve: the Lambert sphere's law, the disc's brightness in
// pixels, g = 0 and g = 180, the same values on any number of threads.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "profiles/phase_curve.h"
#include "start_up_state.h"

namespace korvalen {
namespace {

LightAndModel modelOf(int32_t model) {
  testing_support::ShadingState s;
  s.lm.surfaceModel = model;
  if (model == kHapke) s.lm.planetary.hapke = kHapkePresets[1].p;
  return s.lm;
}

// The matte sphere: (sin g + (pi - g) cos g) / pi well within the 1 % asked; at g = 0
// the disc of radius 150 sums cos e over its pixels, 2/3 pi R^2.
TEST(PhaseCurve, MatteSphereFollowsLambertsLaw) {
  ASSERT_NEAR(lambertPhaseLaw(std::numbers::pi / 2), 1 / std::numbers::pi, 1e-15);
  const PhaseCurve curve = phaseCurve(modelOf(kMatte));
  ASSERT_TRUE(curve.defined);
  ASSERT_EQ(curve.points.size(), 181u);
  double worst = 0;
  for (const PhasePoint& p : curve.points)
    worst = std::max(worst, std::fabs(p.relative - lambertPhaseLaw(p.g * std::numbers::pi / 180)));
  EXPECT_LT(worst, 0.0005);  // what a disc of radius 100 gives; 0.01 is asked
  LightAndModel lm = modelOf(kMatte);
  setUpParameters(lm);
  setUpLight(lm);
  bool faulted = false;
  EXPECT_NEAR(discBrightness(lm, 150, faulted) / (2.0 / 3 * std::numbers::pi * 150 * 150), 1, 2e-4);
  EXPECT_FALSE(faulted);
}

// g = 0 is 1, g = 180 lights nothing seen, every value in 0..1, the mirror 1 while lit;
// a magnitude only for a lit disc.
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
      EXPECT_GE(p.relative, 0) << p.g;
      EXPECT_LE(p.relative, 1.0 + 1e-12) << p.g;
      if (model == kMirror && p.g < 180) { EXPECT_EQ(p.relative, 1) << p.g; }
    }
  }
  EXPECT_FALSE(magnitudeOf(0));
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
  const PhaseCurve one = phaseCurve(modelOf(kAkimov), kPhaseDiscRadius, 1);
  const PhaseCurve many = phaseCurve(modelOf(kAkimov), kPhaseDiscRadius, 5);
  ASSERT_EQ(many.points.size(), one.points.size());
  for (size_t d = 0; d < one.points.size(); ++d) EXPECT_EQ(many.points[d].brightness, one.points[d].brightness) << d;
}

}  // namespace
}  // namespace korvalen
