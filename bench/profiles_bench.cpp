// Timings of the curves beside the map: the phase curve of each model on the
// parallel path (the phase angles shared over the hardware threads) and on one
// thread, and the equator and probe curves, which redraw on every change.
// Compare by the wall-clock time (Time): the CPU time is the calling thread's
// alone.
#include <benchmark/benchmark.h>

#include "profiles/equator_curve.h"
#include "profiles/phase_curve.h"
#include "profiles/probe_curves.h"
#include "start_up_state.h"

namespace korvalen {
namespace {

using State = testing_support::ShadingState;

State modelState(int32_t model) {
  State s;
  s.lm.surfaceModel = model;
  if (model == kHapke) s.lm.planetary.hapke = kHapkePresets[0].p;
  s.setInclination(30);
  return s;
}

// Arguments: the surface model, the threads (0: all the processor has).
void BM_PhaseCurve(benchmark::State& state) {
  const State s = modelState(static_cast<int32_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(phaseCurve(s.lm, kPhaseDiscRadius, static_cast<int>(state.range(1))));
}
BENCHMARK(BM_PhaseCurve)
    ->ArgNames({"model", "threads"})
    ->ArgsProduct({{kMatte, kGlossy, kRocky, kMirror, kLommelSeeliger, kMinnaert, kLunarLambert, kAkimov, kHapke},
                   {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_EquatorCurve(benchmark::State& state) {
  const State s = modelState(static_cast<int32_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(equatorCurve(s.lm));
}
BENCHMARK(BM_EquatorCurve)->Arg(kGlossy)->Arg(kAkimov)->Arg(kHapke)->Unit(benchmark::kMicrosecond);

void BM_ProbeCurves(benchmark::State& state) {
  State s = modelState(static_cast<int32_t>(state.range(0)));
  s.shade();
  for (auto _ : state)
    benchmark::DoNotOptimize(probeCurves(s.view, s.lm, s.picture, s.mirror, 230, 140, 393, 337));
}
BENCHMARK(BM_ProbeCurves)->Arg(kGlossy)->Arg(kAkimov)->Arg(kHapke)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace korvalen
