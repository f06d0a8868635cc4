// The batch point evaluation and colours compiled for AVX2; called only when the processor has it.
#include "shading/sample_kernel.h"

namespace korvalen {

void evaluateSamplesAvx2(const SampleConstants& k, const double* dx, const double* dy, int count,
                        SampleResults& out) {
  evaluateSampleLanes<__m256d>(k, dx, dy, count, out);
}

bool shadeSamplesAvx2(const SampleConstants& k, const FinishConstants& c, int plane,
                      const double* dx, const double* dy, int count, SampleResults& out) {
  return shadeSampleLanes<__m256d>(k, c, plane, dx, dy, count, out);
}

}  // namespace korvalen
