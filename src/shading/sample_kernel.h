#pragma once
// The point evaluation of the shading for many samples at once: the sight
// line, its rotation, the unit-sphere intersection, the choice of the visible
// point and the two cosines, with the same operations in the same order and
// the same 32-bit roundings as the checked evaluation in photometry/geometry.cpp;
// and the colours of the evaluated samples as the colour stage of
// shading/shading.cpp finds them.
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
#include <cmath>
#include <cstdint>

#include "photometry/geometry.h"
#include "photometry/model_state.h"
#include "photometry/reflectance.h"
#include "shading/sample_batch.h"
#include "shading/sample_colour.h"

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
inline double loadSingleLanes(const float* p, double) { return *p; }
inline double loadStatusLanes(const uint8_t* p, double) { return *p; }
inline void storeInt32Lanes(int32_t* p, double v) { *p = static_cast<int32_t>(v); }

#if defined(__SSE2__)
using F2 = float __attribute__((vector_size(8)));
inline __m128d splat(double v, __m128d) { return _mm_set1_pd(v); }
inline __m128d loadLanes(const double* p, __m128d) { return _mm_loadu_pd(p); }
inline F2 toSingleLanes(__m128d v) { return __builtin_convertvector(v, F2); }
inline __m128d toDoubleLanes(F2 v) { return __builtin_convertvector(v, __m128d); }
inline void storeLanes(float* p, F2 v) { __builtin_memcpy(p, &v, sizeof v); }
inline void storeLanes(double* p, __m128d v) { _mm_storeu_pd(p, v); }
inline __m128d sqrtLanes(__m128d v) { return _mm_sqrt_pd(v); }
using I2 = int32_t __attribute__((vector_size(8)));
using B2 = uint8_t __attribute__((vector_size(2)));
#endif

#if defined(__AVX__)
using F4 = float __attribute__((vector_size(16)));
inline __m256d splat(double v, __m256d) { return _mm256_set1_pd(v); }
inline __m256d loadLanes(const double* p, __m256d) { return _mm256_loadu_pd(p); }
// (The intrinsics, each one instruction: GCC 12 splits the generic
// conversions of the wider vectors into halves.)
inline F4 toSingleLanes(__m256d v) { return reinterpret_cast<F4>(_mm256_cvtpd_ps(v)); }
inline __m256d toDoubleLanes(F4 v) { return _mm256_cvtps_pd(reinterpret_cast<__m128>(v)); }
inline void storeLanes(float* p, F4 v) { __builtin_memcpy(p, &v, sizeof v); }
inline void storeLanes(double* p, __m256d v) { _mm256_storeu_pd(p, v); }
inline __m256d sqrtLanes(__m256d v) { return _mm256_sqrt_pd(v); }
using I4 = int32_t __attribute__((vector_size(16)));
using B4 = uint8_t __attribute__((vector_size(4)));
#endif

#if defined(__AVX512F__)
using F8 = float __attribute__((vector_size(32)));
inline __m512d splat(double v, __m512d) { return _mm512_set1_pd(v); }
inline __m512d loadLanes(const double* p, __m512d) { return _mm512_loadu_pd(p); }
// (zero-masked with every lane kept, for the reason given at sqrtLanes below)
inline F8 toSingleLanes(__m512d v) { return reinterpret_cast<F8>(_mm512_maskz_cvtpd_ps(0xFF, v)); }
inline __m512d toDoubleLanes(F8 v) {
  return _mm512_maskz_cvtps_pd(0xFF, reinterpret_cast<__m256>(v));
}
inline void storeLanes(float* p, F8 v) { __builtin_memcpy(p, &v, sizeof v); }
inline void storeLanes(double* p, __m512d v) { _mm512_storeu_pd(p, v); }
// (masked with every lane set: the unmasked form trips a false uninitialised warning of GCC 12)
inline __m512d sqrtLanes(__m512d v) { return _mm512_mask_sqrt_pd(v, 0xFF, v); }
using I8 = int32_t __attribute__((vector_size(32)));
using B8 = uint8_t __attribute__((vector_size(8)));
#endif

// Loads and stores of the vector types by their lane count: 32-bit floats
// widened to double lanes, status bytes as doubles, and exact small integers
// held in double lanes stored as 32-bit integers.
template <int N> struct LaneTypes;
#if defined(__SSE2__)
template <> struct LaneTypes<2> { using F = F2; using I = I2; using B = B2; };
#endif
#if defined(__AVX__)
template <> struct LaneTypes<4> { using F = F4; using I = I4; using B = B4; };
#endif
#if defined(__AVX512F__)
template <> struct LaneTypes<8> { using F = F8; using I = I8; using B = B8; };
#endif

template <class V, int N = sizeof(V) / sizeof(double)>
inline V loadSingleLanes(const float* p, V) {
  typename LaneTypes<N>::F f;
  __builtin_memcpy(&f, p, sizeof f);
  return toDoubleLanes(f);
}
template <class V, int N = sizeof(V) / sizeof(double)>
inline V loadStatusLanes(const uint8_t* p, V) {
  typename LaneTypes<N>::B b;
  __builtin_memcpy(&b, p, sizeof b);
  return __builtin_convertvector(b, V);
}
template <class V, int N = sizeof(V) / sizeof(double)>
inline void storeInt32Lanes(int32_t* p, V v) {
  const typename LaneTypes<N>::I i = __builtin_convertvector(v, typename LaneTypes<N>::I);
  __builtin_memcpy(p, &i, sizeof i);
}

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
    // Where both points share their x and p1x is no zero, lineX0 is p1x
    // itself (why: docs/performance.md); a batch where every lane is so skips
    // the division.
    V lineX0 = p1x;
    if (anyLaneSet(rayDX != zero || p1x == zero)) lineX0 = p1x - rayDX * p1y / rayDY;
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
    const V tA = (yA - p1y) / rayDY;
    const V ax = tA * rayDX + p1x, az = tA * rayDZ + p1z;

    // The second point B (two divisions) is found only when some lane takes
    // it or could sum its six coordinates to no finite value; bounded inputs,
    // tested on sums of squares, rule the latter out (docs/performance.md).
    const V inputsSq = ((b * b + sqrtDiscr * sqrtDiscr) + (p1y * p1y + rayDX * rayDX)) +
                       ((rayDZ * rayDZ + p1x * p1x) + p1z * p1z);
    const V pointASq = ax * ax + yA * yA + az * az;
    const auto bounded = a >= one && inputsSq <= splat(1e200, V{}) &&
                         pointASq <= splat(1e300, V{}) && rayDY * rayDY >= splat(1e-200, V{});
    auto needsB = meets && !bounded;
    if (k.visibleHalfOnly) needsB = needsB || (meets && !(az >= zero));

    auto takeA = meets;
    auto chosen = meets;
    auto pointsBad = zero != zero;  // no lane
    V hx = ax, hy = yA, hz = az;
    if (anyLaneSet(needsB)) {
      const V yB = ((-b - sqrtDiscr) / a) / two;
      const V tB = (yB - p1y) / rayDY;
      const V bx = tB * rayDX + p1x, bz = tB * rayDZ + p1z;
      pointsBad = !isFiniteLanes(ax + yA + az + bx + yB + bz);
      // The visible point: A, or under the visible half only the first of A,
      // B with z >= 0.
      if (k.visibleHalfOnly) {
        takeA = az >= zero;
        chosen = takeA || bz >= zero;
      }
      hx = takeA ? ax : bx;
      hy = takeA ? yA : yB;
      hz = takeA ? az : bz;
    }

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

// ---------------------------------------------------------------------------
// The colours of a batch of evaluated samples for the matte, glossy and rocky
// models, by the program's one source of phi (photometry/reflectance.h) and of
// the colour stage (shading/sample_colour.h) in lanes.

// The fault policy of the lanes: each lane whose value would raise an error
// on the checked path is marked.
template <class V>
struct LaneFault {
  decltype(V{} != V{}) faulted = V{} != V{};  // (no lane)
  V single(V v) {
    const V f = roundToSingle(v);
    faulted = faulted || !isFiniteLanes(f);
    return f;
  }
  V finiteValue(V v) {
    faulted = faulted || !isFiniteLanes(v);
    return v;
  }
  void raiseIf(decltype(V{} != V{}) fault, ErrorKind) { faulted = faulted || fault; }
};

// The bands of the run in lanes.
template <class V>
struct LaneBands {
  explicit LaneBands(const IsolineBands& b)
      : boundOverflows(b.boundOverflows),
        opaqueBands(b.opaqueBands),
        shadowLow(splat(b.shadowLow, V{})),
        zoneHigh(splat(b.zoneHigh, V{})) {
    for (int k = 0; k <= 7; ++k) {
      low[k] = splat(b.low[k], V{});
      high[k] = splat(b.high[k], V{});
      tint[k] = b.tint[k];
    }
  }
  bool boundOverflows, opaqueBands;
  V shadowLow, zoneHigh;
  V low[8], high[8];
  Tint tint[8];
};

// Returns true when no sample needs the checked code: none is marked, and no
// phi and no colour would raise an error.
template <class V, int32_t Model>
inline bool colourSampleLanes(const FinishConstants& c, int plane, int count,
                              SampleResults& out) {
  const bool direct = plane == 0;
  constexpr int n = sizeof(V) / sizeof(double);
  const V hitStatus = splat(static_cast<double>(kSampleHit), V{});

  if (Model == kGlossy) {
    // t and t^n first, t^n a library call per hit with t >= 0, 0 for every
    // other sample; phi then reads them. (t is a float for every hit, whose
    // cosines are, so it cannot fault.)
    for (int i = 0; i < count; i += n) {
      LaneFault<V> none;
      const V t = glossyBase(c, loadSingleLanes(out.cosI + i, V{}),
                             loadSingleLanes(out.cosE + i, V{}), none);
      storeLanes(out.t + i, loadStatusLanes(out.status + i, V{}) == hitStatus ? t : -1.0);
    }
    LaneFault<double> powerFault;
    for (int i = 0; i < count; ++i) {
      const double t = out.t[i];
      out.power[i] = t >= 0 ? glossyPower(c, t, powerFault) : 0.0;
    }
    if (powerFault.faulted) return false;
  }

  const LaneBands<V> bands(c.bands);
  const Parts<V> miss = direct ? Parts<V>{V{}, V{}, V{}} : partsOf<V>(c.back);
  const V checkStatus = splat(static_cast<double>(kSampleNeedsCheck), V{});
  for (int i = 0; i < count; i += n) {
    const V status = loadStatusLanes(out.status + i, V{});
    const auto hit = status == hitStatus;
    LaneFault<V> fault;
    const V cosI = loadSingleLanes(out.cosI + i, V{});
    const V cosE = Model == kMatte ? cosI : loadSingleLanes(out.cosE + i, V{});
    struct {
      const double *tAt, *powerAt;
      V base(V, V) const { return loadLanes(tAt, V{}); }
      V power(V) const { return loadLanes(powerAt, V{}); }
    } const peak{out.t + i, out.power + i};
    V phi = phiOfModel<Model, V>(c, cosI, cosE, V{}, fault, peak);
    // (No lane but a hit is drawn; the others get a harmless phi.)
    phi = hit ? clampPhi(phi, kShadingRules) : 1.0;
    // Direct mode and sub-sample 1 (the first plane) replace the colour, the
    // other sub-samples add to it.
    const Parts<V> colour = colourOfHit(bands, phi, direct || i < plane, fault);
    if (direct) {
      storeInt32Lanes(out.rgb + i, packedRgb(limitTo255(colour)));
    } else {
      storeLanes(out.red + i, hit ? colour.red : miss.red);
      storeLanes(out.green + i, hit ? colour.green : miss.green);
      storeLanes(out.blue + i, hit ? colour.blue : miss.blue);
    }
    // The batch is then finished sample by sample from its evaluation.
    if (anyLaneSet(status == checkStatus || (hit && fault.faulted))) return false;
  }
  if (direct) return true;

  // The pixels from the sums of the four planes; -1 where not drawn.
  const Parts<V> backTimes4{splat(c.backTimes4.red, V{}), splat(c.backTimes4.green, V{}),
                            splat(c.backTimes4.blue, V{})};
  for (int p = 0; p < plane; p += n) {
    auto sumOf = [&](const double* part) {
      return ((loadLanes(part + p, V{}) + loadLanes(part + plane + p, V{})) +
              loadLanes(part + 2 * plane + p, V{})) +
             loadLanes(part + 3 * plane + p, V{});
    };
    const Parts<V> sums{sumOf(out.red), sumOf(out.green), sumOf(out.blue)};
    storeInt32Lanes(out.rgb + p, smoothedPixel(sums, backTimes4));
  }
  return true;
}

// The evaluation of a batch, then its colours where the model allows.
template <class V>
inline bool shadeSampleLanes(const SampleConstants& k, const FinishConstants& c, int plane,
                             const double* dx, const double* dy, int count, SampleResults& out) {
  evaluateSampleLanes<V>(k, dx, dy, count, out);
  switch (c.surfaceModel) {
    case kMatte: return colourSampleLanes<V, kMatte>(c, plane, count, out);
    case kGlossy: return colourSampleLanes<V, kGlossy>(c, plane, count, out);
    case kRocky: return colourSampleLanes<V, kRocky>(c, plane, count, out);
    default: return false;
  }
}

}  // namespace
}  // namespace korvalen
