#pragma once
// The colours of the colour stage, shared by the checked per-sample routine and
// the fast scan.
#include <cstdint>

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

// phi * 255 + 0.5 rounded half to even. phi lies in [0, 1] here, so the sum lies
// in [0.5, 255.5], and adding and taking away 2^52 rounds it to the nearest
// integer, halves to even, exactly as nearbyint does, without the library's
// save and restore of the floating-point environment on every sample.
inline int16_t greyOf(float phi) {
  const double v = static_cast<double>(phi) * 255 + 0.5;
  constexpr double kTwo52 = 4503599627370496.0;
  return static_cast<int16_t>((v + kTwo52) - kTwo52);
}

// Code that ran before the scan (the dynamic loader, a library routine using
// 256- or 512-bit registers) can leave the upper halves of the vector registers
// marked in use. While they are, the scalar SSE arithmetic of the point
// evaluation carries false dependencies from one sample to the next, the
// samples no longer overlap, and a run takes twice as long. Clearing the upper
// halves once per column costs nothing and changes no result.
void clearVectorUpperHalves();

}  // namespace korvalen
