#include "shading/point_batch.h"

#include "shading/sample_kernel.h"
#include "shading/shading.h"

namespace korvalen {

SampleConstants sampleConstantsOf(const ViewAndRotation& view, const LightAndModel& lm, double halfLength) {
  SampleConstants k;
  k.unitsPerPixel = view.unitsPerPixel;
  k.halfLength = halfLength;
  k.rotated = !(view.rotAngleOX == 0 && view.rotAngleOY == 0 && view.rotAngleOZ == 0);
  k.cosRotOX = view.cosRotOX;
  k.sinRotOX = view.sinRotOX;
  k.cosRotOY = view.cosRotOY;
  k.sinRotOY = view.sinRotOY;
  k.cosRotOZ = view.cosRotOZ;
  k.sinRotOZ = view.sinRotOZ;
  k.lightX = lm.lightX;
  k.lightY = lm.lightY;
  k.lightZ = lm.lightZ;
  k.lightNormSq = lm.lightX * lm.lightX + lm.lightY * lm.lightY + lm.lightZ * lm.lightZ;
  k.visibleHalfOnly = view.visibleHalfOnly == kTrue;
  return k;
}

namespace {
void evaluateSamplesScalar(const SampleConstants& k, const double* dx, const double* dy, int count,
                           SampleResults& out) {
  evaluateSampleLanes<double>(k, dx, dy, count, out);
}
}  // namespace

BatchEvaluation fastestBatchEvaluation() {
  switch (fastestShadingPath()) {
#if defined(__x86_64__)
    case ShadingPath::Sse2: return {evaluateSamplesSse2, 2};
    case ShadingPath::Avx2: return {evaluateSamplesAvx2, 4};
    case ShadingPath::Avx512: return {evaluateSamplesAvx512, 8};
#endif
    default: return {evaluateSamplesScalar, 1};
  }
}

}  // namespace korvalen
