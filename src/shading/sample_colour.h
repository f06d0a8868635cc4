#pragma once
// The colour stage of a sample, written once for the checked routine, the fast
// scan sample by sample and the vector lanes: the grey level of phi, the first
// band holding it, the zone colours, the limit of a drawn colour, and the
// sub-sample sums of a pixel and the pixel they give.
//
// Written over a value type V, a double or a vector of doubles, as phi is in
// photometry/reflectance.h. phi is a 32-bit float and the colour parts and
// sums are small integers, all exact in a double, so every comparison and
// rounding is the same in one lane as in many.
#include <cstdint>

#include "photometry/runtime_error.h"
#include "raster/colour.h"
#include "shading/colour_table.h"

namespace korvalen {

// (Internal to each file that uses them, as in photometry/reflectance.h.)
namespace {

template <class V>
inline Parts<V> operator+(const Parts<V>& a, const Parts<V>& b) {
  return {a.red + b.red, a.green + b.green, a.blue + b.blue};
}

template <class V>
inline Parts<V> partsOf(const Tint& t) {
  return {t.red - V{}, t.green - V{}, t.blue - V{}};
}

// Where mask is set, the tint plus base; elsewhere p.
template <class V, class Mask>
inline Parts<V> tintWhere(const Mask& mask, const Tint& t, const Parts<V>& p, V base = V{}) {
  return {mask ? base + t.red : p.red, mask ? base + t.green : p.green,
          mask ? base + t.blue : p.blue};
}

// Whether any lane of a mask (a bool for one lane) is set.
inline bool anyLaneSet(bool m) { return m; }
template <class M>
inline bool anyLaneSet(const M& m) {
  constexpr int n = sizeof(M) / sizeof(m[0]);
  bool any = false;
  for (int i = 0; i < n; ++i) any = any || m[i] != 0;
  return any;
}

// One sample skips a step that does not apply to it; lanes take every step
// (testing their masks would cost more than it saves).
inline bool applies(bool m) { return m; }
template <class M>
inline bool applies(const M&) {
  return true;
}

// phi * 255 + 0.5 rounded half to even. Where phi lies in [0, 1] the sum lies
// in [0.5, 255.5], and adding and taking away 2^52 rounds it to the nearest
// integer, halves to even, as nearbyint does, without the library's save and
// restore of the floating-point environment on every sample.
template <class V>
inline V greyOf(V phi) {
  constexpr double kTwo52 = 4503599627370496.0;
  return ((phi * 255.0 + 0.5) + kTwo52) - kTwo52;
}

// What a hit with phi (at most 1, possibly negative) gives its pixel: the
// colour in direct mode and for sub-sample 1 (replace), else what it adds to
// the sums. The first band that holds phi tints it (or, with opaque bands,
// gives it its colour), in either mode, and no zone colour follows. A lit phi in no band compared while a band was left
// out for its bound is an overflow, reported to fault (RaiseAtFault raises it
// before anything is stored).
template <class V, class Bands, class Fault>
inline Parts<V> colourOfHit(const Bands& b, V phi, bool replace, Fault& fault) {
  const auto lit = phi >= 0.0;
  // phi = 1 gives 256; the limit to 255 comes at drawing or averaging.
  const V grey = greyOf(phi);
  // The first band holding phi. One sample looks from band 1 up and stops
  // there; lanes look at every band from 7 down, so that the tint left in
  // each lane is that of its first band holding phi.
  constexpr bool oneLane = sizeof(V) == sizeof(double);
  Parts<V> band{V{}, V{}, V{}};
  auto inBand = V{} != V{};  // (no lane)
#pragma GCC unroll 7
  for (int j = 1; j <= 7; ++j) {
    const int k = oneLane ? j : 8 - j;
    const auto holds = b.low[k] <= phi && phi <= b.high[k];
    if (applies(holds)) band = tintWhere(holds, b.tint[k], band);
    inBand = inBand || holds;
    if (oneLane && anyLaneSet(inBand)) break;
  }
  if (b.boundOverflows) fault.raiseIf(lit && !inBand, ErrorKind::Overflow);
  // An opaque band colour stands in place of the grey.
  V under = grey;
  if (b.opaqueBands) under = inBand ? V{} : grey;
  Parts<V> p{lit ? under + band.red : V{}, lit ? under + band.green : V{},
             lit ? under + band.blue : V{}};
  if (applies(phi <= b.zoneHigh)) {
    // The zones about phi = 0. At the zone from 0 up, sub-sample 1 takes the
    // zone colour alone, the others add it to their grey; below it black, to
    // which a later sub-sample adds nothing.
    const auto atZero = lit && !inBand && phi <= b.zoneHigh;
    const auto belowZero = !lit && phi >= b.shadowLow && phi <= b.zoneHigh;
    const V greyOrNone = replace ? V{} : grey;
    p = tintWhere(atZero, kZoneAtZero, p, greyOrNone);
    p = tintWhere(belowZero, kZoneBelowZero, p);
  }
  return p;
}

// A direct-mode colour as drawn: each part (at least 0) limited to 255.
template <class V>
inline Parts<V> limitTo255(const Parts<V>& s) {
  return {s.red > 255.0 ? 255.0 : s.red, s.green > 255.0 ? 255.0 : s.green,
          s.blue > 255.0 ? 255.0 : s.blue};
}

// A colour's parts, each in 0..255, as 0xRRGGBB.
template <class V>
inline V packedRgb(const Parts<V>& s) {
  return (s.red * 65536.0 + s.green * 256.0) + s.blue;
}

// A smoothed pixel's part from its sum: the truncated quarter limited to
// 0..255. For a quarter q of an integer, q + 0.625 rounded to the nearest
// integer (by 2^52, as greyOf) is floor(q) + 1.
template <class V>
inline V quarterOf(V sum) {
  constexpr double kTwo52 = 4503599627370496.0;
  V q = sum * 0.25;
  q = q < 0.0 ? 0.0 : (q > 255.0 ? 255.0 : q);
  return (((q + 0.625) + kTwo52) - kTwo52) - 1.0;
}

// A smoothed pixel from its sums as 0xRRGGBB, or -1 where it is not drawn:
// all four sub-samples missed, the sums being four times the background.
template <class V>
inline V smoothedPixel(const Parts<V>& s, const Parts<V>& backTimes4) {
  const auto background =
      s.red == backTimes4.red && s.green == backTimes4.green && s.blue == backTimes4.blue;
  const V packed = packedRgb(Parts<V>{quarterOf(s.red), quarterOf(s.green), quarterOf(s.blue)});
  return background ? -1.0 : packed;
}

}  // namespace

// Code that ran before the scan (the dynamic loader, a library routine using
// 256- or 512-bit registers) can leave the upper halves of the vector registers
// marked in use. While they are, the scalar SSE arithmetic of the point
// evaluation carries false dependencies from one sample to the next, the
// samples no longer overlap, and a run takes twice as long. Clearing the upper
// halves once per column costs nothing and changes no result.
void clearVectorUpperHalves();

}  // namespace korvalen
