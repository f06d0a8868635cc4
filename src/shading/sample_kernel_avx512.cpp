// The batch point evaluation and colours compiled for AVX-512; called only when the processor has it.
#include "shading/sample_kernel.h"

namespace korvalen {

void evaluateSamplesAvx512(const SampleConstants& k, const double* dx, const double* dy, int count,
                           SampleResults& out) {
  evaluateSampleLanes<__m512d>(k, dx, dy, count, out);
}

bool shadeSamplesAvx512(const SampleConstants& k, const FinishConstants& c, int plane,
                        const double* dx, const double* dy, int count, SampleResults& out) {
  return shadeSampleLanes<__m512d>(k, c, plane, dx, dy, count, out);
}

}  // namespace korvalen
