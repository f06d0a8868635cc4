// Observations marked on the start-up map, offscreen: 10^5 observations, all
// near the map's g, placed and drawn once the misses are known (a turn of the
// sphere, a new light) and with the misses found anew (a new model).
// Run: QT_QPA_PLATFORM=offscreen korvalen_map_marks_bench
#include <QApplication>
#include <benchmark/benchmark.h>
#include <cmath>
#include <numbers>
#include <random>

#include "main_window/form1.h"
#include "photometry/geometry.h"

namespace korvalen {
namespace {

// n observations of a matte surface seen at the map's phase angle, at
// normals spread over the lit, visible half, measured 10 % brighter.
std::shared_ptr<const ObservationTable> nearTheMap(const LightAndModel& lm, size_t n) {
  auto t = std::make_shared<ObservationTable>();
  std::mt19937 random(5);
  std::normal_distribution<double> normal;
  constexpr double kDeg = std::numbers::pi / 180;
  const double g = phaseAngleDegrees(lm.sourceInclination);
  while (t->size() < n) {
    double x = normal(random), y = normal(random), z = normal(random);
    const double r = std::sqrt(x * x + y * y + z * z);
    const double mu0 = (lm.lightY * y + lm.lightZ * z) / r, mu = z / r;
    if (mu0 <= 0 || mu <= 0) continue;
    t->i.push_back(std::acos(mu0) / kDeg);
    t->e.push_back(std::acos(mu) / kDeg);
    t->g.push_back(g);
    t->value.push_back(1.1 * mu0);
    t->line.push_back(static_cast<int32_t>(t->size() + 1));
  }
  return t;
}

Form1& startUpMap() {
  static Form1* form = [] {
    auto* f = new Form1;
    f->show();
    while (f->Timer1->enabled()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    f->Command1->click();
    return f;
  }();
  return *form;
}

void BM_MarksRedrawn(benchmark::State& state) {
  Form1& f = startUpMap();
  f.setObservations(nearTheMap(f.st.lm, static_cast<size_t>(state.range(0))));
  for (auto _ : state) f.setMarksShown(true);
  state.counters["marks"] = static_cast<double>(f.observationMarks().marks().size());
}
BENCHMARK(BM_MarksRedrawn)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MarksOfANewModel(benchmark::State& state) {
  Form1& f = startUpMap();
  const auto table = nearTheMap(f.st.lm, static_cast<size_t>(state.range(0)));
  for (auto _ : state) f.setObservations(table);
}
BENCHMARK(BM_MarksOfANewModel)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace korvalen

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
