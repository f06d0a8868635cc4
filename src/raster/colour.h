#pragma once
// Colours as the window model writes them: 0x00BBGGRR.
#include <cstdint>

namespace korvalen {

using Colour = uint32_t;

// The system's window-background colour; resolved to the palette when painted.
constexpr Colour kSystemWindowBackground = 0x80000005u;

// RGB(r, g, b) = r + 256 g + 65536 b; a component above 255 counts as 255
// (and one below 0 as 0, so no component can spill into its neighbour).
constexpr Colour RGB(int r, int g, int b) {
  auto c = [](int v) { return static_cast<Colour>(v < 0 ? 0 : (v > 255 ? 255 : v)); };
  return c(r) + 256u * c(g) + 65536u * c(b);
}

constexpr int redOf(Colour c) { return static_cast<int>(c & 0xFFu); }
constexpr int greenOf(Colour c) { return static_cast<int>((c >> 8) & 0xFFu); }
constexpr int blueOf(Colour c) { return static_cast<int>((c >> 16) & 0xFFu); }

// As a pixel of the grid (0xFFRRGGBB, the 32-bit RGB layout of the picture boxes).
constexpr uint32_t toArgb(Colour c) {
  return 0xFF000000u | (static_cast<uint32_t>(redOf(c)) << 16) |
         (static_cast<uint32_t>(greenOf(c)) << 8) | static_cast<uint32_t>(blueOf(c));
}

constexpr Colour fromArgb(uint32_t argb) {
  return RGB(static_cast<int>((argb >> 16) & 0xFFu), static_cast<int>((argb >> 8) & 0xFFu),
             static_cast<int>(argb & 0xFFu));
}

}  // namespace korvalen
