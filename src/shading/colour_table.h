#pragma once
// The colours of the map's colour stage and the isoline bands as a run
// compares them: plain data, shared by the checked routine, the fast scan and
// the vector lanes, which derive their tables from these.
#include <cstdint>

#include "photometry/model_state.h"

namespace korvalen {

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
// phi from 0 up to the seventh half-width: the surface is about to shadow itself.
inline constexpr Tint kZoneAtZero{96, 0, 52};
// phi below 0 down to minus the first half-width.
inline constexpr Tint kZoneBelowZero{175, 0, 91};

// The isoline bands as the colour stage compares them: each bound rounded to a
// 32-bit float once per run (the isolines cannot change while a run lasts).
struct IsolineBands {
  VbBool isolinesHidden = kFalse;
  // isolineLevel[k] -+ isolineHalfWidth[k] for k = 1..7; index 0 and 8 hold
  // nothing, so that bands 1..7 and one more place can be loaded at once.
  float low[9] = {};
  float high[9] = {};
  // The first band whose bound lies beyond the float range (8: none). Reaching
  // it is the overflow error the comparison would raise, at the sample that
  // reaches it, so what was drawn before it stays.
  int firstOverflow = 8;
  unsigned comparedBands = 0;  // bit k - 1 for each band k before firstOverflow
  float shadowLow = 0;  // -isolineHalfWidth[1]: lower end of the zone below phi = 0
  float zoneHigh = 0;   // isolineHalfWidth[7]: upper end of the zone about phi = 0
};

}  // namespace korvalen
