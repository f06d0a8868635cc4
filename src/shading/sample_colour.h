#pragma once
// The colour stage of a sample, written once for the checked routine and the
// fast scan: the grey level of phi, the first band holding it, the zone
// colours, and the sub-sample sums of a pixel and the pixel they give.
#include <cstdint>

#include "photometry/runtime_error.h"
#include "raster/colour.h"
#include "shading/colour_table.h"

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace korvalen {

// phi * 255 + 0.5 rounded half to even. phi lies in [0, 1] here, so the sum lies
// in [0.5, 255.5], and adding and taking away 2^52 rounds it to the nearest
// integer, halves to even, exactly as nearbyint does, without the library's
// save and restore of the floating-point environment on every sample.
inline int16_t greyOf(float phi) {
  const double v = static_cast<double>(phi) * 255 + 0.5;
  constexpr double kTwo52 = 4503599627370496.0;
  return static_cast<int16_t>((v + kTwo52) - kTwo52);
}

// The first band compared that holds phi (both bounds inclusive), or 0.
inline int firstBandHolding(const IsolineBands& b, float phi) {
#if defined(__SSE2__)
  // All seven at once; a bit per band that holds phi, the lowest band wins.
  const __m128 p = _mm_set1_ps(phi);
  const __m128 lowA = _mm_loadu_ps(b.low + 1), lowB = _mm_loadu_ps(b.low + 5);
  const __m128 highA = _mm_loadu_ps(b.high + 1), highB = _mm_loadu_ps(b.high + 5);
  const int holdsA = _mm_movemask_ps(_mm_and_ps(_mm_cmple_ps(lowA, p), _mm_cmple_ps(p, highA)));
  const int holdsB = _mm_movemask_ps(_mm_and_ps(_mm_cmple_ps(lowB, p), _mm_cmple_ps(p, highB)));
  const unsigned holds = static_cast<unsigned>(holdsA | (holdsB << 4)) & b.comparedBands;
  return holds == 0 ? 0 : __builtin_ctz(holds) + 1;
#else
  for (int k = 1; k < b.firstOverflow; ++k)
    if (b.low[k] <= phi && phi <= b.high[k]) return k;
  return 0;
#endif
}

// A pixel's colour in direct mode, or its sub-sample sums with smoothing.
struct Sums {
  int red, green, blue;
};

inline void put(Sums& s, bool replace, const Tint& t) {
  if (replace) {
    s = {t.red, t.green, t.blue};
  } else {
    s.red += t.red;
    s.green += t.green;
    s.blue += t.blue;
  }
}

// The colour stage for a hit with phi (at most 1, possibly negative): direct
// mode and sub-sample 1 replace the colour (replace), sub-samples 2..4 add to
// the sums. The first band that holds phi tints it, in either mode, and no zone
// colour follows. Reaching a band whose bound lies beyond the float range is
// an overflow, reported to fault (a RaiseAtFault or a MarkFault) with s then
// left as it was. No sum can leave the 16-bit range: four samples add at most
// 4 * 296, and the background times four fits, or the run would not have
// started.
template <class Fault>
inline void colourOfHit(const IsolineBands& b, float phi, bool replace, Sums& s, Fault& fault) {
  Sums t = s;
  if (phi >= 0) {
    // phi = 1 gives 256; the limit to 255 comes at drawing or averaging.
    const int16_t grey = greyOf(phi);
    put(t, replace, Tint{grey, grey, grey});
    bool inBand = false;
    if (b.isolinesHidden == kFalse) {
      const int k = firstBandHolding(b, phi);
      if (k != 0) {
        put(t, false, kBandTint[k]);
        inBand = true;
      } else if (b.firstOverflow <= 7) {
        fault.raise(ErrorKind::Overflow);
        return;
      }
    }
    if (!inBand && phi <= b.zoneHigh) put(t, replace, kZoneAtZero);
  } else if (phi >= b.shadowLow && phi <= b.zoneHigh) {
    put(t, replace, kZoneBelowZero);
  } else if (replace) {
    t = {0, 0, 0};  // black; a later sub-sample adds nothing
  }
  s = t;
}

// A direct-mode pixel's colour as drawn: each part (at least 0) limited to 255.
inline void limitTo255(Sums& s) {
  if (s.red > 255) s.red = 255;
  if (s.green > 255) s.green = 255;
  if (s.blue > 255) s.blue = 255;
}

// A smoothed pixel from its sums: false, drawing nothing, when all four
// sub-samples missed (the sums are four times the background); else the
// truncated quarters, a quarter above 255 drawn as 255.
inline bool smoothedPixel(const Sums& s, const Sums& backTimes4, Colour& c) {
  if (s.red == backTimes4.red && s.green == backTimes4.green && s.blue == backTimes4.blue)
    return false;
  c = RGB(s.red / 4, s.green / 4, s.blue / 4);
  return true;
}

// Code that ran before the scan (the dynamic loader, a library routine using
// 256- or 512-bit registers) can leave the upper halves of the vector registers
// marked in use. While they are, the scalar SSE arithmetic of the point
// evaluation carries false dependencies from one sample to the next, the
// samples no longer overlap, and a run takes twice as long. Clearing the upper
// halves once per column costs nothing and changes no result.
void clearVectorUpperHalves();

}  // namespace korvalen
