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

#include "photometry/model_state.h"
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

// Whether any lane of a mask is set.
inline bool anyLaneSet(bool m) { return m; }
template <class M>
inline bool anyLaneSet(M m) {
  constexpr int n = sizeof(M) / sizeof(m[0]);
  bool any = false;
  for (int i = 0; i < n; ++i) any = any || m[i] != 0;
  return any;
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
// models, as the colour stage of the checked code gives them: phi limited to
// 1, the grey level, the first band holding phi, the zone colours. phi, the
// grey level and the colour sums are exact in double lanes (a 32-bit float
// and small integers), so each comparison and rounding is the scalar one.
// Returns true when no sample needs the checked code: none is marked, and no
// glossy phi and no band bound would raise an error.
template <class V, int32_t Model>
inline bool colourSampleLanes(const FinishConstants& c, int plane, int count,
                              SampleResults& out) {
  const bool direct = plane == 0;
  constexpr int n = sizeof(V) / sizeof(double);
  const V zero = splat(0.0, V{});
  const V one = splat(1.0, V{});

  if (Model == kGlossy) {
    // t = 2 cos i cos e - cos g first, then t^n, a library call per hit with
    // t >= 0 (as on the checked path; a t below 0 needs no power).
    const V two = splat(2.0, V{});
    const V cosG = splat(static_cast<double>(c.cosG), V{});
    // (-1 for a lane that is no hit: it needs no power either.)
    const V hitStatus = splat(static_cast<double>(kSampleHit), V{});
    for (int i = 0; i < count; i += n) {
      const V cosI = loadSingleLanes(out.cosI + i, V{});
      const V cosE = loadSingleLanes(out.cosE + i, V{});
      const V t = roundToSingle(two * cosI * cosE - cosG);
      storeLanes(out.t + i, loadStatusLanes(out.status + i, V{}) == hitStatus ? t : -one);
    }
    const double sharpness = c.peakSharpness;
    for (int i = 0; i < count; ++i) {
      const double t = out.t[i];
      if (t >= 0) out.power[i] = std::pow(t, sharpness);
    }
  }

  // The colour parts of the bands, the zones and the background.
  const IsolineBands& bands = c.bands;
  const bool bandsShown = bands.isolinesHidden == kFalse;
  const int lastBand = bandsShown ? bands.firstOverflow - 1 : 0;
  const bool bandFault = bandsShown && bands.firstOverflow <= 7;
  const V shadowLow = splat(static_cast<double>(bands.shadowLow), V{});
  const V zoneHigh = splat(static_cast<double>(bands.zoneHigh), V{});
  const V missRed = splat(direct ? 0.0 : c.backRed, V{});
  const V missGreen = splat(direct ? 0.0 : c.backGreen, V{});
  const V missBlue = splat(direct ? 0.0 : c.backBlue, V{});
  const V limit = splat(direct ? 255.0 : 1e9, V{});
  const V hitStatus = splat(static_cast<double>(kSampleHit), V{});
  const V checkStatus = splat(static_cast<double>(kSampleNeedsCheck), V{});

  // The bounds of bands 1..7 in lanes; a band not compared holds nothing
  // (from +inf to -inf), so that every band is tested the same way.
  V bandLow[8], bandHigh[8];
  for (int k = 1; k <= 7; ++k) {
    const bool compared = k <= lastBand;
    bandLow[k] = splat(compared ? static_cast<double>(bands.low[k]) : HUGE_VAL, V{});
    bandHigh[k] = splat(compared ? static_cast<double>(bands.high[k]) : -HUGE_VAL, V{});
  }
  for (int i = 0; i < count; i += n) {
    const V status = loadStatusLanes(out.status + i, V{});
    const auto hit = status == hitStatus;
    auto slow = status == checkStatus;
    const V cosI = loadSingleLanes(out.cosI + i, V{});
    V phi = zero;
    if (Model == kMatte) {
      phi = cosI;
    } else if (Model == kRocky) {
      phi = roundToSingle(cosI * loadSingleLanes(out.cosE + i, V{}));
    } else if (Model == kGlossy) {
      const V t = loadLanes(out.t + i, V{});
      const V diffuse = roundToSingle(splat(static_cast<double>(c.diffuseShare), V{}) * cosI);
      const V specular = splat(static_cast<double>(c.specularGain), V{}) *
                         loadLanes(out.power + i, V{});
      phi = t >= zero ? roundToSingle(diffuse + specular) : diffuse;
      // An infinite power gives an infinite or undefined phi.
      slow = slow || (hit && !(isFiniteLanes(t) && isFiniteLanes(diffuse) && isFiniteLanes(phi)));
    }
    // (No lane but a hit is drawn; the others get a harmless phi.)
    phi = hit ? (phi > one ? one : phi) : zero;

    // phi = 1 gives 256; the limit to 255 comes at drawing or averaging.
    const auto lit = phi >= zero;
    const V grey = ((phi * splat(255.0, V{}) + splat(0.5, V{})) + splat(4503599627370496.0, V{})) -
                   splat(4503599627370496.0, V{});
    // The first band that holds phi; with smoothing its tint adds to the sums.
    auto inBand = zero != zero;  // no lane yet
    V bandRed = zero, bandGreen = zero, bandBlue = zero;
    for (int k = 7; k >= 1; --k) {
      const auto holds = bandLow[k] <= phi && phi <= bandHigh[k];
      bandRed = holds ? splat(kBandTint[k].red, V{}) : bandRed;
      bandGreen = holds ? splat(kBandTint[k].green, V{}) : bandGreen;
      bandBlue = holds ? splat(kBandTint[k].blue, V{}) : bandBlue;
      inBand = inBand || holds;
    }
    // Past the last band compared comes a bound beyond the float range.
    if (bandFault) slow = slow || (hit && lit && !inBand);

    // Direct mode and sub-sample 1 (the first plane) replace the colour, the
    // other sub-samples add to it.
    const bool replaces = direct || i < plane;
    const auto atZero = lit && !inBand && phi <= zoneHigh;
    const auto belowZero = !lit && phi >= shadowLow && phi <= zoneHigh;
    const V greyOrNone = replaces ? zero : grey;
    V red = lit ? grey + bandRed : zero;
    V green = lit ? grey + bandGreen : zero;
    V blue = lit ? grey + bandBlue : zero;
    red = atZero ? greyOrNone + splat(kZoneAtZero.red, V{}) : red;
    green = atZero ? greyOrNone + splat(kZoneAtZero.green, V{}) : green;
    blue = atZero ? greyOrNone + splat(kZoneAtZero.blue, V{}) : blue;
    red = belowZero ? splat(kZoneBelowZero.red, V{}) : red;
    green = belowZero ? splat(kZoneBelowZero.green, V{}) : green;
    blue = belowZero ? splat(kZoneBelowZero.blue, V{}) : blue;
    red = red > limit ? limit : red;
    green = green > limit ? limit : green;
    blue = blue > limit ? limit : blue;
    if (direct) {
      // Each part in 0..255 here: the pixel as 0xRRGGBB.
      storeInt32Lanes(out.rgb + i,
                      (red * splat(65536.0, V{}) + green * splat(256.0, V{})) + blue);
    } else {
      storeLanes(out.red + i, hit ? red : missRed);
      storeLanes(out.green + i, hit ? green : missGreen);
      storeLanes(out.blue + i, hit ? blue : missBlue);
    }
    // The batch is then finished sample by sample from its evaluation.
    if (anyLaneSet(slow)) return false;
  }
  if (direct) return true;

  // The pixels: the sums of the four planes, drawn unless all four samples
  // missed (their sums four times the background), as the truncated quarter
  // limited to 0..255, found as q + 0.625 rounded to the nearest integer, less
  // 1 (exact for quarters of integers; docs/performance.md). A pixel not
  // drawn is -1.
  const V back4Red = splat(static_cast<double>(c.backRedTimes4), V{});
  const V back4Green = splat(static_cast<double>(c.backGreenTimes4), V{});
  const V back4Blue = splat(static_cast<double>(c.backBlueTimes4), V{});
  const V top = splat(255.0, V{});
  const V two52 = splat(4503599627370496.0, V{});
  auto quarter = [&](V sum) {
    V q = sum * splat(0.25, V{});
    q = q < zero ? zero : (q > top ? top : q);
    return (((q + splat(0.625, V{})) + two52) - two52) - one;
  };
  for (int p = 0; p < plane; p += n) {
    auto sumOf = [&](const double* part) {
      return ((loadLanes(part + p, V{}) + loadLanes(part + plane + p, V{})) +
              loadLanes(part + 2 * plane + p, V{})) +
             loadLanes(part + 3 * plane + p, V{});
    };
    const V sumRed = sumOf(out.red), sumGreen = sumOf(out.green), sumBlue = sumOf(out.blue);
    const auto background = sumRed == back4Red && sumGreen == back4Green && sumBlue == back4Blue;
    const V packed = (quarter(sumRed) * splat(65536.0, V{}) + quarter(sumGreen) * splat(256.0, V{})) +
                     quarter(sumBlue);
    storeInt32Lanes(out.rgb + p, background ? splat(-1.0, V{}) : packed);
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
