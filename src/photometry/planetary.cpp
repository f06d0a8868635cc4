#include "photometry/planetary.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "photometry/geometry.h"
#include "photometry/model_state.h"

namespace korvalen {

namespace {
// The true pi of the formulas (the program's degree conversion keeps its own).
constexpr double kTruePi = std::numbers::pi;

double lommelSeeliger(double mu0, double mu) { return 2 * mu0 / (mu0 + mu); }

double minnaert(const PlanetaryConstants& k, double mu0, double mu) {
  if (mu == 0) {
    // The limb: mu^(k-1) grows without end below k = 1 and vanishes above it.
    if (k.minnaertK < 1) return HUGE_VAL;
    return k.minnaertK == 1 ? mu0 : 0.0;
  }
  return std::pow(mu0, k.minnaertK) * std::pow(mu, k.minnaertK - 1);
}

double lunarLambert(const PlanetaryConstants& k, double mu0, double mu) {
  return (1 - k.lunarL) * mu0 + 2 * k.lunarL * mu0 / (mu0 + mu);
}

// Akimov's function over the photometric latitude beta and longitude gamma
// (the observer at gamma = 0, the light at gamma = g).
double akimov(const PlanetaryConstants& k, double mu0, double mu) {
  if (k.akimovPhase == PlanetaryConstants::AkimovPhase::Zero) return 1;
  if (k.akimovPhase == PlanetaryConstants::AkimovPhase::Beyond) return 0;
  const double s = (mu0 - mu * k.cosG) / k.sinG;  // cos beta sin gamma
  const double cosBeta = std::min(std::hypot(mu, s), 1.0);
  const double gamma = std::atan2(s, mu);
  const double u = kTruePi / 2 - gamma;
  const double sinU = std::sin(u);
  // On the limb (u = 0) the ratio of sines is 0/0; its limit is pi / (pi - g).
  const double r = sinU == 0 ? kTruePi / k.akimovPiMinusG
                             : std::sin(kTruePi * u / k.akimovPiMinusG) / sinU;
  return k.akimovScale * r * std::pow(cosBeta, k.akimovExponent);
}
}  // namespace

double lunarLOfPhase(double gDegrees) {
  const double g = gDegrees;
  return 1 - 0.019 * g + 0.000242 * g * g - 0.00000146 * g * g * g;
}

PlanetaryConstants planetaryConstantsOf(int32_t model, const PlanetaryParameters& p, double g,
                                        double cosG) {
  PlanetaryConstants k;
  k.model = model;
  k.factor = p.factor;
  k.minnaertK = p.minnaertK;
  const double phase = phaseAngle(g);
  k.lunarL = p.lunarLOfPhase ? lunarLOfPhase(phase * 180 / kPi) : p.lunarL;
  k.cosG = cosG;
  k.sinG = std::sin(phase);
  if (phase >= kTruePi) {
    k.akimovPhase = PlanetaryConstants::AkimovPhase::Beyond;
  } else if (k.sinG == 0) {
    k.akimovPhase = PlanetaryConstants::AkimovPhase::Zero;
  } else {
    k.akimovPhase = PlanetaryConstants::AkimovPhase::Between;
    k.akimovScale = std::cos(phase / 2);
    k.akimovPiMinusG = kTruePi - phase;
    k.akimovExponent = p.akimovEta * phase / (kTruePi - phase);
  }
  if (model == kHapke) k.hapke = hapkeConstantsOf(p.hapke, phase, cosG);
  return k;
}

double diskFunction(const PlanetaryConstants& k, double mu0, double mu) {
  switch (k.model) {
    case kLommelSeeliger: return lommelSeeliger(mu0, mu);
    case kMinnaert: return minnaert(k, mu0, mu);
    case kLunarLambert: return lunarLambert(k, mu0, mu);
    case kAkimov: return akimov(k, mu0, mu);
    case kHapke: return hapkeReflectance(k.hapke, mu0, mu);
    default: return 0;
  }
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
