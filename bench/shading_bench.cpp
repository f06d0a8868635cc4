// Timings of the shading run on the start-up picture (393 x 337, radius 159),
// and of the bare point evaluations over the same samples, so that the cost of
// the colour stage and the drawing shows as the ratio between the two.
#include <benchmark/benchmark.h>

#include "photometry/checked.h"
#include "photometry/geometry.h"
#include "shading/shading.h"

namespace korvalen {
namespace {

struct State {
  ViewAndRotation view;
  LightAndModel lm;
  MapPicture picture;
  Isolines isolines;
  MirrorSpot mirror;
};

// The window's state after start-up and the set-ups of a shading run.
State startUp(int32_t model = kMatte, double radius = 159, VbBool noSmoothing = kTrue) {
  State s;
  setUpRotation(s.view, 90, 0, 0);
  s.view.visibleHalfOnly = kTrue;
  s.view.sphereRadius = radius;
  s.view.unitsPerPixel = 1 / radius;
  const double k = s.view.unitsPerPixel;
  s.view.discLimitSq = (k + 1) / k / k;
  s.lm.surfaceModel = model;
  s.lm.sourceInclination = toSingle(0 * kPi / 180);
  setUpLight(s.lm);
  s.lm.specularShare = 0.5f;
  s.lm.peakSharpness = 16;
  setUpParameters(s.lm);
  s.picture = {393, 337, 196, 168, 255, 255, 255, kFalse};
  const float levels[8] = {0, 0.9f, 0.8f, 0.7f, 0.6f, 0.5f, 0.4f, 0.3f};
  for (int r = 1; r <= 7; ++r) {
    s.isolines.isolineLevel[r] = levels[r];
    s.isolines.isolineHalfWidth[r] = 0.005f;
  }
  s.isolines.noSmoothing = noSmoothing;
  return s;
}

// One run as the window does it: clear, then the scan.
void runShading(benchmark::State& bs, State s) {
  Raster picture1(393, 337);
  for (auto _ : bs) {
    picture1.clear();
    shadeMap(s.view, s.lm, s.picture, s.isolines, s.mirror, picture1);
    benchmark::DoNotOptimize(picture1.image().constBits());
  }
}

void BM_StartUpMap(benchmark::State& bs) { runShading(bs, startUp()); }
void BM_Glossy(benchmark::State& bs) { runShading(bs, startUp(kGlossy)); }
void BM_Mirror(benchmark::State& bs) { runShading(bs, startUp(kMirror)); }
void BM_GlossySmoothed(benchmark::State& bs) { runShading(bs, startUp(kGlossy, 159, kFalse)); }
void BM_Radius899(benchmark::State& bs) { runShading(bs, startUp(kMatte, 899)); }

// The point evaluations alone, over the samples of the start-up map.
void BM_PointEvaluationsOnly(benchmark::State& bs) {
  const State s = startUp();
  const double halfLength = 10 * s.view.unitsPerPixel;
  for (auto _ : bs) {
    float sum = 0;
    for (int column = 196 - 159; column <= 196 + 159; ++column) {
      for (int row = 168 - 159; row <= 168 + 159; ++row) {
        const double dx = column - 196, dy = row - 168;
        if (dx * dx + dy * dy < s.view.discLimitSq) {
          const PointEvaluation e =
              evaluatePicturePoint(s.view, s.lm, dx, dy, halfLength, kShadingRules, false);
          sum += e.angles.cosI;
        }
      }
    }
    benchmark::DoNotOptimize(sum);
  }
}

BENCHMARK(BM_StartUpMap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Glossy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mirror)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GlossySmoothed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Radius899)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PointEvaluationsOnly)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvalen
