#include "photometry/planetary.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "photometry/geometry.h"
#include "photometry/model_state.h"
#include "photometry/planetary_formulas.h"

namespace korvalen {

namespace {
using formulas::kTruePi;

}  // namespace

double lunarLOfPhase(double gDegrees) {
  const double g = gDegrees;
  return 1 - 0.019 * g + 0.000242 * g * g - 0.00000146 * g * g * g;
}

PlanetaryConstants planetaryConstantsOf(int32_t model, const PlanetaryParameters& p, double g,
                                        double cosG) {
  return formulas::planetaryConstants<double>(model, p, phaseAngle(g), cosG);
}

double diskFunction(const PlanetaryConstants& k, double mu0, double mu) {
  return formulas::diskFunction<double>(k, mu0, mu);
}

std::optional<double> fittedFactor(int32_t model, const PlanetaryParameters& p, double g,
                                   double cosG, double smallestCosE) {
  const PlanetaryConstants k = planetaryConstantsOf(model, p, g, cosG);
  const double phase = phaseAngle(g);
  const double muFloor = smallestCosE > 0 ? std::min(smallestCosE, 1.0) : 0.0;
  double brightest = 0;
  auto consider = [&](double mu0, double mu) {
    if (!(mu0 > 0) || mu < muFloor) return;
    const double f = diskFunction(k, mu0, mu);
    if (std::isfinite(f) && f > brightest) brightest = f;
  };
  // The normal at photometric latitude beta and longitude gamma (the observer
  // at gamma = 0, the light at gamma = phase): mu = cos beta cos gamma,
  // mu0 = cos beta cos(gamma - phase).
  constexpr int kSteps = 4 * 180;  // quarter degrees over -90..90
  for (int b = 0; b <= kSteps; ++b) {
    const double cosBeta = std::cos((b - kSteps / 2) * kTruePi / kSteps);
    for (int c = 0; c <= kSteps; ++c) {
      const double gamma = (c - kSteps / 2) * kTruePi / kSteps;
      consider(cosBeta * std::cos(gamma - phase), std::max(cosBeta * std::cos(gamma), 0.0));
    }
    // The edge of the searched part of this latitude, mu = muFloor exactly:
    // where a function that grows towards the limb is brightest on the map.
    if (muFloor > 0 && cosBeta >= muFloor) {
      const double edge = std::acos(muFloor / cosBeta);
      consider(cosBeta * std::cos(edge - phase), muFloor);
      consider(cosBeta * std::cos(-edge - phase), muFloor);
    }
  }
  if (!(brightest > 0)) return std::nullopt;
  return std::clamp(1 / brightest, kFactorRange.low, kFactorRange.high);
}

}  // namespace korvalen
