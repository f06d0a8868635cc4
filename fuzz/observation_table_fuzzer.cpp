// libFuzzer entry: a table of observations read from arbitrary bytes. Either
// every row is within its rules or the file is refused with a message; never
// both, never neither. A broken contract aborts.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "observations/observation_table.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace korvalen;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const ObservationRead r = parseObservations(text, "f.csv");
  check(r.table.has_value() != !r.error.empty());
  if (!r.table) return 0;
  const ObservationTable& t = *r.table;
  check(t.size() > 0 && t.e.size() == t.size() && t.g.size() == t.size() && t.line.size() == t.size());
  check(!t.hasValue() || t.value.size() == t.size());
  check(!t.hasSigma() || t.sigma.size() == t.size());
  for (size_t k = 0; k < t.size(); ++k) {
    check(t.i[k] >= 0 && t.i[k] < 90 && t.e[k] >= 0 && t.e[k] <= 90 && t.g[k] >= 0 && t.g[k] <= 180);
    check(!t.hasValue() || std::isfinite(t.value[k]));
    check(!t.hasSigma() || (t.sigma[k] > 0 && std::isfinite(t.sigma[k])));
    check(k == 0 || t.line[k] > t.line[k - 1]);
  }
  return 0;
}
