// The example picture's redraw as a keystroke in s or n (or a new inclination)
// does it: the parameter and light set-ups, then drawExample into the window's
// 121 x 73 picture (clear, arrows and rays, the shaded half-disc, the mirror
// highlight), for each model.
#include <benchmark/benchmark.h>

#include "example_hemisphere/example_hemisphere.h"
#include "photometry/checked.h"

namespace korvalen {
namespace {

void BM_ExampleRedraw(benchmark::State& bs, int32_t model) {
  Raster picture2(121, 73, RGB(176, 240, 240));
  const ExampleFrame frame = exampleFrame(picture2);
  LightAndModel lm;
  lm.surfaceModel = model;
  lm.sourceInclination = toSingle(30 * kPi / 180);
  int left = 0;
  for (auto _ : bs) {
    lm.specularShare = 0.5f;
    lm.peakSharpness = 16;
    setUpParameters(lm);
    setUpLight(lm);
    drawExample(picture2, frame, lm, [&](int l) { left = l; });
    benchmark::DoNotOptimize(picture2.pixels().data());
    benchmark::DoNotOptimize(left);
  }
}

BENCHMARK_CAPTURE(BM_ExampleRedraw, matte, kMatte)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ExampleRedraw, glossy, kGlossy)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ExampleRedraw, rocky, kRocky)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ExampleRedraw, mirror, kMirror)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace korvalen
