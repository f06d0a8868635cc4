// The batch point evaluation and colours compiled for SSE2, which every x86-64 has.
#include "shading/sample_kernel.h"

namespace korvalen {

void evaluateSamplesSse2(const SampleConstants& k, const double* dx, const double* dy, int count,
                         SampleResults& out) {
  evaluateSampleLanes<__m128d>(k, dx, dy, count, out);
}

bool shadeSamplesSse2(const SampleConstants& k, const FinishConstants& c, int plane,
                      const double* dx, const double* dy, int count, SampleResults& out) {
  return shadeSampleLanes<__m128d>(k, c, plane, dx, dy, count, out);
}

}  // namespace korvalen
