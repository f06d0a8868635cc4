// A comparison map against the maps of its two models: BM_Compare/<case>/map_a
// and map_b shade each model's own map as the window does (all threads), and
// compare computes phi of both at every pixel on the helper threads and draws
// the ratio with its isolines (the legend, drawn by Qt, is left out). The
// comparison should take at most twice the slower of the two maps. Wall-clock
// time is what counts: the CPU time is the calling thread's alone.
#include <benchmark/benchmark.h>

#include <string>

#include "comparison/model_comparison.h"
#include "shading/shading.h"
#include "start_up_state.h"

namespace korvalen {
namespace {

using State = testing_support::ShadingState;

// The start-up view at scale 1 or 2, the light at 30 degrees, the model and its parameters.
State withModel(int32_t model, void (*set)(PlanetaryParameters&), bool scale2) {
  State s;
  if (scale2) {
    s.picture = {786, 674, 393, 337, 255, 255, 255, kFalse};
    s.setRadius(318);
  }
  s.lm.surfaceModel = model;
  if (set) set(s.lm.planetary);
  s.setInclination(30);
  return s;
}

void shadeOwn(benchmark::State& bs, State s) {
  Raster picture(s.picture.pictureWidth, s.picture.pictureHeight);
  for (auto _ : bs) {
    picture.clear();
    shadeMap(s.view, s.lm, s.picture, s.isolines, s.mirror, picture);
    benchmark::DoNotOptimize(picture.pixels().data());
  }
}

void compare(benchmark::State& bs, State a, State b) {
  const int w = a.picture.pictureWidth, h = a.picture.pictureHeight;
  Raster picture(w, h);
  const std::vector<double> levels = defaultComparisonLevels(ComparisonKind::Ratio);
  for (auto _ : bs) {
    picture.clear();
    shadeComparison(a.view, a.picture, a.lm, a.mirror, b.lm, b.mirror, ComparisonKind::Ratio, levels, picture);
    benchmark::DoNotOptimize(picture.pixels().data());
  }
}

void ceres(PlanetaryParameters& p) {
  p.hapke = kHapkePresets[0].p;
  p.factor = 20;
}
void lunarFit(PlanetaryParameters& p) { p.lunarLOfPhase = true; }

const bool registered = [] {
  struct Case {
    const char* name;
    int32_t a;
    void (*setA)(PlanetaryParameters&);
    int32_t b;
    void (*setB)(PlanetaryParameters&);
  } const cases[] = {
      {"matte_glossy", kMatte, nullptr, kGlossy, nullptr},
      {"lunar_lambert_lommel_seeliger", kLunarLambert, lunarFit, kLommelSeeliger, nullptr},
      {"hapke_lunar_lambert", kHapke, ceres, kLunarLambert, lunarFit},
  };
  for (const Case& c : cases) {
    for (bool scale2 : {false, true}) {
      const std::string name = std::string("BM_Compare/") + c.name + (scale2 ? "_scale2" : "");
      const State a = withModel(c.a, c.setA, scale2), b = withModel(c.b, c.setB, scale2);
      benchmark::RegisterBenchmark((name + "/map_a").c_str(), shadeOwn, a)->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark((name + "/map_b").c_str(), shadeOwn, b)->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark((name + "/compare").c_str(), compare, a, b)->Unit(benchmark::kMillisecond);
    }
  }
  return true;
}();

}  // namespace
}  // namespace korvalen
