#pragma once
// Observations made from a model with known parameters, at geometries spread
// over the lit, visible hemisphere, for the fit's tests and benchmarks.
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>

#include "observations/model_values.h"

namespace korvalen {

// n geometries: i and e spread over [0, 80] and the azimuth over [0, 180] by a
// Halton sequence, so that every part of the (i, e, psi) box is met.
inline ObservationTable spreadGeometries(size_t n) {
  auto halton = [](size_t k, int base) {
    double f = 1, r = 0;
    for (; k > 0; k /= static_cast<size_t>(base)) {
      f /= base;
      r += f * static_cast<double>(k % static_cast<size_t>(base));
    }
    return r;
  };
  constexpr double kRad = std::numbers::pi / 180;
  ObservationTable t;
  t.source = "synthetic";
  for (size_t k = 1; k <= n; ++k) {
    const double i = 80 * halton(k, 2), e = 80 * halton(k, 3), psi = 180 * halton(k, 5);
    const double cosG = std::cos(i * kRad) * std::cos(e * kRad) +
                        std::sin(i * kRad) * std::sin(e * kRad) * std::cos(psi * kRad);
    t.i.push_back(i);
    t.e.push_back(e);
    t.g.push_back(std::acos(std::fmax(-1.0, std::fmin(1.0, cosG))) / kRad);
    t.line.push_back(static_cast<int32_t>(k));
  }
  return t;
}

// The model's values at the table's geometries, each with Gaussian noise of
// `relativeNoise` of the value (and that as its sigma) when not 0.
inline void measure(ObservationTable& t, int32_t model, const PlanetaryParameters& p,
                    double relativeNoise, uint32_t seed = 7) {
  t.value = modelValues(model, p, t);
  t.sigma.clear();
  if (relativeNoise == 0) return;
  std::mt19937 random(seed);
  std::normal_distribution<double> normal(0, 1);
  for (double& v : t.value) {
    const double s = relativeNoise * std::fabs(v);
    t.sigma.push_back(s);
    v += s * normal(random);
  }
}

}  // namespace korvalen
