#pragma once
// The interface between the shading scan and its point evaluation over a
// batch of samples: what stays fixed in a run, what each sample gives, and
// the evaluations for each SIMD width the processor may offer.
#include <cstdint>

namespace korvalen {

// What a sample's evaluation came to.
inline constexpr uint8_t kSampleMiss = 0;
inline constexpr uint8_t kSampleHit = 1;
// The checked evaluation would raise a run-time error here (or might): the
// scan evaluates the sample again with it.
inline constexpr uint8_t kSampleNeedsCheck = 2;

// The values of a run that the point evaluation reads.
struct SampleConstants {
  double unitsPerPixel = 0, halfLength = 0;
  bool rotated = false;  // false when all three rotation angles are exactly 0
  double cosRotOX = 0, sinRotOX = 0, cosRotOY = 0, sinRotOY = 0, cosRotOZ = 0, sinRotOZ = 0;
  double lightX = 0, lightY = 0, lightZ = 0;
  double lightNormSq = 0;  // lightX^2 + lightY^2 + lightZ^2, summed in that order
  bool visibleHalfOnly = false;
};

// The most samples one batch holds, and the widest lane count; batches are
// padded to a multiple of the lane count.
inline constexpr int kBatchSamples = 256;
inline constexpr int kMaxLanes = 8;

// Per sample: the status, and for a hit the two cosines as 32-bit floats and
// the z of the chosen point (the angle of reflection is taken from it).
struct SampleResults {
  alignas(64) uint8_t status[kBatchSamples];
  alignas(64) float cosI[kBatchSamples];
  alignas(64) float cosE[kBatchSamples];
  alignas(64) double hz[kBatchSamples];
};

// One evaluation of count samples at the pixel offsets (dx[i], dy[i]); count is
// a multiple of the function's lane count and at most kBatchSamples.
using EvaluateSamplesFn = void (*)(const SampleConstants&, const double* dx, const double* dy,
                                   int count, SampleResults&);

#if defined(__x86_64__)
void evaluateSamplesSse2(const SampleConstants&, const double*, const double*, int,
                         SampleResults&);
void evaluateSamplesAvx2(const SampleConstants&, const double*, const double*, int,
                         SampleResults&);
void evaluateSamplesAvx512(const SampleConstants&, const double*, const double*, int,
                           SampleResults&);
#endif

}  // namespace korvalen
