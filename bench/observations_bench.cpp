// Observations: a million rows read, and Hapke's six parameters with the
// factor fitted, every start, to 10^4 and 10^5 points.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "observation_samples.h"
#include "observations/fit.h"

namespace korvalen {
namespace {

void BM_ReadObservations(benchmark::State& state) {
  const std::string path = "/tmp/korvalen_bench_observations.csv";
  {
    const ObservationTable t = spreadGeometries(static_cast<size_t>(state.range(0)));
    std::ofstream out(path);
    out << "i,e,g,I/F,sigma\n";
    char line[160];
    for (size_t r = 0; r < t.size(); ++r) {
      std::snprintf(line, sizeof line, "%.6f,%.6f,%.6f,%.8f,%.8f\n", t.i[r], t.e[r], t.g[r],
                    0.05 + 1e-3 * static_cast<double>(r % 97), 0.001);
      out << line;
    }
  }
  for (auto _ : state) {
    ObservationRead r = readObservations(path);
    if (!r.table) state.SkipWithError(r.error.c_str());
    benchmark::DoNotOptimize(r);
  }
  std::remove(path.c_str());
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadObservations)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FitHapke(benchmark::State& state) {
  ObservationTable t = spreadGeometries(static_cast<size_t>(state.range(0)));
  PlanetaryParameters truth;
  truth.hapke = kHapkePresets[0].p;  // Ceres
  measure(t, kHapke, truth, 0.01);
  const std::vector<FitParameter> free = fitParametersOf(kHapke);
  PlanetaryParameters start;  // the fields' defaults
  for (auto _ : state) {
    const FitOutcome f = fitObservations(t, kHapke, start, free);
    if (!f.report) state.SkipWithError(f.error.c_str());
    benchmark::DoNotOptimize(f);
  }
}
BENCHMARK(BM_FitHapke)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace korvalen
