#pragma once
// The diverging colour scale of the program's signed quantities (a model's
// miss at an observation, the ratio or difference of two models): blue below
// the middle, a pale neutral at it, red above. Its nine stops are Paul Tol's
// "BuRd" scheme, which keeps both ends apart under deuteranopia, protanopia
// and tritanopia and stays light enough in the middle to be read on a dark
// window as on a light one. Plain C++, no Qt.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "raster/colour.h"

namespace korvalen {

inline constexpr std::array<Colour, 9> kDivergingStops = {
    RGB(0x21, 0x66, 0xAC), RGB(0x43, 0x93, 0xC3), RGB(0x92, 0xC5, 0xDE),
    RGB(0xD1, 0xE5, 0xF0), RGB(0xF7, 0xF7, 0xF7), RGB(0xFD, 0xDB, 0xC7),
    RGB(0xF4, 0xA5, 0x82), RGB(0xD6, 0x60, 0x4D), RGB(0xB2, 0x18, 0x2B)};

// The colour of t in [-1, 1]: -1 the deepest blue, 0 the neutral, 1 the
// deepest red; beyond the ends the end colours, anything not a number the neutral.
inline Colour divergingColour(double t) {
  if (!(t == t)) t = 0;
  const double x = (std::clamp(t, -1.0, 1.0) + 1) * 4;  // 0..8 over the stops
  const int k = std::min(static_cast<int>(x), 7);
  const double f = x - k;
  const Colour a = kDivergingStops[k], b = kDivergingStops[k + 1];
  auto mix = [f](int u, int v) { return static_cast<int>(std::lround(u + (v - u) * f)); };
  return RGB(mix(redOf(a), redOf(b)), mix(greenOf(a), greenOf(b)), mix(blueOf(a), blueOf(b)));
}

// A number at least x that reads at a glance: 1, 2 or 5 times a power of ten
// (0.02, 0.05, 0.1, ...). 0 and what is not a positive finite number give 0.
inline double roundScaleUp(double x) {
  if (!(x > 0) || !std::isfinite(x)) return 0;
  const double p = std::pow(10.0, std::floor(std::log10(x)));
  for (double m : {1.0, 2.0, 5.0, 10.0})
    if (m * p >= x * (1 - 1e-12)) return m * p;
  return 10 * p;
}

// The half-range of a scale of signed values centred on 0: the 95th
// percentile of |v| (so that one wild value does not wash the rest out),
// rounded up by roundScaleUp; values that are not finite are left out. At
// least `floor`, so that a perfect fit does not divide by zero.
inline double symmetricScaleLimit(const std::vector<double>& values, double floor = 1e-6) {
  std::vector<double> a;
  a.reserve(values.size());
  for (double v : values)
    if (std::isfinite(v)) a.push_back(std::fabs(v));
  if (a.empty()) return roundScaleUp(floor);
  const size_t k = std::min(a.size() - 1, static_cast<size_t>(std::ceil(0.95 * a.size())) - 1);
  std::nth_element(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(k), a.end());
  return roundScaleUp(std::max(a[k], floor));
}

}  // namespace korvalen
