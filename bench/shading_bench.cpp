// Timings of the shading run on the start-up picture (393 x 337, radius 159),
// and of the bare point evaluations over the same samples, so that the cost of
// the colour stage and the drawing shows as the ratio between the two.
//
// BM_Path/<case>/<path> runs one case on each path this processor can run
// (checked: Тонирование per sample; scalar; sse2, avx2, avx512; parallel, the
// widest of them on all hardware threads) and reports per_sample, the time of
// a run divided by its calls of the per-sample evaluation (four per pixel with
// smoothing). Compare the paths by the wall-clock time (Time, and per_sample,
// in seconds), what the user waits: the CPU time is the calling thread's and
// leaves out the other threads of parallel.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "photometry/checked.h"
#include "photometry/geometry.h"
#include "shading/shading.h"
#include "start_up_state.h"

namespace korvalen {
namespace {

using State = testing_support::ShadingState;

// The window's state after start-up and the set-ups of a shading run.
State startUp(int32_t model = kMatte, double radius = 159, VbBool noSmoothing = kTrue) {
  State s;
  s.lm.surfaceModel = model;
  s.setRadius(radius);
  s.isolines.noSmoothing = noSmoothing;
  return s;
}

// The picture at screen scale 2: twice the width and height, the centre moved
// with them.
State atScale2(State s) {
  s.picture.pictureWidth = 786;
  s.picture.pictureHeight = 674;
  s.picture.centreX = 393;
  s.picture.centreY = 337;
  return s;
}

State inclined(State s, double degrees) {
  s.setInclination(degrees);
  return s;
}

// An added model with its parameters at the start-up view, the light at
// 30 degrees (the model's constants are found with the light).
State added(int32_t model, void (*set)(PlanetaryParameters&), State s = startUp()) {
  s.lm.surfaceModel = model;
  set(s.lm.planetary);
  return inclined(s, 30);
}
void noChange(PlanetaryParameters&) {}
void ceres(PlanetaryParameters& p) {
  p.hapke = kHapkePresets[0].p;
  p.factor = 20;
}

// The samples of one run: pixels passing the disc test (their first sub-sample
// with smoothing), four sub-samples each with smoothing.
double samplesOf(const State& s) {
  ShadingRun run;
  MirrorSpot mirror;
  run = prepareShadingRun(s.view, s.picture, s.isolines, mirror);
  const bool smooth = s.isolines.noSmoothing == kFalse;
  double n = 0;
  for (int column = run.scanColumnFirst; column <= run.scanColumnLast; ++column) {
    for (int row = run.scanRowFirst; row <= run.scanRowLast; ++row) {
      const double dx = column - s.picture.centreX - (smooth ? 0.25 : 0.0);
      const double dy = row - s.picture.centreY - (smooth ? 0.25 : 0.0);
      if (dx * dx + dy * dy < s.view.discLimitSq) n += smooth ? 4 : 1;
    }
  }
  return n;
}

void runOnPath(benchmark::State& bs, State s, ShadingPath path) {
  Raster picture1(s.picture.pictureWidth, s.picture.pictureHeight);
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : bs) {
    picture1.clear();
    shadeMap(path, s.view, s.lm, s.picture, s.isolines, s.mirror, picture1);
    benchmark::DoNotOptimize(picture1.pixels().data());
  }
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
  bs.counters["per_sample"] = wall.count() / static_cast<double>(bs.iterations()) / samplesOf(s);
}

struct PathCase {
  const char* name;
  State state;
};

const bool registered = [] {
  const PathCase cases[] = {
      {"matte_startup", startUp()},
      {"glossy", startUp(kGlossy)},
      {"mirror", startUp(kMirror)},
      {"matte_smoothed", startUp(kMatte, 159, kFalse)},
      {"glossy_smoothed", startUp(kGlossy, 159, kFalse)},
      {"glossy_smoothed_r336_scale2", atScale2(startUp(kGlossy, 336, kFalse))},
      // The largest maps: the disc covers the whole picture.
      {"glossy_smoothed_r1000_scale2", inclined(atScale2(startUp(kGlossy, 1000, kFalse)), 30)},
      {"mirror_smoothed_r1000_scale2", inclined(atScale2(startUp(kMirror, 1000, kFalse)), 30)},
      // The models of planetary photometry.
      {"lommel_seeliger_startup", added(kLommelSeeliger, noChange)},
      {"minnaert_startup", added(kMinnaert, [](PlanetaryParameters& p) { p.minnaertK = 0.5; })},
      {"lunar_lambert_startup", added(kLunarLambert, [](PlanetaryParameters& p) { p.lunarLOfPhase = true; })},
      {"akimov_startup", added(kAkimov, noChange)},
      {"hapke_startup", added(kHapke, ceres)},
      {"hapke_smoothed_r1000_scale2", added(kHapke, ceres, atScale2(startUp(kMatte, 1000, kFalse)))},
  };
  for (const PathCase& c : cases) {
    for (ShadingPath p : {ShadingPath::Checked, ShadingPath::Scalar, ShadingPath::Sse2,
                          ShadingPath::Avx2, ShadingPath::Avx512, ShadingPath::Parallel}) {
      if (!shadingPathAvailable(p)) continue;
      const std::string name = std::string("BM_Path/") + c.name + "/" + shadingPathName(p);
      benchmark::RegisterBenchmark(name.c_str(), runOnPath, c.state, p)
          ->Unit(benchmark::kMillisecond);
    }
  }
  return true;
}();

// One run as the window does it: clear, then the scan.
void runShading(benchmark::State& bs, State s) {
  Raster picture1(393, 337);
  for (auto _ : bs) {
    picture1.clear();
    shadeMap(s.view, s.lm, s.picture, s.isolines, s.mirror, picture1);
    benchmark::DoNotOptimize(picture1.pixels().data());
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
