#pragma once
// The colours of the map's colour stage and the isoline bands as a run
// compares them: plain data, shared by the checked routine, the fast scan and
// the vector lanes, which derive their tables from these.
#include <cstdint>

#include "photometry/model_state.h"

namespace korvalen {

// The red, green and blue parts of a colour, or of a pixel's sub-sample sums,
// in one value type (a double, or a vector of doubles: see sample_colour.h).
template <class V>
struct Parts {
  V red, green, blue;
};
using Sums = Parts<double>;

// The tint each band adds; it leans towards the band's swatch in the legend.
struct Tint {
  int16_t red, green, blue;
};
inline constexpr Tint kBandTint[8] = {
    {0, 0, 0},    // unused: bands are 1..7
    {40, 0, 0},   // 1, swatch (255, 128, 128)
    {40, 20, 0},  // 2, swatch (255, 192, 128)
    {37, 40, 0},  // 3, swatch (255, 255, 0)
    {0, 40, 0},   // 4, swatch (0, 192, 0)
    {0, 30, 40},  // 5, swatch (0, 176, 240)
    {0, 0, 40},   // 6, swatch (0, 0, 255)
    {25, 0, 40},  // 7, swatch (96, 0, 128)
};
// The bands in colours that stay apart under the common colour-vision
// deficiencies (the set of Okabe and Ito), drawn opaque in place of the grey.
inline constexpr Tint kDistinctBandColour[8] = {
    {0, 0, 0},        // unused
    {230, 159, 0},    // 1, orange
    {86, 180, 233},   // 2, sky blue
    {0, 158, 115},    // 3, bluish green
    {240, 228, 66},   // 4, yellow
    {0, 114, 178},    // 5, blue
    {213, 94, 0},     // 6, vermilion
    {204, 121, 167},  // 7, reddish purple
};
// phi from 0 up to the seventh half-width: the surface is about to shadow itself.
inline constexpr Tint kZoneAtZero{96, 0, 52};
// phi below 0 down to minus the first half-width.
inline constexpr Tint kZoneBelowZero{175, 0, 91};

// The isoline bands as the colour stage compares them, fixed for a run (the
// isolines cannot change while a run lasts).
struct IsolineBands {
  // Band k (1..7) holds phi from low[k] to high[k], both inclusive: the
  // band's level -+ its half-width, rounded to a 32-bit float. A band not
  // compared holds nothing (from +inf down to -inf): every band while the
  // isolines are hidden, else each from the first whose bound lies beyond the
  // float range on. Index 0 holds nothing either.
  double low[8] = {};
  double high[8] = {};
  // A band was left out for its bound: a lit phi in no band compared reaches
  // that bound, the overflow error the comparison raises at that sample (what
  // was drawn before it stays).
  bool boundOverflows = false;
  double shadowLow = 0;  // -isolineHalfWidth[1]: lower end of the zone below phi = 0
  double zoneHigh = 0;   // isolineHalfWidth[7]: upper end of the zone about phi = 0
  // What band k gives a phi it holds: its tint added to the grey, or, with
  // opaqueBands, its colour alone.
  Tint tint[8] = {};
  bool opaqueBands = false;
};

}  // namespace korvalen
