#include "observations/model_values.h"

#include <thread>

#include "workers/helpers.h"

namespace korvalen {

std::vector<double> modelValues(int32_t model, const PlanetaryParameters& p,
                                const ObservationTable& t) {
  std::vector<double> out(t.size());
  constexpr size_t kChunk = 4096;
  const size_t chunks = (t.size() + kChunk - 1) / kChunk;
  const int helpers = static_cast<int>(std::max(1u, std::thread::hardware_concurrency())) - 1;
  const PreparedModel<double> prepared(model, p);
  Helpers::instance().run(chunks, helpers, [&](size_t c) {
    const size_t end = std::min(t.size(), (c + 1) * kChunk);
    for (size_t r = c * kChunk; r < end; ++r)
      out[r] = prepared.at(geometryOf(t.i[r], t.e[r], t.g[r]));
  });
  return out;
}

std::vector<double> residualsOf(int32_t model, const PlanetaryParameters& p,
                                const ObservationTable& t) {
  if (!t.hasValue() || !canEvaluate(model)) return {};
  std::vector<double> r = modelValues(model, p, t);
  for (size_t k = 0; k < r.size(); ++k) r[k] = t.value[k] - r[k];
  return r;
}

}  // namespace korvalen
