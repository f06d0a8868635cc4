#pragma once
// The interface between the shading scan and its point evaluation over a
// batch of samples: what stays fixed in a run, what each sample gives, and
// the evaluations for each SIMD width the processor may offer.
#include <cstdint>

#include "photometry/planetary.h"
#include "shading/colour_table.h"

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

// The values of a run that finishing a sample (phi, its colour) reads.
struct FinishConstants {
  int32_t surfaceModel = 0;
  double g = 0;  // sourceInclination, the phase angle
  float cosG = 0, diffuseShare = 0, specularGain = 0, peakSharpness = 0;
  PlanetaryConstants planetaryRun;
  IsolineBands bands;
  Tint back{0, 0, 0};  // what a missed sub-sample adds to its pixel's sums
  Sums backTimes4{0, 0, 0};  // the sums of a pixel whose four sub-samples missed
};

// Per sample: the status, and for a hit the two cosines as 32-bit floats and
// the z of the chosen point (the angle of reflection is taken from it).
// When the batch's colours are found together, also the colours: in direct
// mode the pixel of each hit as 0xRRGGBB (each part limited to 255); with
// smoothing (the batch in four planes, see ShadeSamplesFn) what each sample
// adds to its pixel's sums (the background for a miss), and each pixel as
// 0xRRGGBB or -1 where it is not drawn. t and the power t^n are the glossy
// model's scratch.
struct SampleResults {
  alignas(64) uint8_t status[kBatchSamples];
  alignas(64) float cosI[kBatchSamples];
  alignas(64) float cosE[kBatchSamples];
  alignas(64) double hz[kBatchSamples];
  alignas(64) int32_t rgb[kBatchSamples];
  alignas(64) double red[kBatchSamples];
  alignas(64) double green[kBatchSamples];
  alignas(64) double blue[kBatchSamples];
  alignas(64) double t[kBatchSamples];
  alignas(64) double power[kBatchSamples];
};

// One evaluation of count samples at the pixel offsets (dx[i], dy[i]); count is
// a multiple of the function's lane count and at most kBatchSamples.
using EvaluateSamplesFn = void (*)(const SampleConstants&, const double* dx, const double* dy,
                                   int count, SampleResults&);

// The evaluation of a batch and, for the matte, glossy and rocky models, the
// colours of all its samples. plane 0: direct mode, one sample per pixel.
// Otherwise smoothing with the batch in four planes of plane samples each
// (a multiple of the lane count): sub-sample 1, 2, 4 and 3 of pixel p at p,
// plane + p, 2 plane + p and 3 plane + p. True when every colour was found;
// false when some sample must be finished one by one, in scan order (a marked
// sample, a phi or band bound that raises an error, or another model): then
// only the evaluation's results are to be read.
using ShadeSamplesFn = bool (*)(const SampleConstants&, const FinishConstants&, int plane,
                                const double* dx, const double* dy, int count, SampleResults&);

#if defined(__x86_64__)
bool shadeSamplesSse2(const SampleConstants&, const FinishConstants&, int, const double*,
                      const double*, int, SampleResults&);
bool shadeSamplesAvx2(const SampleConstants&, const FinishConstants&, int, const double*,
                      const double*, int, SampleResults&);
bool shadeSamplesAvx512(const SampleConstants&, const FinishConstants&, int, const double*,
                        const double*, int, SampleResults&);
void evaluateSamplesSse2(const SampleConstants&, const double*, const double*, int,
                         SampleResults&);
void evaluateSamplesAvx2(const SampleConstants&, const double*, const double*, int,
                         SampleResults&);
void evaluateSamplesAvx512(const SampleConstants&, const double*, const double*, int,
                           SampleResults&);
#endif

}  // namespace korvalen
