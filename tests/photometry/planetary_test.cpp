// The disk functions of planetary photometry against their worked values,
// their limits at the degenerate points, and that none of them ever gives a
// NaN or an infinity.
#include "photometry/planetary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "photometry/geometry.h"
#include "photometry/reflectance.h"

namespace korvalen {
namespace {

constexpr double kRad = std::numbers::pi / 180;

PlanetaryParameters with(void (*set)(PlanetaryParameters&)) {
  PlanetaryParameters p;
  set(p);
  return p;
}

// F at (i, e, g) in degrees, with the exact 64-bit cosines.
double diskAt(int32_t model, const PlanetaryParameters& p, double i, double e, double g) {
  const PlanetaryConstants k = planetaryConstantsOf(model, p, g * kRad, std::cos(g * kRad));
  return diskFunction(k, std::cos(i * kRad), std::cos(e * kRad));
}

TEST(PlanetaryModels, WorkedValues) {
  const PlanetaryParameters plain;
  const auto k05 = with([](PlanetaryParameters& p) { p.minnaertK = 0.5; });
  const auto k12 = with([](PlanetaryParameters& p) { p.minnaertK = 1.2; });
  const auto lOfG = with([](PlanetaryParameters& p) { p.lunarLOfPhase = true; });
  const auto eta05 = with([](PlanetaryParameters& p) { p.akimovEta = 0.5; });
  struct Case {
    const char* name;
    int32_t model;
    PlanetaryParameters p;
    double at[3];  // (30, 0, 30), (60, 30, 45), (20, 60, 50)
  } const cases[] = {
      {"Lommel-Seeliger", kLommelSeeliger, plain, {0.928203230, 0.732050808, 1.305407289}},
      {"Minnaert 0.5", kMinnaert, k05, {0.930604859, 0.759835686, 1.370906722}},
      {"Minnaert 1.2", kMinnaert, k12, {0.841466359, 0.422931596, 0.807936039}},
      {"lunar-Lambert 0.5", kLunarLambert, plain, {0.897114317, 0.616025404, 1.122549955}},
      {"lunar-Lambert L(g)", kLunarLambert, lOfG, {0.903853150, 0.616491246, 1.112492802}},
      {"Akimov 1", kAkimov, plain, {0.918650051, 0.649091005, 1.171874966}},
      {"Akimov 0.5", kAkimov, eta05, {0.918650051, 0.663007646, 1.183622653}},
  };
  const double angles[3][3] = {{30, 0, 30}, {60, 30, 45}, {20, 60, 50}};
  for (const Case& c : cases) {
    for (int j = 0; j < 3; ++j) {
      const double got = diskAt(c.model, c.p, angles[j][0], angles[j][1], angles[j][2]);
      EXPECT_NEAR(got / c.at[j], 1, 1e-6) << c.name << " at case " << j;
    }
  }
  // The lunar fit and Akimov's largest value, on the limb.
  EXPECT_NEAR(lunarLOfPhase(30), 0.60838, 1e-9);
  EXPECT_NEAR(lunarLOfPhase(90), 0.18586, 1e-9);
  EXPECT_NEAR(lunarLOfPhase(103.948), 0, 1e-5);
  EXPECT_NEAR(diskAt(kAkimov, plain, 60, 90, 30), std::cos(15 * kRad) * 180 / 150, 1e-12);
  EXPECT_NEAR(diskAt(kAkimov, plain, 60, 90, 30), 1.159, 5e-4);
  // The published ratios of McEwen's lunar fit: phi(30, 0, 30) / phi(i, e, g).
  EXPECT_NEAR(diskAt(kLunarLambert, lOfG, 30, 0, 30) / diskAt(kLunarLambert, lOfG, 0, 0, 0), 0.903853, 5e-7);
  EXPECT_NEAR(diskAt(kLunarLambert, lOfG, 30, 0, 30) / diskAt(kLunarLambert, lOfG, 45, 30, 60), 1.14863, 5e-6);
}

// An inclination of any size is the phase angle acos(cos inclination): within a
// half turn bit for bit the inclination's size, beyond it folded, for every added
// model and the fitted factor alike; the light's longitude keeps its side.
TEST(PlanetaryModels, PhaseAngleOfAnyInclination) {
  const double rows[][3] = {{30, 30, 30},   {-30, 30, -30},   {180, 180, 180}, {200, 160, -160},
                            {-200, 160, 160}, {360, 0, 0},    {-725, 5, -5},   {1e6, 80, -80}};
  PlanetaryParameters p;
  p.lunarLOfPhase = true, p.minnaertK = 0.5, p.hapke = kHapkePresets[0].p;
  for (const auto& [typed, phase, longitude] : rows) {
    const float g = static_cast<float>(typed * kPi / 180), same = static_cast<float>(phase * kPi / 180);
    EXPECT_NEAR(phaseAngleDegrees(g), phase, 2e-4 * (1 + std::fabs(typed) / 360)) << typed;
    EXPECT_NEAR(lightLongitudeDegrees(g), longitude, 2e-4 * (1 + std::fabs(typed) / 360)) << typed;
    if (std::fabs(typed) <= 180) {
      EXPECT_EQ(phaseAngle(g), std::min(std::fabs(double{g}), std::numbers::pi));
    }
    if (std::fabs(typed) > 720 || phase == 180) continue;  // a far turn keeps only the float's digits
    for (int32_t model : {kLommelSeeliger, kMinnaert, kLunarLambert, kAkimov, kHapke}) {
      const PlanetaryConstants a = planetaryConstantsOf(model, p, g, std::cos(double{g}));
      const PlanetaryConstants b = planetaryConstantsOf(model, p, same, std::cos(double{same}));
      for (const auto& [mu0, mu] : {std::pair{0.9, 0.95}, {0.5, 0.4}, {0.1, 0.05}})
        EXPECT_NEAR(diskFunction(a, mu0, mu), diskFunction(b, mu0, mu), 1e-5) << model << " at " << typed;
      const double f = *fittedFactor(model, p, same, std::cos(double{same}), 0.01);
      EXPECT_NEAR(*fittedFactor(model, p, g, std::cos(double{g}), 0.01), f, 1e-6 * f) << model << " at " << typed;
    }
  }
}

// The fitted factor makes 1 the brightest point the map can show: cos e no
// smaller than at its outermost pixel (the centre farthest inside the disc of
// radius R), so Minnaert's k < 1 does not chase its infinite limb. There
// Minnaert's F = mu0^k mu^(k-1) peaks on the equator, mu = m, mu0 = cos(acos m - g).
TEST(PlanetaryModels, FittedFactorStaysWhereTheMapShows) {
  const double discs[][2] = {{159, 25.0 * 25 + 157 * 157}, {100, 86.0 * 86 + 51 * 51}, {2, 2}};
  for (const auto& [radius, r2] : discs)
    EXPECT_NEAR(outermostPixelCosE(1 / radius), std::sqrt(1 - r2 / (radius * radius)), 1e-12) << radius;
  EXPECT_EQ(outermostPixelCosE(2), 1);
  const double m = outermostPixelCosE(1.0 / 159);
  const double rows[][3] = {{0.5, 30, 0}, {0.2, 80, 0}, {0.5, 0, 1}, {1, 40, 1}};  // k, g, the factor (0: by m)
  for (const auto& [k, gDeg, known] : rows) {
    PlanetaryParameters p;
    p.minnaertK = k;
    const double g = gDeg * kRad;
    const double want = known > 0 ? known : 1 / (std::pow(std::cos(std::acos(m) - g), k) * std::pow(m, k - 1));
    EXPECT_NEAR(*fittedFactor(kMinnaert, p, g, std::cos(g), m), want, 1e-6 * want) << k << " " << gDeg;
  }
}

// phi as the map takes it from the 32-bit cosines, at the degenerate points.
TEST(PlanetaryModels, DegeneratePointsHaveTheirStatedValues) {
  auto phiAt = [](int32_t model, void (*set)(PlanetaryParameters&), float g, float cosI,
                  float cosE) {
    PlanetaryParameters p;
    set(p);
    return planetaryPhi(planetaryConstantsOf(model, p, g, std::cos(static_cast<double>(g))), cosI,
                        cosE);
  };
  auto none = [](PlanetaryParameters&) {};
  auto k05 = [](PlanetaryParameters& p) { p.minnaertK = 0.5; };
  auto k1 = [](PlanetaryParameters& p) { p.minnaertK = 1; };
  auto k2 = [](PlanetaryParameters& p) { p.minnaertK = 2; };
  auto lOfG = [](PlanetaryParameters& p) { p.lunarLOfPhase = true; };
  auto tenfold = [](PlanetaryParameters& p) { p.factor = 10; };
  struct Case {
    const char* name;
    int32_t model;
    void (*set)(PlanetaryParameters&);
    float g, cosI, cosE, phi;
  } const cases[] = {
      // mu = 0 (the limb) in each class of Minnaert's k; seen from behind counts as the limb.
      {"Minnaert k<1 limb", kMinnaert, k05, 0.5f, 0.5f, 0.0f, 1.0f},
      {"Minnaert k=1 limb", kMinnaert, k1, 0.5f, 0.5f, 0.0f, 0.5f},
      {"Minnaert k>1 limb", kMinnaert, k2, 0.5f, 0.5f, 0.0f, 0.0f},
      {"Minnaert k>1 behind", kMinnaert, k2, 0.5f, 0.5f, -0.3f, 0.0f},
      {"Minnaert k=0", kMinnaert, [](PlanetaryParameters& p) { p.minnaertK = 0; }, 0, 0.25f, 0.5f,
       1.0f},
      // Unlit points keep mu0, whatever the model: the zones of the terminator.
      {"unlit Lommel-Seeliger", kLommelSeeliger, none, 0.5f, -0.25f, 0.5f, -0.25f},
      {"unlit Akimov", kAkimov, none, 0.5f, 0.0f, 0.5f, 0.0f},
      {"i = e = 90 Lommel-Seeliger", kLommelSeeliger, none, 0.0f, 0.0f, 0.0f, 0.0f},
      {"grazing light, limb", kLommelSeeliger, none, 1.0f, 1e-30f, 0.0f, 1.0f},
      // g = 0: Akimov is 1 everywhere lit; its limb at g > 0 is its largest value.
      {"Akimov g = 0", kAkimov, none, 0.0f, 0.3f, 0.9f, 1.0f},
      {"Akimov limb", kAkimov, none, 0.5f, 0.6f, 0.0f, 1.0f},
      {"Akimov behind", kAkimov, none, 0.5f, 0.6f, -0.5f, 1.0f},
      {"Akimov g = pi", kAkimov, none, 3.1415927f, 0.3f, 0.2f, 0.0f},
      // L(g) below 0 beyond 104 degrees: a negative F draws as 0.
      {"L(g) below 0", kLunarLambert, lOfG, 2.0f, 0.1f, 0.1f, 0.0f},
      {"Akimov a full turn is g = 0", kAkimov, none, 6.2831855f, 0.3f, 0.2f, 1.0f},
      // The factor, and the limit of 1.
      {"factor above 1", kLommelSeeliger, tenfold, 0.5f, 0.5f, 0.5f, 1.0f},
  };
  for (const Case& c : cases)
    EXPECT_EQ(phiAt(c.model, c.set, c.g, c.cosI, c.cosE), c.phi) << c.name;
  // A light inclined the other way makes the same phase angle.
  for (int32_t model : {kLommelSeeliger, kMinnaert, kLunarLambert, kAkimov})
    EXPECT_EQ(phiAt(model, lOfG, -0.7f, 0.6f, 0.4f), phiAt(model, lOfG, 0.7f, 0.6f, 0.4f));
}

// Over a dense grid of cosines and phases, and the ends of every parameter's
// range, phi is a number in [-1, 1] and never NaN or infinity.
TEST(PlanetaryModels, NoNaNOrInfinityAnywhere) {
  auto ends = [](PlanetaryParameters& p, int corner) {
    p.factor = corner & 1 ? kFactorRange.high : kFactorRange.low;
    p.minnaertK = corner & 2 ? kMinnaertKRange.high : kMinnaertKRange.low;
    p.lunarL = corner & 2 ? kLunarLRange.high : kLunarLRange.low;
    p.lunarLOfPhase = corner & 4;
    p.akimovEta = corner & 2 ? kAkimovEtaRange.high : kAkimovEtaRange.low;
  };
  const float cosines[] = {-1, -0.5f, -1e-30f, 0, 1e-45f, 1e-30f, 1e-7f, 0.01f, 0.3f, 0.7071f,
                           0.99f, 0.99999994f, 1};
  long bad = 0;
  for (int32_t model : {kLommelSeeliger, kMinnaert, kLunarLambert, kAkimov}) {
    for (int corner = 0; corner < 8; ++corner) {
      PlanetaryParameters p;
      ends(p, corner);
      for (float g = -3.5f; g <= 3.5f; g += 0.0625f) {
        for (float gExact : {g, 0.0f, 1e-7f, 3.1415925f, 3.1415927f}) {
          const PlanetaryConstants k =
              planetaryConstantsOf(model, p, gExact, std::cos(static_cast<double>(gExact)));
          for (float cosI : cosines)
            for (float cosE : cosines) {
              const float phi = planetaryPhi(k, cosI, cosE);
              if (!(phi >= -1 && phi <= 1)) ++bad;
            }
        }
      }
    }
  }
  EXPECT_EQ(bad, 0);
}

// The models through the program's one source of phi: the probe's and the
// example's checked evaluation give the same value and raise nothing.
TEST(PlanetaryModels, CheckedEvaluationTakesTheAddedModels) {
  LightAndModel lm;
  lm.surfaceModel = kLunarLambert;
  lm.planetary.lunarL = 0.5;
  lm.sourceInclination = static_cast<float>(30 * kPi / 180);
  setUpLight(lm);
  Angles a;
  a.cosI = static_cast<float>(std::cos(30 * kRad));
  a.cosE = 1;
  const float phi = reflectance(lm, a, kProbeRules);
  EXPECT_NEAR(phi, 0.897114317, 1e-6);
  EXPECT_EQ(phi, planetaryPhi(lm.planetaryRun, a.cosI, a.cosE));
}

}  // namespace
}  // namespace korvalen
