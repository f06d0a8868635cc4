#pragma once
// The point evaluation of the shading for many samples at once: the sight
// line, its rotation, the unit-sphere intersection, the choice of the visible
// point and the two cosines, with the same operations in the same order and
// the same 32-bit roundings as the checked evaluation in photometry/geometry.cpp.
//
// The code is written once over a lane type V: a double (one sample at a
// time) or a vector of doubles (SSE2, AVX2, AVX-512; several samples of one
// column). Each SIMD width is compiled in its own file with its own
// instruction-set flags, and everything here lives in an unnamed namespace so
// that no inline function compiled for a wide unit can be shared with code
// that runs on a narrower one. No fused multiply-add is used or allowed: the
// files are built with -ffp-contract=off and -mno-fma.
//
// Instead of raising an error at the step where the checked code would, a
// lane whose evaluation would raise one is marked kSampleNeedsCheck; the
// caller evaluates that sample again with the checked code, which raises the
// error at exactly that sample. The marking is conservative: a marked sample
// that raises nothing gives the same result through the checked code.
#include <cstdint>

#include "shading/sample_batch.h"

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace korvalen {
namespace {

// ---------------------------------------------------------------------------
// Lane operations. Arithmetic and comparisons are the language's own operators
// (GCC's vector extensions give them to the vector types lane by lane).

inline double splat(double v, double) { return v; }
inline double loadLanes(const double* p, double) { return *p; }
inline float toSingleLanes(double v) { return static_cast<float>(v); }
inline double toDoubleLanes(float v) { return v; }
inline void storeLanes(float* p, float v) { *p = v; }
inline void storeLanes(double* p, double v) { *p = v; }
inline double sqrtLanes(double v) { return __builtin_sqrt(v); }
inline void storeStatus(uint8_t* p, bool needsCheck, bool hit) {
  *p = needsCheck ? kSampleNeedsCheck : (hit ? kSampleHit : kSampleMiss);
}
inline bool anyLane(bool m) { return m; }
inline bool allLanes(bool m) { return m; }

#if defined(__SSE2__)
using F2 = float __attribute__((vector_size(8)));
inline __m128d splat(double v, __m128d) { return _mm_set1_pd(v); }
inline __m128d loadLanes(const double* p, __m128d) { return _mm_loadu_pd(p); }
inline F2 toSingleLanes(__m128d v) { return __builtin_convertvector(v, F2); }
inline __m128d toDoubleLanes(F2 v) { return __builtin_convertvector(v, __m128d); }
inline void storeLanes(float* p, F2 v) { __builtin_memcpy(p, &v, sizeof v); }
inline void storeLanes(double* p, __m128d v) { _mm_storeu_pd(p, v); }
inline __m128d sqrtLanes(__m128d v) { return _mm_sqrt_pd(v); }
#endif

#if defined(__AVX__)
using F4 = float __attribute__((vector_size(16)));
inline __m256d splat(double v, __m256d) { return _mm256_set1_pd(v); }
inline __m256d loadLanes(const double* p, __m256d) { return _mm256_loadu_pd(p); }
inline F4 toSingleLanes(__m256d v) { return __builtin_convertvector(v, F4); }
inline __m256d toDoubleLanes(F4 v) { return __builtin_convertvector(v, __m256d); }
inline void storeLanes(float* p, F4 v) { __builtin_memcpy(p, &v, sizeof v); }
inline void storeLanes(double* p, __m256d v) { _mm256_storeu_pd(p, v); }
inline __m256d sqrtLanes(__m256d v) { return _mm256_sqrt_pd(v); }
#endif

#if defined(__AVX512F__)
using F8 = float __attribute__((vector_size(32)));
inline __m512d splat(double v, __m512d) { return _mm512_set1_pd(v); }
inline __m512d loadLanes(const double* p, __m512d) { return _mm512_loadu_pd(p); }
inline F8 toSingleLanes(__m512d v) { return __builtin_convertvector(v, F8); }
inline __m512d toDoubleLanes(F8 v) { return __builtin_convertvector(v, __m512d); }
inline void storeLanes(float* p, F8 v) { __builtin_memcpy(p, &v, sizeof v); }
inline void storeLanes(double* p, __m512d v) { _mm512_storeu_pd(p, v); }
// (masked with every lane set: the unmasked form trips a false uninitialised warning of GCC 12)
inline __m512d sqrtLanes(__m512d v) { return _mm512_mask_sqrt_pd(v, 0xFF, v); }
#endif

// Lane masks of the vector types: the integer vectors their comparisons give.
template <class M>
inline void storeStatus(uint8_t* p, M needsCheck, M hit) {
  constexpr int n = sizeof(M) / sizeof(needsCheck[0]);
  for (int i = 0; i < n; ++i)
    p[i] = needsCheck[i] ? kSampleNeedsCheck : (hit[i] ? kSampleHit : kSampleMiss);
}

// A finite value: x - x is 0 for it, NaN for an infinity or a NaN.
template <class V>
inline auto isFiniteLanes(V x) {
  return (x - x) == 0;
}

// The value rounded to the 32-bit float, back in double lanes.
template <class V>
inline V roundToSingle(V x) {
  return toDoubleLanes(toSingleLanes(x));
}

// ---------------------------------------------------------------------------
// The evaluation. count is a multiple of the lane count; the caller pads the
// inputs with copies of a real sample and ignores what the padding gives.
template <class V>
inline void evaluateSampleLanes(const SampleConstants& k, const double* dxs, const double* dys,
                                int count, SampleResults& out) {
  constexpr int n = sizeof(V) / sizeof(double);
  const V u = splat(k.unitsPerPixel, V{});
  const V halfLength = splat(k.halfLength, V{});
  const V zero = splat(0.0, V{});
  const V one = splat(1.0, V{});
  const V two = splat(2.0, V{});
  const V four = splat(4.0, V{});
  const V cX = splat(k.cosRotOX, V{}), sX = splat(k.sinRotOX, V{});
  const V cY = splat(k.cosRotOY, V{}), sY = splat(k.sinRotOY, V{});
  const V minusSY = splat(-k.sinRotOY, V{});
  const V cZ = splat(k.cosRotOZ, V{}), sZ = splat(k.sinRotOZ, V{});
  const V lX = splat(k.lightX, V{}), lY = splat(k.lightY, V{}), lZ = splat(k.lightZ, V{});
  const V ll = splat(k.lightNormSq, V{});

  for (int i = 0; i < count; i += n) {
    const V dx = loadLanes(dxs + i, V{});
    const V dy = loadLanes(dys + i, V{});

    // The sight line: P1 at depth +halfLength, P2 at -halfLength.
    V p1x = dx * u, p1y = halfLength, p1z = dy * u;
    V p2x = dx * u, p2y = -halfLength, p2z = dy * u;
    if (k.rotated) {
      // About OX, then OY, then OZ.
      auto rotate = [&](V& x, V& y, V& z) {
        const V y1 = cX * y - sX * z;
        const V z1 = sX * y + cX * z;
        const V x2 = cY * x + sY * z1;
        const V z2 = minusSY * x + cY * z1;
        const V x3 = cZ * x2 - sZ * y1;
        const V y3 = sZ * x2 + cZ * y1;
        x = x3;
        y = y3;
        z = z2;
      };
      rotate(p1x, p1y, p1z);
      rotate(p2x, p2y, p2z);
    }

    // The unit-sphere intersection, the line parameterised by its y.
    const V rayDX = p2x - p1x, rayDY = p2y - p1y, rayDZ = p2z - p1z;
    const auto reached = rayDY != zero;  // rayDY exactly 0 is a miss
    const V lineX0 = p1x - rayDX * p1y / rayDY;
    const V lineZ0 = p1z - rayDZ * p1y / rayDY;
    const V a = (rayDZ * rayDZ + rayDX * rayDX) / (rayDY * rayDY) + one;
    const V b = two * (rayDZ * lineZ0 + rayDX * lineX0) / rayDY;
    const V c = lineX0 * lineX0 + lineZ0 * lineZ0 - one;
    const V discr = roundToSingle(b * b - four * a * c);
    const auto discrBad = !isFiniteLanes(discr);
    const auto meets = discr >= zero;
    // A negative discriminant is a miss; its root is never read.
    const V sqrtDiscr = sqrtLanes(meets ? discr : zero);
    const V yA = ((-b + sqrtDiscr) / a) / two;
    const V yB = ((-b - sqrtDiscr) / a) / two;
    const V tA = (yA - p1y) / rayDY;
    const V tB = (yB - p1y) / rayDY;
    const V ax = tA * rayDX + p1x, az = tA * rayDZ + p1z;
    const V bx = tB * rayDX + p1x, bz = tB * rayDZ + p1z;
    const auto pointsBad = !isFiniteLanes(ax + yA + az + bx + yB + bz);

    // The visible point: A, or under the visible half only the first of A, B
    // with z >= 0.
    auto takeA = meets;
    auto chosen = meets;
    if (k.visibleHalfOnly) {
      takeA = az >= zero;
      chosen = takeA || bz >= zero;
    }
    const V hx = takeA ? ax : bx;
    const V hy = takeA ? yA : yB;
    const V hz = takeA ? az : bz;

    // The cosines of incidence and reflection.
    const V lDotH = lX * hx + lY * hy + lZ * hz;
    const V hh = hx * hx + hy * hy + hz * hz;
    const V norm = sqrtLanes(ll * hh);
    const auto cosI = toSingleLanes(lDotH / norm);
    const auto cosE = toSingleLanes(hz);
    const auto cosinesBad =
        norm == zero || !isFiniteLanes(toDoubleLanes(cosI)) || !isFiniteLanes(toDoubleLanes(cosE));

    const auto needsCheck =
        reached && (discrBad || (meets && (pointsBad || (chosen && cosinesBad))));
    const auto hit = reached && meets && chosen;
    storeStatus(out.status + i, needsCheck, hit);
    storeLanes(out.cosI + i, cosI);
    storeLanes(out.cosE + i, cosE);
    storeLanes(out.hz + i, hz);
  }
}

}  // namespace
}  // namespace korvalen
